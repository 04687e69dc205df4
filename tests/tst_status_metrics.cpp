#include "editor/StatusMetrics.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace StatusMetrics;

class TestStatusMetrics : public QObject
{
    Q_OBJECT

private slots:
    void characters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("labelDisplay");
        QTest::addColumn<qint64>("count");
        QTest::newRow("empty") << QString() << true << qint64(0);
        QTest::newRow("clear mode counts label") << u"見出し\r\nabc"_s << false << qint64(6);
        QTest::newRow("label mode leaves label out") << u"見出し\r\nabc"_s << true << qint64(3);
        QTest::newRow("label mode, no CR") << u"見出しabc"_s << true << qint64(6);
        QTest::newRow("breaks never count") << u"\r\n\r\na\nb\r"_s << false << qint64(2);
        QTest::newRow("label mode, text starts with CR") << u"\r\nabc"_s << true << qint64(3);
    }
    void characters()
    {
        QFETCH(QString, text);
        QFETCH(bool, labelDisplay);
        QFETCH(qint64, count);
        QCOMPARE(countCharacters(text, labelDisplay), count);
    }

    void pages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("rowWidth");
        QTest::addColumn<qint64>("pageHeight");
        QTest::addColumn<qint64>("rows");
        QTest::addColumn<qint64>("pages");
        const QString twenty(20, u'あ');
        QTest::newRow("empty") << QString() << 20ll << 20ll << 0ll << 0ll;
        QTest::newRow("label and line") << u"見出し\r\nabc"_s << 20ll << 20ll << 2ll << 1ll;
        QTest::newRow("exactly a row") << twenty + u"\r\n"_s << 20ll << 20ll << 1ll << 1ll;
        QTest::newRow("one over a row") << twenty + u"い\r\n"_s << 20ll << 20ll << 2ll << 1ll;
        QTest::newRow("two empty lines") << u"\r\n\r\n"_s << 20ll << 20ll << 2ll << 1ll;
        QTest::newRow("no line break") << u"abc"_s << 20ll << 20ll << 1ll << 1ll;
        QTest::newRow("20 lines one sheet") << u"a\r\n"_s.repeated(20) << 20ll << 20ll << 20ll << 1ll;
        QTest::newRow("21 lines two sheets") << u"a\r\n"_s.repeated(21) << 20ll << 20ll << 21ll << 2ll;
        QTest::newRow("1200 chars, 30x40") << QString(1200, u'字') << 30ll << 40ll << 40ll << 1ll;
        QTest::newRow("1201 chars, 30x40") << QString(1201, u'字') << 30ll << 40ll << 41ll << 2ll;
        QTest::newRow("rest starting with LF") << u"\nab"_s << 20ll << 20ll << 1ll << 1ll;
        QTest::newRow("zero row width") << u"abc"_s << 0ll << 20ll << 0ll << 0ll;
        QTest::newRow("zero page height") << u"abc"_s << 20ll << 0ll << 1ll << 0ll;
        QTest::newRow("negative sizes") << u"abc"_s << -5ll << -1ll << 0ll << 0ll;
    }
    void pages()
    {
        QFETCH(QString, text);
        QFETCH(qint64, rowWidth);
        QFETCH(qint64, pageHeight);
        QFETCH(qint64, rows);
        QFETCH(qint64, pages);
        QCOMPARE(countRows(text, rowWidth), rows);
        QCOMPARE(countPages(text, rowWidth, pageHeight), pages);
    }
};

QTEST_GUILESS_MAIN(TestStatusMetrics)
#include "tst_status_metrics.moc"
