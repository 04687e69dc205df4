#include "io/SafeFileWriter.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#if defined(Q_OS_LINUX)
#include <fcntl.h>
#endif

namespace {

// commit() waits until every byte is on disk. Asking the system, every few
// megabytes, to start on what is written so far lets the disk work while the
// caller converts the rest, rather than all of it waiting for the end. What
// is written, and when the target is replaced, stay the same.
void startWriteback(QSaveFile &file, qint64 justWritten)
{
#if defined(Q_OS_LINUX)
    constexpr qint64 Stretch = qint64(8) << 20;
    const qint64 end = file.pos();
    if ((end - justWritten) / Stretch == end / Stretch)
        return;
    // Bytes still in Qt's small write buffer simply wait for the next round.
    if (const int fd = file.handle(); fd >= 0)
        sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(file);
    Q_UNUSED(justWritten);
#endif
}

} // namespace

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
    startWriteback(m_file, bytes.size());
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
