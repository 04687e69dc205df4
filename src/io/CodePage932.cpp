#include "io/CodePage932.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *HostUtf16 = "UTF-16LE";
#else
constexpr const char *HostUtf16 = "UTF-16BE";
#endif

class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Back to the initial state, so that a failed call leaves nothing behind.
    void reset() const { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    size_t convert(const char **in, size_t *inLeft, char **out, size_t *outLeft) const
    {
        // glibc declares the input as char ** although it never writes through it.
        return iconv(m_cd, const_cast<char **>(in), inLeft, out, outLeft);
    }

private:
    iconv_t m_cd;
};

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Bytes consumed by one U+FFFD where iconv refuses the byte at `p`: a
// well-formed but unassigned pair is one bad character, not a bad byte
// followed by an ASCII one.
qsizetype badCharLength(const unsigned char *p, const unsigned char *end)
{
    return end - p >= 2 && isLeadByte(p[0]) && isTrailByte(p[1]) ? 2 : 1;
}

// The whole mapping, asked of iconv once per byte, pair and UTF-16 unit, so
// that conversion is a table lookup yet gives exactly what iconv gives.
// Every code page 932 character is one BMP unit and iconv decides single or
// double byte by the first byte alone; the tables are built only when iconv
// confirms both, otherwise conversion goes through iconv itself.
struct Tables
{
    static constexpr char16_t NoChar = 0xFFFF; // not a character: never a result
    static constexpr quint16 NoCode = 0xFFFF;  // no character has an FF byte

    // The character of a single byte, or NoChar (a lead byte or a bad byte).
    std::array<char16_t, 256> single{};
    // The character of lead << 8 | trail, or NoChar.
    std::array<char16_t, 0x10000> pair{};
    // The bytes of a unit as they lie in memory, first byte low: below 0x100
    // one byte, else lead | trail << 8 (a trail byte is never below 0x40);
    // NoCode when it has none (every surrogate among them).
    std::array<quint16, 0x10000> code{};

    bool build();
};

bool Tables::build()
{
    const Converter dec(HostUtf16, "CP932");
    const Converter enc("CP932", HostUtf16);
    if (!dec.valid() || !enc.valid())
        return false;

    // One conversion of `inSize` bytes: how many were consumed and written.
    const auto run = [](const Converter &cd, const char *in, size_t inSize, char *out, size_t outSize,
                        size_t &consumed, size_t &written) {
        cd.reset();
        const char *ip = in;
        char *op = out;
        size_t inLeft = inSize;
        size_t outLeft = outSize;
        const size_t r = cd.convert(&ip, &inLeft, &op, &outLeft);
        const int err = errno;
        consumed = inSize - inLeft;
        written = outSize - outLeft;
        return r == size_t(-1) ? err : 0;
    };

    char16_t out[4];
    size_t consumed = 0;
    size_t written = 0;
    std::array<bool, 256> lead{};
    for (int b = 0; b < 256; ++b) {
        const char in = char(b);
        const int err = run(dec, &in, 1, reinterpret_cast<char *>(out), sizeof out, consumed, written);
        single[size_t(b)] = NoChar;
        if (err == 0) {
            if (written != 2 || out[0] == NoChar)
                return false;
            single[size_t(b)] = out[0];
        } else if (err == EINVAL) {
            lead[size_t(b)] = true; // waits for a second byte
        } else if (err != EILSEQ || consumed != 0) {
            return false;
        }
    }
    pair.fill(NoChar);
    for (int b = 0; b < 256; ++b) {
        for (int t = 0; t < 256; ++t) {
            const char in[2] = {char(b), char(t)};
            const int err = run(dec, in, 2, reinterpret_cast<char *>(out), sizeof out, consumed, written);
            if (!lead[size_t(b)]) {
                // A single byte must not change meaning with what follows it.
                const bool asSingle = single[size_t(b)] != NoChar ? consumed >= 1 && out[0] == single[size_t(b)]
                                                                  : err == EILSEQ && consumed == 0;
                if (!asSingle)
                    return false;
                continue;
            }
            if (err == 0 && consumed == 2 && written == 2 && out[0] != NoChar)
                pair[size_t(b << 8 | t)] = out[0];
            else if (err != EILSEQ || consumed != 0)
                return false;
        }
    }

    code.fill(NoCode);
    for (int u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue; // alone it has no form, and no pair of them has one either
        const char16_t unit = char16_t(u);
        unsigned char bytes[8];
        const int err = run(enc, reinterpret_cast<const char *>(&unit), 2, reinterpret_cast<char *>(bytes),
                            sizeof bytes, consumed, written);
        if (err == EILSEQ && consumed == 0)
            continue;
        if (err != 0 || consumed != 2)
            return false;
        if (written == 1 && bytes[0] != 0xFF)
            code[size_t(u)] = bytes[0];
        else if (written == 2 && bytes[0] >= 0x81 && bytes[0] != 0xFF && bytes[1] >= 0x40 && bytes[1] != 0xFF)
            code[size_t(u)] = quint16(bytes[0] | bytes[1] << 8);
        else
            return false;
    }
    return true;
}

