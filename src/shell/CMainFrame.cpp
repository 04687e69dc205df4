#include "shell/CMainFrame.h"

#include "CommandTable.h"
#include "Messages.h"
#include "editor/CQuilloryEdit.h"
#include "model/CQuilloryDoc.h"
#include "settings/SettingsBackend.h"
#include "shell/CommandIcons.h"
#include "shell/ToolbarCustomizeDialog.h"
#include "tree/CQuilloryTree.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Where the frame keeps its window layout in the "Workspace" section; the
// look and the tree width are FrameSettings' own keys.
constexpr QStringView GeometryKey = u"MainWindowGeometry";
constexpr QStringView StateKey = u"MainWindowState";
constexpr QStringView ToolbarKeyPrefix = u"Toolbar";
// Stands for a toolbar the user emptied, which an empty value could not
// tell apart from one never customised.
constexpr QStringView EmptyToolbar = u"none";
constexpr int LayoutVersion = 1;

const CommandTable::Command *findCommand(int id)
{
    for (const CommandTable::Command &command : CommandTable::Commands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QList<int> toList(std::span<const int> ids)
{
    return QList<int>(ids.begin(), ids.end());
}

bool isLook(int id)
{
    return id >= Cmd::LookFirst && id <= Cmd::LookLast;
}

bool isToolbarToggle(int id)
{
    return id == Cmd::ToolbarMain || id == Cmd::ToolbarTree || id == Cmd::ToolbarEditor || id == Cmd::ToolbarTools;
}

QString toolbarKey(int toolbarId)
{
    return ToolbarKeyPrefix.toString() + QString::number(toolbarId);
}

// A status-bar pane exactly as wide as its text, trailing blanks aside (a
// sizing template has nothing else to the right of its words), and never
// narrower than the template's words, so that an empty pane still shows
// where it is. Sized to their texts the panes fit an ordinary window side
// by side; with the templates' padding they would not.
class StatusPane : public QLabel
{
public:
    StatusPane(const QString &sizing, QWidget *parent)
        : QLabel(sizing, parent)
        , m_sizing(sizing.trimmed())
    {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMargin(1);
        // A framed label would otherwise indent its text by half an "x",
        // room the width below does not have.
        setIndent(0);
        setSizePolicy(QSizePolicy::Fixed, sizePolicy().verticalPolicy());
    }

    QSize sizeHint() const override
    {
        // Measuring Japanese text is not free, and the caret pane changes
        // with every key: the size is measured once per text and font.
        if (m_sizingHint.isEmpty()) {
            const int frame = 2 * (frameWidth() + margin());
            m_sizingHint = QSize(shownWidth(m_sizing), fontMetrics().height() + frame);
            m_textWidth = -1;
        }
        if (m_textWidth < 0 || m_measuredText != text()) {
            m_measuredText = text();
            m_textWidth = shownWidth(m_measuredText);
        }
        return {std::max(m_sizingHint.width(), m_textWidth), m_sizingHint.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            m_sizingHint = QSize();
        QLabel::changeEvent(event);
    }

private:
    int shownWidth(const QString &t) const
    {
        qsizetype end = t.size();
        while (end > 0 && t.at(end - 1).isSpace())
            --end;
        const qreal advance = QFontMetricsF(font()).horizontalAdvance(t.first(end));
        return int(std::ceil(advance)) + 2 * (frameWidth() + margin());
    }

    QString m_sizing;
    mutable QSize m_sizingHint;
    mutable QString m_measuredText;
    mutable int m_textWidth = -1;
};

} // namespace

CMainFrame::CMainFrame(CQuilloryDoc &doc, SettingsBackend &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_doc(doc)
    , m_settings(settings)
{
    m_frameSettings.read(m_settings);

    // The status bar first: the editor pane may write its panes as soon as
    // it exists.
    createStatusBar();

    m_tree = new CQuilloryTree(m_doc);
    m_editor = new CQuilloryEdit(m_doc, this);
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_editor);
    // The tree column keeps its width when the window is resized, and may be
    // dragged as narrow as the user likes.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setCollapsible(1, false);
    m_tree->setMinimumWidth(1);
    setCentralWidget(m_splitter);
    m_doc.setTreePane(m_tree);
    m_doc.setEditorPane(m_editor);

    createActions();
    createMenus();
    createToolbars();
    loadToolbarChoices();

    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { recordTreeColumn(); });
    connect(m_tree, &CQuilloryTree::commandStateChanged, this, &CMainFrame::refreshCommandStates);
    connect(m_editor, &CQuilloryEdit::commandStateChanged, this, &CMainFrame::refreshCommandStates);
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, [this] { refreshCommandStates(); });

    applyLook(m_frameSettings.ApplicationLook);
    resize(800, 600);
    refreshCommandStates();
}

