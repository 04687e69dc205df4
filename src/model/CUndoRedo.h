#pragma once
#include <QList>
#include <QString>

class EditorPanePort;
class Prompter;

// One recorded change of the editor's text. Positions and counts are UTF-16
// code units of the editor text (a line break is CR LF).
//
// kind 1: `text` was inserted at `start`; undo deletes it and puts the caret
//         at `start`, redo inserts it again and puts the caret at `end`.
// kind 2: `text` was deleted at `end`; undo inserts it there and puts the
//         caret at `start`, redo deletes it and puts the caret at `end`.
// kind 0: the text did not change.
// 10 is added (10, 11, 12) when the replace command made the change.
//
// A change that replaced characters by others is two records: a deletion
// (kind 2 or 12) and, right after it, the insertion that completes it
// (kind 21, or 31 from the replace command). Undo and redo treat the two as
// one change. These two kinds exist only in memory; history files hold the
// others.
struct CMD_ITEM
{
    enum Kind : qint32 {
        NoChange = 0,
        Inserted = 1,
        Deleted = 2,
        ReplaceCommand = 10,      // added to the kind
        JoinedInsert = 21,        // completes the deletion before it
        JoinedReplaceInsert = 31, // the same, from the replace command
        // A history file's record of kind 21 or 31 is loaded as this one:
        // those files know no joined records, and to them these kinds were
        // replace-command records without effect.
        InertReplace = 13,
    };

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

// The text history of the item in the editor: one change per record (two for
// a replacement), undone and redone on the editor pane. History files of an
// item ("QLU%04d.his", "QLR%04d.his" in the work folder) are only ever read.
class CUndoRedo
{
public:
    const QList<CMD_ITEM> &undoList() const { return m_undoList; }
    const QList<CMD_ITEM> &redoList() const { return m_redoList; }

    // Appends the change from `before` to `after`, empties the redo list and
    // makes `before` a copy of `after`. The change is found by comparing the
    // two texts, so one undo gives back exactly `before.text` and one redo
    // exactly `after.text`, whatever the carets say. Costs the size of the
    // change plus at most one comparison pass over the text.
    void recordChange(qint32 replaceFlag, EditorState &before, const EditorState &after);

    // False when there was nothing to undo or redo. One call takes back (or
    // applies again) one change, or two consecutive changes of the replace
    // command. The editor's text is set without being recorded.
    bool undoText(EditorPanePort &editor);
    bool redoText(EditorPanePort &editor);

    // Append the records of item `number`'s history file, if there is one.
    // A file that is missing or cannot be opened is no history: true, and
    // nothing said. A file that ends early is a read failure: the message
    // goes to the prompter (may be null), the records read before it stay,
    // and false is returned.
    bool loadUndoFile(const QString &folder, qint32 number, Prompter *prompter);
    bool loadRedoFile(const QString &folder, qint32 number, Prompter *prompter);
    // What selecting item `number` needs: empties both lists, loads the undo
    // file and, unless that failed, the redo file. False after a failure.
    bool loadHistoryFiles(const QString &folder, qint32 number, Prompter *prompter);

    static QString undoFileName(qint32 number);
    static QString redoFileName(qint32 number);

    // Empties both lists.
    void clear();
    // Empties both lists and deletes the files directly inside `folder`:
    // plain files and links (the link itself, never what it points to).
    // Subfolders are left alone, nothing is entered, and entries that cannot
    // be deleted stay without a word. An empty `folder` deletes nothing.
    void resetText(const QString &folder);

    // One line "s = <start>  e = <end>  <text>\r\n" per record, first first.
    QString listTextUndo() const;
    QString listTextRedo() const;

private:
    bool loadFile(const QString &folder, const QString &name, QList<CMD_ITEM> &list,
                  Prompter *prompter);

    QList<CMD_ITEM> m_undoList;
    QList<CMD_ITEM> m_redoList;
};
