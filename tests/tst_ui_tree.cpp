#include "DocumentFixture.h"
#include "OutlineText.h"

#include "CommandIds.h"
#include "Messages.h"
#include "model/BodyText.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"
#include "tree/CQuilloryTree.h"
#include "tree/OutlineTreeModel.h"
#include "tree/TreeImages.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The tree as the user sees it: "A[B C] D".
QString shapeOf(const QAbstractItemModel &model, const QModelIndex &parent = {})
{
    QStringList out;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        QString text = index.data().toString();
        if (model.rowCount(index) > 0)
            text += QLatin1Char('[') + shapeOf(model, index) + QLatin1Char(']');
        out.append(text);
    }
    return out.join(QLatin1Char(' '));
}

QImage imageOf(const QVariant &decoration)
{
    return decoration.value<QIcon>().pixmap(16, 16).toImage();
}

// The in-place editor the view opened (an old one may await deletion).
QLineEdit *openEditor(const QWidget &tree)
{
    for (QLineEdit *line : tree.findChildren<QLineEdit *>()) {
        if (line->isVisible())
            return line;
    }
    return nullptr;
}

struct Item
{
    qint32 level;
    QString label;
};

// A document with the real tree pane and a fake editor, in a user folder of
// its own. The model is watched by Qt's model tester throughout, so every
// reset, removal and index the tree hands out is checked as it happens.
struct Harness : UserFolderFixture
{
    explicit Harness(int treeExpand = 1)
        : UserFolderFixture({{u"Display_Lable"_s, 1}, {u"TreeExpand"_s, treeExpand}})
    {
        doc = std::make_unique<CQuilloryDoc>(backend, &prompter, [] { return QString(); });
        doc->setEditorPane(&editor);
        tree = std::make_unique<CQuilloryTree>(*doc);
        tester = std::make_unique<QAbstractItemModelTester>(
            tree->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    // Items in order, each body "<label>\r\n<label> の本文", numbers from 0;
    // shown in both panes with the first item current.
    void show(const QList<Item> &items)
    {
        doc->store().clear();
        for (const Item &item : items)
            doc->store().appendItem(item.level, bodyFor(item.label));
        doc->refreshViews();
    }

    static QString bodyFor(const QString &label) { return label + u"\r\n"_s + label + u" の本文"_s; }

    qint32 numberOf(const QString &label) const { return ::numberOf(doc->store(), label); }

    QString selectedLabel() const
    {
        const qint32 number = tree->selectedNumber();
        return number < 0 ? QString() : tree->outlineModel()->label(number);
    }

    QString currentLabel() const { return doc->store().getLabelOfBody(doc->currentNumber()); }

    FakeEditorPane editor;
    std::unique_ptr<CQuilloryDoc> doc;
    std::unique_ptr<CQuilloryTree> tree;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// Gives one item another level through the store's own working-list
// operations, the only way an outline gets levels the loaders refuse. The
// item must not be the head.
void forceLevel(CTreeList &store, qint32 number, qint32 level)
{
    const qint32 before = store.getPrevNumber(number);
    const qint32 delta = level - store.getLevel(number);
    store.clearBuffer();
    store.copyToBuffer(number);
    store.cutBuffer(number, number, TREE_UNDO::MoveCut);
    store.shiftBufferLevels(delta);
    store.insertBufferAfter(number, before);
    store.clearBuffer();
}

// Where the tree and the store part ways: every item of the store has one
// row, under the row of the item's parent, after the rows of the siblings
// before it in the store, with the item's label; the selected row is the
// document's current item and the editor holds that item's text. "" when
// they agree.
QString treeAgainstStore(const CQuilloryTree &tree, const CQuilloryDoc &doc, const QString &editorText)
{
    const OutlineTreeModel &model = *tree.outlineModel();
    const CTreeList &store = doc.store();
    qint32 rows = 0;
    std::vector<QModelIndex> pending;
    for (int row = 0; row < model.rowCount(); ++row)
        pending.push_back(model.index(row, 0));
    while (!pending.empty()) {
        const QModelIndex index = pending.back();
        pending.pop_back();
        ++rows;
        for (int row = 0; row < model.rowCount(index); ++row)
            pending.push_back(model.index(row, 0, index));
    }
    if (rows != qint32(store.items().size()))
        return u"%1 rows for %2 items"_s.arg(rows).arg(store.items().size());
    QHash<qint32, qint32> lastRowUnder;
    for (const TREE_ITEM &item : store.items()) {
        const QModelIndex index = model.indexOfNumber(item.number);
        if (!index.isValid())
            return u"item %1 has no row"_s.arg(item.number);
        if (model.numberAt(index) != item.number)
            return u"the row of item %1 stands for %2"_s.arg(item.number).arg(model.numberAt(index));
        const qint32 parent = store.parentOf(item.number);
        if (model.numberAt(index.parent()) != parent)
            return u"row %1 hangs under %2, the item under %3"_s.arg(item.number).arg(
                model.numberAt(index.parent())).arg(parent);
        const qint32 before = lastRowUnder.value(parent, -1);
        if (index.row() <= before)
            return u"row %1 stands before a sibling that comes earlier in the outline"_s.arg(item.number);
        lastRowUnder.insert(parent, index.row());
        if (index.data().toString() != item.label)
            return u"row %1 shows \"%2\", the item is \"%3\""_s.arg(item.number).arg(index.data().toString(),
                                                                         item.label);
    }
    if (tree.selectedNumber() != doc.currentNumber())
        return u"row %1 selected, item %2 current"_s.arg(tree.selectedNumber()).arg(doc.currentNumber());
    if (rows > 0 && !tree.selectionModel()->isSelected(tree.currentIndex()))
        return u"the current row %1 is not selected"_s.arg(tree.selectedNumber());
    // A rename reaches the editor's label line before the body; the rest of
    // the text is the item's.
    const QString body = store.getBody(doc.currentNumber());
    if (labelFromBody(editorText) != store.findItem(doc.currentNumber())->label
        || bodyWithoutLabel(editorText) != bodyWithoutLabel(body))
        return u"the editor holds \"%1\", item %2 is \"%3\""_s.arg(editorText).arg(doc.currentNumber()).arg(body);
    return {};
}

const QList<Item> Abcd = {{1, u"A"_s}, {2, u"B"_s}, {2, u"C"_s}, {1, u"D"_s}};

const QList<int> AllCommands = {Cmd::TreeAddAbove,   Cmd::TreeAddBelow,   Cmd::TreeAddChild,
                                Cmd::TreeMoveUp,     Cmd::TreeMoveDown,   Cmd::TreeRaiseLevel,
                                Cmd::TreeLowerLevel, Cmd::TreeDelete,     Cmd::TreeExpand,
                                Cmd::TreeCollapse,   Cmd::TreeUndo,       Cmd::TreeRedo};

} // namespace

Q_DECLARE_METATYPE(Item)

class TestTreePane : public QObject
{
    Q_OBJECT

private slots:
    void shapeFollowsLevels_data();
    void shapeFollowsLevels();
    void levelsOutsideTheTableArePlacedSafely();
    void imagesFollowChildren();
    void rebuildSelectsFirstItem();
    void commandThenUndoRedo_data();
    void commandThenUndoRedo();
    void editThatDoesNothingLeavesDocument_data();
    void editThatDoesNothingLeavesDocument();
    void tooDeepIsRefused();
    void commandsRefusedOutsideTheTree_data();
    void commandsRefusedOutsideTheTree();
    void historyEnabling();
    void deleteRemovesRowsInPlace();
    void structuralEditsKeepTheEditorsText_data();
    void structuralEditsKeepTheEditorsText();
    void deleteOfOnlyTopLevelItemsChildrenRebuilds();
    void userSelectionLoadsItem();
    void selectionCannotBeClearedByTheUser();
    void setItemLabelShowsNewText();
    void inPlaceRename();
    void inPlaceRenameCancelled();
    void expandFlag();
    void expandAndCollapseCommands();
    void focusMakesTreeActive();
    void settingsGiveFontAndColours();
    void emptyStoreGivesEmptyTree();
    void randomCommandsKeepTreeAndStoreInStep_data();
    void randomCommandsKeepTreeAndStoreInStep();
};

void TestTreePane::shapeFollowsLevels_data()
{
    QTest::addColumn<QList<Item>>("items");
    QTest::addColumn<QString>("shape");

    QTest::newRow("regular") << Abcd << u"A[B C] D"_s;
    // E is deeper than D's children could be: it hangs under the last
    // level-2 item before it.
    QTest::newRow("jump back under an earlier branch")
        << QList<Item>{{1, u"A"_s}, {2, u"B"_s}, {3, u"C"_s}, {1, u"D"_s}, {3, u"E"_s}}
        << u"A[B[C E]] D"_s;
    QTest::newRow("first item deeper than 1")
        << QList<Item>{{2, u"B"_s}, {3, u"C"_s}, {1, u"D"_s}} << u"B[C] D"_s;
    QTest::newRow("rise by two")
        << QList<Item>{{1, u"A"_s}, {3, u"C"_s}, {2, u"B"_s}, {3, u"E"_s}} << u"A[B[E]] C"_s;
    QTest::newRow("single item") << QList<Item>{{1, u"一"_s}} << u"一"_s;
}

void TestTreePane::shapeFollowsLevels()
{
    QFETCH(QList<Item>, items);
    QFETCH(QString, shape);
    Harness h;
    h.show(items);
    QCOMPARE(shapeOf(*h.tree->model()), shape);
    // The tree shows exactly the relations the edits work by.
    const OutlineTreeModel &model = *h.tree->outlineModel();
    for (const TREE_ITEM &item : h.doc->store().items())
        QCOMPARE(model.numberAt(model.indexOfNumber(item.number).parent()), h.doc->store().parentOf(item.number));
}

void TestTreePane::levelsOutsideTheTableArePlacedSafely()
{
    Harness h;
    h.show({{1, u"A"_s}, {1, u"Z"_s}, {1, u"K"_s}, {1, u"N"_s}, {1, u"X"_s},
            {1, u"P"_s}, {1, u"Q"_s}, {1, u"R"_s}, {1, u"S"_s}});
    CTreeList &store = h.doc->store();
    forceLevel(store, h.numberOf(u"Z"_s), 0);
    forceLevel(store, h.numberOf(u"K"_s), 2);
    forceLevel(store, h.numberOf(u"N"_s), -3);
    forceLevel(store, h.numberOf(u"X"_s), 2);
    forceLevel(store, h.numberOf(u"P"_s), 300);
    forceLevel(store, h.numberOf(u"Q"_s), 301);
    forceLevel(store, h.numberOf(u"S"_s), 2);
    QCOMPARE(outlineOf(store), u"A1 Z0 K2 N-3 X2 P300 Q301 R1 S2"_s);

    h.tree->rebuild();
    // Levels below 1 stand at the top and take no children (K still hangs
    // under A); levels beyond the table follow the same rule as any other.
    QCOMPARE(shapeOf(*h.tree->model()), u"A[K X] Z N P[Q] R[S]"_s);
    const OutlineTreeModel &model = *h.tree->outlineModel();
    for (const TREE_ITEM &item : store.items())
        QCOMPARE(model.numberAt(model.indexOfNumber(item.number).parent()), store.parentOf(item.number));

    // Commands on such an outline keep tree and store in step.
    h.tree->selectItem(h.numberOf(u"P"_s));
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    QCOMPARE(outlineOf(store), u"A1 Z0 K2 N-3 X2 R1 S2"_s);
    QCOMPARE(shapeOf(*h.tree->model()), u"A[K X] Z N R[S]"_s);
}

void TestTreePane::imagesFollowChildren()
{
    Harness h;
    h.show(Abcd);
    const OutlineTreeModel &model = *h.tree->outlineModel();
    const QImage sheet = imageOf(TreeImages::sheet());
    const QImage folder = imageOf(TreeImages::openFolder());
    QVERIFY(sheet != folder);
    QCOMPARE(imageOf(model.indexOfNumber(0).data(Qt::DecorationRole)), folder);
    for (qint32 leaf : {1, 2, 3})
        QCOMPARE(imageOf(model.indexOfNumber(leaf).data(Qt::DecorationRole)), sheet);

    // A parent that lost its last children through delete shows a sheet.
    h.tree->selectItem(1);
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    h.tree->selectItem(2);
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    QCOMPARE(shapeOf(model), u"A D"_s);
    QCOMPARE(imageOf(model.indexOfNumber(0).data(Qt::DecorationRole)), sheet);
}

void TestTreePane::rebuildSelectsFirstItem()
{
    Harness h;
    h.show({{2, u"B"_s}, {3, u"C"_s}, {1, u"D"_s}});
    h.tree->selectItem(h.numberOf(u"C"_s));
    QCOMPARE(h.currentLabel(), u"C"_s);
    h.tree->rebuild();
    QCOMPARE(h.selectedLabel(), u"B"_s);
    QCOMPARE(h.currentLabel(), u"B"_s);
    QCOMPARE(h.editor.text(), Harness::bodyFor(u"B"_s));
}

void TestTreePane::commandThenUndoRedo_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("selectedAfter");
    QTest::addColumn<QString>("selectedAfterUndo");
    QTest::addColumn<QString>("selectedAfterRedo");

    // Outline A(1) B(2) C(2) D(1), numbers 0 to 3; a new item is 0004.
    QTest::newRow("add above") << Cmd::TreeAddAbove << u"C"_s << u"A1 B2 00042 C2 D1"_s
                               << u"0004"_s << u"C"_s << u"0004"_s;
    QTest::newRow("add below") << Cmd::TreeAddBelow << u"A"_s << u"A1 B2 C2 00041 D1"_s
                               << u"0004"_s << u"A"_s << u"0004"_s;
    QTest::newRow("add child") << Cmd::TreeAddChild << u"A"_s << u"A1 B2 C2 00042 D1"_s
                               << u"0004"_s << u"A"_s << u"0004"_s;
    QTest::newRow("move up") << Cmd::TreeMoveUp << u"C"_s << u"A1 C2 B2 D1"_s << u"C"_s << u"C"_s << u"B"_s;
    QTest::newRow("move up a branch") << Cmd::TreeMoveUp << u"D"_s << u"D1 A1 B2 C2"_s << u"D"_s
                                      << u"D"_s << u"A"_s;
    QTest::newRow("move down") << Cmd::TreeMoveDown << u"A"_s << u"D1 A1 B2 C2"_s << u"A"_s << u"A"_s
                               << u"A"_s;
    QTest::newRow("raise level") << Cmd::TreeRaiseLevel << u"B"_s << u"A1 C2 B1 D1"_s << u"B"_s << u"B"_s
                                 << u"B"_s;
    QTest::newRow("lower level") << Cmd::TreeLowerLevel << u"D"_s << u"A1 B2 C2 D2"_s << u"D"_s << u"D"_s
                                 << u"D"_s;
    // Delete: the next sibling, else the parent, else the previous sibling;
    // the redo of a delete selects its recorded item, or rebuilds onto the
    // first item when it recorded none.
    QTest::newRow("delete first child") << Cmd::TreeDelete << u"B"_s << u"A1 C2 D1"_s << u"C"_s << u"B"_s
                                        << u"C"_s;
    QTest::newRow("delete last child") << Cmd::TreeDelete << u"C"_s << u"A1 B2 D1"_s << u"A"_s << u"C"_s
                                       << u"A"_s;
    QTest::newRow("delete branch") << Cmd::TreeDelete << u"A"_s << u"D1"_s << u"D"_s << u"A"_s << u"D"_s;
    QTest::newRow("delete last top-level") << Cmd::TreeDelete << u"D"_s << u"A1 B2 C2"_s << u"A"_s
                                           << u"D"_s << u"A"_s;
}

void TestTreePane::commandThenUndoRedo()
{
    QFETCH(int, command);
    QFETCH(QString, on);
    QFETCH(QString, after);
    QFETCH(QString, selectedAfter);
    QFETCH(QString, selectedAfterUndo);
    QFETCH(QString, selectedAfterRedo);

    Harness h;
    h.show(Abcd);
    const CTreeList &store = h.doc->store();
    const QString before = outlineOf(store);
    h.tree->selectItem(h.numberOf(on));
    QCOMPARE(h.currentLabel(), on);
    QVERIFY(!h.doc->isModified());

    const auto check = [&](const QString &outline, const QString &selected) {
        QCOMPARE(outlineOf(store), outline);
        QCOMPARE(rowsOf(*h.tree->model()), outline);
        QCOMPARE(h.selectedLabel(), selected);
        QCOMPARE(h.currentLabel(), selected);
        QCOMPARE(h.editor.text(), store.getBody(h.doc->currentNumber()));
    };

    QVERIFY(h.tree->runCommand(command));
    check(after, selectedAfter);
    QVERIFY(h.doc->isModified());

    h.doc->setModified(false);
    QVERIFY(h.tree->runCommand(Cmd::TreeUndo));
    check(before, selectedAfterUndo);
    QVERIFY(h.doc->isModified());
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeUndo));

    QVERIFY(h.tree->runCommand(Cmd::TreeRedo));
    check(after, selectedAfterRedo);
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeRedo));
}

