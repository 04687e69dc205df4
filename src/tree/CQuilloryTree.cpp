#include "tree/CQuilloryTree.h"

#include "CommandIds.h"
#include "model/CQuilloryDoc.h"
#include "tree/OutlineTreeModel.h"

#include <QFocusEvent>
#include <QPalette>

namespace {

// Settings keep colours as 0x00BBGGRR.
QColor colourFromSetting(qint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// A label is one line: whatever follows a line break would become body text.
QString oneLine(const QString &text)
{
    qsizetype end = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\r') || text.at(i) == QLatin1Char('\n')) {
            end = i;
            break;
        }
    }
    return text.left(end);
}

} // namespace

CQuilloryTree::CQuilloryTree(CQuilloryDoc &doc, QWidget *parent)
    : QTreeView(parent)
    , m_doc(doc)
    , m_model(new OutlineTreeModel(doc.store(), this))
{
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Rows are one line each; Qt then need not measure every row of a large
    // outline to lay it out.
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setIconSize(QSize(16, 16));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Plain);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onCurrentChanged(current); });
    connect(m_model, &OutlineTreeModel::renameRequested, this, &CQuilloryTree::onRenameRequested);

    applySettings();
    m_doc.setTreePane(this);
}

CQuilloryTree::~CQuilloryTree()
{
    m_doc.setTreePane(nullptr);
}

void CQuilloryTree::applySettings()
{
    m_expand = m_doc.settings().TreeExpand;
    applyTreeFont();
}

void CQuilloryTree::applyTreeFont()
{
    const QuillorySettings &settings = m_doc.settings();
    m_fontName = settings.Tree_FontName;
    m_fontSize = settings.Tree_FontSize;
    m_textColour = settings.Tree_FontColor;
    m_backColour = settings.Tree_BackColor;

    QFont treeFont = font();
    if (!m_fontName.isEmpty())
        treeFont.setFamily(m_fontName);
    // The size is the character cell in pixels. Settings are not checked
    // when read, so a size of 0 or less keeps the current one.
    if (m_fontSize > 0)
        treeFont.setPixelSize(m_fontSize);
    treeFont.setWeight(QFont::Normal);
    setFont(treeFont);

    QPalette colours = palette();
    const QColor text = colourFromSetting(m_textColour);
    const QColor back = colourFromSetting(m_backColour);
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::WindowText, text);
    // Styles that draw branch lines draw them in this colour.
    colours.setColor(QPalette::Dark, text);
    colours.setColor(QPalette::Base, back);
    colours.setColor(QPalette::Window, back);
    setPalette(colours);
    viewport()->update();
}

bool CQuilloryTree::handlesCommand(int id)
{
    switch (id) {
    case Cmd::TreeAddAbove:
    case Cmd::TreeAddBelow:
    case Cmd::TreeAddChild:
    case Cmd::TreeMoveUp:
    case Cmd::TreeMoveDown:
    case Cmd::TreeRaiseLevel:
    case Cmd::TreeLowerLevel:
    case Cmd::TreeDelete:
    case Cmd::TreeExpand:
    case Cmd::TreeCollapse:
    case Cmd::TreeUndo:
    case Cmd::TreeRedo:
        return true;
    default:
        return false;
    }
}

bool CQuilloryTree::isCommandEnabled(int id) const
{
    if (!handlesCommand(id))
        return false;
    // Tree commands belong to the tree while it is the active pane, and
    // only to an outline.
    if (m_doc.editorActive() || m_doc.displayMode() == DisplayMode::SinglePage)
        return false;
    switch (id) {
    case Cmd::TreeUndo:
        return !m_doc.store().undoSteps().isEmpty();
    case Cmd::TreeRedo:
        return !m_doc.store().redoSteps().isEmpty();
    case Cmd::TreeExpand:
    case Cmd::TreeCollapse:
        return true;
    default:
        // An edit needs an item to work on.
        return m_doc.store().contains(selectedNumber());
    }
}

bool CQuilloryTree::runCommand(int id)
{
    if (!isCommandEnabled(id))
        return false;
    CTreeList &store = m_doc.store();
    const qint32 s = selectedNumber();
    switch (id) {
    case Cmd::TreeAddAbove:
        runEdit(store.editAddAbove(s));
        break;
    case Cmd::TreeAddBelow:
        runEdit(store.editAddBelow(s));
        break;
    case Cmd::TreeAddChild:
        runEdit(store.editAddChild(s));
        break;
    case Cmd::TreeMoveUp:
        runEdit(store.editMoveUp(s));
        break;
    case Cmd::TreeMoveDown:
        runEdit(store.editMoveDown(s));
        break;
    case Cmd::TreeRaiseLevel:
        runEdit(store.editRaiseLevel(s));
        break;
    case Cmd::TreeLowerLevel:
        runEdit(store.editLowerLevel(s));
        break;
    case Cmd::TreeDelete:
        deleteSelected(s);
        break;
    case Cmd::TreeExpand:
        expandAllItems(true);
        break;
    case Cmd::TreeCollapse:
        expandAllItems(false);
        break;
    case Cmd::TreeUndo:
        replayHistory(true);
        break;
    case Cmd::TreeRedo:
        replayHistory(false);
        break;
    }
    emit commandStateChanged();
    return true;
}

void CQuilloryTree::runEdit(std::optional<qint32> result)
{
    if (!result)
        return;
    rebuild();
    selectItem(*result);
    m_doc.setModified(true);
}

