#pragma once
#include "FakeEditorPane.h"
#include "FakePanes.h"
#include "RecordingPrompter.h"

#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <utility>

// Values planted in the "Settings" group before anything reads them.
using SettingValues = QList<std::pair<QString, qint32>>;

// A user folder with a Japanese name, in a temporary folder of its own, and
// an in-memory settings store that points the program at it. Data, Backup,
// Work and Text are made, unless the program under test is to make them.
struct UserFolderFixture
{
    enum Folders { MakeFolders, NoFolders };

    explicit UserFolderFixture(const SettingValues &settings = {}, Folders folders = MakeFolders)
    {
        if (folders == MakeFolders) {
            for (const char16_t *sub : {u"/Data", u"/Backup", u"/Work", u"/Text"})
                QDir().mkpath(user + QString::fromUtf16(sub));
        }
        backend.setRaw(SettingsSection::Settings, u"User_Path", user);
        for (const auto &[key, value] : settings)
            backend.setRaw(SettingsSection::Settings, key, value);
    }

    QString data(const QString &name) const { return user + QStringLiteral("/Data/") + name; }
    QString backup(const QString &name) const { return user + QStringLiteral("/Backup/") + name; }
    QString work() const { return user + QStringLiteral("/Work"); }

    QTemporaryDir temp{QDir::tempPath() + QStringLiteral("/利用者_XXXXXX")};
    QString user = temp.path() + QStringLiteral("/ユーザー");
    MemorySettingsBackend backend;
    RecordingPrompter prompter;
};

// A document on such a folder, its panes and frame played by the fakes. No
// Documents folder is looked up: the user folder is always set.
struct DocumentFixture : UserFolderFixture
{
    explicit DocumentFixture(const SettingValues &settings = {})
        : UserFolderFixture(settings)
    {
        doc = std::make_unique<CQuilloryDoc>(backend, &prompter, [] { return QString(); });
        doc->setTreePane(&tree);
        doc->setEditorPane(&editor);
        doc->setFrame(&frame);
    }

    FakeTreePane tree;
    FakeEditorPane editor;
    FakeFrame frame;
    std::unique_ptr<CQuilloryDoc> doc;
};
