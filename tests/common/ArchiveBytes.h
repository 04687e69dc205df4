#pragma once
#include <QByteArray>
#include <QStringView>
#include <QtEndian>

// File images are built byte by byte here, so that the tests of the readers
// and writers do not share the code under test.

inline QByteArray le32(qint32 value)
{
    QByteArray b(4, '\0');
    qToLittleEndian<qint32>(value, b.data());
    return b;
}

inline QByteArray utf16le(QStringView text)
{
    QByteArray b;
    b.reserve(text.size() * 2);
    for (QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

// The UTF-16 string record: FF FE FF, then a one-byte length, or FF and a
// 16-bit length from 255 on (the 32-bit form is written out by the tests
// that need it).
inline QByteArray wideString(QStringView text)
{
    Q_ASSERT(text.size() < 0xFFFF);
    QByteArray b = QByteArray::fromHex("FFFEFF");
    if (text.size() < 255) {
        b.append(char(text.size()));
    } else {
        b.append(char(0xFF));
        b.append(char(text.size() & 0xFF));
        b.append(char(text.size() >> 8));
    }
    return b + utf16le(text);
}
