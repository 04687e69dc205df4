#pragma once
#include "io/FileError.h"

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

// Writes a whole file into a temporary file beside it and replaces the target
// only when every byte is on disk. On any failure the old file is left byte
// for byte and error() tells why.
//
// QSaveFile alone is not enough: it can report success after a short write
// (disk full), so every write is checked, and the temporary is flushed and
// checked before commit.
class SafeFileWriter
{
public:
    explicit SafeFileWriter(const QString &path);
    ~SafeFileWriter();

    bool open();
    // Writes all of `bytes` or fails; after a failure further writes do nothing.
    bool write(QByteArrayView bytes);
    // Replaces the target; false (and the old file kept) on any failure.
    bool commit();

    FileError error() const { return m_error; }
    const QString &path() const { return m_path; }

private:
    void fail(int err);

    QString m_path;
    QSaveFile m_file;
    FileError m_error = FileError::None;
};