void TestTreePane::editThatDoesNothingLeavesDocument_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("on");
    QTest::newRow("move up first child") << Cmd::TreeMoveUp << u"B"_s;
    QTest::newRow("move down last item") << Cmd::TreeMoveDown << u"D"_s;
    QTest::newRow("raise top level") << Cmd::TreeRaiseLevel << u"A"_s;
    QTest::newRow("lower first child") << Cmd::TreeLowerLevel << u"B"_s;
}

void TestTreePane::editThatDoesNothingLeavesDocument()
{
    QFETCH(int, command);
    QFETCH(QString, on);
    Harness h;
    h.show(Abcd);
    h.tree->selectItem(h.numberOf(on));
    QSignalSpy resets(h.tree->model(), &QAbstractItemModel::modelReset);
    QVERIFY(h.tree->runCommand(command));
    QCOMPARE(outlineOf(h.doc->store()), u"A1 B2 C2 D1"_s);
    QCOMPARE(resets.count(), 0);
    QCOMPARE(h.selectedLabel(), on);
    QVERIFY(!h.doc->isModified());
    QVERIFY(h.doc->store().undoSteps().isEmpty());
}

void TestTreePane::tooDeepIsRefused()
{
    Harness h;
    QList<Item> chain;
    for (qint32 level = 1; level <= CTreeList::MaxLevel; ++level)
        chain.append({level, QString::number(level)});
    h.show(chain);
    h.tree->selectItem(h.numberOf(QString::number(CTreeList::MaxLevel)));
    QVERIFY(h.tree->runCommand(Cmd::TreeAddChild));
    QCOMPARE(h.prompter.messages, QStringList{QString::fromUtf16(Msg::TooDeep)});
    QCOMPARE(qsizetype(h.doc->store().items().size()), qsizetype(CTreeList::MaxLevel));
    QVERIFY(!h.doc->isModified());
    QCOMPARE(h.selectedLabel(), QString::number(CTreeList::MaxLevel));
}

