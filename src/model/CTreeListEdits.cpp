// Outline relations, the working list and the structural edits of CTreeList.
//
// Cost: every lookup by number goes through the number -> position table, so
// each record costs O(1). In a regular outline (see levelsAreRegular) each
// relation is a walk from the item over its own run or its siblings' runs; an
// outline whose levels jump is indexed once per edit (one pass), because
// there a subtree need not be one run and its items may lie far apart.
#include "model/CTreeList.h"

#include "Messages.h"
#include "model/BodyText.h"
#include "platform/Prompter.h"

#include <unordered_map>

using namespace Qt::StringLiterals;

// The tree the pane builds: each item under the last item seen one level
// up, children in list order. Indices are list positions.
struct CTreeList::TreeShape
{
    std::vector<qint32> number;
    std::vector<qint32> parent;
    std::vector<qint32> firstChild;
    std::vector<qint32> lastChild;
    std::vector<qint32> nextSibling;
    std::vector<qint32> indexOf; // by item number; -1 when not in the outline

    qint32 index(qint32 n) const
    {
        return n >= 0 && size_t(n) < indexOf.size() ? indexOf[size_t(n)] : -1;
    }
    qint32 numberAt(qint32 i) const { return i < 0 ? -1 : number[size_t(i)]; }
};

namespace {

QString newItemBody(qint32 number)
{
    return u"%1\r\n"_s.arg(number, 4, 10, QLatin1Char('0'));
}

void showTooDeep(Prompter *prompter)
{
    if (prompter)
        prompter->showMessage(QString::fromUtf16(Msg::TooDeep));
}

} // namespace

std::unique_ptr<CTreeList::TreeShape> CTreeList::shapeIfIrregular() const
{
    if (m_irregular == 0)
        return nullptr;
    auto shape = std::make_unique<TreeShape>();
    const size_t count = m_items.size();
    shape->number.resize(count);
    shape->parent.assign(count, -1);
    shape->firstChild.assign(count, -1);
    shape->lastChild.assign(count, -1);
    shape->nextSibling.assign(count, -1);
    shape->indexOf.assign(m_where.size(), -1);

    // The last item seen at each level; a table for any level the tree can
    // show, a map for whatever a caller may have put beyond.
    std::vector<qint32> lastAtLevel(256, -1);
    std::unordered_map<qint32, qint32> lastAtDeeper;
    const auto lastAt = [&](qint32 level) -> qint32 & {
        return size_t(level) < lastAtLevel.size() ? lastAtLevel[size_t(level)]
                                                  : lastAtDeeper.try_emplace(level, -1).first->second;
    };
    qint32 lastTopLevel = -1;
    qint32 i = 0;
    for (const TREE_ITEM &item : m_items) {
        shape->number[size_t(i)] = item.number;
        shape->indexOf[size_t(item.number)] = i;
        const qint32 parent = item.level >= 2 ? lastAt(item.level - 1) : -1;
        shape->parent[size_t(i)] = parent;
        qint32 &last = parent < 0 ? lastTopLevel : shape->lastChild[size_t(parent)];
        if (last >= 0)
            shape->nextSibling[size_t(last)] = i;
        else if (parent >= 0)
            shape->firstChild[size_t(parent)] = i;
        last = i;
        if (item.level >= 1)
            lastAt(item.level) = i;
        ++i;
    }
    return shape;
}

qint32 CTreeList::parentOf(qint32 number, const TreeShape *shape) const
{
    if (shape) {
        const qint32 i = shape->index(number);
        return i < 0 ? -1 : shape->numberAt(shape->parent[size_t(i)]);
    }
    ItemPos pos = findItem(number);
    if (pos == m_items.end() || pos->level <= 1)
        return -1;
    const qint32 level = pos->level;
    while (pos != m_items.begin()) {
        --pos;
        if (pos->level < level)
            return pos->number; // one less: the outline is regular
    }
    return -1;
}

qint32 CTreeList::previousSibling(qint32 number, const TreeShape *shape) const
{
    if (shape) {
        const qint32 i = shape->index(number);
        if (i < 0)
            return -1;
        const qint32 parent = shape->parent[size_t(i)];
        // Walk the parent's children (or the top level) up to i.
        qint32 sibling = parent >= 0 ? shape->firstChild[size_t(parent)] : 0;
        qint32 previous = -1;
        while (sibling >= 0 && sibling != i) {
            previous = sibling;
            sibling = shape->nextSibling[size_t(sibling)];
        }
        return shape->numberAt(previous);
    }
    ItemPos pos = findItem(number);
    if (pos == m_items.end())
        return -1;
    const qint32 level = pos->level;
    while (pos != m_items.begin()) {
        --pos;
        if (pos->level <= level)
            return pos->level == level ? pos->number : -1;
    }
    return -1;
}

