#include "AppFixture.h"
#include "FileBytes.h"
#include "OutlineText.h"
#include "UserTexts.h"

#include "CommandIds.h"
#include "CommandTable.h"
#include "Messages.h"
#include "editor/CQuilloryEdit.h"
#include "io/CStringCode.h"
#include "io/FileCommands.h"
#include "io/NativeFile.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"
#include "shell/CMainFrame.h"
#include "shell/CQuilloryApp.h"
#include "platform/qt/QtFileChooser.h"
#include "platform/qt/QtPrompter.h"
#include "shell/UserFolder.h"
#include "tree/CQuilloryTree.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using Answer = Prompter::Answer;

namespace {

QStringList itemsOf(const QComboBox &combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items.append(combo.itemText(i));
    return items;
}

// The patterns the file dialog lists the folder with.
QStringList activePatterns(const QFileDialog &dialog)
{
    const auto *model = dialog.findChild<QFileSystemModel *>();
    return model ? model->nameFilters() : QStringList{u"no model"_s};
}

// Text the way an input method or a Japanese keyboard delivers it: one key
// event carrying the characters (keyClicks cannot type them).
void typeText(QWidget *widget, const QString &text)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// The outline the window tests edit: two chapters, the first with two scenes.
const QList<std::pair<qint32, QString>> Story = {
    {1, u"第一章\r\n春の朝、窓を開けた。"_s},
    {2, u"場面一\r\n「おはよう」"_s},
    {2, u"場面二\r\n夕方。"_s},
    {1, u"第二章\r\n夏の夜。"_s},
};
const QString StoryOutline = u"第一章1 場面一2 場面二2 第二章1"_s;

// The window over the story; settings default to no first-run notice.
struct AppHarness : AppFixture
{
    explicit AppHarness(const SettingValues &settings = {{u"TitleText"_s, 0}})
        : AppFixture(settings)
    {
    }

    QString writeStory(const QString &name) { return writeOutline(name, Story); }

    void selectInTree(qint32 number)
    {
        tree()->selectItem(number);
        QCoreApplication::processEvents();
    }
    QString currentTreeLabel() const { return tree()->currentIndex().data().toString(); }
};

} // namespace

class TestUiApp : public QObject
{
    Q_OBJECT

private slots:
    // Start-up and the user folder.
    void startsWithNewDocument();
    void startsWithCommandLineDocument();
    void unreadableCommandLineDocumentLeavesNewDocument();
    void userFolderInstallsOnlyWhatIsMissing();
    void shortcutListCoversEveryKey();

    // Editing through the window.
    void labelModeTypingRenamesTreeItem();
    void treeCommandsAndTreeUndo();
    void treeCommandsIdleWhileEditorActive();
    void treeLetterKeysTypeNothingInEditor();
    void undoAfterTypingOverSelection();
    void switchingItemsWritesTextBack();
    void statusPanesAfterTypingJapanese();

    // File commands through the window.
    void ctrlSOnNewDocumentWritesFileAndBackup();
    void saveAsTextKindAsksForEncoding();
    void openAndRecentFiles();

    // Exit.
    void exitQuestion_data();
    void exitQuestion();

    void aboutBox();

    // The Qt side of the platform layer.
    void messageBoxes_data();
    void messageBoxes();
    void openDialogSetUp();
    void saveAsDialogSetUp();
};

