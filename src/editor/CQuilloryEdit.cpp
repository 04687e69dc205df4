#include "editor/CQuilloryEdit.h"

#include "CommandIds.h"
#include "Messages.h"
#include "editor/CommandText.h"
#include "editor/FindReplaceDialog.h"
#include "editor/StatusMetrics.h"
#include "editor/StatusPanes.h"
#include "model/BodyText.h"
#include "model/CQuilloryDoc.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr char16_t Cr = u'\r';
constexpr char16_t Lf = u'\n';
// Characters the widget's document turns into a paragraph break when they
// are inserted (besides CR and LF): each is one CR LF in the program's text.
constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t FrameStart = 0xFDD0;
constexpr char16_t FrameEnd = 0xFDD1;

QString msg(const char16_t *text)
{
    return QString::fromUtf16(text);
}

// 0x00BBGGRR as stored in the settings.
QColor colourOf(qint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

qint64 ceilDiv(qint64 a, qint64 b)
{
    return a / b + (a % b ? 1 : 0);
}

// `text` with every line break the widget would make of it written as CR LF,
// so that the copy kept beside the widget is what the widget will give back.
QString withCrLf(const QString &text)
{
    const qsizetype size = text.size();
    const QChar *d = text.constData();
    qsizetype first = -1;
    for (qsizetype i = 0; i < size && first < 0; ++i) {
        const char16_t c = d[i].unicode();
        if (c == Cr) {
            if (i + 1 < size && d[i + 1] == Lf)
                ++i;
            else
                first = i;
        } else if (c == Lf || c == ParagraphSeparator || c == FrameStart || c == FrameEnd) {
            first = i;
        }
    }
    if (first < 0)
        return text;

    QString out;
    out.reserve(size + 16);
    out.append(QStringView(text).first(first));
    for (qsizetype i = first; i < size; ++i) {
        const char16_t c = d[i].unicode();
        if (c == Cr) {
            if (i + 1 < size && d[i + 1] == Lf)
                ++i;
            out.append(u"\r\n");
        } else if (c == Lf || c == ParagraphSeparator || c == FrameStart || c == FrameEnd) {
            out.append(u"\r\n");
        } else {
            out.append(d[i]);
        }
    }
    return out;
}

enum class UndoKey { None, Undo, Redo };

// Ctrl+Z and Ctrl+Y, with or without Shift; Alt makes them other keys.
UndoKey undoKeyOf(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods != Qt::ControlModifier)
        return UndoKey::None;
    if (e->key() == Qt::Key_Z)
        return UndoKey::Undo;
    if (e->key() == Qt::Key_Y)
        return UndoKey::Redo;
    return UndoKey::None;
}

// Keys of the editor's own commands that it takes before any window shortcut.
int ownCommandOf(const QKeyEvent *e)
{
    const QKeyCombination key = e->keyCombination();
    if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_F))
        return Cmd::EditFind;
    if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_R))
        return Cmd::EditReplace;
    if (key == QKeyCombination(Qt::NoModifier, Qt::Key_F3))
        return Cmd::EditRepeat;
    return 0;
}

} // namespace

CQuilloryEdit::CQuilloryEdit(CQuilloryDoc &doc, StatusPanes *status, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_doc(doc)
    , m_status(status)
{
    // The document keeps the text history; the widget's own would undo
    // behind its back.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    document()->setDocumentMargin(0);

    connect(document(), &QTextDocument::contentsChange, this, &CQuilloryEdit::onContentsChange);
    // Rows are counted once the layout has taken the change in.
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_changePending)
            return;
        m_changePending = false;
        rowAndColumnAt(textCursor().selectionStart(), m_cursorRow, m_cursorColumn);
        showCursorPosition();
    });
    connect(this, &QPlainTextEdit::copyAvailable, this, &CQuilloryEdit::commandStateMayHaveChanged);

    applySettings();
}

CQuilloryEdit::~CQuilloryEdit() = default;

