#include "AddressSpaceCap.h"
#include "ArchiveBytes.h"
#include "FakeEditorPane.h"
#include "FileBytes.h"
#include "HistoryRecords.h"
#include "RecordingPrompter.h"
#include "model/CUndoRedo.h"
#include "Messages.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// History file images are built byte by byte (with ArchiveBytes.h), apart
// from the reader.

// The one-byte string record: a length byte, then code page 932 bytes.
QByteArray narrow(const QByteArray &bytes)
{
    Q_ASSERT(bytes.size() < 255);
    return char(bytes.size()) + bytes;
}

QByteArray record(qint32 kind, qint32 start, qint32 end, const QByteArray &string)
{
    return le32(kind) + le32(start) + le32(end) + string;
}

// `count` defaults to the number of records given.
QByteArray historyFile(const QList<QByteArray> &records, std::optional<qint32> count = {})
{
    QByteArray b = le32(count.value_or(qint32(records.size())));
    for (const QByteArray &r : records)
        b += r;
    return b;
}

// The largest address space the process has had, in bytes (VmPeak).
qint64 peakAddressSpace()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmPeak:"))
            return line.mid(7).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

enum class Edit { Type, Backspace, Delete };

} // namespace

class TestTextHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_work; // a work folder with a Japanese name

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_work = m_root.filePath(u"作業フォルダ"_s);
        QVERIFY(QDir().mkpath(m_work));
    }

    // One user edit: its records, then one undo gives exactly the text
    // before it with the caret where it was, one redo exactly the text after.
    void keystroke_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("replaceFlag");
        QTest::addColumn<QList<CMD_ITEM>>("records");

        const QString ten = u"0123456789"_s;
        const QString same = u"aaaaaaaaaa"_s;
        QTest::newRow("typing x at 5 of 10")
            << ten << 5 << 5 << Edit::Type << u"x"_s << 0 << QList<CMD_ITEM>{{1, 5, 6, 1, u"x"_s}};
        QTest::newRow("typing a letter into a run of it")
            << same << 5 << 5 << Edit::Type << u"a"_s << 0 << QList<CMD_ITEM>{{1, 5, 6, 1, u"a"_s}};
        QTest::newRow("backspace at 5")
            << ten << 5 << 5 << Edit::Backspace << QString() << 0 << QList<CMD_ITEM>{{2, 5, 4, 1, u"4"_s}};
        QTest::newRow("backspace in a run of one letter")
            << same << 5 << 5 << Edit::Backspace << QString() << 0 << QList<CMD_ITEM>{{2, 5, 4, 1, u"a"_s}};
        QTest::newRow("backspace over a line break")
            << u"行\r\n次"_s << 3 << 3 << Edit::Backspace << QString() << 0
            << QList<CMD_ITEM>{{2, 3, 1, 2, u"\r\n"_s}};
        QTest::newRow("Delete at 5")
            << ten << 5 << 5 << Edit::Delete << QString() << 0 << QList<CMD_ITEM>{{2, 5, 5, 1, u"5"_s}};
        QTest::newRow("Delete in a run of one letter")
            << same << 5 << 5 << Edit::Delete << QString() << 0 << QList<CMD_ITEM>{{2, 5, 5, 1, u"a"_s}};
        QTest::newRow("pasting four at 0")
            << ten << 0 << 0 << Edit::Type << u"貼付文字"_s << 0 << QList<CMD_ITEM>{{1, 0, 4, 4, u"貼付文字"_s}};
        QTest::newRow("Enter at the end")
            << ten << 10 << 10 << Edit::Type << u"\r\n"_s << 0 << QList<CMD_ITEM>{{1, 10, 12, 2, u"\r\n"_s}};
        QTest::newRow("a surrogate pair")
            << ten << 2 << 2 << Edit::Type << u"😀"_s << 0 << QList<CMD_ITEM>{{1, 2, 4, 2, u"😀"_s}};
        QTest::newRow("cutting a selection")
            << ten << 2 << 5 << Edit::Type << QString() << 0 << QList<CMD_ITEM>{{2, 2, 2, 3, u"234"_s}};
        QTest::newRow("backspace on a selection made backwards")
            << ten << 5 << 2 << Edit::Backspace << QString() << 0 << QList<CMD_ITEM>{{2, 2, 2, 3, u"234"_s}};

        // Replacements: a deletion and the insertion joined to it.
        QTest::newRow("typing one over a selection 5..8")
            << ten << 5 << 8 << Edit::Type << u"x"_s << 0
            << QList<CMD_ITEM>{{2, 5, 5, 3, u"567"_s}, {21, 5, 6, 1, u"x"_s}};
        QTest::newRow("typing over a selection its own first letter")
            << ten << 5 << 8 << Edit::Type << u"5"_s << 0 << QList<CMD_ITEM>{{2, 5, 6, 2, u"67"_s}};
        QTest::newRow("same-length replacement")
            << ten << 5 << 6 << Edit::Type << u"y"_s << 0
            << QList<CMD_ITEM>{{2, 5, 5, 1, u"5"_s}, {21, 5, 6, 1, u"y"_s}};
        QTest::newRow("a letter typed over itself")
            << ten << 5 << 6 << Edit::Type << u"5"_s << 0 << QList<CMD_ITEM>{{0, 5, 6, 0, QString()}};
        QTest::newRow("pasting a longer text over a selection")
            << ten << 2 << 4 << Edit::Type << u"ABCDE"_s << 0
            << QList<CMD_ITEM>{{2, 2, 2, 2, u"23"_s}, {21, 2, 7, 5, u"ABCDE"_s}};
        QTest::newRow("pasting over a whole text")
            << u"行一\r\n行二"_s << 0 << 6 << Edit::Type << u"新しい\r\n本文"_s << 0
            << QList<CMD_ITEM>{{2, 0, 0, 6, u"行一\r\n行二"_s}, {21, 0, 7, 7, u"新しい\r\n本文"_s}};

        // The replace command.
        QTest::newRow("replace command lengthening by 3")
            << u"今日は犬と散歩"_s << 3 << 4 << Edit::Type << u"大きな犬"_s << 1
            << QList<CMD_ITEM>{{11, 3, 7, 3, u"大きな"_s}};
        QTest::newRow("replace command shortening by 3")
            << u"今日は大きな犬と"_s << 3 << 7 << Edit::Type << u"大"_s << 1
            << QList<CMD_ITEM>{{12, 3, 4, 3, u"きな犬"_s}};
        QTest::newRow("replace command, same length")
            << u"今日は犬と散歩"_s << 3 << 4 << Edit::Type << u"猫"_s << 1
            << QList<CMD_ITEM>{{12, 3, 3, 1, u"犬"_s}, {31, 3, 4, 1, u"猫"_s}};
    }
    void keystroke()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(Edit, edit);
        QFETCH(QString, typed);
        QFETCH(int, replaceFlag);
        QFETCH(QList<CMD_ITEM>, records);

        FakeEditorPane editor(text);
        editor.select(from, to);
        CUndoRedo history;
        EditorState before = editor.state();
        switch (edit) {
        case Edit::Type:
            editor.typeText(typed);
            break;
        case Edit::Backspace:
            editor.backspace();
            break;
        case Edit::Delete:
            editor.deleteForward();
            break;
        }
        const EditorState after = editor.state();
        history.recordChange(replaceFlag, before, after);

        QCOMPARE(recordLines(history.undoList()), recordLines(records));
        QCOMPARE(before, after); // the next change chains from here
        QVERIFY(history.redoList().isEmpty());

        QVERIFY(history.undoText(editor));
        QCOMPARE(editor.text(), text);
        QCOMPARE(editor.caret(), qMin(from, to));
        QCOMPARE(editor.calls.last(), u"setCaret %1"_s.arg(qMin(from, to)));
        QCOMPARE(editor.callCount(u"setText"_s), qsizetype(text == after.text ? 0 : 1));
        QVERIFY(history.undoList().isEmpty());
        QCOMPARE(history.redoList().size(), records.size());
        QVERIFY(!history.undoText(editor));

        QVERIFY(history.redoText(editor));
        QCOMPARE(editor.text(), after.text);
        QCOMPARE(editor.caret(), after.selectionStart);
        QCOMPARE(recordLines(history.undoList()), recordLines(records));
        QVERIFY(history.redoList().isEmpty());
        QVERIFY(!history.redoText(editor));
        QCOMPARE(editor.focusCount, 0);
    }

    // Two consecutive changes of the replace command go back and forth in
    // one step; a change typed before them stays a step of its own.
    void replaceCommandChangesPair()
    {
        FakeEditorPane editor(u"abcdef"_s);
        CUndoRedo history;
        EditorState before = editor.state();
        editor.typeText(u"X"_s);
        history.recordChange(0, before, editor.state());

        editor.select(3, 5);
        before = editor.state();
        editor.cut();
        history.recordChange(1, before, editor.state());
        before = editor.state();
        editor.typeText(u"XYZ"_s);
        history.recordChange(1, before, editor.state());
        QCOMPARE(recordLines(history.undoList()),
                 recordLines({{1, 0, 1, 1, u"X"_s}, {12, 3, 3, 2, u"cd"_s}, {11, 3, 6, 3, u"XYZ"_s}}));

        QVERIFY(history.undoText(editor));
        QCOMPARE(editor.text(), u"Xabcdef"_s);
        QCOMPARE(editor.caret(), 3);
        QCOMPARE(history.undoList().size(), 1);
        QCOMPARE(recordLines(history.redoList()), recordLines({{11, 3, 6, 3, u"XYZ"_s}, {12, 3, 3, 2, u"cd"_s}}));
        QVERIFY(history.undoText(editor));
        QCOMPARE(editor.text(), u"abcdef"_s);
        QCOMPARE(editor.caret(), 0);

        QVERIFY(history.redoText(editor));
        QCOMPARE(editor.text(), u"Xabcdef"_s);
        QCOMPARE(editor.caret(), 1);
        QVERIFY(history.redoText(editor));
        QCOMPARE(editor.text(), u"XabXYZef"_s);
        QCOMPARE(editor.caret(), 6);
        QVERIFY(history.redoList().isEmpty());
    }

    // Replacements by the replace command are two records each; two of
    // them still go in one step, and each comes back exactly.
    void replaceCommandReplacementsPair()
    {
        const QString original = u"犬と犬と犬"_s;
        FakeEditorPane editor(original);
        CUndoRedo history;
        QStringList texts{original};
        for (int at : {0, 2, 4}) {
            editor.select(at, at + 1);
            EditorState before = editor.state();
            editor.typeText(u"猫"_s);
            history.recordChange(1, before, editor.state());
            texts.append(editor.text());
        }
        QCOMPARE(history.undoList().size(), 6);

        // The last two together, then the first alone.
        QVERIFY(history.undoText(editor));
        QCOMPARE(editor.text(), texts.at(1));
        QCOMPARE(editor.caret(), 2);
        QVERIFY(history.undoText(editor));
        QCOMPARE(editor.text(), original);
        QCOMPARE(editor.caret(), 0);
        QVERIFY(!history.undoText(editor));

        // Redo pairs from the other end: the first two, then the last.
        QVERIFY(history.redoText(editor));
        QCOMPARE(editor.text(), texts.at(2));
        QCOMPARE(editor.caret(), 3);
        QVERIFY(history.redoText(editor));
        QCOMPARE(editor.text(), texts.at(3));
        QCOMPARE(editor.caret(), 5);
        QVERIFY(!history.redoText(editor));
    }

    void newChangeAfterUndoEmptiesRedo()
    {
        FakeEditorPane editor;
        CUndoRedo history;
        EditorState before = editor.state();
        for (const QString &letter : {u"あ"_s, u"い"_s}) {
            editor.typeText(letter);
            history.recordChange(0, before, editor.state());
        }
        QVERIFY(history.undoText(editor));
        QCOMPARE(history.redoList().size(), 1);

        before = editor.state();
        editor.typeText(u"う"_s);
        history.recordChange(0, before, editor.state());
        QVERIFY(history.redoList().isEmpty());
        QVERIFY(!history.redoText(editor));
        QCOMPARE(recordLines(history.undoList()), recordLines({{1, 0, 1, 1, u"あ"_s}, {1, 1, 2, 1, u"う"_s}}));
        QVERIFY(history.undoText(editor));
        QVERIFY(history.undoText(editor));
        QCOMPARE(editor.text(), QString());
    }

    // Random edits, undos and redos against a model of the history: a list
    // of the texts the edits made. Every undo must give back the text before
    // its change (two changes for a replace-command pair), every redo the
    // text after it, carets included.
    void randomEdits_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 12; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void randomEdits()
    {
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        // Few and repeated pieces, so that changes are often ambiguous.
        const QStringList pieces{u"a"_s, u"a"_s, u"b"_s, u"ab"_s, u"\r\n"_s, u"犬"_s, u"😀"_s};
        auto randomText = [&](int most) {
            QString s;
            for (int n = int(rng.bounded(most + 1)); n > 0; --n)
                s += pieces.at(int(rng.bounded(qint32(pieces.size()))));
            return s;
        };

        struct Change
        {
            QString textAfter;
            qint32 caretBefore;
            qint32 caretAfter;
            bool pairs; // made by the replace command, and changed something
        };
        const QString initial = u"はじめ\r\naab"_s;
        QList<Change> changes;
        qsizetype done = 0;
        auto textAt = [&](qsizetype n) { return n == 0 ? initial : changes.at(n - 1).textAfter; };

        FakeEditorPane editor(initial);
        CUndoRedo history;

        auto checkUndo = [&]() {
            if (done == 0) {
                QVERIFY(!history.undoText(editor));
                return;
            }
            const qsizetype n = changes.at(done - 1).pairs && done >= 2 && changes.at(done - 2).pairs ? 2 : 1;
            QVERIFY(history.undoText(editor));
            done -= n;
            QCOMPARE(editor.text(), textAt(done));
            QCOMPARE(editor.caret(), changes.at(done).caretBefore);
        };
        auto checkRedo = [&]() {
            if (done == changes.size()) {
                QVERIFY(!history.redoText(editor));
                return;
            }
            const qsizetype n =
                changes.at(done).pairs && done + 1 < changes.size() && changes.at(done + 1).pairs ? 2 : 1;
            QVERIFY(history.redoText(editor));
            done += n;
            QCOMPARE(editor.text(), textAt(done));
            QCOMPARE(editor.caret(), changes.at(done - 1).caretAfter);
        };

        for (int step = 0; step < 300; ++step) {
            const quint32 action = rng.bounded(10u);
            if (action < 2) {
                checkUndo();
            } else if (action < 4) {
                checkRedo();
            } else {
                const qint32 size = qint32(editor.text().size());
                const qint32 from = qint32(rng.bounded(size + 1));
                editor.select(from, rng.bounded(2u) ? from : qint32(rng.bounded(size + 1)));
                EditorState before = editor.state();
                qint32 flag = 0;
                switch (rng.bounded(5u)) {
                case 0:
                    editor.typeText(randomText(1));
                    break;
                case 1:
                    editor.typeText(randomText(4));
                    break;
                case 2:
                    editor.backspace();
                    break;
                case 3:
                    editor.deleteForward();
                    break;
                default:
                    flag = 1;
                    editor.typeText(randomText(3));
                    break;
                }
                const EditorState after = editor.state();
                changes.resize(done);
                // Taken before recordChange, which makes `before` the after-state.
                changes.append({after.text, before.selectionStart, after.selectionStart,
                                flag == 1 && before.text != after.text});
                history.recordChange(flag, before, after);
                done = changes.size();
                QVERIFY(history.redoList().isEmpty());
            }
            if (QTest::currentTestFailed())
                return;
        }

        while (done > 0) {
            checkUndo();
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(!history.undoText(editor));
        QCOMPARE(editor.text(), initial);
        while (done < changes.size()) {
            checkRedo();
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(!history.redoText(editor));
    }

    // Hand-built history files replay as their kinds say: 1 inserts at
    // start, 2 puts back at end, kinds above 10 pair, others change nothing.
    void historyFileReplay_data()
    {
        QTest::addColumn<QByteArray>("undoFile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("texts");  // after each undo
        QTest::addColumn<QList<int>>("carets"); // after each undo
        QTest::addColumn<QString>("forward");   // after redoing them all

        QTest::newRow("an insertion and a deletion, both string forms")
            << historyFile({record(1, 0, 3, wideString(u"abc")), record(2, 6, 5, narrow("\x8c\xa2"))})
            << u"abcxyz"_s << QStringList{u"abcxy犬z"_s, u"xy犬z"_s} << QList<int>{6, 0} << u"abcxyz"_s;
        QTest::newRow("12 then 11 in one step")
            << historyFile({record(12, 2, 2, wideString(u"cd")), record(11, 2, 5, wideString(u"XYZ"))})
            << u"abXYZef"_s << QStringList{u"abcdef"_s} << QList<int>{2} << u"abXYZef"_s;
        QTest::newRow("11 after 1 alone")
            << historyFile({record(1, 0, 1, wideString(u"a")), record(11, 1, 2, wideString(u"b"))}) << u"ab"_s
            << QStringList{u"a"_s, QString()} << QList<int>{1, 0} << u"ab"_s;
        QTest::newRow("kinds 0 and 10 change nothing and do not pair")
            << historyFile({record(11, 0, 1, wideString(u"a")), record(0, 1, 1, wideString(u"")), record(10, 2, 2, wideString(u""))})
            << u"abc"_s << QStringList{u"abc"_s, u"abc"_s, u"bc"_s} << QList<int>{2, 1, 0} << u"abc"_s;
        QTest::newRow("a file's kind 21 pairs without effect")
            << historyFile({record(11, 0, 2, wideString(u"ab")), record(21, 3, 3, wideString(u"zz"))}) << u"abcd"_s
            << QStringList{u"cd"_s} << QList<int>{0} << u"abcd"_s;
        // A deletion beyond the end deletes nothing, so this one does not
        // come back to where it started.
        QTest::newRow("positions outside the text clamp")
            << historyFile({record(1, -5, 0, wideString(u"ab")), record(2, 50, 50, wideString(u"!"))}) << u"abc"_s
            << QStringList{u"abc!"_s, u"c!"_s} << QList<int>{4, 0} << u"abc!"_s;
        const QString line = QString(300, u'長');
        QTest::newRow("a text of 300 units")
            << historyFile({record(1, 0, 300, wideString(line))}) << line + u"末"_s << QStringList{u"末"_s}
            << QList<int>{0} << line + u"末"_s;
    }
    void historyFileReplay()
    {
        QFETCH(QByteArray, undoFile);
        QFETCH(QString, text);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, carets);
        QFETCH(QString, forward);

        QVERIFY(writeBytes(QDir(m_work).filePath(u"QLU0003.his"_s), undoFile));
        RecordingPrompter prompter;
        CUndoRedo history;
        QVERIFY(history.loadHistoryFiles(m_work, 3, &prompter));
        QVERIFY(prompter.messages.isEmpty());
        for (const CMD_ITEM &r : history.undoList())
            QCOMPARE(r.count, r.text.size());

        FakeEditorPane editor(text);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QVERIFY(history.undoText(editor));
            QCOMPARE(editor.text(), texts.at(i));
            QCOMPARE(editor.caret(), carets.at(i));
        }
        QVERIFY(!history.undoText(editor));
        while (history.redoText(editor)) {
        }
        QCOMPARE(editor.text(), forward);
        QVERIFY(QFile::remove(QDir(m_work).filePath(u"QLU0003.his"_s)));
    }

    void historyFilesOfAnItem()
    {
        const QDir work(m_work);
        QVERIFY(writeBytes(work.filePath(u"QLU0003.his"_s),
                           historyFile({record(1, 0, 3, wideString(u"abc")), record(2, 6, 5, narrow("\x8c\xa2"))})));
        QVERIFY(writeBytes(work.filePath(u"QLR0003.his"_s),
                           historyFile({record(12, 2, 2, wideString(u"cd")), record(11, 0, 2, wideString(u"ab"))})));
        RecordingPrompter prompter;
        CUndoRedo history;
        FakeEditorPane editor(u"start"_s);
        EditorState before = editor.state();
        editor.typeText(u"!"_s);
        history.recordChange(0, before, editor.state());

        // Selecting item 3: what was there goes, the files come in.
        QVERIFY(history.loadHistoryFiles(m_work, 3, &prompter));
        QVERIFY(prompter.messages.isEmpty());
        QCOMPARE(recordLines(history.undoList()),
                 recordLines({{1, 0, 3, 3, u"abc"_s}, {2, 6, 5, 1, u"犬"_s}}));
        QCOMPARE(recordLines(history.redoList()),
                 recordLines({{12, 2, 2, 2, u"cd"_s}, {11, 0, 2, 2, u"ab"_s}}));

        // The redo file's last record goes first, and pairs with the 12.
        editor.setText(u"cdef"_s);
        QVERIFY(history.redoText(editor));
        QCOMPARE(editor.text(), u"abef"_s);
        QCOMPARE(editor.caret(), 2);
        QVERIFY(history.redoList().isEmpty());

        // An item without files has no history.
        QVERIFY(history.loadHistoryFiles(m_work, 4, &prompter));
        QVERIFY(history.undoList().isEmpty());
        QVERIFY(history.redoList().isEmpty());
        QVERIFY(prompter.messages.isEmpty());

        QVERIFY(QFile::remove(work.filePath(u"QLU0003.his"_s)));
        QVERIFY(QFile::remove(work.filePath(u"QLR0003.his"_s)));
        QCOMPARE(CUndoRedo::undoFileName(12345), u"QLU12345.his"_s);
        QCOMPARE(CUndoRedo::redoFileName(7), u"QLR0007.his"_s);
    }

    // Names that are there but are no file are no history either; a pipe
    // must not leave the program waiting for a writer.
    void historyNamesThatAreNoFile()
    {
        const QDir work(m_work);
        QVERIFY(work.mkdir(u"QLU0005.his"_s));
        const QByteArray fifo = QFile::encodeName(work.filePath(u"QLR0005.his"_s));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(writeBytes(work.filePath(u"QLU0006.his"_s), historyFile({}, -3)));

        RecordingPrompter prompter;
        CUndoRedo history;
        QVERIFY(history.loadHistoryFiles(m_work, 5, &prompter));
        QVERIFY(history.loadHistoryFiles(m_work, 6, &prompter));
        QVERIFY(history.undoList().isEmpty());
        QVERIFY(history.redoList().isEmpty());
        QVERIFY(prompter.messages.isEmpty());

        QVERIFY(work.rmdir(u"QLU0005.his"_s));
        QVERIFY(QFile::remove(work.filePath(u"QLR0005.his"_s)));
        QVERIFY(QFile::remove(work.filePath(u"QLU0006.his"_s)));
    }

    // A file that ends early: the message, the records before the end, and
    // the redo file left unread.
    void truncatedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kept");

        const QByteArray first = record(1, 0, 2, wideString(u"一つ"));
        const QByteArray second = record(2, 4, 3, wideString(u"二つ目の記録"));
        const QByteArray third = record(11, 0, 1, narrow("z"));
        const QByteArray whole = historyFile({first, second, third});
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("cut in the count") << whole.left(2) << 0;
        QTest::newRow("cut in the first record's numbers") << whole.left(10) << 0;
        QTest::newRow("cut in the second record's numbers") << whole.left(4 + first.size() + 6) << 1;
        QTest::newRow("cut in a length prefix") << whole.left(4 + first.size() + 14) << 1;
        QTest::newRow("cut in the characters") << whole.left(4 + first.size() + second.size() - 3) << 1;
        QTest::newRow("cut before the last record") << whole.left(whole.size() - third.size()) << 2;
        QTest::newRow("count beyond the records") << historyFile({first, second, third}, 4) << 3;
        QTest::newRow("a length beyond the file")
            << historyFile({first, record(2, 0, 0, QByteArray::fromHex("FFFEFFFFE803") + utf16le(u"短い"))}) << 1;
        QTest::newRow("a 64-bit length")
            << historyFile({first, record(2, 0, 0, QByteArray::fromHex("FFFEFFFFFFFFFFFFFFFF0000000000010000"))})
            << 1;
        QTest::newRow("count 0x7fffffff in a small file") << historyFile({first, second}, 0x7fffffff) << 2;
    }
    void truncatedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kept);
        const QDir work(m_work);
        QVERIFY(writeBytes(work.filePath(u"QLU0007.his"_s), bytes));
        QVERIFY(writeBytes(work.filePath(u"QLR0007.his"_s), historyFile({record(1, 0, 1, wideString(u"r"))})));

        RecordingPrompter prompter;
        CUndoRedo history;
        bool loaded = true;
        {
            // Room for the records, far too little for a count believed.
            const AddressSpaceCap cap(qint64(256) << 20);
            QVERIFY(cap.active());
            loaded = history.loadHistoryFiles(m_work, 7, &prompter);
        }
        QVERIFY(!loaded);
        QCOMPARE(prompter.messages, QStringList{QString::fromUtf16(Msg::UnexpectedFormat)});
        QCOMPARE(history.undoList().size(), qsizetype(kept));
        QVERIFY(history.redoList().isEmpty());

        // The redo file itself was sound.
        QVERIFY(history.loadRedoFile(m_work, 7, &prompter));
        QCOMPARE(history.redoList().size(), 1);
        QVERIFY(QFile::remove(work.filePath(u"QLU0007.his"_s)));
        QVERIFY(QFile::remove(work.filePath(u"QLR0007.his"_s)));
    }

    // A count the file cannot hold reserves nothing. Under the cap above a
    // refused reservation passes unseen in a release build, so this one
    // counts the address space a believed count of twenty million would take
    // (some 800 MB, which the system would grant).
    void countIsNotBelieved()
    {
        const QString file = QDir(m_work).filePath(u"QLU0008.his"_s);
        QVERIFY(writeBytes(file, historyFile({record(1, 0, 1, wideString(u"a"))}, 20'000'000)));
        RecordingPrompter prompter;
        CUndoRedo history;
        const qint64 peakBefore = peakAddressSpace();
        QVERIFY(peakBefore > 0);
        QVERIFY(!history.loadUndoFile(m_work, 8, &prompter));
        QVERIFY(peakAddressSpace() - peakBefore < (qint64(64) << 20));
        QCOMPARE(history.undoList().size(), 1);
        QCOMPARE(prompter.messages, QStringList{QString::fromUtf16(Msg::UnexpectedFormat)});
        QVERIFY(QFile::remove(file));
    }

    void resetEmptiesTheWorkFolderOnly()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir top(root.path());
        QVERIFY(top.mkpath(u"作業/下位"_s));
        QVERIFY(top.mkdir(u"外"_s));
        const QDir work(top.filePath(u"作業"_s));
        const QString outsideFile = top.filePath(u"外/大事な原稿.txt"_s);
        QVERIFY(writeBytes(outsideFile, "keep me"));
        for (const QString &name : {u"QLU0001.his"_s, u"メモ.txt"_s, u".隠し"_s, u"QuilloryTempFile.txt"_s})
            QVERIFY(writeBytes(work.filePath(name), "x"));
        QVERIFY(writeBytes(work.filePath(u"下位/中身.txt"_s), "inner"));
        QVERIFY(QFile::link(outsideFile, work.filePath(u"原稿へのリンク"_s)));
        QVERIFY(QFile::link(top.filePath(u"外"_s), work.filePath(u"フォルダへのリンク"_s)));
        QVERIFY(QFile::link(top.filePath(u"どこにもない"_s), work.filePath(u"壊れたリンク"_s)));

        CUndoRedo history;
        FakeEditorPane editor;
        EditorState before = editor.state();
        editor.typeText(u"a"_s);
        history.recordChange(0, before, editor.state());
        editor.typeText(u"b"_s);
        history.recordChange(0, before, editor.state());
        QVERIFY(history.undoText(editor));

        history.resetText(work.path());
        QVERIFY(history.undoList().isEmpty());
        QVERIFY(history.redoList().isEmpty());
        QCOMPARE(work.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{u"下位"_s});
        QCOMPARE(readBytes(work.filePath(u"下位/中身.txt"_s)), QByteArray("inner"));
        QCOMPARE(readBytes(outsideFile), QByteArray("keep me"));
        QCOMPARE(QDir(top.filePath(u"外"_s)).entryList(QDir::Files), QStringList{u"大事な原稿.txt"_s});

        // An empty folder name is not the current folder.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.filePath(u"下位"_s)));
        history.resetText(QString());
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(readBytes(work.filePath(u"下位/中身.txt"_s)), QByteArray("inner"));
    }

    void listings()
    {
        CUndoRedo history;
        QCOMPARE(history.listTextUndo(), QString());
        QCOMPARE(history.listTextRedo(), QString());

        FakeEditorPane editor(u"0123456789"_s);
        editor.select(5, 5);
        EditorState before = editor.state();
        editor.typeText(u"x"_s);
        history.recordChange(0, before, editor.state());
        editor.typeText(u"\r\n"_s);
        history.recordChange(0, before, editor.state());
        editor.select(0, 2);
        before = editor.state();
        editor.typeText(u"改"_s);
        history.recordChange(0, before, editor.state());

        QCOMPARE(history.listTextUndo(),
                 u"s = 5  e = 6  x\r\n"
                 u"s = 6  e = 8  \r\n\r\n"
                 u"s = 0  e = 0  01\r\n"
                 u"s = 0  e = 1  改\r\n"_s);
        QVERIFY(history.undoText(editor));
        QCOMPARE(history.listTextRedo(), u"s = 0  e = 1  改\r\ns = 0  e = 0  01\r\n"_s);
        QCOMPARE(history.listTextUndo(), u"s = 5  e = 6  x\r\ns = 6  e = 8  \r\n\r\n"_s);

        QVERIFY(writeBytes(QDir(m_work).filePath(u"QLR0002.his"_s), historyFile({record(2, -1, -20, wideString(u"負"))})));
        QVERIFY(history.loadHistoryFiles(m_work, 2, nullptr));
        QCOMPARE(history.listTextRedo(), u"s = -1  e = -20  負\r\n"_s);
        QCOMPARE(history.listTextUndo(), QString());
        QVERIFY(QFile::remove(QDir(m_work).filePath(u"QLR0002.his"_s)));
    }
};

QTEST_GUILESS_MAIN(TestTextHistory)
#include "tst_text_history.moc"
