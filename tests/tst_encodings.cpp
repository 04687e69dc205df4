#include "Messages.h"
#include "RealEncodings.h"
#include "RecordingPrompter.h"
#include "io/CStringCode.h"
#include "io/CodePage932.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <iconv.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// Plain implementations of what the fast code must do exactly: detection as
// its rules are written, one byte at a time, and code page 932 straight
// through iconv. The fast code is checked against them on random input.
namespace Plain {

int codePageFromContent(const QByteArray &bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n == 0)
        return 932;
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (b[i] == 0x00 && b[i + 1] <= 0x7F)
            return 1200;
    }
    bool high = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (b[i] <= 0x06 || b[i] == 0x7F || b[i] == 0xFF)
            return 0;
        high = high || b[i] >= 0x80 || b[i] == 0x1B;
    }
    if (!high)
        return 932;
    for (qsizetype i = 0; i < n - 2; ++i) {
        if (b[i] != 0x1B)
            continue;
        const QByteArrayView rest = QByteArrayView(bytes).sliced(i + 1);
        if (rest.startsWith("$@") || rest.startsWith("$B") || rest.startsWith("(B") || rest.startsWith("(I")
            || rest.startsWith("(J") || rest.startsWith("$(D") || rest.startsWith("&@\x1B$B"))
            return 50220;
    }

    const auto in = [](unsigned char c, int lo, int hi) { return c >= lo && c <= hi; };
    qint64 sjis = 0;
    for (qsizetype i = 0; i < n - 1; ++i) {
        if ((in(b[i], 0x81, 0x9F) || in(b[i], 0xE0, 0xFC)) && (in(b[i + 1], 0x40, 0x7E) || in(b[i + 1], 0x80, 0xFC))) {
            sjis += 2;
            ++i;
        }
    }
    qint64 euc = 0;
    for (qsizetype i = 0; i < n - 1; ++i) {
        if ((in(b[i], 0xA1, 0xFE) && in(b[i + 1], 0xA1, 0xFE)) || (b[i] == 0x8E && in(b[i + 1], 0xA1, 0xDF))) {
            euc += 2;
            ++i;
        } else if (b[i] == 0x8F && i < n - 2 && in(b[i + 1], 0xA1, 0xFE) && in(b[i + 2], 0xA1, 0xFE)) {
            euc += 3;
            i += 2;
        }
    }
    qint64 utf8 = 0;
    for (qsizetype i = 0; i < n - 1; ++i) {
        if (in(b[i], 0xC0, 0xDF) && in(b[i + 1], 0x80, 0xBF)) {
            utf8 += 2;
            ++i;
        } else if (in(b[i], 0xE0, 0xEF) && i < n - 2 && in(b[i + 1], 0x80, 0xBF) && in(b[i + 2], 0x80, 0xBF)) {
            utf8 += 3;
            i += 2;
        }
    }
    if (euc > sjis && euc > utf8)
        return 51932;
    if (sjis > euc && sjis > utf8)
        return 932;
    if (utf8 > sjis && utf8 > euc)
        return 65001;
    return 0;
}

class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(m_cd); }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    size_t operator()(const char **in, size_t *inLeft, char **out, size_t *outLeft) const
    {
        return iconv(m_cd, const_cast<char **>(in), inLeft, out, outLeft);
    }
    void reset() const { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// A byte or pair iconv refuses is one U+FFFD; a lead and trail byte pair
// counts as one.
QString decode932(QByteArrayView bytes)
{
    static const Iconv cd("UTF-16LE", "CP932");
    QString out;
    const char *in = bytes.data();
    size_t inLeft = size_t(bytes.size());
    while (inLeft > 0) {
        char16_t buffer[256];
        char *outPtr = reinterpret_cast<char *>(buffer);
        size_t outLeft = sizeof buffer;
        cd.reset();
        const size_t r = cd(&in, &inLeft, &outPtr, &outLeft);
        const int err = errno;
        out.append(QStringView(buffer, (outPtr - reinterpret_cast<char *>(buffer)) / 2));
        if (r != size_t(-1) || err == E2BIG)
            continue;
        const auto lead = static_cast<unsigned char>(in[0]);
        const auto trail = inLeft >= 2 ? static_cast<unsigned char>(in[1]) : 0;
        const bool pair = inLeft >= 2 && ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))
                          && ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC));
        out.append(QChar::ReplacementCharacter);
        in += pair ? 2 : 1;
        inLeft -= pair ? 2 : 1;
    }
    return out;
}

std::optional<QByteArray> encode932(QStringView text)
{
    static const Iconv cd("CP932", "UTF-16LE");
    QByteArray out(text.size() * 2 + 1, Qt::Uninitialized);
    const char *in = reinterpret_cast<const char *>(text.utf16());
    size_t inLeft = size_t(text.size()) * 2;
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    cd.reset();
    if (cd(&in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
        return std::nullopt;
    out.truncate(outPtr - out.constData());
    return out;
}

// Text as read: a lone LF gains a CR, a last line without a break gets one.
QString readLines(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            out.append(u'\r');
        out.append(text[i]);
    }
    if (!out.isEmpty() && !out.endsWith(u'\n'))
        out.append(u"\r\n");
    return out;
}

// Text as written: CRs dropped, every LF a CR LF.
QString diskLines(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\n')
            out.append(u'\r');
        if (c != u'\r')
            out.append(c);
    }
    return out;
}

} // namespace Plain

