#include "io/CStringCode.h"

#include "Messages.h"
#include "io/CodePage932.h"
#include "io/SafeFileWriter.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

bool readWholeFile(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Detection speaks in code pages; only three of them are readable.
int encodingFromCodePage(int code)
{
    switch (code) {
    case CodePage::ShiftJis:
        return Encoding::ShiftJis;
    case CodePage::Utf8:
        return Encoding::Utf8;
    case CodePage::Utf16Le:
        return Encoding::Utf16Le;
    default:
        return code;
    }
}

bool startsWith(QByteArrayView bytes, QByteArrayView mark)
{
    return bytes.size() >= mark.size() && memcmp(bytes.data(), mark.data(), size_t(mark.size())) == 0;
}

const QByteArrayView Utf8Bom("\xEF\xBB\xBF", 3);
const QByteArrayView Utf16LeBom("\xFF\xFE", 2);

QString decodeUtf8(QByteArrayView bytes)
{
    // Only the first mark was the file's; QString::fromUtf8 would drop the
    // next one as well, and a U+FEFF there is text.
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString out(bytes.size(), Qt::Uninitialized); // never more units than bytes
    const QChar *end = decoder.appendToBuffer(out.data(), bytes);
    out.truncate(end - out.constData());
    out.squeeze(); // Japanese takes three bytes a unit: give the rest back
    return out;
}

// Writes UTF-16 units into a string sized for them, giving every line a CR LF
// end as it goes (see withCrLfLines). Every input byte gives at most one
// unit, so the string starts at the byte count plus the last line's break;
// room for inserted CRs is made once, at the first LF that needs one.
class LineWriter
{
public:
    LineWriter(QString &out, QByteArrayView bytes)
        : m_out(out)
        , m_bytes(bytes)
    {
        m_out = QString(bytes.size() + 2, Qt::Uninitialized);
        m_begin = reinterpret_cast<char16_t *>(m_out.data());
        m_d = m_begin;
    }

    void put(char16_t u) { *m_d++ = u; }

#if defined(__SSE2__)
    // Sixteen ASCII bytes, none of them an LF.
    void putAsciiBlock(__m128i bytes)
    {
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i *>(m_d), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(m_d + 8), _mm_unpackhi_epi8(bytes, zero));
        m_d += 16;
    }
#endif

    // An ASCII byte at `at` in the input.
    void putAscii(char16_t c, qsizetype at)
    {
        if (c == u'\n' && (m_d == m_begin || m_d[-1] != u'\r')) {
            if (m_spare == 0)
                makeRoom(at);
            --m_spare;
            *m_d++ = u'\r';
        }
        *m_d++ = c;
    }

    void finish()
    {
        if (m_d != m_begin && m_d[-1] != u'\n') {
            *m_d++ = u'\r';
            *m_d++ = u'\n';
        }
        m_out.truncate(m_d - m_begin);
        m_out.squeeze(); // multi-byte characters left part of it unused
    }

private:
    void makeRoom(qsizetype at)
    {
        const QByteArrayView rest = m_bytes.sliced(at);
        m_spare = std::count(rest.begin(), rest.end(), '\n');
        const qsizetype used = m_d - m_begin;
        m_out.resize(m_out.size() + m_spare);
        m_begin = reinterpret_cast<char16_t *>(m_out.data());
        m_d = m_begin + used;
    }

    QString &m_out;
    QByteArrayView m_bytes;
    char16_t *m_begin = nullptr;
    char16_t *m_d = nullptr;
    qsizetype m_spare = 0;
};

