#pragma once
#include "io/CStringCode.h"
#include "io/NativeFile.h"
#include "model/CTreeList.h"
#include "model/CUndoRedo.h"
#include "settings/QuillorySettings.h"

#include <QString>

class EditorPanePort;
class FramePort;
class Prompter;
class SettingsBackend;
class TreePanePort;

// How the editor pane presents the outline.
namespace DisplayMode {
inline constexpr int SinglePage = 0; // a plain text file, no outline
inline constexpr int Clear = 1;      // bodies without their label line
inline constexpr int Label = 2;      // whole bodies, label line first
} // namespace DisplayMode

// The last file of node import: start name and extension of its dialogs.
struct NodeFileIdentity
{
    QString path;
    QString name;
    QString extension;
    qint32 type = 0;
};

// The program's single document, alive from start-up to exit and reused for
// every new, opened or single-page content. Owns the outline store, the text
// history and a copy of every setting; keeps the editor pane's text and the
// store in step. Panes, frame and user are reached only through the ports
// and the prompter, any of which may be missing (calls to it are skipped; a
// question nobody can answer counts as Cancel).
//
// The unsaved-changes flag is the document's own: the editor pane sets it on
// every user change, and only a reset, a new document, a successful open or
// a successful save clears it. Putting text into the editor never does.
class CQuilloryDoc
{
public:
    // Reads every setting once from `backend`, which must outlive the
    // document: endOfRun() writes them back there.
    CQuilloryDoc(SettingsBackend &backend, Prompter *prompter,
                 QuillorySettings::DocumentsFolderSource documentsFolder = getDocumentsFolder);
    CQuilloryDoc(const CQuilloryDoc &) = delete;
    CQuilloryDoc &operator=(const CQuilloryDoc &) = delete;

    void setTreePane(TreePanePort *tree) { m_tree = tree; }
    void setEditorPane(EditorPanePort *editor) { m_editor = editor; }
    void setFrame(FramePort *frame) { m_frame = frame; }

    // The work of the end of the run, called once by the application after
    // the user agreed to close: empties the store, deletes the files of the
    // work folder and writes all settings.
    void endOfRun();
    void saveSettings();

    // --- Lifecycle -------------------------------------------------------
    // One item "タイトル" in the Data folder; false when the user declined to
    // drop unsaved changes (nothing is changed then).
    bool onNewDocument();
    // The New command: a new document shown in both panes.
    void fileNew();
    // Reads the file by its extension with the encoding of the last open
    // dialog. A file that cannot be read leaves a new document behind (shown
    // in the panes) and gives false, so no half-read outline keeps the path
    // of the file it failed to read.
    bool onOpenDocument(const QString &path);
    // Opening as the Open command does it: offer to save unsaved changes,
    // read the file, show it in both panes.
    bool openDocument(const QString &path);
    // Writes the outline to `path` in the document's file type and encoding;
    // an unrecognised type writes nothing and fails.
    bool onSaveDocument(const QString &path);
    // Before closing or replacing: true to go on. "Yes" saves through the
    // frame and goes on only when a file was really written.
    bool saveModified();
    // Empties document, panes and work folder; false, with nothing changed,
    // when the user keeps unsaved changes.
    bool resetForReplace();
    // The editor gets the current item's text, then the tree rebuilds (and
    // selects an item, which may call selectItem()).
    void refreshViews();

    // Path, file name, extension and file type from `path`; an unrecognised
    // extension shows a message and gives type 0.
    void setPathAndType(const QString &path);
    void setNodeFilePathAndType(const QString &path);

