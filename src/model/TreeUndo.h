#pragma once
#include "model/TreeItem.h"

// One record of the tree history: an item a step removed from the outline or
// put into it. `n` is the size of the record's group.
struct TREE_UNDO
{
    enum Kind : qint32 {
        Added = 1,      // undo removes, redo puts back
        Deleted = 2,    // undo puts back, redo removes
        MoveInsert = 11, // re-insertion half of a move
        MoveCut = 12,    // cut half of a move
    };

    qint32 n = 0;
    qint32 anchor = -1;
    qint32 uSelect = -1;
    qint32 rSelect = -1;
    qint32 kind = 0;
    TREE_ITEM item;

    friend bool operator==(const TREE_UNDO &, const TREE_UNDO &) = default;
};
