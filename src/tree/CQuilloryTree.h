#pragma once
#include "platform/TreePanePort.h"

#include <QTreeView>

class CQuilloryDoc;

// The tree pane: the outline's labels nested by level. It reads the store
// through its own item model and runs the structural commands on it.
class CQuilloryTree : public QTreeView, public TreePanePort
{
    Q_OBJECT

public:
    explicit CQuilloryTree(CQuilloryDoc &doc, QWidget *parent = nullptr);
    ~CQuilloryTree() override;

    // Font, colours and the expand flag from the document's settings.
    void applySettings();

    // Tree commands (add, move, raise, lower, expand, collapse, tree undo,
    // tree redo, delete): whether this pane runs the id at all, whether it
    // may run now, and running it (nothing happens when it may not).
    static bool handlesCommand(int id);
    bool isCommandEnabled(int id) const;
    bool runCommand(int id);

    // TreePanePort
    void deleteAllItems() override;
    void setItemLabel(qint32 number, const QString &label) override;
    void setSelectedLabel(const QString &label) override;
    void rebuild() override;
    void selectItem(qint32 number) override;

signals:
    // Selection, outline or history changed: command enabling may differ.
    void commandStateChanged();
};