    // --- Keeping the editor and the store in step ------------------------
    // Makes `number` the current item: the editor's text goes back into the
    // old one, the new one's text into the editor, and the text history is
    // reloaded. The current item and numbers without a body change nothing.
    void selectItem(qint32 number);
    // Stores the editor's text into the current item; withLabel says whether
    // the editor shows the label line.
    void writeBack(bool withLabel);
    QString getEditorText() const;
    // Before a save: the editor's text into the current body when changed.
    void storeEditorBeforeSave();
    // The editor changed the label line in label mode.
    void setCurrentLabel(const QString &label);
    // The user renamed the current item in the tree.
    void renameCurrent(const QString &label);
    // Switches between clear and label mode, flipping Display_Lable; does
    // nothing in single-page mode.
    void toggleLabelMode();

    int displayMode() const { return m_displayMode; }
    void setDisplayMode(int mode) { m_displayMode = mode; }

    // True while the editor pane is the active view, false while the tree is.
    bool editorActive() const { return m_editorActive; }
    void setEditorActive(bool active) { m_editorActive = active; }

    void setModified(bool modified) { m_modified = modified; }
    bool isModified() const { return m_modified; }

    // --- State -------------------------------------------------------------
    const QString &path() const { return m_path; }
    const QString &fileName() const { return m_fileName; }
    const QString &extension() const { return m_extension; }
    qint32 fileType() const { return m_fileType; }
    void setFileType(qint32 type) { m_fileType = type; }
    qint32 fileEncoding() const { return m_fileEncoding; }
    void setFileEncoding(qint32 encoding) { m_fileEncoding = encoding; }
    // The encoding chosen in the last open dialog (0, detect, until one is
    // used); copied into the file encoding by every open.
    qint32 openEncoding() const { return m_openEncoding; }
    void setOpenEncoding(qint32 encoding) { m_openEncoding = encoding; }
    const QString &defaultTitle() const { return m_defaultTitle; }
    const NodeFileIdentity &nodeFile() const { return m_nodeFile; }
    qint32 currentNumber() const { return m_currentNumber; }
    const NativeHeader &header() const { return m_header; }

    CTreeList &store() { return m_store; }
    const CTreeList &store() const { return m_store; }
    CUndoRedo &undoRedo() { return m_undoRedo; }
    const CUndoRedo &undoRedo() const { return m_undoRedo; }
    const CStringCode &stringCode() const { return m_stringCode; }
    QuillorySettings &settings() { return m_settings; }
    const QuillorySettings &settings() const { return m_settings; }
    Prompter *prompter() const { return m_prompter; }

    // The editor pane's snapshots around a change and the replace flag,
    // handed to the text history.
    EditorState &beforeState() { return m_beforeState; }
    EditorState &afterState() { return m_afterState; }
    qint32 replaceFlag() const { return m_replaceFlag; }
    void setReplaceFlag(qint32 flag) { m_replaceFlag = flag; }

    // User_Path + separator + "Data": where new documents are named.
    QString dataFolder() const;

private:
    bool labelShown() const { return m_settings.Display_Lable != 0; }
    int modeFromSetting() const { return labelShown() ? DisplayMode::Label : DisplayMode::Clear; }
    // What the editor shows of item `number` in the current mode.
    QString editorTextOf(qint32 number) const;
    void setEditorText(const QString &text);
    void setWindowTitle(const QString &title);
    void restoreTreeColumn();

    SettingsBackend &m_backend;
    Prompter *m_prompter = nullptr;
    TreePanePort *m_tree = nullptr;
    EditorPanePort *m_editor = nullptr;
    FramePort *m_frame = nullptr;

    CStringCode m_stringCode;
    NativeHeader m_header;
    QString m_path;
    QString m_fileName;
    QString m_extension;
    qint32 m_fileType = 0;
    qint32 m_currentNumber = 0;
    NodeFileIdentity m_nodeFile;
    QString m_defaultTitle;
    CTreeList m_store;
    qint32 m_fileEncoding = 0;
    qint32 m_openEncoding = 0;
    int m_displayMode = DisplayMode::Label;
    CUndoRedo m_undoRedo;
    QuillorySettings m_settings;
    bool m_modified = false;
    bool m_editorActive = false;

    EditorState m_beforeState;
    EditorState m_afterState;
    qint32 m_replaceFlag = 0;
};