void CQuilloryEdit::applySettings()
{
    const QuillorySettings &s = m_doc.settings();
    const bool newWidth = s.Page_Row != m_charsPerLine;
    m_charsPerLine = s.Page_Row;
    m_linesPerPage = s.Page_Col;
    m_margin = qMax(0, s.Edit_Margin);

    // The window's default font with the settings' face and cell height.
    QFont f = QApplication::font(this);
    if (!s.Edit_FontName.isEmpty())
        f.setFamilies({s.Edit_FontName});
    if (s.Edit_FontSize > 0)
        f.setPixelSize(s.Edit_FontSize);
    f.setWeight(QFont::Normal);
    f.setStretch(QFont::Unstretched);
    setFont(f);

    QPalette p = palette();
    p.setColor(QPalette::Base, colourOf(s.Edit_BackColor));
    p.setColor(QPalette::Text, colourOf(s.Edit_FontColor));
    setPalette(p);
    setViewportMargins(m_margin, 0, m_margin, 0);

    m_laidOutBlocks = 0;
    if (newWidth)
        recountRows();
    viewport()->update();
    update();
}

bool CQuilloryEdit::handlesCommand(int id)
{
    switch (id) {
    case Cmd::EditUndo:
    case Cmd::EditRedo:
    case Cmd::EditCut:
    case Cmd::EditCopy:
    case Cmd::EditPaste:
    case Cmd::EditSelectAll:
    case Cmd::EditFind:
    case Cmd::EditRepeat:
    case Cmd::EditReplace:
    case Cmd::FilePrint:
        return true;
    default:
        return false;
    }
}

bool CQuilloryEdit::isCommandEnabled(int id) const
{
    // The editor's commands belong to the editor while it is the active view.
    if (!handlesCommand(id) || !m_doc.editorActive())
        return false;
    const bool selection = textCursor().hasSelection();
    switch (id) {
    case Cmd::EditUndo:
        return !m_doc.undoRedo().undoList().isEmpty();
    case Cmd::EditRedo:
        return !m_doc.undoRedo().redoList().isEmpty();
    case Cmd::EditCut:
        return selection && !isReadOnly();
    case Cmd::EditCopy:
        return selection;
    case Cmd::EditPaste:
        return !isReadOnly() && canPaste();
    case Cmd::EditSelectAll:
    case Cmd::EditFind:
    case Cmd::EditRepeat:
    case Cmd::EditReplace:
        return !m_text.isEmpty();
    case Cmd::FilePrint:
        return true;
    default:
        return false;
    }
}

void CQuilloryEdit::commandStateMayHaveChanged()
{
    // The window refreshes every command on the signal: not on every key,
    // only when what the editor's commands depend on has changed.
    const int state = (m_doc.undoRedo().undoList().isEmpty() ? 0 : 1)
        | (m_doc.undoRedo().redoList().isEmpty() ? 0 : 2) | (textCursor().hasSelection() ? 4 : 0)
        | (m_text.isEmpty() ? 0 : 8);
    if (state == m_commandState)
        return;
    m_commandState = state;
    emit commandStateChanged();
}

bool CQuilloryEdit::runCommand(int id)
{
    if (!isCommandEnabled(id))
        return false;
    switch (id) {
    case Cmd::EditUndo:
        undoOrRedo(false);
        break;
    case Cmd::EditRedo:
        undoOrRedo(true);
        break;
    case Cmd::EditCut:
        cutToClipboard();
        break;
    case Cmd::EditCopy:
        copy();
        break;
    case Cmd::EditPaste:
        pasteFromClipboard();
        break;
    case Cmd::EditSelectAll:
        selectAll();
        break;
    case Cmd::EditFind:
        openFindDialog(false);
        break;
    case Cmd::EditRepeat:
        findNext();
        break;
    case Cmd::EditReplace:
        takeBeforeState();
        m_doc.setReplaceFlag(1);
        openFindDialog(true);
        break;
    case Cmd::FilePrint:
        printText();
        break;
    }
    return true;
}

// --- The text and its positions ----------------------------------------------

QString CQuilloryEdit::text() const
{
    return m_text;
}

