#include "DocumentFixture.h"
#include "HistoryRecords.h"

#include "CommandIds.h"
#include "editor/CQuilloryEdit.h"
#include "editor/FindReplaceDialog.h"
#include "editor/StatusMetrics.h"
#include "editor/StatusPanes.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class PaneRecorder : public StatusPanes
{
public:
    QString texts[6];
    void setPaneText(int index, const QString &text) override
    {
        if (index >= 1 && index <= 5)
            texts[index] = text;
    }
};

// What the widget holds, written with CR LF: the pane's own copy must match.
QString widgetTextCrLf(const QPlainTextEdit &edit)
{
    QString text = edit.toPlainText();
    text.replace(QLatin1Char('\n'), u"\r\n"_s);
    return text;
}

// A document with one editor pane in a window of its own, on a user folder of
// its own (the document empties the work folder). `bodies` are the texts the
// editor shows: in clear mode each item gets the label line ClearLabel above.
const QString ClearLabel = u"見出し"_s;

struct Harness : UserFolderFixture
{
    explicit Harness(const QStringList &bodies, int displayLable = 1, const SettingValues &settings = {})
        : UserFolderFixture(SettingValues{{u"Display_Lable"_s, displayLable}, {u"Edit_FontSize"_s, 14}}
                            + settings)
    {
        doc = std::make_unique<CQuilloryDoc>(backend, &prompter, [] { return QString(); });
        doc->setTreePane(&tree);

        window = std::make_unique<QWidget>();
        edit = new CQuilloryEdit(*doc, &panes, window.get());
        auto *layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(edit);
        doc->setEditorPane(edit);

        for (const QString &body : bodies)
            doc->store().appendItem(1, displayLable ? body : ClearLabel + u"\r\n"_s + body);
        doc->refreshViews();
        tree.calls.clear();
    }

    // Shown, active and focused, so that keys take the way they take for a user.
    bool show(int width = 480, int height = 320)
    {
        window->resize(width, height);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return false;
        edit->setFocus();
        return edit->hasFocus();
    }

    void select(qint32 from, qint32 to)
    {
        QTextCursor c = edit->textCursor();
        c.setPosition(edit->widgetPosition(from));
        c.setPosition(edit->widgetPosition(to), QTextCursor::KeepAnchor);
        edit->setTextCursor(c);
    }

    QString label() const { return doc->store().items().front().label; }

    FakeTreePane tree;
    PaneRecorder panes;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<QWidget> window;
    CQuilloryEdit *edit = nullptr;
};

