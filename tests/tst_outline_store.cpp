#include "RecordingPrompter.h"
#include "model/BodyText.h"
#include "model/CTreeList.h"
#include "Messages.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestOutlineStore : public QObject
{
    Q_OBJECT

private slots:
    void labelAndBody_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("label and text") << u"タイトル\r\n本文"_s << u"タイトル"_s << u"本文"_s;
        QTest::newRow("starts with CR") << u"\r\nabc"_s << QString() << u"abc"_s;
        QTest::newRow("no line break") << u"abc"_s << QString() << u"abc"_s;
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("starts with LF") << u"\nabc"_s << QString() << u"\nabc"_s;
        QTest::newRow("label only") << u"a\r\n"_s << u"a"_s << QString();
        QTest::newRow("lone LF ends no label") << u"ab\ncd"_s << QString() << u"cd"_s;
        QTest::newRow("numbered") << u"0003\r\nline"_s << u"0003"_s << u"line"_s;
    }
    void labelAndBody()
    {
        QFETCH(QString, body);
        QFETCH(QString, label);
        QFETCH(QString, text);
        QCOMPARE(labelFromBody(body), label);
        QCOMPARE(bodyWithoutLabel(body), text);
    }

    void appendItemDepthLimit()
    {
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        QCOMPARE(store.appendItem(251, u"deep\r\n"_s), 0);
        QCOMPARE(store.appendItem(252, u"too deep\r\n"_s), -1);
        QCOMPARE(prompter.messages, QStringList{QString::fromUtf16(Msg::TooDeep)});
        QCOMPARE(store.bodies().size(), 1);
        QCOMPARE(store.items().size(), size_t(1));
        QVERIFY(store.buffer().isEmpty() && store.undoSteps().isEmpty() && store.redoSteps().isEmpty());
    }

    void levelsBelowOneAreRaised_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("zero") << 0;
        QTest::newRow("negative") << -7;
    }
    void levelsBelowOneAreRaised()
    {
        QFETCH(int, level);
        CTreeList store;
        const qint32 n = store.appendItem(level, u"x\r\n"_s);
        QCOMPARE(store.getLevel(n), 1);
    }

    void numbersAreNeverReusedAndClearRestarts()
    {
        CTreeList store;
        store.appendItem(1, u"A\r\n"_s);
        store.appendItem(1, u"B\r\n"_s);
        QCOMPARE(store.insertFirstItem(u"Z\r\nz"_s), 2);
        QCOMPARE(store.items().front(), (TREE_ITEM{2, 1, u"Z"_s}));
        QCOMPARE(store.getBodyText(0, 2), u"z"_s);
        QCOMPARE(store.getLabelOfBody(1), u"B"_s);
        store.setLabel(1, u"B2"_s);
        QCOMPARE(store.findItem(1)->label, u"B2"_s);
        QVERIFY(store.findItem(99) == store.items().end());
        QVERIFY(!store.setBody(3, u"x"_s));
        QCOMPARE(store.getBody(-1), QString());
        store.clear();
        QVERIFY(store.items().empty() && store.bodies().isEmpty());
        QCOMPARE(store.insertFirstItem(u"T\r\n"_s), 0);
        QCOMPARE(store.items().front(), (TREE_ITEM{0, 1, u"T"_s}));
    }
};

QTEST_GUILESS_MAIN(TestOutlineStore)
#include "tst_outline_store.moc"