// Random bytes built from pieces that sit on the edges of the byte classes
// the code cares about, so that short inputs already reach every branch.
QByteArray randomBytes(QRandomGenerator &rng, const QList<QByteArray> &pieces, qsizetype count)
{
    QByteArray out;
    for (qsizetype i = 0; i < count; ++i)
        out += pieces.at(int(rng.bounded(quint32(pieces.size()))));
    return out;
}

QString detectFailed() { return QString::fromUtf16(Msg::DetectFailed); }
QString saveError() { return QString::fromUtf16(Msg::TextSaveError); }

} // namespace

class TestEncodings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void detectCodePage_data();
    void detectCodePage();

    void realFiles_data();
    void realFiles();

    void readRules_data();
    void readRules();
    void unreadableFiles_data();
    void unreadableFiles();

    void writeBytes_data();
    void writeBytes();
    void writeAndReadBack_data();
    void writeAndReadBack();
    void refusedTextKeepsOldFile_data();
    void refusedTextKeepsOldFile();
    void writeFailures_data();
    void writeFailures();

    void codePage932Mappings_data();
    void codePage932Mappings();
    void codePage932BadBytes_data();
    void codePage932BadBytes();

    // The fast paths against plain implementations, on random input.
    void detectionMatchesPlainScan();
    void codePage932MatchesIconv();
    void longReadsMatchPlainDecoding_data();
    void longReadsMatchPlainDecoding();
    void longWritesMatchPlainEncoding_data();
    void longWritesMatchPlainEncoding();

private:
    QString pathFor(const QString &name) const { return m_dir->filePath(name); }
    QString writeFixture(const QByteArray &bytes, const QString &name = u"原稿.txt"_s) const;
    static QByteArray contents(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
};

void TestEncodings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.messages.clear();
    m_prompter.questions.clear();
}

QString TestEncodings::writeFixture(const QByteArray &bytes, const QString &name) const
{
    const QString path = pathFor(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write fixture");
    return path;
}

QByteArray TestEncodings::contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// ---------------------------------------------------------------- detection

void TestEncodings::detectCodePage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");

    QTest::newRow("empty") << QByteArray() << 932;
    QTest::newRow("ASCII only") << "Hello, world\r\n"_ba << 932;
    QTest::newRow("BEL is not a control byte") << "a\x07"_ba << 932;

    QTest::newRow("UTF-16LE without mark") << "a\0b\0"_ba << 1200;
    QTest::newRow("NUL pair wins over an earlier FF") << bytesOf({0xFF, 0x61, 0x00, 0x62}) << 1200;
    QTest::newRow("NUL before DEL") << bytesOf({0x61, 0x00, 0x7F}) << 1200;
    QTest::newRow("NUL as last byte") << "a\0"_ba << 0;
    QTest::newRow("NUL before a high byte") << bytesOf({0x00, 0x82, 0xA0}) << 0;
    QTest::newRow("control byte 06") << "a\x06"_ba << 0;
    QTest::newRow("DEL") << "a\x7F"_ba << 0;
    QTest::newRow("FF inside Shift-JIS") << bytesOf({0x82, 0xA0, 0xFF}) << 0;

    QTest::newRow("mark FE FF") << bytesOf({0xFE, 0xFF, 0x00, 0x61}) << 1201;
    QTest::newRow("mark FF FE") << bytesOf({0xFF, 0xFE, 0x61, 0x00}) << 1200;
    QTest::newRow("mark FF FE only") << bytesOf({0xFF, 0xFE}) << 1200;
    QTest::newRow("mark FF FE 00 00") << bytesOf({0xFF, 0xFE, 0x00, 0x00}) << 12000;
    QTest::newRow("mark EF BB BF only") << bytesOf({0xEF, 0xBB, 0xBF}) << 65001;
    QTest::newRow("mark 00 00 FE FF") << bytesOf({0x00, 0x00, 0xFE, 0xFF}) << 1201;

    QTest::newRow("UTF-8 あ") << bytesOf({0xE3, 0x81, 0x82}) << 65001;
    QTest::newRow("Shift-JIS あ") << bytesOf({0x82, 0xA0}) << 932;
    QTest::newRow("EUC-JP あ") << bytesOf({0xA4, 0xA2}) << 51932;
    QTest::newRow("EUC-JP JIS X 0212") << bytesOf({0x8F, 0xB0, 0xA1}) << 51932;
    QTest::newRow("tie EUC-JP and UTF-8 (é)") << bytesOf({0xC3, 0xA9}) << 0;
    QTest::newRow("tie Shift-JIS and EUC-JP (kana)") << bytesOf({0x8E, 0xB1}) << 0;

    QTest::newRow("JIS ESC $ B") << "x\x1B$B$\"\x1B(B"_ba << 50220;
    QTest::newRow("JIS ESC $ @") << "\x1B$@"_ba << 50220;
    QTest::newRow("JIS ESC ( J") << "\x1B(J"_ba << 50220;
    QTest::newRow("JIS ESC ( I") << "\x1B(I"_ba << 50220;
    QTest::newRow("JIS ESC ( B alone") << "abc\x1B(B"_ba << 50220;
    QTest::newRow("JIS ESC $ ( D") << "\x1B$(D"_ba << 50220;
    QTest::newRow("JIS ESC & @ ESC $ B") << "\x1B&@\x1B$B"_ba << 50220;
    QTest::newRow("escape cut short") << "\x1B$"_ba << 0;
    QTest::newRow("escape without JIS sequence") << "a\x1B[0m"_ba << 0;
}

