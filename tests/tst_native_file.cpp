#include "AddressSpaceCap.h"
#include "ArchiveBytes.h"
#include "FileBytes.h"
#include "RecordingPrompter.h"
#include "io/NativeFile.h"
#include "model/CTreeList.h"
#include "Messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// File images are built by hand (with ArchiveBytes.h), so that the tests do
// not share the code under test.

struct Record
{
    qint32 level;
    QByteArray string; // a whole string record
};

// `count` defaults to the number of records given.
QByteArray image(const QList<Record> &records, std::optional<qint32> count = {},
                 qint32 formatNumber = 12000)
{
    QByteArray b = wideString(u"Quilolry DataFile") + le32(formatNumber) + le32(0)
        + le32(count.value_or(qint32(records.size())));
    for (const Record &r : records)
        b += le32(r.level) + r.string;
    return b;
}

QString message(const char16_t *text, const QString &path = {})
{
    return path.isEmpty() ? QString::fromUtf16(text) : QString::fromUtf16(text).arg(path);
}

QList<qint32> levelsOf(const CTreeList &store)
{
    QList<qint32> levels;
    for (const TREE_ITEM &item : store.items())
        levels.append(item.level);
    return levels;
}

QStringList bodiesOf(const CTreeList &store)
{
    QStringList bodies;
    for (const TREE_ITEM &item : store.items())
        bodies.append(store.getBody(item.number));
    return bodies;
}

// A body of `length` code units with Japanese text, a NUL and line breaks,
// so that nothing short of a full copy reads it back equal.
QString bodyOfLength(qsizetype length)
{
    QString s;
    s.reserve(length);
    static const QString pattern = u"見出し\r\n本文の行\0x\r\n"_s;
    while (s.size() < length)
        s += pattern;
    s.truncate(length);
    return s;
}

} // namespace

class TestNativeFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void newDocumentIsByteExact()
    {
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        store.insertFirstItem(u"タイトル\r\n"_s);
        const QString file = path(u"新しい文書.qlo"_s);
        QVERIFY(NativeFile::write(file, store, NativeHeader{}, 0, &prompter));

        const QByteArray expected = QByteArray::fromHex(
            "FFFEFF11"
            "5100750069006C006F006C007200790020004400610074006100460069006C006500" // "Quilolry DataFile"
            "E02E0000" "00000000" "01000000" // format 12000, current item 0, one item
            "01000000" "FFFEFF06" "BF30A430C830EB300D000A00"); // level 1, "タイトル\r\n"
        QCOMPARE(readBytes(file).toHex(' '), expected.toHex(' '));
        QVERIFY(prompter.messages.isEmpty());

        CTreeList loaded(&prompter);
        NativeHeader header;
        header.magic = u"stale"_s;
        header.formatNumber = 1;
        QVERIFY(NativeFile::read(file, loaded, header, &prompter));
        QCOMPARE(header.magic, u"Quilolry DataFile"_s);
        QCOMPARE(header.formatNumber, 12000);
        QCOMPARE(loaded.items().size(), size_t(1));
        QCOMPARE(loaded.items().front(), (TREE_ITEM{0, 1, u"タイトル"_s}));
        QCOMPARE(loaded.getBody(0), u"タイトル\r\n"_s);
        QVERIFY(prompter.messages.isEmpty());
    }

    void lengthPrefix_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("prefix"); // after the FF FE FF marker
        QTest::newRow("empty") << 0 << QByteArray::fromHex("00");
        QTest::newRow("254, last one-byte length") << 254 << QByteArray::fromHex("FE");
        QTest::newRow("255, first 16-bit length") << 255 << QByteArray::fromHex("FFFF00");
        QTest::newRow("65533, last 16-bit length") << 65533 << QByteArray::fromHex("FFFDFF");
        QTest::newRow("65534, first 32-bit length") << 65534 << QByteArray::fromHex("FFFFFFFEFF0000");
        QTest::newRow("70000") << 70000 << QByteArray::fromHex("FFFFFF70110100");
    }
    void lengthPrefix()
    {
        QFETCH(int, length);
        QFETCH(QByteArray, prefix);
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        const QString body = bodyOfLength(length);
        store.appendItem(3, body);
        const QString file = path(u"長さ.qlo"_s);
        QVERIFY(NativeFile::write(file, store, NativeHeader{}, 0, &prompter));

        const QByteArray bytes = readBytes(file);
        const qsizetype recordAt = 50 + 4;
        QCOMPARE(bytes.mid(50, 4), le32(3));
        QCOMPARE(bytes.mid(recordAt, 3 + prefix.size()).toHex(' '),
                 (QByteArray::fromHex("FFFEFF") + prefix).toHex(' '));
        QCOMPARE(bytes.size(), recordAt + 3 + prefix.size() + 2 * length);
        QVERIFY(bytes.mid(recordAt + 3 + prefix.size()) == utf16le(body));

        CTreeList loaded(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, loaded, header, &prompter));
        QCOMPARE(bodiesOf(loaded), QStringList{body});
        QCOMPARE(levelsOf(loaded), QList<qint32>{3});
        QVERIFY(prompter.messages.isEmpty());
    }

    void readsEveryStringForm_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("text");
        // One byte per character, code page 932.
        QTest::newRow("one-byte, short length") << QByteArray::fromHex("0282A0") << u"あ"_s;
        QTest::newRow("one-byte, ASCII and half-width kana") << QByteArray::fromHex("0341B1B2") << u"Aｱｲ"_s;
        QTest::newRow("one-byte, 16-bit length") << QByteArray::fromHex("FF040082A082A2") << u"あい"_s;
        QTest::newRow("one-byte, 32-bit length")
            << QByteArray::fromHex("FFFFFF0200000082A0") << u"あ"_s;
        QTest::newRow("one-byte, empty") << QByteArray::fromHex("00") << QString();
        QTest::newRow("one-byte, CR LF kept") << QByteArray::fromHex("0482A00D0A") << u"あ\r\n"_s;
        // UTF-16 with longer prefixes than a writer would choose.
        QTest::newRow("UTF-16, 16-bit length") << QByteArray::fromHex("FFFEFFFF020042304430") << u"あい"_s;
        QTest::newRow("UTF-16, 32-bit length")
            << QByteArray::fromHex("FFFEFFFFFFFF010000004230") << u"あ"_s;
        QTest::newRow("UTF-16, 64-bit length")
            << QByteArray::fromHex("FFFEFFFFFFFFFFFFFFFF01000000000000004230") << u"あ"_s;
        QTest::newRow("UTF-16, NUL and surrogate pair kept")
            << QByteArray::fromHex("FFFEFF0441000000" "3DD800DE") << u"A\0😀"_s;
    }
    void readsEveryStringForm()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, text);
        const QString file = path(u"形式.qlo"_s);
        // The record as a body, followed by a second item to show the cursor
        // ended exactly where the record did.
        QVERIFY(writeBytes(file, image({{1, record}, {2, wideString(u"次")}})));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QCOMPARE(bodiesOf(store), (QStringList{text, u"次"_s}));
        QCOMPARE(levelsOf(store), (QList<qint32>{1, 2}));
        QVERIFY(prompter.messages.isEmpty());
    }

    void headerIsKeptAsRead()
    {
        // A one-byte magic that is not ours and format 9999: both are taken
        // unchecked and written back (in the UTF-16 form) on the next save.
        const QString file = path(u"九九九九.qlo"_s);
        QByteArray bytes = QByteArray::fromHex("054F74686572") + le32(9999) + le32(5) + le32(1) + le32(1)
            + wideString(u"A\r\nb");
        QVERIFY(writeBytes(file, bytes));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QCOMPARE(header.magic, u"Other"_s);
        QCOMPARE(header.formatNumber, 9999);

        QVERIFY(NativeFile::write(file, store, header, 0, &prompter));
        QCOMPARE(readBytes(file).toHex(' '),
                 (wideString(u"Other") + le32(9999) + le32(0) + le32(1) + le32(1) + wideString(u"A\r\nb"))
                     .toHex(' '));
        QVERIFY(prompter.messages.isEmpty());
    }

    void countZeroOrNegativeIsEmpty_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -3;
    }
    void countZeroOrNegativeIsEmpty()
    {
        QFETCH(int, count);
        const QString file = path(u"空.qlo"_s);
        // A record follows anyway: it must not be read.
        QVERIFY(writeBytes(file, image({{1, wideString(u"x")}}, count, 4321)));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QVERIFY(store.items().empty());
        QVERIFY(store.bodies().isEmpty());
        QCOMPARE(header.formatNumber, 4321);
        QVERIFY(prompter.messages.isEmpty());
    }

    void levelsOutsideTheTree()
    {
        const QString file = path(u"階層.qlo"_s);
        QVERIFY(writeBytes(file, image({{1, wideString(u"a")},
                                        {300, wideString(u"too deep")},
                                        {0, wideString(u"b")},
                                        {-5, wideString(u"c")},
                                        {251, wideString(u"d")}})));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QCOMPARE(prompter.messages, QStringList{message(Msg::TooDeep)});
        QCOMPARE(bodiesOf(store), (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
        QCOMPARE(levelsOf(store), (QList<qint32>{1, 1, 1, 251}));
        // Numbers follow the kept items: the refused one used none.
        QCOMPARE(store.items().back().number, 3);
    }

    void badFormat_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("itemsBefore"); // appended before the failure

        const QByteArray good = image({{1, wideString(u"一つ目\r\n")}, {2, wideString(u"二つ目\r\n本文")}});
        QTest::newRow("cut in the middle of a body") << good.left(good.size() - 3) << 1;
        QTest::newRow("cut inside a length prefix")
            << image({{1, wideString(u"a")}}, 2) + le32(1) + QByteArray::fromHex("FFFEFFFF01") << 1;
        QTest::newRow("cut after a level") << image({{1, wideString(u"a")}}, 2) + le32(1) << 1;
        QTest::newRow("cut inside the magic") << wideString(u"Quilolry DataFile").left(20) << 0;
        QTest::newRow("cut inside the header") << good.left(44) << 0;
        QTest::newRow("fewer records than counted")
            << image({{1, wideString(u"a long enough body")}, {1, wideString(u"another long body")}}, 3) << 2;
        QTest::newRow("UTF-16 length beyond the file")
            << image({{1, QByteArray::fromHex("FFFEFFFFE803") + utf16le(u"short")}}) << 0;
        QTest::newRow("UTF-16 32-bit length beyond the file")
            << image({{1, QByteArray::fromHex("FFFEFFFFFFFFFEFFFFFF") + utf16le(u"short")}}) << 0;
        QTest::newRow("UTF-16 64-bit length 2^40")
            << image({{1, QByteArray::fromHex("FFFEFF" "FFFFFF" "FFFFFFFF" "0000000000010000")
                              + utf16le(u"short")}})
            << 0;
        QTest::newRow("UTF-16 64-bit length 2^64-1")
            << image({{1, QByteArray::fromHex("FFFEFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF") + utf16le(u"x")}}) << 0;
        QTest::newRow("one-byte 16-bit length beyond the file")
            << image({{1, QByteArray::fromHex("FFFFF0414243")}}) << 0;
        QTest::newRow("one-byte 32-bit length beyond the file")
            << image({{1, QByteArray::fromHex("FFFFFFFEFFFFFF414243")}}) << 0;
        QTest::newRow("odd byte of a UTF-16 body missing")
            << image({{1, QByteArray::fromHex("FFFEFF02" "4100" "42")}}) << 0;
        QByteArray huge = image({{1, wideString(u"a")}}, 0x7fffffff);
        huge.append(60 - huge.size(), 'x');
        QTest::newRow("count 0x7fffffff in a 60-byte file") << huge << 0;
        // Two records of five bytes each would need ten bytes; nine remain.
        QTest::newRow("count just beyond the bytes left")
            << image({{1, QByteArray::fromHex("00")}}, 2) + QByteArray(4, '\0') << 0;
        QTest::newRow("a text file") << QByteArray("plain text, no outline\r\n") << 0;
    }
    void badFormat()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, itemsBefore);
        const QString file = path(u"壊れた.qlo"_s);
        QVERIFY(writeBytes(file, bytes));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        {
            const AddressSpaceCap cap(qint64(512) << 20);
            QVERIFY(!NativeFile::read(file, store, header, &prompter));
        }
        QCOMPARE(prompter.messages, QStringList{message(Msg::UnexpectedFormat)});
        QCOMPARE(qsizetype(store.items().size()), qsizetype(itemsBefore));
    }

    void countJustWithinTheBytesLeft()
    {
        // Two empty one-byte records: exactly the five bytes per item the
        // count check asks for, and no more.
        const QString file = path(u"ぎりぎり.qlo"_s);
        QVERIFY(writeBytes(file, image({{1, QByteArray::fromHex("00")}, {2, QByteArray::fromHex("00")}})));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QCOMPARE(levelsOf(store), (QList<qint32>{1, 2}));
        QCOMPARE(bodiesOf(store), (QStringList{QString(), QString()}));
    }

    void extraBytesAfterTheLastRecordAreIgnored()
    {
        const QString file = path(u"余り.qlo"_s);
        QVERIFY(writeBytes(file, image({{1, wideString(u"a\r\n")}}) + QByteArray::fromHex("DEADBEEF00FFFEFF7F")));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QCOMPARE(bodiesOf(store), QStringList{u"a\r\n"_s});
        QVERIFY(prompter.messages.isEmpty());
    }

    void zeroByteFileHasNoItems()
    {
        const QString file = path(u"ゼロ.qlo"_s);
        QVERIFY(writeBytes(file, {}));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        NativeHeader header;
        header.formatNumber = 777;
        QVERIFY(NativeFile::read(file, store, header, &prompter));
        QVERIFY(store.items().empty());
        QCOMPARE(header.formatNumber, 777);
        QVERIFY(prompter.messages.isEmpty());
    }

    void roundTripOfAnOutline()
    {
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        const QStringList bodies{u"第一章\r\n本文\r\n"_s, u"節\r\n\0埋め込み"_s, QString(),
                                 u"\r\n見出しなし"_s, u"😀絵文字\r\n"_s, bodyOfLength(300)};
        const QList<qint32> levels{1, 2, 3, 2, 1, 251};
        for (qsizetype i = 0; i < bodies.size(); ++i)
            store.appendItem(levels[i], bodies[i]);
        const QString file = path(u"往復.qlo"_s);
        QVERIFY(NativeFile::write(file, store, NativeHeader{}, 4, &prompter));
        QCOMPARE(readBytes(file).mid(42, 8), le32(4) + le32(6));

        CTreeList loaded(&prompter);
        NativeHeader header;
        QVERIFY(NativeFile::read(file, loaded, header, &prompter));
        QCOMPARE(bodiesOf(loaded), bodies);
        QCOMPARE(levelsOf(loaded), levels);
        QCOMPARE(loaded.items().front().label, u"第一章"_s);
        QVERIFY(prompter.messages.isEmpty());
    }

    void branchIsWrittenInPlaceOfTheOutline()
    {
        RecordingPrompter prompter;
        const QStringList bodies{u"外\r\n"_s, u"枝\r\n"_s, u"葉\r\n"_s};
        const QList<TREE_ITEM> branch{{1, 1, u"枝"_s}, {2, 2, u"葉"_s}};
        NativeHeader header;
        header.formatNumber = 9999;
        const QString file = path(u"枝.qlo"_s);
        QVERIFY(NativeFile::write(file, branch, bodies, header, 1, &prompter));
        QCOMPARE(readBytes(file).toHex(' '),
                 image({{1, wideString(u"枝\r\n")}, {2, wideString(u"葉\r\n")}}, {}, 9999)
                     .replace(42, 4, le32(1))
                     .toHex(' '));
    }

    void missingPath_data()
    {
        QTest::addColumn<bool>("writing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text"); // %1 is the full path
        QTest::newRow("read a missing file")
            << false << u"存在しない.qlo"_s << QString::fromUtf16(Msg::FileNotFound);
        QTest::newRow("read in a missing folder")
            << false << u"無いフォルダ/文書.qlo"_s << QString::fromUtf16(Msg::BadPath);
        QTest::newRow("write in a missing folder")
            << true << u"無いフォルダ/文書.qlo"_s << QString::fromUtf16(Msg::BadPath);
    }
    void missingPath()
    {
        QFETCH(bool, writing);
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QString file = path(name);
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        store.insertFirstItem(u"タイトル\r\n"_s);
        NativeHeader header;
        const bool ok = writing ? NativeFile::write(file, store, header, 0, &prompter)
                                : NativeFile::read(file, store, header, &prompter);
        QVERIFY(!ok);
        QCOMPARE(prompter.messages, QStringList{text.arg(file)});
        QVERIFY(!QFileInfo::exists(file));
    }

    void accessDenied_data()
    {
        QTest::addColumn<bool>("writing");
        QTest::newRow("read") << false;
        QTest::newRow("write") << true;
    }
    void accessDenied()
    {
        QFETCH(bool, writing);
        if (geteuid() == 0)
            QSKIP("root ignores file permissions");
        const QString file = path(u"鍵付き.qlo"_s);
        const QByteArray old = image({{1, wideString(u"old")}});
        QVERIFY(writeBytes(file, old));
        QVERIFY(QFile::setPermissions(file, writing ? QFileDevice::ReadOwner : QFileDevice::Permissions()));
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        store.insertFirstItem(u"new\r\n"_s);
        NativeHeader header;
        const bool ok = writing ? NativeFile::write(file, store, header, 0, &prompter)
                                : NativeFile::read(file, store, header, &prompter);
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY(!ok);
        QCOMPARE(prompter.messages, QStringList{message(Msg::AccessDenied, file)});
        QCOMPARE(readBytes(file), old);
    }

    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(u"大事な文書.qlo"_s);
        const QByteArray old = image({{1, wideString(u"前の版\r\n")}});
        QVERIFY(writeBytes(file, old));

        RecordingPrompter prompter;
        CTreeList store(&prompter);
        for (int i = 0; i < 50; ++i)
            store.appendItem(1, bodyOfLength(4000));

        // The file-size limit makes every write beyond 16 KiB fail for real
        // (EFBIG), as a full disk would part-way through.
        rlimit oldLimit{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &oldLimit) == 0);
        rlimit small = oldLimit;
        small.rlim_cur = 16 * 1024;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool ok = NativeFile::write(file, store, NativeHeader{}, 0, &prompter);
        setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!ok);
        QCOMPARE(prompter.messages, QStringList{message(Msg::SaveFailed)});
        QVERIFY(readBytes(file) == old);
        // The temporary file is gone too.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"大事な文書.qlo"_s});

        // Without the limit the same save goes through.
        prompter.messages.clear();
        QVERIFY(NativeFile::write(file, store, NativeHeader{}, 0, &prompter));
        QVERIFY(prompter.messages.isEmpty());
        QVERIFY(readBytes(file).size() > 50 * 8000);
    }
};

QTEST_GUILESS_MAIN(TestNativeFile)
#include "tst_native_file.moc"
