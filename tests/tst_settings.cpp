#include "FileBytes.h"

#include "settings/FrameSettings.h"
#include "settings/QuillorySettings.h"
#include "settings/SettingsBackend.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Every key with its field, written out by hand in the documented order, so
// that the production table is checked against an independent list.
QList<std::pair<QString, QVariant>> fieldsOf(const QuillorySettings &s)
{
    return {
        {u"Tree_FontSize"_s, s.Tree_FontSize},
        {u"Edit_FontSize"_s, s.Edit_FontSize},
        {u"Edit_Margin"_s, s.Edit_Margin},
        {u"Tree_FontColor"_s, s.Tree_FontColor},
        {u"Tree_BackColor"_s, s.Tree_BackColor},
        {u"Edit_FontColor"_s, s.Edit_FontColor},
        {u"Edit_BackColor"_s, s.Edit_BackColor},
        {u"Page_Row"_s, s.Page_Row},
        {u"Page_Col"_s, s.Page_Col},
        {u"EditEncode"_s, s.EditEncode},
        {u"Tree_FontName"_s, s.Tree_FontName},
        {u"Edit_FontName"_s, s.Edit_FontName},
        {u"User_Path"_s, s.User_Path},
        {u"Editor_File"_s, s.Editor_File},
        {u"Appli_File"_s, s.Appli_File},
        {u"LabelTop"_s, s.LabelTop},
        {u"LabelEnd"_s, s.LabelEnd},
        {u"TextPathName"_s, s.TextPathName},
        {u"Display_Lable"_s, s.Display_Lable},
        {u"TreeExpand"_s, s.TreeExpand},
        {u"TitleText"_s, s.TitleText},
        {u"BackupFile"_s, s.BackupFile},
        {u"BLabelLine"_s, s.BLabelLine},
        {u"LabelNameFlag"_s, s.LabelNameFlag},
        {u"FileSaveMsg"_s, s.FileSaveMsg},
        {u"TextPath"_s, s.TextPath},
    };
}

QStringList keysInOrder()
{
    QStringList keys;
    for (const auto &[key, value] : fieldsOf(QuillorySettings([] { return QString(); })))
        keys.append(key);
    return keys;
}

QVariant fieldByKey(const QuillorySettings &s, const QString &key)
{
    for (const auto &[k, value] : fieldsOf(s)) {
        if (k == key)
            return value;
    }
    return {};
}

const QString TestDocuments = u"/home/試験/文書"_s;

QuillorySettings::DocumentsFolderSource fixedDocuments(const QString &folder)
{
    return [folder] { return folder; };
}

