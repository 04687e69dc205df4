#include "io/FileError.h"

#include "Messages.h"

#include <cerrno>

FileError fileErrorFromErrno(int err, bool writing)
{
    switch (err) {
    case 0:
        return FileError::Other;
    case ENOENT:
        return writing ? FileError::BadPath : FileError::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
    case EISDIR:
        return FileError::BadPath;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::AccessDenied;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return FileError::SharingViolation;
    case ENOSPC:
    case EDQUOT:
        return FileError::DiskFull;
    default:
        return FileError::Other;
    }
}

QString fileErrorMessage(FileError error, const QString &path, bool writing)
{
    auto withPath = [&](const char16_t *text) { return QString::fromUtf16(text).arg(path); };
    switch (error) {
    case FileError::None:
        return {};
    case FileError::BadFormat:
        return QString::fromUtf16(Msg::UnexpectedFormat);
    case FileError::NotFound:
        return withPath(Msg::FileNotFound);
    case FileError::BadPath:
        return withPath(Msg::BadPath);
    case FileError::AccessDenied:
        return withPath(Msg::AccessDenied);
    case FileError::SharingViolation:
        return withPath(Msg::SharingViolation);
    case FileError::DiskFull:
        return withPath(Msg::DiskFull);
    case FileError::Other:
        break;
    }
    return QString::fromUtf16(writing ? Msg::SaveFailed : Msg::OpenFailed);
}