void TestEncodings::detectCodePage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    QCOMPARE(CStringCode::detectCodePage(bytes.constData(), bytes.size()), code);

    // detectEncoding maps the three readable code pages to indices.
    const int expectedIndex = code == 932 ? 1 : code == 65001 ? 2 : code == 1200 ? 3 : code;
    const CStringCode codec(&m_prompter);
    QCOMPARE(codec.detectEncoding(writeFixture(bytes)), expectedIndex);
    QVERIFY(m_prompter.messages.isEmpty());
}

// Files nobody on this project wrote.
void TestEncodings::realFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("detected");
    QTest::addColumn<QString>("phrase"); // empty: not readable
    QTest::addColumn<int>("lines");

    QTest::newRow("shift_jis") << u"shift_jis.txt"_s << 1 << u"日本語日本語"_s << 1;
    QTest::newRow("utf-8") << u"utf-8.txt"_s << 2 << u"ユーティーエフはち"_s << 9;
    QTest::newRow("utf-16le") << u"utf-16le.txt"_s << 3
                              << u"UTF-16符号化形式のための文字符号化スキーム"_s << 13;
    QTest::newRow("aozora-bom") << u"aozora-bom.txt"_s << 2 << u"BOM付きUTF-8\r\nテスト\r\n"_s << 8;
    QTest::newRow("aozora-chapter") << u"aozora-chapter.txt"_s << 1 << u"目次\r\nテスト\r\n"_s << 340;
    QTest::newRow("aozora-kinsoku (no last break)")
        << u"aozora-kinsoku.txt"_s << 1 << u"禁則処理"_s << 16;
    QTest::newRow("aozora-ruby") << u"aozora-ruby.txt"_s << 1 << u"《るび》"_s << 171;
    QTest::newRow("aozora-title") << u"aozora-title.txt"_s << 1 << u"［＃改ページ］"_s << 58;
    QTest::newRow("euc-jp") << u"euc-jp.txt"_s << 51932 << QString() << 0;
    QTest::newRow("iso-2022-jp") << u"iso-2022-jp.txt"_s << 50220 << QString() << 0;
    // Big-endian without a mark starts with 00 and an ASCII byte, which the
    // NUL test takes for little-endian: detected as index 3.
    QTest::newRow("utf-16be") << u"utf-16be.txt"_s << 3 << QString() << 0;
}

void TestEncodings::realFiles()
{
    QFETCH(QString, file);
    QFETCH(int, detected);
    QFETCH(QString, phrase);
    QFETCH(int, lines);

    QUILLORY_REAL_FILE_OR_SKIP(path, file);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    const CStringCode codec(&m_prompter);
    QCOMPARE(codec.detectEncoding(path), detected);

    const TextRead read = codec.readTextResult(Encoding::Auto, path);
    QVERIFY(m_prompter.messages.isEmpty());
    if (phrase.isEmpty()) {
        if (detected > 3) {
            QVERIFY(!read.ok);
            QCOMPARE(read.text, QString());
        }
        return;
    }
    QVERIFY(read.ok);
    QCOMPARE(read.encoding, detected);
    QVERIFY2(read.text.contains(phrase), qPrintable(read.text.left(80)));
    QVERIFY(!read.text.contains(QChar::ReplacementCharacter));
    QVERIFY(!read.text.startsWith(QChar(0xFEFF)));
    QVERIFY(read.text.endsWith(u"\r\n"));
    QCOMPARE(read.text.count(u'\n'), lines);
    QCOMPARE(read.text.count(u"\r\n"), lines);

    // Reading with the detected index by hand gives the same text.
    QCOMPARE(codec.readText(detected, path), read.text);
}

// ---------------------------------------------------------------- reading