// One user action: "text:..." typed character by character (Japanese as the
// keyboard delivers it), or "key:Return" / "key:Backspace" / "key:Delete" /
// "key:Shift+Return" / "key:Shift+Enter".
void perform(QWidget *w, const QString &action)
{
    if (action.startsWith(u"text:")) {
        for (const QChar c : action.mid(5)) {
            if (c.unicode() < 0x80)
                QTest::keyClick(w, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    } else if (action == u"key:Return") {
        QTest::keyClick(w, Qt::Key_Return);
    } else if (action == u"key:Backspace") {
        QTest::keyClick(w, Qt::Key_Backspace);
    } else if (action == u"key:Delete") {
        QTest::keyClick(w, Qt::Key_Delete);
    } else if (action == u"key:Shift+Return") {
        QTest::keyClick(w, Qt::Key_Return, Qt::ShiftModifier);
    } else if (action == u"key:Shift+Enter") {
        QTest::keyClick(w, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    }
}

} // namespace

class TestEditorPane : public QObject
{
    Q_OBJECT

private slots:
    void positionsMapToCrLf_data();
    void positionsMapToCrLf();
    void typingRecordsOneChangePerKey_data();
    void typingRecordsOneChangePerKey();
    void undoGivesBackTheReplacedText_data();
    void undoGivesBackTheReplacedText();
    void undoKeysGoBeforeWindowShortcuts();
    void programTextIsNeverRecorded();
    void inputMethodCommitIsTyping();
    void inputMethodOverASelectionUndoesExactly();
    void cutPasteAndDropAreRecorded();
    void pastedBreaksAndOddCharactersUndoExactly_data();
    void pastedBreaksAndOddCharactersUndoExactly();
    void labelModeRenamesFromTheLabelLine();
    void pasteTakesTheWholeLabelLine();
    void statusPanesAfterTypingJapanese();
    void statusPanesFollowEveryKindOfEdit();
    void pageFormatBelowOne_data();
    void pageFormatBelowOne();
    void cursorRowCountsWrappedRows();
    void settingsGiveFontColoursAndMargins();
    void replaceAllUndoesAtOnce();
    void replaceStepsThroughMatches();
    void findAndReplaceTakeLineBreaksAsCrLf();
    void findDialog_data();
    void findDialog();
    void contextMenuShowsOnce();
    void activationAndCommandState();
};

void TestEditorPane::positionsMapToCrLf_data()
{
    QTest::addColumn<int>("widget");
    QTest::addColumn<int>("text");

    // "ab" CR LF CR LF "cd": the widget has "ab", break, break, "cd".
    QTest::newRow("start") << 0 << 0;
    QTest::newRow("end of first line") << 2 << 2;
    QTest::newRow("empty line") << 3 << 4;
    QTest::newRow("third line") << 4 << 6;
    QTest::newRow("inside third line") << 5 << 7;
    QTest::newRow("end") << 6 << 8;
}

void TestEditorPane::positionsMapToCrLf()
{
    QFETCH(int, widget);
    QFETCH(int, text);
    Harness h({u"ab\r\n\r\ncd"_s}, 0);
    QCOMPARE(h.edit->text(), u"ab\r\n\r\ncd"_s);
    QCOMPARE(h.edit->textPosition(widget), text);
    QCOMPARE(h.edit->widgetPosition(text), widget);
    // Between CR and LF: the end of that line.
    QCOMPARE(h.edit->widgetPosition(3), 2);
    QCOMPARE(h.edit->widgetPosition(999), 6);
}

void TestEditorPane::typingRecordsOneChangePerKey_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("history");

    QTest::newRow("letter after a line break")
        << u"ab\r\ncd"_s << 4 << u"text:x"_s << u"ab\r\nxcd"_s << QStringList{u"1 4 5 1 x"_s};
    QTest::newRow("two letters, two records")
        << u"ab\r\ncd"_s << 6 << u"text:xy"_s << u"ab\r\ncdxy"_s
        << QStringList{u"1 6 7 1 x"_s, u"1 7 8 1 y"_s};
    QTest::newRow("Japanese on the second line")
        << u"題\r\n本文"_s << 5 << u"text:春の"_s << u"題\r\n本文春の"_s
        << QStringList{u"1 5 6 1 春"_s, u"1 6 7 1 の"_s};
    QTest::newRow("Enter makes CR LF")
        << u"ab\r\ncd"_s << 1 << u"key:Return"_s << u"a\r\nb\r\ncd"_s
        << QStringList{u"1 1 3 2 \\r\\n"_s};
    QTest::newRow("Backspace takes a whole line break")
        << u"ab\r\ncd"_s << 4 << u"key:Backspace"_s << u"abcd"_s << QStringList{u"2 4 2 2 \\r\\n"_s};
    QTest::newRow("Delete before a line break")
        << u"ab\r\ncd"_s << 2 << u"key:Delete"_s << u"abcd"_s << QStringList{u"2 2 2 2 \\r\\n"_s};
    QTest::newRow("Backspace after two breaks")
        << u"a\r\n\r\nb"_s << 5 << u"key:Backspace"_s << u"a\r\nb"_s << QStringList{u"2 5 3 2 \\r\\n"_s};
    // The widget would make a line separator of these: a break on screen
    // that is no line break in the text.
    QTest::newRow("Shift+Return makes CR LF")
        << u"ab\r\ncd"_s << 1 << u"key:Shift+Return"_s << u"a\r\nb\r\ncd"_s
        << QStringList{u"1 1 3 2 \\r\\n"_s};
    QTest::newRow("Shift+Enter makes CR LF")
        << u"ab"_s << 2 << u"key:Shift+Enter"_s << u"ab\r\n"_s << QStringList{u"1 2 4 2 \\r\\n"_s};
    const QString pair = u"\U0001F600"_s;
    QTest::newRow("Backspace takes a surrogate pair")
        << u"a"_s + pair + u"\r\nb"_s << 3 << u"key:Backspace"_s << u"a\r\nb"_s
        << QStringList{u"2 3 1 2 "_s + pair};
    QTest::newRow("Delete takes a surrogate pair")
        << u"a"_s + pair + u"\r\nb"_s << 1 << u"key:Delete"_s << u"a\r\nb"_s
        << QStringList{u"2 1 1 2 "_s + pair};
}

void TestEditorPane::typingRecordsOneChangePerKey()
{
    QFETCH(QString, body);
    QFETCH(int, caret);
    QFETCH(QString, action);
    QFETCH(QString, expected);
    QFETCH(QStringList, history);

    Harness h({body}, 0);
    QVERIFY(h.show());
    h.edit->setCaret(caret);
    h.doc->setModified(false);
    perform(h.edit, action);

    QCOMPARE(h.edit->text(), expected);
    QCOMPARE(widgetTextCrLf(*h.edit), expected);
    QCOMPARE(recordLines(h.doc->undoRedo().undoList()), history);
    QVERIFY(h.doc->isModified());
    // The snapshots the history was given are CR LF texts too.
    QCOMPARE(h.doc->afterState().text, expected);
    QCOMPARE(h.doc->beforeState().text, expected);
}

void TestEditorPane::undoGivesBackTheReplacedText_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("afterTyping");

    QTest::newRow("three by one") << u"0123456789"_s << 5 << 8 << u"X"_s << u"01234X89"_s;
    QTest::newRow("one by another") << u"0123456789"_s << 5 << 6 << u"X"_s << u"01234X6789"_s;
    QTest::newRow("across line breaks")
        << u"春の朝\r\n窓を\r\n開けた"_s << 2 << 6 << u"夜"_s << u"春の夜を\r\n開けた"_s;
    QTest::newRow("a whole line with its break")
        << u"一\r\n二\r\n三"_s << 3 << 6 << u"x"_s << u"一\r\nx三"_s;
}

void TestEditorPane::undoGivesBackTheReplacedText()
{
    QFETCH(QString, body);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, typed);
    QFETCH(QString, afterTyping);

    Harness h({body}, 0);
    QVERIFY(h.show());
    h.select(from, to);
    perform(h.edit, u"text:"_s + typed);
    QCOMPARE(h.edit->text(), afterTyping);

    h.doc->setModified(false);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), body);
    QCOMPARE(widgetTextCrLf(*h.edit), body);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), from);
    // What is shown differs from what was saved: the undo is a change.
    QVERIFY(h.doc->isModified());

    QTest::keyClick(h.edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), afterTyping);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), from + typed.size());

    // Shift does not matter.
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(h.edit->text(), body);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    // Nothing left to undo: the key does nothing.
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), body);

    // The undos were not recorded as changes of their own.
    QCOMPARE(h.doc->undoRedo().redoList().size(), 2);
}

