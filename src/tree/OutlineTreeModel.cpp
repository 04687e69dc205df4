#include "tree/OutlineTreeModel.h"

#include "model/CTreeList.h"
#include "tree/TreeImages.h"

#include <array>
#include <unordered_map>

OutlineTreeModel::OutlineTreeModel(const CTreeList &store, QObject *parent)
    : QAbstractItemModel(parent)
    , m_store(store)
    , m_sheet(TreeImages::sheet())
    , m_openFolder(TreeImages::openFolder())
{
    m_childBegin.assign(1, 0);
    m_childCount.assign(1, 0);
}

void OutlineTreeModel::rebuild()
{
    beginResetModel();
    buildFromStore();
    endResetModel();
}

void OutlineTreeModel::clear()
{
    beginResetModel();
    m_number.clear();
    m_parent.clear();
    m_row.clear();
    m_children.clear();
    m_nodeOf.clear();
    m_childBegin.assign(1, 0);
    m_childCount.assign(1, 0);
    m_labels.clear();
    endResetModel();
}

void OutlineTreeModel::resetViews()
{
    beginResetModel();
    endResetModel();
}

void OutlineTreeModel::buildFromStore()
{
    const CTreeList::ItemList &items = m_store.items();
    const size_t count = items.size();
    const qint32 rootNode = qint32(count);
    m_number.resize(count);
    m_parent.resize(count);
    m_row.resize(count);
    m_children.resize(count);
    m_childBegin.assign(count + 1, 0);
    m_childCount.assign(count + 1, 0);
    m_nodeOf.assign(size_t(m_store.bodies().size()), -1);
    m_labels.clear();

    // The last node placed at each level. Levels the tree normally shows
    // live in the table; anything deeper, which only a damaged outline
    // holds, in the map, so no level reads or writes outside either.
    std::array<qint32, 256> lastAtLevel;
    lastAtLevel.fill(-1);
    std::unordered_map<qint32, qint32> lastAtDeeper;
    const auto lastAt = [&](qint32 level) -> qint32 & {
        return size_t(level) < lastAtLevel.size() ? lastAtLevel[size_t(level)]
                                                  : lastAtDeeper.try_emplace(level, -1).first->second;
    };

    qint32 node = 0;
    for (const TREE_ITEM &item : items) {
        m_number[size_t(node)] = item.number;
        if (item.number >= 0 && size_t(item.number) < m_nodeOf.size())
            m_nodeOf[size_t(item.number)] = node;
        qint32 parent = rootNode;
        if (item.level >= 2) {
            const qint32 above = lastAt(item.level - 1);
            if (above >= 0)
                parent = above;
        }
        m_parent[size_t(node)] = parent;
        m_row[size_t(node)] = m_childCount[size_t(parent)]++;
        if (item.level >= 1)
            lastAt(item.level) = node;
        ++node;
    }

    // Each parent's children in one run of m_children, in row order.
    qint32 offset = 0;
    for (size_t n = 0; n <= count; ++n) {
        m_childBegin[n] = offset;
        offset += m_childCount[n];
    }
    for (size_t n = 0; n < count; ++n)
        m_children[size_t(m_childBegin[size_t(m_parent[n])] + m_row[n])] = qint32(n);
}

qint32 OutlineTreeModel::nodeOf(qint32 number) const
{
    return number >= 0 && size_t(number) < m_nodeOf.size() ? m_nodeOf[size_t(number)] : -1;
}

qint32 OutlineTreeModel::nodeAt(const QModelIndex &index) const
{
    return index.isValid() ? qint32(index.internalId()) : root();
}

QModelIndex OutlineTreeModel::indexOfNode(qint32 node) const
{
    if (node < 0 || node >= root())
        return {};
    return createIndex(m_row[size_t(node)], 0, quintptr(node));
}

QModelIndex OutlineTreeModel::indexOfNumber(qint32 number) const
{
    return indexOfNode(nodeOf(number));
}

