#pragma once
#include "editor/StatusPanes.h"
#include "settings/FrameSettings.h"
#include "shell/Looks.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <span>

class CQuilloryDoc;
class CQuilloryEdit;
class CQuilloryTree;
class QAction;
class QActionGroup;
class QCloseEvent;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class SettingsBackend;
class ToolbarCustomizeDialog;

// The program's one top-level window: menus, the four toolbars and the
// status bar built from the command table, and the splitter with the tree
// pane on the left and the editor pane on the right.
//
// Commands are routed by id: to the tree pane when it runs the id, else to
// the editor pane, else to a handler the application registered, else to the
// frame's own commands (looks, toolbar toggles, label mode, view change,
// pane switching, customisation). A command nobody runs stays disabled.
//
// The document and the settings backend must outlive the frame. The panes
// are registered with the document for the frame's lifetime.
class CMainFrame : public QMainWindow, public StatusPanes
{
    Q_OBJECT

public:
    CMainFrame(CQuilloryDoc &doc, SettingsBackend &settings, QWidget *parent = nullptr);
    ~CMainFrame() override;

    CQuilloryTree *treePane() const;
    CQuilloryEdit *editorPane() const;

    // Commands the application handles (file commands, exit, about, recent
    // files, and the later tools). `enabled` empty means always enabled,
    // within the display-mode rules the frame applies to save, save as,
    // text save and view change.
    void registerCommand(int id, std::function<void()> run, std::function<bool()> enabled = {});
    QAction *action(int id) const; // nullptr for unknown ids
    // Enabling and check marks of every command, from the panes, the
    // registered predicates and the document's display mode.
    void refreshCommandStates();
    bool isCommandEnabled(int id) const;
    // Runs `id` as its menu item would; a disabled command does nothing.
    void runCommand(int id);

    // Shown under "最近使ったファイル", at most four, most recent first.
    void setRecentFiles(const QStringList &paths);
    QStringList recentFiles() const { return m_recentFiles; }

    // The tree column back at the remembered width, at least 80 pixels.
    void restoreTreeColumn();
    // Closes the tree column (single-page editing); the remembered width is
    // kept, as a closed column measures 0.
    void collapseTreeColumn();
    // The tree column's current width in pixels.
    int treeColumnWidth() const;
    // The remembered width ("Pain_Width"): the column's width at the last
    // layout, never below 80 once measured.
    int painWidth() const { return m_frameSettings.Pain_Width; }

    // StatusPanes: 0 is the idle text of the message pane, 1 to 5 the
    // editor's metrics, 6 to 8 the lock indicators. Other indices are ignored.
    void setPaneText(int index, const QString &text) override;
    QString paneText(int index) const;

    // Window geometry, toolbar placement and Pain_Width into the settings;
    // and the geometry and placement back.
    void saveLayout();
    void restoreLayout();

    // Looks 205 to 219: style and palette for the whole application, the
    // radio mark, and "ApplicationLook" written to the settings.
    void applyLook(int id);
    int applicationLook() const { return m_frameSettings.ApplicationLook; }

    QToolBar *toolBar(int toolbarId) const;
    // Buttons of a toolbar as command ids (0 a separator).
    QList<int> toolbarButtons(int toolbarId) const;
    // Rebuilds the toolbar from `buttons` (unknown ids dropped) and keeps
    // the choice in the settings.
    void setToolbarButtons(int toolbarId, const QList<int> &buttons);
    // The modeless customisation dialog (126); one at a time.
    ToolbarCustomizeDialog *openCustomizeDialog();
    // The toolbar area's context menu: the toolbar toggles and the
    // customisation.
    QMenu *createPopupMenu() override;

signals:
    void recentFileTriggered(const QString &path);
    // closeEvent forwards here so the application can ask to save and
    // ignore() the event. An event still accepted afterwards saves the layout.
    void closeRequested(QCloseEvent *event);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct Registered
    {
        std::function<void()> run;
        std::function<bool()> enabled;
    };

    void createActions();
    void createMenus();
    QMenu *createMenu(const QString &title, std::span<const int> entries);
    void createToolbars();
    void createStatusBar();
    void fitStatusPanes();
    void fillToolbar(QToolBar *toolbar, const QList<int> &buttons);
    void loadToolbarChoices();
    bool runFrameCommand(int id);
    bool isFrameCommand(int id) const;
    void toggleToolbar(int toolbarId);
    void changeView();
    void switchPane();
    void setTreeColumnWidth(int width);
    void recordTreeColumn();
    QString commandName(int id) const;

    CQuilloryDoc &m_doc;
    SettingsBackend &m_settings;
    FrameSettings m_frameSettings;
    Looks::Tint m_tint = Looks::Tint::Blue;

    QSplitter *m_splitter = nullptr;
    CQuilloryTree *m_tree = nullptr;
    CQuilloryEdit *m_editor = nullptr;

    QHash<int, QAction *> m_actions;
    QActionGroup *m_looks = nullptr;
    QList<QMenu *> m_menus;
    QHash<int, QToolBar *> m_toolbars;
    QHash<int, QList<int>> m_toolbarButtons;
    QList<QLabel *> m_panes;
    QHash<int, Registered> m_registered;
    QStringList m_recentFiles;
    QList<QAction *> m_recentActions;
    QPointer<ToolbarCustomizeDialog> m_customize;
    QMetaObject::Connection m_focusConnection;
    bool m_shown = false;
};