void TestEditorPane::undoKeysGoBeforeWindowShortcuts()
{
    Harness h({u"abc"_s}, 0);
    auto *undoAction = new QAction(h.window.get());
    undoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    h.window->addAction(undoAction);
    QSignalSpy triggered(undoAction, &QAction::triggered);
    QVERIFY(h.show());

    h.edit->setCaret(3);
    perform(h.edit, u"text:d"_s);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"abc"_s);
    QTest::keyClick(h.edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"abcd"_s);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(h.edit->text(), u"abc"_s);
    QCOMPARE(triggered.count(), 0);

    // With Alt it is another key, left to the window.
    auto *other = new QAction(h.window.get());
    other->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z));
    h.window->addAction(other);
    QSignalSpy otherTriggered(other, &QAction::triggered);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(otherTriggered.count(), 1);
    QCOMPARE(h.edit->text(), u"abc"_s);
    QCOMPARE(h.doc->undoRedo().redoList().size(), 1);

    // Alt with a letter belongs to the window even when it has no action
    // there: no letter in the text.
    for (Qt::Key key : {Qt::Key_U, Qt::Key_D, Qt::Key_L})
        QTest::keyClick(h.edit, key, Qt::AltModifier);
    QCOMPARE(h.edit->text(), u"abc"_s);
    QCOMPARE(h.doc->undoRedo().redoList().size(), 1);
}

void TestEditorPane::programTextIsNeverRecorded()
{
    Harness h({u"first"_s, u"second"_s}, 0);
    QVERIFY(h.show());
    h.doc->setModified(false);

    h.edit->setText(u"a\r\nb"_s);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QVERIFY(!h.doc->isModified());

    // Line breaks of any kind come back as the CR LF the widget makes of them.
    h.edit->setText(u"a\nb\rc\u2029d\r\ne"_s);
    QCOMPARE(h.edit->text(), u"a\r\nb\r\nc\r\nd\r\ne"_s);
    QCOMPARE(widgetTextCrLf(*h.edit), h.edit->text());
    // Characters the widget keeps as they are.
    h.edit->setText(u"x\u00a0y\u2028z\r\n"_s);
    QCOMPARE(h.edit->text(), u"x\u00a0y\u2028z\r\n"_s);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QVERIFY(!h.doc->isModified());

    // Typing after a program text: positions from the new text, and the
    // before-text is the program's text.
    h.edit->setText(u"line1\r\nline2"_s);
    h.edit->setCaret(12);
    perform(h.edit, u"text:!"_s);
    QCOMPARE(recordLines(h.doc->undoRedo().undoList()), QStringList{u"1 12 13 1 !"_s});
    QVERIFY(h.doc->isModified());
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"line1\r\nline2"_s);

    // Selecting another item loads its text without recording anything and
    // empties the history.
    h.doc->setModified(false);
    h.doc->selectItem(1);
    QCOMPARE(h.edit->text(), u"second"_s);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QVERIFY(h.doc->undoRedo().redoList().isEmpty());
    QVERIFY(!h.doc->isModified());
    QCOMPARE(h.edit->textCursor().position(), 0);
}

void TestEditorPane::inputMethodCommitIsTyping()
{
    Harness h({u"題\r\n"_s}, 0);
    QVERIFY(h.show());
    h.edit->setCaret(3);
    h.doc->setModified(false);

    // Composing shows text that is not yet the user's.
    QInputMethodEvent compose(u"かんじ"_s, {});
    QApplication::sendEvent(h.edit, &compose);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QCOMPARE(h.edit->text(), u"題\r\n"_s);
    QVERIFY(!h.doc->isModified());

    QInputMethodEvent commit;
    commit.setCommitString(u"漢字"_s);
    QApplication::sendEvent(h.edit, &commit);
    QCOMPARE(h.edit->text(), u"題\r\n漢字"_s);
    QCOMPARE(recordLines(h.doc->undoRedo().undoList()), QStringList{u"1 3 5 2 漢字"_s});
    QVERIFY(h.doc->isModified());
    QCOMPARE(h.panes.texts[5], u"    2 行 , 3 列"_s);
}