void TestTreePane::commandsRefusedOutsideTheTree_data()
{
    QTest::addColumn<bool>("editorActive");
    QTest::addColumn<int>("displayMode");
    QTest::newRow("editor active") << true << DisplayMode::Label;
    QTest::newRow("single page") << false << DisplayMode::SinglePage;
}

void TestTreePane::commandsRefusedOutsideTheTree()
{
    QFETCH(bool, editorActive);
    QFETCH(int, displayMode);
    Harness h;
    h.show(Abcd);
    h.tree->selectItem(h.numberOf(u"C"_s));
    // A history in both directions, so that only the pane's state can refuse.
    QVERIFY(h.tree->runCommand(Cmd::TreeAddChild));
    QVERIFY(h.tree->runCommand(Cmd::TreeAddChild));
    QVERIFY(h.tree->runCommand(Cmd::TreeUndo));
    for (int id : AllCommands)
        QVERIFY2(h.tree->isCommandEnabled(id), qPrintable(QString::number(id)));

    h.doc->setEditorActive(editorActive);
    h.doc->setDisplayMode(displayMode);
    h.doc->setModified(false);
    const QString outline = outlineOf(h.doc->store());
    const qsizetype undo = h.doc->store().undoSteps().size();
    const qsizetype redo = h.doc->store().redoSteps().size();
    const QString selected = h.selectedLabel();
    h.tree->collapseAll();
    for (int id : AllCommands) {
        QVERIFY2(!h.tree->isCommandEnabled(id), qPrintable(QString::number(id)));
        QVERIFY(!h.tree->runCommand(id));
    }
    QCOMPARE(outlineOf(h.doc->store()), outline);
    QCOMPARE(h.doc->store().undoSteps().size(), undo);
    QCOMPARE(h.doc->store().redoSteps().size(), redo);
    QCOMPARE(h.selectedLabel(), selected);
    QVERIFY(!h.tree->isExpanded(h.tree->outlineModel()->indexOfNumber(0)));
    QVERIFY(!h.doc->isModified());
    // Unknown ids are never the tree's.
    QVERIFY(!CQuilloryTree::handlesCommand(Cmd::TextImport));
    QVERIFY(!CQuilloryTree::handlesCommand(Cmd::EditUndo));
}