CMainFrame::~CMainFrame()
{
    // Children die after this body; nothing may call back into a half
    // destroyed frame, and the document must not reach dead panes.
    disconnect(m_focusConnection);
    for (QToolBar *toolbar : std::as_const(m_toolbars))
        disconnect(toolbar, nullptr, this, nullptr);
    disconnect(m_tree, nullptr, this, nullptr);
    disconnect(m_editor, nullptr, this, nullptr);
    m_doc.setTreePane(nullptr);
    m_doc.setEditorPane(nullptr);
    if (m_customize)
        delete m_customize;
    delete m_splitter;
    m_tree = nullptr;
    m_editor = nullptr;
}

CQuilloryTree *CMainFrame::treePane() const
{
    return m_tree;
}

CQuilloryEdit *CMainFrame::editorPane() const
{
    return m_editor;
}

// ---- Commands --------------------------------------------------------------

void CMainFrame::createActions()
{
    m_looks = new QActionGroup(this);
    m_looks->setExclusive(true);

    for (const CommandTable::Command &command : CommandTable::Commands) {
        auto *action = new QAction(this);
        const QString menuText = str(command.menuText);
        action->setText(menuText.isEmpty() ? str(command.toolTip) : menuText);
        action->setObjectName(u"command%1"_s.arg(command.id));
        action->setData(command.id);
        if (const QString key = str(command.key); !key.isEmpty())
            action->setShortcut(QKeySequence::fromString(key, QKeySequence::PortableText));
        action->setStatusTip(str(command.prompt));
        if (const QString tip = str(command.toolTip); !tip.isEmpty())
            action->setToolTip(tip);
        if (const QString icon = str(command.icon); !icon.isEmpty())
            action->setIcon(commandIcon(icon));

        const int id = command.id;
        // A button without an image shows this; the menu text would bring
        // its key label along.
        action->setIconText(commandName(id));
        if (isLook(id)) {
            action->setCheckable(true);
            m_looks->addAction(action);
        } else if (isToolbarToggle(id) || id == Cmd::StatusBarToggle || id == Cmd::LabelMode) {
            action->setCheckable(true);
        }
        if (id == Cmd::RecentFile1)
            continue; // the recent-file entries are made below
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions.insert(id, action);
    }

    // The recent files: the first entry is the placeholder "最近使ったファイル"
    // while the list is empty.
    for (int i = 0; i < 4; ++i) {
        const int id = Cmd::RecentFile1 + i;
        auto *action = new QAction(this);
        action->setObjectName(u"command%1"_s.arg(id));
        action->setData(id);
        action->setStatusTip(str(findCommand(Cmd::RecentFile1)->prompt));
        connect(action, &QAction::triggered, this, [this, i] {
            if (i < m_recentFiles.size()) {
                if (m_tree)
                    m_tree->commitLabelEdit();
                const QPointer<CMainFrame> self(this);
                emit recentFileTriggered(m_recentFiles.at(i));
                if (self)
                    refreshCommandStates();
            }
        });
        m_recentActions.append(action);
        m_actions.insert(id, action);
    }
    setRecentFiles({});

    // Keys without a menu entry still need a widget in the window.
    addAction(m_actions.value(Cmd::NextPane));
    addAction(m_actions.value(Cmd::PrevPane));
}

QMenu *CMainFrame::createMenu(const QString &title, std::span<const int> entries)
{
    auto *menu = new QMenu(title, this);
    m_menus.append(menu);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::refreshCommandStates);
    for (int id : entries) {
        if (id == CommandTable::Separator) {
            menu->addSeparator();
        } else if (id < 0) {
            for (const CommandTable::Menu &sub : CommandTable::Submenus) {
                if (sub.id == id)
                    menu->addMenu(createMenu(str(sub.title), sub.entries));
            }
        } else if (id == Cmd::RecentFile1) {
            menu->addActions(m_recentActions);
        } else if (QAction *action = m_actions.value(id)) {
            menu->addAction(action);
        }
    }
    return menu;
}