void TestEditorPane::inputMethodOverASelectionUndoesExactly()
{
    const QString body = u"春の\r\n朝です"_s;

    // A commit straight over a selection across a line break: one change.
    Harness h({body}, 0);
    QVERIFY(h.show());
    h.select(1, 5); // "の", CR LF, "朝"
    QInputMethodEvent commit;
    commit.setCommitString(u"夏"_s);
    QApplication::sendEvent(h.edit, &commit);
    QCOMPARE(h.edit->text(), u"春夏です"_s);
    QCOMPARE(h.panes.texts[5], u"    1 行 , 3 列"_s);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), body);
    QCOMPARE(widgetTextCrLf(*h.edit), body);
    QTest::keyClick(h.edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"春夏です"_s);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), 2);

    // Composing over a selection takes the selection away at once; the
    // commit is typed after it; undoing both gives the text back.
    Harness c({body}, 0);
    QVERIFY(c.show());
    c.select(1, 5);
    QInputMethodEvent compose(u"なつ"_s, {});
    QApplication::sendEvent(c.edit, &compose);
    QInputMethodEvent converted(u"夏"_s, {});
    QApplication::sendEvent(c.edit, &converted);
    QCOMPARE(c.edit->text(), u"春です"_s);
    QInputMethodEvent done;
    done.setCommitString(u"夏"_s);
    QApplication::sendEvent(c.edit, &done);
    QCOMPARE(c.edit->text(), u"春夏です"_s);
    QTest::keyClick(c.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(c.edit->text(), u"春です"_s);
    QTest::keyClick(c.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(c.edit->text(), body);

    // A cancelled composition leaves no trace.
    c.edit->setCaret(4);
    const qsizetype records = c.doc->undoRedo().undoList().size();
    QInputMethodEvent again(u"あき"_s, {});
    QApplication::sendEvent(c.edit, &again);
    QInputMethodEvent cancel(QString(), {});
    QApplication::sendEvent(c.edit, &cancel);
    QCOMPARE(c.edit->text(), body);
    QCOMPARE(c.doc->undoRedo().undoList().size(), records);

    // A commit that replaces characters before the caret (reconversion).
    c.edit->setCaret(6);
    QInputMethodEvent reconvert;
    reconvert.setCommitString(u"夜"_s, -1, 1);
    QApplication::sendEvent(c.edit, &reconvert);
    QCOMPARE(c.edit->text(), u"春の\r\n朝夜す"_s);
    QTest::keyClick(c.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(c.edit->text(), body);
}

void TestEditorPane::cutPasteAndDropAreRecorded()
{
    Harness h({u"ab\r\ncd\r\nef"_s}, 0);
    QVERIFY(h.show());

    h.select(1, 5); // "b", CR LF, "c"
    QTest::keyClick(h.edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"ad\r\nef"_s);
    QCOMPARE(QApplication::clipboard()->text(), u"b\nc"_s);
    QCOMPARE(recordLines(h.doc->undoRedo().undoList()), QStringList{u"2 1 1 4 b\\r\\nc"_s});

    h.edit->setCaret(6);
    QTest::keyClick(h.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"ad\r\nefb\r\nc"_s);
    QCOMPARE(recordLines(h.doc->undoRedo().undoList()).last(), u"1 6 10 4 b\\r\\nc"_s);

    // Dropped text from elsewhere.
    h.edit->setCaret(0);
    QMimeData mime;
    mime.setText(u"新\n"_s);
    const QPoint at = h.edit->cursorRect(h.edit->textCursor()).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.edit->viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.edit->viewport(), &move);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.edit->viewport(), &drop);
    QCOMPARE(h.edit->text(), u"新\r\nad\r\nefb\r\nc"_s);
    QCOMPARE(recordLines(h.doc->undoRedo().undoList()).last(), u"1 0 3 3 新\\r\\n"_s);

    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"ab\r\ncd\r\nef"_s);
}

void TestEditorPane::pastedBreaksAndOddCharactersUndoExactly_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("inText");

    QTest::newRow("lone CR") << u"x\ry"_s << u"x\r\ny"_s;
    QTest::newRow("lone LF") << u"x\ny"_s << u"x\r\ny"_s;
    QTest::newRow("CR CR LF") << u"x\r\r\ny"_s << u"x\r\n\r\ny"_s;
    QTest::newRow("paragraph separator") << u"x\u2029y"_s << u"x\r\ny"_s;
    QTest::newRow("NUL") << QString::fromUtf16(u"x\0y", 3) << QString::fromUtf16(u"x\0y", 3);
    QTest::newRow("surrogate pair") << u"x\U0001F600y"_s << u"x\U0001F600y"_s;
    QTest::newRow("trailing CR") << u"xy\r"_s << u"xy\r\n"_s;
}

void TestEditorPane::pastedBreaksAndOddCharactersUndoExactly()
{
    QFETCH(QString, clip);
    QFETCH(QString, inText);
    const QString body = u"ab\r\n\r\ncd\r\nef"_s;
    // Start, inside a line, end of a line, an empty line, the very end.
    for (qint32 caret : {0, 1, 2, 4, 12}) {
        Harness h({body}, 0);
        QVERIFY(h.show());
        h.edit->setCaret(caret);
        QApplication::clipboard()->setText(clip);
        QTest::keyClick(h.edit, Qt::Key_V, Qt::ControlModifier);
        const QString after = body.left(caret) + inText + body.mid(caret);
        QCOMPARE(h.edit->text(), after);
        QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), caret + inText.size());

        QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.edit->text(), body);
        QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), caret);
        QTest::keyClick(h.edit, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(h.edit->text(), after);
        QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), caret + inText.size());
        // Typing goes on from there as from any caret.
        perform(h.edit, u"text:Q"_s);
        QCOMPARE(h.edit->text(), body.left(caret) + inText + u"Q"_s + body.mid(caret));
        QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.edit->text(), after);
    }
}

void TestEditorPane::labelModeRenamesFromTheLabelLine()
{
    Harness h({u"Old\r\nbody\r\nmore"_s}, 1);
    QVERIFY(h.show());
    QCOMPARE(h.doc->displayMode(), int(DisplayMode::Label));

    h.edit->setCaret(3);
    perform(h.edit, u"text:X"_s);
    QCOMPARE(h.tree.calls, QStringList{u"setSelectedLabel OldX"_s});
    QCOMPARE(h.label(), u"OldX"_s);

    // Below the label line nothing is renamed.
    h.tree.calls.clear();
    h.edit->setCaret(qint32(h.edit->text().size()));
    perform(h.edit, u"text:Y"_s);
    QVERIFY(h.tree.calls.isEmpty());

    // Joining the label line with the next: the label follows the first CR.
    h.edit->setCaret(6);
    perform(h.edit, u"key:Backspace"_s);
    QCOMPARE(h.edit->text(), u"OldXbody\r\nmoreY"_s);
    QCOMPARE(h.tree.calls, QStringList{u"setSelectedLabel OldXbody"_s});

    // An undo that changes the label line renames as well.
    h.tree.calls.clear();
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.tree.calls, QStringList{u"setSelectedLabel OldX"_s});
    QCOMPARE(h.label(), u"OldX"_s);

    // Clear mode shows no label line: typing at the top renames nothing.
    Harness clear({u"body"_s}, 0);
    QVERIFY(clear.show());
    QCOMPARE(clear.edit->text(), u"body"_s);
    clear.edit->setCaret(0);
    perform(clear.edit, u"text:Z"_s);
    QVERIFY(clear.tree.calls.isEmpty());
    QCOMPARE(clear.label(), ClearLabel);
}