void TestTreePane::historyEnabling()
{
    Harness h;
    h.show(Abcd);
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeUndo));
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeRedo));
    QVERIFY(!h.tree->runCommand(Cmd::TreeUndo));
    QCOMPARE(outlineOf(h.doc->store()), u"A1 B2 C2 D1"_s);

    QSignalSpy state(h.tree.get(), &CQuilloryTree::commandStateChanged);
    QVERIFY(h.tree->runCommand(Cmd::TreeAddAbove));
    QVERIFY(state.count() > 0);
    QVERIFY(h.tree->isCommandEnabled(Cmd::TreeUndo));
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeRedo));
    QVERIFY(h.tree->runCommand(Cmd::TreeUndo));
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeUndo));
    QVERIFY(h.tree->isCommandEnabled(Cmd::TreeRedo));
    // A new step drops what could have been redone.
    QVERIFY(h.tree->runCommand(Cmd::TreeAddBelow));
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeRedo));
}

void TestTreePane::deleteRemovesRowsInPlace()
{
    Harness h;
    h.show({{1, u"A"_s}, {2, u"B"_s}, {3, u"B1"_s}, {2, u"C"_s}, {1, u"D"_s}});
    QAbstractItemModel *model = h.tree->model();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);

    h.tree->selectItem(h.numberOf(u"B"_s));
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).value<QModelIndex>(), h.tree->outlineModel()->indexOfNumber(0));
    QCOMPARE(removed.at(0).at(1).toInt(), 0);
    QCOMPARE(removed.at(0).at(2).toInt(), 0);
    QCOMPARE(shapeOf(*model), u"A[C] D"_s);
    QVERIFY(!h.tree->outlineModel()->hasRow(h.numberOf(u"B1"_s)));
    QVERIFY(!h.tree->outlineModel()->hasRow(1));
    QVERIFY(!h.tree->outlineModel()->hasRow(2));
    QCOMPARE(h.selectedLabel(), u"C"_s);
    QCOMPARE(h.currentLabel(), u"C"_s);
    QCOMPARE(h.editor.text(), Harness::bodyFor(u"C"_s));

    // The rows left behind still answer to their numbers.
    h.tree->setItemLabel(h.numberOf(u"D"_s), u"終章"_s);
    QCOMPARE(shapeOf(*model), u"A[C] 終章"_s);
    h.tree->selectItem(h.numberOf(u"A"_s));
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    QCOMPARE(resets.count(), 0);
    QCOMPARE(removed.count(), 2);
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(h.doc->currentNumber(), 4);
}

