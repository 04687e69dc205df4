#include "DocumentFixture.h"
#include "FakeFileChooser.h"
#include "FileBytes.h"
#include "UserTexts.h"

#include "io/CStringCode.h"
#include "io/FileCommands.h"
#include "io/HierTextFile.h"
#include "io/NativeFile.h"
#include "io/OutlineFileIo.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using Answer = Prompter::Answer;

namespace {

// The texts the user must see, written out here so that a slip in the
// message table shows up.
const QString TextSaveMessage = u"ファイルの保存でエラーが生じました"_s;
QString savedMessage(const QString &name)
{
    return u"『 "_s + name + u" 』の上書き保存、完了しました。 "_s;
}

// A document with fake panes and the file commands wired as the application
// wires them (the frame's Save As is the command's).
struct Fixture : DocumentFixture
{
    FakeFileChooser chooser;
    std::unique_ptr<FileCommands> files;

    explicit Fixture(const SettingValues &switches = {})
        : DocumentFixture(switches)
    {
        files = std::make_unique<FileCommands>(*doc, backend, chooser);
        frame.saveAs = [this] { return files->fileSaveAs(); };
        doc->onNewDocument();
        doc->refreshViews();
    }

    // The user types at the end of the editor's text.
    void type(const QString &text)
    {
        editor.typeAtEnd(text);
        doc->setModified(true);
    }
};

// A new document is named "タイトル" and lives in Data as "タイトル.qlo".
const QString NewTitle = u"タイトル"_s;
const QString NewName = u"タイトル.qlo"_s;

} // namespace

class TestFileCommands : public QObject
{
    Q_OBJECT

private slots:
    void saveNewDocumentWritesFileAndBackup_data();
    void saveNewDocumentWritesFileAndBackup();
    void saveNeverReplacesAnotherDocument();
    void saveAsNativeWritesBackupUnderItsName();
    void saveAsTextWritesChosenEncoding_data();
    void saveAsTextWritesChosenEncoding();
    void refusedSaveAsLeavesDocumentAsItWas_data();
    void refusedSaveAsLeavesDocumentAsItWas();
    void failedSaveKeepsModifiedFlagAndOldFile();
    void failingBackupDoesNotFailTheSave();
    void nothingToSave();
    void openUsesChosenEncoding_data();
    void openUsesChosenEncoding();
    void openAsksAboutUnsavedChanges();
    void recentFiles();
    void newDocumentAfterSaveIsNotBound();
};

void TestFileCommands::saveNewDocumentWritesFileAndBackup_data()
{
    QTest::addColumn<int>("fileSaveMsg");
    QTest::addColumn<int>("backupFile");

    QTest::newRow("message, backup") << 1 << 1;
    QTest::newRow("no message") << 0 << 1;
    QTest::newRow("backup switched off") << 1 << 0;
}

void TestFileCommands::saveNewDocumentWritesFileAndBackup()
{
    QFETCH(int, fileSaveMsg);
    QFETCH(int, backupFile);
    Fixture f({{u"FileSaveMsg"_s, fileSaveMsg}, {u"BackupFile"_s, backupFile}});
    f.type(u"春の朝。"_s);
    const QString expectedBody = f.editor.text();

    QVERIFY(f.files->fileSave());

    QVERIFY(f.chooser.saveRequests.isEmpty());
    QCOMPARE(nativeBodies(f.data(NewName)), QStringList{expectedBody});
    QVERIFY(!f.doc->isModified());
    if (backupFile)
        QCOMPARE(readBytes(f.backup(u"タイトル.bak"_s)), readBytes(f.data(NewName)));
    else
        QVERIFY(QDir(f.user + u"/Backup"_s).isEmpty());
    QCOMPARE(f.prompter.messages, fileSaveMsg ? QStringList{savedMessage(NewTitle)} : QStringList());

    // The file is now the document's own: the next save writes it again
    // without a dialog.
    f.type(u"夏。"_s);
    QVERIFY(f.files->fileSave());
    QVERIFY(f.chooser.saveRequests.isEmpty());
    QCOMPARE(nativeBodies(f.data(NewName)), QStringList{f.editor.text()});
}