qint32 OutlineTreeModel::numberAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    return m_number[size_t(nodeAt(index))];
}

QString OutlineTreeModel::labelOfNode(qint32 node) const
{
    const auto set = m_labels.constFind(node);
    if (set != m_labels.constEnd())
        return *set;
    const auto pos = m_store.findItem(m_number[size_t(node)]);
    return pos != m_store.items().end() ? pos->label : QString();
}

QString OutlineTreeModel::label(qint32 number) const
{
    const qint32 node = nodeOf(number);
    return node >= 0 ? labelOfNode(node) : QString();
}

bool OutlineTreeModel::setLabel(qint32 number, const QString &label)
{
    const qint32 node = nodeOf(number);
    if (node < 0)
        return false;
    m_labels.insert(node, label);
    const QModelIndex index = indexOfNode(node);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

qint32 OutlineTreeModel::neighbourAfterRemoval(qint32 number) const
{
    const qint32 node = nodeOf(number);
    if (node < 0)
        return -1;
    const qint32 parent = m_parent[size_t(node)];
    const qint32 row = m_row[size_t(node)];
    const qint32 begin = m_childBegin[size_t(parent)];
    if (row + 1 < m_childCount[size_t(parent)])
        return m_number[size_t(m_children[size_t(begin + row + 1)])];
    if (parent != root())
        return m_number[size_t(parent)];
    if (row > 0)
        return m_number[size_t(m_children[size_t(begin + row - 1)])];
    return -1;
}

bool OutlineTreeModel::removeItem(qint32 number)
{
    const qint32 node = nodeOf(number);
    if (node < 0)
        return false;
    const qint32 parent = m_parent[size_t(node)];
    const qint32 row = m_row[size_t(node)];

    beginRemoveRows(indexOfNode(parent), row, row);
    // Close the gap among the siblings: only the later ones move up a row.
    const qint32 begin = m_childBegin[size_t(parent)];
    const qint32 count = m_childCount[size_t(parent)];
    for (qint32 r = row + 1; r < count; ++r) {
        const qint32 sibling = m_children[size_t(begin + r)];
        m_children[size_t(begin + r - 1)] = sibling;
        m_row[size_t(sibling)] = r - 1;
    }
    m_childCount[size_t(parent)] = count - 1;

    // The removed rows no longer answer to their numbers.
    std::vector<qint32> pending{node};
    while (!pending.empty()) {
        const qint32 gone = pending.back();
        pending.pop_back();
        const qint32 goneNumber = m_number[size_t(gone)];
        if (goneNumber >= 0 && size_t(goneNumber) < m_nodeOf.size())
            m_nodeOf[size_t(goneNumber)] = -1;
        m_labels.remove(gone);
        const qint32 first = m_childBegin[size_t(gone)];
        for (qint32 r = 0; r < m_childCount[size_t(gone)]; ++r)
            pending.push_back(m_children[size_t(first + r)]);
    }
    endRemoveRows();
    return true;
}

QModelIndex OutlineTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || (parent.isValid() && parent.model() != this))
        return {};
    const qint32 node = nodeAt(parent);
    if (row >= m_childCount[size_t(node)])
        return {};
    return createIndex(row, 0, quintptr(m_children[size_t(m_childBegin[size_t(node)] + row)]));
}

QModelIndex OutlineTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return indexOfNode(m_parent[size_t(nodeAt(child))]);
}

int OutlineTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_childCount[size_t(nodeAt(parent))];
}

int OutlineTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool OutlineTreeModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant OutlineTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const qint32 node = nodeAt(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return labelOfNode(node);
    case Qt::DecorationRole:
        return m_childCount[size_t(node)] > 0 ? m_openFolder : m_sheet;
    case NumberRole:
        return m_number[size_t(node)];
    default:
        return {};
    }
}

Qt::ItemFlags OutlineTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool OutlineTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    emit renameRequested(m_number[size_t(nodeAt(index))], value.toString());
    return false;
}