void TestTreePane::structuralEditsKeepTheEditorsText_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("on");
    QTest::newRow("delete, then undo") << Cmd::TreeDelete << u"C"_s;
    QTest::newRow("move down") << Cmd::TreeMoveDown << u"A"_s;
    // D becomes the first item, which the rebuild selects anyway.
    QTest::newRow("move up to the head") << Cmd::TreeMoveUp << u"D"_s;
    QTest::newRow("add child") << Cmd::TreeAddChild << u"C"_s;
    QTest::newRow("lower level") << Cmd::TreeLowerLevel << u"C"_s;
}

void TestTreePane::structuralEditsKeepTheEditorsText()
{
    QFETCH(int, command);
    QFETCH(QString, on);
    Harness h;
    h.show(Abcd);
    const qint32 typedInto = h.numberOf(on);
    h.tree->selectItem(typedInto);
    // Typed but not yet written back when the command runs.
    h.editor.select(qint32(h.editor.text().size()), qint32(h.editor.text().size()));
    h.editor.typeText(u"、書きかけ"_s);
    QVERIFY(h.tree->runCommand(command));
    if (command == Cmd::TreeDelete)
        QVERIFY(h.tree->runCommand(Cmd::TreeUndo));

    // Wherever the selection went, the text is the item's.
    h.tree->selectItem(h.numberOf(on == u"A"_s ? u"B"_s : u"A"_s));
    h.tree->selectItem(typedInto);
    QCOMPARE(h.currentLabel(), on);
    QCOMPARE(h.editor.text(), Harness::bodyFor(on) + u"、書きかけ"_s);
}

void TestTreePane::deleteOfOnlyTopLevelItemsChildrenRebuilds()
{
    Harness h;
    h.show({{1, u"A"_s}, {2, u"B"_s}, {3, u"C"_s}});
    QSignalSpy resets(h.tree->model(), &QAbstractItemModel::modelReset);
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(shapeOf(*h.tree->model()), u"A"_s);
    QCOMPARE(h.selectedLabel(), u"A"_s);
    QVERIFY(h.doc->isModified());
    // A alone: nothing is left to delete.
    h.doc->setModified(false);
    QVERIFY(h.tree->runCommand(Cmd::TreeDelete));
    QCOMPARE(resets.count(), 1);
    QCOMPARE(shapeOf(*h.tree->model()), u"A"_s);
    QVERIFY(!h.doc->isModified());
}