void TestEncodings::readRules_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("used");

    const QByteArray a = "\x82\xA0"_ba; // あ in Shift-JIS

    QTest::newRow("CR LF kept") << 1 << a + "\r\nb\r\n" << u"あ\r\nb\r\n"_s << 1;
    QTest::newRow("LF gains CR") << 1 << "a\nb\n"_ba << u"a\r\nb\r\n"_s << 1;
    QTest::newRow("blank lines") << 1 << "\n\r\n\n"_ba << u"\r\n\r\n\r\n"_s << 1;
    QTest::newRow("last line without break") << 1 << "a\r\nb"_ba << u"a\r\nb\r\n"_s << 1;
    QTest::newRow("lone CR stays") << 1 << "a\rb\r\n"_ba << u"a\rb\r\n"_s << 1;
    QTest::newRow("CR at the end") << 1 << "a\r"_ba << u"a\r\r\n"_s << 1;
    QTest::newRow("only one CR goes with LF") << 1 << "a\r\r\nb"_ba << u"a\r\r\nb\r\n"_s << 1;
    QTest::newRow("NUL is text") << 3 << "a\0\0\0b\0"_ba << u"a\0b\r\n"_s << 3;

    QTest::newRow("empty, Shift-JIS") << 1 << QByteArray() << QString() << 1;
    QTest::newRow("empty, automatic") << 0 << QByteArray() << QString() << 1;
    QTest::newRow("empty, UTF-16LE") << 3 << QByteArray() << QString() << 3;
    QTest::newRow("UTF-8 mark only") << 2 << "\xEF\xBB\xBF"_ba << QString() << 2;

    const QByteArray utf8Bom = "\xEF\xBB\xBF"_ba;
    const QByteArray utf16Bom = "\xFF\xFE"_ba;
    const QByteArray utf16Text = "a\0\n\0"_ba;
    QTest::newRow("UTF-8 mark in mode 2") << 2 << utf8Bom + "a" << u"a\r\n"_s << 2;
    QTest::newRow("UTF-8 mark in mode 3") << 3 << utf8Bom + "\xE3\x81\x82" << u"あ\r\n"_s << 2;
    QTest::newRow("UTF-16 mark in mode 2") << 2 << utf16Bom + utf16Text << u"a\r\n"_s << 3;
    QTest::newRow("UTF-16 mark in mode 3") << 3 << utf16Bom + utf16Text << u"a\r\n"_s << 3;
    QTest::newRow("second mark is text") << 2 << utf8Bom + utf8Bom + "a" << u"\uFEFFa\r\n"_s << 2;
    QTest::newRow("FE FF is no mark in mode 3") << 3 << "\xFE\xFF" "a\0"_ba << u"\uFFFEa\r\n"_s << 3;
    // EF BB is an unassigned pair, BF a half-width katakana.
    QTest::newRow("UTF-8 mark read as Shift-JIS") << 1 << utf8Bom + "a" << u"\uFFFD\uFF7Fa\r\n"_s << 1;

    QTest::newRow("UTF-8 bad byte") << 2 << "a\xFF" "b"_ba << u"a\uFFFDb\r\n"_s << 2;
    QTest::newRow("UTF-16LE odd last byte") << 3 << "a\0b"_ba << u"a\uFFFD\r\n"_s << 3;
    QTest::newRow("UTF-16LE surrogate pair") << 3 << "\x40\xD8\x0B\xDC"_ba << u"\U0002000B\r\n"_s << 3;
    QTest::newRow("UTF-16LE CR LF") << 3 << "a\0\r\0\n\0b\0\r\0"_ba << u"a\r\nb\r\r\n"_s << 3;

    QTest::newRow("automatic UTF-8") << 0 << "\xE3\x81\x82\n"_ba << u"あ\r\n"_s << 2;
    QTest::newRow("automatic UTF-16LE, no mark") << 0 << utf16Text << u"a\r\n"_s << 3;
    QTest::newRow("automatic UTF-16LE mark") << 0 << utf16Bom + utf16Text << u"a\r\n"_s << 3;
    QTest::newRow("automatic UTF-8 mark") << 0 << utf8Bom + "x" << u"x\r\n"_s << 2;
    QTest::newRow("automatic Shift-JIS") << 0 << a + "\n" << u"あ\r\n"_s << 1;
}

void TestEncodings::readRules()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, used);

    const QString path = writeFixture(bytes);
    const CStringCode codec(&m_prompter);
    const TextRead read = codec.readTextResult(encoding, path);
    QVERIFY(read.ok);
    QCOMPARE(read.text, text);
    QCOMPARE(read.encoding, used);
    QCOMPARE(codec.readText(encoding, path), text);
    QCOMPARE(m_prompter.messages, QStringList());
}

void TestEncodings::unreadableFiles_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes"); // "<none>": no file, "<folder>": a folder
    QTest::addColumn<bool>("message");

    QTest::newRow("UTF-16BE mark") << 0 << "\xFE\xFF\0a"_ba << false;
    QTest::newRow("UTF-32LE mark") << 0 << "\xFF\xFE\0\0a\0\0\0"_ba << false;
    QTest::newRow("JIS escape") << 0 << "\x1B$B$\"\x1B(B"_ba << false;
    QTest::newRow("EUC-JP") << 0 << "\xA4\xA2\xA4\xA4"_ba << false;
    QTest::newRow("control bytes") << 0 << "a\x01z"_ba << true;
    QTest::newRow("tie") << 0 << "\xC3\xA9"_ba << true;
    QTest::newRow("escape without JIS") << 0 << "a\x1B[0m"_ba << true;
    QTest::newRow("missing file, automatic") << 0 << "<none>"_ba << true;
    QTest::newRow("missing file, UTF-8") << 2 << "<none>"_ba << false;
    QTest::newRow("folder, Shift-JIS") << 1 << "<folder>"_ba << false;
    QTest::newRow("folder, automatic") << 0 << "<folder>"_ba << true;
    QTest::newRow("encoding 4") << 4 << "abc"_ba << false;
    QTest::newRow("encoding -1") << -1 << "abc"_ba << false;
}

void TestEncodings::unreadableFiles()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, message);

    const QString path = bytes == "<none>"     ? pathFor(u"無い.txt"_s)
                         : bytes == "<folder>" ? m_dir->path()
                                               : writeFixture(bytes);
    const CStringCode codec(&m_prompter);
    const TextRead read = codec.readTextResult(encoding, path);
    QVERIFY(!read.ok);
    QCOMPARE(read.text, QString());
    QCOMPARE(read.encoding, 0);
    QCOMPARE(m_prompter.messages, message ? QStringList{detectFailed()} : QStringList());
}

// ---------------------------------------------------------------- writing

