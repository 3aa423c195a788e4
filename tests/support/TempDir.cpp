#include "support/TempDir.h"

#include <QDir>
#include <QFile>

ScopedProcessDirectory::ScopedProcessDirectory()
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

ScopedProcessDirectory::~ScopedProcessDirectory()
{
    QDir::setCurrent(m_previous);
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
