#pragma once
#include "model/CTreeList.h"

#include <QAbstractItemModel>
#include <QString>
#include <QStringList>

// Outlines as one short line of text, readable in a failed comparison.

// Labels with their levels, in outline order: "A1 B2 C2 D1".
inline QString outlineOf(const CTreeList &store)
{
    QStringList out;
    for (const TREE_ITEM &item : store.items())
        out.append(item.label + QString::number(item.level));
    return out.join(QLatin1Char(' '));
}

// The rows of a tree model in pre-order with their depth as a level, in the
// form of outlineOf(): the two agree for outlines whose levels rise by one
// at most.
inline void flattenRows(const QAbstractItemModel &model, const QModelIndex &parent, int depth,
                        QStringList &out)
{
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        out.append(index.data().toString() + QString::number(depth));
        flattenRows(model, index, depth + 1, out);
    }
}

inline QString rowsOf(const QAbstractItemModel &model)
{
    QStringList out;
    flattenRows(model, {}, 1, out);
    return out.join(QLatin1Char(' '));
}

// The number of the first item with this label; -1 when there is none.
inline qint32 numberOf(const CTreeList &store, const QString &label)
{
    for (const TREE_ITEM &item : store.items()) {
        if (item.label == label)
            return item.number;
    }
    return -1;
}
