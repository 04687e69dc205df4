#pragma once
#include "platform/EditorPanePort.h"

#include <QPlainTextEdit>
#include <QPointer>

class CQuilloryDoc;
class FindReplaceDialog;
class QMenu;
class StatusPanes;

// The editor pane: the current item's text. Every user change goes into the
// document's text history; the program's own replacements never do.
//
// Inside the program the text has CR LF line breaks and every position
// (selection, history records) counts a line break as two units; the widget
// counts one. The pane keeps a CR LF copy of its text up to date change by
// change, so text() costs nothing and a keystroke copies the text once.
class CQuilloryEdit : public QPlainTextEdit, public EditorPanePort
{
    Q_OBJECT

public:
    CQuilloryEdit(CQuilloryDoc &doc, StatusPanes *status, QWidget *parent = nullptr);
    ~CQuilloryEdit() override;

    // Font, margins, colours and the page format from the document's settings.
    void applySettings();

    // Editor commands (text undo/redo, cut, copy, paste, select all, find,
    // find next, replace, print): as for the tree pane.
    static bool handlesCommand(int id);
    bool isCommandEnabled(int id) const;
    bool runCommand(int id);

    // EditorPanePort
    QString text() const override;
    void setText(const QString &text) override;
    void setCaret(qint32 position) override;
    void giveFocus() override;

    // Position in the CR LF text <-> position in the widget's document. A
    // text position between a CR and its LF maps to the end of that line.
    qint32 textPosition(int widgetPosition) const;
    int widgetPosition(qint32 textPosition) const;

    // The caret as last shown in the status bar: display row (a visual line
    // of the wrapped text) and column within it, both from 0.
    qint32 cursorRow() const { return m_cursorRow; }
    qint32 cursorColumn() const { return m_cursorColumn; }
    // The page format of the status bar, copied at applySettings().
    qint32 charsPerLine() const { return m_charsPerLine; }
    qint32 linesPerPage() const { return m_linesPerPage; }

    // Status panes 1 to 4 (mode, characters, sheets, pages) and pane 5
    // (caret). A pane is written only when its text differs from the last.
    void refreshStatusMetrics();
    void showCursorPosition();

    // Search in the text from the selection; wraps around the end (or the
    // start, searching up). Selects the match; false when there is none.
    bool findText(const QString &what, bool matchCase, bool down);
    // F3: the last search again; opens the find dialog when there was none.
    void findNext();
    // The replace dialog's steps, recorded as replacements. replaceSelection
    // replaces the selection when it is the text searched for, then finds
    // the next one. replaceAll replaces every occurrence as one change and
    // returns how many there were. Any line break in `what` or `with` is
    // taken as the text's CR LF.
    bool replaceSelection(const QString &what, const QString &with, bool matchCase);
    int replaceAll(const QString &what, const QString &with, bool matchCase);

signals:
    // Emitted on activation and when undo, redo, the selection or the
    // text's emptiness changed; not on every key.
    void commandStateChanged();

protected:
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void onContentsChange(int from, int removed, int added);
    void rebuildMirror();
    QString widgetText(int from, int to) const;

    void takeBeforeState();
    void handleEditorChange(const QString &oldText, qint32 changeStart);
    bool labelMode() const;

    void cutToClipboard();
    void pasteFromClipboard();
    void undoOrRedo(bool redo);
    void commandStateMayHaveChanged();
    void openFindDialog(bool replace);
    void printText();
    void showContextMenu(const QPoint &globalPos);

    // Display row and column of a widget position.
    void rowAndColumnAt(int widgetPosition, qint32 &row, qint32 &column);
    void layOutBlocksBefore(int blockNumber);
    void updateRows(const QString &oldText, qsizetype start, qsizetype oldEnd, qsizetype newEnd);
    void recountRows();
    void selectTextRange(qint32 start, qint32 end);

    CQuilloryDoc &m_doc;
    StatusPanes *m_status = nullptr;

    // The text as the program sees it (CR LF), always equal to the widget's.
    QString m_text;
    // A buffer of the text's size that nobody holds any more, kept for the
    // next change.
    QString m_spare;
    quint64 m_revision = 0;
    bool m_settingText = false;
    // The before-state was taken for the change to come (else the change's
    // own start stands in for the caret).
    bool m_beforeFresh = false;
    // A change was tracked; the caret's row follows once the layout has it.
    bool m_changePending = false;

    qint32 m_cursorRow = 0;
    qint32 m_cursorColumn = 0;
    qint32 m_charsPerLine = 0;
    qint32 m_linesPerPage = 0;
    qint32 m_margin = 10;

    // Rows of the text in rows of 20 and of charsPerLine characters, kept
    // with every change so that a repaint does not walk the text.
    qint64 m_rows20 = 0;
    qint64 m_rowsUser = 0;

    // Blocks before this one have their wrapped lines counted by the layout.
    int m_laidOutBlocks = 0;

    // Where the label line ends (the first CR, -1 for none) in the text of
    // m_labelEndRevision.
    qsizetype m_labelEnd = -1;
    quint64 m_labelEndRevision = ~quint64(0);
    // Panes 1 to 4 as last written.
    QString m_paneTexts[4];
    QString m_lastCursorPane;

    QString m_findWhat;
    bool m_findMatchCase = false;
    bool m_findDown = true;
    QPointer<FindReplaceDialog> m_findDialog;
    QPointer<FindReplaceDialog> m_replaceDialog;
    QMenu *m_contextMenu = nullptr;
    // What the commands' enabling was last announced for.
    int m_commandState = -1;
};
