#pragma once
#include <QList>
#include <QString>

class EditorPanePort;
class Prompter;

// One recorded change of the editor's text. kind: 0 same length, 1 inserted,
// 2 deleted, plus 10 when the replace command made it. Positions and counts
// are UTF-16 code units of the editor text (a line break is CR LF).
struct CMD_ITEM
{
    qint32 kind = 0;
    qint32 start = 0;
    qint32 end = 0;
    qint32 count = 0;
    QString text;

    friend bool operator==(const CMD_ITEM &, const CMD_ITEM &) = default;
};

// The editor's state around a change; the editor pane fills it.
struct EditorState
{
    qint32 selectionStart = 0;
    qint32 selectionEnd = 0;
    qint32 length = 0;
    QString text;

    friend bool operator==(const EditorState &, const EditorState &) = default;
};

// The text history of the item in the editor: one record per change, undone
// and redone on the editor pane. History files of an item ("QLU%04d.his",
// "QLR%04d.his" in the work folder) are only ever read.
class CUndoRedo
{
public:
    const QList<CMD_ITEM> &undoList() const { return m_undoList; }
    const QList<CMD_ITEM> &redoList() const { return m_redoList; }

    // Appends the change from `before` to `after`, empties the redo list and
    // makes `before` a copy of `after`.
    void recordChange(qint32 replaceFlag, EditorState &before, const EditorState &after);

    // False when there was nothing to undo or redo.
    bool undoText(EditorPanePort &editor);
    bool redoText(EditorPanePort &editor);

    // Append the records of item `number`'s history file, if there is one.
    // A file that ends early is a read failure: the message goes to the
    // prompter, the records read before it stay, and false is returned.
    bool loadUndoFile(const QString &folder, qint32 number, Prompter *prompter);
    bool loadRedoFile(const QString &folder, qint32 number, Prompter *prompter);

    // Empties both lists.
    void clear();
    // Empties both lists and deletes the plain files directly inside
    // `folder` (never recursing, never following links).
    void resetText(const QString &folder);

    QString listTextUndo() const;
    QString listTextRedo() const;

private:
    QList<CMD_ITEM> m_undoList;
    QList<CMD_ITEM> m_redoList;
};
