// A writer's sessions in the assembled window: whatever was typed, renamed
// or rearranged must reach the store and the saved file.
#include "AppFixture.h"
#include "FileBytes.h"
#include "OutlineText.h"

#include "CommandIds.h"
#include "Messages.h"
#include "io/CStringCode.h"
#include "io/NativeFile.h"
#include "model/CQuilloryDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CQuilloryApp.h"
#include "tree/CQuilloryTree.h"
#include "editor/CQuilloryEdit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using Answer = Prompter::Answer;

namespace {

// Types as a writer does: a key for each line break (CR LF) and tab, the
// text between them as one input. A control character sent as text would
// be refused by the widget, and nothing typed at all.
void typeText(QWidget *widget, const QString &text)
{
    qsizetype from = 0;
    const auto flush = [&](qsizetype to) {
        if (to > from)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(from, to - from),
                                Qt::NoModifier);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            flush(i);
            QTest::keyClick(widget, Qt::Key_Return);
            from = ++i + 1;
        } else if (text.at(i) == QLatin1Char('\t')) {
            flush(i);
            QTest::keyClick(widget, Qt::Key_Tab);
            from = i + 1;
        }
    }
    flush(text.size());
}

const QList<std::pair<qint32, QString>> Story = {
    {1, u"第一章\r\n春の朝。"_s},
    {2, u"場面一\r\n「おはよう」"_s},
    {2, u"場面二\r\n夕方。"_s},
    {1, u"第二章\r\n夏の夜。"_s},
};

struct App : AppFixture
{
    explicit App(const SettingValues &settings = {{u"TitleText"_s, 0}, {u"FileSaveMsg"_s, 0}})
        : AppFixture(settings)
    {
    }

    QString writeStory(const QString &name) { return writeOutline(name, Story); }

    void select(qint32 number)
    {
        tree()->selectItem(number);
        QCoreApplication::processEvents();
    }
    // The bodies in outline order.
    QStringList bodies() const
    {
        QStringList out;
        for (const TREE_ITEM &item : doc().store().items())
            out.append(doc().store().getBody(item.number));
        return out;
    }
    // Types at the end of the current item's text.
    void typeAtEnd(const QString &text)
    {
        focusEditor();
        QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
        typeText(editor(), text);
    }
};

} // namespace

class TestUiScenarios : public QObject
{
    Q_OBJECT

private slots:
    void renameCommittedByClickingAnotherItem();
    void clearModeKeepsFirstLineOfForeignBreaks_data();
    void clearModeKeepsFirstLineOfForeignBreaks();
    void typedTextSurvivesTreeCommands_data();
    void typedTextSurvivesTreeCommands();
    void openWithUnsavedTyping_data();
    void openWithUnsavedTyping();
    void saveAsTextKindsAndReopen_data();
    void saveAsTextKindsAndReopen();
    void labelModeTwiceKeepsTyping();
    void undoStaysWithItsItem();
    void typeOverEverythingThenUndo();
    void fileNewWithUnsavedTyping_data();
    void fileNewWithUnsavedTyping();
    void closeAfterFailedSave();
    void emptyOutlineTakesNoTyping();
    void ctrlSAfterFileWentAway_data();
    void ctrlSAfterFileWentAway();
    void backupFollowsEverySave();
    void saveAsNameWithSeveralDots();
    void shiftJisCannotHoldTyping();
    void restartKeepsLabelModeAndRecentFiles();
    void saveWhileRenaming_data();
    void saveWhileRenaming();
};

void TestUiScenarios::renameCommittedByClickingAnotherItem()
{
    App h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.select(1);
    const QModelIndex row = h.tree()->currentIndex();
    h.tree()->edit(row);
    QCoreApplication::processEvents();
    auto *line = h.tree()->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText(u"出会い"_s);

    // A click on another row ends the edit.
    h.select(3);

    QCOMPARE(outlineOf(h.doc().store()), u"第一章1 出会い2 場面二2 第二章1"_s);
    QCOMPARE(rowsOf(*h.tree()->model()), u"第一章1 出会い2 場面二2 第二章1"_s);
    QCOMPARE(h.doc().store().getBody(1), u"出会い\r\n「おはよう」"_s);
    QCOMPARE(h.doc().store().getBody(3), Story.at(3).second);
    QCOMPARE(h.doc().currentNumber(), 3);
    QCOMPARE(h.editor()->text(), Story.at(3).second);
}