void TestEncodings::writeBytes_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("UTF-8 CR LF") << 2 << u"a\r\nb"_s << "\xEF\xBB\xBF" "a\r\nb"_ba;
    QTest::newRow("Shift-JIS lone CR dropped") << 1 << u"a\rb"_s << "ab"_ba;
    QTest::newRow("Shift-JIS CR last dropped") << 1 << u"\r\na\r"_s << "\r\na"_ba;
    QTest::newRow("UTF-16LE LF gains CR")
        << 3 << u"a\nb\r\n"_s << "\xFF\xFE" "a\0\r\0\n\0b\0\r\0\n\0"_ba;
    QTest::newRow("CR CR LF LF") << 1 << u"\r\r\n\n"_s << "\r\n\r\n"_ba;
    QTest::newRow("empty Shift-JIS") << 1 << QString() << QByteArray();
    QTest::newRow("empty UTF-8") << 2 << QString() << "\xEF\xBB\xBF"_ba;
    QTest::newRow("empty UTF-16LE") << 3 << QString() << "\xFF\xFE"_ba;
    QTest::newRow("Shift-JIS ～ ① 髙")
        << 1 << u"あ～①髙\r\n"_s << "\x82\xA0\x81\x60\x87\x40\xFB\xFC\r\n"_ba;
    QTest::newRow("Shift-JIS wave dash") << 1 << u"\u301C"_s << "\x81\x60"_ba;
    QTest::newRow("Shift-JIS 5C and 7E") << 1 << u"\\~"_s << "\\~"_ba;
    QTest::newRow("UTF-8 outside the BMP") << 2 << u"\U0002000B"_s << "\xEF\xBB\xBF\xF0\xA0\x80\x8B"_ba;
    QTest::newRow("UTF-16LE outside the BMP") << 3 << u"\U0002000B"_s << "\xFF\xFE\x40\xD8\x0B\xDC"_ba;
    // Stored unit for unit, so a file read with one keeps it on saving.
    QTest::newRow("UTF-16LE lone surrogate") << 3 << u"a"_s + QChar(0xD800) << "\xFF\xFE" "a\0\x00\xD8"_ba;
}

void TestEncodings::writeBytes()
{
    QFETCH(int, encoding);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    const QString path = pathFor(u"書き出し.txt"_s);
    const CStringCode codec(&m_prompter);
    QVERIFY(codec.writeText(encoding, path, text));
    QCOMPARE(contents(path), bytes);
    QVERIFY(m_prompter.messages.isEmpty());
}

void TestEncodings::writeAndReadBack_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    const QString japanese = u"第一章　始まり\r\n「～①髙」と彼は言った。\r\n\r\n半角ｶﾅ ASCII \\ ~\r\n"_s;
    for (int encoding = 1; encoding <= 3; ++encoding) {
        QTest::addRow("%d Japanese", encoding) << encoding << japanese << japanese;
        QTest::addRow("%d without last break", encoding) << encoding << u"あ\r\nい"_s << u"あ\r\nい\r\n"_s;
        QTest::addRow("%d lone LF and CR", encoding) << encoding << u"a\nb\rc"_s << u"a\r\nbc\r\n"_s;
    }
    // One code for both in code page 932, read back as the full-width tilde.
    QTest::newRow("1 wave dash") << 1 << u"\u301C\r\n"_s << u"\uFF5E\r\n"_s;
    QTest::newRow("2 wave dash") << 2 << u"\u301C\r\n"_s << u"\u301C\r\n"_s;
    QTest::newRow("2 emoji") << 2 << u"\U0001F600\r\n"_s << u"\U0001F600\r\n"_s;
    QTest::newRow("3 emoji") << 3 << u"\U0001F600\r\n"_s << u"\U0001F600\r\n"_s;
}

void TestEncodings::writeAndReadBack()
{
    QFETCH(int, encoding);
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    const QString path = pathFor(u"往復.txt"_s);
    const CStringCode codec(&m_prompter);
    QVERIFY(codec.writeText(encoding, path, text));
    QCOMPARE(codec.readText(encoding, path), readBack);
    const TextRead detected = codec.readTextResult(Encoding::Auto, path);
    QCOMPARE(detected.text, readBack);
    QCOMPARE(detected.encoding, encoding);
    QVERIFY(m_prompter.messages.isEmpty());
}

void TestEncodings::refusedTextKeepsOldFile_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");

    QTest::newRow("emoji in Shift-JIS") << 1 << u"前\r\n\U0001F600\r\n後"_s;
    QTest::newRow("broken bar in Shift-JIS") << 1 << u"a\u00A6b"_s;
    QTest::newRow("hangul in Shift-JIS") << 1 << u"한"_s;
    QTest::newRow("lone low surrogate in Shift-JIS") << 1 << u"a"_s + QChar(0xDC00) + u"b"_s;
    QTest::newRow("high surrogate at the end in Shift-JIS") << 1 << u"a"_s + QChar(0xD83D);
    QTest::newRow("lone surrogate in UTF-8") << 2 << u"a"_s + QChar(0xD800) + u"b"_s;
}

void TestEncodings::refusedTextKeepsOldFile()
{
    QFETCH(int, encoding);
    QFETCH(QString, text);

    const QByteArray old = "\x82\xA0 old contents\r\n"_ba;
    const QString path = writeFixture(old, u"既存.txt"_s);
    const CStringCode codec(&m_prompter);
    QVERIFY(!codec.writeText(encoding, path, text));
    QCOMPARE(contents(path), old);
    QCOMPARE(m_prompter.messages, QStringList{saveError()});
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"既存.txt"_s});
}

void TestEncodings::writeFailures_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<bool>("missingFolder");

    QTest::newRow("encoding 0") << 0 << false;
    QTest::newRow("encoding 4") << 4 << false;
    QTest::newRow("encoding -1") << -1 << false;
    QTest::newRow("missing folder") << 2 << true;
}