void TestEditorPane::pasteTakesTheWholeLabelLine()
{
    Harness h({u"Old\r\nbody"_s}, 1);
    QVERIFY(h.show(160, 200));
    const QString longLabel = u"A label line far wider than this narrow pane can show in one row"_s;
    QApplication::clipboard()->setText(longLabel + u"\nsecond "_s);
    h.edit->setCaret(0);
    QTest::keyClick(h.edit, Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(h.edit->text(), longLabel + u"\r\nsecond Old\r\nbody"_s);
    // The label line wraps on screen ...
    QVERIFY(h.edit->document()->firstBlock().layout()->lineCount() > 1);
    // ... and the label is still all of it.
    QCOMPARE(h.label(), longLabel);
    QCOMPARE(h.tree.calls.last(), u"setSelectedLabel "_s + longLabel);
}

void TestEditorPane::statusPanesAfterTypingJapanese()
{
    Harness h({u"題名\r\n"_s}, 1);
    QVERIFY(h.show());
    h.edit->setCaret(4);
    perform(h.edit, u"text:春の朝"_s);
    h.edit->viewport()->repaint();

    QCOMPARE(h.panes.texts[1], u"ラベルモード"_s);
    QCOMPARE(h.panes.texts[2], u" 文字数 : 3 字"_s);
    QCOMPARE(h.panes.texts[3], u" 原稿用紙換算 : 1 枚"_s);
    QCOMPARE(h.panes.texts[4], u" 書式（ 30 字 : 40 行 ）: 1 頁"_s);
    QCOMPARE(h.panes.texts[5], u"    2 行 , 4 列"_s);

    // 21 more characters on the line: 2 rows of 20, still one sheet; with
    // 20 such lines the sheet is full.
    perform(h.edit, u"text:"_s + QString(21, QChar(0x3042)));
    QCOMPARE(h.panes.texts[5], u"    2 行 , 25 列"_s);
    for (int i = 0; i < 19; ++i) {
        perform(h.edit, u"key:Return"_s);
        perform(h.edit, u"text:x"_s);
    }
    h.edit->viewport()->repaint();
    QCOMPARE(h.panes.texts[2], u" 文字数 : 43 字"_s);
    QCOMPARE(h.panes.texts[3], u" 原稿用紙換算 : 2 枚"_s);

    // Clear mode counts the whole text; single-page mode names itself.
    h.doc->settings().Display_Lable = 0;
    h.doc->setDisplayMode(DisplayMode::SinglePage);
    h.edit->viewport()->repaint();
    QCOMPARE(h.panes.texts[1], u"シングルモード"_s);
    QCOMPARE(h.panes.texts[2], u" 文字数 : 45 字"_s);
    h.doc->setDisplayMode(DisplayMode::Clear);
    h.edit->viewport()->repaint();
    QCOMPARE(h.panes.texts[1], u"クリアモード"_s);
}

void TestEditorPane::statusPanesFollowEveryKindOfEdit()
{
    // Counts kept change by change must equal counts over the whole text.
    Harness h({u"題\r\n"_s + QString(45, QChar(0x3042)) + u"\r\n\r\nshort\r\n"_s}, 1,
              {{u"Page_Row"_s, 7}, {u"Page_Col"_s, 3}});
    QVERIFY(h.show());
    // The panes as counted over the whole text, next to the panes shown.
    auto check = [&h](const char *step) {
        h.edit->viewport()->repaint();
        const QString text = h.edit->text();
        const QStringList expected{
            QString::fromLatin1(step), widgetTextCrLf(*h.edit),
            u" 文字数 : %1 字"_s.arg(StatusMetrics::countCharacters(text, true)),
            u" 原稿用紙換算 : %1 枚"_s.arg(StatusMetrics::countPages(text, 20, 20)),
            u" 書式（ 7 字 : 3 行 ）: %1 頁"_s.arg(StatusMetrics::countPages(text, 7, 3))};
        const QStringList shown{QString::fromLatin1(step), text, h.panes.texts[2], h.panes.texts[3],
                                h.panes.texts[4]};
        return shown == expected ? QString() : shown.join(u" | "_s) + u" != "_s + expected.join(u" | "_s);
    };

    QCOMPARE(check("loading"), QString());
    h.edit->setCaret(10);
    perform(h.edit, u"text:abc"_s);
    QCOMPARE(check("typing in a long line"), QString());
    perform(h.edit, u"key:Return"_s);
    QCOMPARE(check("breaking it"), QString());
    h.edit->setCaret(4);
    perform(h.edit, u"key:Backspace"_s);
    QCOMPARE(check("joining the label line"), QString());
    h.select(2, 20);
    perform(h.edit, u"key:Delete"_s);
    QCOMPARE(check("deleting across lines"), QString());
    QApplication::clipboard()->setText(u"x\n\nyyyyyyyyyyyyyyyyyyyyyyyyy\nz"_s);
    h.edit->setCaret(qint32(h.edit->text().size()));
    QTest::keyClick(h.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(check("pasting lines at the end"), QString());
    h.edit->replaceAll(u"y"_s, u"\u3044\u3044"_s, true);
    QCOMPARE(check("replacing all"), QString());
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(check("undo"), QString());
    h.edit->setText(u"\r\n\r\nab"_s);
    QCOMPARE(check("program text"), QString());
    QTest::keyClick(h.edit, Qt::Key_A, Qt::ControlModifier);
    perform(h.edit, u"key:Delete"_s);
    QCOMPARE(check("deleting everything"), QString());
    QCOMPARE(h.panes.texts[4], u" 書式（ 7 字 : 3 行 ）: 0 頁"_s);
}

void TestEditorPane::pageFormatBelowOne_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("pane");

    QTest::newRow("no lines per page") << 30 << 0 << u" 書式（ 30 字 : 0 行 ）: 0 頁"_s;
    QTest::newRow("no characters per line") << 0 << 40 << u" 書式（ 0 字 : 40 行 ）: 0 頁"_s;
    QTest::newRow("negative") << -5 << -1 << u" 書式（ -5 字 : -1 行 ）: 0 頁"_s;
    QTest::newRow("one by one") << 1 << 1 << u" 書式（ 1 字 : 1 行 ）: 8 頁"_s;
}

void TestEditorPane::pageFormatBelowOne()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, pane);
    Harness h({u"題\r\nabc\r\n\r\nde"_s}, 1, {{u"Page_Row"_s, row}, {u"Page_Col"_s, col}});
    QVERIFY(h.show());
    h.edit->setCaret(qint32(h.edit->text().size()));
    perform(h.edit, u"text:f"_s);
    h.edit->viewport()->repaint();
    QCOMPARE(h.panes.texts[4], pane);

    // A new format through the options takes effect at once.
    h.doc->settings().Page_Row = 2;
    h.doc->settings().Page_Col = 2;
    h.edit->applySettings();
    h.edit->viewport()->repaint();
    QCOMPARE(h.panes.texts[4], u" 書式（ 2 字 : 2 行 ）: 3 頁"_s);
}

