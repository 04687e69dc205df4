#pragma once
#include "model/TreeItem.h"
#include "model/TreeUndo.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <list>
#include <vector>

class Prompter;

// The outline store: the body table, the outline in display order, the
// working list and the two tree histories. Owns every item and string and
// hands out copies.
//
// Item numbers index `bodies` and are never reused while the store lives; a
// removed item keeps its body so that tree undo can put it back. The store
// keeps a number -> position table so that finding an item costs O(1); every
// change of `items` therefore goes through this class.
class CTreeList
{
public:
    using ItemList = std::list<TREE_ITEM>;
    using ItemPos = ItemList::const_iterator;

    // Levels above this are refused on appending: the tree can show 255.
    static constexpr qint32 MaxLevel = 251;

    explicit CTreeList(Prompter *prompter = nullptr);
    virtual ~CTreeList() = default;
    CTreeList(const CTreeList &) = delete;
    CTreeList &operator=(const CTreeList &) = delete;

    // Messages (the depth limit) go to this prompter; may be null in tools
    // that do not care.
    void setPrompter(Prompter *prompter) { m_prompter = prompter; }
    Prompter *prompter() const { return m_prompter; }

    const QStringList &bodies() const { return m_bodies; }
    const ItemList &items() const { return m_items; }
    const QList<TREE_ITEM> &buffer() const { return m_buffer; }
    const QList<TREE_UNDO> &undoSteps() const { return m_undoSteps; }
    const QList<TREE_UNDO> &redoSteps() const { return m_redoSteps; }

    // Position of the item with this number in items(), or items().end().
    ItemPos findItem(qint32 number) const;
    bool contains(qint32 number) const { return findItem(number) != m_items.end(); }
    // Level of a present item; -1 when the number is not in the outline.
    qint32 getLevel(qint32 number) const;

    bool isValidIndex(qint32 index) const { return index >= 0 && index < m_bodies.size(); }
    // An index outside the table gives "" (and setBody does nothing, returning
    // false): the caller's command is abandoned, the store keeps its state.
    QString getBody(qint32 index) const;
    QString getBodyText(int withLabel, qint32 index) const;
    QString getLabelOfBody(qint32 index) const;
    bool setBody(qint32 index, const QString &text);
    // Does nothing for a number that is not in the outline.
    void setLabel(qint32 number, const QString &label);

    // Appends {next number, level, label of body}; returns the number, or -1
    // after the depth message when level > MaxLevel. Levels below 1 become 1:
    // the tree has no place for them and refusing would drop the text.
    qint32 appendItem(qint32 level, const QString &body);
    // Puts a level-1 item at the head; used for a new document's first item.
    qint32 insertFirstItem(const QString &body);

    void clear();

protected:
    // For the structural edits and the histories: every change of m_items
    // keeps m_where in step.
    ItemList::iterator mutableFind(qint32 number);
    ItemList::iterator insertItem(ItemList::iterator before, const TREE_ITEM &item);
    ItemList::iterator eraseItem(ItemList::iterator pos);
    qint32 addBody(const QString &body);

    QStringList m_bodies;
    ItemList m_items;
    QList<TREE_ITEM> m_buffer;
    QList<TREE_UNDO> m_undoSteps;
    QList<TREE_UNDO> m_redoSteps;

private:
    Prompter *m_prompter = nullptr;
    // Indexed by number; m_items.end() for numbers not in the outline.
    std::vector<ItemList::iterator> m_where;
};