// Values far from the defaults, chosen to trip an INI file up: line feeds,
// CR LF, tabs, commas, quotes, ';', '=', '#', backslashes, a leading '@'
// (vertical font names start with it), an empty string where the default is
// not empty, and integers at the ends of the range.
void setUnusualValues(QuillorySettings &s)
{
    s.Tree_FontSize = 9;
    s.Edit_FontSize = 72;
    s.Edit_Margin = 0;
    s.Tree_FontColor = 0x00123456;
    s.Tree_BackColor = 0x00FEDCBA;
    s.Edit_FontColor = -1;
    s.Edit_BackColor = std::numeric_limits<qint32>::max();
    s.Page_Row = 0;
    s.Page_Col = -3;
    s.EditEncode = 7;
    s.Tree_FontName = u"@ＭＳ 明朝"_s;
    s.Edit_FontName = u"Noto Sans CJK JP"_s;
    s.User_Path = u"/home/利用者/書類/作品 保存, 先"_s;
    s.Editor_File = u"/usr/bin/エディタ \"x\"; #1=2"_s;
    s.Appli_File = u"C:\\Program Files\\アプリ\\app.exe"_s;
    s.LabelTop = u"\r\n■ 第一章\t"_s;
    s.LabelEnd = u"\n\n"_s;
    s.TextPathName = QString();
    s.Display_Lable = 0;
    s.TreeExpand = 0;
    s.TitleText = 5;
    s.BackupFile = 0;
    s.BLabelLine = 1;
    s.LabelNameFlag = 0;
    s.FileSaveMsg = std::numeric_limits<qint32>::min();
    s.TextPath = 0;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void firstRunDefaults_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const QString &key, const QVariant &value) {
            QTest::newRow(qPrintable(key)) << key << value;
        };
        row(u"Tree_FontSize"_s, 20);
        row(u"Edit_FontSize"_s, 22);
        row(u"Edit_Margin"_s, 10);
        row(u"Tree_FontColor"_s, 0);
        row(u"Tree_BackColor"_s, 16777215);
        row(u"Edit_FontColor"_s, 0);
        row(u"Edit_BackColor"_s, 16777215);
        row(u"Page_Row"_s, 30);
        row(u"Page_Col"_s, 40);
        row(u"EditEncode"_s, 2);
        row(u"Tree_FontName"_s, u"メイリオ"_s);
        row(u"Edit_FontName"_s, u"メイリオ"_s);
        row(u"User_Path"_s, u"/home/試験/文書/Quillory/User"_s);
        row(u"Editor_File"_s, QString());
        row(u"Appli_File"_s, QString());
        row(u"LabelTop"_s, QString::fromUtf16(u"\u000A\u3010\u0020"));
        row(u"LabelEnd"_s, QString::fromUtf16(u"\u0020\u3011\u000A"));
        row(u"TextPathName"_s, u"c:\\"_s);
        row(u"Display_Lable"_s, 1);
        row(u"TreeExpand"_s, 1);
        row(u"TitleText"_s, 1);
        row(u"BackupFile"_s, 1);
        row(u"BLabelLine"_s, 0);
        row(u"LabelNameFlag"_s, 1);
        row(u"FileSaveMsg"_s, 1);
        row(u"TextPath"_s, 1);
    }
    void firstRunDefaults()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, expected);

        // A field that already holds something else must still get the
        // default when the store has no value.
        QuillorySettings fromEmptyStore(fixedDocuments(TestDocuments));
        setUnusualValues(fromEmptyStore);
        MemorySettingsBackend empty;
        fromEmptyStore.exchangeSettings(false, empty);
        QCOMPARE(fieldByKey(fromEmptyStore, key), expected);

        // The same defaults before anything is read.
        QCOMPARE(fieldByKey(QuillorySettings(fixedDocuments(TestDocuments)), key), expected);

        // And the default is what a read asks the store for.
        bool asked = false;
        for (const MemorySettingsBackend::Access &read : empty.reads()) {
            if (read.key == key) {
                QCOMPARE(read.section, u"Settings"_s);
                QCOMPARE(read.value, expected);
                asked = true;
            }
        }
        QVERIFY(asked);
    }

    void derivedFoldersOnFirstRun_data()
    {
        QTest::addColumn<QString>("documents");
        QTest::addColumn<QString>("userFolder");
        QTest::newRow("Documents folder") << TestDocuments << u"/home/試験/文書/Quillory/User"_s;
        QTest::newRow("no Documents folder") << QString() << u"/Quillory/User"_s;
    }
    void derivedFoldersOnFirstRun()
    {
        QFETCH(QString, documents);
        QFETCH(QString, userFolder);

        QuillorySettings s(fixedDocuments(documents));
        MemorySettingsBackend empty;
        s.exchangeSettings(false, empty);
        QCOMPARE(s.User_Path, userFolder);
        QCOMPARE(s.userFolder(), userFolder);
        QCOMPARE(s.workFolder(), userFolder + u"/Work"_s);
    }

    void defaultUserFolderFollowsThePlatform()
    {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QuillorySettings s;
        MemorySettingsBackend empty;
        s.exchangeSettings(false, empty);
        QCOMPARE(s.User_Path, documents + u"/Quillory/User"_s);
    }

    // The default is not remembered from an earlier exchange.
    void defaultUserFolderIsRecomputedOnEveryRead()
    {
        QString documents = u"/home/一/文書"_s;
        QuillorySettings s([&documents] { return documents; });
        MemorySettingsBackend empty;
        s.exchangeSettings(false, empty);
        QCOMPARE(s.User_Path, u"/home/一/文書/Quillory/User"_s);

        documents = u"/home/二/文書"_s;
        s.exchangeSettings(false, empty);
        QCOMPARE(s.User_Path, u"/home/二/文書/Quillory/User"_s);
        QCOMPARE(s.workFolder(), u"/home/二/文書/Quillory/User/Work"_s);
    }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("ini");
        QTest::addColumn<bool>("unusual");
        QTest::newRow("memory, defaults") << false << false;
        QTest::newRow("memory, unusual values") << false << true;
        QTest::newRow("INI file, defaults") << true << false;
        QTest::newRow("INI file, unusual values") << true << true;
    }
    void roundTrip()
    {
        QFETCH(bool, ini);
        QFETCH(bool, unusual);

        QuillorySettings written(fixedDocuments(u"/home/書き手/文書"_s));
        if (unusual)
            setUnusualValues(written);
        // The reader has another Documents folder: a User_Path it gets
        // must come from the store, not from its own default.
        QuillorySettings read(fixedDocuments(u"/home/読み手/文書"_s));

        if (ini) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QString path = dir.filePath(u"設定ファイル.ini"_s);
            {
                QSettings file(path, QSettings::IniFormat);
                QSettingsBackend backend(file);
                written.exchangeSettings(true, backend);
            }
            QVERIFY(QFile::exists(path));
            QSettings file(path, QSettings::IniFormat);
            QCOMPARE(file.status(), QSettings::NoError);
            QSettingsBackend backend(file);
            read.exchangeSettings(false, backend);
        } else {
            MemorySettingsBackend backend;
            written.exchangeSettings(true, backend);
            read.exchangeSettings(false, backend);
        }

        const auto expected = fieldsOf(written);
        const auto actual = fieldsOf(read);
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual[i].first, expected[i].first);
            QCOMPARE(actual[i].second, expected[i].second);
        }
        QCOMPARE(read.userFolder(), written.User_Path);
        QCOMPARE(read.workFolder(), written.User_Path + u"/Work"_s);
    }

    void writesAndReadsFollowTheKeyOrder()
    {
        const QStringList order = keysInOrder();
        QCOMPARE(order.size(), QuillorySettings::KeyCount);

        QuillorySettings s(fixedDocuments(TestDocuments));
        setUnusualValues(s);
        MemorySettingsBackend backend;
        s.exchangeSettings(true, backend);
        QCOMPARE(backend.reads().size(), 0);

        QStringList written;
        for (const MemorySettingsBackend::Access &w : backend.writes()) {
            QCOMPARE(w.section, u"Settings"_s);
            QCOMPARE(w.value, fieldByKey(s, w.key));
            written.append(w.key);
        }
        QCOMPARE(written, order);

        // Integers go in as integers, strings as strings.
        QCOMPARE(backend.raw(SettingsSection::Settings, u"Tree_BackColor").typeId(), int(QMetaType::Int));
        QCOMPARE(backend.raw(SettingsSection::Settings, u"TitleText").typeId(), int(QMetaType::Int));
        QCOMPARE(backend.raw(SettingsSection::Settings, u"TextPathName").typeId(), int(QMetaType::QString));

        QuillorySettings reader(fixedDocuments(TestDocuments));
        backend.clearLog();
        reader.exchangeSettings(false, backend);
        QStringList readKeys;
        for (const MemorySettingsBackend::Access &r : backend.reads())
            readKeys.append(r.key);
        QCOMPARE(readKeys, order);
    }

    void readingWritesNothing()
    {
        MemorySettingsBackend memory;
        memory.setRaw(SettingsSection::Settings, u"Page_Row", 25);
        QuillorySettings s(fixedDocuments(TestDocuments));
        s.exchangeSettings(false, memory);
        QCOMPARE(s.Page_Row, 25);
        QVERIFY(memory.writes().isEmpty());
        QCOMPARE(memory.size(), 1);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // An empty store stays empty: no file appears.
        const QString missing = dir.filePath(u"まだない.ini"_s);
        {
            QSettings file(missing, QSettings::IniFormat);
            QSettingsBackend backend(file);
            s.exchangeSettings(false, backend);
        }
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(s.Page_Row, 30);

        // A store with a few values is left byte for byte.
        const QString partial = dir.filePath(u"一部.ini"_s);
        const QByteArray bytes = "[Settings]\nPage_Row=25\nTree_FontName=\xe6\x98\x8e\xe6\x9c\x9d\n";
        QVERIFY(writeBytes(partial, bytes));
        {
            QSettings file(partial, QSettings::IniFormat);
            QSettingsBackend backend(file);
            s.exchangeSettings(false, backend);
        }
        QCOMPARE(s.Page_Row, 25);
        QCOMPARE(s.Tree_FontName, u"明朝"_s);
        QCOMPARE(readBytes(partial), bytes);
    }

    void workFolderIsPlainConcatenation_data()
    {
        QTest::addColumn<QString>("userPath");
        QTest::addColumn<QString>("workFolder");
        QTest::newRow("no trailing separator") << u"/home/u/ユーザー"_s << u"/home/u/ユーザー/Work"_s;
        QTest::newRow("trailing separator doubles") << u"/home/u/ユーザー/"_s << u"/home/u/ユーザー//Work"_s;
        QTest::newRow("empty") << QString() << u"/Work"_s;
    }
    void workFolderIsPlainConcatenation()
    {
        QFETCH(QString, userPath);
        QFETCH(QString, workFolder);

        // Right after reading a stored value...
        MemorySettingsBackend backend;
        backend.setRaw(SettingsSection::Settings, u"User_Path", userPath);
        QuillorySettings s(fixedDocuments(TestDocuments));
        s.exchangeSettings(false, backend);
        QCOMPARE(s.userFolder(), userPath);
        QCOMPARE(s.workFolder(), workFolder);

        // ...and right after writing one changed in memory.
        QuillorySettings t(fixedDocuments(TestDocuments));
        t.User_Path = userPath;
        QCOMPARE(t.workFolder(), u"/home/試験/文書/Quillory/User/Work"_s);
        t.exchangeSettings(true, backend);
        QCOMPARE(t.userFolder(), userPath);
        QCOMPARE(t.workFolder(), workFolder);
    }

    void frameDefaults()
    {
        MemorySettingsBackend empty;
        FrameSettings frame;
        frame.Pain_Width = 1;
        frame.ApplicationLook = 1;
        frame.read(empty);
        QCOMPARE(frame.Pain_Width, 100);
        QCOMPARE(frame.ApplicationLook, 210);
        QVERIFY(empty.writes().isEmpty());
    }

    void painWidthIsNeverStoredBelow80_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("stored");
        QTest::newRow("default") << 100 << 100;
        QTest::newRow("wide") << 1200 << 1200;
        QTest::newRow("80") << 80 << 80;
        QTest::newRow("79") << 79 << 80;
        QTest::newRow("0") << 0 << 80;
        QTest::newRow("negative") << -20 << 80;
    }
    void painWidthIsNeverStoredBelow80()
    {
        QFETCH(int, width);
        QFETCH(int, stored);

        // A narrow width read from the store is taken as it is...
        MemorySettingsBackend backend;
        backend.setRaw(SettingsSection::Settings, u"Pain_Width", width);
        FrameSettings frame;
        frame.read(backend);
        QCOMPARE(frame.Pain_Width, width);

        // ...and raised when it goes back.
        frame.writePainWidth(backend);
        QCOMPARE(backend.writes().size(), 1);
        QCOMPARE(backend.writes().first().section, u"Settings"_s);
        QCOMPARE(backend.writes().first().key, u"Pain_Width"_s);
        QCOMPARE(backend.raw(SettingsSection::Settings, u"Pain_Width"), QVariant(stored));
        QCOMPARE(frame.Pain_Width, width);
    }

    void applicationLookLivesInWorkspace()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"外観.ini"_s);
        {
            QSettings file(path, QSettings::IniFormat);
            QSettingsBackend backend(file);
            FrameSettings frame;
            frame.ApplicationLook = 216;
            frame.writeApplicationLook(backend);
        }
        QSettings file(path, QSettings::IniFormat);
        QCOMPARE(file.childGroups(), QStringList{u"Workspace"_s});
        QSettingsBackend backend(file);
        FrameSettings frame;
        frame.read(backend);
        QCOMPARE(frame.ApplicationLook, 216);
        QCOMPARE(frame.Pain_Width, 100);
    }

    // What a hand-edited or foreign INI file may hold in an integer key.
    void unreadableIntegerKeepsDefault_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QVariant>("value"); // invalid: the default stays
        QTest::newRow("word") << QByteArray("abc") << QVariant();
        QTest::newRow("empty") << QByteArray("") << QVariant();
        QTest::newRow("trailing junk") << QByteArray("12abc") << QVariant();
        QTest::newRow("fraction") << QByteArray("1.5") << QVariant();
        QTest::newRow("too large") << QByteArray("99999999999") << QVariant();
        QTest::newRow("list") << QByteArray("1, 2") << QVariant();
        QTest::newRow("invalid marker") << QByteArray("@Invalid()") << QVariant();
        QTest::newRow("Japanese digits") << QByteArray("\xef\xbc\x91\xef\xbc\x92") << QVariant();
        QTest::newRow("negative") << QByteArray("-7") << QVariant(-7);
        QTest::newRow("unsigned 32-bit wraps") << QByteArray("4294967295") << QVariant(-1);
        QTest::newRow("plain") << QByteArray("33") << QVariant(33);
    }
    void unreadableIntegerKeepsDefault()
    {
        QFETCH(QByteArray, text);
        QFETCH(QVariant, value);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"壊れた設定.ini"_s);
        // Edit_Margin is readable in every case, to show the file was read.
        QVERIFY(writeBytes(path, "[Settings]\nTree_FontSize=" + text + "\nEdit_Margin=4\nTree_BackColor="
                                    + text + "\nPain_Width=" + text + "\n[Workspace]\nApplicationLook="
                                    + text + "\n"));
        QSettings file(path, QSettings::IniFormat);
        QSettingsBackend backend(file);
        QuillorySettings s(fixedDocuments(TestDocuments));
        s.exchangeSettings(false, backend);
        FrameSettings frame;
        frame.read(backend);

        QCOMPARE(s.Edit_Margin, 4);
        QCOMPARE(s.Tree_FontSize, value.isValid() ? value.toInt() : 20);
        QCOMPARE(s.Tree_BackColor, value.isValid() ? value.toInt() : 0xFFFFFF);
        QCOMPARE(frame.Pain_Width, value.isValid() ? value.toInt() : 100);
        QCOMPARE(frame.ApplicationLook, value.isValid() ? value.toInt() : 210);
    }

    void unreadableStringKeepsDefault_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("value");
        QTest::newRow("unquoted list") << QByteArray("a, b") << u"メイリオ"_s;
        QTest::newRow("invalid marker") << QByteArray("@Invalid()") << u"メイリオ"_s;
        QTest::newRow("quoted comma") << QByteArray("\"a, b\"") << u"a, b"_s;
        QTest::newRow("number") << QByteArray("12") << u"12"_s;
        QTest::newRow("empty") << QByteArray("") << QString();
    }
    void unreadableStringKeepsDefault()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, value);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"文字列.ini"_s);
        QVERIFY(writeBytes(path, "[Settings]\nTree_FontName=" + text + "\nEdit_Margin=4\n"));
        QSettings file(path, QSettings::IniFormat);
        QSettingsBackend backend(file);
        QuillorySettings s(fixedDocuments(TestDocuments));
        s.exchangeSettings(false, backend);
        QCOMPARE(s.Edit_Margin, 4);
        QCOMPARE(s.Tree_FontName, value);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
