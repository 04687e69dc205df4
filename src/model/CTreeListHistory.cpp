// Tree undo and redo: replaying TREE_UNDO records against the outline.
//
// Every record was made for the outline exactly as it stood after the
// records before it, and steps are replayed strictly last-in first-out, so a
// removal meets its item and a put-back meets its anchor. Each record costs
// O(1) through the number -> position table.
#include "model/CTreeList.h"

#include "Messages.h"
#include "model/BodyText.h"

void CTreeList::removeRecorded(const TREE_UNDO &record)
{
    const auto pos = mutableFind(record.item.number);
    if (pos != m_items.end())
        eraseItem(pos);
}

void CTreeList::putBackRecorded(const TREE_UNDO &record)
{
    const qint32 number = record.item.number;
    // A number may stand in the outline only once.
    if (!isValidIndex(number) || m_where[size_t(number)] != m_items.end())
        return;
    ItemList::iterator before = m_items.begin();
    if (record.anchor != -1) {
        const auto anchor = mutableFind(record.anchor);
        before = anchor == m_items.end() ? anchor : std::next(anchor);
    }
    // The label is a cache of the body's label line, and the body may have
    // been renamed since the step was recorded: take it from the body, not
    // from the record.
    TREE_ITEM item = record.item;
    item.label = labelFromBody(m_bodies.at(number));
    insertItem(before, item);
}

std::optional<qint32> CTreeList::replayStep(QList<TREE_UNDO> &from, QList<TREE_UNDO> &to, bool undo)
{
    if (from.isEmpty())
        return std::nullopt;
    qint32 select = -1;
    // One group; returns the kind of the last record handled.
    const auto replayGroup = [&]() {
        const qint32 count = qMax<qint32>(1, from.constLast().n);
        qint32 kind = 0;
        for (qint32 i = 0; i < count && !from.isEmpty(); ++i) {
            TREE_UNDO record = from.takeLast();
            select = undo ? record.uSelect : record.rSelect;
            kind = record.kind;
            const bool putBack = undo ? (kind == TREE_UNDO::Deleted || kind == TREE_UNDO::MoveCut)
                                      : (kind == TREE_UNDO::Added || kind == TREE_UNDO::MoveInsert);
            const bool remove = undo ? (kind == TREE_UNDO::Added || kind == TREE_UNDO::MoveInsert)
                                     : (kind == TREE_UNDO::Deleted || kind == TREE_UNDO::MoveCut);
            if (putBack)
                putBackRecorded(record);
            else if (remove)
                removeRecorded(record);
            to.append(std::move(record));
        }
        return kind;
    };
    // The two halves of a move are one step.
    if (replayGroup() > 10 && !from.isEmpty())
        replayGroup();
    return select;
}

std::optional<qint32> CTreeList::undoTree()
{
    return replayStep(m_undoSteps, m_redoSteps, true);
}

std::optional<qint32> CTreeList::redoTree()
{
    return replayStep(m_redoSteps, m_undoSteps, false);
}

namespace {

QString listSteps(const QList<TREE_UNDO> &steps, const char16_t *lineFormat)
{
    const QString format = QString::fromUtf16(lineFormat);
    QString text;
    for (const TREE_UNDO &r : steps) {
        text += format.arg(QString::number(r.item.number), QString::number(r.kind),
                           QString::number(r.uSelect), QString::number(r.rSelect),
                           QString::number(r.anchor), QString::number(r.n),
                           QString::number(r.item.level), r.item.label);
    }
    return text;
}

} // namespace

QString CTreeList::listUndoSteps() const
{
    return listSteps(m_undoSteps, Msg::ListUndoStepLine);
}

QString CTreeList::listRedoSteps() const
{
    return listSteps(m_redoSteps, Msg::ListRedoStepLine);
}
