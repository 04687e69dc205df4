#include "OutlineText.h"
#include "Messages.h"
#include "RecordingPrompter.h"
#include "model/CTreeList.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// "A1 B2 C2 D1": one item per word, label then level, numbered from 0.
void build(CTreeList &store, const QString &outline)
{
    for (const QString &word : outline.split(u' ', Qt::SkipEmptyParts)) {
        qsizetype digits = 0;
        while (digits < word.size() && !word.at(digits).isDigit())
            ++digits;
        store.appendItem(word.mid(digits).toInt(), word.left(digits) + u"\r\n"_s);
    }
}

QString showItem(const TREE_ITEM &item)
{
    // "4:0004/2": a slash only where the label itself ends in a digit.
    const bool digitLabel = !item.label.isEmpty() && item.label.back().isDigit();
    return u"%1:%2%3%4"_s.arg(item.number).arg(item.label, digitLabel ? u"/"_s : QString()).arg(item.level);
}

// "0:A1 1:B2 ...": the whole outline in list order.
QString show(const CTreeList &store)
{
    QStringList words;
    for (const TREE_ITEM &item : store.items())
        words << showItem(item);
    return words.join(u' ');
}

// "K12 n1 a1 u2 r2 2:C2, ...": every field of every record.
QString showRecords(const QList<TREE_UNDO> &records)
{
    QStringList parts;
    for (const TREE_UNDO &r : records)
        parts << u"K%1 n%2 a%3 u%4 r%5 %6"_s.arg(r.kind).arg(r.n).arg(r.anchor).arg(r.uSelect).arg(r.rSelect).arg(showItem(r.item));
    return parts.join(u", "_s);
}

QString showResult(const std::optional<qint32> &result)
{
    return result ? QString::number(*result) : u"nothing"_s;
}

std::optional<qint32> runEdit(CTreeList &store, const QString &edit, qint32 s)
{
    static const std::map<QString, std::optional<qint32> (CTreeList::*)(qint32)> edits = {
        {u"addAbove"_s, &CTreeList::editAddAbove},     {u"addBelow"_s, &CTreeList::editAddBelow},
        {u"addChild"_s, &CTreeList::editAddChild},     {u"moveUp"_s, &CTreeList::editMoveUp},
        {u"moveDown"_s, &CTreeList::editMoveDown},     {u"raise"_s, &CTreeList::editRaiseLevel},
        {u"lower"_s, &CTreeList::editLowerLevel},      {u"delete"_s, &CTreeList::editDelete},
    };
    const auto found = edits.find(edit);
    Q_ASSERT(found != edits.end());
    return (store.*(found->second))(s);
}

// The tree exactly as the pane builds it (each item under the last item
// seen one level up), as an independent reference for the relations.
struct ReferenceTree
{
    QList<TREE_ITEM> items;
    std::map<qint32, qint32> indexOf;
    QList<qint32> parent;
    QList<QList<qint32>> children;
    QList<qint32> topLevel;

    explicit ReferenceTree(const CTreeList &store)
    {
        std::map<qint32, qint32> lastAt;
        for (const TREE_ITEM &item : store.items()) {
            const qint32 i = qint32(items.size());
            items << item;
            indexOf[item.number] = i;
            const auto up = lastAt.find(item.level - 1);
            const qint32 p = item.level > 1 && up != lastAt.end() ? up->second : -1;
            parent << p;
            children << QList<qint32>();
            (p < 0 ? topLevel : children[p]) << i;
            lastAt[item.level] = i;
        }
    }
    qint32 num(qint32 i) const { return i < 0 ? -1 : items.at(i).number; }
    const QList<qint32> &siblings(qint32 i) const
    {
        return parent.at(i) < 0 ? topLevel : children.at(parent.at(i));
    }
    void preOrder(qint32 i, QList<qint32> &out) const
    {
        out << items.at(i).number;
        for (qint32 c : children.at(i))
            preOrder(c, out);
    }
};

bool regularByHand(const CTreeList &store)
{
    qint32 previous = 0;
    for (const TREE_ITEM &item : store.items()) {
        if (item.level < 1 || item.level > previous + 1)
            return false;
        previous = item.level;
    }
    return true;
}

