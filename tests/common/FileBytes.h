#pragma once
#include "io/NativeFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// Files as bytes, read and written apart from the code under test.

// Empty when the file cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// False unless every byte got there.
inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The bodies of a native file in outline order; empty when it cannot be read.
inline QStringList nativeBodies(const QString &path)
{
    QStringList bodies;
    NativeHeader header;
    const FileError error = NativeFile::parse(readBytes(path), header,
                                              [&bodies](qint32, const QString &body) { bodies.append(body); });
    return error == FileError::None ? bodies : QStringList();
}
