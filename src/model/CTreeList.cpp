#include "model/CTreeList.h"

#include "Messages.h"
#include "model/BodyText.h"
#include "platform/Prompter.h"

CTreeList::CTreeList(Prompter *prompter)
    : m_prompter(prompter)
{
}

CTreeList::ItemPos CTreeList::findItem(qint32 number) const
{
    if (number < 0 || size_t(number) >= m_where.size())
        return m_items.end();
    return m_where[size_t(number)];
}

CTreeList::ItemList::iterator CTreeList::mutableFind(qint32 number)
{
    if (number < 0 || size_t(number) >= m_where.size())
        return m_items.end();
    return m_where[size_t(number)];
}

qint32 CTreeList::getLevel(qint32 number) const
{
    const ItemPos pos = findItem(number);
    return pos == m_items.end() ? -1 : pos->level;
}

QString CTreeList::getBody(qint32 index) const
{
    return isValidIndex(index) ? m_bodies.at(index) : QString();
}

QString CTreeList::getBodyText(int withLabel, qint32 index) const
{
    const QString body = getBody(index);
    return withLabel ? body : bodyWithoutLabel(body);
}

QString CTreeList::getLabelOfBody(qint32 index) const
{
    return labelFromBody(getBody(index));
}

bool CTreeList::setBody(qint32 index, const QString &text)
{
    if (!isValidIndex(index))
        return false;
    m_bodies[index] = text;
    return true;
}

void CTreeList::setLabel(qint32 number, const QString &label)
{
    const auto pos = mutableFind(number);
    if (pos != m_items.end())
        pos->label = label;
}

qint32 CTreeList::addBody(const QString &body)
{
    const qint32 n = qint32(m_bodies.size());
    m_bodies.append(body);
    m_where.push_back(m_items.end());
    return n;
}

namespace {

// Whether an item at `level` cannot hang where it stands after an item at
// `previous` (0 before the head).
qsizetype breaksLevels(qint32 previous, qint32 level)
{
    return (level < 1 || level > previous + 1) ? 1 : 0;
}

} // namespace

CTreeList::ItemList::iterator CTreeList::insertItem(ItemList::iterator before, const TREE_ITEM &item)
{
    Q_ASSERT(item.number >= 0 && size_t(item.number) < m_where.size());
    Q_ASSERT(m_where[size_t(item.number)] == m_items.end());
    const qint32 previous = before == m_items.begin() ? 0 : std::prev(before)->level;
    if (before != m_items.end())
        m_irregular += breaksLevels(item.level, before->level) - breaksLevels(previous, before->level);
    m_irregular += breaksLevels(previous, item.level);
    const auto pos = m_items.insert(before, item);
    m_where[size_t(item.number)] = pos;
    return pos;
}

CTreeList::ItemList::iterator CTreeList::eraseItem(ItemList::iterator pos)
{
    const qint32 previous = pos == m_items.begin() ? 0 : std::prev(pos)->level;
    const auto next = std::next(pos);
    if (next != m_items.end())
        m_irregular += breaksLevels(previous, next->level) - breaksLevels(pos->level, next->level);
    m_irregular -= breaksLevels(previous, pos->level);
    m_where[size_t(pos->number)] = m_items.end();
    return m_items.erase(pos);
}

qint32 CTreeList::appendItem(qint32 level, const QString &body)
{
    if (level > MaxLevel) {
        if (m_prompter)
            m_prompter->showMessage(QString::fromUtf16(Msg::TooDeep));
        return -1;
    }
    const qint32 n = addBody(body);
    insertItem(m_items.end(), TREE_ITEM{n, qMax(level, 1), labelFromBody(body)});
    return n;
}

qint32 CTreeList::insertFirstItem(const QString &body)
{
    const qint32 n = addBody(body);
    insertItem(m_items.begin(), TREE_ITEM{n, 1, labelFromBody(body)});
    return n;
}

void CTreeList::clear()
{
    m_bodies.clear();
    m_items.clear();
    m_buffer.clear();
    m_undoSteps.clear();
    m_redoSteps.clear();
    m_where.clear();
    m_irregular = 0;
}