void CQuilloryEdit::setText(const QString &text)
{
    const QString target = withCrLf(text);
    const QString old = m_text;
    const qsizetype oldSize = old.size();
    const qsizetype newSize = target.size();
    const qsizetype common = qMin(oldSize, newSize);

    // Only the part that differs goes into the widget: the rest keeps its
    // layout, which matters for an undo in a long text.
    const QChar *o = old.constData();
    const QChar *n = target.constData();
    qsizetype prefix = 0;
    while (prefix < common && o[prefix] == n[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && o[oldSize - 1 - suffix] == n[newSize - 1 - suffix])
        ++suffix;
    // Never cut a CR LF or a surrogate pair apart.
    if (prefix > 0 && (o[prefix - 1] == Cr || o[prefix - 1].isHighSurrogate()))
        --prefix;
    if (suffix > 0 && (o[oldSize - suffix] == Lf || o[oldSize - suffix].isLowSurrogate()))
        --suffix;

    if (prefix + suffix != oldSize || oldSize != newSize) {
        const int from = widgetPosition(qint32(prefix));
        const int to = widgetPosition(qint32(oldSize - suffix));
        m_laidOutBlocks = qMin(m_laidOutBlocks, document()->findBlock(from).blockNumber());
        m_settingText = true;
        QTextCursor c(document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        const QString part = target.mid(prefix, newSize - suffix - prefix);
        if (part.isEmpty())
            c.removeSelectedText();
        else
            c.insertText(part);
        m_settingText = false;
        m_text = target;
        ++m_revision;
        updateRows(old, prefix, oldSize - suffix, newSize - suffix);
        if (m_text.size() != document()->characterCount() - 1 + document()->blockCount() - 1) {
            rebuildMirror();
            recountRows();
        }
    }

    // A new text is shown from its top, as after loading.
    m_spare = QString();
    m_beforeFresh = false;
    QTextCursor top(document());
    setTextCursor(top);
    verticalScrollBar()->setValue(0);
    m_cursorRow = 0;
    m_cursorColumn = 0;
    // An outline without items has no body to keep typing in: it would be
    // shown, counted as a change and never saved.
    setReadOnly(m_doc.displayMode() != DisplayMode::SinglePage && m_doc.store().items().empty());
    showCursorPosition();
    commandStateMayHaveChanged();
}

void CQuilloryEdit::setCaret(qint32 position)
{
    QTextCursor c(document());
    c.setPosition(widgetPosition(position));
    setTextCursor(c);
    ensureCursorVisible();
    m_beforeFresh = false;
}

void CQuilloryEdit::giveFocus()
{
    setFocus(Qt::OtherFocusReason);
}

qint32 CQuilloryEdit::textPosition(int widgetPos) const
{
    const QTextDocument *d = document();
    const int at = qBound(0, widgetPos, d->characterCount() - 1);
    // Each paragraph break before the position is one unit in the widget
    // and two (CR LF) in the text.
    return at + d->findBlock(at).blockNumber();
}

int CQuilloryEdit::widgetPosition(qint32 textPos) const
{
    const QTextDocument *d = document();
    if (textPos <= 0)
        return 0;
    // The last block whose first character lies at or before textPos.
    int lo = 0;
    int hi = d->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (d->findBlockByNumber(mid).position() + mid <= textPos)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = d->findBlockByNumber(lo);
    const int offset = qMin(textPos - (block.position() + lo), block.length() - 1);
    return block.position() + offset;
}

QString CQuilloryEdit::widgetText(int from, int to) const
{
    if (to <= from)
        return QString();
    QTextCursor c(document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    QString s = c.selectedText();
    if (s.contains(QChar(ParagraphSeparator)))
        s.replace(QChar(ParagraphSeparator), u"\r\n"_s);
    return s;
}

void CQuilloryEdit::rebuildMirror()
{
    m_text = widgetText(0, document()->characterCount() - 1);
    ++m_revision;
}

void CQuilloryEdit::onContentsChange(int from, int removed, int added)
{
    if (m_settingText)
        return;
    QTextDocument *d = document();
    const int docEnd = d->characterCount() - 1;
    from = qBound(0, from, docEnd);
    m_laidOutBlocks = qMin(m_laidOutBlocks, d->findBlock(from).blockNumber());

    // The part of the old text that went, walked in the widget's units
    // (a CR LF is one), and the part of the widget's text that came.
    const qsizetype size = m_text.size();
    const QChar *o = m_text.constData();
    const qsizetype start = qMin<qsizetype>(textPosition(from), size);
    qsizetype oldEnd = start;
    for (int units = removed; units > 0 && oldEnd < size; --units)
        oldEnd += (o[oldEnd] == Cr && oldEnd + 1 < size && o[oldEnd + 1] == Lf) ? 2 : 1;
    const QString inserted = widgetText(from, qBound(from, from + added, docEnd));

    // Input-method composition and format changes are reported as changes
    // of text that stays the same: no change of the user's text.
    if (QStringView(m_text).sliced(start, oldEnd - start) == QStringView(inserted))
        return;

    QString oldText = m_text;
    {
        // The new text goes into the buffer the text before the last change
        // left behind: written memory, no fresh pages to fault in.
        QString next = std::move(m_spare);
        next.resize(0);
        const qsizetype needed = size - (oldEnd - start) + inserted.size();
        if (next.capacity() < needed)
            next.reserve(needed + needed / 8 + 256); // room to grow while typing
        next.append(QStringView(oldText).first(start));
        next.append(inserted);
        next.append(QStringView(oldText).sliced(oldEnd));
        m_text.swap(next);
    }
    ++m_revision;

    if (m_text.size() == docEnd + d->blockCount() - 1) {
        updateRows(oldText, start, oldEnd, start + inserted.size());
    } else {
        // The document said less than it changed: read all of it.
        rebuildMirror();
        recountRows();
    }
    handleEditorChange(oldText, qint32(start));
    if (oldText.isDetached())
        m_spare = std::move(oldText);
}

// --- Change tracking ---------------------------------------------------------

void CQuilloryEdit::takeBeforeState()
{
    const QTextCursor c = textCursor();
    EditorState &before = m_doc.beforeState();
    before.selectionStart = textPosition(c.selectionStart());
    before.selectionEnd = textPosition(c.selectionEnd());
    before.text = m_text;
    before.length = qint32(m_text.size());
    rowAndColumnAt(c.selectionStart(), m_cursorRow, m_cursorColumn);
    m_doc.setReplaceFlag(0);
    m_beforeFresh = true;
}

void CQuilloryEdit::handleEditorChange(const QString &oldText, qint32 changeStart)
{
    EditorState &before = m_doc.beforeState();
    // A change that came by a way without a snapshot (the program's text was
    // set since, or the caret moved by mouse): its own start is the caret.
    if (!m_beforeFresh)
        before.selectionStart = before.selectionEnd = changeStart;
    before.text = oldText;
    before.length = qint32(oldText.size());

    m_doc.setModified(true);
    const QTextCursor c = textCursor();
    EditorState &after = m_doc.afterState();
    after.selectionStart = textPosition(c.selectionStart());
    after.selectionEnd = textPosition(c.selectionEnd());
    after.text = m_text;
    after.length = qint32(m_text.size());
    m_doc.undoRedo().recordChange(m_doc.replaceFlag(), before, after);
    // recordChange made the before-state a copy of the after-state.
    m_beforeFresh = true;

    if (labelMode()) {
        // Only a change that starts on the label line, or at the line break
        // that ends it, can change the label.
        const qsizetype labelEnd = oldText.indexOf(QChar(Cr));
        if (changeStart <= (labelEnd < 0 ? oldText.size() : labelEnd)) {
            const QString label = labelFromBody(m_text);
            if (label != labelFromBody(oldText))
                m_doc.setCurrentLabel(label);
        }
    }
    m_changePending = true;
    commandStateMayHaveChanged();
}

bool CQuilloryEdit::labelMode() const
{
    return m_doc.displayMode() != DisplayMode::SinglePage && m_doc.settings().Display_Lable != 0;
}

void CQuilloryEdit::cutToClipboard()
{
    takeBeforeState();
    cut();
}

void CQuilloryEdit::pasteFromClipboard()
{
    takeBeforeState();
    paste();
    // The label is the text's label line, wherever the paste went.
    if (labelMode())
        m_doc.setCurrentLabel(labelFromBody(m_text));
}

void CQuilloryEdit::undoOrRedo(bool redo)
{
    const QString oldText = m_text;
    const int scroll = verticalScrollBar()->value();
    CUndoRedo &history = m_doc.undoRedo();
    if (!(redo ? history.redoText(*this) : history.undoText(*this)))
        return;
    // Setting the text showed it from the top; the view stays where it was.
    verticalScrollBar()->setValue(scroll);
    ensureCursorVisible();

    if (m_text != oldText) {
        // The text now differs from what was saved as much as after typing.
        m_doc.setModified(true);
        if (labelMode()) {
            const QString label = labelFromBody(m_text);
            if (label != labelFromBody(oldText))
                m_doc.setCurrentLabel(label);
        }
    }
    rowAndColumnAt(textCursor().selectionStart(), m_cursorRow, m_cursorColumn);
    showCursorPosition();
    commandStateMayHaveChanged();
}

// --- Events ---------------------------------------------------------------

bool CQuilloryEdit::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::ShortcutOverride: {
        // Taken before any shortcut of the window and before the widget.
        auto *key = static_cast<QKeyEvent *>(e);
        if (undoKeyOf(key) != UndoKey::None || ownCommandOf(key) != 0) {
            e->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(e);
        const UndoKey undo = undoKeyOf(key);
        if (undo != UndoKey::None) {
            undoOrRedo(undo == UndoKey::Redo);
            e->accept();
            return true;
        }
        break;
    }
    case QEvent::Paint: {
        // The margins beside the text take the text's background.
        QPainter painter(this);
        painter.fillRect(contentsRect(), palette().color(QPalette::Base));
        break;
    }
    default:
        break;
    }
    return QPlainTextEdit::event(e);
}

void CQuilloryEdit::keyPressEvent(QKeyEvent *e)
{
    // Alt with a key is a command key of the window (a disabled one lands
    // here); it never types a character.
    const Qt::KeyboardModifiers mods = e->modifiers();
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier)) {
        e->ignore();
        return;
    }

    takeBeforeState();
    showCursorPosition();

    if (e->matches(QKeySequence::Cut)) {
        cutToClipboard();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        pasteFromClipboard();
        e->accept();
        return;
    }
    if (const int command = ownCommandOf(e)) {
        if (command == Cmd::EditReplace) {
            m_doc.setReplaceFlag(1);
            openFindDialog(true);
        } else if (command == Cmd::EditFind) {
            openFindDialog(false);
        } else {
            findNext();
        }
        e->accept();
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && (mods & Qt::ShiftModifier)) {
        // Shift+Enter would put a line separator (U+2028) into the text: a
        // break on screen, but no CR LF in the body and no line in a file.
        QKeyEvent plain(e->type(), e->key(), mods & ~Qt::ShiftModifier, e->nativeScanCode(),
                        e->nativeVirtualKey(), e->nativeModifiers(), e->text(), e->isAutoRepeat(),
                        e->count());
        QPlainTextEdit::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void CQuilloryEdit::keyReleaseEvent(QKeyEvent *e)
{
    rowAndColumnAt(textCursor().selectionStart(), m_cursorRow, m_cursorColumn);
    showCursorPosition();
    QPlainTextEdit::keyReleaseEvent(e);
}

void CQuilloryEdit::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        // Where the click landed, before the caret goes there.
        rowAndColumnAt(cursorForPosition(e->position().toPoint()).position(), m_cursorRow,
                       m_cursorColumn);
        showCursorPosition();
    }
    m_beforeFresh = false;
    QPlainTextEdit::mousePressEvent(e);
}