qint32 CTreeList::nextSibling(qint32 number, const TreeShape *shape) const
{
    if (shape) {
        const qint32 i = shape->index(number);
        return i < 0 ? -1 : shape->numberAt(shape->nextSibling[size_t(i)]);
    }
    ItemPos pos = findItem(number);
    if (pos == m_items.end())
        return -1;
    const qint32 level = pos->level;
    for (++pos; pos != m_items.end(); ++pos) {
        if (pos->level <= level)
            return pos->level == level ? pos->number : -1;
    }
    return -1;
}

qint32 CTreeList::firstChild(qint32 number, const TreeShape *shape) const
{
    if (shape) {
        const qint32 i = shape->index(number);
        return i < 0 ? -1 : shape->numberAt(shape->firstChild[size_t(i)]);
    }
    const ItemPos pos = findItem(number);
    if (pos == m_items.end())
        return -1;
    const ItemPos next = std::next(pos);
    return next != m_items.end() && next->level > pos->level ? next->number : -1;
}

qint32 CTreeList::lastDescendant(qint32 number, const TreeShape *shape) const
{
    if (shape) {
        qint32 i = shape->index(number);
        if (i < 0)
            return -1;
        while (shape->lastChild[size_t(i)] >= 0)
            i = shape->lastChild[size_t(i)];
        return shape->numberAt(i);
    }
    const ItemPos pos = findItem(number);
    if (pos == m_items.end())
        return -1;
    ItemPos last = pos;
    for (ItemPos it = std::next(pos); it != m_items.end() && it->level > pos->level; ++it)
        last = it;
    return last->number;
}

qint32 CTreeList::endOfLaterSiblings(qint32 number, const TreeShape *shape) const
{
    if (shape) {
        qint32 i = shape->index(number);
        if (i < 0 || shape->nextSibling[size_t(i)] < 0)
            return -1;
        while (shape->nextSibling[size_t(i)] >= 0)
            i = shape->nextSibling[size_t(i)];
        return lastDescendant(shape->numberAt(i), shape);
    }
    const ItemPos pos = findItem(number);
    if (pos == m_items.end())
        return -1;
    // The rest of the parent's run: later siblings and their subtrees.
    bool sibling = false;
    ItemPos last = pos;
    for (ItemPos it = std::next(pos); it != m_items.end() && it->level >= pos->level; ++it) {
        sibling = sibling || it->level == pos->level;
        last = it;
    }
    return sibling ? last->number : -1;
}

void CTreeList::collectSubtree(qint32 number, bool withItself, const TreeShape *shape)
{
    m_buffer.clear();
    const ItemPos pos = findItem(number);
    if (pos == m_items.end())
        return;
    if (withItself)
        m_buffer.append(*pos);
    if (!shape) {
        for (ItemPos it = std::next(pos); it != m_items.end() && it->level > pos->level; ++it)
            m_buffer.append(*it);
        return;
    }
    // Pre-order over the indexed tree, without a stack: down to the first
    // child, else across, else up until an ancestor has a next sibling.
    const qint32 top = shape->index(number);
    qint32 node = shape->firstChild[size_t(top)];
    while (node >= 0) {
        m_buffer.append(*m_where[size_t(shape->number[size_t(node)])]);
        if (shape->firstChild[size_t(node)] >= 0) {
            node = shape->firstChild[size_t(node)];
            continue;
        }
        while (node != top && shape->nextSibling[size_t(node)] < 0)
            node = shape->parent[size_t(node)];
        node = node == top ? -1 : shape->nextSibling[size_t(node)];
    }
}

qint32 CTreeList::parentOf(qint32 number) const
{
    return parentOf(number, shapeIfIrregular().get());
}

qint32 CTreeList::previousSibling(qint32 number) const
{
    return previousSibling(number, shapeIfIrregular().get());
}

qint32 CTreeList::nextSibling(qint32 number) const
{
    return nextSibling(number, shapeIfIrregular().get());
}