void TestFileCommands::saveNeverReplacesAnotherDocument()
{
    Fixture f;
    const QByteArray other = "an earlier document";
    QVERIFY(writeBytes(f.data(NewName), other));
    f.type(u"新しい文章"_s);

    // Cancelling the dialog writes nothing and keeps the changes.
    QVERIFY(!f.files->fileSave());
    QCOMPARE(f.chooser.saveRequests.size(), 1);
    const SaveDocumentRequest request = f.chooser.saveRequests.first();
    QCOMPARE(request.folder, f.doc->dataFolder());
    QCOMPARE(request.fileName, NewTitle);
    QCOMPARE(request.defaultExtension, u"qlo"_s);
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.encodingIndex, 0);
    QCOMPARE(readBytes(f.data(NewName)), other);
    QVERIFY(f.doc->isModified());
    QVERIFY(QDir(f.user + u"/Backup"_s).isEmpty());

    // A name of its own: the earlier document stays, the new one and its
    // backup are written, and from now on Save goes there directly.
    const QString story = f.data(u"物語.qlo"_s);
    f.chooser.saveAnswers = {FakeFileChooser::choose(story, 1, 0)};
    QVERIFY(f.files->fileSave());
    QCOMPARE(readBytes(f.data(NewName)), other);
    QCOMPARE(nativeBodies(story), QStringList{f.editor.text()});
    QVERIFY(QFileInfo::exists(f.backup(u"物語.bak"_s)));
    QCOMPARE(f.doc->path(), story);
    QVERIFY(!f.doc->isModified());

    f.type(u"続き"_s);
    QVERIFY(f.files->fileSave());
    QCOMPARE(f.chooser.saveRequests.size(), 2);
    QCOMPARE(nativeBodies(story), QStringList{f.editor.text()});
    QCOMPARE(readBytes(f.data(NewName)), other);
}

void TestFileCommands::saveAsNativeWritesBackupUnderItsName()
{
    Fixture f;
    f.type(u"本文"_s);
    const QString path = f.data(u"Story.QLO"_s);
    f.chooser.saveAnswers = {FakeFileChooser::choose(path, 1, 0)};

    QVERIFY(f.files->fileSaveAs());

    QCOMPARE(f.doc->fileType(), FileType::Native);
    QCOMPARE(nativeBodies(path), QStringList{f.editor.text()});
    QCOMPARE(readBytes(f.backup(u"Story.bak"_s)), readBytes(path));
    // Save As reports nothing on success; only Save confirms.
    QVERIFY(f.prompter.messages.isEmpty());
    QVERIFY(!f.doc->isModified());
}

void TestFileCommands::saveAsTextWritesChosenEncoding_data()
{
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("start");

    QTest::newRow("Shift-JIS") << 1 << QByteArray(".");
    QTest::newRow("UTF-8") << 2 << QByteArray("\xEF\xBB\xBF.");
    QTest::newRow("UTF-16LE") << 3 << QByteArray("\xFF\xFE.\x00", 4);
}