void CMainFrame::createMenus()
{
    for (const CommandTable::Menu &menu : CommandTable::MenuBar)
        menuBar()->addMenu(createMenu(str(menu.title), menu.entries));
}

QAction *CMainFrame::action(int id) const
{
    return m_actions.value(id, nullptr);
}

void CMainFrame::registerCommand(int id, std::function<void()> run, std::function<bool()> enabled)
{
    m_registered.insert(id, Registered{std::move(run), std::move(enabled)});
    refreshCommandStates();
}

bool CMainFrame::isFrameCommand(int id) const
{
    return isLook(id) || isToolbarToggle(id) || id == Cmd::StatusBarToggle || id == Cmd::Customize
        || id == Cmd::LabelMode || id == Cmd::ViewChange || id == Cmd::NextPane || id == Cmd::PrevPane;
}

bool CMainFrame::isCommandEnabled(int id) const
{
    const int mode = m_doc.displayMode();
    switch (id) {
    case Cmd::FileSave:
    case Cmd::FileSaveAs:
    case Cmd::ViewChange:
        if (mode == DisplayMode::SinglePage)
            return false;
        break;
    case Cmd::TextSave:
        if (mode != DisplayMode::SinglePage)
            return false;
        break;
    default:
        break;
    }
    if (id >= Cmd::RecentFile1 && id <= CommandTable::RecentFileLast)
        return id - Cmd::RecentFile1 < m_recentFiles.size();
    if (CQuilloryTree::handlesCommand(id))
        return m_tree && m_tree->isCommandEnabled(id);
    if (CQuilloryEdit::handlesCommand(id))
        return m_editor && m_editor->isCommandEnabled(id);
    if (const auto it = m_registered.constFind(id); it != m_registered.cend())
        return !it->enabled || it->enabled();
    return isFrameCommand(id);
}

void CMainFrame::runCommand(int id)
{
    // A label still being typed in the tree belongs to the outline before
    // any command looks at it.
    if (m_tree)
        m_tree->commitLabelEdit();
    // A shortcut may arrive before the enabling caught up with a change.
    if (!isCommandEnabled(id)) {
        refreshCommandStates();
        return;
    }
    // A registered command may close or replace the window.
    const QPointer<CMainFrame> self(this);
    if (CQuilloryTree::handlesCommand(id))
        m_tree->runCommand(id);
    else if (CQuilloryEdit::handlesCommand(id))
        m_editor->runCommand(id);
    else if (const auto it = m_registered.constFind(id); it != m_registered.cend())
        std::function<void()>(it->run)();
    else
        runFrameCommand(id);
    if (self)
        refreshCommandStates();
}

bool CMainFrame::runFrameCommand(int id)
{
    if (isLook(id)) {
        applyLook(id);
    } else if (isToolbarToggle(id)) {
        toggleToolbar(id);
    } else if (id == Cmd::StatusBarToggle) {
        statusBar()->setVisible(statusBar()->isHidden());
    } else if (id == Cmd::Customize) {
        openCustomizeDialog();
    } else if (id == Cmd::LabelMode) {
        m_doc.toggleLabelMode();
        m_editor->refreshStatusMetrics();
    } else if (id == Cmd::ViewChange) {
        changeView();
    } else if (id == Cmd::NextPane || id == Cmd::PrevPane) {
        switchPane();
    } else {
        return false;
    }
    return true;
}

void CMainFrame::refreshCommandStates()
{
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(isCommandEnabled(it.key()));

    for (auto it = m_toolbars.cbegin(); it != m_toolbars.cend(); ++it)
        m_actions.value(it.key())->setChecked(!it.value()->isHidden());
    m_actions.value(Cmd::StatusBarToggle)->setChecked(!statusBar()->isHidden());
    m_actions.value(Cmd::LabelMode)->setChecked(m_doc.settings().Display_Lable != 0);

    const int look = m_frameSettings.ApplicationLook;
    if (QAction *current = m_actions.value(look))
        current->setChecked(true);
    else if (QAction *checked = m_looks->checkedAction())
        checked->setChecked(false); // a stored look without a menu entry
}

