#include "DocumentFixture.h"
#include "FileBytes.h"
#include "RealEncodings.h"
#include "UserTexts.h"

#include "Messages.h"
#include "io/ArchiveString.h"
#include "io/CStringCode.h"
#include "io/HierCsvFile.h"
#include "io/HierTextFile.h"
#include "io/NativeFile.h"
#include "io/OutlineFileIo.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"

#include <QCryptographicHash>
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
const QString TitleText = u"タイトル"_s;
const QString DiscardQuestion = u"文書が更新されていますが、保存せずに続行してよろしいですか？"_s;

// "level body" per item in outline order, readable in a failed comparison.
QStringList dump(const CTreeList &store)
{
    QStringList out;
    for (const TREE_ITEM &item : store.items())
        out.append(QString::number(item.level) + QLatin1Char(' ') + store.bodies().at(item.number));
    return out;
}

QStringList labels(const CTreeList &store)
{
    QStringList out;
    for (const TREE_ITEM &item : store.items())
        out.append(item.label);
    return out;
}

void fill(CTreeList &store, const QList<std::pair<qint32, QString>> &items)
{
    store.clear();
    for (const auto &[level, body] : items)
        store.appendItem(level, body);
}

const QList<std::pair<qint32, QString>> Story = {
    {1, u"第一章\r\n春の朝、窓を開けた。\r\n"_s},
    {2, u"場面\r\n「おはよう」と言った。\r\n"_s},
    {1, u"第二章\r\n夏の夜。\r\n"_s},
};

QList<Answer> script(const QString &text)
{
    QList<Answer> answers;
    for (const QString &word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (word == u"Ok")
            answers.append(Answer::Ok);
        else if (word == u"Cancel")
            answers.append(Answer::Cancel);
        else if (word == u"Yes")
            answers.append(Answer::Yes);
        else if (word == u"No")
            answers.append(Answer::No);
    }
    return answers;
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// A document wired to fakes, with a user folder of its own.
struct Harness : DocumentFixture
{
    explicit Harness(int displayLable = 1, int titleText = 1)
        : DocumentFixture({{u"Display_Lable"_s, displayLable}, {u"TitleText"_s, titleText}})
    {
    }

    // Puts an outline in place and shows it, the first item current.
    void show(const QList<std::pair<qint32, QString>> &items)
    {
        fill(doc->store(), items);
        doc->refreshViews();
        clearLogs();
    }

    void clearLogs()
    {
        tree.calls.clear();
        editor.calls.clear();
        frame.calls.clear();
        frame.titles.clear();
        prompter.messages.clear();
        prompter.questions.clear();
    }
};

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void newDocument_data();
    void newDocument();
    void firstRunNoticeIsExact();
    void fileNewAsksBeforeDroppingChanges();
    void setPathAndType_data();
    void setPathAndType();
    void openWithUnsavedChanges_data();
    void openWithUnsavedChanges();
    void openEachKind_data();
    void openEachKind();
    void autoDetectedTextSavesInItsOwnEncoding_data();
    void autoDetectedTextSavesInItsOwnEncoding();
    void failedReadLeavesNewDocument_data();
    void failedReadLeavesNewDocument();
    void unknownExtension();
    void refreshFillsEditorBeforeTreeSelects();
    void writeBackOnSelect_data();
    void writeBackOnSelect();
    void selectingCurrentItemChangesNothing();
    void selectLoadsTheItemsHistory();
    void renameCurrent_data();
    void renameCurrent();
    void setCurrentLabel();
    void toggleLabelMode();
    void textHistoryFollowsProgramChanges();
    void programTextChangesKeepModified();
    void renameThenSaveReachesFile_data();
    void renameThenSaveReachesFile();
    void saveModified_data();
    void saveModified();
    void endOfRunWritesSettings();
};

void TestDocument::construction()
{
    for (const int lable : {0, 1}) {
        Harness h(lable);
        QCOMPARE(h.doc->displayMode(), lable ? DisplayMode::Label : DisplayMode::Clear);
        QCOMPARE(h.doc->header().magic, u"Quilolry DataFile"_s);
        QCOMPARE(h.doc->header().formatNumber, 12000);
        QCOMPARE(h.doc->fileEncoding(), 0);
        QCOMPARE(h.doc->openEncoding(), 0);
        QCOMPARE(h.doc->currentNumber(), 0);
        QVERIFY(h.doc->path().isEmpty());
        QVERIFY(!h.doc->isModified());
        // Each setting read once, and nothing written.
        QCOMPARE(h.backend.reads().size(), QuillorySettings::KeyCount);
        QVERIFY(h.backend.writes().isEmpty());
        QCOMPARE(h.doc->settings().User_Path, h.user);
        QCOMPARE(h.doc->settings().workFolder(), h.user + u"/Work"_s);
    }
}