// Levels 1..6 either rising by at most one (regular) or anywhere.
void randomOutline(CTreeList &store, QRandomGenerator &rng, int count, bool regular)
{
    qint32 level = 1;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            level = regular ? qint32(rng.bounded(1, qMin(level + 1, 6) + 1)) : qint32(rng.bounded(1, 7));
        store.appendItem(level, u"L%1\r\n"_s.arg(i));
    }
}

} // namespace

class TestTreeEdits : public QObject
{
    Q_OBJECT

private slots:
    // Each edit on a small outline: the whole outline, the result, every
    // record, then undo back to the start and redo to the result again.
    void editUndoRedo_data()
    {
        QTest::addColumn<QString>("outline");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("records");
        QTest::addColumn<int>("undoSelect");
        QTest::addColumn<int>("redoSelect");

        const QString abcd = u"A1 B2 C2 D1"_s;
        const QString unchanged = u"0:A1 1:B2 2:C2 3:D1"_s;
        QTest::newRow("add above C") << abcd << u"addAbove"_s << u"C"_s
            << u"0:A1 1:B2 4:0004/2 2:C2 3:D1"_s << u"4"_s << u"K1 n1 a1 u2 r4 4:0004/2"_s << 2 << 4;
        QTest::newRow("add above the head") << abcd << u"addAbove"_s << u"A"_s
            << u"4:0004/1 0:A1 1:B2 2:C2 3:D1"_s << u"4"_s << u"K1 n1 a-1 u0 r4 4:0004/1"_s << 0 << 4;
        QTest::newRow("add below A goes past its subtree") << abcd << u"addBelow"_s << u"A"_s
            << u"0:A1 1:B2 2:C2 4:0004/1 3:D1"_s << u"4"_s << u"K1 n1 a2 u0 r4 4:0004/1"_s << 0 << 4;
        QTest::newRow("add child A is its last child") << abcd << u"addChild"_s << u"A"_s
            << u"0:A1 1:B2 2:C2 4:0004/2 3:D1"_s << u"4"_s << u"K1 n1 a2 u0 r4 4:0004/2"_s << 0 << 4;
        QTest::newRow("add child of a leaf at the tail") << abcd << u"addChild"_s << u"D"_s
            << u"0:A1 1:B2 2:C2 3:D1 4:0004/2"_s << u"4"_s << u"K1 n1 a3 u3 r4 4:0004/2"_s << 3 << 4;
        QTest::newRow("add above A in A B") << u"A1 B1"_s << u"addAbove"_s << u"A"_s
            << u"2:0002/1 0:A1 1:B1"_s << u"2"_s << u"K1 n1 a-1 u0 r2 2:0002/1"_s << 0 << 2;

        QTest::newRow("move up C") << abcd << u"moveUp"_s << u"C"_s
            << u"0:A1 2:C2 1:B2 3:D1"_s << u"2"_s << u"K12 n1 a1 u2 r2 2:C2, K11 n1 a0 u1 r1 2:C2"_s << 2 << 1;
        QTest::newRow("move up first child") << abcd << u"moveUp"_s << u"B"_s
            << unchanged << u"nothing"_s << QString() << 0 << 0;
        QTest::newRow("move up D past A's subtree") << abcd << u"moveUp"_s << u"D"_s
            << u"3:D1 0:A1 1:B2 2:C2"_s << u"3"_s << u"K12 n1 a2 u3 r3 3:D1, K11 n1 a-1 u0 r0 3:D1"_s << 3 << 0;
        QTest::newRow("move up B in A B") << u"A1 B1"_s << u"moveUp"_s << u"B"_s
            << u"1:B1 0:A1"_s << u"1"_s << u"K12 n1 a0 u1 r1 1:B1, K11 n1 a-1 u0 r0 1:B1"_s << 1 << 0;
        QTest::newRow("move up a subtree") << u"A1 B2 C1 D2 E3"_s << u"moveUp"_s << u"C"_s
            << u"2:C1 3:D2 4:E3 0:A1 1:B2"_s << u"2"_s
            << u"K12 n3 a3 u2 r2 4:E3, K12 n3 a2 u2 r2 3:D2, K12 n3 a1 u2 r2 2:C1, "
               u"K11 n3 a-1 u0 r0 4:E3, K11 n3 a-1 u0 r0 3:D2, K11 n3 a-1 u0 r0 2:C1"_s << 2 << 0;
        QTest::newRow("move down A with its subtree") << abcd << u"moveDown"_s << u"A"_s
            << u"3:D1 0:A1 1:B2 2:C2"_s << u"0"_s
            << u"K12 n3 a1 u0 r0 2:C2, K12 n3 a0 u0 r0 1:B2, K12 n3 a-1 u0 r0 0:A1, "
               u"K11 n3 a3 u0 r0 2:C2, K11 n3 a3 u0 r0 1:B2, K11 n3 a3 u0 r0 0:A1"_s << 0 << 0;
        QTest::newRow("move down last child") << abcd << u"moveDown"_s << u"C"_s
            << unchanged << u"nothing"_s << QString() << 0 << 0;
        QTest::newRow("move down last top-level") << abcd << u"moveDown"_s << u"D"_s
            << unchanged << u"nothing"_s << QString() << 0 << 0;

        QTest::newRow("raise B: C stays under A") << abcd << u"raise"_s << u"B"_s
            << u"0:A1 2:C2 1:B1 3:D1"_s << u"1"_s << u"K12 n1 a0 u1 r1 1:B2, K11 n1 a2 u1 r1 1:B1"_s << 1 << 1;
        QTest::newRow("raise past a later sibling's subtree") << u"A1 B2 C2 E3 D1"_s << u"raise"_s << u"B"_s
            << u"0:A1 2:C2 3:E3 1:B1 4:D1"_s << u"1"_s << u"K12 n1 a0 u1 r1 1:B2, K11 n1 a3 u1 r1 1:B1"_s << 1 << 1;
        QTest::newRow("raise last child in place") << u"A1 B2 C3 D2"_s << u"raise"_s << u"C"_s
            << u"0:A1 1:B2 2:C2 3:D2"_s << u"2"_s << u"K12 n1 a1 u2 r2 2:C3, K11 n1 a1 u2 r2 2:C2"_s << 2 << 2;
        QTest::newRow("raise top-level A") << abcd << u"raise"_s << u"A"_s << unchanged << u"nothing"_s << QString() << 0 << 0;
        QTest::newRow("raise top-level D") << abcd << u"raise"_s << u"D"_s << unchanged << u"nothing"_s << QString() << 0 << 0;

        QTest::newRow("lower A") << abcd << u"lower"_s << u"A"_s << unchanged << u"nothing"_s << QString() << 0 << 0;
        QTest::newRow("lower first child B") << abcd << u"lower"_s << u"B"_s << unchanged << u"nothing"_s << QString() << 0 << 0;
        QTest::newRow("lower C under B") << abcd << u"lower"_s << u"C"_s
            << u"0:A1 1:B2 2:C3 3:D1"_s << u"2"_s << u"K12 n1 a1 u2 r2 2:C2, K11 n1 a1 u2 r2 2:C3"_s << 2 << 2;
        QTest::newRow("lower D under A") << abcd << u"lower"_s << u"D"_s
            << u"0:A1 1:B2 2:C2 3:D2"_s << u"3"_s << u"K12 n1 a2 u3 r3 3:D1, K11 n1 a2 u3 r3 3:D2"_s << 3 << 3;
        QTest::newRow("lower a subtree") << u"A1 B1 C2"_s << u"lower"_s << u"B"_s
            << u"0:A1 1:B2 2:C3"_s << u"1"_s
            << u"K12 n2 a1 u1 r1 2:C2, K12 n2 a0 u1 r1 1:B1, K11 n2 a0 u1 r1 2:C3, K11 n2 a0 u1 r1 1:B2"_s << 1 << 1;

        QTest::newRow("delete C selects parent on redo") << abcd << u"delete"_s << u"C"_s
            << u"0:A1 1:B2 3:D1"_s << u"-1"_s << u"K2 n1 a1 u2 r0 2:C2"_s << 2 << 0;
        QTest::newRow("delete last top-level D") << abcd << u"delete"_s << u"D"_s
            << u"0:A1 1:B2 2:C2"_s << u"-1"_s << u"K2 n1 a2 u3 r-1 3:D1"_s << 3 << -1;
        QTest::newRow("delete A with subtree") << abcd << u"delete"_s << u"A"_s
            << u"3:D1"_s << u"-1"_s << u"K2 n3 a1 u0 r3 2:C2, K2 n3 a0 u0 r3 1:B2, K2 n3 a-1 u0 r3 0:A1"_s << 0 << 3;
        QTest::newRow("delete A in A B D") << u"A1 B2 D1"_s << u"delete"_s << u"A"_s
            << u"2:D1"_s << u"-1"_s << u"K2 n2 a0 u0 r2 1:B2, K2 n2 a-1 u0 r2 0:A1"_s << 0 << 2;
        QTest::newRow("delete keeps the only top-level item") << u"A1 B2 C3 D2"_s << u"delete"_s << u"A"_s
            << u"0:A1"_s << u"0"_s << u"K2 n3 a2 u0 r1 3:D2, K2 n3 a1 u0 r1 2:C3, K2 n3 a0 u0 r1 1:B2"_s << 0 << 1;
        QTest::newRow("delete the only item") << u"A1"_s << u"delete"_s << u"A"_s
            << u"0:A1"_s << u"nothing"_s << QString() << 0 << 0;

        // Levels that jump: relations follow the tree the pane shows, where E
        // hangs under B although D stands between them.
        const QString jumpy = u"A1 B2 C3 D1 E3"_s;
        QTest::newRow("jumpy: delete B takes E along") << jumpy << u"delete"_s << u"B"_s
            << u"0:A1 3:D1"_s << u"-1"_s << u"K2 n3 a3 u1 r0 4:E3, K2 n3 a1 u1 r0 2:C3, K2 n3 a0 u1 r0 1:B2"_s << 1 << 0;
        QTest::newRow("jumpy: move down A gathers its subtree") << jumpy << u"moveDown"_s << u"A"_s
            << u"3:D1 0:A1 1:B2 2:C3 4:E3"_s << u"0"_s
            << u"K12 n4 a3 u0 r0 4:E3, K12 n4 a1 u0 r0 2:C3, K12 n4 a0 u0 r0 1:B2, K12 n4 a-1 u0 r0 0:A1, "
               u"K11 n4 a3 u0 r0 4:E3, K11 n4 a3 u0 r0 2:C3, K11 n4 a3 u0 r0 1:B2, K11 n4 a3 u0 r0 0:A1"_s << 0 << 0;
        QTest::newRow("jumpy: pre-order differs from list order") << u"P1 Q2 R3 S2 T4 U1"_s << u"moveDown"_s << u"P"_s
            << u"5:U1 0:P1 1:Q2 2:R3 4:T4 3:S2"_s << u"0"_s
            << u"K12 n5 a2 u0 r0 3:S2, K12 n5 a2 u0 r0 4:T4, K12 n5 a1 u0 r0 2:R3, K12 n5 a0 u0 r0 1:Q2, K12 n5 a-1 u0 r0 0:P1, "
               u"K11 n5 a5 u0 r0 3:S2, K11 n5 a5 u0 r0 4:T4, K11 n5 a5 u0 r0 2:R3, K11 n5 a5 u0 r0 1:Q2, K11 n5 a5 u0 r0 0:P1"_s << 0 << 0;
        QTest::newRow("first item at level 2 is top-level") << u"A2 B1"_s << u"moveUp"_s << u"B"_s
            << u"1:B1 0:A2"_s << u"1"_s << u"K12 n1 a0 u1 r1 1:B1, K11 n1 a-1 u0 r0 1:B1"_s << 1 << 0;
        QTest::newRow("top-level at level 2 has no parent") << u"A2 B1"_s << u"raise"_s << u"A"_s
            << u"0:A2 1:B1"_s << u"nothing"_s << QString() << 0 << 0;
    }
    void editUndoRedo()
    {
        QFETCH(QString, outline);
        QFETCH(QString, edit);
        QFETCH(QString, selected);
        QFETCH(QString, after);
        QFETCH(QString, result);
        QFETCH(QString, records);
        QFETCH(int, undoSelect);
        QFETCH(int, redoSelect);

        RecordingPrompter prompter;
        CTreeList store(&prompter);
        build(store, outline);
        const QString before = show(store);
        const qint32 s = numberOf(store, selected);
        QVERIFY(s >= 0);

        QCOMPARE(showResult(runEdit(store, edit, s)), result);
        QCOMPARE(show(store), after);
        QCOMPARE(showRecords(store.undoSteps()), records);
        QVERIFY(store.buffer().isEmpty());
        QVERIFY(store.redoSteps().isEmpty());
        QVERIFY(prompter.messages.isEmpty());
        if (result == u"nothing"_s) {
            QVERIFY(!store.undoTree());
            return;
        }
        const QList<TREE_UNDO> recorded = store.undoSteps();

        QCOMPARE(store.undoTree(), std::optional<qint32>(undoSelect));
        QCOMPARE(show(store), before);
        QVERIFY(store.undoSteps().isEmpty());
        QCOMPARE(store.redoSteps().size(), recorded.size());
        QVERIFY(!store.undoTree());

        QCOMPARE(store.redoTree(), std::optional<qint32>(redoSelect));
        QCOMPARE(show(store), after);
        QCOMPARE(store.undoSteps(), recorded);
        QVERIFY(store.redoSteps().isEmpty());
        QVERIFY(!store.redoTree());
    }