void CQuilloryEdit::mouseReleaseEvent(QMouseEvent *e)
{
    // The context menu has been shown by its own event; a release shows none.
    QPlainTextEdit::mouseReleaseEvent(e);
}

void CQuilloryEdit::contextMenuEvent(QContextMenuEvent *e)
{
    showContextMenu(e->globalPos());
    e->accept();
}

void CQuilloryEdit::showContextMenu(const QPoint &globalPos)
{
    if (!m_contextMenu) {
        m_contextMenu = new QMenu(this);
        m_contextMenu->setObjectName(u"editorContextMenu"_s);
        m_contextMenu->addAction(msg(Msg::EditMenuCut), this, &CQuilloryEdit::cutToClipboard)
            ->setObjectName(u"cut"_s);
        m_contextMenu->addAction(CommandText::menuText(Cmd::EditCopy), this, &QPlainTextEdit::copy)
            ->setObjectName(u"copy"_s);
        m_contextMenu->addAction(msg(Msg::EditMenuPaste), this, &CQuilloryEdit::pasteFromClipboard)
            ->setObjectName(u"paste"_s);
        m_contextMenu->addSeparator();
        m_contextMenu->addAction(msg(Msg::EditMenuSelectAll), this, &QPlainTextEdit::selectAll)
            ->setObjectName(u"selectAll"_s);
    }
    const QList<QAction *> actions = m_contextMenu->actions();
    const bool selection = textCursor().hasSelection();
    actions.at(0)->setEnabled(selection && !isReadOnly());
    actions.at(1)->setEnabled(selection);
    actions.at(2)->setEnabled(!isReadOnly() && canPaste());
    actions.at(4)->setEnabled(!m_text.isEmpty());
    m_contextMenu->exec(globalPos);
}

