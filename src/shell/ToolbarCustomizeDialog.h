#pragma once
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>

class QComboBox;
class QListWidget;
class QPushButton;

// Lets the user choose and order the buttons of each toolbar. The dialog
// edits its own copies; on OK it reports every toolbar through applied(),
// and Cancel leaves the toolbars as they were. 0 in a button list is a
// separator.
class ToolbarCustomizeDialog : public QDialog
{
    Q_OBJECT

public:
    struct ToolbarInfo
    {
        int id;
        QString caption;
        QList<int> buttons;
        QList<int> defaults;
    };
    struct CommandInfo
    {
        int id;
        QString name;
        QIcon icon;
    };

    ToolbarCustomizeDialog(const QList<ToolbarInfo> &toolbars, const QList<CommandInfo> &commands,
                           QWidget *parent = nullptr);

    // The buttons as edited so far.
    QList<int> buttons(int toolbarId) const;
    int currentToolbar() const;
    void selectToolbar(int toolbarId);

    // The editing steps behind the buttons, on the current toolbar: the
    // chosen command goes in after the chosen button (at the end when none
    // is chosen); a command already on the toolbar is only selected there.
    void addCommand(int commandId);
    void addSeparator();
    void removeButton(int row);
    void moveButton(int row, int delta);
    void resetToolbar();

signals:
    void applied(int toolbarId, const QList<int> &buttons);

private:
    void showButtons();
    void selectButtonRow(int row);

    QList<ToolbarInfo> m_toolbars;
    QHash<int, CommandInfo> m_commands;
    QComboBox *m_toolbarChoice = nullptr;
    QListWidget *m_commandList = nullptr;
    QListWidget *m_buttonList = nullptr;
};