void TestDocument::newDocument_data()
{
    QTest::addColumn<int>("titleText");
    QTest::addColumn<int>("displayLable");
    QTest::addColumn<QString>("body");

    const QString notice = QString::fromUtf16(Msg::FirstRunNotice);
    QTest::newRow("notice, label mode") << 1 << 1 << TitleText + notice;
    QTest::newRow("notice, clear mode") << 1 << 0 << TitleText + notice;
    QTest::newRow("no notice, label mode") << 0 << 1 << TitleText + u"\r\n"_s;
    QTest::newRow("no notice, clear mode") << 0 << 0 << TitleText + u"\r\n"_s;
}

void TestDocument::newDocument()
{
    QFETCH(int, titleText);
    QFETCH(int, displayLable);
    QFETCH(QString, body);

    Harness h(displayLable, titleText);
    // An earlier document with history and stray files in the work folder.
    h.show({{1, u"古い\r\n本文"_s}, {1, u"別\r\n"_s}});
    h.doc->selectItem(1);
    h.doc->setDisplayMode(DisplayMode::SinglePage);
    EditorState before{0, 0, 0, QString()};
    h.doc->undoRedo().recordChange(0, before, EditorState{1, 1, 1, u"a"_s});
    QVERIFY(writeBytes(h.work() + u"/QLU0001.his"_s, QByteArray(4, '\0')));
    QVERIFY(writeBytes(h.work() + u"/QuilloryTempFile.txt"_s, "x"));
    h.clearLogs();

    h.doc->fileNew();

    const CTreeList &store = h.doc->store();
    QCOMPARE(dump(store), QStringList{u"1 "_s + body});
    QCOMPARE(labels(store), QStringList{TitleText});
    QCOMPARE(store.items().front().number, 0);
    QCOMPARE(h.doc->currentNumber(), 0);
    QCOMPARE(h.doc->path(), h.user + u"/Data/タイトル.qlo"_s);
    QCOMPARE(h.doc->fileName(), TitleText);
    QCOMPARE(h.doc->extension(), u"qlo"_s);
    QCOMPARE(h.doc->fileType(), FileType::Native);
    QCOMPARE(h.doc->defaultTitle(), TitleText);
    QCOMPARE(h.doc->nodeFile().name, TitleText);
    QCOMPARE(h.doc->nodeFile().extension, u"txt"_s);
    QCOMPARE(h.doc->nodeFile().path, h.user + u"/Data/タイトル.txt"_s);
    QCOMPARE(h.doc->displayMode(), displayLable ? DisplayMode::Label : DisplayMode::Clear);
    QVERIFY(!h.doc->isModified());
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QVERIFY(h.doc->undoRedo().redoList().isEmpty());
    QCOMPARE(filesIn(h.work()), QStringList());

    QCOMPARE(h.frame.calls, (QStringList{u"setWindowTitle タイトル"_s, u"restoreTreeColumn"_s}));
    QCOMPARE(h.tree.calls, (QStringList{u"deleteAllItems"_s, u"rebuild"_s}));
    const QString shown = displayLable ? body : body.mid(TitleText.size() + 2);
    QCOMPARE(h.editor.text(), shown);
    QVERIFY(h.prompter.questions.isEmpty());
}

void TestDocument::firstRunNoticeIsExact()
{
    const QString notice = QString::fromUtf16(Msg::FirstRunNotice);
    // The published text, character for character (UTF-16LE bytes).
    QByteArray bytes;
    for (const QChar c : notice)
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    QCOMPARE(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
             QByteArray("9041b5b3a38f6b3689f856c9914b929bbcae09ae32d15e5c5ffe819c1306f71b"));
    QCOMPARE(notice.size(), 223);
    QVERIFY(notice.startsWith(u"\r\n// 初めて Quillory をご利用される方へ //\r\n"_s));
    QVERIFY(notice.endsWith(u"お願いいたします"_s));
    QCOMPARE(notice.count(u"\r\n"_s), 7);
    QCOMPARE(notice.count(QLatin1Char('\n')), 7);
    QCOMPARE(notice.count(QChar(0x3000)), 4);
    QVERIFY(notice.contains(u"// すでに Quillry をご利用の皆様へ //"_s));
    QVERIFY(notice.contains(u"『ファイル』\u2015『開く』"_s));
    QVERIFY(notice.contains(u"『ツール』\u30FC『環境設定』\u30FC『動作』"_s));
}

void TestDocument::fileNewAsksBeforeDroppingChanges()
{
    Harness h;
    h.show(Story);
    h.doc->setModified(true);

    h.prompter.answers = {Answer::Cancel};
    h.doc->fileNew();
    QCOMPARE(h.prompter.questions, QStringList{DiscardQuestion});
    QCOMPARE(dump(h.doc->store()).size(), Story.size());
    QVERIFY(h.doc->isModified());
    QVERIFY(h.tree.calls.isEmpty());
    QVERIFY(h.editor.calls.isEmpty());
    QVERIFY(h.frame.calls.isEmpty());

    h.prompter.answers = {Answer::Ok};
    h.doc->fileNew();
    QCOMPARE(labels(h.doc->store()), QStringList{TitleText});
    QVERIFY(!h.doc->isModified());
}