void CQuilloryEdit::focusInEvent(QFocusEvent *e)
{
    m_doc.setEditorActive(true);
    QPlainTextEdit::focusInEvent(e);
    emit commandStateChanged();
}

void CQuilloryEdit::inputMethodEvent(QInputMethodEvent *e)
{
    // A commit is typing; starting a composition over a selection deletes it.
    takeBeforeState();
    QPlainTextEdit::inputMethodEvent(e);
}

void CQuilloryEdit::dropEvent(QDropEvent *e)
{
    takeBeforeState();
    QPlainTextEdit::dropEvent(e);
}

void CQuilloryEdit::paintEvent(QPaintEvent *e)
{
    refreshStatusMetrics();
    QPlainTextEdit::paintEvent(e);
}

void CQuilloryEdit::resizeEvent(QResizeEvent *e)
{
    // A new width wraps every line anew.
    m_laidOutBlocks = 0;
    QPlainTextEdit::resizeEvent(e);
}

void CQuilloryEdit::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange)
        m_laidOutBlocks = 0;
    QPlainTextEdit::changeEvent(e);
}

// --- Status bar ---------------------------------------------------------------

void CQuilloryEdit::refreshStatusMetrics()
{
    if (!m_status)
        return;

    QString texts[4];
    switch (m_doc.displayMode()) {
    case DisplayMode::SinglePage:
        texts[0] = msg(Msg::ModeSinglePage);
        break;
    case DisplayMode::Clear:
        texts[0] = msg(Msg::ModeClear);
        break;
    case DisplayMode::Label:
        texts[0] = msg(Msg::ModeLabel);
        break;
    default:
        break;
    }

    if (m_labelEndRevision != m_revision) {
        m_labelEnd = m_text.indexOf(QChar(Cr));
        m_labelEndRevision = m_revision;
    }
    // Line breaks do not count, nor does the label line while it is shown.
    const qint64 breaks = 2 * qint64(document()->blockCount() - 1);
    const qint64 label = (m_doc.settings().Display_Lable != 0 && m_labelEnd > 0) ? m_labelEnd : 0;
    texts[1] = msg(Msg::PaneCharacters).arg(m_text.size() - breaks - label);
    texts[2] = msg(Msg::PaneSheets).arg(ceilDiv(m_rows20, 20));
    const qint64 pages = (m_charsPerLine < 1 || m_linesPerPage < 1) ? 0 : ceilDiv(m_rowsUser, m_linesPerPage);
    texts[3] = msg(Msg::PanePages).arg(m_charsPerLine).arg(m_linesPerPage).arg(pages);

    for (int i = 0; i < 4; ++i) {
        if (texts[i] != m_paneTexts[i]) {
            m_paneTexts[i] = texts[i];
            m_status->setPaneText(i + 1, texts[i]);
        }
    }
}

