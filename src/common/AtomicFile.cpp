#include "common/AtomicFile.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* error)
{
    QSaveFile file(path);
    auto fail = [&] {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered, so that a failed write shows here: data still buffered when commit()
    // flushes it can fail without commit() noticing, which would replace a good file
    // with a truncated one and report success.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return fail();
        done += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
