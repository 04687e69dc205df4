// The structural edits and their undo and redo on an outline of 100,000
// items, for a one-item subtree, a 1,000-item and a 10,000-item subtree in
// the same outline, timed in one run together with one plain pass over the
// outline as the yardstick.
//
//   bench_tree_edits
//
// Each subject hangs under its own level-1 item between two one-item
// siblings, so that every edit applies and the walks to its neighbours are
// the same for all three; only the size of the subtree differs.
#include "model/CTreeList.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Repeat = 7;

qint32 add(CTreeList &store, qint32 level)
{
    return store.appendItem(level, u"item\r\n"_s);
}

// 131 items: one top-level item, 5 children, 25 grandchildren, 100 at level 4.
void filler(CTreeList &store)
{
    add(store, 1);
    for (int c = 0; c < 5; ++c) {
        add(store, 2);
        for (int g = 0; g < 5; ++g) {
            add(store, 3);
            for (int h = 0; h < 4; ++h)
                add(store, 4);
        }
    }
}

// A level-1 item with children X, the subject and Y; the subject is a level-2
// item with `size` - 1 descendants at levels 3 and 4. Returns the subject.
qint32 subject(CTreeList &store, int size)
{
    add(store, 1);
    add(store, 2);
    const qint32 s = add(store, 2);
    int left = size - 1;
    while (left > 0) {
        add(store, 3);
        --left;
        for (int h = 0; h < 100 && left > 0; ++h, --left)
            add(store, 4);
    }
    add(store, 2);
    return s;
}

struct Times
{
    double edit = 1e9, undo = 1e9, redo = 1e9;
};

using Edit = std::optional<qint32> (CTreeList::*)(qint32);

// Best of Repeat rounds of edit, undo, redo; an untimed undo after each
// round puts the outline back for the next.
Times measure(CTreeList &store, Edit edit, qint32 s)
{
    Times best;
    for (int i = 0; i < Repeat; ++i) {
        QElapsedTimer t;
        t.start();
        const auto result = (store.*edit)(s);
        const double e = t.nsecsElapsed() / 1e3;
        if (!result) {
            std::fprintf(stderr, "edit did nothing on item %d\n", s);
            return best;
        }
        t.restart();
        store.undoTree();
        const double u = t.nsecsElapsed() / 1e3;
        t.restart();
        store.redoTree();
        const double r = t.nsecsElapsed() / 1e3;
        store.undoTree();
        best.edit = std::min(best.edit, e);
        best.undo = std::min(best.undo, u);
        best.redo = std::min(best.redo, r);
    }
    return best;
}

std::vector<std::pair<qint32, qint32>> shape(const CTreeList &store)
{
    std::vector<std::pair<qint32, qint32>> out;
    out.reserve(store.items().size());
    for (const TREE_ITEM &item : store.items())
        out.emplace_back(item.number, item.level);
    return out;
}

} // namespace

int main()
{
    CTreeList store;
    for (int i = 0; i < 340; ++i)
        filler(store);
    const qint32 one = subject(store, 1);
    const qint32 thousand = subject(store, 1000);
    const qint32 tenThousand = subject(store, 10000);
    while (store.items().size() + 131 <= 100000)
        filler(store);
    while (store.items().size() < 100000)
        add(store, 1);
    const auto original = shape(store);

    double pass = 1e9;
    for (int i = 0; i < Repeat; ++i) {
        QElapsedTimer t;
        t.start();
        qint64 sum = 0;
        for (const TREE_ITEM &item : store.items())
            sum += item.level;
        pass = std::min(pass, t.nsecsElapsed() / 1e3);
        if (sum == 0)
            std::printf("empty\n");
    }

    std::printf("outline: %zu items, levels %s; one pass over it: %.0f us\n", store.items().size(),
                store.levelsAreRegular() ? "regular" : "irregular", pass);
    std::printf("best of %d; times in microseconds\n\n", Repeat);
    std::printf("%-10s %-5s %10s %10s %10s %9s %9s %9s\n", "edit", "step", "1 item", "1k items",
                "10k items", "10k/1k", "10k/1", "10k/pass");

    const struct {
        const char *name;
        Edit edit;
    } edits[] = {
        {"addAbove", &CTreeList::editAddAbove}, {"addBelow", &CTreeList::editAddBelow},
        {"addChild", &CTreeList::editAddChild}, {"moveUp", &CTreeList::editMoveUp},
        {"moveDown", &CTreeList::editMoveDown}, {"raise", &CTreeList::editRaiseLevel},
        {"lower", &CTreeList::editLowerLevel},  {"delete", &CTreeList::editDelete},
    };
    for (const auto &e : edits) {
        const Times a = measure(store, e.edit, one);
        const Times b = measure(store, e.edit, thousand);
        const Times c = measure(store, e.edit, tenThousand);
        const double rows[3][3] = {{a.edit, b.edit, c.edit}, {a.undo, b.undo, c.undo}, {a.redo, b.redo, c.redo}};
        const char *steps[3] = {"edit", "undo", "redo"};
        for (int i = 0; i < 3; ++i) {
            std::printf("%-10s %-5s %10.1f %10.1f %10.1f %9.1f %9.0f %9.2f\n", i == 0 ? e.name : "", steps[i],
                        rows[i][0], rows[i][1], rows[i][2], rows[i][2] / rows[i][1], rows[i][2] / rows[i][0],
                        rows[i][2] / pass);
        }
    }
    const bool restored = shape(store) == original;
    std::printf("\noutline after all rounds %s the original\n", restored ? "equals" : "DIFFERS FROM");

    // One level jump at the tail: every edit now indexes the outline first.
    add(store, 1);
    add(store, 3);
    std::printf("\nwith one level jump at the tail (levels %s):\n",
                store.levelsAreRegular() ? "regular" : "irregular");
    for (const auto &e : edits) {
        const Times a = measure(store, e.edit, one);
        const Times c = measure(store, e.edit, tenThousand);
        std::printf("%-10s edit %9.1f %9.1f   undo %7.1f %7.1f   redo %7.1f %7.1f   10k edit/pass %5.2f\n",
                    e.name, a.edit, c.edit, a.undo, c.undo, a.redo, c.redo, c.edit / pass);
    }
    return restored ? 0 : 1;
}