void TestEditorPane::cursorRowCountsWrappedRows()
{
    const QString longLine = QString(120, QChar(0x3042));
    Harness h({longLine + u"\r\nxy\r\n"_s}, 1);
    QVERIFY(h.show(200, 300));
    const int wrapped = h.edit->document()->firstBlock().layout()->lineCount();
    QVERIFY(wrapped > 2);

    // The key goes down at the start of the second line and comes up after
    // the typed letter there.
    h.edit->setCaret(122);
    perform(h.edit, u"text:z"_s);
    QCOMPARE(h.edit->cursorRow(), wrapped);
    QCOMPARE(h.edit->cursorColumn(), 1);
    QCOMPARE(h.panes.texts[5], u"    %1 行 , 2 列"_s.arg(wrapped + 1));

    // A click shows where it landed.
    h.edit->setCaret(0);
    const QRect second = h.edit->cursorRect(QTextCursor(h.edit->document()->findBlockByNumber(1)));
    QTest::mouseClick(h.edit->viewport(), Qt::LeftButton, {}, second.center() + QPoint(1, 0));
    QCOMPARE(h.edit->cursorRow(), wrapped);
    QVERIFY(h.panes.texts[5].startsWith(u"    %1 行 , "_s.arg(wrapped + 1)));
}

void TestEditorPane::settingsGiveFontColoursAndMargins()
{
    Harness h({u"abc"_s}, 1,
              {{u"Edit_FontSize"_s, 23}, {u"Edit_Margin"_s, 17},
               {u"Edit_FontColor"_s, 0x00112233}, {u"Edit_BackColor"_s, 0x00C0D0E0}});
    h.doc->settings().Edit_FontName = u"Noto Sans CJK JP"_s;
    h.edit->applySettings();
    QVERIFY(h.show());

    QCOMPARE(h.edit->font().pixelSize(), 23);
    QCOMPARE(h.edit->font().family(), u"Noto Sans CJK JP"_s);
    // Colours are stored as 0x00BBGGRR.
    QCOMPARE(h.edit->palette().color(QPalette::Text), QColor(0x33, 0x22, 0x11));
    QCOMPARE(h.edit->palette().color(QPalette::Base), QColor(0xE0, 0xD0, 0xC0));
    // The margin on either side of the text.
    const QRect inside = h.edit->contentsRect();
    const QRect text = h.edit->viewport()->geometry();
    QCOMPARE(text.left() - inside.left(), 17);
    QVERIFY(inside.right() - text.right() >= 17);
    QCOMPARE(text.top(), inside.top());
}

