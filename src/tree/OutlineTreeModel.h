#pragma once
#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QString>

#include <vector>

class CTreeList;

// The outline as a tree of labels, read straight from the store. All the
// model keeps of its own are index arrays built in one pass at each rebuild
// (who hangs under whom, in which row) and the labels the pane was told
// to show; the store must outlive the model.
//
// The store changes under the model only through structural edits, after
// which the pane either rebuilds or removes the deleted rows: between the
// two the rows still stand for what the store held at the last rebuild.
class OutlineTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // The item number behind a row, as an int.
    static constexpr int NumberRole = Qt::UserRole;

    explicit OutlineTreeModel(const CTreeList &store, QObject *parent = nullptr);

    // A model reset that builds the tree anew from the store: an item hangs,
    // as the last child so far, under the latest item before it whose level
    // is one less; without one (and at levels below 2) it is a top-level row.
    // Items below level 1 never take children.
    void rebuild();
    // A model reset to no rows at all.
    void clear();
    // A model reset that keeps every row as it is: views drop what they
    // hold of the rows (expanded branches, the current row) in one go,
    // which for many rows costs far less than letting go of them one by one.
    void resetViews();

    // O(1); an invalid index when the number has no row.
    QModelIndex indexOfNumber(qint32 number) const;
    // -1 for an invalid index.
    qint32 numberAt(const QModelIndex &index) const;
    bool hasRow(qint32 number) const { return nodeOf(number) >= 0; }
    // The text the row shows; "" without a row.
    QString label(qint32 number) const;
    // The row's text from now until the next rebuild; false without a row.
    bool setLabel(qint32 number, const QString &label);

    // The item to select once `number` has gone with its subtree: its next
    // sibling, else its parent, else its previous sibling; -1 for none.
    qint32 neighbourAfterRemoval(qint32 number) const;
    // Removes the row of `number` with every row under it (one rowsRemoved,
    // no reset); false without a row.
    bool removeItem(qint32 number);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // An edited label is not taken here: it is handed on through
    // renameRequested and false is returned, so the text shown changes only
    // when the document renames the item.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    void renameRequested(qint32 number, const QString &label);

private:
    // Nodes are the items' positions in the store's list at the last
    // rebuild; the root is the node one past the last.
    qint32 root() const { return qint32(m_number.size()); }
    qint32 nodeOf(qint32 number) const;
    qint32 nodeAt(const QModelIndex &index) const;
    QModelIndex indexOfNode(qint32 node) const;
    QString labelOfNode(qint32 node) const;
    void buildFromStore();

    const CTreeList &m_store;
    std::vector<qint32> m_number;     // node -> item number
    std::vector<qint32> m_parent;     // node -> parent node (root() for top level)
    std::vector<qint32> m_row;        // node -> row under its parent
    std::vector<qint32> m_childBegin; // node (and root) -> first slot in m_children
    std::vector<qint32> m_childCount; // node (and root) -> rows under it
    std::vector<qint32> m_children;   // child nodes, each parent's in one run
    std::vector<qint32> m_nodeOf;     // item number -> node; -1 without a row
    QHash<qint32, QString> m_labels;  // node -> text set by the pane
    QIcon m_sheet;
    QIcon m_openFolder;
};