void TestFileCommands::saveAsTextWritesChosenEncoding()
{
    QFETCH(int, encoding);
    QFETCH(QByteArray, start);
    Fixture f;
    f.type(u"漢字と仮名、ｶﾀｶﾅ"_s);
    const QString path = f.data(u"メモ.txt"_s);
    f.chooser.saveAnswers = {FakeFileChooser::choose(path, 2, encoding)};

    QVERIFY(f.files->fileSaveAs());

    // A native document offers "qlo file" in the drop-down first.
    QCOMPARE(f.chooser.saveRequests.size(), 1);
    QCOMPARE(f.chooser.saveRequests.first().encodingIndex, 0);
    const QByteArray bytes = readBytes(path);
    QVERIFY2(bytes.startsWith(start), bytes.left(8).toHex().constData());
    const TextRead back = CStringCode().readTextResult(encoding, path);
    QVERIFY(back.ok);
    QCOMPARE(back.text, HierTextFile::composeHierText(f.doc->store()));
    QVERIFY(back.text.contains(u"漢字と仮名、ｶﾀｶﾅ"_s));

    QCOMPARE(f.doc->path(), path);
    QCOMPARE(f.doc->fileType(), FileType::HierText);
    QCOMPARE(f.doc->fileEncoding(), encoding);
    QVERIFY(!f.doc->isModified());
    // Only native files get a backup.
    QVERIFY(QDir(f.user + u"/Backup"_s).isEmpty());

    // The next Save keeps kind and encoding, and the next Save As offers them.
    f.type(u"追記"_s);
    QVERIFY(f.files->fileSave());
    QCOMPARE(CStringCode().readTextResult(encoding, path).text, HierTextFile::composeHierText(f.doc->store()));
    QVERIFY(!f.files->fileSaveAs());
    QCOMPARE(f.chooser.saveRequests.last().filterIndex, 2);
    QCOMPARE(f.chooser.saveRequests.last().encodingIndex, encoding);
    QCOMPARE(f.chooser.saveRequests.last().fileName, u"メモ.txt"_s);
}

void TestFileCommands::refusedSaveAsLeavesDocumentAsItWas_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QString>("message");

    QTest::newRow("text kind without encoding") << u"メモ.txt"_s << 2 << 0 << NoEncodingMessage;
    QTest::newRow("CSV kind without encoding") << u"表.csv"_s << 3 << 0 << NoEncodingMessage;
    QTest::newRow("unknown extension") << u"メモ.doc"_s << 1 << 0 << ExtensionMessage;
    QTest::newRow("extension decides over the kind") << u"メモ.txt"_s << 1 << 0 << TextSaveMessage;
    QTest::newRow("missing folder") << u"ない/物語.qlo"_s << 1 << 0 << QString();
}

void TestFileCommands::refusedSaveAsLeavesDocumentAsItWas()
{
    QFETCH(QString, name);
    QFETCH(int, filter);
    QFETCH(int, encoding);
    QFETCH(QString, message);
    Fixture f;
    f.type(u"本文"_s);
    f.frame.titles.clear();
    const QString path = f.data(name);
    f.chooser.saveAnswers = {FakeFileChooser::choose(path, filter, encoding)};

    QVERIFY(!f.files->fileSaveAs());

    QVERIFY(!QFileInfo::exists(path));
    if (!message.isEmpty())
        QVERIFY2(f.prompter.messages.contains(message), qPrintable(f.prompter.messages.join(u'|')));
    else
        QCOMPARE(f.prompter.messages.size(), 1); // the writer's reason
    QVERIFY(f.doc->isModified());
    QVERIFY(QDir(f.user + u"/Backup"_s).isEmpty());
    // Still the new native document: a later Save writes where it always would.
    QCOMPARE(f.doc->path(), f.data(NewName));
    QCOMPARE(f.doc->fileType(), FileType::Native);
    QCOMPARE(f.doc->fileEncoding(), 0);
    if (!f.frame.titles.isEmpty())
        QCOMPARE(f.frame.titles.last(), NewTitle);
    QVERIFY(f.files->fileSave());
    QCOMPARE(nativeBodies(f.data(NewName)), QStringList{f.editor.text()});
}

void TestFileCommands::failedSaveKeepsModifiedFlagAndOldFile()
{
    // A Shift-JIS text document that the user gives a character Shift-JIS
    // cannot hold: the writer refuses before touching the file.
    Fixture f;
    const QString path = f.data(u"原稿.txt"_s);
    QVERIFY(CStringCode().writeText(1, path, u".原稿\r\n本文\r\n"_s));
    const QByteArray before = readBytes(path);
    f.doc->setOpenEncoding(1);
    QVERIFY(f.files->openFile(path));
    QCOMPARE(f.doc->fileEncoding(), 1);
    f.type(u"😀"_s);

    QVERIFY(!f.files->fileSave());

    QCOMPARE(readBytes(path), before);
    QVERIFY(f.doc->isModified());
    QCOMPARE(f.prompter.messages, QStringList{TextSaveMessage});
    QVERIFY(f.chooser.saveRequests.isEmpty());
}