void TestUiScenarios::clearModeKeepsFirstLineOfForeignBreaks_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("firstBody");

    QTest::newRow("LF only") << QByteArray(".章\nはじめ\n..節\n続き\n") << u"章\r\nはじめ\r\n"_s;
    QTest::newRow("lone CR") << QByteArray(".章\rはじめ\r\n..節\r\n続き\r\n") << u"章\r\nはじめ\r\n"_s;
    // A native file keeps its bodies as they were written: a first line
    // ending in LF alone is no label line, and stays.
    QTest::newRow("native, LF only") << QByteArray() << u"\r\n章\r\nはじめ\r\n"_s;
}

void TestUiScenarios::clearModeKeepsFirstLineOfForeignBreaks()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, firstBody);
    App h({{u"TitleText"_s, 0}, {u"FileSaveMsg"_s, 0}, {u"Display_Lable"_s, 0}});
    QDir().mkpath(h.user + u"/Data"_s);
    QString path = h.data(u"下書き.txt"_s);
    if (file.isEmpty()) {
        path = h.data(u"下書き.qlo"_s);
        CTreeList store;
        store.appendItem(1, u"章\nはじめ\n"_s);
        store.appendItem(2, u"節\r\n続き\r\n"_s);
        QVERIFY(NativeFile::write(path, store, NativeHeader(), 0, nullptr));
    } else {
        QVERIFY(writeBytes(path, file));
    }
    QVERIFY(h.start());
    h.chooser.openAnswers = {FakeFileChooser::choose(path, file.isEmpty() ? 1 : 2, Encoding::Utf8)};
    h.frame()->runCommand(Cmd::FileOpen);
    QCOMPARE(h.doc().store().bodies().size(), 2);

    // Only looking: the second item, back to the first, and Save.
    h.focusTree();
    h.select(1);
    h.select(0);
    h.select(1);
    const QString saved = h.data(u"保存.qlo"_s);
    h.chooser.saveAnswers = {FakeFileChooser::choose(saved, 1, 0)};
    h.frame()->runCommand(Cmd::FileSaveAs);

    const QStringList bodies = nativeBodies(saved);
    QCOMPARE(bodies.size(), 2);
    // The head line is still there, once, and so is the text behind it.
    QCOMPARE(bodies.at(0), firstBody);
    QCOMPARE(bodies.at(1), u"節\r\n続き\r\n"_s);
}

void TestUiScenarios::typedTextSurvivesTreeCommands_data()
{
    QTest::addColumn<QList<int>>("commands");

    QTest::newRow("add above") << QList<int>{Cmd::TreeAddAbove};
    QTest::newRow("add below") << QList<int>{Cmd::TreeAddBelow};
    QTest::newRow("add child") << QList<int>{Cmd::TreeAddChild};
    QTest::newRow("move up") << QList<int>{Cmd::TreeMoveUp};
    QTest::newRow("move down") << QList<int>{Cmd::TreeMoveDown};
    QTest::newRow("raise") << QList<int>{Cmd::TreeRaiseLevel};
    QTest::newRow("lower") << QList<int>{Cmd::TreeLowerLevel};
    QTest::newRow("delete") << QList<int>{Cmd::TreeDelete};
    QTest::newRow("delete, undo") << QList<int>{Cmd::TreeDelete, Cmd::TreeUndo};
    QTest::newRow("move, undo, redo") << QList<int>{Cmd::TreeMoveUp, Cmd::TreeUndo, Cmd::TreeRedo};
    QTest::newRow("add, undo") << QList<int>{Cmd::TreeAddBelow, Cmd::TreeUndo};
}