void TestEditorPane::replaceAllUndoesAtOnce()
{
    const QString body = u"aXbxc\r\nX 置換"_s;
    Harness h({body}, 0);
    QVERIFY(h.show());

    // Ctrl+R opens the replace dialog with the selection to look for.
    h.select(1, 2);
    QTest::keyClick(h.edit, Qt::Key_R, Qt::ControlModifier);
    auto *dialog = h.edit->findChild<FindReplaceDialog *>(u"replaceDialog"_s);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->windowTitle(), u"置換"_s);
    QCOMPARE(dialog->findWhat(), u"X"_s);
    QCOMPARE(h.doc->replaceFlag(), 1);

    dialog->findChild<QLineEdit *>(u"replaceWith"_s)->setText(u"[&]"_s);
    dialog->findChild<QPushButton *>(u"replaceAll"_s)->click();
    // Not matching case: the small x goes too.
    QCOMPARE(h.edit->text(), u"a[&]b[&]c\r\n[&] 置換"_s);
    for (const CMD_ITEM &r : h.doc->undoRedo().undoList())
        QVERIFY(r.kind > CMD_ITEM::ReplaceCommand);

    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), body);
    QTest::keyClick(h.edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"a[&]b[&]c\r\n[&] 置換"_s);

    // Matching case, replacing by nothing.
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->replaceAll(u"X"_s, QString(), true), 2);
    QCOMPARE(h.edit->text(), u"abxc\r\n 置換"_s);
    QCOMPARE(h.edit->replaceAll(u"none"_s, u"-"_s, false), 0);
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), body);
}

void TestEditorPane::replaceStepsThroughMatches()
{
    Harness h({u"ab ab\r\nab"_s}, 0);
    QVERIFY(h.show());
    h.edit->setCaret(0);

    // Nothing selected: the first press only finds.
    QVERIFY(h.edit->replaceSelection(u"ab"_s, u"X"_s, true));
    QCOMPARE(h.edit->text(), u"ab ab\r\nab"_s);
    QCOMPARE(h.edit->textCursor().selectedText(), u"ab"_s);
    QVERIFY(h.edit->replaceSelection(u"ab"_s, u"X"_s, true));
    QCOMPARE(h.edit->text(), u"X ab\r\nab"_s);
    QVERIFY(h.edit->replaceSelection(u"ab"_s, u"X"_s, true));
    QCOMPARE(h.edit->text(), u"X X\r\nab"_s);
    // The found one is on the next line.
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().selectionStart()), 5);

    // Two replacements in a row undo together; typing ends the run.
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), u"ab ab\r\nab"_s);
    h.edit->setCaret(0);
    perform(h.edit, u"text:q"_s);
    QCOMPARE(h.doc->undoRedo().undoList().constLast().kind, qint32(CMD_ITEM::Inserted));
}

void TestEditorPane::findAndReplaceTakeLineBreaksAsCrLf()
{
    const QString body = u"春の\r\n朝 春の\r\n朝"_s;
    Harness h({body}, 0);
    QVERIFY(h.show());
    h.edit->setCaret(0);

    // A line break pasted into the field looks for the line break of the text.
    QTest::keyClick(h.edit, Qt::Key_R, Qt::ControlModifier);
    auto *dialog = h.edit->findChild<FindReplaceDialog *>(u"replaceDialog"_s);
    QVERIFY(dialog);
    auto *what = dialog->findChild<QLineEdit *>(u"findWhat"_s);
    QApplication::clipboard()->setText(u"の\n朝"_s);
    what->clear();
    QTest::keyClick(what, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(dialog->findWhat(), u"の\n朝"_s);
    dialog->findChild<QPushButton *>(u"findNext"_s)->click();
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().selectionStart()), 1);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().selectionEnd()), 5);
    QTest::keyClick(h.edit, Qt::Key_F3);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().selectionStart()), 7);
    // F3 wraps round to the first one.
    QTest::keyClick(h.edit, Qt::Key_F3);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().selectionStart()), 1);

    // A replacement holding the searched text and a line break: each match
    // once, the caret after the last one, one undo and one redo for all.
    QApplication::clipboard()->setText(u"の\n朝\n"_s);
    auto *with = dialog->findChild<QLineEdit *>(u"replaceWith"_s);
    with->setFocus();
    QTest::keyClick(with, Qt::Key_V, Qt::ControlModifier);
    dialog->findChild<QPushButton *>(u"replaceAll"_s)->click();
    const QString after = u"春の\r\n朝\r\n 春の\r\n朝\r\n"_s;
    QCOMPARE(h.edit->text(), after);
    QCOMPARE(widgetTextCrLf(*h.edit), after);
    QCOMPARE(h.edit->textPosition(h.edit->textCursor().position()), qint32(after.size()));

    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), body);
    QTest::keyClick(h.edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.edit->text(), after);
    QCOMPARE(widgetTextCrLf(*h.edit), after);

    // One replacement: the selection is the match with its line break.
    QTest::keyClick(h.edit, Qt::Key_Z, Qt::ControlModifier);
    h.edit->setCaret(0);
    QVERIFY(h.edit->replaceSelection(u"の\r朝"_s, u"-"_s, true));
    QVERIFY(h.edit->replaceSelection(u"の\r朝"_s, u"-"_s, true));
    QCOMPARE(h.edit->text(), u"春- 春の\r\n朝"_s);
}

void TestEditorPane::findDialog_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("down");
    QTest::addColumn<int>("found");

    // "aBc" CR LF "abC" CR LF "b"
    QTest::newRow("down, any case") << 0 << u"b"_s << false << true << 1;
    QTest::newRow("down, case") << 0 << u"b"_s << true << true << 6;
    QTest::newRow("down wraps") << 9 << u"abc"_s << false << true << 0;
    QTest::newRow("up") << 9 << u"B"_s << false << false << 6;
    QTest::newRow("up, case") << 9 << u"B"_s << true << false << 1;
    QTest::newRow("up wraps") << 0 << u"b"_s << true << false << 10;
    QTest::newRow("none") << 0 << u"z"_s << false << true << -1;
}

