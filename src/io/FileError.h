#pragma once
#include <QString>

// What went wrong in the file layer, in the terms the user is told about.
enum class FileError {
    None,
    BadFormat,        // data ends early or claims more than the file holds
    NotFound,
    BadPath,
    AccessDenied,
    SharingViolation,
    DiskFull,
    Other,
};

// Classifies an errno value seen while opening, reading or writing `path`.
// `writing` decides how a missing file or folder is taken: a missing file
// to read is "not found", a missing folder to write into is a bad path.
FileError fileErrorFromErrno(int err, bool writing);

// The message shown for a failure; `writing` picks the catch-all text.
QString fileErrorMessage(FileError error, const QString &path, bool writing);