void TestDocument::setPathAndType_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("type");

    QTest::newRow("upper-case txt") << u"/home/u/memo.TXT"_s << u"memo.TXT"_s << u"TXT"_s << 2;
    QTest::newRow("csv") << u"/home/u/memo.csv"_s << u"memo.csv"_s << u"csv"_s << 3;
    QTest::newRow("qlo") << u"/home/u/memo.qlo"_s << u"memo.qlo"_s << u"qlo"_s << 1;
    QTest::newRow("Japanese name") << u"/home/u/原稿 第一稿.Qlo"_s << u"原稿 第一稿.Qlo"_s << u"Qlo"_s << 1;
    QTest::newRow("dot in the folder") << u"/home/u.v/memo.txt"_s << u"memo.txt"_s << u"txt"_s << 2;
    QTest::newRow("doc") << u"/home/u/memo.doc"_s << u"memo.doc"_s << u"doc"_s << 0;
    QTest::newRow("no dot") << u"/home/u/memo"_s << u"memo"_s << u"memo"_s << 0;
    QTest::newRow("extension from the first dot") << u"/home/u/a.b.qlo"_s << u"a.b.qlo"_s << u"b.qlo"_s << 0;
}

void TestDocument::setPathAndType()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QFETCH(int, type);
    const QStringList message = type == 0 ? QStringList{ExtensionMessage} : QStringList();

    Harness h;
    h.doc->setPathAndType(path);
    QCOMPARE(h.doc->path(), path);
    QCOMPARE(h.doc->fileName(), name);
    QCOMPARE(h.doc->extension(), extension);
    QCOMPARE(h.doc->fileType(), type);
    QCOMPARE(h.frame.titles, QStringList{name});
    QCOMPARE(h.prompter.messages, message);

    // The node-file identity follows the same rules but leaves the title.
    h.clearLogs();
    h.doc->setNodeFilePathAndType(path);
    QCOMPARE(h.doc->nodeFile().path, path);
    QCOMPARE(h.doc->nodeFile().name, name);
    QCOMPARE(h.doc->nodeFile().extension, extension);
    QCOMPARE(h.doc->nodeFile().type, type);
    QVERIFY(h.frame.calls.isEmpty());
    QCOMPARE(h.prompter.messages, message);
}

void TestDocument::openWithUnsavedChanges_data()
{
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("saveAs"); // what the Save As command does
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QStringList>("questions");

    QTest::newRow("cancel at save?") << u"Cancel"_s << QString() << false << QStringList{SaveQuestion};
    QTest::newRow("no, then cancel at continue?")
        << u"No,Cancel"_s << QString() << false << QStringList{SaveQuestion, DiscardQuestion};
    QTest::newRow("no, then ok at continue?")
        << u"No,Ok"_s << QString() << true << QStringList{SaveQuestion, DiscardQuestion};
    QTest::newRow("yes, save as cancelled") << u"Yes"_s << u"cancel"_s << false << QStringList{SaveQuestion};
    QTest::newRow("yes, saved") << u"Yes"_s << u"save"_s << true << QStringList{SaveQuestion};
}

void TestDocument::openWithUnsavedChanges()
{
    QFETCH(QString, answers);
    QFETCH(QString, saveAs);
    QFETCH(bool, opened);
    QFETCH(QStringList, questions);

    Harness h;
    CTreeList source;
    fill(source, Story);
    const QString path = h.data(u"続き.qlo"_s);
    QVERIFY(NativeFile::write(path, source, NativeHeader(), 0, nullptr));

    h.show({{1, u"書きかけ\r\nまだ保存していない"_s}});
    h.editor.typeAtEnd(u"。"_s);
    h.doc->setModified(true);
    const QStringList before = dump(h.doc->store());
    const QString editorBefore = h.editor.text();

    h.prompter.answers = script(answers);
    if (saveAs == u"save") {
        h.frame.saveAs = [&h] {
            h.doc->setModified(false);
            return true;
        };
    } else if (saveAs == u"cancel") {
        h.frame.saveAs = [] { return false; };
    }

    QCOMPARE(h.doc->openDocument(path), opened);
    QCOMPARE(h.prompter.questions, questions);
    QCOMPARE(h.frame.calls.contains(u"runSaveAs"_s), !saveAs.isEmpty());
    if (opened) {
        QCOMPARE(dump(h.doc->store()), dump(source));
        QCOMPARE(h.doc->path(), path);
        QVERIFY(!h.doc->isModified());
        QCOMPARE(h.editor.text(), Story.front().second);
    } else {
        QCOMPARE(dump(h.doc->store()), before);
        QCOMPARE(h.editor.text(), editorBefore);
        QVERIFY(h.doc->isModified());
        QVERIFY(h.doc->path() != path);
        QVERIFY(!h.tree.calls.contains(u"deleteAllItems"_s));
    }
}

void TestDocument::openEachKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("writeEncoding");
    QTest::addColumn<int>("openEncoding");

    QTest::newRow("native") << u"物語.qlo"_s << 0 << 0;
    QTest::newRow("native, encoding chosen") << u"物語.QLO"_s << 0 << 2;
    for (const auto &[kind, ext] : {std::pair{"text", u".txt"_s}, std::pair{"csv", u".csv"_s}}) {
        for (const int enc : {Encoding::ShiftJis, Encoding::Utf8, Encoding::Utf16Le}) {
            QTest::addRow("%s, encoding %d given", kind, enc) << u"物語"_s + ext << enc << enc;
            QTest::addRow("%s, encoding %d detected", kind, enc) << u"物語"_s + ext << enc << 0;
        }
    }
}