// The view change swaps the active pane and says so in the document, whose
// flag is what the command reads next time.
void CMainFrame::changeView()
{
    if (m_doc.editorActive()) {
        m_tree->setFocus(Qt::OtherFocusReason);
        m_doc.setEditorActive(false);
    } else {
        m_editor->setFocus(Qt::OtherFocusReason);
        m_doc.setEditorActive(true);
    }
}

// F6 and Shift+F6: with two panes, next and previous are the same move. A
// closed tree column (single-page editing) is not a place to type in.
void CMainFrame::switchPane()
{
    if (!m_doc.editorActive() || treeColumnWidth() > 0) {
        changeView();
    }
}

QString CMainFrame::commandName(int id) const
{
    const CommandTable::Command *command = findCommand(id);
    if (!command)
        return QString();
    if (const QString tip = str(command->toolTip); !tip.isEmpty())
        return tip;
    QString name = str(command->menuText).section(QLatin1Char('\t'), 0, 0);
    static const QRegularExpression mnemonic(u"\\(&.\\)"_s);
    name.remove(mnemonic);
    name.remove(QLatin1Char('&'));
    return name.trimmed();
}

// ---- Recent files ----------------------------------------------------------

void CMainFrame::setRecentFiles(const QStringList &paths)
{
    m_recentFiles = paths.mid(0, int(m_recentActions.size()));
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction *action = m_recentActions.at(i);
        if (i < m_recentFiles.size()) {
            // An "&" in a path is a character, not a mnemonic.
            QString shown = QDir::toNativeSeparators(m_recentFiles.at(i));
            shown.replace(QLatin1Char('&'), u"&&"_s);
            action->setText(str(Msg::RecentFileEntry).arg(i + 1).arg(shown));
            action->setVisible(true);
        } else if (i == 0) {
            action->setText(str(findCommand(Cmd::RecentFile1)->menuText));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
        action->setEnabled(i < m_recentFiles.size());
    }
}

// ---- Toolbars --------------------------------------------------------------

void CMainFrame::createToolbars()
{
    for (const CommandTable::Toolbar &layout : CommandTable::Toolbars) {
        auto *toolbar = new QToolBar(str(layout.caption), this);
        toolbar->setObjectName(u"toolbar%1"_s.arg(layout.id));
        toolbar->setIconSize(QSize(16, 16));
        toolbar->setAllowedAreas(Qt::AllToolBarAreas);
        toolbar->setMovable(true);
        toolbar->setFloatable(true);
        addToolBar(Qt::TopToolBarArea, toolbar);
        m_toolbars.insert(layout.id, toolbar);
        const int id = layout.id;
        // Hidden through the context menu, a floating toolbar's close box or
        // any other way: the View menu's check follows.
        connect(toolbar, &QToolBar::visibilityChanged, this, [this, id](bool) {
            if (QToolBar *bar = m_toolbars.value(id))
                m_actions.value(id)->setChecked(!bar->isHidden());
        });
        fillToolbar(toolbar, toList(layout.buttons));
        m_toolbarButtons.insert(layout.id, toList(layout.buttons));
    }
}

void CMainFrame::fillToolbar(QToolBar *toolbar, const QList<int> &buttons)
{
    toolbar->clear();
    for (int id : buttons) {
        if (id == CommandTable::Separator)
            toolbar->addSeparator();
        else if (QAction *action = m_actions.value(id))
            toolbar->addAction(action);
    }
}

void CMainFrame::loadToolbarChoices()
{
    for (const CommandTable::Toolbar &layout : CommandTable::Toolbars) {
        const QString stored = m_settings.readString(SettingsSection::Workspace, toolbarKey(layout.id), QString());
        if (stored.isEmpty())
            continue;
        QList<int> buttons;
        if (stored != EmptyToolbar) {
            for (const QString &part : stored.split(QLatin1Char(','))) {
                bool ok = false;
                const int id = part.trimmed().toInt(&ok);
                if (ok && (id == CommandTable::Separator || (findCommand(id) && id != Cmd::RecentFile1)))
                    buttons.append(id);
            }
        }
        m_toolbarButtons.insert(layout.id, buttons);
        fillToolbar(m_toolbars.value(layout.id), buttons);
    }
}

