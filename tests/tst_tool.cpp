// The command-line tool, run as a separate process: exit codes, what reaches
// stdout and stderr, and conversions between every pair of file kinds.
#include "FileBytes.h"
#include "RealEncodings.h"
#include "io/CStringCode.h"
#include "io/OutlineFileIo.h"
#include "model/CTreeList.h"
#include "Messages.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run tool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(QUILLORY_TOOL_PATH), args);
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A file kind and, for text kinds, its encoding name and index.
struct Format
{
    QString ext;
    QString encodingName;
    int encoding;
    QString tag() const { return encodingName.isEmpty() ? ext : ext + u'-' + encodingName; }
};

const QList<Format> formats = {
    {u"qlo"_s, {}, 0},
    {u"txt"_s, u"sjis"_s, Encoding::ShiftJis},
    {u"txt"_s, u"utf8"_s, Encoding::Utf8},
    {u"txt"_s, u"utf16le"_s, Encoding::Utf16Le},
    {u"csv"_s, u"sjis"_s, Encoding::ShiftJis},
    {u"csv"_s, u"utf8"_s, Encoding::Utf8},
    {u"csv"_s, u"utf16le"_s, Encoding::Utf16Le},
};

// (level, body) of every item, in outline order.
using Outline = QList<QPair<int, QString>>;

Outline outlineOf(const CTreeList &store)
{
    Outline o;
    for (const TREE_ITEM &item : store.items())
        o.append({item.level, store.getBody(item.number)});
    return o;
}

Outline readBack(const QString &path, int encoding)
{
    CTreeList store;
    NativeHeader header;
    const CStringCode code;
    OutlineFileIo::read(OutlineFileIo::fileTypeOf(path), path, encoding, store, header, code, nullptr);
    return outlineOf(store);
}

// What survives a CSV file: the label line and the rest on one line.
Outline flattened(const Outline &o)
{
    Outline f;
    for (const auto &[level, body] : o) {
        const qsizetype cr = body.indexOf(u'\r');
        QString label = cr < 0 ? QString() : body.left(cr);
        QString rest = cr < 0 ? body : body.mid(cr + 1);
        rest.remove(u'\r').remove(u'\n');
        f.append({level, label + u"\r\n"_s + rest});
    }
    return f;
}

// What a file of this kind gives back of an outline: CSV puts the rest of a
// body on one line, hierarchical text ends every body with a line break.
Outline keptBy(const QString &ext, const Outline &o)
{
    if (ext == u"csv"_s)
        return flattened(o);
    Outline kept = o;
    if (ext == u"txt"_s) {
        for (auto &item : kept) {
            if (!item.second.endsWith(u'\n'))
                item.second += u"\r\n"_s;
        }
    }
    return kept;
}

} // namespace

Q_DECLARE_METATYPE(Format)

class TestTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Bodies end with a line break so that the text kinds keep them exactly.
    const Outline m_sample = {
        {1, u"第一章　春\r\n桜が咲いた。～① 髙橋さん、\r\n二行目\r\n"_s},
        {2, u"場面　一\r\nカンマ,入り\r\n"_s},
        {3, u"\r\n見出しのない本文\r\n"_s},
        {2, u"ＡＢＣ\r\n"_s},
        {1, u"終章\r\n\r\n空行のあと\r\n"_s},
    };

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CTreeList store;
        for (const auto &[level, body] : m_sample)
            store.appendItem(level, body);
        const CStringCode code;
        QVERIFY(OutlineFileIo::write(FileType::Native, path(u"見本.qlo"_s), 0, store, NativeHeader(), 0,
                                     code, nullptr));
    }

    void help()
    {
        const Run r = tool({u"--help"_s});
        QCOMPARE(r.exitCode, 0);
        for (const char *word : {"convert", "list", "detect", "info", "--from", "--to", "--row", "--col"})
            QVERIFY2(r.out.contains(QLatin1String(word)), word);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{u"zip"_s, u"a.qlo"_s};
        QTest::newRow("unknown option") << QStringList{u"list"_s, u"--to"_s, u"utf8"_s, u"a.qlo"_s};
        QTest::newRow("missing value") << QStringList{u"list"_s, u"a.qlo"_s, u"--from"_s};
        QTest::newRow("auto is no target") << QStringList{u"convert"_s, u"--to=auto"_s, u"a.qlo"_s, u"b.txt"_s};
        QTest::newRow("bad encoding") << QStringList{u"list"_s, u"--from"_s, u"latin1"_s, u"a.qlo"_s};
        QTest::newRow("bad number") << QStringList{u"info"_s, u"--row"_s, u"many"_s, u"a.qlo"_s};
        QTest::newRow("one file for convert") << QStringList{u"convert"_s, u"a.qlo"_s};
        QTest::newRow("two files for detect") << QStringList{u"detect"_s, u"a"_s, u"b"_s};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        const Run r = tool(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(r.out.isEmpty());
    }

    void convertEveryPair_data()
    {
        QTest::addColumn<Format>("from");
        QTest::addColumn<Format>("to");
        for (const Format &a : formats)
            for (const Format &b : formats)
                QTest::newRow(qPrintable(a.tag() + u" -> "_s + b.tag())) << a << b;
    }
    void convertEveryPair()
    {
        QFETCH(Format, from);
        QFETCH(Format, to);
        const QString in = path(u"入力-"_s + from.tag() + u'.' + from.ext);
        const QString out = path(u"出力-"_s + from.tag() + u'-' + to.tag() + u'.' + to.ext);
        if (!QFile::exists(in)) {
            QStringList args{u"convert"_s, path(u"見本.qlo"_s), in};
            if (!from.encodingName.isEmpty())
                args << u"--to"_s << from.encodingName;
            QCOMPARE(tool(args).exitCode, 0);
        }
        QStringList args{u"convert"_s, in, out};
        if (!to.encodingName.isEmpty())
            args << u"--to"_s << to.encodingName;
        const Run r = tool(args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QString());

        const Outline expected = keptBy(to.ext, keptBy(from.ext, m_sample));
        QCOMPARE(readBack(out, to.encoding), expected);
        // Automatic detection finds every encoding this sample was written in.
        if (to.encoding != 0)
            QCOMPARE(readBack(out, Encoding::Auto), expected);
    }

    void nativeHeaderCarriedOver()
    {
        QByteArray bytes = readBytes(path(u"見本.qlo"_s));
        qToLittleEndian<qint32>(9999, bytes.data() + 38);
        qToLittleEndian<qint32>(3, bytes.data() + 42);
        QVERIFY(writeBytes(path(u"9999.qlo"_s), bytes));
        QCOMPARE(tool({u"convert"_s, path(u"9999.qlo"_s), path(u"9999-copy.qlo"_s)}).exitCode, 0);
        const QByteArray copy = readBytes(path(u"9999-copy.qlo"_s));
        QCOMPARE(qFromLittleEndian<qint32>(copy.constData() + 38), 9999);
        QCOMPARE(qFromLittleEndian<qint32>(copy.constData() + 42), 0);
        QCOMPARE(copy.mid(46), bytes.mid(46));

        // From a text kind the defaults are written.
        QCOMPARE(tool({u"convert"_s, path(u"9999.qlo"_s), path(u"h.txt"_s)}).exitCode, 0);
        QCOMPARE(tool({u"convert"_s, path(u"h.txt"_s), path(u"h.qlo"_s)}).exitCode, 0);
        QCOMPARE(readBytes(path(u"h.qlo"_s)), readBytes(path(u"見本.qlo"_s)));
    }

    void emptyInputWritesEmptyOutline()
    {
        QVERIFY(writeBytes(path(u"empty.txt"_s), {}));
        QCOMPARE(tool({u"convert"_s, path(u"empty.txt"_s), path(u"empty.qlo"_s)}).exitCode, 0);
        const QByteArray out = readBytes(path(u"empty.qlo"_s));
        QCOMPARE(out.size(), 50);
        QCOMPARE(qFromLittleEndian<qint32>(out.constData() + 46), 0);
        const Run r = tool({u"list"_s, path(u"empty.qlo"_s)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QString());
    }

    void failuresWriteNothing_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing native") << u"無い.qlo"_s << u"a.txt"_s
                                        << QString::fromUtf16(Msg::FileNotFound).arg(path(u"無い.qlo"_s));
        QTest::newRow("missing text") << u"無い.txt"_s << u"a.qlo"_s
                                      << QString::fromUtf16(Msg::FileNotFound).arg(path(u"無い.txt"_s));
        QTest::newRow("unknown input kind") << u"見本.doc"_s << u"a.qlo"_s << QString::fromUtf16(Msg::ExtensionError);
        QTest::newRow("unknown output kind") << u"見本.qlo"_s << u"a.doc"_s << QString::fromUtf16(Msg::ExtensionError);
        QTest::newRow("not a hierarchical text") << u"plain.txt"_s << u"a.qlo"_s << QString::fromUtf16(Msg::NotHierText);
        QTest::newRow("output folder missing") << u"見本.qlo"_s << u"no/such/a.qlo"_s
                                               << QString::fromUtf16(Msg::BadPath).arg(path(u"no/such/a.qlo"_s));
        QTest::newRow("unrepresentable in sjis") << u"emoji.qlo"_s << u"e.txt"_s << QString::fromUtf16(Msg::TextSaveError);
    }
    void failuresWriteNothing()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QString, message);
        QFile::copy(path(u"見本.qlo"_s), path(u"見本.doc"_s));
        QVERIFY(writeBytes(path(u"plain.txt"_s), "no heading\r\n"));
        {
            CTreeList store;
            store.appendItem(1, u"絵文字\r\n😀\r\n"_s);
            QVERIFY(OutlineFileIo::write(FileType::Native, path(u"emoji.qlo"_s), 0, store, NativeHeader(), 0,
                                         CStringCode(), nullptr));
        }
        const Run r = tool({u"convert"_s, u"--to"_s, u"sjis"_s, path(in), path(out)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(path(out)));
    }

    void list()
    {
        const Run r = tool({u"list"_s, path(u"見本.qlo"_s)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, u"1\t第一章　春\n2\t場面　一\n3\t\n2\tＡＢＣ\n1\t終章\n"_s);
    }

    void info_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");
        // Texts without label lines: 14+3, 6, 8, 0, 0+5 characters; joined,
        // their lines of 14, 3, 6, 8, 0 and 5 characters take 6 rows of 20,
        // or 5+1+2+3+1+2 = 14 rows of 3.
        QTest::newRow("defaults") << QStringList() << u"items 5\ncharacters 36\nsheets 1\npages 1\n"_s;
        QTest::newRow("3 by 2") << QStringList{u"--row"_s, u"3"_s, u"--col"_s, u"2"_s}
                                << u"items 5\ncharacters 36\nsheets 1\npages 7\n"_s;
        QTest::newRow("no lines per page") << QStringList{u"--col=0"_s} << u"items 5\ncharacters 36\nsheets 1\npages 0\n"_s;
    }
    void info()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const Run r = tool(QStringList{u"info"_s} + options + QStringList{path(u"見本.qlo"_s)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, expected);
    }

    void detect_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("code");
        QTest::newRow("shift_jis") << u"shift_jis.txt"_s << u"932"_s;
        QTest::newRow("euc-jp") << u"euc-jp.txt"_s << u"51932"_s;
        QTest::newRow("iso-2022-jp") << u"iso-2022-jp.txt"_s << u"50220"_s;
        QTest::newRow("utf-8") << u"utf-8.txt"_s << u"65001"_s;
        QTest::newRow("utf-16le") << u"utf-16le.txt"_s << u"1200"_s;
        QTest::newRow("aozora bom") << u"aozora-bom.txt"_s << u"65001"_s;
        QTest::newRow("aozora novel") << u"aozora-chapter.txt"_s << u"932"_s;
    }
    void detect()
    {
        QFETCH(QString, file);
        QFETCH(QString, code);
        QUILLORY_REAL_FILE_OR_SKIP(path, file);
        const Run r = tool({u"detect"_s, path});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, code + u'\n');
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