void TestDocument::openEachKind()
{
    QFETCH(QString, name);
    QFETCH(int, writeEncoding);
    QFETCH(int, openEncoding);

    Harness h(1);
    const QString path = h.data(name);
    const int type = OutlineFileIo::fileTypeOf(path);
    CTreeList source;
    fill(source, Story);
    NativeHeader header;
    header.formatNumber = 12345;
    const CStringCode code;
    QVERIFY(OutlineFileIo::write(type, path, writeEncoding, source, header, 0, code, nullptr));

    // What the readers themselves make of the file (CSV keeps a body on one line).
    CTreeList expected;
    NativeHeader unused;
    QVERIFY(OutlineFileIo::read(type, path, writeEncoding, expected, unused, code, nullptr).ok);
    QCOMPARE(labels(expected), labels(source));

    h.doc->fileNew();
    h.doc->setOpenEncoding(openEncoding);
    h.clearLogs();
    QVERIFY(h.doc->openDocument(path));

    QCOMPARE(dump(h.doc->store()), dump(expected));
    QCOMPARE(labels(h.doc->store()), labels(source));
    QCOMPARE(h.doc->fileType(), type);
    QCOMPARE(h.doc->path(), path);
    QCOMPARE(h.doc->fileName(), name);
    QCOMPARE(h.doc->fileEncoding(), type == FileType::Native ? openEncoding : writeEncoding);
    QCOMPARE(h.doc->header().formatNumber, type == FileType::Native ? 12345 : 12000);
    QCOMPARE(h.doc->currentNumber(), 0);
    QVERIFY(!h.doc->isModified());
    QVERIFY(h.prompter.messages.isEmpty());
    QVERIFY(h.prompter.questions.isEmpty());
    QCOMPARE(h.frame.calls, (QStringList{u"restoreTreeColumn"_s, u"setWindowTitle "_s + name}));
    QCOMPARE(h.tree.calls, (QStringList{u"deleteAllItems"_s, u"rebuild"_s}));
    QCOMPARE(h.editor.text(), expected.bodies().at(0));
}

void TestDocument::autoDetectedTextSavesInItsOwnEncoding_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("original"); // empty: written from the story

    for (const int enc : {Encoding::ShiftJis, Encoding::Utf8, Encoding::Utf16Le}) {
        QTest::addRow("text %d", enc) << u"自動.txt"_s << enc << QByteArray();
        QTest::addRow("csv %d", enc) << u"自動.csv"_s << enc << QByteArray();
    }
    const QString real = realEncodingsFile(u"aozora-title.txt"_s);
    if (!real.isEmpty()) {
        // A Shift-JIS text someone else wrote, made one item by a heading.
        QTest::newRow("real Shift-JIS text") << u"青空.txt"_s << int(Encoding::ShiftJis)
                                             << QByteArray("." + readBytes(real));
    }
}

void TestDocument::autoDetectedTextSavesInItsOwnEncoding()
{
    QFETCH(QString, name);
    QFETCH(int, encoding);
    QFETCH(QByteArray, original);

    Harness h(1);
    const QString path = h.data(name);
    const int type = OutlineFileIo::fileTypeOf(path);
    const CStringCode code;
    CTreeList source;
    fill(source, Story);
    if (original.isEmpty())
        QVERIFY(OutlineFileIo::write(type, path, encoding, source, NativeHeader(), 0, code, nullptr));
    else
        QVERIFY(writeBytes(path, original));

    h.doc->setOpenEncoding(Encoding::Auto);
    QVERIFY(h.doc->openDocument(path));
    QCOMPARE(h.doc->fileEncoding(), encoding);

    // The user adds a line to the first item, then saves.
    h.editor.typeAtEnd(u"追記した行\r\n"_s);
    h.doc->setModified(true);
    h.doc->storeEditorBeforeSave();
    QVERIFY(h.doc->onSaveDocument(h.doc->path()));
    QVERIFY(h.prompter.messages.isEmpty());

    // The same outline written directly in that encoding.
    CTreeList expected;
    NativeHeader unused;
    QVERIFY(OutlineFileIo::read(type, path, encoding, expected, unused, code, nullptr).ok);
    QVERIFY(expected.bodies().at(0).contains(u"追記した行"_s));
    const QString reference = h.temp.path() + u"/reference"_s + OutlineFileIo::extensionOf(path);
    QVERIFY(OutlineFileIo::write(type, reference, encoding, expected, NativeHeader(), 0, code, nullptr));
    QCOMPARE(readBytes(path), readBytes(reference));
    QCOMPARE(code.detectEncoding(path), encoding);
    if (!original.isEmpty())
        QVERIFY(readBytes(path).startsWith(original));
}