void TestUiScenarios::typedTextSurvivesTreeCommands()
{
    QFETCH(QList<int>, commands);
    App h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.select(2);
    h.typeAtEnd(u"\r\n雨が降った。"_s);
    const QString typed = h.editor()->text();
    QCOMPARE(typed, Story.at(2).second + u"\r\n雨が降った。"_s);
    h.focusTree();
    for (int id : commands) {
        QVERIFY(h.frame()->isCommandEnabled(id));
        h.frame()->runCommand(id);
    }

    // A command with nothing to do (the last child cannot move down) leaves
    // the typing in the editor, still on its item; any other has written it
    // into the store.
    if (h.doc().store().getBody(2) != typed) {
        QCOMPARE(h.doc().currentNumber(), 2);
        QCOMPARE(h.editor()->text(), typed);
        QCOMPARE(outlineOf(h.doc().store()), u"第一章1 場面一2 場面二2 第二章1"_s);
    }
    QTest::keyClick(h.tree(), Qt::Key_S, Qt::ControlModifier);
    const bool kept = h.doc().store().contains(2);
    QCOMPARE(nativeBodies(h.data(u"物語.qlo"_s)).contains(typed), kept);
    QCOMPARE(kept, !(commands.size() == 1 && commands.first() == Cmd::TreeDelete));
}

// Open with unsaved typing asks to save it (Yes saves through Save As), and
// when the typing is still unsaved, whether to drop it.
void TestUiScenarios::openWithUnsavedTyping_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("saveChosen");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<bool>("typingOnDisk");

    QTest::newRow("yes, saved") << QList<Answer>{Answer::Yes} << true << true << true;
    QTest::newRow("yes, save as cancelled") << QList<Answer>{Answer::Yes} << false << false << false;
    QTest::newRow("no, ok") << QList<Answer>{Answer::No, Answer::Ok} << false << true << false;
    QTest::newRow("no, cancel") << QList<Answer>{Answer::No, Answer::Cancel} << false << false << false;
    QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << false << false << false;
}

void TestUiScenarios::openWithUnsavedTyping()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, saveChosen);
    QFETCH(bool, opened);
    QFETCH(bool, typingOnDisk);
    App h;
    const QString first = h.writeStory(u"物語.qlo"_s);
    const QString other = h.data(u"別の話.qlo"_s);
    {
        CTreeList store;
        store.appendItem(1, u"別\r\n別の本文"_s);
        QVERIFY(NativeFile::write(other, store, NativeHeader(), 0, nullptr));
    }
    QVERIFY(h.start(first));
    h.focusTree();
    h.select(2);
    h.typeAtEnd(u"\r\n雨が降った。"_s);
    const QString typed = h.editor()->text();

    h.prompter.answers = answers;
    h.chooser.openAnswers = {FakeFileChooser::choose(other)};
    if (saveChosen)
        h.chooser.saveAnswers = {FakeFileChooser::choose(first)};
    h.frame()->runCommand(Cmd::FileOpen);

    QCOMPARE(h.prompter.answers.size(), 0);
    QCOMPARE(nativeBodies(first).contains(typed), typingOnDisk);
    if (opened) {
        QCOMPARE(h.doc().path(), QDir::toNativeSeparators(other));
        QCOMPARE(h.bodies(), QStringList{u"別\r\n別の本文"_s});
        QCOMPARE(h.editor()->text(), u"別\r\n別の本文"_s);
        QVERIFY(!h.doc().isModified());
        return;
    }
    // Nothing was replaced: the typing is where it was, still unsaved, and
    // a plain Save still goes to the file without asking for a name.
    QCOMPARE(h.doc().path(), first);
    QCOMPARE(h.doc().currentNumber(), 2);
    QCOMPARE(h.editor()->text(), typed);
    QVERIFY(h.doc().isModified());
    const qsizetype dialogs = h.chooser.saveRequests.size();
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(h.chooser.saveRequests.size(), dialogs);
    QVERIFY(nativeBodies(first).contains(typed));
    QVERIFY(!h.doc().isModified());
}

