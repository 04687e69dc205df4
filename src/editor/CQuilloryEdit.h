#pragma once
#include "platform/EditorPanePort.h"

#include <QPlainTextEdit>

class CQuilloryDoc;
class StatusPanes;

// The editor pane: the current item's text. Every user change goes into the
// document's text history; the program's own replacements never do.
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

signals:
    void commandStateChanged();
};