qint32 CTreeList::firstChild(qint32 number) const
{
    return firstChild(number, shapeIfIrregular().get());
}

qint32 CTreeList::lastDescendant(qint32 number) const
{
    return lastDescendant(number, shapeIfIrregular().get());
}

void CTreeList::collectSubtree(qint32 number, bool withItself)
{
    collectSubtree(number, withItself, shapeIfIrregular().get());
}

void CTreeList::copyToBuffer(qint32 number)
{
    const ItemPos pos = findItem(number);
    if (pos != m_items.end())
        m_buffer.append(*pos);
}

void CTreeList::shiftBufferLevels(qint32 delta)
{
    for (TREE_ITEM &item : m_buffer)
        item.level += delta;
}

qint32 CTreeList::getPrevNumber(qint32 number) const
{
    const ItemPos pos = findItem(number);
    if (pos == m_items.end() || pos == m_items.begin())
        return -1;
    return std::prev(pos)->number;
}

qint32 CTreeList::newItem(qint32 selected, ItemList::iterator before, qint32 level)
{
    const qint32 v = qint32(m_bodies.size());
    const QString body = newItemBody(v);
    addBody(body);
    const TREE_ITEM item{v, level, labelFromBody(body)};
    const auto pos = insertItem(before, item);
    const qint32 anchor = pos == m_items.begin() ? -1 : std::prev(pos)->number;
    m_undoSteps.append(TREE_UNDO{1, anchor, selected, v, TREE_UNDO::Added, item});
    return v;
}

qint32 CTreeList::addAbove(qint32 selected)
{
    const auto pos = mutableFind(selected);
    if (pos == m_items.end())
        return newItem(selected, m_items.begin(), 1);
    return newItem(selected, pos, pos->level);
}

qint32 CTreeList::addAfter(qint32 selected, qint32 after, qint32 level)
{
    const auto pos = mutableFind(after);
    return newItem(selected, pos == m_items.end() ? pos : std::next(pos), level);
}

bool CTreeList::cutBuffer(qint32 uSelect, qint32 rSelect, qint32 kind)
{
    const qsizetype k = m_buffer.size();
    // Look every item up first, blanking its table entry so that an item
    // listed twice is caught as missing; nothing has moved yet.
    std::vector<ItemList::iterator> at(static_cast<size_t>(k), m_items.end());
    for (qsizetype i = k - 1; i >= 0; --i) {
        const qint32 number = m_buffer.at(i).number;
        const auto pos = mutableFind(number);
        if (pos == m_items.end()) {
            for (qsizetype j = k - 1; j > i; --j)
                m_where[size_t(m_buffer.at(j).number)] = at[size_t(j)];
            return false;
        }
        at[size_t(i)] = pos;
        m_where[size_t(number)] = m_items.end();
    }
    for (qsizetype i = k - 1; i >= 0; --i) {
        const auto pos = at[size_t(i)];
        const qint32 anchor = pos == m_items.begin() ? -1 : std::prev(pos)->number;
        eraseItem(pos);
        m_undoSteps.append(TREE_UNDO{qint32(k), anchor, uSelect, rSelect, kind, m_buffer.at(i)});
    }
    return true;
}

bool CTreeList::insertBufferAt(ItemList::iterator before, qint32 uSelect, qint32 rSelect)
{
    const qsizetype k = m_buffer.size();
    // Last to first, each before the one just inserted: buffer order.
    for (qsizetype i = k - 1; i >= 0; --i) {
        const TREE_ITEM &item = m_buffer.at(i);
        if (!isValidIndex(item.number) || m_where[size_t(item.number)] != m_items.end()) {
            for (qsizetype done = k - 1 - i; done > 0; --done)
                eraseItem(m_where[size_t(m_undoSteps.takeLast().item.number)]);
            return false;
        }
        before = insertItem(before, item);
        const qint32 anchor = before == m_items.begin() ? -1 : std::prev(before)->number;
        m_undoSteps.append(TREE_UNDO{qint32(k), anchor, uSelect, rSelect, TREE_UNDO::MoveInsert, item});
    }
    return true;
}

bool CTreeList::insertBufferBefore(qint32 target)
{
    return insertBufferAt(mutableFind(target), target, target);
}

bool CTreeList::insertBufferAfter(qint32 selected, qint32 after)
{
    const auto pos = mutableFind(after);
    return insertBufferAt(pos == m_items.end() ? pos : std::next(pos), selected, selected);
}