void CQuilloryEdit::showCursorPosition()
{
    if (!m_status)
        return;
    const QString text = msg(Msg::PaneCursor).arg(m_cursorRow + 1).arg(m_cursorColumn + 1);
    if (text != m_lastCursorPane) {
        m_lastCursorPane = text;
        m_status->setPaneText(5, text);
    }
}

void CQuilloryEdit::rowAndColumnAt(int widgetPos, qint32 &row, qint32 &column)
{
    const QTextBlock block = document()->findBlock(widgetPos);
    if (!block.isValid()) {
        row = column = 0;
        return;
    }
    // Rows above come from the layout's count of wrapped lines, which is
    // right only for blocks it has laid out.
    layOutBlocksBefore(block.blockNumber() + 1);
    const int inBlock = widgetPos - block.position();
    const QTextLine line = block.layout()->lineForTextPosition(inBlock);
    if (line.isValid()) {
        row = block.firstLineNumber() + line.lineNumber();
        column = inBlock - line.textStart();
    } else {
        row = block.firstLineNumber();
        column = inBlock;
    }
}

void CQuilloryEdit::layOutBlocksBefore(int blockNumber)
{
    if (m_laidOutBlocks >= blockNumber)
        return;
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    QTextBlock block = document()->findBlockByNumber(m_laidOutBlocks);
    for (int i = m_laidOutBlocks; i < blockNumber && block.isValid(); ++i, block = block.next()) {
        if (block.isVisible() && block.layout()->lineCount() == 0)
            layout->blockBoundingRect(block); // lays the block out
    }
    m_laidOutBlocks = blockNumber;
}