// Typing saved as a hierarchical text or CSV file comes back when the file
// is opened again; CSV has one line per item, so only the line breaks after
// the label line flatten.
void TestUiScenarios::saveAsTextKindsAndReopen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("flattens");

    QTest::newRow("txt") << u"書き出し.txt"_s << 2 << false;
    QTest::newRow("csv") << u"書き出し.csv"_s << 3 << true;
}

void TestUiScenarios::saveAsTextKindsAndReopen()
{
    QFETCH(QString, name);
    QFETCH(int, filter);
    QFETCH(bool, flattens);
    App h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.select(2);
    h.typeAtEnd(u"\r\n\t雨が、降った,傘を\"さした\"。"_s + QString(3000, QChar(u'長')) + u"\t終"_s);
    const QString typed = h.editor()->text();
    QVERIFY(typed.contains(QLatin1Char('\t')));
    QStringList expected = h.bodies();
    expected[2] = typed;

    const QString path = h.data(name);
    h.chooser.saveAnswers = {FakeFileChooser::choose(path, filter, Encoding::Utf8)};
    h.frame()->runCommand(Cmd::FileSaveAs);
    QVERIFY(!h.doc().isModified());
    QCOMPARE(h.prompter.messages, QStringList());

    h.chooser.openAnswers = {FakeFileChooser::choose(path, filter, Encoding::Auto)};
    h.frame()->runCommand(Cmd::FileOpen);
    QCOMPARE(h.doc().path(), QDir::toNativeSeparators(path));
    if (!flattens) {
        // A text file is made of lines: a body gets its last line ended.
        for (QString &body : expected) {
            if (!body.endsWith(u"\r\n"_s))
                body += u"\r\n"_s;
        }
    } else {
        for (QString &body : expected) {
            const qsizetype cr = body.indexOf(QLatin1Char('\r'));
            body = body.left(cr + 2) + body.mid(cr + 2).remove(u"\r\n"_s);
        }
    }
    QCOMPARE(h.bodies(), expected);
    QCOMPARE(outlineOf(h.doc().store()), u"第一章1 場面一2 場面二2 第二章1"_s);
}

void TestUiScenarios::labelModeTwiceKeepsTyping()
{
    App h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.select(1);
    h.typeAtEnd(u"\r\n雨が降った。"_s);
    const QString typed = h.editor()->text();
    const int mode = h.doc().displayMode();

    QTest::keyClick(h.editor(), Qt::Key_L, Qt::AltModifier);
    QVERIFY(h.doc().displayMode() != mode);
    QTest::keyClick(h.editor(), Qt::Key_L, Qt::AltModifier);
    QCOMPARE(h.doc().displayMode(), mode);

    QCOMPARE(h.editor()->text(), typed);
    QCOMPARE(h.doc().store().getBody(1), typed);
    QVERIFY(h.doc().isModified());
    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(nativeBodies(h.data(u"物語.qlo"_s)).at(1), typed);
}

// The text history is the current item's: after a switch, Ctrl+Z and Ctrl+Y
// never put another item's text into the one shown.
void TestUiScenarios::undoStaysWithItsItem()
{
    App h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.select(1);
    h.typeAtEnd(u"\r\n一つ目。"_s);
    const QString typed = h.editor()->text();

    h.focusTree();
    h.select(2);
    h.focusEditor();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(h.editor(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(h.editor(), Qt::Key_Y, Qt::ControlModifier);
    }
    QCOMPARE(h.editor()->text(), Story.at(2).second);

    h.typeAtEnd(u"二つ目"_s);
    QTest::keyClick(h.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.editor()->text(), Story.at(2).second);
    QTest::keyClick(h.editor(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.editor()->text(), Story.at(2).second + u"二つ目"_s);

    h.focusTree();
    h.select(1);
    QCOMPARE(h.editor()->text(), typed);
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_Z, Qt::ControlModifier);
    // Either the item's own typing is undone, or nothing is.
    QVERIFY2(h.editor()->text() == typed || h.editor()->text() == Story.at(1).second,
             qPrintable(h.editor()->text()));
    h.focusTree();
    h.select(3);
    QCOMPARE(h.doc().store().getBody(2), Story.at(2).second + u"二つ目"_s);
    QVERIFY(h.doc().store().getBody(1) == typed || h.doc().store().getBody(1) == Story.at(1).second);
    QCOMPARE(h.doc().store().getBody(0), Story.at(0).second);
    QCOMPARE(outlineOf(h.doc().store()), u"第一章1 場面一2 場面二2 第二章1"_s);
}

void TestUiScenarios::typeOverEverythingThenUndo()
{
    App h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.select(1);
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_A, Qt::ControlModifier);
    typeText(h.editor(), u"全部"_s);
    QCOMPARE(h.editor()->text(), u"全部"_s);
    QTest::keyClick(h.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.editor()->text(), Story.at(1).second);

    h.focusTree();
    h.select(2);
    QCOMPARE(h.doc().store().getBody(1), Story.at(1).second);
    QCOMPARE(outlineOf(h.doc().store()), u"第一章1 場面一2 場面二2 第二章1"_s);
    QCOMPARE(rowsOf(*h.tree()->model()), u"第一章1 場面一2 場面二2 第二章1"_s);
}