void TestEncodings::writeFailures()
{
    QFETCH(int, encoding);
    QFETCH(bool, missingFolder);

    const QByteArray old = "old\r\n"_ba;
    const QString existing = writeFixture(old);
    const QString path = missingFolder ? pathFor(u"無いフォルダ/新規.txt"_s) : existing;
    const CStringCode codec(&m_prompter);
    QVERIFY(!codec.writeText(encoding, path, u"new\r\n"_s));
    QCOMPARE(m_prompter.messages, QStringList{saveError()});
    QCOMPARE(contents(existing), old);
    QVERIFY(!QFileInfo::exists(pathFor(u"無いフォルダ"_s)));

    // Without a prompter the failure is still reported by the result.
    QVERIFY(!CStringCode().writeText(encoding, path, u"new\r\n"_s));
}

// ---------------------------------------------------------------- code page 932

// The mappings that decide whether Japanese text survives a save; these are
// the ones Windows uses, not those of the JIS "SHIFT_JIS" tables.
void TestEncodings::codePage932Mappings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded");

    QTest::newRow("full-width tilde U+FF5E") << u"\uFF5E"_s << "\x81\x60"_ba << u"\uFF5E"_s;
    // The only characters that are written but read back as another: each
    // shares its JIS code with the character it comes back as.
    QTest::newRow("wave dash U+301C") << u"\u301C"_s << "\x81\x60"_ba << u"\uFF5E"_s;
    QTest::newRow("double bar U+2016") << u"\u2016"_s << "\x81\x61"_ba << u"\u2225"_s;
    QTest::newRow("minus U+2212") << u"\u2212"_s << "\x81\x7C"_ba << u"\uFF0D"_s;
    QTest::newRow("em dash U+2014") << u"\u2014"_s << "\x81\x5C"_ba << u"\u2015"_s;
    QTest::newRow("cent U+00A2") << u"\u00A2"_s << "\x81\x91"_ba << u"\uFFE0"_s;
    QTest::newRow("pound U+00A3") << u"\u00A3"_s << "\x81\x92"_ba << u"\uFFE1"_s;
    QTest::newRow("not sign U+00AC") << u"\u00AC"_s << "\x81\xCA"_ba << u"\uFFE2"_s;
    QTest::newRow("yen U+00A5") << u"\u00A5"_s << "\x5C"_ba << u"\\"_s;
    QTest::newRow("overline U+203E") << u"\u203E"_s << "\x7E"_ba << u"~"_s;
    QTest::newRow("circled one") << u"①"_s << "\x87\x40"_ba << u"①"_s;
    QTest::newRow("髙 (IBM extension)") << u"髙"_s << "\xFB\xFC"_ba << u"髙"_s;
    QTest::newRow("backslash and tilde are ASCII") << u"\\~"_s << "\\~"_ba << u"\\~"_s;
    QTest::newRow("half-width katakana") << u"ｱｲ"_s << "\xB1\xB2"_ba << u"ｱｲ"_s;
    QTest::newRow("user-defined area") << u"\uE000"_s << "\xF0\x40"_ba << u"\uE000"_s;
}

void TestEncodings::codePage932Mappings()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);

    const std::optional<QByteArray> encoded = CodePage932::encode(text);
    QVERIFY(encoded);
    QCOMPARE(*encoded, bytes);
    QCOMPARE(CodePage932::decode(bytes), decoded);
}

void TestEncodings::codePage932BadBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded");

    QTest::newRow("unassigned pair is one character") << "\x85\x40" "a"_ba << u"\uFFFDa"_s;
    QTest::newRow("lead byte before LF") << "\x82\n"_ba << u"\uFFFD\n"_s;
    QTest::newRow("lead byte at the end") << "a\x82"_ba << u"a\uFFFD"_s;
    QTest::newRow("single bytes 80 A0 FD") << "\x80\xA0\xFD"_ba << u"\uFFFD\uFFFD\uFFFD"_s;
    QTest::newRow("NEC-selected 髙 EE E0") << "\xEE\xE0"_ba << u"髙"_s;
    QTest::newRow("text resumes after a bad byte") << "\x80\x82\xA0"_ba << u"\uFFFDあ"_s;
}

void TestEncodings::codePage932BadBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    QCOMPARE(CodePage932::decode(bytes), decoded);
}

// ---------------------------------------------------------------- fast paths