// Well-formed UTF-8 in one pass, lines ended as withCrLfLines ends them.
// False at the first ill-formed sequence: that text goes through Qt's decoder
// instead, which places replacement characters its own way.
bool decodeWellFormedUtf8Lines(QByteArrayView bytes, QString &text)
{
    const auto *const begin = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = begin + bytes.size();
    const auto isCont = [](unsigned char c) { return (c & 0xC0) == 0x80; };
    LineWriter out(text, bytes);
    for (const unsigned char *p = begin; p < end;) {
        const unsigned c = *p;
        if (c < 0x80) {
#if defined(__SSE2__)
            // ASCII comes in runs: sixteen bytes at a time while it lasts.
            if (end - p >= 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                if (_mm_movemask_epi8(v) == 0) {
                    if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))) == 0) {
                        out.putAsciiBlock(v);
                    } else {
                        for (int i = 0; i < 16; ++i)
                            out.putAscii(char16_t(p[i]), p + i - begin);
                    }
                    p += 16;
                    continue;
                }
            }
#endif
            out.putAscii(char16_t(c), p - begin);
            ++p;
        } else if (c < 0xC2) {
            return false; // a continuation byte, or an overlong lead
        } else if (c < 0xE0) {
            if (end - p < 2 || !isCont(p[1]))
                return false;
            out.put(char16_t((c & 0x1F) << 6 | (p[1] & 0x3F)));
            p += 2;
        } else if (c < 0xF0) {
            if (end - p < 3 || !isCont(p[1]) || !isCont(p[2]))
                return false;
            const char32_t u = (c & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            if (u < 0x800 || QChar::isSurrogate(u))
                return false;
            out.put(char16_t(u));
            p += 3;
        } else if (c < 0xF5) {
            if (end - p < 4 || !isCont(p[1]) || !isCont(p[2]) || !isCont(p[3]))
                return false;
            const char32_t u = (c & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            if (u < 0x10000 || u > 0x10FFFF)
                return false;
            out.put(QChar::highSurrogate(u));
            out.put(QChar::lowSurrogate(u));
            p += 4;
        } else {
            return false;
        }
    }
    out.finish();
    return true;
}

QString decodeUtf16Le(QByteArrayView bytes)
{
    const qsizetype units = bytes.size() / 2;
    const bool oddByte = bytes.size() % 2 != 0;
    QString out(units + (oddByte ? 1 : 0), Qt::Uninitialized);
    // Units are taken as they are, lone surrogates included, so that such a
    // text is written back unchanged.
    qFromLittleEndian<char16_t>(bytes.data(), units, out.data());
    if (oddByte)
        out[units] = QChar::ReplacementCharacter;
    return out;
}

// Every line ends with CR LF: a lone LF gains a CR, CR LF stays, a CR anywhere
// else stays, and a last line without a break gets one. Text that already
// conforms is returned without a copy (a missing last break is appended in
// place).
QString withCrLfLines(QString text)
{
    const qsizetype n = text.size();
    if (n == 0)
        return text;
    const char16_t *s = QStringView(text).utf16();

    // Branch-free, so that the usual case (nothing to do) costs one quick sweep.
    qsizetype loneLf = s[0] == u'\n';
    for (qsizetype i = 1; i < n; ++i)
        loneLf += (s[i] == u'\n') & (s[i - 1] != u'\r');
    const bool needsLastBreak = s[n - 1] != u'\n';
    if (loneLf == 0) {
        if (needsLastBreak)
            text.append(u"\r\n"); // grows in place when the string is not shared
        return text;
    }

    QString out(n + loneLf + (needsLastBreak ? 2 : 0), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    char16_t previous = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c == u'\n' && previous != u'\r')
            *d++ = u'\r';
        *d++ = c;
        previous = c;
    }
    if (needsLastBreak) {
        *d++ = u'\r';
        *d++ = u'\n';
    }
    return out;
}

