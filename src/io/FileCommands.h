#pragma once
#include <QString>
#include <QStringList>

#include <functional>

class CQuilloryDoc;
class FileChooser;
class SettingsBackend;

// The four most recently opened documents, kept in the store's
// "Recent File List" section as File1 (newest) to File4. Every change is
// written at once, so a crash does not lose the list.
class RecentFileList
{
public:
    static constexpr int Size = 4;

    explicit RecentFileList(SettingsBackend &backend);

    const QStringList &files() const { return m_files; }
    // Puts `path` first, dropping an older entry of the same path and the
    // oldest entry beyond Size.
    void add(const QString &path);
    void remove(const QString &path);

private:
    void write();

    SettingsBackend &m_backend;
    QStringList m_files;
};

// The File menu's New, Open, Save and Save As on the document, with the
// backups of native files and the recent-file list. Dialogs go through the
// file chooser and messages through the document's prompter, so the
// commands run the same in the window and in tests.
//
// Save writes without a dialog only to a file this document came from or
// was saved to, or to a path where no file exists yet. Anything else, such
// as the "タイトル.qlo" of a new document when an earlier document of that
// name is already on disk, goes through Save As, so that a save never
// silently replaces another document.
class FileCommands
{
public:
    FileCommands(CQuilloryDoc &doc, SettingsBackend &settings, FileChooser &chooser);

    // New: an empty document, unless the user keeps unsaved changes.
    void fileNew();
    // Open: the dialog, then openFile() with the chosen encoding. False when
    // cancelled or when nothing was opened.
    bool fileOpen();
    // Opens `path` as the document (asking about unsaved changes first) with
    // the encoding of the last Open dialog; the way recent files and the
    // command line open. Success puts the path first in the recent files.
    bool openFile(const QString &path);

    // Save and Save As: true only when the document's file was written. The
    // modified flag is cleared only then.
    bool fileSave();
    bool fileSaveAs();
    // Both are offered while the document holds an outline (not single-page text).
    bool canSave() const;

    // The backup of a native file written to `path`: User_Path/Backup/<base>.bak.
    // Does nothing (true) for other kinds or while BackupFile is off. A
    // failing backup has shown its message and gives false; the save it
    // follows stays successful.
    bool makeBackup(const QString &path);
    // Where the backup of `path` goes; empty when `path` is not a native file.
    QString backupPathFor(const QString &path) const;

    const QStringList &recentFiles() const { return m_recent.files(); }
    // Told the whole list after every change.
    void setRecentFilesChanged(std::function<void(const QStringList &)> changed)
    {
        m_recentChanged = std::move(changed);
    }

private:
    bool isBound() const;
    bool saveTo(const QString &path);
    void recentChanged();

    CQuilloryDoc &m_doc;
    FileChooser &m_chooser;
    RecentFileList m_recent;
    std::function<void(const QStringList &)> m_recentChanged;
    // The file the document's content was read from or last written to;
    // empty for a new document.
    QString m_boundPath;
};
