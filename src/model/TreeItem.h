#pragma once
#include <QString>
#include <QtGlobal>

// One outline item. `number` is also the index of its body in the body table.
struct TREE_ITEM
{
    qint32 number = 0;
    qint32 level = 0;
    QString label;

    friend bool operator==(const TREE_ITEM &, const TREE_ITEM &) = default;
};