void TestEditorPane::findDialog()
{
    QFETCH(int, caret);
    QFETCH(QString, what);
    QFETCH(bool, matchCase);
    QFETCH(bool, down);
    QFETCH(int, found);

    Harness h({u"aBc\r\nabC\r\nb"_s}, 0);
    QVERIFY(h.show());
    h.edit->setCaret(caret);
    QTest::keyClick(h.edit, Qt::Key_F, Qt::ControlModifier);
    auto *dialog = h.edit->findChild<FindReplaceDialog *>(u"findDialog"_s);
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), u"検索"_s);

    dialog->findChild<QLineEdit *>(u"findWhat"_s)->setText(what);
    dialog->findChild<QCheckBox *>(u"matchCase"_s)->setChecked(matchCase);
    dialog->findChild<QRadioButton *>(down ? u"searchDown"_s : u"searchUp"_s)->setChecked(true);
    dialog->findChild<QPushButton *>(u"findNext"_s)->click();

    const QTextCursor c = h.edit->textCursor();
    if (found < 0) {
        QVERIFY(!c.hasSelection());
        return;
    }
    QCOMPARE(h.edit->textPosition(c.selectionStart()), found);
    QCOMPARE(h.edit->textPosition(c.selectionEnd()), found + what.size());

    // F3 goes on from there the same way, and finds the same one again when
    // it is the only one.
    QTest::keyClick(h.edit, Qt::Key_F3);
    const qint32 next = h.edit->textPosition(h.edit->textCursor().selectionStart());
    QVERIFY(h.edit->text().mid(next, what.size()).compare(what, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0);
    if (h.edit->text().count(what, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) > 1)
        QVERIFY(next != found);
    // Searching records nothing.
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
}

void TestEditorPane::contextMenuShowsOnce()
{
    Harness h({u"abc"_s}, 0);
    QVERIFY(h.show());
    h.select(0, 2);

    int shown = 0;
    QStringList texts;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            ++shown;
            texts.clear();
            for (QAction *action : menu->actions()) {
                if (!action->isSeparator())
                    texts.append(action->text() + (action->isEnabled() ? u""_s : u" (off)"_s));
            }
            menu->close();
        }
    });
    closer.start();
    QApplication::clipboard()->clear();
    // Through the window, as the platform delivers a click.
    const QPoint at = h.edit->viewport()->mapTo(h.window.get(), QPoint(20, 10));
    QTest::mouseClick(h.window->windowHandle(), Qt::RightButton, {}, at);
    QTest::qWait(100);
    closer.stop();

    QCOMPARE(shown, 1);
    QCOMPARE(texts, (QStringList{u"切り取り(&T)\tCtrl+X"_s, u"コピー(&C)\tCtrl+C"_s,
                                 u"貼り付け(&P)\tCtrl+V (off)"_s, u"すべて選択(&L)\tCtrl+A"_s}));
}

void TestEditorPane::activationAndCommandState()
{
    Harness h({u"abc"_s}, 0);
    QSignalSpy state(h.edit, &CQuilloryEdit::commandStateChanged);
    h.doc->setEditorActive(false);
    QVERIFY(!h.edit->isCommandEnabled(Cmd::FilePrint));
    QVERIFY(!h.edit->runCommand(Cmd::EditSelectAll));
    QVERIFY(!h.edit->textCursor().hasSelection());

    QVERIFY(h.show());
    QVERIFY(h.doc->editorActive());
    QVERIFY(state.count() >= 1);
    QVERIFY(h.edit->isCommandEnabled(Cmd::FilePrint));
    QVERIFY(!h.edit->isCommandEnabled(Cmd::EditUndo));
    QVERIFY(!h.edit->isCommandEnabled(Cmd::EditCopy));

    // Undo becomes possible with the first key, not again with the second.
    h.edit->setCaret(3);
    state.clear();
    perform(h.edit, u"text:d"_s);
    QCOMPARE(state.count(), 1);
    perform(h.edit, u"text:d"_s);
    QCOMPARE(state.count(), 1);
    perform(h.edit, u"key:Backspace"_s);
    QVERIFY(h.edit->isCommandEnabled(Cmd::EditUndo));
    QVERIFY(!h.edit->isCommandEnabled(Cmd::EditRedo));
    QVERIFY(h.edit->runCommand(Cmd::EditUndo));
    QVERIFY(h.edit->runCommand(Cmd::EditUndo));
    QVERIFY(h.edit->runCommand(Cmd::EditUndo));
    QCOMPARE(h.edit->text(), u"abc"_s);
    QVERIFY(!h.edit->isCommandEnabled(Cmd::EditUndo));
    QVERIFY(!h.edit->runCommand(Cmd::EditUndo));
    QVERIFY(h.edit->isCommandEnabled(Cmd::EditRedo));

    QVERIFY(h.edit->runCommand(Cmd::EditSelectAll));
    QVERIFY(h.edit->isCommandEnabled(Cmd::EditCut));
    QVERIFY(h.edit->runCommand(Cmd::EditCut));
    QCOMPARE(h.edit->text(), QString());
    QVERIFY(!h.edit->isCommandEnabled(Cmd::EditFind));
    QVERIFY(h.edit->runCommand(Cmd::EditPaste));
    QCOMPARE(h.edit->text(), u"abc"_s);
    QCOMPARE(h.doc->undoRedo().undoList().size(), 2);

    QVERIFY(CQuilloryEdit::handlesCommand(Cmd::FilePrint));
    QVERIFY(!CQuilloryEdit::handlesCommand(Cmd::TreeUndo));
}

QTEST_MAIN(TestEditorPane)
#include "tst_ui_editor.moc"