// Null when iconv has no code page 932 or behaves other than the tables assume.
const Tables *tables()
{
    static const std::unique_ptr<const Tables> t = [] {
        auto built = std::make_unique<Tables>();
        return built->build() ? std::move(built) : nullptr;
    }();
    return t.get();
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The way without tables: straight through iconv, with one converter per
// direction and thread, opened on first use (opening is far dearer than
// converting the short strings of a native file).
const Converter &decoder()
{
    thread_local const Converter c(HostUtf16, "CP932");
    return c;
}

const Converter &encoder()
{
    thread_local const Converter c("CP932", HostUtf16);
    return c;
}

QString decodeWithIconv(QByteArrayView bytes)
{
    const Converter &cd = decoder();
    if (!cd.valid())
        return QString(bytes.size(), QChar::ReplacementCharacter);

    QString out(bytes.size(), Qt::Uninitialized);
    const char *in = bytes.data();
    size_t inLeft = size_t(bytes.size());
    char *const outBegin = reinterpret_cast<char *>(out.data());
    char *outPtr = outBegin;
    size_t outLeft = size_t(out.size()) * sizeof(char16_t);

    cd.reset();
    while (inLeft > 0) {
        if (cd.convert(&in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // E2BIG cannot happen with the bound above
        const auto *p = reinterpret_cast<const unsigned char *>(in);
        const qsizetype skip = badCharLength(p, p + inLeft);
        const char16_t fffd = QChar::ReplacementCharacter;
        memcpy(outPtr, &fffd, sizeof fffd);
        outPtr += sizeof fffd;
        outLeft -= sizeof fffd;
        in += skip;
        inLeft -= size_t(skip);
        cd.reset();
    }
    out.truncate(qsizetype((outPtr - outBegin) / qsizetype(sizeof(char16_t))));
    out.squeeze();
    return out;
}

std::optional<QByteArray> encodeWithIconv(QStringView text)
{
    const Converter &cd = encoder();
    if (!cd.valid())
        return std::nullopt;
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    const char *in = reinterpret_cast<const char *>(text.utf16());
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    char *const outBegin = out.data();
    char *outPtr = outBegin;
    size_t outLeft = size_t(out.size());
    // EILSEQ: no code page 932 form (an emoji, a lone surrogate);
    // EINVAL: a high surrogate at the very end. Both refuse the whole text.
    cd.reset();
    if (cd.convert(&in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) {
        cd.reset();
        return std::nullopt;
    }
    out.truncate(outPtr - outBegin);
    return out;
}

} // namespace

namespace CodePage932 {

QString decode(QByteArrayView bytes)
{
    // Code page 932 keeps 00-7F as ASCII (5C and 7E included).
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    const Tables *t = tables();
    if (!t)
        return decodeWithIconv(bytes);

    // Every byte gives at most one UTF-16 unit: all of code page 932 lies in
    // the BMP, and a bad byte or pair becomes one U+FFFD.
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *const end = p + bytes.size();
    const char16_t *const pair = t->pair.data();
    while (p < end) {
        // Two pairs at a time while the text is pairs (most of Japanese).
        if (end - p >= 4) {
            const char16_t c0 = pair[size_t(p[0]) << 8 | p[1]];
            const char16_t c1 = pair[size_t(p[2]) << 8 | p[3]];
            if ((c0 != Tables::NoChar) & (c1 != Tables::NoChar)) {
                d[0] = c0;
                d[1] = c1;
                d += 2;
                p += 4;
                continue;
            }
        }
        const char16_t s = t->single[*p];
        if (s != Tables::NoChar) {
            *d++ = s;
            ++p;
            continue;
        }
        if (end - p >= 2) {
            const char16_t c = t->pair[size_t(p[0]) << 8 | p[1]];
            if (c != Tables::NoChar) {
                *d++ = c;
                p += 2;
                continue;
            }
        }
        *d++ = QChar::ReplacementCharacter;
        p += badCharLength(p, end);
    }
    out.truncate(d - reinterpret_cast<const char16_t *>(out.constData()));
    out.squeeze(); // double-byte characters left up to half of it unused
    return out;
}

std::optional<QByteArray> encode(QStringView text)
{
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return text.toLatin1();
    const Tables *t = tables();
    if (!t)
        return encodeWithIconv(text);

    // One UTF-16 unit never needs more than two bytes. Both bytes are stored
    // every time and the cursor moves by the real length: no branch per unit.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    auto *d = reinterpret_cast<unsigned char *>(out.data());
    const char16_t *const units = text.utf16();
    const qsizetype n = text.size();
    const quint16 *const code = t->code.data();
    const auto put = [&d](quint16 c) {
        d[0] = static_cast<unsigned char>(c);
        d[1] = static_cast<unsigned char>(c >> 8);
        d += 2 - (c < 0x100);
    };
    qsizetype i = 0;
    // Two units at a time, and two double-byte characters (most of Japanese
    // text) in one store.
    for (; i + 2 <= n; i += 2) {
        const quint32 a = code[units[i]];
        const quint32 b = code[units[i + 1]];
        if ((a >= 0x100) & (b >= 0x100)) {
            qToLittleEndian<quint32>(a | b << 16, d);
            d += 4;
        } else {
            put(quint16(a));
            put(quint16(b));
        }
    }
    if (i < n)
        put(code[units[i]]);
    out.truncate(d - reinterpret_cast<const unsigned char *>(out.constData()));
    // A unit without a form (an emoji, a lone surrogate) left its FF FF, a
    // byte no character has: the whole text is refused.
    if (out.contains('\xFF'))
        return std::nullopt;
    return out;
}

} // namespace CodePage932