// Code page 932 bytes to text with CR LF lines (see withCrLfLines), a slice
// at a time so that each slice's bytes and text are still in the cache when
// they are looked at again. 0A and 0D are only ever LF and CR, never part of
// a double-byte character, so lone LFs are found on the bytes. A byte below
// 40 is neither byte of a pair, so a slice that ends after one cuts no
// character in two.
QString decodeShiftJisLines(QByteArrayView bytes)
{
    constexpr qsizetype SliceBytes = 64 * 1024;
    const auto *const b = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    QString out(n + 2, Qt::Uninitialized); // a byte gives at most one unit
    qsizetype used = 0;
    for (qsizetype start = 0; start < n;) {
        qsizetype end = std::min(start + SliceBytes, n);
        if (end < n) {
            qsizetype cut = end;
            while (cut > start && b[cut - 1] >= 0x40)
                --cut;
            if (cut == start) { // no break at all in the slice: take more
                while (end < n && b[end - 1] >= 0x40)
                    ++end;
            } else {
                end = cut;
            }
        }
        qsizetype loneLf = b[start] == '\n' && (start == 0 || b[start - 1] != '\r');
        for (qsizetype i = start + 1; i < end; ++i)
            loneLf += (b[i] == '\n') & (b[i - 1] != '\r');

        const QString part = CodePage932::decode(bytes.sliced(start, end - start));
        const qsizetype room = used + part.size() + loneLf + (n - end) + 2;
        if (room > out.size())
            out.resize(room);
        char16_t *d = reinterpret_cast<char16_t *>(out.data()) + used;
        if (loneLf == 0) {
            d = std::copy_n(QStringView(part).utf16(), part.size(), d);
        } else {
            char16_t previous = used > 0 ? d[-1] : 0;
            for (const QChar ch : part) {
                const char16_t c = ch.unicode();
                if (c == u'\n' && previous != u'\r')
                    *d++ = u'\r';
                *d++ = c;
                previous = c;
            }
        }
        used = d - reinterpret_cast<const char16_t *>(out.constData());
        start = end;
    }
    if (used > 0 && out.at(used - 1) != u'\n') {
        out[used++] = u'\r';
        out[used++] = u'\n';
    }
    out.truncate(used);
    out.squeeze(); // double-byte characters left up to half of it unused
    return out;
}

// On disk every LF is CR LF and no other CR exists: CRs are dropped and each
// LF gains one. Unit by unit, so a text can be taken in slices anywhere.

// Whether code page 932 bytes are already in that form. A 0D or 0A byte is
// only ever the CR or LF itself (second bytes start at 40), so the check can
// run on the bytes just made, while they are in the cache, rather than on the
// text. A CR last is refused: it would stay while its LF, in the next slice,
// gained one.
bool hasDiskLineBreaks(QByteArrayView bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    if (n == 0)
        return true;
    // A CR wherever an LF follows and nowhere else; branch-free, so that it
    // runs at the speed of the loads.
    unsigned bad = (s[0] == '\n') | (s[n - 1] == '\r');
    for (qsizetype i = 0; i + 1 < n; ++i)
        bad |= (s[i] == '\r') ^ (s[i + 1] == '\n');
    return !bad;
}

void toDiskLineBreaks(QStringView text, QString &out)
{
    out.resize(text.size() * 2);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    char16_t *const begin = d;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\r')
            continue;
        if (c == u'\n')
            *d++ = u'\r';
        *d++ = c;
    }
    out.truncate(d - begin);
}

// Converts a text slice by slice into its bytes on disk, line breaks
// included, so that the writer never needs a copy of the whole file.
class DiskEncoder
{
public:
    explicit DiskEncoder(int encoding)
        : m_encoding(encoding)
    {
    }

    QByteArrayView mark() const
    {
        return m_encoding == Encoding::Utf8 ? Utf8Bom : m_encoding == Encoding::Utf16Le ? Utf16LeBom
                                                                                         : QByteArrayView();
    }