// File New drops the outline only when the user agrees to drop the typing.
void TestUiScenarios::fileNewWithUnsavedTyping_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<bool>("replaced");

    QTest::newRow("ok") << QList<Answer>{Answer::Ok} << true;
    QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << false;
}

void TestUiScenarios::fileNewWithUnsavedTyping()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, replaced);
    App h;
    const QString first = h.writeStory(u"物語.qlo"_s);
    QVERIFY(h.start(first));
    h.focusTree();
    h.select(2);
    h.typeAtEnd(u"\r\n雨が降った。"_s);
    const QString typed = h.editor()->text();

    h.prompter.answers = answers;
    QTest::keyClick(h.editor(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(h.prompter.questions.size(), 1);
    if (replaced) {
        QCOMPARE(h.bodies(), QStringList{u"タイトル\r\n"_s});
        QCOMPARE(rowsOf(*h.tree()->model()), u"タイトル1"_s);
        QVERIFY(!h.doc().isModified());
        QVERIFY(!nativeBodies(first).contains(typed));
        return;
    }
    QCOMPARE(h.doc().path(), first);
    QCOMPARE(h.editor()->text(), typed);
    QCOMPARE(rowsOf(*h.tree()->model()), u"第一章1 場面一2 場面二2 第二章1"_s);
    QVERIFY(h.doc().isModified());
    const qsizetype dialogs = h.chooser.saveRequests.size();
    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(h.chooser.saveRequests.size(), dialogs);
    QVERIFY(nativeBodies(first).contains(typed));
}

// A save that failed leaves the typing unsaved: closing asks again, and a
// second failing save keeps the window open.
void TestUiScenarios::closeAfterFailedSave()
{
    App h;
    const QString first = h.writeStory(u"物語.qlo"_s);
    QVERIFY(h.start(first));
    h.focusTree();
    h.select(2);
    h.typeAtEnd(u"\r\n雨が降った。"_s);
    const QString typed = h.editor()->text();
    const QString nowhere = h.user + u"/ない/保存.qlo"_s;

    h.chooser.saveAnswers = {FakeFileChooser::choose(nowhere)};
    h.frame()->runCommand(Cmd::FileSaveAs);
    QVERIFY(!QFileInfo::exists(nowhere));
    QCOMPARE(h.prompter.messages.size(), 1);
    QVERIFY(h.doc().isModified());
    QCOMPARE(h.doc().path(), first);

    h.prompter.answers = {Answer::Yes};
    h.chooser.saveAnswers = {FakeFileChooser::choose(nowhere)};
    QVERIFY(!h.frame()->close());
    QVERIFY(h.frame()->isVisible());
    QCOMPARE(h.prompter.questions.size(), 1);
    QCOMPARE(h.editor()->text(), typed);
    QVERIFY(h.doc().isModified());

    // Saved where it can be, the close goes through.
    h.prompter.answers = {Answer::Yes};
    h.chooser.saveAnswers = {FakeFileChooser::choose(first)};
    QVERIFY(h.frame()->close());
    QVERIFY(nativeBodies(first).contains(typed));
}

// An outline without items (an empty text file) has nowhere to keep text:
// the editor takes none, and nothing is shown that is not in the outline.
void TestUiScenarios::emptyOutlineTakesNoTyping()
{
    App h;
    QDir().mkpath(h.user + u"/Data"_s);
    const QString path = h.data(u"空.txt"_s);
    QVERIFY(writeBytes(path, QByteArray()));
    QVERIFY(h.start());
    h.chooser.openAnswers = {FakeFileChooser::choose(path, 2, Encoding::Utf8)};
    h.frame()->runCommand(Cmd::FileOpen);
    QVERIFY(h.doc().store().items().empty());
    QCOMPARE(h.tree()->model()->rowCount(), 0);
    QCOMPARE(h.editor()->text(), QString());

    h.focusEditor();
    typeText(h.editor(), u"どこへ"_s);
    QCOMPARE(h.editor()->text(), QString());
    QVERIFY(!h.doc().isModified());
    QVERIFY(h.frame()->close());
}

// Another program removed the document's file, or put a folder in its
// place, while the writer kept typing: Ctrl+S either writes the file again
// or says it could not, and never claims a save that did not happen.
void TestUiScenarios::ctrlSAfterFileWentAway_data()
{
    QTest::addColumn<bool>("folder");

    QTest::newRow("deleted") << false;
    QTest::newRow("replaced by a folder") << true;
}

void TestUiScenarios::ctrlSAfterFileWentAway()
{
    QFETCH(bool, folder);
    App h({{u"TitleText"_s, 0}, {u"FileSaveMsg"_s, 1}});
    const QString path = h.writeStory(u"私の 物語.qlo"_s);
    QVERIFY(h.start(path));
    h.focusTree();
    h.select(2);
    h.typeAtEnd(u"\r\n雨が降った。"_s);
    const QString typed = h.editor()->text();

    QVERIFY(QFile::remove(path));
    if (folder)
        QVERIFY(QDir().mkdir(path));
    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);

    if (!folder) {
        QCOMPARE(nativeBodies(path).value(2), typed);
        QCOMPARE(nativeBodies(h.backup(u"私の 物語.bak"_s)).value(2), typed);
        QCOMPARE(h.prompter.messages,
                 QStringList{QString::fromUtf16(Msg::SaveCompleted).arg(u"私の 物語.qlo"_s)});
        QVERIFY(!h.doc().isModified());
        return;
    }
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(!QFileInfo::exists(h.backup(u"私の 物語.bak"_s)));
    QCOMPARE(h.prompter.messages.size(), 1);
    QVERIFY(h.prompter.messages.first() != QString::fromUtf16(Msg::SaveCompleted).arg(u"私の 物語.qlo"_s));
    QVERIFY(h.doc().isModified());
    QCOMPARE(h.editor()->text(), typed);

    // The exit question still stands between the typing and the end.
    h.prompter.answers = {Answer::Yes};
    QVERIFY(!h.frame()->close());
    QVERIFY(h.doc().isModified());
}