void TestUiApp::startsWithNewDocument()
{
    AppHarness h(QList<std::pair<QString, qint32>>{});
    QVERIFY(h.start());

    for (const QString &sub : UserFolder::subfolderNames())
        QVERIFY2(QFileInfo(h.user + QLatin1Char('/') + sub).isDir(), qPrintable(sub));
    QVERIFY(QFileInfo::exists(h.data(u"ようこそ.qlo"_s)));

    QCOMPARE(outlineOf(h.doc().store()), u"タイトル1"_s);
    QCOMPARE(rowsOf(*h.tree()->model()), u"タイトル1"_s);
    QCOMPARE(h.currentTreeLabel(), u"タイトル"_s);
    // TitleText is on by default: the first-run notice follows the label.
    QCOMPARE(h.editor()->text(), u"タイトル"_s + QString::fromUtf16(Msg::FirstRunNotice));
    QCOMPARE(h.frame()->windowTitle(), u"タイトル - Quillory"_s);
    QCOMPARE(h.doc().path(), QDir::toNativeSeparators(h.data(u"タイトル.qlo"_s)));
    QVERIFY(!h.doc().isModified());
    // The tree is the active pane, so its commands are offered.
    QVERIFY(h.tree()->hasFocus());
    QVERIFY(!h.doc().editorActive());
    QVERIFY(h.frame()->isCommandEnabled(Cmd::TreeAddBelow));
    QVERIFY(h.prompter.messages.isEmpty());
}

void TestUiApp::startsWithCommandLineDocument()
{
    AppHarness h;
    const QString path = h.writeStory(u"物語.qlo"_s);
    QVERIFY(!path.isEmpty());
    QVERIFY(h.start(path));

    QCOMPARE(outlineOf(h.doc().store()), StoryOutline);
    QCOMPARE(rowsOf(*h.tree()->model()), StoryOutline);
    QCOMPARE(h.currentTreeLabel(), u"第一章"_s);
    QCOMPARE(h.editor()->text(), Story.first().second);
    QCOMPARE(h.frame()->windowTitle(), u"物語.qlo - Quillory"_s);
    QCOMPARE(h.frame()->recentFiles(), QStringList{QDir::toNativeSeparators(path)});
    QVERIFY(!h.doc().isModified());
}

void TestUiApp::unreadableCommandLineDocumentLeavesNewDocument()
{
    AppHarness h;
    QDir().mkpath(h.user + u"/Data"_s);
    const QString path = h.data(u"壊れた.qlo"_s);
    QVERIFY(writeBytes(path, QByteArray("\x05\x00\x00\x00zz", 6)));
    QVERIFY(h.start(path));

    QCOMPARE(h.prompter.messages.size(), 1);
    QCOMPARE(outlineOf(h.doc().store()), u"タイトル1"_s);
    QCOMPARE(rowsOf(*h.tree()->model()), u"タイトル1"_s);
    QCOMPARE(h.frame()->windowTitle(), u"タイトル - Quillory"_s);
    QVERIFY(h.frame()->isVisible());
}

void TestUiApp::userFolderInstallsOnlyWhatIsMissing()
{
    QTemporaryDir temp(QDir::tempPath() + u"/利用者_XXXXXX"_s);
    const QString user = temp.path() + u"/新しい フォルダ"_s;

    QCOMPARE(UserFolder::ensure(user), QStringList());
    for (const QString &sub : UserFolder::subfolderNames())
        QVERIFY(QFileInfo(user + QLatin1Char('/') + sub).isDir());
    const QString welcome = user + u"/Data/ようこそ.qlo"_s;
    const QString about = user + u"/Data/ユーザーフォルダについて.qlo"_s;
    const QString keylist = user + u"/Text/keylist.txt"_s;
    const QStringList welcomeBodies = nativeBodies(welcome);
    QVERIFY(welcomeBodies.size() > 3);
    QVERIFY(welcomeBodies.first().startsWith(u"ようこそ Quillory へ\r\n"_s));
    QVERIFY(nativeBodies(about).value(0).startsWith(u"ユーザーフォルダについて\r\n"_s));
    // The list reads back, detected, as the text it was made from.
    const TextRead keys = CStringCode().readTextResult(Encoding::Auto, keylist);
    QVERIFY(keys.ok);
    QCOMPARE(keys.text, UserFolder::shortcutListText());
    // The notice of every new document names the two documents.
    const QString notice = QString::fromUtf16(Msg::FirstRunNotice);
    QVERIFY(notice.contains(QFileInfo(welcome).fileName()));
    QVERIFY(notice.contains(QFileInfo(about).fileName()));

    // The user's own files stay; what went missing comes back.
    const QByteArray mine = "my own welcome";
    QVERIFY(writeBytes(welcome, mine));
    QVERIFY(QFile::remove(about));
    QVERIFY(QDir(user + u"/Text"_s).removeRecursively());
    QVERIFY(QDir(user + u"/Backup"_s).removeRecursively());

    QCOMPARE(UserFolder::ensure(user), QStringList());
    QCOMPARE(readBytes(welcome), mine);
    QVERIFY(nativeBodies(about).value(0).startsWith(u"ユーザーフォルダについて\r\n"_s));
    QVERIFY(QFileInfo::exists(keylist));
    QVERIFY(QFileInfo(user + u"/Backup"_s).isDir());

    // A folder that cannot be made is reported, not hidden.
    const QString blocked = temp.path() + u"/ファイル"_s;
    QVERIFY(writeBytes(blocked, "x"));
    const QStringList failed = UserFolder::ensure(blocked);
    QCOMPARE(failed.size(), 4);
}