void TestEncodings::detectionMatchesPlainScan()
{
    // Mostly characters of the three scored encodings, their edges and
    // broken halves, so that the scores run close; now and then a control
    // byte or an escape, which decide before any scoring.
    const QList<QByteArray> pieces = {
        "\x82\xA0"_ba, "\x88\x9F"_ba, "\xE0\x40"_ba, "\x9F\xFC"_ba, "\x81\x7E"_ba, // Shift-JIS
        "\xA4\xA2"_ba, "\xB0\xA1"_ba, "\xFE\xFE"_ba, "\x8E\xB1"_ba, "\x8E\xE0"_ba,  // EUC-JP
        "\x8F\xB0\xA1"_ba, "\x8F\xA1"_ba, "\x8F"_ba, "\x8E"_ba,
        "\xE3\x81\x82"_ba, "\xC3\xA9"_ba, "\xEF\xBB"_ba, "\xDF\xBF"_ba,              // UTF-8
        "\x80"_ba, "\xA0"_ba, "\xA1"_ba, "\xBF"_ba, "\xC0"_ba, "\xDF"_ba, "\xE0"_ba, "\xEF"_ba,
        "\xF0"_ba, "\xFC"_ba, "\xFD"_ba, "\xFE"_ba,
        "a"_ba, "@"_ba, "~"_ba, "\r\n"_ba, " "_ba, "\x3F"_ba,
    };
    const QList<QByteArray> rare = {"\x1B$B"_ba, "\x1B(J"_ba, "\x1B"_ba, "\x01"_ba, "\x7F"_ba, "\xFF"_ba,
                                    "\x00"_ba, "\x00\x41"_ba};
    QRandomGenerator rng(932);
    QMap<int, int> seen;
    for (int round = 0; round < 20000; ++round) {
        // Lengths up to a few 64-byte blocks, some much longer.
        const qsizetype count = round % 100 == 0 ? 3000 : qsizetype(rng.bounded(160u));
        QByteArray bytes = randomBytes(rng, pieces, count);
        if (rng.bounded(20u) == 0)
            bytes.insert(qsizetype(rng.bounded(quint32(bytes.size() + 1))), rare.at(int(rng.bounded(quint32(rare.size())))));
        const int expected = Plain::codePageFromContent(bytes);
        QCOMPARE_EQ(CStringCode::codePageFromContent(bytes.constData(), bytes.size()), expected);
        ++seen[expected];
    }
    // Every answer came up often enough for the comparison to mean something.
    for (int code : {0, 932, 1200, 50220, 51932, 65001})
        QVERIFY2(seen.value(code) >= 20, qPrintable(u"code %1 seen %2 times"_s.arg(code).arg(seen.value(code))));
}

void TestEncodings::codePage932MatchesIconv()
{
    // Every UTF-16 unit, alone and after a double-byte character.
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const QString alone{QChar(char16_t(u))};
        QCOMPARE_EQ(CodePage932::encode(alone), Plain::encode932(alone));
        const QString after = u"あ"_s + alone;
        QCOMPARE_EQ(CodePage932::encode(after), Plain::encode932(after));
    }
    // Characters outside the BMP, a sample of every plane: none has a form.
    for (char32_t c = 0x10000; c <= 0x10FFFF; c += 997) {
        const QString pair = QString::fromUcs4(&c, 1);
        QCOMPARE_EQ(CodePage932::encode(pair), Plain::encode932(pair));
    }
    // Every byte and every pair of bytes, and each of them before "a".
    for (int b1 = 0; b1 < 256; ++b1) {
        const QByteArray one(1, char(b1));
        QCOMPARE(CodePage932::decode(one), Plain::decode932(one));
        for (int b2 = 0; b2 < 256; ++b2) {
            const QByteArray two = one + char(b2);
            QCOMPARE(CodePage932::decode(two), Plain::decode932(two));
            QCOMPARE(CodePage932::decode(two + 'a'), Plain::decode932(two + 'a'));
        }
    }
    // Runs of them, broken pairs and unencodable units included.
    QRandomGenerator rng(20261211);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        QString text;
        const int length = int(rng.bounded(40u));
        for (int i = 0; i < length; ++i) {
            const quint32 kind = rng.bounded(10u);
            bytes += char(kind < 4 ? 0x81 + rng.bounded(0x7Cu) : kind < 8 ? 0x40 + rng.bounded(0xC0u) : rng.bounded(0x100u));
            text += QChar(char16_t(kind < 5   ? 0x3000 + rng.bounded(0x7000u)
                                   : kind < 8 ? 0x20 + rng.bounded(0x60u)
                                              : rng.bounded(0x10000u)));
        }
        QCOMPARE(CodePage932::decode(bytes), Plain::decode932(bytes));
        QCOMPARE_EQ(CodePage932::encode(text), Plain::encode932(text));
        const QString encodable = Plain::decode932(bytes).remove(QChar::ReplacementCharacter);
        QCOMPARE_EQ(CodePage932::encode(encodable), Plain::encode932(encodable));
        QVERIFY(CodePage932::encode(encodable).has_value());
    }
}