void TestFileCommands::failingBackupDoesNotFailTheSave()
{
    Fixture f;
    QVERIFY(QDir(f.user + u"/Backup"_s).removeRecursively());
    f.type(u"本文"_s);

    QVERIFY(f.files->fileSave());

    QCOMPARE(nativeBodies(f.data(NewName)), QStringList{f.editor.text()});
    QVERIFY(!f.doc->isModified());
    // The backup's own failure, then the completion of the save itself.
    QCOMPARE(f.prompter.messages.size(), 2);
    QCOMPARE(f.prompter.messages.last(), savedMessage(NewTitle));
}

void TestFileCommands::nothingToSave()
{
    Fixture f;
    // An empty outline: nothing to write, no dialog.
    f.doc->setModified(false);
    QVERIFY(f.doc->resetForReplace());
    QVERIFY(!f.files->fileSave());
    QVERIFY(!f.files->fileSaveAs());
    QVERIFY(f.chooser.saveRequests.isEmpty());
    QVERIFY(QDir(f.user + u"/Data"_s).isEmpty());

    // Single-page text is saved by its own command.
    Fixture g;
    g.type(u"x"_s);
    g.doc->setDisplayMode(DisplayMode::SinglePage);
    QVERIFY(!g.files->canSave());
    QVERIFY(!g.files->fileSave());
    QVERIFY(!g.files->fileSaveAs());
    QVERIFY(QDir(g.user + u"/Data"_s).isEmpty());
    QVERIFY(g.chooser.saveRequests.isEmpty());
}

void TestFileCommands::openUsesChosenEncoding_data()
{
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("readable");

    QTest::newRow("UTF-16LE chosen") << 3 << 3 << true;
    QTest::newRow("Shift-JIS chosen") << 1 << 1 << true;
    QTest::newRow("automatic") << 2 << 0 << true;
    // Read as the user said, even when it is wrong: the bytes of a UTF-16
    // file taken as Shift-JIS do not start with a heading.
    QTest::newRow("wrong choice") << 3 << 1 << false;
}

void TestFileCommands::openUsesChosenEncoding()
{
    QFETCH(int, written);
    QFETCH(int, chosen);
    QFETCH(bool, readable);
    Fixture f;
    const QString path = f.data(u"物語.txt"_s);
    QVERIFY(CStringCode().writeText(written, path, u".第一章\r\n春。\r\n..場面\r\n朝。\r\n"_s));
    f.chooser.openAnswers = {FakeFileChooser::choose(path, 2, chosen)};

    const bool opened = f.files->fileOpen();

    QCOMPARE(f.chooser.openRequests.size(), 1);
    const OpenDocumentRequest request = f.chooser.openRequests.first();
    QCOMPARE(request.folder, f.doc->dataFolder());
    QCOMPARE(request.filterIndex, 1);
    QCOMPARE(request.encodingIndex, 0);
    QCOMPARE(request.defaultExtension, u"qlo"_s);
    QCOMPARE(f.doc->openEncoding(), chosen);
    QCOMPARE(opened, readable);
    if (readable) {
        QCOMPARE(f.doc->store().bodies(), (QStringList{u"第一章\r\n春。\r\n"_s, u"場面\r\n朝。\r\n"_s}));
        QCOMPARE(f.doc->fileEncoding(), written);
        QCOMPARE(f.doc->path(), QDir::toNativeSeparators(path));
        QCOMPARE(f.files->recentFiles(), QStringList{QDir::toNativeSeparators(path)});
        QVERIFY(f.tree.calls.contains(u"rebuild"_s));
    } else {
        QVERIFY(f.files->recentFiles().isEmpty());
        QCOMPARE(f.doc->path(), f.data(NewName));
    }
}