void TestUiApp::shortcutListCoversEveryKey()
{
    const QStringList lines = UserFolder::shortcutListText().split(u"\r\n"_s);
    int bound = 0;
    for (const CommandTable::Command &command : CommandTable::Commands) {
        if (!QStringView(command.key).isEmpty())
            ++bound;
    }
    const qsizetype listed = std::count_if(lines.cbegin(), lines.cend(),
                                           [](const QString &line) { return line.contains(u" ： "_s); });
    QCOMPARE(listed, qsizetype(bound));
    for (const QString &line : {u"Ctrl+S ： 上書き保存"_s, u"Alt+↓ ： 下に移動"_s, u"Alt+← ： 階層を上げる"_s,
                                u"Alt+Delete ： 削除"_s, u"Ctrl+Z ： 元に戻す"_s, u"Alt+Z ： 元に戻す"_s,
                                u"Alt+Shift+E ： 外部エディタ起動"_s, u"F6 ： 次のペイン"_s}) {
        QVERIFY2(lines.contains(line), qPrintable(line));
    }
    QVERIFY(lines.contains(u"【ツリー】"_s));
    QVERIFY(lines.indexOf(u"Alt+Z ： 元に戻す"_s) > lines.indexOf(u"【ツリー】"_s));
}

void TestUiApp::labelModeTypingRenamesTreeItem()
{
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_Home, Qt::ControlModifier);

    typeText(h.editor(), u"新"_s);

    QCOMPARE(h.currentTreeLabel(), u"新第一章"_s);
    QCOMPARE(h.doc().store().items().front().label, u"新第一章"_s);
    QVERIFY(h.doc().isModified());

    // A change below the label line leaves the label alone.
    QTest::keyClick(h.editor(), Qt::Key_End, Qt::ControlModifier);
    typeText(h.editor(), u"第二"_s);
    QCOMPARE(h.currentTreeLabel(), u"新第一章"_s);
}