void TestTreePane::userSelectionLoadsItem()
{
    Harness h;
    h.show(Abcd);
    h.tree->resize(300, 400);
    h.tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.tree.get()));
    QCOMPARE(h.currentLabel(), u"A"_s);

    // The user edits A in the editor, then picks B with the mouse.
    h.editor.select(0, 1);
    h.editor.typeText(u"序"_s);
    const QRect rowB = h.tree->visualRect(h.tree->outlineModel()->indexOfNumber(1));
    QVERIFY(rowB.isValid());
    QTest::mouseClick(h.tree->viewport(), Qt::LeftButton, {}, rowB.center());
    QCOMPARE(h.currentLabel(), u"B"_s);
    QCOMPARE(h.editor.text(), Harness::bodyFor(u"B"_s));
    // A's text went back into the store, and its new label into the tree.
    QCOMPARE(h.doc->store().getBody(0), u"序\r\nA の本文"_s);
    QCOMPARE(h.tree->outlineModel()->label(0), u"序"_s);

    // The keyboard moves the selection the same way.
    QTest::keyClick(h.tree.get(), Qt::Key_Down);
    QCOMPARE(h.currentLabel(), u"C"_s);
    QCOMPARE(h.editor.text(), Harness::bodyFor(u"C"_s));
}

void TestTreePane::selectionCannotBeClearedByTheUser()
{
    Harness h;
    h.show(Abcd);
    h.tree->resize(300, 400);
    h.tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.tree.get()));
    const QRect rowA = h.tree->visualRect(h.tree->outlineModel()->indexOfNumber(0));
    QTest::mouseClick(h.tree->viewport(), Qt::LeftButton, Qt::ControlModifier, rowA.center());
    QCOMPARE(h.tree->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(h.selectedLabel(), u"A"_s);
    // Nor by a click below the last row.
    const QPoint below(rowA.center().x(), h.tree->viewport()->height() - 5);
    QVERIFY(!h.tree->indexAt(below).isValid());
    QTest::mouseClick(h.tree->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(h.tree->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(h.selectedLabel(), u"A"_s);
    QVERIFY(h.tree->isCommandEnabled(Cmd::TreeAddAbove));
}

void TestTreePane::setItemLabelShowsNewText()
{
    Harness h;
    h.show(Abcd);
    QSignalSpy changed(h.tree->model(), &QAbstractItemModel::dataChanged);
    h.tree->setItemLabel(2, u"新しい題"_s);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), h.tree->outlineModel()->indexOfNumber(2));
    QCOMPARE(shapeOf(*h.tree->model()), u"A[B 新しい題] D"_s);

    // A number without a row is ignored.
    h.tree->setItemLabel(99, u"x"_s);
    h.tree->setItemLabel(-1, u"x"_s);
    QCOMPARE(changed.count(), 1);

    h.tree->selectItem(3);
    h.tree->setSelectedLabel(u"結び"_s);
    QCOMPARE(shapeOf(*h.tree->model()), u"A[B 新しい題] 結び"_s);
}

void TestTreePane::inPlaceRename()
{
    Harness h;
    h.show(Abcd);
    h.tree->resize(300, 400);
    h.tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.tree.get()));
    h.tree->selectItem(1);
    QTest::keyClick(h.tree.get(), Qt::Key_F2);
    QPointer<QLineEdit> line = openEditor(*h.tree);
    QVERIFY(line);
    QCOMPARE(line->text(), u"B"_s);
    line->selectAll();
    QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, u"第二節"_s, {});
    QCOMPARE(line->text(), u"第二節"_s);
    QTest::keyClick(line, Qt::Key_Return);

    // The view commits a confirmed edit from the event loop.
    QTRY_COMPARE(shapeOf(*h.tree->model()), u"A[第二節 C] D"_s);
    QCOMPARE(h.doc->store().findItem(1)->label, u"第二節"_s);
    QCOMPARE(h.editor.text(), u"第二節\r\nB の本文"_s);
    QVERIFY(h.doc->isModified());

    // Confirming the text unchanged renames nothing.
    h.doc->setModified(false);
    QTest::keyClick(h.tree.get(), Qt::Key_F2);
    line = openEditor(*h.tree);
    QVERIFY(line);
    QCOMPARE(line->text(), u"第二節"_s);
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_VERIFY(!line || !line->isVisible());
    QVERIFY(!h.doc->isModified());
    QCOMPARE(h.editor.text(), u"第二節\r\nB の本文"_s);
}

