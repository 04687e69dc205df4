#pragma once
#include "model/TreeItem.h"
#include "model/TreeUndo.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <list>
#include <memory>
#include <optional>
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

    // --- Outline relations, as the tree shows them: an item hangs under the
    // nearest earlier item whose level is one less. Numbers in, numbers out;
    // -1 means none. While every level is reachable from the one before (the
    // first item at 1, no rise above one) a subtree is the item plus the run
    // of deeper items after it and each relation is a walk from the item;
    // any other outline is indexed in one pass first.
    bool levelsAreRegular() const { return m_irregular == 0; }
    qint32 parentOf(qint32 number) const;
    qint32 previousSibling(qint32 number) const;
    qint32 nextSibling(qint32 number) const;
    qint32 firstChild(qint32 number) const;
    // The last item of the item's subtree in pre-order (itself when childless).
    qint32 lastDescendant(qint32 number) const;

    // --- The working list and its primitives. Each record they append goes
    // to undoSteps; none of them empties redoSteps (the edits do).
    void clearBuffer() { m_buffer.clear(); }
    // Nothing for a number that is not in the outline.
    void copyToBuffer(qint32 number);
    // No bound: callers check depth before shifting.
    void shiftBufferLevels(qint32 delta);
    // Empties the buffer, then copies the subtree (pre-order) into it.
    void collectSubtree(qint32 number, bool withItself);
    // Number of the item just before this one; -1 for the head or a number
    // not in the outline.
    qint32 getPrevNumber(qint32 number) const;

    // New item with NewItemBody ("%04d" CR LF) and the selected item's level,
    // just before it (at the head when it is not in the outline).
    qint32 addAbove(qint32 selected);
    // New item at the given level just after `after` (at the tail when it is
    // not in the outline).
    qint32 addAfter(qint32 selected, qint32 after, qint32 level);
    // Removes the buffer's items from the outline, last to first, one record
    // each. False, with the outline and history as before, when an item of
    // the buffer is not in the outline.
    bool cutBuffer(qint32 uSelect, qint32 rSelect, qint32 kind);
    // Put copies of the buffer's items, in buffer order, before `target` /
    // after `after` (at the tail when that item is absent), one kind-11 record
    // each. False, with nothing changed, when an item of the buffer is already
    // in the outline or has no body: a number may stand in the outline once.
    bool insertBufferBefore(qint32 target);
    bool insertBufferAfter(qint32 selected, qint32 after);

    // --- The structural edits, on the selected item s. Each returns the item
    // to select, or nullopt when it did nothing (no record, redo history
    // kept). editDelete returns -1 when s went with its subtree (the tree
    // removes it in place) and s when only its descendants went. Add child and
    // lower level refuse to take any level above MaxLevel: the depth message
    // is shown and nothing happens.
    std::optional<qint32> editAddAbove(qint32 s);
    std::optional<qint32> editAddBelow(qint32 s);
    std::optional<qint32> editAddChild(qint32 s);
    std::optional<qint32> editMoveUp(qint32 s);
    std::optional<qint32> editMoveDown(qint32 s);
    std::optional<qint32> editRaiseLevel(qint32 s);
    std::optional<qint32> editLowerLevel(qint32 s);
    std::optional<qint32> editDelete(qint32 s);

    // --- Tree history. One step is one group, or the cut group plus the
    // re-insertion group of a move. nullopt when the history was empty;
    // otherwise the item to select, -1 for none.
    std::optional<qint32> undoTree();
    std::optional<qint32> redoTree();
    // Diagnostic listings, one line per record from the first.
    QString listUndoSteps() const;
    QString listRedoSteps() const;

protected:
    // For the structural edits and the histories: every change of m_items
    // keeps m_where in step.
    ItemList::iterator mutableFind(qint32 number);
    ItemList::iterator insertItem(ItemList::iterator before, const TREE_ITEM &item);
    ItemList::iterator eraseItem(ItemList::iterator pos);
    qint32 addBody(const QString &body);

    // Index of the outline built when its levels are irregular; null when
    // the local walks are exact.
    struct TreeShape;
    std::unique_ptr<TreeShape> shapeIfIrregular() const;
    qint32 parentOf(qint32 number, const TreeShape *shape) const;
    qint32 previousSibling(qint32 number, const TreeShape *shape) const;
    qint32 nextSibling(qint32 number, const TreeShape *shape) const;
    qint32 firstChild(qint32 number, const TreeShape *shape) const;
    qint32 lastDescendant(qint32 number, const TreeShape *shape) const;
    // LastDescendant of the last later sibling; -1 when there is none.
    qint32 endOfLaterSiblings(qint32 number, const TreeShape *shape) const;
    void collectSubtree(qint32 number, bool withItself, const TreeShape *shape);
    qint32 newItem(qint32 selected, ItemList::iterator before, qint32 level);
    bool insertBufferAt(ItemList::iterator before, qint32 uSelect, qint32 rSelect);
    // The replay actions of one record; both tolerate a record that does not
    // meet its outline (they then change nothing).
    void removeRecorded(const TREE_UNDO &record);
    void putBackRecorded(const TREE_UNDO &record);
    std::optional<qint32> replayStep(QList<TREE_UNDO> &from, QList<TREE_UNDO> &to, bool undo);

    QStringList m_bodies;
    ItemList m_items;
    QList<TREE_ITEM> m_buffer;
    QList<TREE_UNDO> m_undoSteps;
    QList<TREE_UNDO> m_redoSteps;

private:
    Prompter *m_prompter = nullptr;
    // Indexed by number; m_items.end() for numbers not in the outline.
    std::vector<ItemList::iterator> m_where;
    // Items whose level is not reachable from the one before (more than one
    // deeper, the first item deeper than 1, or below 1). Kept by
    // insertItem/eraseItem so that telling a regular outline costs O(1).
    qsizetype m_irregular = 0;
};