QToolBar *CMainFrame::toolBar(int toolbarId) const
{
    return m_toolbars.value(toolbarId, nullptr);
}

QList<int> CMainFrame::toolbarButtons(int toolbarId) const
{
    return m_toolbarButtons.value(toolbarId);
}

void CMainFrame::setToolbarButtons(int toolbarId, const QList<int> &buttons)
{
    QToolBar *toolbar = m_toolbars.value(toolbarId);
    if (!toolbar)
        return;
    QList<int> kept;
    for (int id : buttons) {
        if (id == CommandTable::Separator || (m_actions.contains(id) && findCommand(id) && id != Cmd::RecentFile1))
            kept.append(id);
    }
    m_toolbarButtons.insert(toolbarId, kept);
    fillToolbar(toolbar, kept);

    QStringList parts;
    for (int id : std::as_const(kept))
        parts.append(QString::number(id));
    m_settings.writeString(SettingsSection::Workspace, toolbarKey(toolbarId),
                           parts.isEmpty() ? EmptyToolbar.toString() : parts.join(QLatin1Char(',')));
    m_settings.flush();
}

void CMainFrame::toggleToolbar(int toolbarId)
{
    if (QToolBar *toolbar = m_toolbars.value(toolbarId))
        toolbar->setVisible(toolbar->isHidden());
}

ToolbarCustomizeDialog *CMainFrame::openCustomizeDialog()
{
    if (m_customize) {
        m_customize->raise();
        m_customize->activateWindow();
        return m_customize;
    }

    QList<ToolbarCustomizeDialog::ToolbarInfo> toolbars;
    for (const CommandTable::Toolbar &layout : CommandTable::Toolbars)
        toolbars.append({layout.id, str(layout.caption), m_toolbarButtons.value(layout.id), toList(layout.buttons)});

    // Every command of the menus may become a button.
    QList<ToolbarCustomizeDialog::CommandInfo> commands;
    for (const CommandTable::Menu &menu : CommandTable::MenuBar) {
        for (int id : menu.entries) {
            if (id > 0 && id != Cmd::RecentFile1)
                commands.append({id, commandName(id), m_actions.value(id)->icon()});
        }
    }

    m_customize = new ToolbarCustomizeDialog(toolbars, commands, this);
    m_customize->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_customize, &ToolbarCustomizeDialog::applied, this, &CMainFrame::setToolbarButtons);
    m_customize->show();
    return m_customize;
}

QMenu *CMainFrame::createPopupMenu()
{
    auto *menu = new QMenu(this);
    refreshCommandStates();
    for (int id : CommandTable::ToolbarsSubmenu) {
        if (id == CommandTable::Separator)
            menu->addSeparator();
        else
            menu->addAction(m_actions.value(id));
    }
    return menu;
}

// ---- Status bar ------------------------------------------------------------

void CMainFrame::createStatusBar()
{
    QStatusBar *bar = statusBar();
    auto *message = new QLabel(str(Msg::Ready), bar);
    message->setObjectName(u"pane0"_s);
    // The message pane takes the room the others leave, and is the first to
    // give way: prompts are passing texts, the panes' figures are not.
    message->setSizePolicy(QSizePolicy::Ignored, message->sizePolicy().verticalPolicy());
    bar->addWidget(message, 1);
    m_panes.append(message);

    int index = 1;
    for (const CommandTable::StatusPane &entry : CommandTable::StatusBarPanes) {
        auto *pane = new StatusPane(str(entry.sizingTemplate), bar);
        pane->setObjectName(u"pane%1"_s.arg(index));
        bar->addPermanentWidget(pane);
        m_panes.append(pane);
        ++index;
    }
    // Qt cannot read the lock keys' states on every platform: the
    // indicators show their names greyed, as an unlit indicator does.
    for (int i = 6; i <= 8; ++i)
        m_panes.at(i)->setEnabled(false);
    fitStatusPanes();
}