void TestDocument::failedReadLeavesNewDocument_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // null: the file is missing
    QTest::addColumn<int>("openEncoding");
    QTest::addColumn<bool>("message");

    CTreeList source;
    fill(source, Story);
    NativeHeader header;
    header.magic = u"Broken"_s;
    header.formatNumber = 777;
    const QByteArray native = NativeFile::headerBytes(header, 0, 3) + ArchiveString::encode(u"x");

    QTest::newRow("native cut short") << u"壊れた.qlo"_s << native << 0 << true;
    QTest::newRow("native of nonsense") << u"壊れた.qlo"_s << QByteArray("nonsense") << 0 << true;
    QTest::newRow("native missing") << u"ない.qlo"_s << QByteArray() << 0 << true;
    QTest::newRow("text without headings")
        << u"本文.txt"_s << QByteArray("\xEF\xBB\xBF" "no heading here\r\n") << 0 << true;
    // The text reader refuses these two without a word of its own.
    QTest::newRow("text in an unreadable encoding")
        << u"本文.txt"_s << QByteArray("\x1B$B$3$s$K$A$O\x1B(B\r\n") << 0 << false;
    QTest::newRow("csv missing") << u"ない.csv"_s << QByteArray() << 2 << false;
}

void TestDocument::failedReadLeavesNewDocument()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, openEncoding);
    QFETCH(bool, message);

    Harness h(0, 0);
    const QString path = h.data(name);
    if (!bytes.isNull())
        QVERIFY(writeBytes(path, bytes));

    h.show(Story);
    h.doc->setModified(true);
    h.doc->setOpenEncoding(openEncoding);
    h.prompter.answers = {Answer::Ok};

    QVERIFY(!h.doc->onOpenDocument(path));

    // Asked once: the reset after the failure has nothing left to lose.
    QCOMPARE(h.prompter.questions, QStringList{DiscardQuestion});
    QCOMPARE(!h.prompter.messages.isEmpty(), message);
    QCOMPARE(dump(h.doc->store()), QStringList{u"1 タイトル\r\n"_s});
    QCOMPARE(h.doc->path(), h.user + u"/Data/タイトル.qlo"_s);
    QCOMPARE(h.doc->fileType(), FileType::Native);
    QCOMPARE(h.frame.titles.last(), TitleText);
    QCOMPARE(h.doc->header().magic, u"Quilolry DataFile"_s);
    QCOMPARE(h.doc->header().formatNumber, 12000);
    QVERIFY(!h.doc->isModified());
    QCOMPARE(h.tree.calls.last(), u"rebuild"_s);
    QCOMPARE(h.editor.text(), QString()); // clear mode: "タイトル" CR LF shows nothing
    QCOMPARE(h.editor.calls.last(), u"setText"_s);
    // The file that was not understood is untouched.
    QCOMPARE(readBytes(path), bytes.isNull() ? QByteArray() : bytes);
}

void TestDocument::unknownExtension()
{
    Harness h;
    const QString path = h.data(u"メモ.doc"_s);
    QVERIFY(writeBytes(path, ".1\r\n"));
    h.doc->fileNew();
    h.clearLogs();

    // Opening shows the message and leaves an empty outline.
    QVERIFY(h.doc->openDocument(path));
    QCOMPARE(h.prompter.messages, QStringList{ExtensionMessage});
    QVERIFY(h.doc->store().items().empty());
    QCOMPARE(h.doc->fileType(), FileType::Unknown);
    QCOMPARE(h.frame.titles, QStringList{u"メモ.doc"_s});
    QCOMPARE(h.editor.text(), QString());
    QCOMPARE(h.doc->getEditorText(), QString());

    // Saving with that type writes nothing, wherever it is asked to write.
    h.show(Story);
    for (const QString &target : {h.data(u"出力.doc"_s), h.data(u"出力.qlo"_s)}) {
        QVERIFY(!h.doc->onSaveDocument(target));
        QVERIFY(!QFile::exists(target));
    }
    QCOMPARE(readBytes(path), QByteArray(".1\r\n"));
}

void TestDocument::refreshFillsEditorBeforeTreeSelects()
{
    // A tree that selects the second item when it is rebuilt.
    Harness h;
    CTreeList source;
    fill(source, Story);
    const QString path = h.data(u"順序.qlo"_s);
    QVERIFY(NativeFile::write(path, source, NativeHeader(), 0, nullptr));
    h.tree.onRebuild = [&h] { h.doc->selectItem(1); };

    QVERIFY(h.doc->openDocument(path));
    // The first item's text went back as it was loaded, not as the emptied
    // editor held it.
    QCOMPARE(dump(h.doc->store()), dump(source));
    QCOMPARE(h.doc->currentNumber(), 1);
    QCOMPARE(h.editor.text(), Story.at(1).second);
}