// One backup per document name, in the backup folder, holding the last save.
void TestUiScenarios::backupFollowsEverySave()
{
    App h;
    const QString first = h.writeStory(u"物語.qlo"_s);
    QVERIFY(h.start(first));
    h.focusTree();
    h.select(1);
    h.typeAtEnd(u"一回目"_s);
    const QString named = h.data(u"第 1 稿 の 物語.QLO"_s);
    h.chooser.saveAnswers = {FakeFileChooser::choose(named, 1, 0)};
    h.frame()->runCommand(Cmd::FileSaveAs);
    const QString backup = h.backup(u"第 1 稿 の 物語.bak"_s);
    QCOMPARE(readBytes(backup), readBytes(named));
    QCOMPARE(nativeBodies(backup).value(1), Story.at(1).second + u"一回目"_s);

    h.typeAtEnd(u"二回目"_s);
    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(nativeBodies(named).value(1), Story.at(1).second + u"一回目二回目"_s);
    QCOMPARE(readBytes(backup), readBytes(named));
    QCOMPARE(QDir(h.user + u"/Backup"_s).entryList(QDir::Files), QStringList{u"第 1 稿 の 物語.bak"_s});
    QCOMPARE(nativeBodies(first), [] {
        QStringList bodies;
        for (const auto &item : Story)
            bodies.append(item.second);
        return bodies;
    }());
    QCOMPARE(h.prompter.messages, QStringList());
}