    // The disk bytes of `slice`, or false when it has no form in the encoding.
    bool encode(QStringView slice, QByteArray &bytes)
    {
        switch (m_encoding) {
        case Encoding::ShiftJis: {
            // The usual text has CR LF lines already: convert it as it is.
            std::optional<QByteArray> encoded = CodePage932::encode(slice);
            if (encoded && !hasDiskLineBreaks(*encoded)) {
                toDiskLineBreaks(slice, m_diskForm);
                encoded = CodePage932::encode(m_diskForm);
            }
            if (!encoded)
                return false;
            bytes = std::move(*encoded);
            return true;
        }
        case Encoding::Utf8:
            return encodeUtf8(slice, bytes);
        case Encoding::Utf16Le:
            encodeUtf16Le(slice, bytes);
            return true;
        default:
            return false;
        }
    }

private:
    // Slices never split a surrogate pair, so a lone surrogate here is one in
    // the text: it has no UTF-8 form, and the text is refused.
    static bool encodeUtf8(QStringView slice, QByteArray &bytes)
    {
        bytes.resize(slice.size() * 3); // LF, or a pair of units, takes less
        auto *d = reinterpret_cast<unsigned char *>(bytes.data());
        const char16_t *s = slice.utf16();
        const qsizetype n = slice.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t u = s[i];
            if (u < 0x80) {
                if (u == u'\r')
                    continue;
                if (u == u'\n')
                    *d++ = '\r';
                *d++ = static_cast<unsigned char>(u);
            } else if (u < 0x800) {
                *d++ = static_cast<unsigned char>(0xC0 | u >> 6);
                *d++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
            } else if (!QChar::isSurrogate(u)) {
                *d++ = static_cast<unsigned char>(0xE0 | u >> 12);
                *d++ = static_cast<unsigned char>(0x80 | (u >> 6 & 0x3F));
                *d++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
            } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
                const char32_t c = QChar::surrogateToUcs4(u, s[++i]);
                *d++ = static_cast<unsigned char>(0xF0 | c >> 18);
                *d++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
                *d++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
                *d++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            } else {
                return false;
            }
        }
        bytes.truncate(d - reinterpret_cast<const unsigned char *>(bytes.constData()));
        return true;
    }

    // Units go out as they are; UTF-16 keeps even a lone surrogate exactly.
    static void encodeUtf16Le(QStringView slice, QByteArray &bytes)
    {
        bytes.resize(slice.size() * 4); // every unit could be an LF
        uchar *d = reinterpret_cast<uchar *>(bytes.data());
        for (const QChar ch : slice) {
            const char16_t u = ch.unicode();
            if (u == u'\r')
                continue;
            if (u == u'\n') {
                qToLittleEndian<char16_t>(u'\r', d);
                d += 2;
            }
            qToLittleEndian<char16_t>(u, d);
            d += 2;
        }
        bytes.truncate(d - reinterpret_cast<const uchar *>(bytes.constData()));
    }

    int m_encoding;
    QString m_diskForm;
};

// Units per slice of a text being written: the slice and its bytes stay in
// the processor's cache.
constexpr qsizetype SliceUnits = 64 * 1024;

// How well the bytes read as each of three multi-byte encodings: two points
// per double-byte character, three per triple-byte one. Each encoding is
// scanned from the start, and a match skips its other bytes. Scores can
// exceed the int range on files of more than about 1 GB.
struct Scores
{
    qint64 sjis = 0;
    qint64 euc = 0;
    qint64 utf8 = 0;
};

#if defined(__SSE2__)