std::optional<qint32> CTreeList::editAddAbove(qint32 s)
{
    if (!contains(s))
        return std::nullopt;
    m_redoSteps.clear();
    return addAbove(s);
}

std::optional<qint32> CTreeList::editAddBelow(qint32 s)
{
    if (!contains(s))
        return std::nullopt;
    const qint32 t = lastDescendant(s, shapeIfIrregular().get());
    m_redoSteps.clear();
    return addAfter(s, t, getLevel(s));
}

std::optional<qint32> CTreeList::editAddChild(qint32 s)
{
    if (!contains(s))
        return std::nullopt;
    const qint32 level = getLevel(s) + 1;
    if (level > MaxLevel) {
        showTooDeep(m_prompter);
        return std::nullopt;
    }
    const qint32 t = lastDescendant(s, shapeIfIrregular().get());
    m_redoSteps.clear();
    return addAfter(s, t, level);
}

std::optional<qint32> CTreeList::editMoveUp(qint32 s)
{
    const auto shape = shapeIfIrregular();
    const qint32 p = previousSibling(s, shape.get());
    if (p < 0)
        return std::nullopt;
    collectSubtree(s, true, shape.get());
    m_redoSteps.clear();
    cutBuffer(s, s, TREE_UNDO::MoveCut);
    insertBufferBefore(p);
    clearBuffer();
    return s;
}

std::optional<qint32> CTreeList::editMoveDown(qint32 s)
{
    const auto shape = shapeIfIrregular();
    const qint32 q = nextSibling(s, shape.get());
    if (q < 0)
        return std::nullopt;
    const qint32 t = lastDescendant(q, shape.get());
    collectSubtree(s, true, shape.get());
    m_redoSteps.clear();
    cutBuffer(s, s, TREE_UNDO::MoveCut);
    insertBufferAfter(s, t);
    clearBuffer();
    return s;
}

std::optional<qint32> CTreeList::editRaiseLevel(qint32 s)
{
    const auto shape = shapeIfIrregular();
    if (parentOf(s, shape.get()) < 0)
        return std::nullopt;
    qint32 b = endOfLaterSiblings(s, shape.get());
    if (b < 0)
        b = getPrevNumber(s);
    collectSubtree(s, true, shape.get());
    m_redoSteps.clear();
    cutBuffer(s, s, TREE_UNDO::MoveCut);
    shiftBufferLevels(-1);
    insertBufferAfter(s, b);
    clearBuffer();
    return s;
}

std::optional<qint32> CTreeList::editLowerLevel(qint32 s)
{
    const auto shape = shapeIfIrregular();
    if (previousSibling(s, shape.get()) < 0)
        return std::nullopt;
    const qint32 b = getPrevNumber(s);
    collectSubtree(s, true, shape.get());
    qint32 deepest = 0;
    for (const TREE_ITEM &item : std::as_const(m_buffer))
        deepest = qMax(deepest, item.level);
    if (deepest + 1 > MaxLevel) {
        clearBuffer();
        showTooDeep(m_prompter);
        return std::nullopt;
    }
    m_redoSteps.clear();
    cutBuffer(s, s, TREE_UNDO::MoveCut);
    shiftBufferLevels(+1);
    insertBufferAfter(s, b);
    clearBuffer();
    return s;
}

std::optional<qint32> CTreeList::editDelete(qint32 s)
{
    const ItemPos pos = findItem(s);
    if (pos == m_items.end())
        return std::nullopt;
    const auto shape = shapeIfIrregular();
    const qint32 next = nextSibling(s, shape.get());
    // The head is always the first top-level item.
    if (pos != m_items.begin() || next >= 0) {
        const qint32 r = next >= 0 ? next : parentOf(s, shape.get());
        collectSubtree(s, true, shape.get());
        m_redoSteps.clear();
        cutBuffer(s, r, TREE_UNDO::Deleted);
        clearBuffer();
        return -1;
    }
    // The only top-level item stays; only what hangs under it goes.
    const qint32 c = firstChild(s, shape.get());
    if (c < 0)
        return std::nullopt;
    collectSubtree(s, false, shape.get());
    m_redoSteps.clear();
    cutBuffer(s, c, TREE_UNDO::Deleted);
    clearBuffer();
    return s;
}