// A name with several dots takes its extension from the first dot and is
// refused: nothing written, the document keeps its name and its changes.
void TestUiScenarios::saveAsNameWithSeveralDots()
{
    App h;
    const QString first = h.writeStory(u"物語.qlo"_s);
    const QByteArray before = readBytes(first);
    QVERIFY(h.start(first));
    h.focusTree();
    h.select(1);
    h.typeAtEnd(u"追記"_s);
    const QString dotted = h.data(u"物語.第二稿.qlo"_s);
    h.chooser.saveAnswers = {FakeFileChooser::choose(dotted, 1, 0)};
    h.frame()->runCommand(Cmd::FileSaveAs);

    QCOMPARE(h.prompter.messages, QStringList{QString::fromUtf16(Msg::ExtensionError)});
    QVERIFY(!QFileInfo::exists(dotted));
    QVERIFY(!QFileInfo::exists(h.backup(u"物語.第二稿.bak"_s)));
    QCOMPARE(readBytes(first), before);
    QCOMPARE(h.doc().path(), first);
    QVERIFY(h.doc().isModified());
    QCOMPARE(h.frame()->windowTitle(), u"物語.qlo - Quillory"_s);
}

// A text file read as Shift-JIS cannot take an emoji: the save says so,
// the file stays as it was, and closing still asks until a real save.
void TestUiScenarios::shiftJisCannotHoldTyping()
{
    App h({{u"TitleText"_s, 0}, {u"FileSaveMsg"_s, 1}});
    QDir().mkpath(h.user + u"/Data"_s);
    const QString path = h.data(u"下書き メモ.txt"_s);
    QVERIFY(CStringCode().writeText(Encoding::ShiftJis, path, u".下書き\r\n本文です。\r\n..細部\r\n続き\r\n"_s));
    const QByteArray before = readBytes(path);
    QVERIFY(h.start());
    h.chooser.openAnswers = {FakeFileChooser::choose(path, 1, Encoding::Auto)};
    h.frame()->runCommand(Cmd::FileOpen);
    QCOMPARE(h.doc().fileEncoding(), Encoding::ShiftJis);
    h.focusTree();
    h.select(0);
    h.typeAtEnd(u"😀"_s);
    const QString typed = h.editor()->text();
    QVERIFY(typed.endsWith(u"😀"_s));

    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(h.prompter.messages, QStringList{QString::fromUtf16(Msg::TextSaveError)});
    QCOMPARE(readBytes(path), before);
    QVERIFY(h.doc().isModified());
    QCOMPARE(h.editor()->text(), typed);

    // Yes to the exit question, then the same file and encoding again: the
    // save fails once more, and the window stays.
    h.prompter.answers = {Answer::Yes};
    h.chooser.saveAnswers = {FakeFileChooser::choose(path, 2, Encoding::ShiftJis)};
    QVERIFY(!h.frame()->close());
    QCOMPARE(readBytes(path), before);
    QVERIFY(h.doc().isModified());
    QCOMPARE(h.prompter.messages.size(), 2);

    // In UTF-8 it goes through, and the close with it.
    h.prompter.answers = {Answer::Yes};
    h.chooser.saveAnswers = {FakeFileChooser::choose(path, 2, Encoding::Utf8)};
    QVERIFY(h.frame()->close());
    QVERIFY(CStringCode().readTextResult(Encoding::Utf8, path).text.contains(u"😀"_s));
}