void CMainFrame::setPaneText(int index, const QString &text)
{
    if (index < 0 || index >= m_panes.size())
        return;
    QLabel *pane = m_panes.at(index);
    if (pane->text() == text)
        return;
    // Most new texts (a caret moved by a column) take the width of the old.
    const int width = pane->sizeHint().width();
    pane->setText(text);
    if (index > 0 && pane->sizeHint().width() != width)
        fitStatusPanes();
}

// The window is never narrower than the panes beside each other: the
// message pane gives way first, and once it has no room left the panes
// widen the window rather than overlap or lose their ends.
void CMainFrame::fitStatusPanes()
{
    QStatusBar *bar = statusBar();
    // A pane's new text has reached the bar's layout but not the row of
    // panes inside it until the layout is activated.
    if (QLayout *layout = bar->layout())
        layout->activate();
    const int needed = bar->minimumSizeHint().width();
    if (bar->minimumWidth() != needed)
        bar->setMinimumWidth(needed);
}

QString CMainFrame::paneText(int index) const
{
    if (index < 0 || index >= m_panes.size())
        return QString();
    return m_panes.at(index)->text();
}

// ---- Looks -----------------------------------------------------------------

void CMainFrame::applyLook(int id)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_frameSettings.ApplicationLook = id;
    const Looks::Look look = Looks::lookFor(id, m_tint);
    m_tint = look.tint;
    Looks::applyToApplication(look);
    // A style of other frames or fonts resizes the panes.
    fitStatusPanes();
    update();
    m_frameSettings.writeApplicationLook(m_settings);
    if (QAction *current = m_actions.value(id))
        current->setChecked(true);
    else if (QAction *checked = m_looks->checkedAction())
        checked->setChecked(false);
    QApplication::restoreOverrideCursor();
}

// ---- Tree column and layout ------------------------------------------------

void CMainFrame::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The splitter lays out its columns only once it has a size of its own.
    if (!m_shown) {
        m_shown = true;
        restoreTreeColumn();
    }
}

void CMainFrame::setTreeColumnWidth(int width)
{
    const QList<int> sizes = m_splitter->sizes();
    int total = 0;
    for (int size : sizes)
        total += size;
    if (total <= 0)
        total = std::max(m_splitter->width() - m_splitter->handleWidth(), width + 1);
    m_splitter->setSizes({width, std::max(total - width, 1)});
}

void CMainFrame::restoreTreeColumn()
{
    setTreeColumnWidth(std::max(m_frameSettings.Pain_Width, FrameSettings::MinPainWidth));
}

void CMainFrame::collapseTreeColumn()
{
    recordTreeColumn();
    setTreeColumnWidth(0);
}

int CMainFrame::treeColumnWidth() const
{
    const QList<int> sizes = m_splitter->sizes();
    return sizes.isEmpty() ? 0 : sizes.first();
}

// The remembered width follows the column, but a closed column (0) leaves
// it alone and a narrow one is remembered as the narrowest usable width.
void CMainFrame::recordTreeColumn()
{
    if (!m_shown || !m_splitter->isVisible())
        return;
    const int width = treeColumnWidth();
    if (width == 0)
        return;
    m_frameSettings.Pain_Width = std::max(width, FrameSettings::MinPainWidth);
}

void CMainFrame::saveLayout()
{
    recordTreeColumn();
    m_frameSettings.writePainWidth(m_settings);
    m_settings.writeString(SettingsSection::Workspace, GeometryKey, QString::fromLatin1(saveGeometry().toBase64()));
    m_settings.writeString(SettingsSection::Workspace, StateKey, QString::fromLatin1(saveState(LayoutVersion).toBase64()));
    m_settings.flush();
}

void CMainFrame::restoreLayout()
{
    const QString geometry = m_settings.readString(SettingsSection::Workspace, GeometryKey, QString());
    if (!geometry.isEmpty())
        restoreGeometry(QByteArray::fromBase64(geometry.toLatin1()));
    const QString state = m_settings.readString(SettingsSection::Workspace, StateKey, QString());
    if (!state.isEmpty())
        restoreState(QByteArray::fromBase64(state.toLatin1()), LayoutVersion);
    refreshCommandStates();
}

void CMainFrame::closeEvent(QCloseEvent *event)
{
    if (m_tree)
        m_tree->commitLabelEdit();
    event->accept();
    emit closeRequested(event);
    if (event->isAccepted())
        saveLayout();
}