void TestTreePane::inPlaceRenameCancelled()
{
    Harness h;
    h.show(Abcd);
    h.tree->resize(300, 400);
    h.tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.tree.get()));
    h.tree->selectItem(2);
    h.editor.calls.clear();
    QTest::keyClick(h.tree.get(), Qt::Key_F2);
    QPointer<QLineEdit> line = openEditor(*h.tree);
    QVERIFY(line);
    line->selectAll();
    QTest::sendKeyEvent(QTest::Click, line, Qt::Key_unknown, u"取り消す"_s, {});
    QCOMPARE(line->text(), u"取り消す"_s);
    QTest::keyClick(line, Qt::Key_Escape);
    QTRY_VERIFY(!line || !line->isVisible());
    QCoreApplication::processEvents();

    QCOMPARE(shapeOf(*h.tree->model()), u"A[B C] D"_s);
    QCOMPARE(h.doc->store().findItem(2)->label, u"C"_s);
    QCOMPARE(h.doc->store().getBody(2), Harness::bodyFor(u"C"_s));
    QCOMPARE(h.editor.calls, QStringList());
    QVERIFY(!h.doc->isModified());
}

void TestTreePane::expandFlag()
{
    const QList<Item> items = {{1, u"A"_s}, {2, u"B"_s}, {3, u"C"_s}, {1, u"D"_s}, {2, u"E"_s}};
    {
        Harness h(1);
        h.show(items);
        h.tree->selectItem(h.numberOf(u"C"_s));
        QVERIFY(h.tree->runCommand(Cmd::TreeAddAbove));
        const OutlineTreeModel &model = *h.tree->outlineModel();
        for (const QString &parent : {u"A"_s, u"B"_s, u"D"_s})
            QVERIFY(h.tree->isExpanded(model.indexOfNumber(h.numberOf(parent))));
    }
    {
        Harness h(0);
        h.show(items);
        const OutlineTreeModel &model = *h.tree->outlineModel();
        QVERIFY(!h.tree->isExpanded(model.indexOfNumber(0)));
        h.tree->selectItem(h.numberOf(u"C"_s));
        QVERIFY(h.tree->runCommand(Cmd::TreeAddAbove));
        // Only the branch down to the selection is open.
        QVERIFY(h.tree->isExpanded(model.indexOfNumber(h.numberOf(u"A"_s))));
        QVERIFY(h.tree->isExpanded(model.indexOfNumber(h.numberOf(u"B"_s))));
        QVERIFY(!h.tree->isExpanded(model.indexOfNumber(h.numberOf(u"D"_s))));
        QCOMPARE(h.selectedLabel(), u"0005"_s);
    }
}

void TestTreePane::expandAndCollapseCommands()
{
    Harness h(0);
    h.show({{1, u"A"_s}, {2, u"B"_s}, {3, u"C"_s}, {1, u"D"_s}, {2, u"E"_s}});
    const OutlineTreeModel &model = *h.tree->outlineModel();
    QVERIFY(h.tree->runCommand(Cmd::TreeExpand));
    for (qint32 parent : {0, 1, 3})
        QVERIFY(h.tree->isExpanded(model.indexOfNumber(parent)));
    QVERIFY(h.tree->runCommand(Cmd::TreeCollapse));
    for (qint32 parent : {0, 1, 3})
        QVERIFY(!h.tree->isExpanded(model.indexOfNumber(parent)));
    // The expand flag itself is left alone: a rebuild collapses again.
    QVERIFY(h.tree->runCommand(Cmd::TreeExpand));
    h.tree->rebuild();
    QVERIFY(!h.tree->isExpanded(model.indexOfNumber(0)));
}

void TestTreePane::focusMakesTreeActive()
{
    Harness h;
    h.show(Abcd);
    h.doc->setEditorActive(true);
    QVERIFY(!h.tree->isCommandEnabled(Cmd::TreeAddAbove));
    QSignalSpy state(h.tree.get(), &CQuilloryTree::commandStateChanged);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(h.tree.get(), &focusIn);
    QVERIFY(!h.doc->editorActive());
    QCOMPARE(state.count(), 1);
    QVERIFY(h.tree->isCommandEnabled(Cmd::TreeAddAbove));
}

void TestTreePane::settingsGiveFontAndColours()
{
    Harness h;
    h.doc->settings().Tree_FontSize = 13;
    h.doc->settings().Tree_FontColor = 0x000000FF;  // red
    h.doc->settings().Tree_BackColor = 0x00804020;  // BB=80 GG=40 RR=20
    h.doc->settings().TreeExpand = 0;
    h.tree->applySettings();
    QCOMPARE(h.tree->font().pixelSize(), 13);
    QCOMPARE(h.tree->palette().color(QPalette::Text), QColor(0xFF, 0, 0));
    QCOMPARE(h.tree->palette().color(QPalette::Base), QColor(0x20, 0x40, 0x80));
    h.show(Abcd);
    QVERIFY(!h.tree->isExpanded(h.tree->outlineModel()->indexOfNumber(0)));

    // A size the settings store cannot have meant keeps the font usable.
    h.doc->settings().Tree_FontSize = 0;
    h.tree->applySettings();
    QCOMPARE(h.tree->font().pixelSize(), 13);
}

void TestTreePane::emptyStoreGivesEmptyTree()
{
    Harness h;
    h.show(Abcd);
    h.doc->store().clear();
    h.tree->rebuild();
    QCOMPARE(h.tree->model()->rowCount(), 0);
    QCOMPARE(h.tree->selectedNumber(), -1);
    h.tree->show();
    QCOMPARE(h.tree->model()->rowCount(), 0);
    // In single-page mode the document empties the tree and the store.
    h.show(Abcd);
    h.tree->deleteAllItems();
    QCOMPARE(h.tree->model()->rowCount(), 0);
    QCOMPARE(h.tree->selectedNumber(), -1);
}