void TestDocument::writeBackOnSelect_data()
{
    QTest::addColumn<int>("displayLable");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed"); // the editor's text after the user's edit
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("label");

    QTest::newRow("clear mode") << 0 << u"A\r\nx"_s << u"x"_s << u"xy"_s << u"A\r\nxy"_s << u"A"_s;
    QTest::newRow("clear mode, empty text") << 0 << u"A\r\n"_s << QString() << QString() << u"A\r\n"_s << u"A"_s;
    QTest::newRow("label mode") << 1 << u"A\r\nx"_s << u"A\r\nx"_s << u"A\r\nxy"_s << u"A\r\nxy"_s << u"A"_s;
    QTest::newRow("label mode, label edited")
        << 1 << u"A\r\nx"_s << u"A\r\nx"_s << u"章\r\nx"_s << u"章\r\nx"_s << u"章"_s;
    QTest::newRow("label mode, line break removed")
        << 1 << u"A\r\nx"_s << u"A\r\nx"_s << u"Ax"_s << u"Ax"_s << QString();
}

void TestDocument::writeBackOnSelect()
{
    QFETCH(int, displayLable);
    QFETCH(QString, body);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, label);

    Harness h(displayLable);
    h.show({{1, body}, {2, u"B\r\nz"_s}});
    QCOMPARE(h.editor.text(), shown);

    h.editor.replaceAll(typed);
    h.doc->setModified(true);
    h.doc->selectItem(1);

    QCOMPARE(h.doc->store().getBody(0), stored);
    QCOMPARE(h.doc->store().items().front().label, label);
    QCOMPARE(h.tree.calls, QStringList{u"setItemLabel 0 "_s + label});
    QCOMPARE(h.doc->currentNumber(), 1);
    QCOMPARE(h.editor.text(), displayLable ? u"B\r\nz"_s : u"z"_s);
    // The second item was not touched by the write-back.
    QCOMPARE(h.doc->store().getBody(1), u"B\r\nz"_s);
}

void TestDocument::selectingCurrentItemChangesNothing()
{
    Harness h;
    h.show(Story);
    h.doc->selectItem(1);
    h.editor.select(0, 0);
    EditorState before = h.editor.state();
    h.editor.typeText(u"x"_s);
    h.doc->undoRedo().recordChange(0, before, h.editor.state());
    h.clearLogs();

    h.doc->selectItem(1);

    QVERIFY(h.tree.calls.isEmpty());
    QVERIFY(h.editor.calls.isEmpty());
    QCOMPARE(h.doc->store().getBody(1), Story.at(1).second);
    QCOMPARE(h.doc->undoRedo().undoList().size(), 1);

    // Selecting away and back empties the history.
    h.doc->selectItem(0);
    h.doc->selectItem(1);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QCOMPARE(h.editor.text(), u"x"_s + Story.at(1).second);
}

void TestDocument::selectLoadsTheItemsHistory()
{
    Harness h;
    h.show(Story);

    QByteArray undo;
    const auto appendInt = [](QByteArray &out, qint32 v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((quint32(v) >> (8 * i)) & 0xFF));
    };
    appendInt(undo, 2);
    appendInt(undo, 1); appendInt(undo, 5); appendInt(undo, 6); ArchiveString::append(undo, u"x");
    appendInt(undo, 2); appendInt(undo, 6); appendInt(undo, 5); ArchiveString::append(undo, u"字を");
    QByteArray redo;
    appendInt(redo, 1);
    appendInt(redo, 1); appendInt(redo, 0); appendInt(redo, 1); ArchiveString::append(redo, u"y");
    QVERIFY(writeBytes(h.work() + u"/QLU0002.his"_s, undo));
    QVERIFY(writeBytes(h.work() + u"/QLR0002.his"_s, redo));

    h.doc->selectItem(2);
    const QList<CMD_ITEM> expectedUndo{{1, 5, 6, 1, u"x"_s}, {2, 6, 5, 2, u"字を"_s}};
    QCOMPARE(h.doc->undoRedo().undoList(), expectedUndo);
    QCOMPARE(h.doc->undoRedo().redoList(), (QList<CMD_ITEM>{{1, 0, 1, 1, u"y"_s}}));

    // An item without files starts with empty histories.
    h.doc->selectItem(1);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QVERIFY(h.doc->undoRedo().redoList().isEmpty());
}

void TestDocument::renameCurrent_data()
{
    QTest::addColumn<int>("displayLable");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("editorAfter");
    QTest::addColumn<QString>("bodyAfter");      // right after the rename
    QTest::addColumn<QString>("bodyWrittenBack"); // after selecting another item

    QTest::newRow("label mode")
        << 1 << u"A\r\nx"_s << u"B\r\nx"_s << u"A\r\nx"_s << u"B\r\nx"_s;
    QTest::newRow("label mode, empty label line")
        << 1 << u"\r\nx"_s << u"B\r\nx"_s << u"\r\nx"_s << u"B\r\nx"_s;
    QTest::newRow("label mode, several lines")
        << 1 << u"A\r\nx\r\ny"_s << u"B\r\nx\r\ny"_s << u"A\r\nx\r\ny"_s << u"B\r\nx\r\ny"_s;
    // Prepending to a text without a line break would lose the label at
    // the next write-back.
    QTest::newRow("label mode, no line break")
        << 1 << u"Ax"_s << u"B\r\nAx"_s << u"Ax"_s << u"B\r\nAx"_s;
    QTest::newRow("clear mode") << 0 << u"A\r\nx"_s << u"x"_s << u"B\r\nx"_s << u"B\r\nx"_s;
}

