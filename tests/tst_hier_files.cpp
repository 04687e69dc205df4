#include "FileBytes.h"
#include "Messages.h"
#include "RecordingPrompter.h"
#include "io/CStringCode.h"
#include "io/HierCsvFile.h"
#include "io/HierTextFile.h"
#include "model/BodyText.h"
#include "model/CTreeList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

using namespace Qt::StringLiterals;

namespace {

const QString tooDeep = QString::fromUtf16(Msg::TooDeep);
const QString notHierText = QString::fromUtf16(Msg::NotHierText);

// A store that can also hold what its own operations never produce (a level
// below 1), to see what the writers make of it.
class RawStore : public CTreeList
{
public:
    using CTreeList::CTreeList;
    void put(qint32 level, const QString &body)
    {
        insertItem(m_items.end(), TREE_ITEM{addBody(body), level, labelFromBody(body)});
    }
};

// One line per item, "level|label|body", so a failing comparison shows
// which item differs and how.
QStringList dump(const CTreeList &store)
{
    QStringList rows;
    for (const TREE_ITEM &item : store.items())
        rows << u"%1|%2|%3"_s.arg(item.level).arg(item.label, store.getBody(item.number));
    return rows;
}

QString row(int level, const QString &body)
{
    return u"%1|%2|%3"_s.arg(level).arg(labelFromBody(body), body);
}

void fill(RawStore &store, const QList<int> &levels, const QStringList &bodies)
{
    Q_ASSERT(levels.size() == bodies.size());
    for (qsizetype i = 0; i < levels.size(); ++i)
        store.put(levels[i], bodies[i]);
}

enum Kind { Text, Csv };

} // namespace

class TestHierFiles : public QObject
{
    Q_OBJECT

private slots:
    // ---- hierarchical text: decoded text -> outline

    void parseText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("messages");

        const QString deep = QString(252, u'.');
        const QString deepest = QString(251, u'.');

