#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The current directory moves into a new temporary folder while the object lives.
class ScopedProcessDirectory {
public:
    ScopedProcessDirectory();
    ~ScopedProcessDirectory();
    ScopedProcessDirectory(const ScopedProcessDirectory&) = delete;
    ScopedProcessDirectory& operator=(const ScopedProcessDirectory&) = delete;

    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

QByteArray ReadFileBytes(const QString& path);