// The scan in 64-byte blocks, a bit per byte. Each skip-ahead scan becomes
// bit arithmetic:
// - UTF-8 needs no scan at all: the bytes a match skips are continuation
//   bytes, which start nothing, so every lead byte followed by the right
//   continuation bytes scores where it stands.
// - Shift-JIS: where a pair may start at i (lead byte, then trail byte), the
//   scan takes i unless it took i - 1. In a run of such positions it takes
//   every second one from the run's start (pairStarts).
// - EUC-JP: 8E and 8F are never the second or third byte of anything, so
//   every 8E + kana and 8F + two EUC bytes scores; the bytes they cover are
//   taken out, and the pairs of plain EUC bytes are then found like
//   Shift-JIS pairs.
namespace Simd {

// Per byte class, a bit per byte of a 64-byte block.
struct Masks
{
    quint64 sjisLead = 0;  // 81-9F, E0-FC
    quint64 sjisTrail = 0; // 40-7E, 80-FC
    quint64 euc = 0;       // A1-FE
    quint64 kana = 0;      // A1-DF
    quint64 x8e = 0;
    quint64 x8f = 0;
    quint64 utf8Lead2 = 0; // C0-DF
    quint64 utf8Lead3 = 0; // E0-EF
    quint64 utf8Cont = 0;  // 80-BF
};

Masks classify(const unsigned char *p)
{
    Masks m;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * k));
        // Signed compares: bytes 80-FF are negative, so "above t" for a t in
        // 80-FF holds every ASCII byte as well; a difference of two such
        // tests leaves them out.
        const auto above = [&v](unsigned char t) { return _mm_cmpgt_epi8(v, _mm_set1_epi8(char(t))); };
        const auto equal = [&v](unsigned char t) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(char(t))); };
        const auto without = [](__m128i a, __m128i b) { return _mm_andnot_si128(b, a); };
        const __m128i high = _mm_cmpgt_epi8(_mm_setzero_si128(), v);
        const __m128i a80 = above(0x80);
        const __m128i a9F = above(0x9F);
        const __m128i aA0 = above(0xA0);
        const __m128i aBF = above(0xBF);
        const __m128i aDF = above(0xDF);
        const __m128i aEF = above(0xEF);
        const __m128i aFC = above(0xFC);
        const __m128i aFE = above(0xFE);
        const __m128i ascii40to7E = _mm_and_si128(above(0x3F), _mm_cmplt_epi8(v, _mm_set1_epi8(0x7F)));
        const auto bits = [k](__m128i x) { return quint64(unsigned(_mm_movemask_epi8(x))) << (16 * k); };
        m.sjisLead |= bits(_mm_or_si128(without(a80, a9F), without(aDF, aFC)));
        m.sjisTrail |= bits(_mm_or_si128(ascii40to7E, without(high, aFC)));
        m.euc |= bits(without(aA0, aFE));
        m.kana |= bits(without(aA0, aDF));
        m.x8e |= bits(equal(0x8E));
        m.x8f |= bits(equal(0x8F));
        m.utf8Lead2 |= bits(without(aBF, aDF));
        m.utf8Lead3 |= bits(without(aDF, aEF));
        m.utf8Cont |= bits(without(high, aBF));
    }
    return m;
}

// Without POPCNT in the baseline instruction set std::popcount is a library
// call; this is the same count inline.
qint64 bitCount(quint64 x)
{
    x = x - ((x >> 1) & 0x5555555555555555);
    x = (x & 0x3333333333333333) + ((x >> 2) & 0x3333333333333333);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return qint64((x * 0x0101010101010101) >> 56);
}

// The positions a left-to-right scan takes among the possible pair starts
// `m`: x[i] = m[i] and not x[i - 1], with x[-1] = `taken` (the previous
// block's last bit, updated for the next block). In each run of ones that is
// every second position from the run's start; a run's start parity picks
// the even or the odd positions, and adding a run's start bit to `m` clears
// exactly that run.
quint64 pairStarts(quint64 m, quint64 &taken)
{
    constexpr quint64 Even = 0x5555555555555555;
    const quint64 starts = m & ~(m << 1);
    quint64 evenStarts = starts & Even;
    quint64 oddStarts = starts & ~Even;
    if (taken) {
        // Byte 0 belongs to the pair taken last: its run, if any, begins
        // (in effect) one byte earlier.
        evenStarts &= ~quint64(1);
        oddStarts |= m & 1;
    }
    const quint64 x = (m & ~(m + evenStarts) & Even) | (m & ~(m + oddStarts) & ~Even);
    taken = x >> 63;
    return x;
}

