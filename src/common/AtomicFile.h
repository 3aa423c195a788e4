#pragma once

#include <QByteArrayView>
#include <QString>

// Replaces the file at path with bytes through a temporary file in the same folder and a
// rename: a crash, a full disk or a failed write leaves the old file (or none) as it was,
// never half a file. On failure *error says why.
bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* error = nullptr);