// Files far longer than the slices the reader works in, with line breaks of
// every kind and broken bytes wherever they fall.
void TestEncodings::longReadsMatchPlainDecoding_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("bytes");

    QRandomGenerator rng(65001);
    const QList<QByteArray> sjis = {"\x82\xA0"_ba, "\x93\xFA"_ba, "\xB1"_ba, "\xFB\xFC"_ba, "\x85\x40"_ba, "\x82"_ba,
                                    "\x80"_ba, "a"_ba, "\r\n"_ba, "\n"_ba, "\r"_ba, "\x82\n"_ba, "\x82\r\n"_ba};
    const QList<QByteArray> utf8 = {"\xE3\x81\x82"_ba, "\xC3\xA9"_ba, "\xF0\x9F\x98\x80"_ba, "\xEF\xBB\xBF"_ba,
                                    "\xEF\xBF\xBF"_ba, "a"_ba, "\r\n"_ba, "\n"_ba, "\r"_ba};
    const QList<QByteArray> broken = {"\xE3\x81"_ba, "\x80"_ba, "\xC0\x80"_ba, "\xED\xA0\x80"_ba, "\xF4\x90\x80\x80"_ba,
                                      "\xF5"_ba, "\xE3\n"_ba, "\xE0\x9F\xBF"_ba, "\xF0\x8F\xBF\xBF"_ba};
    for (int i = 0; i < broken.size(); ++i) {
        QByteArray s = randomBytes(rng, sjis, 60000 + qsizetype(rng.bounded(60000u)));
        if (i == 1)
            s.insert(65530, QByteArray(70000, '\x82')); // no break for longer than a slice
        if (i == 2)
            s = s.first(s.size() - 1) + "\x82"; // a lead byte last
        QTest::addRow("Shift-JIS %d", i) << 1 << s;
        QByteArray u = randomBytes(rng, utf8, 40000 + qsizetype(rng.bounded(40000u)));
        QTest::addRow("UTF-8 %d", i) << 2 << (i % 2 ? "\xEF\xBB\xBF"_ba + u : u);
        // One broken sequence anywhere sends the whole text the other way.
        u = randomBytes(rng, utf8, qsizetype(rng.bounded(40000u))) + broken.at(i)
            + randomBytes(rng, utf8, qsizetype(rng.bounded(40000u)));
        QTest::addRow("UTF-8 %d, broken", i) << 2 << u;
    }
    const QList<QByteArray> ascii = {"The quick brown fox "_ba, "jumps"_ba, "0123456789abcdef"_ba, "\r\n"_ba, "\n"_ba,
                                     "\r"_ba, "\n\n"_ba, "\xC3\xA9"_ba, "\xE3\x81\x82"_ba};
    for (int i = 0; i < 3; ++i)
        QTest::addRow("UTF-8 mostly ASCII %d", i) << 2 << randomBytes(rng, ascii, 20000);
    QTest::newRow("UTF-8 ends inside a character") << 2 << "a\n\xE3\x81"_ba;
    QTest::newRow("Shift-JIS LF first") << 1 << "\n\x82\xA0"_ba;
}

void TestEncodings::longReadsMatchPlainDecoding()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, bytes);

    QString decoded;
    if (encoding == Encoding::ShiftJis) {
        decoded = Plain::decode932(bytes);
    } else {
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        decoded = decoder.decode(bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes);
    }
    const TextRead read = CStringCode(&m_prompter).readTextResult(encoding, writeFixture(bytes));
    QVERIFY(read.ok);
    QCOMPARE(read.text, Plain::readLines(decoded));
}

void TestEncodings::longWritesMatchPlainEncoding_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("text");

    // What lies where the writer cuts the text into slices matters most:
    // around every multiple of 65536 units, a pair or a line break.
    QRandomGenerator rng(1200);
    const QStringList pieces = {u"あ"_s, u"漢字"_s, u"ｱ"_s, u"a"_s, u"\r\n"_s, u"\n"_s, u"\r"_s, u"\r\r\n"_s,
                                u"\n\r"_s, u"～"_s, u"\u301C"_s};
    const QStringList edges = {u"\r\n"_s, u"\r"_s, u"\n"_s, u"\r\r"_s, u"\U0001F600"_s};
    for (int i = 0; i < 10; ++i) {
        QString text;
        while (text.size() < 140000)
            text += pieces.at(int(rng.bounded(quint32(pieces.size()))));
        for (qsizetype cut : {65536, 131072}) {
            const qsizetype at = cut - 2 + (i % 4);
            const QString edge = edges.at(i % edges.size());
            if (edge.size() == 2 && edge.at(0).isHighSurrogate() && i % 3 != 0)
                continue; // the pair only in some texts: Shift-JIS refuses it
            text.replace(at, edge.size(), edge);
        }
        for (int encoding = 1; encoding <= 3; ++encoding)
            QTest::addRow("%d, text %d", encoding, i) << encoding << text;
    }
    for (int encoding = 1; encoding <= 3; ++encoding) {
        QTest::addRow("%d, CR CR LF at a cut", encoding) << encoding << QString(65535, u'a') + u"\r\r\nb"_s;
        QTest::addRow("%d, LF after a cut", encoding) << encoding << QString(65536, u'a') + u"\nb"_s;
    }
    QTest::newRow("lone surrogate at a cut, UTF-8")
        << 2 << QString(65535, u'a') + QChar(0xD800) + u"b\r\n"_s;
    QTest::newRow("pair across a cut, UTF-8") << 2 << QString(65535, u'a') + u"\U0001F600\r\n"_s;
    QTest::newRow("emoji far in, Shift-JIS") << 1 << QString(200000, u'a') + u"\U0001F600"_s;
}

void TestEncodings::longWritesMatchPlainEncoding()
{
    QFETCH(int, encoding);
    QFETCH(QString, text);

    const QString disk = Plain::diskLines(text);
    std::optional<QByteArray> expected;
    if (encoding == Encoding::ShiftJis) {
        expected = Plain::encode932(disk);
    } else if (encoding == Encoding::Utf8) {
        QStringEncoder encoder(QStringConverter::Utf8);
        const QByteArray bytes = encoder.encode(disk);
        if (!encoder.hasError())
            expected = "\xEF\xBB\xBF"_ba + bytes;
    } else {
        expected = "\xFF\xFE"_ba + QByteArray(reinterpret_cast<const char *>(disk.utf16()), disk.size() * 2);
    }

    const QByteArray old = "old\r\n"_ba;
    const QString path = writeFixture(old, u"長い.txt"_s);
    const CStringCode codec(&m_prompter);
    QCOMPARE(codec.writeText(encoding, path, text), expected.has_value());
    QCOMPARE(contents(path), expected.value_or(old));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"長い.txt"_s});
}

QTEST_GUILESS_MAIN(TestEncodings)
#include "tst_encodings.moc"