// What the writer set in one run is there in the next: the label mode,
// the recent files (without one that was renamed meanwhile, after a word
// about it).
void TestUiScenarios::restartKeepsLabelModeAndRecentFiles()
{
    App h;
    const QString story = QDir::toNativeSeparators(h.writeStory(u"物語.qlo"_s));
    const QString other = QDir::toNativeSeparators(h.writeStory(u"別の 話.qlo"_s));
    QVERIFY(h.start());
    h.chooser.openAnswers = {FakeFileChooser::choose(story), FakeFileChooser::choose(other)};
    h.frame()->runCommand(Cmd::FileOpen);
    h.frame()->runCommand(Cmd::FileOpen);
    QCOMPARE(h.frame()->recentFiles(), (QStringList{other, story}));
    const int mode = h.doc().displayMode();
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_L, Qt::AltModifier);
    QVERIFY(h.doc().displayMode() != mode);
    const int label = h.doc().settings().Display_Lable;

    // The column between the panes dragged wider by its handle.
    auto *splitter = qobject_cast<QSplitter *>(h.frame()->centralWidget());
    QVERIFY(splitter);
    const int column = h.frame()->treeColumnWidth();
    QSplitterHandle *handle = splitter->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(60, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(60, 0));
    const int dragged = h.frame()->treeColumnWidth();
    QVERIFY2(dragged > column, qPrintable(u"%1 -> %2"_s.arg(column).arg(dragged)));
    QVERIFY(h.frame()->close());
    QVERIFY(h.app->hasEnded());
    h.app.reset();

    QVERIFY(QFile::rename(other, h.data(u"改名.qlo"_s)));
    QVERIFY(h.start());
    QCOMPARE(h.doc().settings().Display_Lable, label);
    QCOMPARE(h.doc().displayMode(), label ? DisplayMode::Label : DisplayMode::Clear);
    QVERIFY(h.doc().displayMode() != mode);
    QCOMPARE(h.frame()->recentFiles(), (QStringList{other, story}));
    QCOMPARE(h.frame()->treeColumnWidth(), dragged);

    QAction *first = h.frame()->action(Cmd::RecentFile1);
    QVERIFY(first && first->isEnabled());
    first->trigger();
    QCOMPARE(h.prompter.messages, QStringList{QString::fromUtf16(Msg::FileNotFound).arg(other)});
    QCOMPARE(h.frame()->recentFiles(), QStringList{story});
    QVERIFY(!h.doc().isModified());
    QCOMPARE(h.frame()->windowTitle(), u"タイトル - Quillory"_s);
}

// A label still being typed in the tree when the writer saves or closes
// is part of what they typed: the save takes it, and the close asks first.
void TestUiScenarios::saveWhileRenaming_data()
{
    QTest::addColumn<bool>("close");

    QTest::newRow("Ctrl+S") << false;
    QTest::newRow("close") << true;
}

void TestUiScenarios::saveWhileRenaming()
{
    QFETCH(bool, close);
    App h;
    const QString path = h.writeStory(u"物語.qlo"_s);
    QVERIFY(h.start(path));
    h.focusTree();
    h.select(1);
    h.tree()->edit(h.tree()->currentIndex());
    QCoreApplication::processEvents();
    auto *line = h.tree()->findChild<QLineEdit *>();
    QVERIFY(line && line->isVisible());
    line->selectAll();
    QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, u"出会い"_s, Qt::NoModifier);
    QCOMPARE(line->text(), u"出会い"_s);

    if (!close) {
        QTest::keyClick(line, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(nativeBodies(path).value(1), u"出会い\r\n「おはよう」"_s);
        QVERIFY(!h.doc().isModified());
        return;
    }
    h.prompter.answers = {Answer::Yes};
    h.chooser.saveAnswers = {FakeFileChooser::choose(path)};
    h.frame()->close();
    QCOMPARE(h.prompter.questions.size(), 1);
    QCOMPARE(nativeBodies(path).value(1), u"出会い\r\n「おはよう」"_s);
}

QTEST_MAIN(TestUiScenarios)
#include "tst_ui_scenarios.moc"
