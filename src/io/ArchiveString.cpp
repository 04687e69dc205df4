#include "io/ArchiveString.h"

#include "io/CodePage932.h"

#include <QtEndian>

namespace {

// Bytes of the length prefix that follows the FF FE FF marker.
qsizetype prefixSize(quint64 length)
{
    if (length < 0xFF)
        return 1;
    if (length < 0xFFFE)
        return 3;
    if (length < 0xFFFFFFFF)
        return 7;
    return 15;
}

} // namespace

namespace ArchiveString {

qsizetype recordSize(qsizetype length)
{
    return 3 + prefixSize(quint64(length)) + 2 * length;
}

void append(QByteArray &out, QStringView text)
{
    const quint64 length = quint64(text.size());
    const qsizetype start = out.size();
    out.resize(start + recordSize(text.size()));
    uchar *p = reinterpret_cast<uchar *>(out.data()) + start;

    *p++ = 0xFF;
    qToLittleEndian<quint16>(0xFFFE, p);
    p += 2;
    if (length < 0xFF) {
        *p++ = uchar(length);
    } else {
        *p++ = 0xFF;
        if (length < 0xFFFE) {
            qToLittleEndian<quint16>(quint16(length), p);
            p += 2;
        } else {
            qToLittleEndian<quint16>(0xFFFF, p);
            p += 2;
            if (length < 0xFFFFFFFF) {
                qToLittleEndian<quint32>(quint32(length), p);
                p += 4;
            } else {
                qToLittleEndian<quint32>(0xFFFFFFFF, p);
                p += 4;
                qToLittleEndian<quint64>(length, p);
                p += 8;
            }
        }
    }
    // A plain copy on little-endian machines.
    qToLittleEndian<quint16>(text.utf16(), text.size(), p);
}

} // namespace ArchiveString

bool ArchiveReader::readUInt8(quint8 &value)
{
    if (m_failed || remaining() < 1)
        return fail();
    value = *at();
    m_pos += 1;
    return true;
}

bool ArchiveReader::readUInt16(quint16 &value)
{
    if (m_failed || remaining() < 2)
        return fail();
    value = qFromLittleEndian<quint16>(at());
    m_pos += 2;
    return true;
}

bool ArchiveReader::readUInt32(quint32 &value)
{
    if (m_failed || remaining() < 4)
        return fail();
    value = qFromLittleEndian<quint32>(at());
    m_pos += 4;
    return true;
}

bool ArchiveReader::readUInt64(quint64 &value)
{
    if (m_failed || remaining() < 8)
        return fail();
    value = qFromLittleEndian<quint64>(at());
    m_pos += 8;
    return true;
}

bool ArchiveReader::readInt32(qint32 &value)
{
    if (m_failed || remaining() < 4)
        return fail();
    value = qFromLittleEndian<qint32>(at());
    m_pos += 4;
    return true;
}

bool ArchiveReader::canHold(qint64 count, qsizetype minRecordSize)
{
    if (m_failed)
        return false;
    if (count <= 0)
        return true;
    // Divide rather than multiply: no product can overflow.
    if (count > remaining() / qMax<qsizetype>(minRecordSize, 1))
        return fail();
    return true;
}

bool ArchiveReader::readString(QString &text)
{
    quint8 b = 0;
    if (!readUInt8(b))
        return false;

    bool wide = false;
    quint64 length = b;
    if (b == 0xFF) {
        quint16 w = 0;
        if (!readUInt16(w))
            return false;
        bool haveLength = false;
        if (w == 0xFFFE) {
            wide = true;
            quint8 b2 = 0;
            if (!readUInt8(b2))
                return false;
            if (b2 < 0xFF) {
                length = b2;
                haveLength = true;
            } else if (!readUInt16(w)) {
                return false;
            }
        }
        if (!haveLength) {
            if (w < 0xFFFF) {
                length = w;
            } else {
                quint32 d = 0;
                if (!readUInt32(d))
                    return false;
                if (d < 0xFFFFFFFF)
                    length = d;
                else if (!readUInt64(length))
                    return false;
            }
        }
    }

    // Check before allocating: the length comes from the file.
    const quint64 available = quint64(remaining());
    if (wide ? length > available / 2 : length > available)
        return fail();

    const qsizetype n = qsizetype(length);
    if (wide) {
        if (n == 0) {
            text = QString();
        } else {
            text = QString(n, Qt::Uninitialized);
            // Byte-wise source: no alignment is assumed.
            qFromLittleEndian<quint16>(at(), n, text.data());
        }
        m_pos += 2 * n;
    } else {
        text = CodePage932::decode(QByteArrayView(m_bytes.data() + m_pos, n));
        m_pos += n;
    }
    return true;
}