Scores score(const unsigned char *b, qsizetype n)
{
    Scores s;
    const qsizetype blocks = (n + 63) / 64;
    // Bytes past the end are zero, which is in no class: nothing can match
    // across the end.
    unsigned char last[64];
    const auto masksOf = [&](qsizetype k) {
        if (k >= blocks)
            return Masks();
        if ((k + 1) * 64 <= n)
            return classify(b + 64 * k);
        memset(last, 0, sizeof last);
        memcpy(last, b + 64 * k, size_t(n - 64 * k));
        return classify(last);
    };
    // The class of the byte one or two further on, across into the next block.
    const auto next1 = [](quint64 here, quint64 after) { return here >> 1 | after << 63; };
    const auto next2 = [](quint64 here, quint64 after) { return here >> 2 | after << 62; };

    quint64 sjisTaken = 0;
    quint64 eucTaken = 0;
    quint64 coveredIn = 0; // bytes of this block covered by an 8E or 8F match before it
    Masks m = masksOf(0);
    for (qsizetype k = 0; k < blocks; ++k) {
        const Masks after = masksOf(k + 1);

        s.sjis += 2 * bitCount(pairStarts(m.sjisLead & next1(m.sjisTrail, after.sjisTrail), sjisTaken));

        const quint64 euc1 = next1(m.euc, after.euc);
        const quint64 kanaPairs = m.x8e & next1(m.kana, after.kana);
        const quint64 triples = m.x8f & euc1 & next2(m.euc, after.euc);
        const quint64 covered = coveredIn | kanaPairs << 1 | triples << 1 | triples << 2;
        coveredIn = ((kanaPairs | triples) >> 63) | ((triples >> 62) & 1) | (triples >> 63) << 1;
        s.euc += 2 * bitCount(pairStarts(m.euc & euc1 & ~covered, eucTaken)) + 2 * bitCount(kanaPairs)
                 + 3 * bitCount(triples);

        const quint64 cont1 = next1(m.utf8Cont, after.utf8Cont);
        s.utf8 += 2 * bitCount(m.utf8Lead2 & cont1)
                  + 3 * bitCount(m.utf8Lead3 & cont1 & next2(m.utf8Cont, after.utf8Cont));
        m = after;
    }
    return s;
}

} // namespace Simd

Scores scoreContent(const unsigned char *b, qsizetype n)
{
    return Simd::score(b, n);
}

#else

// Byte ranges of the scoring passes, one table lookup per byte.
namespace ByteClasses {
enum : unsigned char {
    SjisLead = 0x01,  // 81-9F, E0-FC
    SjisTrail = 0x02, // 40-7E, 80-FC
    EucByte = 0x04,   // A1-FE
    EucKana = 0x08,   // A1-DF, after 8E
    Utf8Lead2 = 0x10, // C0-DF
    Utf8Lead3 = 0x20, // E0-EF
    Utf8Cont = 0x40,  // 80-BF
};

constexpr std::array<unsigned char, 256> make()
{
    std::array<unsigned char, 256> t{};
    const auto in = [](int c, int lo, int hi) { return c >= lo && c <= hi; };
    for (int c = 0; c < 256; ++c) {
        unsigned char f = 0;
        if (in(c, 0x81, 0x9F) || in(c, 0xE0, 0xFC))
            f |= SjisLead;
        if (in(c, 0x40, 0x7E) || in(c, 0x80, 0xFC))
            f |= SjisTrail;
        if (in(c, 0xA1, 0xFE))
            f |= EucByte;
        if (in(c, 0xA1, 0xDF))
            f |= EucKana;
        if (in(c, 0xC0, 0xDF))
            f |= Utf8Lead2;
        if (in(c, 0xE0, 0xEF))
            f |= Utf8Lead3;
        if (in(c, 0x80, 0xBF))
            f |= Utf8Cont;
        t[size_t(c)] = f;
    }
    return t;
}

constexpr std::array<unsigned char, 256> table = make();
} // namespace ByteClasses