void TestUiApp::treeCommandsAndTreeUndo()
{
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusTree();
    h.selectInTree(1); // 場面一
    QWidget *tree = h.tree();
    const auto both = [&h] {
        return outlineOf(h.doc().store()) + u" | "_s + rowsOf(*h.tree()->model());
    };
    const auto same = [](const QString &outline) { return outline + u" | "_s + outline; };

    QTest::keyClick(tree, Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(both(), same(u"第一章1 場面二2 場面一2 第二章1"_s));
    QCOMPARE(h.currentTreeLabel(), u"場面一"_s);
    QVERIFY(h.doc().isModified());

    QTest::keyClick(tree, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(both(), same(u"第一章1 場面二2 場面一1 第二章1"_s));

    QTest::keyClick(tree, Qt::Key_Delete, Qt::AltModifier);
    QCOMPARE(both(), same(u"第一章1 場面二2 第二章1"_s));

    QTest::keyClick(tree, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(both(), same(u"第一章1 場面二2 場面一1 第二章1"_s));
    QTest::keyClick(tree, Qt::Key_Z, Qt::AltModifier);
    QTest::keyClick(tree, Qt::Key_Z, Qt::AltModifier);
    QCOMPARE(both(), same(StoryOutline));
    QTest::keyClick(tree, Qt::Key_Y, Qt::AltModifier);
    QCOMPARE(both(), same(u"第一章1 場面二2 場面一2 第二章1"_s));
    // The bodies travelled with their items.
    QCOMPARE(h.doc().store().getBody(1), Story.at(1).second);
}

void TestUiApp::treeCommandsIdleWhileEditorActive()
{
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.selectInTree(1);
    h.focusEditor();
    QVERIFY(h.doc().editorActive());
    QVERIFY(!h.frame()->isCommandEnabled(Cmd::TreeMoveDown));
    const QString text = h.editor()->text();

    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_Delete})
        QTest::keyClick(h.editor(), key, Qt::AltModifier);
    h.frame()->runCommand(Cmd::TreeAddChild);

    QCOMPARE(outlineOf(h.doc().store()), StoryOutline);
    QCOMPARE(rowsOf(*h.tree()->model()), StoryOutline);
    QVERIFY(h.doc().store().undoSteps().isEmpty());
    QCOMPARE(h.editor()->text(), text);

    // Back in the tree, the same key works.
    h.focusTree();
    QTest::keyClick(h.tree(), Qt::Key_Down, Qt::AltModifier);
    QCOMPARE(outlineOf(h.doc().store()), u"第一章1 場面二2 場面一2 第二章1"_s);
}

void TestUiApp::treeLetterKeysTypeNothingInEditor()
{
    // Alt+U, Alt+Z and the other tree keys with letters are the tree's, even
    // while they are disabled: pressed in the editor they must not end up
    // as letters in the text (or, on the label line, in the item's label).
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.selectInTree(1);
    h.focusEditor();
    const QString text = h.editor()->text();

    for (Qt::Key key : {Qt::Key_U, Qt::Key_D, Qt::Key_C, Qt::Key_O, Qt::Key_X, Qt::Key_Z, Qt::Key_Y})
        QTest::keyClick(h.editor(), key, Qt::AltModifier);

    QCOMPARE(h.editor()->text(), text);
    QCOMPARE(outlineOf(h.doc().store()), StoryOutline);
    QVERIFY(!h.doc().isModified());
}

void TestUiApp::undoAfterTypingOverSelection()
{
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusEditor();
    const QString before = h.editor()->text();
    QTest::keyClick(h.editor(), Qt::Key_End, Qt::ControlModifier);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(h.editor(), Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(h.editor()->textCursor().selectedText(), u"開けた。"_s);

    typeText(h.editor(), u"閉じた。"_s);
    QCOMPARE(h.editor()->text(), u"第一章\r\n春の朝、窓を閉じた。"_s);

    QTest::keyClick(h.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h.editor()->text(), before);
    QTest::keyClick(h.editor(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(h.editor()->text(), u"第一章\r\n春の朝、窓を閉じた。"_s);
}

void TestUiApp::switchingItemsWritesTextBack()
{
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(h.editor(), Qt::Key_Return);
    typeText(h.editor(), u"雨。"_s);
    const QString typed = h.editor()->text();
    QCOMPARE(typed, Story.first().second + u"\r\n雨。"_s);

    h.focusTree();
    QTest::keyClick(h.tree(), Qt::Key_Down);
    QCOMPARE(h.currentTreeLabel(), u"場面一"_s);
    QCOMPARE(h.editor()->text(), Story.at(1).second);
    QCOMPARE(h.doc().store().getBody(0), typed);

    QTest::keyClick(h.tree(), Qt::Key_Up);
    QCOMPARE(h.editor()->text(), typed);
}

void TestUiApp::statusPanesAfterTypingJapanese()
{
    AppHarness h; // TitleText off: the body is "タイトル" CR LF
    QVERIFY(h.start());
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_End, Qt::ControlModifier);

    typeText(h.editor(), u"春はあけぼの。やうやう白くなりゆく山ぎは、"_s);
    h.editor()->viewport()->repaint();

    QCOMPARE(h.frame()->paneText(1), u"ラベルモード"_s);
    QCOMPARE(h.frame()->paneText(2), u" 文字数 : 21 字"_s);
    QCOMPARE(h.frame()->paneText(3), u" 原稿用紙換算 : 1 枚"_s);
    QCOMPARE(h.frame()->paneText(4), u" 書式（ 30 字 : 40 行 ）: 1 頁"_s);
    QCOMPARE(h.frame()->paneText(5), u"    2 行 , 22 列"_s);
}

void TestUiApp::ctrlSOnNewDocumentWritesFileAndBackup()
{
    AppHarness h;
    QVERIFY(h.start());
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_End, Qt::ControlModifier);
    typeText(h.editor(), u"書き出し"_s);
    const QString text = h.editor()->text();

    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);

    QVERIFY(h.chooser.saveRequests.isEmpty());
    QCOMPARE(nativeBodies(h.data(u"タイトル.qlo"_s)), QStringList{text});
    QCOMPARE(readBytes(h.backup(u"タイトル.bak"_s)), readBytes(h.data(u"タイトル.qlo"_s)));
    QCOMPARE(h.prompter.messages, QStringList{u"『 タイトル 』の上書き保存、完了しました。 "_s});
    QVERIFY(!h.doc().isModified());

    // Another new document may not replace it without a name being asked.
    h.frame()->runCommand(Cmd::FileNew);
    h.focusEditor();
    typeText(h.editor(), u"別の"_s);
    QTest::keyClick(h.editor(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(h.chooser.saveRequests.size(), 1);
    QCOMPARE(nativeBodies(h.data(u"タイトル.qlo"_s)), QStringList{text});
}

void TestUiApp::saveAsTextKindAsksForEncoding()
{
    AppHarness h;
    QVERIFY(h.start(h.writeStory(u"物語.qlo"_s)));
    h.focusEditor();
    typeText(h.editor(), u"序"_s);
    const QString path = h.data(u"メモ.txt"_s);
    h.chooser.saveAnswers = {FakeFileChooser::choose(path, 2, 0), FakeFileChooser::choose(path, 2, 3)};

    h.frame()->action(Cmd::FileSaveAs)->trigger();

    QCOMPARE(h.chooser.saveRequests.size(), 1);
    QCOMPARE(h.chooser.saveRequests.first().fileName, u"物語.qlo"_s);
    QCOMPARE(h.chooser.saveRequests.first().encodingIndex, 0);
    QCOMPARE(h.prompter.messages, QStringList{NoEncodingMessage});
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(h.frame()->windowTitle(), u"物語.qlo - Quillory"_s);

    h.frame()->action(Cmd::FileSaveAs)->trigger();

    QVERIFY(readBytes(path).startsWith(QByteArray("\xFF\xFE.\x00", 4)));
    const TextRead back = CStringCode().readTextResult(Encoding::Utf16Le, path);
    QVERIFY(back.text.startsWith(u".序第一章\r\n春の朝、窓を開けた。\r\n..場面一"_s));
    QCOMPARE(h.frame()->windowTitle(), u"メモ.txt - Quillory"_s);
    QCOMPARE(h.doc().fileEncoding(), 3);
    QVERIFY(!h.doc().isModified());
    QVERIFY(!QFileInfo::exists(h.backup(u"メモ.bak"_s)));
}

void TestUiApp::openAndRecentFiles()
{
    AppHarness h;
    QVERIFY(h.start());
    QDir().mkpath(h.user + u"/Data"_s);
    const QString text = QDir::toNativeSeparators(h.data(u"下書き.txt"_s));
    QVERIFY(CStringCode().writeText(Encoding::ShiftJis, text, u".下書き\r\n本文\r\n..細部\r\n"_s));
    const QString story = QDir::toNativeSeparators(h.writeStory(u"物語.qlo"_s));
    h.chooser.openAnswers = {FakeFileChooser::choose(text, 1, Encoding::ShiftJis),
                             FakeFileChooser::choose(story, 1, Encoding::ShiftJis)};

    QTest::keyClick(h.frame(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(h.chooser.openRequests.size(), 1);
    QCOMPARE(h.chooser.openRequests.first().folder, h.doc().dataFolder());
    QCOMPARE(outlineOf(h.doc().store()), u"下書き1 細部2"_s);
    QCOMPARE(rowsOf(*h.tree()->model()), u"下書き1 細部2"_s);
    QCOMPARE(h.doc().fileEncoding(), Encoding::ShiftJis);
    QCOMPARE(h.frame()->windowTitle(), u"下書き.txt - Quillory"_s);

    QTest::keyClick(h.frame(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(outlineOf(h.doc().store()), StoryOutline);
    QCOMPARE(h.frame()->recentFiles(), (QStringList{story, text}));
    QCOMPARE(h.backend.raw(SettingsSection::RecentFileList, u"File1").toString(), story);

    // The second entry of the menu opens the text file again, the way the
    // last Open dialog read it.
    QAction *second = h.frame()->action(Cmd::RecentFile1 + 1);
    QVERIFY(second && second->isEnabled());
    second->trigger();
    QCOMPARE(h.doc().path(), text);
    QCOMPARE(h.doc().fileEncoding(), Encoding::ShiftJis);
    QCOMPARE(outlineOf(h.doc().store()), u"下書き1 細部2"_s);
    QCOMPARE(h.frame()->recentFiles(), (QStringList{text, story}));
    QCOMPARE(h.chooser.openRequests.size(), 2);
}

void TestUiApp::exitQuestion_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("saveAsAnswered");
    QTest::addColumn<bool>("byCommand");
    QTest::addColumn<bool>("closes");

    QTest::newRow("yes, saved") << Answer::Yes << true << false << true;
    QTest::newRow("yes, save cancelled") << Answer::Yes << false << false << false;
    QTest::newRow("no") << Answer::No << false << false << true;
    QTest::newRow("cancel") << Answer::Cancel << false << false << false;
    QTest::newRow("exit command, yes, saved") << Answer::Yes << true << true << true;
    QTest::newRow("exit command, cancel") << Answer::Cancel << false << true << false;
}

void TestUiApp::exitQuestion()
{
    QFETCH(Answer, answer);
    QFETCH(bool, saveAsAnswered);
    QFETCH(bool, byCommand);
    QFETCH(bool, closes);
    AppHarness h;
    QVERIFY(h.start());
    h.focusEditor();
    QTest::keyClick(h.editor(), Qt::Key_End, Qt::ControlModifier);
    typeText(h.editor(), u"大事な一文"_s);
    const QString text = h.editor()->text();
    const QString saved = h.data(u"大事.qlo"_s);
    if (saveAsAnswered)
        h.chooser.saveAnswers = {FakeFileChooser::choose(saved, 1, 0)};
    const QString leftover = h.user + u"/Work/QLU0000.his"_s;
    QVERIFY(writeBytes(leftover, "history"));
    h.prompter.answers = {answer};

    if (byCommand)
        h.frame()->runCommand(Cmd::AppExit);
    else
        h.frame()->close();

    QCOMPARE(h.prompter.questions, QStringList{SaveQuestion});
    QCOMPARE(h.chooser.saveRequests.size(), answer == Answer::Yes ? 1 : 0);
    QCOMPARE(QFileInfo::exists(saved), saveAsAnswered);
    if (saveAsAnswered)
        QCOMPARE(nativeBodies(saved), QStringList{text});
    QCOMPARE(h.frame()->isVisible(), !closes);
    QCOMPARE(h.app->hasEnded(), closes);
    if (closes) {
        // The end of the run: work folder emptied, settings and layout written.
        QVERIFY(!QFileInfo::exists(leftover));
        QVERIFY(h.backend.contains(SettingsSection::Settings, u"Tree_FontSize"));
        QVERIFY(h.backend.contains(SettingsSection::Settings, u"Pain_Width"));
    } else {
        // Nothing lost, nothing written.
        QCOMPARE(h.editor()->text(), text);
        QVERIFY(h.doc().isModified());
        QVERIFY(QFileInfo::exists(leftover));
        QVERIFY(!h.backend.contains(SettingsSection::Settings, u"Tree_FontSize"));
        // A second try can still close.
        h.prompter.answers = {Answer::No};
        h.frame()->close();
        QVERIFY(!h.frame()->isVisible());
        QVERIFY(h.app->hasEnded());
    }
}

void TestUiApp::aboutBox()
{
    AppHarness h;
    QVERIFY(h.start());
    QString title;
    QStringList labels;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        title = box->windowTitle();
        for (const QLabel *label : box->findChildren<QLabel *>())
            labels.append(label->text());
        QTest::keyClick(box, Qt::Key_Return);
    });

    h.frame()->runCommand(Cmd::About);

    QCOMPARE(title, u"バージョン情報 Quillory"_s);
    QVERIFY2(labels.contains(u"Quillory, Version 1.20.02"_s), qPrintable(labels.join(u'|')));
    QVERIFY(h.frame()->isVisible());
}

void TestUiApp::messageBoxes_data()
{
    QTest::addColumn<int>("kind"); // 0 message, 1 OK/Cancel, 2 Yes/No/Cancel
    QTest::addColumn<QString>("click");
    QTest::addColumn<Answer>("expected");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon");

    const int warning = int(QMessageBox::Warning);
    const int question = int(QMessageBox::Question);
    const QStringList okCancel{u"OK"_s, u"キャンセル"_s};
    const QStringList yesNoCancel{u"はい(&Y)"_s, u"いいえ(&N)"_s, u"キャンセル"_s};
    QTest::newRow("message") << 0 << u"OK"_s << Answer::Ok << QStringList{u"OK"_s} << warning;
    QTest::newRow("ok") << 1 << u"OK"_s << Answer::Ok << okCancel << question;
    QTest::newRow("ok/cancel: cancel") << 1 << u"キャンセル"_s << Answer::Cancel << okCancel << question;
    QTest::newRow("yes") << 2 << u"はい(&Y)"_s << Answer::Yes << yesNoCancel << question;
    QTest::newRow("no") << 2 << u"いいえ(&N)"_s << Answer::No << yesNoCancel << question;
    QTest::newRow("yes/no/cancel: cancel") << 2 << u"キャンセル"_s << Answer::Cancel << yesNoCancel << question;
    QTest::newRow("yes/no/cancel: escape") << 2 << QString() << Answer::Cancel << yesNoCancel << question;
}

void TestUiApp::messageBoxes()
{
    QFETCH(int, kind);
    QFETCH(QString, click);
    QFETCH(Answer, expected);
    QFETCH(QStringList, buttons);
    QFETCH(int, icon);

    QString title;
    QString text;
    QStringList shown;
    int shownIcon = -1;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = true;
        title = box->windowTitle();
        text = box->text();
        shownIcon = int(box->icon());
        for (QAbstractButton *button : box->buttons())
            shown.append(button->text());
        if (click.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == click)
                button->click();
        }
    });

    QtPrompter prompter;
    const QString message = u"文書ファイルが更新されています"_s;
    Answer answer = Answer::Ok;
    if (kind == 0)
        prompter.showMessage(message);
    else if (kind == 1)
        answer = prompter.askOkCancel(message);
    else
        answer = prompter.askYesNoCancel(message);

    QVERIFY(seen);
    QCOMPARE(title, u"Quillory"_s);
    QCOMPARE(text, message);
    QCOMPARE(shownIcon, icon);
    shown.sort();
    buttons.sort();
    QCOMPARE(shown, buttons);
    QCOMPARE(answer, expected);
}

void TestUiApp::openDialogSetUp()
{
    QTemporaryDir temp(QDir::tempPath() + u"/利用者_XXXXXX"_s);
    OpenDocumentRequest request;
    request.folder = temp.path();
    request.defaultExtension = u"qlo"_s;
    const QtFileChooser::Dialog d = QtFileChooser::buildOpenDialog(request, nullptr);

    QVERIFY(d.dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(d.dialog->acceptMode(), QFileDialog::AcceptOpen);
    QVERIFY(d.kinds);
    QCOMPARE(itemsOf(*d.kinds), (QStringList{u"Quiloryドキュメンント　(*.qlo)"_s, u"階層付テキストファイル　(*.txt)"_s,
                                             u"階層付CSVファイル　(*.csv)"_s}));
    QCOMPARE(d.kinds->currentIndex(), 0);
    QCOMPARE(activePatterns(*d.dialog), QStringList{u"*.qlo"_s});
    QCOMPARE(QFileInfo(d.dialog->directory().absolutePath()), QFileInfo(temp.path()));
    QVERIFY(d.encoding);
    QCOMPARE(d.encoding->window(), static_cast<QWidget *>(d.dialog.get()));
    QCOMPARE(itemsOf(*d.encoding), (QStringList{u"エンコード：自動選択"_s, u"エンコード：Shift-jis"_s, u"エンコード：UTF-8"_s,
                                 u"エンコード：UTF-16(LE)"_s}));
    QCOMPARE(d.encoding->currentIndex(), 0);

    // What the dialog answers: the chosen file, kind and encoding.
    const QString file = temp.path() + u"/物語.txt"_s;
    QVERIFY(writeBytes(file, "."));
    d.kinds->setCurrentIndex(1);
    d.dialog->selectFile(file);
    d.encoding->setCurrentIndex(2);
    const FileChoice choice = QtFileChooser::choiceOf(d, true);
    QVERIFY(choice.accepted);
    QCOMPARE(QFileInfo(choice.path), QFileInfo(file));
    QCOMPARE(choice.filterIndex, 2);
    QCOMPARE(choice.encodingIndex, 2);
    QVERIFY(!QtFileChooser::choiceOf(d, false).accepted);
}

void TestUiApp::saveAsDialogSetUp()
{
    QTemporaryDir temp(QDir::tempPath() + u"/利用者_XXXXXX"_s);
    SaveDocumentRequest request;
    request.folder = temp.path();
    request.fileName = u"メモ.txt"_s;
    request.defaultExtension = u"txt"_s;
    request.filterIndex = 2;
    request.encodingIndex = 3;
    const QtFileChooser::Dialog d = QtFileChooser::buildSaveAsDialog(request, nullptr);

    QVERIFY(d.dialog->testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(!d.dialog->testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(d.dialog->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(d.kinds);
    QCOMPARE(itemsOf(*d.kinds), (QStringList{u"Quilloryファイル"_s, u"階層付テキストファイル"_s, u"階層付CSVファイル"_s}));
    QCOMPARE(d.kinds->currentIndex(), 1);
    // The chosen kind filters the folder.
    QCOMPARE(activePatterns(*d.dialog), QStringList{u"*.txt"_s});
    QCOMPARE(d.dialog->defaultSuffix(), u"txt"_s);
    QCOMPARE(itemsOf(*d.encoding), (QStringList{u"qloファイル"_s, u"エンコード：Shift-JIS"_s, u"エンコード：UTF-8"_s,
                                                u"エンコード：UTF-16(LE)"_s}));
    QCOMPARE(d.encoding->currentIndex(), 3);

    const FileChoice choice = QtFileChooser::choiceOf(d, true);
    QVERIFY(choice.accepted);
    QCOMPARE(QFileInfo(choice.path).fileName(), u"メモ.txt"_s);
    QCOMPARE(choice.filterIndex, 2);
    QCOMPARE(choice.encodingIndex, 3);

    // The user picks the CSV kind: it filters, and a bare name gets ".csv".
    d.kinds->setCurrentIndex(2);
    emit d.kinds->activated(2);
    QCOMPARE(activePatterns(*d.dialog), QStringList{u"*.csv"_s});
    QCOMPARE(d.dialog->defaultSuffix(), u"csv"_s);
    QCOMPARE(QtFileChooser::choiceOf(d, true).filterIndex, 3);
}

QTEST_MAIN(TestUiApp)
#include "tst_ui_app.moc"