    // Two steps in a row undo one at a time, each back to its own outline,
    // and a move's two groups count as one step.
    void stepsUndoOneAtATime()
    {
        CTreeList store;
        build(store, u"A1 B2 C2 D1"_s);
        QCOMPARE(store.editMoveDown(0), std::optional<qint32>(0));
        QCOMPARE(store.editAddChild(3), std::optional<qint32>(4));
        QCOMPARE(show(store), u"3:D1 4:0004/2 0:A1 1:B2 2:C2"_s);
        QCOMPARE(store.undoTree(), std::optional<qint32>(3));
        QCOMPARE(show(store), u"3:D1 0:A1 1:B2 2:C2"_s);
        QCOMPARE(store.undoTree(), std::optional<qint32>(0));
        QCOMPARE(show(store), u"0:A1 1:B2 2:C2 3:D1"_s);
        QCOMPARE(store.redoTree(), std::optional<qint32>(0));
        QCOMPARE(show(store), u"3:D1 0:A1 1:B2 2:C2"_s);
        QCOMPARE(store.redoSteps().size(), 1);
        QCOMPARE(store.redoTree(), std::optional<qint32>(4));
        QCOMPARE(show(store), u"3:D1 4:0004/2 0:A1 1:B2 2:C2"_s);
    }