Scores scoreContent(const unsigned char *b, qsizetype n)
{
    const auto &cls = ByteClasses::table;
    Scores s;
    for (qsizetype i = 0; i < n - 1; ++i) {
        if ((cls[b[i]] & ByteClasses::SjisLead) && (cls[b[i + 1]] & ByteClasses::SjisTrail)) {
            s.sjis += 2;
            ++i;
        }
    }
    for (qsizetype i = 0; i < n - 1; ++i) {
        const unsigned char b1 = b[i];
        const unsigned char c2 = cls[b[i + 1]];
        if ((cls[b1] & c2 & ByteClasses::EucByte) || (b1 == 0x8E && (c2 & ByteClasses::EucKana))) {
            s.euc += 2;
            ++i;
        } else if (b1 == 0x8F && i < n - 2 && (c2 & cls[b[i + 2]] & ByteClasses::EucByte)) {
            s.euc += 3;
            i += 2;
        }
    }
    for (qsizetype i = 0; i < n - 1; ++i) {
        const unsigned char c1 = cls[b[i]];
        const unsigned char c2 = cls[b[i + 1]];
        if ((c1 & ByteClasses::Utf8Lead2) && (c2 & ByteClasses::Utf8Cont)) {
            s.utf8 += 2;
            ++i;
        } else if ((c1 & ByteClasses::Utf8Lead3) && i < n - 2 && (c2 & cls[b[i + 2]] & ByteClasses::Utf8Cont)) {
            s.utf8 += 3;
            i += 2;
        }
    }
    return s;
}

#endif

} // namespace

CStringCode::CStringCode(Prompter *prompter)
    : m_prompter(prompter)
{
}

QString CStringCode::readText(int encoding, const QString &path) const
{
    return readTextResult(encoding, path).text;
}

TextRead CStringCode::readTextResult(int encoding, const QString &path) const
{
    TextRead result;
    QByteArray bytes;
    if (encoding == Encoding::Auto) {
        // The bytes read for detection are the bytes decoded: one read only.
        const int code = readWholeFile(path, bytes)
                             ? encodingFromCodePage(detectCodePage(bytes.constData(), bytes.size()))
                             : CodePage::Undecided;
        if (code == CodePage::Undecided) {
            if (m_prompter)
                m_prompter->showMessage(QString::fromUtf16(Msg::DetectFailed));
            return result;
        }
        encoding = code;
        if (encoding < Encoding::ShiftJis || encoding > Encoding::Utf16Le)
            return result; // UTF-16BE, UTF-32LE, ISO-2022-JP, EUC-JP: not readable
    } else if (encoding < Encoding::ShiftJis || encoding > Encoding::Utf16Le
               || !readWholeFile(path, bytes)) {
        return result;
    }

    QByteArrayView content(bytes);
    QString decoded;
    if (encoding == Encoding::ShiftJis) {
        // No byte-order mark in this encoding: any such bytes are text.
        result.text = decodeShiftJisLines(content);
        result.encoding = encoding;
        result.ok = true;
        return result;
    } else {
        if (startsWith(content, Utf8Bom)) {
            encoding = Encoding::Utf8;
            content = content.sliced(Utf8Bom.size());
        } else if (startsWith(content, Utf16LeBom)) {
            encoding = Encoding::Utf16Le;
            content = content.sliced(Utf16LeBom.size());
        }
        if (encoding == Encoding::Utf8 && decodeWellFormedUtf8Lines(content, result.text)) {
            result.encoding = encoding;
            result.ok = true;
            return result;
        }
        decoded = encoding == Encoding::Utf8 ? decodeUtf8(content) : decodeUtf16Le(content);
    }
    bytes.clear();

    result.text = withCrLfLines(std::move(decoded));
    result.encoding = encoding;
    result.ok = true;
    return result;
}

bool CStringCode::writeText(int encoding, const QString &path, const QString &text) const
{
    const auto refuse = [this] {
        if (m_prompter)
            m_prompter->showMessage(QString::fromUtf16(Msg::TextSaveError));
        return false;
    };
    if (encoding < Encoding::ShiftJis || encoding > Encoding::Utf16Le)
        return refuse();

    // The target is replaced only on commit: a text the encoding cannot hold,
    // found in any slice, leaves the old file as it was.
    SafeFileWriter writer(path);
    if (!writer.open())
        return refuse();
    DiskEncoder encoder(encoding);
    if (!writer.write(encoder.mark()))
        return refuse();

    const QStringView all(text);
    const qsizetype n = all.size();
    QByteArray bytes;
    for (qsizetype start = 0; start < n;) {
        qsizetype end = std::min(start + SliceUnits, n);
        // Keep a surrogate pair, or a CR LF pair, in one slice.
        if (end < n && (QChar::isHighSurrogate(all[end - 1].unicode()) || all[end - 1] == u'\r'))
            ++end;
        if (!encoder.encode(all.sliced(start, end - start), bytes) || !writer.write(bytes))
            return refuse();
        start = end;
    }
    if (!writer.commit())
        return refuse();
    return true;
}