void TestTreePane::randomCommandsKeepTreeAndStoreInStep_data()
{
    QTest::addColumn<int>("treeExpand");
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QList<Item>>("items");
    const QList<Item> regular = {{1, u"A"_s}, {2, u"B"_s}, {3, u"C"_s}, {3, u"D"_s},
                                 {2, u"E"_s}, {1, u"F"_s}, {2, u"G"_s}, {1, u"H"_s}};
    // Levels that rise by more than one and an outline that starts deep.
    const QList<Item> irregular = {{2, u"A"_s}, {1, u"B"_s}, {3, u"C"_s}, {2, u"D"_s},
                                   {4, u"E"_s}, {3, u"F"_s}, {1, u"G"_s}, {3, u"H"_s}};
    for (quint32 seed : {1u, 2u, 3u, 4u}) {
        QTest::addRow("expanded, seed %u", seed) << 1 << seed << regular;
        QTest::addRow("collapsed, seed %u", seed) << 0 << seed << regular;
        QTest::addRow("irregular, seed %u", seed) << int(seed % 2) << seed << irregular;
    }
}

// Commands, undo and redo, keys and label changes in random order, the tree
// checked against the store after every step.
void TestTreePane::randomCommandsKeepTreeAndStoreInStep()
{
    QFETCH(int, treeExpand);
    QFETCH(quint32, seed);
    QFETCH(QList<Item>, items);
    Harness h(treeExpand);
    h.show(items);
    h.tree->resize(240, 160);
    h.tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.tree.get()));
    h.tree->setFocus();
    QRandomGenerator random(seed);
    const QList<int> keys = {Qt::Key_Up,   Qt::Key_Down, Qt::Key_Left,     Qt::Key_Right,
                             Qt::Key_Home, Qt::Key_End,  Qt::Key_PageDown, Qt::Key_PageUp};
    QStringList steps;
    int ran = 0;
    for (int step = 0; step < 400; ++step) {
        const int pick = int(random.bounded(100));
        if (pick < 55) {
            const int command = AllCommands.at(int(random.bounded(qint64(AllCommands.size()))));
            steps.append(u"command %1"_s.arg(command));
            ran += h.tree->runCommand(command) ? 1 : 0;
        } else if (pick < 85) {
            const int key = keys.at(int(random.bounded(qint64(keys.size()))));
            steps.append(u"key %1"_s.arg(QKeySequence(key).toString()));
            QTest::keyClick(h.tree.get(), Qt::Key(key));
        } else if (pick < 92) {
            // The editor's first line becomes the label on the next write-back.
            const QString label = u"第%1"_s.arg(step);
            steps.append(u"type %1 into %2"_s.arg(label).arg(h.doc->currentNumber()));
            h.editor.select(0, 0);
            h.editor.typeText(label);
            h.doc->writeBack(true);
        } else if (pick < 96 && h.tree->selectedNumber() >= 0) {
            // An in-place rename, confirmed with Return or ended by the next
            // command the way the frame ends it.
            const QString label = u"r%1"_s.arg(step);
            const bool byCommand = random.bounded(2) != 0;
            steps.append(u"rename %1 to %2%3"_s.arg(h.tree->selectedNumber()).arg(label, byCommand ? u" then command"_s : u""_s));
            QTest::keyClick(h.tree.get(), Qt::Key_F2);
            QPointer<QLineEdit> line = openEditor(*h.tree);
            QVERIFY(line);
            line->selectAll();
            QTest::keyClicks(line, label);
            if (byCommand) {
                h.tree->commitLabelEdit();
                const int command = AllCommands.at(int(random.bounded(qint64(AllCommands.size()))));
                steps.append(u"command %1"_s.arg(command));
                h.tree->runCommand(command);
            } else {
                QTest::keyClick(line, Qt::Key_Return);
                QTRY_VERIFY(!line || !line->isVisible());
            }
        } else {
            // A new label for any item, its row shown or hidden: the
            // current one's as typed into its label line, any other's as a
            // write-back gives it.
            const auto &items = h.doc->store().items();
            auto pos = items.begin();
            std::advance(pos, random.bounded(qint64(items.size())));
            const qint32 number = pos->number;
            const QString label = u"名%1"_s.arg(step);
            steps.append(u"label %1 on %2"_s.arg(label).arg(number));
            if (number == h.doc->currentNumber()) {
                h.editor.select(0, 0);
                h.editor.typeText(label);
                h.doc->setCurrentLabel(labelFromBody(h.editor.text()));
            } else {
                const QString body = label + h.doc->store().getBody(number);
                h.doc->store().setBody(number, body);
                h.doc->store().setLabel(number, labelFromBody(body));
                h.tree->setItemLabel(number, labelFromBody(body));
            }
        }
        const QString fault = treeAgainstStore(*h.tree, *h.doc, h.editor.text());
        if (!fault.isEmpty())
            QFAIL(qPrintable(fault + u" after: "_s + steps.mid(qMax(0, steps.size() - 6)).join(u", "_s)));
    }
    // The walk must have edited the outline, not just looked at it.
    QVERIFY(ran > 100);
}

QTEST_MAIN(TestTreePane)
#include "tst_ui_tree.moc"