        QTest::newRow("two items") << u".A\r\n本文\r\n..B\r\n"_s
                                   << QStringList{u"1|A|A\r\n本文\r\n"_s, u"2|B|B\r\n"_s} << true
                                   << QStringList();
        QTest::newRow("dots only") << u"...\r\n"_s << QStringList{u"3||\r\n"_s} << true << QStringList();
        QTest::newRow("space after dots stays in label")
            << u". A\r\n"_s << QStringList{u"1| A| A\r\n"_s} << true << QStringList();
        QTest::newRow("dot inside a line is text")
            << u".A\r\nx.y\r\n .z\r\n"_s << QStringList{u"1|A|A\r\nx.y\r\n .z\r\n"_s} << true
            << QStringList();
        QTest::newRow("empty") << QString() << QStringList() << true << QStringList();
        QTest::newRow("first character not a full stop")
            << u"A\r\n.B\r\n"_s << QStringList() << false << QStringList{notHierText};
        QTest::newRow("leading blank line") << u"\r\n.B\r\n"_s << QStringList() << false
                                            << QStringList{notHierText};
        QTest::newRow("252 dots left out, others kept")
            << u".a\r\n"_s + deep + u"x\r\nlost\r\n.c\r\n"_s
            << QStringList{u"1|a|a\r\n"_s, u"1|c|c\r\n"_s} << true << QStringList{tooDeep};
        QTest::newRow("251 dots kept") << deepest + u"x\r\n"_s << QStringList{u"251|x|x\r\n"_s} << true
                                       << QStringList();
    }
    void parseText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, outline);
        QFETCH(bool, ok);
        QFETCH(QStringList, messages);

        RecordingPrompter prompter;
        CTreeList store;
        QCOMPARE(HierTextFile::parseHierText(store, text, &prompter), ok);
        QCOMPARE(dump(store), outline);
        QCOMPARE(prompter.messages, messages);
        QCOMPARE(store.prompter(), nullptr); // borrowed for the read only
    }

    // ---- hierarchical text: outline -> text, and back

    void composeText_data()
    {
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QStringList>("bodies");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("readBack");

        QTest::newRow("new document") << QList<int>{1} << QStringList{u"タイトル\r\n"_s} << u".タイトル\r\n"_s
                                      << QStringList{u"1|タイトル|タイトル\r\n"_s};
        QTest::newRow("body without final break does not join the next")
            << QList<int>{1, 2} << QStringList{u"A\r\nend"_s, u"B\r\n"_s} << u".A\r\nend\r\n..B\r\n"_s
            << QStringList{u"1|A|A\r\nend\r\n"_s, u"2|B|B\r\n"_s};
        QTest::newRow("body without any break")
            << QList<int>{2, 1} << QStringList{u"abc"_s, u"d\r\n"_s} << u"..abc\r\n.d\r\n"_s
            << QStringList{u"2|abc|abc\r\n"_s, u"1|d|d\r\n"_s};
        QTest::newRow("empty body keeps its level")
            << QList<int>{1, 1} << QStringList{QString(), u"x\r\n"_s} << u".\r\n.x\r\n"_s
            << QStringList{u"1||\r\n"_s, u"1|x|x\r\n"_s};
        QTest::newRow("body ending in LF unchanged")
            << QList<int>{3, 1} << QStringList{u"a\r\nb\n"_s, u"c\r\n"_s} << u"...a\r\nb\n.c\r\n"_s
            << QStringList{u"3|a|a\r\nb\n"_s, u"1|c|c\r\n"_s};
        QTest::newRow("level below 1 written as 1")
            << QList<int>{1, 0} << QStringList{u"a\r\n"_s, u"z\r\n"_s} << u".a\r\n.z\r\n"_s
            << QStringList{u"1|a|a\r\n"_s, u"1|z|z\r\n"_s};
        QTest::newRow("empty outline") << QList<int>() << QStringList() << QString() << QStringList();
    }
    void composeText()
    {
        QFETCH(QList<int>, levels);
        QFETCH(QStringList, bodies);
        QFETCH(QString, text);
        QFETCH(QStringList, readBack);

        RawStore store;
        fill(store, levels, bodies);
        const QString composed = HierTextFile::composeHierText(store);
        QCOMPARE(composed, text);

        RecordingPrompter prompter;
        CTreeList back;
        QVERIFY(HierTextFile::parseHierText(back, composed, &prompter));
        QCOMPARE(dump(back), readBack);
        QCOMPARE(prompter.messages, QStringList());
    }

    // ---- hierarchical text: files, bytes as they are on disk

    void readTextFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("usedEncoding");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<QStringList>("messages");

        const QByteArray utf8 = QByteArray("\xEF\xBB\xBF") + u".見出し\r\n本文\r\n"_s.toUtf8();
        const QStringList utf8Outline{u"1|見出し|見出し\r\n本文\r\n"_s};

        QTest::newRow("UTF-8 with mark, automatic") << utf8 << 0 << true << 2 << utf8Outline << QStringList();
        QTest::newRow("UTF-8 with mark, UTF-8") << utf8 << 2 << true << 2 << utf8Outline << QStringList();
        QTest::newRow("UTF-8 with mark, Shift-JIS refused")
            << utf8 << 1 << false << 1 << QStringList() << QStringList{notHierText};
        QTest::newRow("last line without break") << QByteArray(".A\r\nx") << 1 << true << 1
                                                 << QStringList{u"1|A|A\r\nx\r\n"_s} << QStringList();
        QTest::newRow("bare LF line ends") << QByteArray(".A\nx\n..B\n") << 1 << true << 1
                                           << QStringList{u"1|A|A\r\nx\r\n"_s, u"2|B|B\r\n"_s}
                                           << QStringList();
        QTest::newRow("empty file") << QByteArray() << 0 << true << 1 << QStringList() << QStringList();
        QTest::newRow("UTF-16 big endian is unreadable")
            << QByteArray("\xFE\xFF\x00.\x00" "A", 6) << 0 << false << 0 << QStringList() << QStringList();
    }
    void readTextFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(bool, ok);
        QFETCH(int, usedEncoding);
        QFETCH(QStringList, outline);
        QFETCH(QStringList, messages);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"階層テキスト.txt"_s);
        QVERIFY(writeBytes(path, bytes));

        RecordingPrompter prompter;
        CStringCode code(&prompter);
        CTreeList store;
        const OutlineRead read = HierTextFile::readHierText(store, encoding, path, code, &prompter);
        QCOMPARE(read.ok, ok);
        QCOMPARE(read.encoding, usedEncoding);
        QCOMPARE(dump(store), outline);
        QCOMPARE(prompter.messages, messages);
    }

    void readMissingFile_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("text") << int(Text);
        QTest::newRow("csv") << int(Csv);
    }
    void readMissingFile()
    {
        QFETCH(int, kind);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"ない.txt"_s);

        RecordingPrompter prompter;
        CStringCode code(&prompter);
        CTreeList store(&prompter);
        store.appendItem(1, u"残る\r\n"_s);
        const OutlineRead read = kind == Text
                                     ? HierTextFile::readHierText(store, 1, path, code, &prompter)
                                     : HierCsvFile::readHierCsv(store, 1, path, code, &prompter);
        QVERIFY(!read.ok);
        // Nothing could be read, so nothing is replaced.
        QCOMPARE(dump(store), QStringList{u"1|残る|残る\r\n"_s});
    }

    // ---- hierarchical CSV: outline -> text

    void composeCsv_data()
    {
        QTest::addColumn<QList<int>>("levels");
        QTest::addColumn<QStringList>("bodies");
        QTest::addColumn<QString>("rows");

        QTest::newRow("new document") << QList<int>{1} << QStringList{u"タイトル\r\n"_s} << u"1,タイトル,\r\n"_s;
        QTest::newRow("line breaks of the rest removed")
            << QList<int>{1} << QStringList{u"A\r\nx\r\ny"_s} << u"1,A,xy\r\n"_s;
        QTest::newRow("no CR: empty label") << QList<int>{2} << QStringList{u"abc"_s} << u"2,,abc\r\n"_s;
        QTest::newRow("commas and quotes as they are")
            << QList<int>{1} << QStringList{u"a,b\r\n\"c\",d\r\n"_s} << u"1,a,b,\"c\",d\r\n"_s;
        QTest::newRow("empty body") << QList<int>{3} << QStringList{QString()} << u"3,,\r\n"_s;
        QTest::newRow("lone LF in the label does not split the row")
            << QList<int>{1, 2} << QStringList{u"a\nb\r\nc\n"_s, u"d\r\n"_s} << u"1,ab,c\r\n2,d,\r\n"_s;
        QTest::newRow("lone CR in the rest") << QList<int>{1} << QStringList{u"a\r\nb\rc"_s} << u"1,a,bc\r\n"_s;
        QTest::newRow("several items in order")
            << QList<int>{1, 2, 2, 251} << QStringList{u"一\r\n"_s, u"二\r\n"_s, u"三\r\n"_s, u"深\r\n"_s}
            << u"1,一,\r\n2,二,\r\n2,三,\r\n251,深,\r\n"_s;
    }
    void composeCsv()
    {
        QFETCH(QList<int>, levels);
        QFETCH(QStringList, bodies);
        QFETCH(QString, rows);

        RawStore store;
        fill(store, levels, bodies);
        QCOMPARE(HierCsvFile::composeHierCsv(store), u"階層,ラベル,本文\r\n"_s + rows);
    }

    // ---- hierarchical CSV: decoded text -> outline

    void parseCsv_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("outline");
        QTest::addColumn<QStringList>("messages");

        const QString header = u"階層,ラベル,本文\r\n"_s;
        QTest::newRow("new document") << header + u"1,タイトル,\r\n"_s << QStringList{u"1|タイトル|タイトル\r\n"_s}
                                      << QStringList();
        QTest::newRow("rest on one line") << header + u"1,A,xy\r\n"_s << QStringList{u"1|A|A\r\nxy"_s}
                                          << QStringList();
        QTest::newRow("empty label") << header + u"2,,abc\r\n"_s << QStringList{u"2||\r\nabc"_s}
                                     << QStringList();
        QTest::newRow("only two commas split") << header + u"1,a,b,c\r\n"_s << QStringList{u"1|a|a\r\nb,c"_s}
                                               << QStringList();
        QTest::newRow("blank line: level raised to 1")
            << header + u"\r\n"_s << QStringList{u"1||\r\n"_s} << QStringList();
        QTest::newRow("one comma: no rest") << header + u"2,ラベル\r\n"_s << QStringList{u"2||\r\nラベル"_s}
                                            << QStringList();
        QTest::newRow("no comma: no level field")
            << header + u"7\r\n"_s << QStringList{u"1||\r\n7"_s} << QStringList();
        QTest::newRow("only the header") << header << QStringList() << QStringList();
        QTest::newRow("header without break") << u"階層,ラベル,本文"_s << QStringList() << QStringList();
        QTest::newRow("any first line is skipped")
            << u"1,not,an item\r\n2,b,c\r\n"_s << QStringList{u"2|b|b\r\nc"_s} << QStringList();
        QTest::newRow("empty text") << QString() << QStringList() << QStringList();
        QTest::newRow("last row without break") << header + u"1,a,b\r\n2,c,d"_s
                                                << QStringList{u"1|a|a\r\nb"_s, u"2|c|c\r\nd"_s}
                                                << QStringList();
        QTest::newRow("too deep: message, others kept")
            << header + u"1,a,\r\n252,b,x\r\n2,c,\r\n"_s << QStringList{u"1|a|a\r\n"_s, u"2|c|c\r\n"_s}
            << QStringList{tooDeep};
        QTest::newRow("level beyond int range is too deep, not wrapped")
            << header + u"99999999999,b,\r\n4294967297,c,\r\n"_s << QStringList()
            << QStringList{tooDeep, tooDeep};

        // The level field read like C's atoi, then raised to 1 by the store.
        const struct { const char *name; QString field; int level; } levels[] = {
            {"level: leading space, trailing junk", u" 12x"_s, 12},
            {"level: tab and newline-class space", u"\t\v7"_s, 7},
            {"level: minus", u"-3"_s, 1},
            {"level: letters", u"abc"_s, 1},
            {"level: plus", u"+2"_s, 2},
            {"level: sign alone", u"-"_s, 1},
            {"level: space inside", u"1 2"_s, 1},
            {"level: full-width digit is no digit", u"２"_s, 1},
            {"level: 251", u"251"_s, 251},
        };
        for (const auto &c : levels)
            QTest::newRow(c.name) << header + c.field + u",L,r\r\n"_s
                                  << QStringList{u"%1|L|L\r\nr"_s.arg(c.level)} << QStringList();
    }
    void parseCsv()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, outline);
        QFETCH(QStringList, messages);

        RecordingPrompter prompter;
        CTreeList store;
        store.appendItem(1, u"前の文書\r\n"_s); // replaced, not appended to
        HierCsvFile::parseHierCsv(store, text, &prompter);
        QCOMPARE(dump(store), outline);
        QCOMPARE(prompter.messages, messages);
        QCOMPARE(store.prompter(), nullptr);
    }

    void levelFromField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("level");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("negative") << u"-12abc"_s << -12;
        QTest::newRow("int max") << u"2147483647"_s << INT_MAX;
        QTest::newRow("above int max") << u"2147483648"_s << INT_MAX;
        QTest::newRow("int min") << u"-2147483648"_s << INT_MIN;
        QTest::newRow("below int min") << u"-99999999999999999999"_s << INT_MIN;
        QTest::newRow("two signs") << u"+-3"_s << 0;
        QTest::newRow("space after sign") << u"- 3"_s << 0;
    }
    void levelFromField()
    {
        QFETCH(QString, field);
        QFETCH(int, level);
        QCOMPARE(HierCsvFile::levelFromField(field), level);
    }

    // ---- both kinds through files, every encoding, read as written and
    //      automatically

    void roundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("writeEncoding");
        QTest::addColumn<int>("readEncoding");

        const char *kinds[] = {"text", "csv"};
        const char *encodings[] = {"auto", "Shift-JIS", "UTF-8", "UTF-16LE"};
        for (int kind : {Text, Csv})
            for (int enc : {1, 2, 3})
                for (int readEnc : {enc, 0})
                    QTest::addRow("%s %s read %s", kinds[kind], encodings[enc], encodings[readEnc])
                        << kind << enc << readEnc;
    }
    void roundTrip()
    {
        QFETCH(int, kind);
        QFETCH(int, writeEncoding);
        QFETCH(int, readEncoding);

        // Each body with what each kind gives back: the text file ends a body
        // with a line break, the CSV file keeps the label line and puts the
        // rest on one line.
        const struct { int level; QString body, asText, asCsv; } items[] = {
            {1, u"第一章　はじまり\r\n波ダッシュ～と丸数字①、髙島屋。\r\n二行目です。\r\n"_s,
             u"第一章　はじまり\r\n波ダッシュ～と丸数字①、髙島屋。\r\n二行目です。\r\n"_s,
             u"第一章　はじまり\r\n波ダッシュ～と丸数字①、髙島屋。二行目です。"_s},
            {2, u"\r\nラベルのない本文です。\r\n"_s, u"\r\nラベルのない本文です。\r\n"_s,
             u"\r\nラベルのない本文です。"_s},
            {3, u"カンマ,入りの見出し\r\nかな,カナ\r\n"_s, u"カンマ,入りの見出し\r\nかな,カナ\r\n"_s,
             u"カンマ\r\n入りの見出し,かな,カナ"_s},
            {2, u"改行のない本文"_s, u"改行のない本文\r\n"_s, u"\r\n改行のない本文"_s},
            {1, u"おわり\r\n"_s, u"おわり\r\n"_s, u"おわり\r\n"_s},
        };

        CTreeList store;
        QStringList expected;
        for (const auto &item : items) {
            QVERIFY(store.appendItem(item.level, item.body) >= 0);
            expected << row(item.level, kind == Text ? item.asText : item.asCsv);
        }

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(kind == Text ? u"階層テキスト～①.txt"_s : u"階層表～①.csv"_s);
        RecordingPrompter prompter;
        CStringCode code(&prompter);
        QVERIFY(kind == Text ? HierTextFile::writeHierText(store, writeEncoding, path, code)
                             : HierCsvFile::writeHierCsv(store, writeEncoding, path, code));

        CTreeList back(&prompter);
        const OutlineRead read = kind == Text
                                     ? HierTextFile::readHierText(back, readEncoding, path, code, &prompter)
                                     : HierCsvFile::readHierCsv(back, readEncoding, path, code, &prompter);
        QVERIFY(read.ok);
        QCOMPARE(read.encoding, writeEncoding);
        QCOMPARE(dump(back), expected);
        QCOMPARE(prompter.messages, QStringList());
    }

    // The bytes on disk for one small outline: the header, CR LF line ends and
    // the byte-order mark come through the encoder as the formats need them.
    void writtenBytes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("text UTF-8") << int(Text) << 2 << QByteArray("\xEF\xBB\xBF.A\r\nb\r\n..C\r\n");
        QTest::newRow("text Shift-JIS")
            << int(Text) << 1 << QByteArray(".A\r\nb\r\n..C\r\n");
        QTest::newRow("csv UTF-8")
            << int(Csv) << 2 << QByteArray("\xEF\xBB\xBF") + u"階層,ラベル,本文\r\n1,A,b\r\n2,C,\r\n"_s.toUtf8();
        QTest::newRow("csv Shift-JIS")
            << int(Csv) << 1
            << QByteArray("\x8A\x4B\x91\x77,\x83\x89\x83\x78\x83\x8B,\x96\x7B\x95\xB6\r\n1,A,b\r\n2,C,\r\n");
    }
    void writtenBytes()
    {
        QFETCH(int, kind);
        QFETCH(int, encoding);
        QFETCH(QByteArray, bytes);

        CTreeList store;
        store.appendItem(1, u"A\r\nb"_s);
        store.appendItem(2, u"C\r\n"_s);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"書き出し"_s);
        CStringCode code;
        QVERIFY(kind == Text ? HierTextFile::writeHierText(store, encoding, path, code)
                             : HierCsvFile::writeHierCsv(store, encoding, path, code));
        QCOMPARE(readBytes(path), bytes);
    }

    // A refused write is reported as a failure and leaves the old file.
    void writeFailure_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("body");
        for (int kind : {Text, Csv}) {
            const char *name = kind == Text ? "text" : "csv";
            QTest::addRow("%s automatic", name) << kind << 0 << u"a\r\n"_s;
            QTest::addRow("%s emoji in Shift-JIS", name) << kind << 1 << u"絵文字\r\n😀\r\n"_s;
        }
    }
    void writeFailure()
    {
        QFETCH(int, kind);
        QFETCH(int, encoding);
        QFETCH(QString, body);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"既存の文書"_s);
        const QByteArray old("old contents\r\n");
        QVERIFY(writeBytes(path, old));

        CTreeList store;
        store.appendItem(1, body);
        RecordingPrompter prompter;
        CStringCode code(&prompter);
        QVERIFY(!(kind == Text ? HierTextFile::writeHierText(store, encoding, path, code)
                               : HierCsvFile::writeHierCsv(store, encoding, path, code)));
        QCOMPARE(readBytes(path), old);
        QCOMPARE(prompter.messages, QStringList{QString::fromUtf16(Msg::TextSaveError)});
    }

    // With no prompter handed in, messages go to the store's own.
    void storePrompterUsedWhenNoneGiven()
    {
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        QVERIFY(!HierTextFile::parseHierText(store, u"x\r\n"_s, nullptr));
        QVERIFY(HierTextFile::parseHierText(store, QString(253, u'.') + u"\r\n"_s, nullptr));
        HierCsvFile::parseHierCsv(store, u"h\r\n300,a,b\r\n"_s, nullptr);
        QCOMPARE(prompter.messages, (QStringList{notHierText, tooDeep, tooDeep}));
        QCOMPARE(store.prompter(), &prompter);
    }
};

QTEST_GUILESS_MAIN(TestHierFiles)
#include "tst_hier_files.moc"