int CStringCode::detectEncoding(const QString &path) const
{
    QByteArray bytes;
    if (!readWholeFile(path, bytes))
        return CodePage::Undecided;
    return encodingFromCodePage(detectCodePage(bytes.constData(), bytes.size()));
}

int CStringCode::detectCodePage(const char *bytes, qsizetype length)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes);
    const qsizetype n = length;
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return CodePage::Utf16Be;
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return (n >= 4 && b[2] == 0x00 && b[3] == 0x00) ? CodePage::Utf32Le : CodePage::Utf16Le;
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return CodePage::Utf8;
    if (n >= 4 && b[0] == 0x00 && b[1] == 0x00 && b[2] == 0xFE && b[3] == 0xFF)
        return CodePage::Utf16Be;
    return codePageFromContent(bytes, length);
}

int CStringCode::codePageFromContent(const char *bytes, qsizetype length)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes);
    const qsizetype n = length;
    if (n <= 0)
        return CodePage::ShiftJis;
    const unsigned char *const end = b + n;

    // Control-byte test. A NUL followed by an ASCII byte (UTF-16LE without a
    // mark) answers at once wherever it stands, since other bytes only mark;
    // so NULs are looked up first and the rest is one branch-free sweep.
    for (auto *z = static_cast<const unsigned char *>(memchr(b, 0, size_t(n))); z;
         z = static_cast<const unsigned char *>(memchr(z + 1, 0, size_t(end - z - 1)))) {
        if (z + 1 < end && z[1] <= 0x7F)
            return CodePage::Utf16Le;
        if (z + 1 == end)
            break;
    }
    unsigned char unreadable = 0;
    unsigned char highOrEscape = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char c = b[i];
        unreadable |= (c <= 0x06) | (c == 0x7F) | (c == 0xFF);
        highOrEscape |= (c >= 0x80) | (c == 0x1B);
    }
    if (unreadable)
        return CodePage::Undecided;
    if (!highOrEscape)
        return CodePage::ShiftJis;

    // JIS escapes.
    for (auto *e = static_cast<const unsigned char *>(memchr(b, 0x1B, size_t(n))); e && e - b < n - 2;
         e = static_cast<const unsigned char *>(memchr(e + 1, 0x1B, size_t(end - e - 1)))) {
        const qsizetype i = e - b;
        const unsigned char p1 = b[i + 1];
        const unsigned char p2 = b[i + 2];
        if ((p1 == 0x24 && (p2 == 0x40 || p2 == 0x42))
            || (p1 == 0x28 && (p2 == 0x42 || p2 == 0x49 || p2 == 0x4A)))
            return CodePage::Iso2022Jp;
        if (i < n - 3 && p1 == 0x24 && p2 == 0x28 && b[i + 3] == 0x44)
            return CodePage::Iso2022Jp;
        if (i < n - 5 && p1 == 0x26 && p2 == 0x40 && b[i + 3] == 0x1B && b[i + 4] == 0x24
            && b[i + 5] == 0x42)
            return CodePage::Iso2022Jp;
    }

    const auto [sjis, euc, utf8] = scoreContent(b, n);
    if (euc > sjis && euc > utf8)
        return CodePage::EucJp;
    if (sjis > euc && sjis > utf8)
        return CodePage::ShiftJis;
    if (utf8 > sjis && utf8 > euc)
        return CodePage::Utf8;
    return CodePage::Undecided;
}