void TestDocument::renameCurrent()
{
    QFETCH(int, displayLable);
    QFETCH(QString, body);
    QFETCH(QString, editorAfter);
    QFETCH(QString, bodyAfter);
    QFETCH(QString, bodyWrittenBack);

    Harness h(displayLable);
    h.show({{1, body}, {1, u"C\r\n"_s}});
    h.doc->renameCurrent(u"B"_s);

    QCOMPARE(h.tree.calls, QStringList{u"setSelectedLabel B"_s});
    QCOMPARE(h.editor.text(), editorAfter);
    QCOMPARE(h.doc->store().getBody(0), bodyAfter);
    QCOMPARE(h.doc->store().items().front().label, u"B"_s);

    h.doc->selectItem(1);
    QCOMPARE(h.doc->store().getBody(0), bodyWrittenBack);
    QCOMPARE(h.doc->store().items().front().label, u"B"_s);
}

void TestDocument::setCurrentLabel()
{
    Harness h;
    h.show(Story);
    h.doc->selectItem(2);
    h.clearLogs();
    h.doc->setCurrentLabel(u"第三章"_s);
    QCOMPARE(h.tree.calls, QStringList{u"setSelectedLabel 第三章"_s});
    QCOMPARE(labels(h.doc->store()), (QStringList{u"第一章"_s, u"場面"_s, u"第三章"_s}));
    // The body follows at the next write-back, not before.
    QCOMPARE(h.doc->store().getBody(2), Story.at(2).second);
}

void TestDocument::toggleLabelMode()
{
    Harness h(1);
    h.show({{1, u"A\r\nx"_s}});
    h.editor.replaceAll(u"A\r\nxz"_s);
    h.doc->setModified(true);

    h.doc->toggleLabelMode();
    QCOMPARE(h.doc->store().getBody(0), u"A\r\nxz"_s);
    QCOMPARE(h.editor.text(), u"xz"_s);
    QCOMPARE(h.doc->displayMode(), DisplayMode::Clear);
    QCOMPARE(h.doc->settings().Display_Lable, 0);

    h.editor.replaceAll(u"xzw"_s);
    h.doc->toggleLabelMode();
    QCOMPARE(h.doc->store().getBody(0), u"A\r\nxzw"_s);
    QCOMPARE(h.editor.text(), u"A\r\nxzw"_s);
    QCOMPARE(h.doc->displayMode(), DisplayMode::Label);
    QCOMPARE(h.doc->settings().Display_Lable, 1);

    // Single-page editing leaves mode, setting and text alone.
    h.doc->setDisplayMode(DisplayMode::SinglePage);
    h.editor.replaceAll(u"plain"_s);
    h.clearLogs();
    h.doc->toggleLabelMode();
    QCOMPARE(h.doc->displayMode(), DisplayMode::SinglePage);
    QCOMPARE(h.doc->settings().Display_Lable, 1);
    QVERIFY(h.editor.calls.isEmpty());
    QCOMPARE(h.doc->store().getBody(0), u"A\r\nxzw"_s);
}

// A typed change recorded before a rename or a mode switch must never be
// replayed on a text whose characters have moved.
void TestDocument::textHistoryFollowsProgramChanges()
{
    Harness h(1);
    h.show({{1, u"長い見出し\r\nabc"_s}});
    auto type = [&h](const QString &text) {
        EditorState before = h.editor.state();
        h.editor.typeAtEnd(text);
        h.doc->undoRedo().recordChange(0, before, h.editor.state());
    };

    // Label mode: the rename is one more change; undoing goes back through it.
    type(u"d"_s);
    h.doc->renameCurrent(u"短"_s);
    QCOMPARE(h.editor.text(), u"短\r\nabcd"_s);
    QVERIFY(h.doc->undoRedo().undoText(h.editor));
    QCOMPARE(h.editor.text(), u"長い見出し\r\nabcd"_s);
    QVERIFY(h.doc->undoRedo().undoText(h.editor));
    QCOMPARE(h.editor.text(), u"長い見出し\r\nabc"_s);
    QVERIFY(h.doc->undoRedo().redoText(h.editor));
    QVERIFY(h.doc->undoRedo().redoText(h.editor));
    QCOMPARE(h.editor.text(), u"短\r\nabcd"_s);

    // The mode switch moves every position by the label line: the history
    // is emptied rather than replayed in the wrong place.
    type(u"e"_s);
    h.doc->toggleLabelMode();
    QCOMPARE(h.editor.text(), u"abcde"_s);
    QVERIFY(h.doc->undoRedo().undoList().isEmpty());
    QVERIFY(h.doc->undoRedo().redoList().isEmpty());
    QVERIFY(!h.doc->undoRedo().undoText(h.editor));
    QCOMPARE(h.editor.text(), u"abcde"_s);
}

