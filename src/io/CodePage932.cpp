#include "io/CodePage932.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *HostUtf16 = "UTF-16LE";
#else
constexpr const char *HostUtf16 = "UTF-16BE";
#endif

// One converter per direction and thread, opened on first use: opening is far
// dearer than converting the short strings of a native file.
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

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

} // namespace

namespace CodePage932 {

QString decode(QByteArrayView bytes)
{
    // Code page 932 keeps 00-7F as ASCII (5C and 7E included).
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);

    const Converter &cd = decoder();
    if (!cd.valid())
        return QString(bytes.size(), QChar::ReplacementCharacter);

    // Every byte gives at most one UTF-16 unit: all of code page 932 lies in
    // the BMP, and a bad byte or pair becomes one U+FFFD.
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
        // A well-formed but unassigned pair is one bad character, not a bad
        // byte followed by an ASCII one.
        const auto lead = static_cast<unsigned char>(in[0]);
        const size_t skip =
            (inLeft >= 2 && isLeadByte(lead) && isTrailByte(static_cast<unsigned char>(in[1])))
                ? 2 : 1;
        const char16_t fffd = QChar::ReplacementCharacter;
        memcpy(outPtr, &fffd, sizeof fffd);
        outPtr += sizeof fffd;
        outLeft -= sizeof fffd;
        in += skip;
        inLeft -= skip;
        cd.reset();
    }
    out.truncate(qsizetype((outPtr - outBegin) / qsizetype(sizeof(char16_t))));
    out.squeeze(); // double-byte characters left up to half of it unused
    return out;
}

std::optional<QByteArray> encode(QStringView text)
{
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return text.toLatin1();

    const Converter &cd = encoder();
    if (!cd.valid())
        return std::nullopt;

    // One UTF-16 unit never needs more than two bytes.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    const char *in = reinterpret_cast<const char *>(text.utf16());
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    char *const outBegin = out.data();
    char *outPtr = outBegin;
    size_t outLeft = size_t(out.size());

    cd.reset();
    // EILSEQ: no code page 932 form (an emoji, a lone surrogate);
    // EINVAL: a high surrogate at the very end. Both refuse the whole text.
    if (cd.convert(&in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0) {
        cd.reset();
        return std::nullopt;
    }
    // Flush any shift state (none for this code page, but cheap to be sure).
    if (cd.convert(nullptr, nullptr, &outPtr, &outLeft) == size_t(-1))
        return std::nullopt;
    out.truncate(outPtr - outBegin);
    return out;
}

} // namespace CodePage932