void CQuilloryEdit::recountRows()
{
    m_rows20 = StatusMetrics::countRows(m_text, 20);
    m_rowsUser = m_charsPerLine >= 1 ? StatusMetrics::countRows(m_text, m_charsPerLine) : 0;
}

void CQuilloryEdit::updateRows(const QString &oldText, qsizetype start, qsizetype oldEnd,
                               qsizetype newEnd)
{
    // Rows are a sum over lines, so only the lines the change touched are
    // counted again: from the start of the first to the end of the last,
    // which lies in the unchanged rest of the text.
    const qsizetype lineStart = start == 0 ? 0 : oldText.lastIndexOf(QChar(Lf), start - 1) + 1;
    const qsizetype lf = oldText.indexOf(QChar(Lf), oldEnd);
    const qsizetype oldRegionEnd = lf < 0 ? oldText.size() : lf + 1;
    const qsizetype newRegionEnd = newEnd + (oldRegionEnd - oldEnd);
    const QStringView was = QStringView(oldText).sliced(lineStart, oldRegionEnd - lineStart);
    const QStringView is = QStringView(m_text).sliced(lineStart, newRegionEnd - lineStart);
    m_rows20 += StatusMetrics::countRows(is, 20) - StatusMetrics::countRows(was, 20);
    if (m_charsPerLine >= 1)
        m_rowsUser += StatusMetrics::countRows(is, m_charsPerLine) - StatusMetrics::countRows(was, m_charsPerLine);
}

// --- Find and replace -------------------------------------------------------