void CQuilloryTree::deleteSelected(qint32 selected)
{
    const std::optional<qint32> result = m_doc.store().editDelete(selected);
    if (!result)
        return;
    m_doc.setModified(true);
    if (*result >= 0) {
        // Only the descendants went; the item itself stays selected.
        rebuild();
        selectItem(*result);
        return;
    }
    // The item went with its subtree. Its rows go the same way, without a
    // rebuild, and the selection moves where a redo of this delete would put
    // it. Qt moves the current row by its own rule while the rows go; the
    // document hears only of the final choice.
    const qint32 next = m_model->neighbourAfterRemoval(selected);
    m_quiet = true;
    m_model->removeItem(selected);
    const QModelIndex target = m_model->indexOfNumber(next);
    if (target.isValid()) {
        setCurrentRow(target);
        scrollTo(target);
    }
    m_quiet = false;
    if (target.isValid())
        m_doc.selectItem(next);
}

void CQuilloryTree::replayHistory(bool undo)
{
    CTreeList &store = m_doc.store();
    const std::optional<qint32> result = undo ? store.undoTree() : store.redoTree();
    if (!result)
        return;
    rebuild();
    if (*result != -1)
        selectItem(*result);
    // The outline differs from the one last saved as much as after the edit.
    m_doc.setModified(true);
}

void CQuilloryTree::expandAllItems(bool expand)
{
    // Images follow the rows' children by themselves; only the expansion
    // is set here.
    if (expand)
        expandAll();
    else
        collapseAllItems();
}

void CQuilloryTree::collapseAllItems()
{
    // collapseAll() lets go of each expanded row's persistent index on its
    // own, looking it up in the model's table of them; with 100,000 rows
    // open that takes twice as long as a model reset, which empties the
    // table at once and forgets every expansion with it. An open label
    // editor would be closed unsaved by the reset, so it keeps Qt's way.
    if (state() == EditingState || m_model->rowCount() == 0) {
        collapseAll();
        return;
    }
    const QModelIndex current = selectionModel()->currentIndex();
    const qint32 number = m_model->numberAt(current);
    m_quiet = true;
    m_model->resetViews();
    // The same item stays current, out of sight inside its collapsed
    // branch as after collapseAll(): the view must not scroll to it, which
    // would open the branch again.
    if (const QModelIndex again = m_model->indexOfNumber(number); again.isValid()) {
        const bool scrolls = hasAutoScroll();
        setAutoScroll(false);
        setCurrentRow(again);
        setAutoScroll(scrolls);
    }
    m_quiet = false;
}

void CQuilloryTree::deleteAllItems()
{
    m_model->clear();
    emit commandStateChanged();
}

void CQuilloryTree::setItemLabel(qint32 number, const QString &label)
{
    m_model->setLabel(number, label);
}

void CQuilloryTree::setSelectedLabel(const QString &label)
{
    // The label is the document's current item's. The current row can
    // already be another one: a click on it is what ends an in-place
    // rename, and the rename arrives before the document hears of the click.
    qint32 number = m_doc.currentNumber();
    if (!m_model->indexOfNumber(number).isValid())
        number = selectedNumber();
    if (number >= 0)
        m_model->setLabel(number, label);
}

void CQuilloryTree::rebuild()
{
    if (m_doc.store().items().empty()) {
        // Nothing to show; rows left over would stand for items that are gone.
        if (m_model->rowCount() > 0)
            m_model->clear();
        emit commandStateChanged();
        return;
    }
    const bool updating = updatesEnabled();
    setUpdatesEnabled(false);
    m_model->rebuild();
    // The first top-level row is the head of the outline; selecting it makes
    // it the document's current item.
    setCurrentRow(m_model->index(0, 0));
    // The reset has closed every branch already.
    if (m_expand != 0)
        expandAll();
    else
        collapseAll();
    setUpdatesEnabled(updating);
    emit commandStateChanged();
}

void CQuilloryTree::selectItem(qint32 number)
{
    const QModelIndex index = m_model->indexOfNumber(number);
    if (!index.isValid())
        return;
    setCurrentRow(index);
    // Opens the collapsed branches above it.
    scrollTo(index);
}

void CQuilloryTree::setCurrentRow(const QModelIndex &index)
{
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

qint32 CQuilloryTree::selectedNumber() const
{
    return m_model->numberAt(selectionModel()->currentIndex());
}

void CQuilloryTree::commitLabelEdit()
{
    if (state() != EditingState)
        return;
    // indexWidget() also finds the editor that edit() opened.
    QWidget *const editor = indexWidget(currentIndex());
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CQuilloryTree::onCurrentChanged(const QModelIndex &current)
{
    if (m_quiet)
        return;
    const qint32 number = m_model->numberAt(current);
    if (number >= 0)
        m_doc.selectItem(number);
    emit commandStateChanged();
}

void CQuilloryTree::onRenameRequested(qint32 number, const QString &text)
{
    const QString label = oneLine(text);
    // Confirming the text as it was is no rename.
    if (label == m_model->label(number))
        return;
    if (number != m_doc.currentNumber()) {
        m_doc.selectItem(number);
        if (number != m_doc.currentNumber())
            return;
    }
    m_doc.renameCurrent(label);
    emit commandStateChanged();
}

void CQuilloryTree::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    m_doc.setEditorActive(false);
    emit commandStateChanged();
}

void CQuilloryTree::showEvent(QShowEvent *event)
{
    QTreeView::showEvent(event);
    // A document given its content before the pane existed is shown now.
    if (m_model->rowCount() == 0 && !m_doc.store().items().empty())
        rebuild();
}

QItemSelectionModel::SelectionFlags CQuilloryTree::selectionCommand(const QModelIndex &index,
                                                                    const QEvent *event) const
{
    // The selected row is the document's current item: it can move, never
    // vanish (Ctrl+click on it, or a click below the rows, would clear it).
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags flags = QTreeView::selectionCommand(index, event);
    if (flags.testFlag(QItemSelectionModel::Deselect))
        return QItemSelectionModel::NoUpdate;
    return flags;
}