    void newStepEmptiesRedoButNoOpKeepsIt()
    {
        CTreeList store;
        build(store, u"A1 B2 C2 D1"_s);
        QVERIFY(!store.undoTree() && !store.redoTree());
        QVERIFY(store.editDelete(2));
        QVERIFY(store.undoTree());
        QCOMPARE(store.redoSteps().size(), 1);
        // Does nothing: B has no previous sibling, the redo step stays.
        QVERIFY(!store.editMoveUp(1));
        QCOMPARE(store.redoSteps().size(), 1);
        QVERIFY(store.editDelete(2));
        QVERIFY(store.redoSteps().isEmpty());
        QVERIFY(!store.redoTree());
        QCOMPARE(show(store), u"0:A1 1:B2 3:D1"_s);
    }

    void newNumbersAfterDelete()
    {
        CTreeList store;
        build(store, u"A1 B2 C2 D1"_s);
        QVERIFY(store.editDelete(3));
        QCOMPARE(store.editAddBelow(0), std::optional<qint32>(4));
        QCOMPARE(store.getBody(4), u"0004\r\n"_s);
        QCOMPARE(store.bodies().size(), 5);
        QCOMPARE(store.getBody(3), u"D\r\n"_s);
    }

    void fiveDigitNumberLabel()
    {
        CTreeList store;
        for (int i = 0; i < 10000; ++i)
            store.appendItem(1, u"x\r\n"_s);
        QCOMPARE(store.editAddAbove(9999), std::optional<qint32>(10000));
        QCOMPARE(store.getBody(10000), u"10000\r\n"_s);
        QCOMPARE(store.findItem(10000)->label, u"10000"_s);
        QCOMPARE(std::prev(store.items().end(), 2)->number, 10000);
    }