void CQuilloryEdit::selectTextRange(qint32 start, qint32 end)
{
    QTextCursor c(document());
    c.setPosition(widgetPosition(start));
    c.setPosition(widgetPosition(end), QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
}

bool CQuilloryEdit::findText(const QString &whatTyped, bool matchCase, bool down)
{
    // A line break pasted into the dialog's field is the text's CR LF.
    const QString what = withCrLf(whatTyped);
    if (what.isEmpty())
        return false;
    m_findWhat = what;
    m_findMatchCase = matchCase;
    m_findDown = down;

    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QTextCursor c = textCursor();
    const qint32 start = textPosition(c.selectionStart());
    const qint32 end = textPosition(c.selectionEnd());
    qsizetype at = -1;
    if (down) {
        at = m_text.indexOf(what, end, cs);
        if (at < 0)
            at = m_text.indexOf(what, 0, cs);
    } else {
        if (start > 0)
            at = m_text.lastIndexOf(what, start - 1, cs);
        if (at < 0)
            at = m_text.lastIndexOf(what, -1, cs);
    }
    if (at < 0) {
        QApplication::beep();
        return false;
    }
    selectTextRange(qint32(at), qint32(at + what.size()));
    return true;
}

void CQuilloryEdit::findNext()
{
    if (m_findWhat.isEmpty())
        openFindDialog(false);
    else
        findText(m_findWhat, m_findMatchCase, m_findDown);
}

bool CQuilloryEdit::replaceSelection(const QString &whatTyped, const QString &withTyped, bool matchCase)
{
    const QString what = withCrLf(whatTyped);
    const QString with = withCrLf(withTyped);
    if (what.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QTextCursor c = textCursor();
    const qint32 start = textPosition(c.selectionStart());
    const qint32 end = textPosition(c.selectionEnd());
    if (QStringView(m_text).sliced(start, end - start).compare(what, cs) == 0) {
        takeBeforeState();
        m_doc.setReplaceFlag(1);
        if (with.isEmpty())
            c.removeSelectedText();
        else
            c.insertText(with);
        setTextCursor(c);
    }
    return findText(what, matchCase, true);
}

int CQuilloryEdit::replaceAll(const QString &whatTyped, const QString &withTyped, bool matchCase)
{
    // Line breaks as the text has them, so that they are found and the
    // caret lands after the last replacement.
    const QString what = withCrLf(whatTyped);
    const QString with = withCrLf(withTyped);
    if (what.isEmpty())
        return 0;
    m_findWhat = what;
    m_findMatchCase = matchCase;
    m_findDown = true;
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QList<qsizetype> found;
    for (qsizetype at = m_text.indexOf(what, 0, cs); at >= 0; at = m_text.indexOf(what, at + what.size(), cs))
        found.append(at);
    if (found.isEmpty()) {
        QApplication::beep();
        return 0;
    }

    // One change for all of them, so that one undo takes them all back.
    takeBeforeState();
    m_doc.setReplaceFlag(1);
    QTextCursor c(document());
    c.beginEditBlock();
    for (qsizetype i = found.size() - 1; i >= 0; --i) {
        // From the last, so that the positions before stay where they were.
        c.setPosition(widgetPosition(qint32(found.at(i))));
        c.setPosition(widgetPosition(qint32(found.at(i) + what.size())), QTextCursor::KeepAnchor);
        if (with.isEmpty())
            c.removeSelectedText();
        else
            c.insertText(with);
    }
    c.endEditBlock();
    const qsizetype grow = with.size() - what.size();
    setCaret(qint32(found.constLast() + (found.size() - 1) * grow + with.size()));
    return int(found.size());
}

void CQuilloryEdit::openFindDialog(bool replace)
{
    QPointer<FindReplaceDialog> &dialog = replace ? m_replaceDialog : m_findDialog;
    // One of the two at a time.
    if (QPointer<FindReplaceDialog> &other = replace ? m_findDialog : m_replaceDialog; other)
        other->hide();

    if (!dialog) {
        dialog = new FindReplaceDialog(replace ? FindReplaceDialog::Mode::Replace
                                               : FindReplaceDialog::Mode::Find,
                                       this);
        FindReplaceDialog *d = dialog;
        connect(d, &FindReplaceDialog::findNextRequested, this,
                [this, d] { findText(d->findWhat(), d->matchCase(), d->searchDown()); });
        connect(d, &FindReplaceDialog::replaceRequested, this,
                [this, d] { replaceSelection(d->findWhat(), d->replaceWith(), d->matchCase()); });
        connect(d, &FindReplaceDialog::replaceAllRequested, this,
                [this, d] { replaceAll(d->findWhat(), d->replaceWith(), d->matchCase()); });
    }

    // A selection within one line is what the user wants to look for.
    const QTextCursor c = textCursor();
    const qint32 start = textPosition(c.selectionStart());
    const qint32 end = textPosition(c.selectionEnd());
    const QStringView selected = QStringView(m_text).sliced(start, end - start);
    if (!selected.isEmpty() && !selected.contains(QChar(Cr)))
        dialog->setFindWhat(selected.toString());
    else
        dialog->setFindWhat(m_findWhat);
    dialog->setMatchCase(m_findMatchCase);
    dialog->setSearchDown(m_findDown);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void CQuilloryEdit::printText()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    print(&printer);
}
