// A writer's sessions in the assembled window: whatever was typed, renamed
// or rearranged must reach the store and the saved file.
#include "DocumentFixture.h"
#include "FakeFileChooser.h"
#include "FileBytes.h"
#include "OutlineText.h"

#include "CommandIds.h"
#include "io/CStringCode.h"
#include "io/NativeFile.h"
#include "model/CQuilloryDoc.h"
#include "shell/CMainFrame.h"
#include "shell/CQuilloryApp.h"
#include "tree/CQuilloryTree.h"
#include "editor/CQuilloryEdit.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using Answer = Prompter::Answer;

namespace {

void typeText(QWidget *widget, const QString &text)
{
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text, Qt::NoModifier);
}

const QList<std::pair<qint32, QString>> Story = {
    {1, u"第一章\r\n春の朝。"_s},
    {2, u"場面一\r\n「おはよう」"_s},
    {2, u"場面二\r\n夕方。"_s},
    {1, u"第二章\r\n夏の夜。"_s},
};

struct App : UserFolderFixture
{
    FakeFileChooser chooser;
    std::unique_ptr<CQuilloryApp> app;

    explicit App(const SettingValues &settings = {{u"TitleText"_s, 0}, {u"FileSaveMsg"_s, 0}})
        : UserFolderFixture(settings, NoFolders)
    {
    }

    bool start(const QString &documentPath = QString())
    {
        CQuilloryApp::Services services;
        services.settings = &backend;
        services.prompter = &prompter;
        services.chooser = &chooser;
        services.documentsFolder = [] { return QString(); };
        app = std::make_unique<CQuilloryApp>(services);
        if (!app->initInstance(documentPath))
            return false;
        frame()->activateWindow();
        return QTest::qWaitForWindowActive(frame());
    }

    QString writeStory(const QString &name)
    {
        QDir().mkpath(user + u"/Data"_s);
        CTreeList store;
        for (const auto &[level, body] : Story)
            store.appendItem(level, body);
        const QString path = data(name);
        return NativeFile::write(path, store, NativeHeader(), 0, nullptr) ? path : QString();
    }

    CMainFrame *frame() const { return app->mainFrame(); }
    CQuilloryTree *tree() const { return frame()->treePane(); }
    CQuilloryEdit *editor() const { return frame()->editorPane(); }
    CQuilloryDoc &doc() const { return app->document(); }

    void focusEditor()
    {
        editor()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
    void focusTree()
    {
        tree()->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
    void select(qint32 number)
    {
        tree()->selectItem(number);
        QCoreApplication::processEvents();
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
    h.focusTree();
    for (int id : commands) {
        QVERIFY(h.frame()->isCommandEnabled(id));
        h.frame()->runCommand(id);
    }

    QCOMPARE(h.doc().store().getBody(2), typed);
    QTest::keyClick(h.tree(), Qt::Key_S, Qt::ControlModifier);
    const bool kept = h.doc().store().contains(2);
    QCOMPARE(nativeBodies(h.data(u"物語.qlo"_s)).contains(typed), kept);
    QCOMPARE(kept, !(commands.size() == 1 && commands.first() == Cmd::TreeDelete));
}

QTEST_MAIN(TestUiScenarios)
#include "tst_ui_scenarios.moc"