    // Add child and lower level never make a level above 251: the depth
    // message, nothing changed, the redo history kept.
    void depthLimit_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("refused");
        // Each tail follows a chain of levels 1..249.
        QTest::newRow("add child at 250") << u"X250"_s << u"addChild"_s << u"X"_s << false;
        QTest::newRow("add child at 251") << u"X250 Y251"_s << u"addChild"_s << u"Y"_s << true;
        QTest::newRow("lower to 251") << u"X250 Y250"_s << u"lower"_s << u"Y"_s << false;
        QTest::newRow("lower a leaf at 251") << u"X250 Y251 Z251"_s << u"lower"_s << u"Z"_s << true;
        QTest::newRow("lower pushes a descendant past 251") << u"X250 Y250 Z251"_s << u"lower"_s << u"Y"_s << true;
        QTest::newRow("jumpy: top-level at 251 lowered") << u"X1 Y251"_s << u"lower"_s << u"Y"_s << true;
    }
    void depthLimit()
    {
        QFETCH(QString, tail);
        QFETCH(QString, edit);
        QFETCH(QString, selected);
        QFETCH(bool, refused);

        RecordingPrompter prompter;
        CTreeList store(&prompter);
        if (!tail.startsWith(u"X1 "_s)) {
            for (int level = 1; level < 250; ++level)
                store.appendItem(level, u"c\r\n"_s);
        }
        build(store, tail);
        // A redo step to keep.
        QVERIFY(store.editAddAbove(0));
        QVERIFY(store.undoTree());
        const QString before = show(store);
        const QList<TREE_UNDO> redo = store.redoSteps();

        const auto result = runEdit(store, edit, numberOf(store, selected));
        if (refused) {
            QVERIFY(!result);
            QCOMPARE(prompter.messages, QStringList{QString::fromUtf16(Msg::TooDeep)});
            QCOMPARE(show(store), before);
            QVERIFY(store.undoSteps().isEmpty());
            QCOMPARE(store.redoSteps(), redo);
            QVERIFY(store.buffer().isEmpty());
        } else {
            QVERIFY(result);
            QVERIFY(prompter.messages.isEmpty());
            qint32 deepest = 0;
            for (const TREE_ITEM &item : store.items())
                deepest = qMax(deepest, item.level);
            QCOMPARE(deepest, CTreeList::MaxLevel);
        }
    }

    // The relations, the subtree and the regularity flag agree with the tree
    // the pane builds, on regular and on jumpy outlines.
    void relationsMatchTheTree_data()
    {
        QTest::addColumn<bool>("regular");
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u}) {
            QTest::addRow("regular %u", seed) << true << seed;
            QTest::addRow("jumpy %u", seed) << false << seed;
        }
    }
    void relationsMatchTheTree()
    {
        QFETCH(bool, regular);
        QFETCH(quint32, seed);
        QRandomGenerator rng(seed);
        CTreeList store;
        randomOutline(store, rng, 60, regular);
        QCOMPARE(store.levelsAreRegular(), regularByHand(store));
        QCOMPARE(store.levelsAreRegular(), regular);

        const ReferenceTree tree(store);
        for (qint32 i = 0; i < tree.items.size(); ++i) {
            const qint32 n = tree.items.at(i).number;
            const QList<qint32> &sibs = tree.siblings(i);
            const qsizetype at = sibs.indexOf(i);
            QCOMPARE(store.parentOf(n), tree.num(tree.parent.at(i)));
            QCOMPARE(store.previousSibling(n), at > 0 ? tree.num(sibs.at(at - 1)) : -1);
            QCOMPARE(store.nextSibling(n), at + 1 < sibs.size() ? tree.num(sibs.at(at + 1)) : -1);
            QCOMPARE(store.firstChild(n), tree.children.at(i).isEmpty() ? -1 : tree.num(tree.children.at(i).first()));
            QList<qint32> subtree;
            tree.preOrder(i, subtree);
            QCOMPARE(store.lastDescendant(n), subtree.last());
            store.collectSubtree(n, true);
            QList<qint32> collected;
            for (const TREE_ITEM &item : store.buffer())
                collected << item.number;
            QCOMPARE(collected, subtree);
            store.collectSubtree(n, false);
            QCOMPARE(store.buffer().size(), subtree.size() - 1);
        }
        store.clearBuffer();
    }

    // Random edits, then every undo gives back the outline before the step
    // and every redo the one after it, numbers, levels and order alike.
    void randomEditsUndoRedo_data()
    {
        QTest::addColumn<bool>("regular");
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {11u, 12u, 13u, 14u, 15u}) {
            QTest::addRow("regular %u", seed) << true << seed;
            QTest::addRow("jumpy %u", seed) << false << seed;
        }
    }
    void randomEditsUndoRedo()
    {
        QFETCH(bool, regular);
        QFETCH(quint32, seed);
        static const QStringList edits = {u"addAbove"_s, u"addBelow"_s, u"addChild"_s, u"moveUp"_s,
                                          u"moveDown"_s, u"raise"_s,    u"lower"_s,    u"delete"_s};
        QRandomGenerator rng(seed);
        RecordingPrompter prompter;
        CTreeList store(&prompter);
        randomOutline(store, rng, 30, regular);

        QStringList snapshots{show(store)};
        for (int step = 0; step < 200; ++step) {
            const qint32 pick = qint32(rng.bounded(qint32(store.items().size())));
            const qint32 s = std::next(store.items().begin(), pick)->number;
            // Favour moves and level changes over adds and deletes.
            const QString edit = edits.at(qint32(rng.bounded(10)) % edits.size());
            if (runEdit(store, edit, s))
                snapshots << show(store);
            else
                QCOMPARE(show(store), snapshots.last());
            QVERIFY(store.buffer().isEmpty());
            QVERIFY(!store.items().empty());
            QCOMPARE(store.levelsAreRegular(), regularByHand(store));
            if (regular)
                QVERIFY2(store.levelsAreRegular(), qPrintable(edit + u" broke "_s + show(store)));
            for (const TREE_ITEM &item : store.items())
                QVERIFY(item.level >= 1 && item.level <= CTreeList::MaxLevel);
        }
        QVERIFY(snapshots.size() > 100);
        QVERIFY(prompter.messages.isEmpty());
        const QList<TREE_UNDO> history = store.undoSteps();

        for (qsizetype i = snapshots.size() - 1; i > 0; --i) {
            QVERIFY(store.undoTree());
            QCOMPARE(show(store), snapshots.at(i - 1));
            QCOMPARE(store.levelsAreRegular(), regularByHand(store));
        }
        QVERIFY(!store.undoTree());
        for (qsizetype i = 1; i < snapshots.size(); ++i) {
            QVERIFY(store.redoTree());
            QCOMPARE(show(store), snapshots.at(i));
        }
        QVERIFY(!store.redoTree());
        QCOMPARE(store.undoSteps(), history);
    }

    void listingFormats()
    {
        CTreeList store;
        build(store, u"A1 B2 C2 D1"_s);
        QCOMPARE(store.listUndoSteps(), QString());
        QVERIFY(store.editAddAbove(2));
        QCOMPARE(store.listUndoSteps(),
                 u"【 4 】 / 種別 = 1 / Uセレクト = 2 / Rセレクト = 4/ アンカー = 1 / N = 1 / 階層 = 2 / 0004\r\n"_s);
        QCOMPARE(store.listRedoSteps(), QString());
        QVERIFY(store.undoTree());
        QCOMPARE(store.listUndoSteps(), QString());
        QCOMPARE(store.listRedoSteps(),
                 u"【 4 】 / 種別 = 1 / Uセレクト = 2  / Rセレクト = 4 / アンカー = 1 / N = 1 / 階層 = 2 / 0004\r\n"_s);
    }

    void listingKeepsLabelsLiterally()
    {
        CTreeList store;
        store.appendItem(1, u"%1 と %8\r\n"_s);
        store.appendItem(1, u"二\r\n"_s);
        QVERIFY(store.editMoveUp(1));
        QCOMPARE(store.listUndoSteps(),
                 u"【 1 】 / 種別 = 12 / Uセレクト = 1 / Rセレクト = 1/ アンカー = 0 / N = 1 / 階層 = 1 / 二\r\n"
                 u"【 1 】 / 種別 = 11 / Uセレクト = 0 / Rセレクト = 0/ アンカー = -1 / N = 1 / 階層 = 1 / 二\r\n"_s);
        QVERIFY(store.editDelete(0));
        QVERIFY(store.listUndoSteps().endsWith(u"/ N = 1 / 階層 = 1 / %1 と %8\r\n"_s));
    }

    // The label is a copy of the body's label line: an item put back by undo
    // or redo shows its body's label line now, not the one recorded.
    void putBackTakesTheLabelFromTheBody()
    {
        CTreeList store;
        build(store, u"A1 B1"_s);
        QCOMPARE(store.editAddBelow(0), std::optional<qint32>(2));
        QVERIFY(store.setBody(2, u"第一章\r\n本文"_s));
        store.setLabel(2, u"第一章"_s);
        QVERIFY(store.undoTree());
        QVERIFY(store.redoTree());
        QCOMPARE(show(store), u"0:A1 2:第一章1 1:B1"_s);
        // The record itself keeps the label it was made with.
        QCOMPARE(store.undoSteps().constLast().item.label, u"0002"_s);
    }

    // The primitives never put a number into the outline twice, nor record
    // an item they could not handle.
    void primitivesRefuseInconsistentBuffers()
    {
        CTreeList store;
        build(store, u"A1 B2 C1"_s);
        store.copyToBuffer(1);
        QVERIFY(!store.insertBufferAfter(0, 2)); // B is already in the outline
        store.clearBuffer();
        store.copyToBuffer(2);
        store.copyToBuffer(1);
        store.copyToBuffer(1);
        QVERIFY(!store.cutBuffer(0, 0, TREE_UNDO::Deleted)); // B listed twice
        QCOMPARE(show(store), u"0:A1 1:B2 2:C1"_s);
        QVERIFY(store.undoSteps().isEmpty());

        QCOMPARE(store.getPrevNumber(1), 0); // the table survived the refusal

        // An item not in the outline goes in first, then C is found present:
        // the first insertion is taken back with its record.
        store.clearBuffer();
        QCOMPARE(store.editAddBelow(2), std::optional<qint32>(3));
        store.copyToBuffer(2);
        store.copyToBuffer(3);
        QVERIFY(store.undoTree());
        QVERIFY(!store.insertBufferBefore(0));
        QCOMPARE(show(store), u"0:A1 1:B2 2:C1"_s);
        QVERIFY(store.undoSteps().isEmpty());
        QCOMPARE(store.getPrevNumber(2), 1);

        store.clearBuffer();
        store.copyToBuffer(99);
        QVERIFY(store.buffer().isEmpty());
        QCOMPARE(store.getPrevNumber(0), -1);
        QCOMPARE(store.getPrevNumber(3), -1);
    }

    void editsOnAbsentItemsDoNothing()
    {
        CTreeList store;
        build(store, u"A1 B2"_s);
        static const QStringList edits = {u"addAbove"_s, u"addBelow"_s, u"addChild"_s, u"moveUp"_s,
                                          u"moveDown"_s, u"raise"_s,    u"lower"_s,    u"delete"_s};
        for (const QString &edit : edits)
            QVERIFY2(!runEdit(store, edit, 7), qPrintable(edit));
        QCOMPARE(show(store), u"0:A1 1:B2"_s);
        QVERIFY(store.undoSteps().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTreeEdits)
#include "tst_tree_edits.moc"
