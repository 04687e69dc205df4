#include "io/SafeFileWriter.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

SafeFileWriter::SafeFileWriter(const QString &path)
    : m_path(path)
    , m_file(path)
{
}

SafeFileWriter::~SafeFileWriter()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void SafeFileWriter::fail(int err)
{
    if (m_error == FileError::None)
        m_error = fileErrorFromErrno(err, true);
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool SafeFileWriter::open()
{
    const QFileInfo target(m_path);
    if (m_path.isEmpty() || target.fileName().isEmpty() || target.isDir()) {
        m_error = FileError::BadPath;
        return false;
    }
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists() || !folder.isDir()) {
        m_error = FileError::BadPath;
        return false;
    }
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly)) {
        const int err = errno;
        // QSaveFile refuses a read-only target without touching errno.
        m_error = (target.exists() && !target.isWritable()) ? FileError::AccessDenied
                                                             : fileErrorFromErrno(err, true);
        return false;
    }
    return true;
}

bool SafeFileWriter::write(QByteArrayView bytes)
{
    if (m_error != FileError::None || !m_file.isOpen())
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 n = m_file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            fail(errno);
            return false;
        }
        done += n;
    }
    return true;
}

bool SafeFileWriter::commit()
{
    if (m_error != FileError::None || !m_file.isOpen())
        return false;
    errno = 0;
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError) {
        fail(errno);
        return false;
    }
    errno = 0;
    if (!m_file.commit()) {
        m_error = fileErrorFromErrno(errno, true);
        return false;
    }
    return true;
}
