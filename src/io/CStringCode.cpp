#include "io/CStringCode.h"

#include "Messages.h"
#include "io/CodePage932.h"
#include "io/SafeFileWriter.h"
#include "platform/Prompter.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

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
// conforms is returned without a copy.
QString withCrLfLines(QString text)
{
    const QStringView view(text);
    const qsizetype n = view.size();
    if (n == 0)
        return text;
    const char16_t *s = view.utf16();

    qsizetype loneLf = 0;
    for (qsizetype p = view.indexOf(u'\n'); p >= 0; p = view.indexOf(u'\n', p + 1)) {
        if (p == 0 || s[p - 1] != u'\r')
            ++loneLf;
    }
    const bool needsLastBreak = s[n - 1] != u'\n';
    if (loneLf == 0 && !needsLastBreak)
        return text;

    QString out(n + loneLf + (needsLastBreak ? 2 : 0), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    qsizetype from = 0;
    if (loneLf > 0) {
        for (qsizetype p = view.indexOf(u'\n'); p >= 0; p = view.indexOf(u'\n', p + 1)) {
            if (p != 0 && s[p - 1] == u'\r')
                continue;
            memcpy(d, s + from, size_t(p - from) * sizeof(char16_t));
            d += p - from;
            *d++ = u'\r';
            from = p; // the LF itself goes with the next stretch
        }
    }
    memcpy(d, s + from, size_t(n - from) * sizeof(char16_t));
    d += n - from;
    if (needsLastBreak) {
        *d++ = u'\r';
        *d++ = u'\n';
    }
    return out;
}

// On disk every LF is CR LF and no other CR exists: CRs are dropped and each
// LF gains one. The program's own CR LF text passes without a copy.
QString withDiskLineBreaks(const QString &text)
{
    const QStringView view(text);
    const char16_t *s = view.utf16();
    const qsizetype n = view.size();

    qsizetype cr = 0;
    bool pairedOnly = true;
    for (qsizetype p = view.indexOf(u'\r'); p >= 0; p = view.indexOf(u'\r', p + 1)) {
        ++cr;
        if (p + 1 >= n || s[p + 1] != u'\n')
            pairedOnly = false;
    }
    const qsizetype lf = view.count(u'\n');
    if (pairedOnly && cr == lf)
        return text;

    QString out(n - cr + lf, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c == u'\r')
            continue;
        if (c == u'\n')
            *d++ = u'\r';
        *d++ = c;
    }
    return out;
}

// The whole file's bytes, or nullopt when the text has no form in the
// encoding; then nothing may be written.
std::optional<QByteArray> encodeForDisk(int encoding, const QString &diskText)
{
    switch (encoding) {
    case Encoding::ShiftJis:
        return CodePage932::encode(diskText);
    case Encoding::Utf8: {
        QByteArray out(Utf8Bom.size() + diskText.size() * 3, Qt::Uninitialized);
        memcpy(out.data(), Utf8Bom.data(), size_t(Utf8Bom.size()));
        QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        char *end = encoder.appendToBuffer(out.data() + Utf8Bom.size(), diskText);
        // A lone surrogate has no UTF-8 form: the encoder put a replacement
        // in its place and says so here.
        if (encoder.hasError())
            return std::nullopt;
        out.truncate(end - out.constData());
        return out;
    }
    case Encoding::Utf16Le: {
        // Units go out as they are; UTF-16 keeps even a lone surrogate exactly.
        QByteArray out(Utf16LeBom.size() + diskText.size() * 2, Qt::Uninitialized);
        memcpy(out.data(), Utf16LeBom.data(), size_t(Utf16LeBom.size()));
        qToLittleEndian<char16_t>(diskText.utf16(), diskText.size(), out.data() + Utf16LeBom.size());
        return out;
    }
    default:
        return std::nullopt;
    }
}

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
        decoded = CodePage932::decode(content);
    } else {
        if (startsWith(content, Utf8Bom)) {
            encoding = Encoding::Utf8;
            content = content.sliced(Utf8Bom.size());
        } else if (startsWith(content, Utf16LeBom)) {
            encoding = Encoding::Utf16Le;
            content = content.sliced(Utf16LeBom.size());
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

    // Everything is converted before the target is touched, so a text the
    // encoding cannot hold leaves the old file as it was.
    const std::optional<QByteArray> bytes = encodeForDisk(encoding, withDiskLineBreaks(text));
    if (!bytes)
        return refuse();

    SafeFileWriter writer(path);
    if (!writer.open() || !writer.write(*bytes) || !writer.commit())
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

    // Three independent scoring passes; a match skips its extra bytes.
    // Scores can exceed the int range on files of more than about 1 GB.
    const auto &cls = ByteClasses::table;
    qint64 sjis = 0;
    for (qsizetype i = 0; i < n - 1; ++i) {
        if ((cls[b[i]] & ByteClasses::SjisLead) && (cls[b[i + 1]] & ByteClasses::SjisTrail)) {
            sjis += 2;
            ++i;
        }
    }

    qint64 euc = 0;
    for (qsizetype i = 0; i < n - 1; ++i) {
        const unsigned char b1 = b[i];
        const unsigned char c2 = cls[b[i + 1]];
        if ((cls[b1] & c2 & ByteClasses::EucByte) || (b1 == 0x8E && (c2 & ByteClasses::EucKana))) {
            euc += 2;
            ++i;
        } else if (b1 == 0x8F && i < n - 2 && (c2 & cls[b[i + 2]] & ByteClasses::EucByte)) {
            euc += 3;
            i += 2;
        }
    }

    qint64 utf8 = 0;
    for (qsizetype i = 0; i < n - 1; ++i) {
        const unsigned char c1 = cls[b[i]];
        const unsigned char c2 = cls[b[i + 1]];
        if ((c1 & ByteClasses::Utf8Lead2) && (c2 & ByteClasses::Utf8Cont)) {
            utf8 += 2;
            ++i;
        } else if ((c1 & ByteClasses::Utf8Lead3) && i < n - 2
                   && (c2 & cls[b[i + 2]] & ByteClasses::Utf8Cont)) {
            utf8 += 3;
            i += 2;
        }
    }

    if (euc > sjis && euc > utf8)
        return CodePage::EucJp;
    if (sjis > euc && sjis > utf8)
        return CodePage::ShiftJis;
    if (utf8 > sjis && utf8 > euc)
        return CodePage::Utf8;
    return CodePage::Undecided;
}