void TestDocument::programTextChangesKeepModified()
{
    for (const int lable : {0, 1}) {
        Harness h(lable);
        h.show(Story);
        h.doc->setModified(true);
        h.doc->selectItem(1);
        QVERIFY(h.doc->isModified());
        h.doc->renameCurrent(u"改名"_s);
        QVERIFY(h.doc->isModified());
        h.doc->toggleLabelMode();
        QVERIFY(h.doc->isModified());
        h.doc->refreshViews();
        QVERIFY(h.doc->isModified());
        h.doc->writeBack(h.doc->settings().Display_Lable != 0);
        QVERIFY(h.doc->isModified());

        // A rename alone is a change to be offered for saving.
        h.doc->setModified(false);
        h.doc->renameCurrent(u"再改名"_s);
        QVERIFY(h.doc->isModified());
    }
}

void TestDocument::renameThenSaveReachesFile_data()
{
    QTest::addColumn<int>("displayLable");
    QTest::newRow("label mode") << 1;
    QTest::newRow("clear mode") << 0;
}

void TestDocument::renameThenSaveReachesFile()
{
    QFETCH(int, displayLable);

    Harness h(displayLable);
    CTreeList source;
    fill(source, Story);
    const QString path = h.data(u"改名.qlo"_s);
    QVERIFY(NativeFile::write(path, source, NativeHeader(), 0, nullptr));
    QVERIFY(h.doc->openDocument(path));
    QVERIFY(!h.doc->isModified());

    h.doc->renameCurrent(u"序章"_s);
    h.doc->storeEditorBeforeSave();
    QVERIFY(h.doc->onSaveDocument(h.doc->path()));

    CTreeList saved;
    NativeHeader header;
    QVERIFY(NativeFile::read(path, saved, header, nullptr));
    QCOMPARE(labels(saved), (QStringList{u"序章"_s, u"場面"_s, u"第二章"_s}));
    QCOMPARE(saved.getBody(0), u"序章\r\n春の朝、窓を開けた。\r\n"_s);
}

void TestDocument::saveModified_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("saves"); // whether the save command writes a file
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<QStringList>("frameCalls");

    const QStringList saveAs{u"runSaveAs"_s};
    const QStringList single{u"runSinglePageSave"_s};
    QTest::newRow("unmodified") << false << 2 << QString() << false << true << QStringList();
    QTest::newRow("yes, saved") << true << 2 << u"Yes"_s << true << true << saveAs;
    QTest::newRow("yes, save cancelled or failed") << true << 1 << u"Yes"_s << false << false << saveAs;
    QTest::newRow("yes, single page saved") << true << 0 << u"Yes"_s << true << true << single;
    QTest::newRow("yes, single page not saved") << true << 0 << u"Yes"_s << false << false << single;
    QTest::newRow("no") << true << 2 << u"No"_s << false << true << QStringList();
    QTest::newRow("cancel") << true << 2 << u"Cancel"_s << false << false << QStringList();
}

void TestDocument::saveModified()
{
    QFETCH(bool, modified);
    QFETCH(int, mode);
    QFETCH(QString, answer);
    QFETCH(bool, saves);
    QFETCH(bool, goOn);
    QFETCH(QStringList, frameCalls);

    Harness h;
    h.show(Story);
    h.editor.typeAtEnd(u"未保存"_s);
    h.doc->setModified(modified);
    h.doc->setDisplayMode(mode);
    h.prompter.answers = script(answer);
    const auto save = [&h, saves] {
        if (saves)
            h.doc->setModified(false);
        return saves;
    };
    h.frame.saveAs = save;
    h.frame.singlePageSave = save;

    QCOMPARE(h.doc->saveModified(), goOn);
    QCOMPARE(h.prompter.questions, modified ? QStringList{SaveQuestion} : QStringList());
    QCOMPARE(h.frame.calls, frameCalls);
    // Staying open keeps the text as it was.
    if (!goOn) {
        QVERIFY(h.doc->isModified());
        QVERIFY(h.editor.text().endsWith(u"未保存"_s));
    }
}

void TestDocument::endOfRunWritesSettings()
{
    Harness h(1);
    h.show(Story);
    h.doc->toggleLabelMode();
    h.doc->settings().LabelTop = u"【"_s;
    QVERIFY(writeBytes(h.work() + u"/QuilloryTempFile.txt"_s, "x"));
    QVERIFY(QDir().mkpath(h.work() + u"/keep"_s));
    h.backend.clearLog();

    h.doc->endOfRun();

    QCOMPARE(h.backend.writes().size(), QuillorySettings::KeyCount);
    QCOMPARE(h.backend.raw(SettingsSection::Settings, u"Display_Lable").toInt(), 0);
    QCOMPARE(h.backend.raw(SettingsSection::Settings, u"LabelTop").toString(), u"【"_s);
    QCOMPARE(h.backend.raw(SettingsSection::Settings, u"User_Path").toString(), h.user);
    QVERIFY(h.doc->store().items().empty());
    QVERIFY(h.doc->store().bodies().isEmpty());
    QCOMPARE(filesIn(h.work()), QStringList());
    QVERIFY(QFileInfo(h.work() + u"/keep"_s).isDir());

    // What was written is what the next run reads.
    CQuilloryDoc next(h.backend, nullptr, [] { return QString(); });
    QCOMPARE(next.displayMode(), DisplayMode::Clear);
    QCOMPARE(next.settings().LabelTop, u"【"_s);
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