void TestFileCommands::openAsksAboutUnsavedChanges()
{
    Fixture f;
    const QString path = f.data(u"別.qlo"_s);
    CTreeList other;
    other.appendItem(1, u"別の文書\r\n"_s);
    QVERIFY(NativeFile::write(path, other, NativeHeader(), 0, nullptr));
    f.type(u"書きかけ"_s);
    const QString typed = f.editor.text();

    // Cancel: nothing is read, the text stays.
    f.prompter.answers = {Answer::Cancel};
    QVERIFY(!f.files->openFile(path));
    QCOMPARE(f.prompter.questions, QStringList{SaveQuestion});
    QCOMPARE(f.editor.text(), typed);
    QVERIFY(f.doc->isModified());

    // Yes runs Save As; a cancelled dialog keeps everything as it is.
    f.prompter.answers = {Answer::Yes};
    QVERIFY(!f.files->openFile(path));
    QCOMPARE(f.chooser.saveRequests.size(), 1);
    QCOMPARE(f.editor.text(), typed);

    // Yes with a name: saved there, then the other document is read.
    const QString saved = f.data(u"書きかけ.qlo"_s);
    f.prompter.answers = {Answer::Yes};
    f.chooser.saveAnswers = {FakeFileChooser::choose(saved, 1, 0)};
    QVERIFY(f.files->openFile(path));
    QCOMPARE(nativeBodies(saved), QStringList{typed});
    QCOMPARE(f.doc->store().bodies(), QStringList{u"別の文書\r\n"_s});
}

void TestFileCommands::recentFiles()
{
    Fixture f;
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        const QString path = QDir::toNativeSeparators(f.data(u"文書%1.qlo"_s.arg(i)));
        CTreeList store;
        store.appendItem(1, u"文書%1\r\n"_s.arg(i));
        QVERIFY(NativeFile::write(path, store, NativeHeader(), 0, nullptr));
        paths.append(path);
    }
    QStringList told;
    f.files->setRecentFilesChanged([&told](const QStringList &list) { told = list; });

    for (const QString &path : paths)
        QVERIFY(f.files->openFile(path));
    QVERIFY(f.files->openFile(paths.at(2)));

    const QStringList expected{paths.at(2), paths.at(4), paths.at(3), paths.at(1)};
    QCOMPARE(f.files->recentFiles(), expected);
    QCOMPARE(told, expected);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.backend.raw(SettingsSection::RecentFileList, u"File%1"_s.arg(i + 1)).toString(), expected.at(i));

    // The list is read back by the next run.
    FileCommands again(*f.doc, f.backend, f.chooser);
    QCOMPARE(again.recentFiles(), expected);

    // A file opened from the list is read with the last Open dialog's
    // encoding; one that is gone leaves the list.
    QVERIFY(QFile::remove(paths.at(4)));
    QVERIFY(!f.files->openFile(paths.at(4)));
    QCOMPARE(f.files->recentFiles(), (QStringList{paths.at(2), paths.at(3), paths.at(1)}));
    QCOMPARE(told, f.files->recentFiles());
    QCOMPARE(f.backend.raw(SettingsSection::RecentFileList, u"File4").toString(), QString());
}

void TestFileCommands::newDocumentAfterSaveIsNotBound()
{
    // Saving "タイトル.qlo" binds it to that document only: a fresh new
    // document must not overwrite it silently.
    Fixture f;
    f.type(u"一つ目"_s);
    QVERIFY(f.files->fileSave());
    const QByteArray first = readBytes(f.data(NewName));

    f.files->fileNew();
    QCOMPARE(f.doc->path(), f.data(NewName));
    f.type(u"二つ目"_s);
    QVERIFY(!f.files->fileSave());
    QCOMPARE(f.chooser.saveRequests.size(), 1);
    QCOMPARE(readBytes(f.data(NewName)), first);
}

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_file_commands.moc"
