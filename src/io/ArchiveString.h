#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

// The string record of the native file and the text history files: a length
// prefix, then the characters. Two forms exist on disk: UTF-16LE (marked by
// FF FE FF) and one byte per character (code page 932). Only the UTF-16 form
// is ever written.
namespace ArchiveString {

// Size in bytes of the UTF-16 record of a text of `length` code units.
qsizetype recordSize(qsizetype length);

// Appends the UTF-16 record of `text` to `out`, with the shortest prefix
// the format allows for its length.
void append(QByteArray &out, QStringView text);

inline QByteArray encode(QStringView text)
{
    QByteArray out;
    append(out, text);
    return out;
}

} // namespace ArchiveString

// A bounds-checked cursor over a file image in memory. Every read checks the
// bytes that remain before it allocates anything, so a length or count that
// claims more than the file holds fails instead of allocating; after the first
// failure every further read fails too.
class ArchiveReader
{
public:
    explicit ArchiveReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }
    bool failed() const { return m_failed; }

    bool readUInt8(quint8 &value);
    bool readUInt16(quint16 &value);
    bool readUInt32(quint32 &value);
    bool readUInt64(quint64 &value);
    bool readInt32(qint32 &value);
    // Reads a string record in either form; the text keeps embedded NULs.
    bool readString(QString &text);
    // True when `count` records of at least `minRecordSize` bytes each can
    // still follow; marks the reader failed otherwise.
    bool canHold(qint64 count, qsizetype minRecordSize);

private:
    bool fail()
    {
        m_failed = true;
        return false;
    }
    const uchar *at() const { return reinterpret_cast<const uchar *>(m_bytes.data()) + m_pos; }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_failed = false;
};
