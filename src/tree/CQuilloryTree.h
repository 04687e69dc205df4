#pragma once
#include "platform/TreePanePort.h"

#include <QTreeView>

#include <optional>

class CQuilloryDoc;
class OutlineTreeModel;

// The tree pane: the outline's labels nested by level. It reads the store
// through its own item model and runs the structural commands on it.
//
// Registers itself as the document's tree pane on construction and
// unregisters on destruction.
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
    // runCommand is false when the id was not run; true when it was, even
    // if the edit found nothing to do (a move up of a first child).
    static bool handlesCommand(int id);
    bool isCommandEnabled(int id) const;
    bool runCommand(int id);

    // TreePanePort
    void deleteAllItems() override;
    void setItemLabel(qint32 number, const QString &label) override;
    void setSelectedLabel(const QString &label) override;
    // Builds the tree from the store, selects the first top-level item
    // (which makes it the document's current item) and expands or collapses
    // everything by the expand flag. An empty store leaves an empty tree.
    // A caller that means to keep the current item takes its number first
    // and selects it afterwards.
    void rebuild() override;
    // Selects the row of that number, if there is one, and makes it visible.
    void selectItem(qint32 number) override;

    // The number of the selected row; -1 when nothing is selected.
    qint32 selectedNumber() const;
    // Ends an in-place label edit that is still open, keeping what was
    // typed: a save or a close must not pass it by.
    void commitLabelEdit();
    OutlineTreeModel *outlineModel() const { return m_model; }

signals:
    // Selection, outline or history changed: command enabling may differ.
    void commandStateChanged();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    void onCurrentChanged(const QModelIndex &current);
    void onRenameRequested(qint32 number, const QString &label);
    void applyTreeFont();
    void expandAllItems(bool expand);
    void collapseAllItems();
    void setCurrentRow(const QModelIndex &index);
    void runEdit(std::optional<qint32> result);
    void deleteSelected(qint32 selected);
    void replayHistory(bool undo);

    CQuilloryDoc &m_doc;
    OutlineTreeModel *m_model = nullptr;
    QString m_fontName;
    qint32 m_fontSize = 0;
    qint32 m_textColour = 0;
    qint32 m_backColour = 0;
    qint32 m_expand = 0;
    // Set while the pane moves the selection itself and tells the document
    // afterwards (the rows of a delete going away).
    bool m_quiet = false;
};
