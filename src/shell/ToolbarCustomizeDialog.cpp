#include "shell/ToolbarCustomizeDialog.h"

#include "Messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString text(const char16_t *message)
{
    return QString::fromUtf16(message);
}
} // namespace

ToolbarCustomizeDialog::ToolbarCustomizeDialog(const QList<ToolbarInfo> &toolbars,
                                               const QList<CommandInfo> &commands, QWidget *parent)
    : QDialog(parent)
    , m_toolbars(toolbars)
{
    setWindowTitle(text(Msg::CustomizeTitle));

    m_toolbarChoice = new QComboBox(this);
    m_toolbarChoice->setObjectName(QStringLiteral("toolbarChoice"));
    for (const ToolbarInfo &toolbar : m_toolbars)
        m_toolbarChoice->addItem(toolbar.caption, toolbar.id);

    m_commandList = new QListWidget(this);
    m_commandList->setObjectName(QStringLiteral("commandList"));
    for (const CommandInfo &command : commands) {
        m_commands.insert(command.id, command);
        auto *item = new QListWidgetItem(command.icon, command.name, m_commandList);
        item->setData(Qt::UserRole, command.id);
    }

    m_buttonList = new QListWidget(this);
    m_buttonList->setObjectName(QStringLiteral("buttonList"));

    auto *add = new QPushButton(text(Msg::CustomizeAdd), this);
    auto *remove = new QPushButton(text(Msg::CustomizeRemove), this);
    auto *separator = new QPushButton(text(Msg::CustomizeSeparator), this);
    auto *up = new QPushButton(text(Msg::CustomizeUp), this);
    auto *down = new QPushButton(text(Msg::CustomizeDown), this);
    auto *reset = new QPushButton(text(Msg::CustomizeReset), this);
    for (QPushButton *button : {add, remove, separator, up, down, reset})
        button->setAutoDefault(false);

    auto *middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton *button : {add, remove, separator, up, down, reset})
        middle->addWidget(button);
    middle->addStretch();

    auto *top = new QHBoxLayout;
    auto *toolbarLabel = new QLabel(text(Msg::CustomizeToolbar), this);
    toolbarLabel->setBuddy(m_toolbarChoice);
    top->addWidget(toolbarLabel);
    top->addWidget(m_toolbarChoice, 1);

    auto *lists = new QGridLayout;
    auto *commandsLabel = new QLabel(text(Msg::CustomizeCommands), this);
    commandsLabel->setBuddy(m_commandList);
    auto *buttonsLabel = new QLabel(text(Msg::CustomizeButtons), this);
    buttonsLabel->setBuddy(m_buttonList);
    lists->addWidget(commandsLabel, 0, 0);
    lists->addWidget(buttonsLabel, 0, 2);
    lists->addWidget(m_commandList, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(m_buttonList, 1, 2);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addWidget(box);

    connect(m_toolbarChoice, &QComboBox::currentIndexChanged, this, [this] { showButtons(); });
    connect(add, &QPushButton::clicked, this, [this] {
        if (const QListWidgetItem *item = m_commandList->currentItem())
            addCommand(item->data(Qt::UserRole).toInt());
    });
    connect(m_commandList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { addCommand(item->data(Qt::UserRole).toInt()); });
    connect(remove, &QPushButton::clicked, this, [this] { removeButton(m_buttonList->currentRow()); });
    connect(separator, &QPushButton::clicked, this, [this] { addSeparator(); });
    connect(up, &QPushButton::clicked, this, [this] { moveButton(m_buttonList->currentRow(), -1); });
    connect(down, &QPushButton::clicked, this, [this] { moveButton(m_buttonList->currentRow(), 1); });
    connect(reset, &QPushButton::clicked, this, [this] { resetToolbar(); });
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        for (const ToolbarInfo &toolbar : std::as_const(m_toolbars))
            emit applied(toolbar.id, toolbar.buttons);
        accept();
    });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    showButtons();
}

QList<int> ToolbarCustomizeDialog::buttons(int toolbarId) const
{
    for (const ToolbarInfo &toolbar : m_toolbars) {
        if (toolbar.id == toolbarId)
            return toolbar.buttons;
    }
    return {};
}

int ToolbarCustomizeDialog::currentToolbar() const
{
    return m_toolbarChoice->currentData().toInt();
}

void ToolbarCustomizeDialog::selectToolbar(int toolbarId)
{
    const int index = m_toolbarChoice->findData(toolbarId);
    if (index >= 0)
        m_toolbarChoice->setCurrentIndex(index);
}

void ToolbarCustomizeDialog::addCommand(int commandId)
{
    const int index = m_toolbarChoice->currentIndex();
    if (index < 0 || !m_commands.contains(commandId))
        return;
    QList<int> &buttons = m_toolbars[index].buttons;
    const qsizetype present = buttons.indexOf(commandId);
    if (present >= 0) {
        selectButtonRow(int(present));
        return;
    }
    const int row = m_buttonList->currentRow();
    const int at = row < 0 ? int(buttons.size()) : row + 1;
    buttons.insert(at, commandId);
    showButtons();
    selectButtonRow(at);
}

void ToolbarCustomizeDialog::addSeparator()
{
    const int index = m_toolbarChoice->currentIndex();
    if (index < 0)
        return;
    QList<int> &buttons = m_toolbars[index].buttons;
    const int row = m_buttonList->currentRow();
    const int at = row < 0 ? int(buttons.size()) : row + 1;
    buttons.insert(at, 0);
    showButtons();
    selectButtonRow(at);
}

void ToolbarCustomizeDialog::removeButton(int row)
{
    const int index = m_toolbarChoice->currentIndex();
    if (index < 0 || row < 0 || row >= m_toolbars[index].buttons.size())
        return;
    m_toolbars[index].buttons.removeAt(row);
    showButtons();
    selectButtonRow(std::min(row, int(m_toolbars[index].buttons.size()) - 1));
}

void ToolbarCustomizeDialog::moveButton(int row, int delta)
{
    const int index = m_toolbarChoice->currentIndex();
    if (index < 0)
        return;
    QList<int> &buttons = m_toolbars[index].buttons;
    const int to = row + delta;
    if (row < 0 || row >= buttons.size() || to < 0 || to >= buttons.size())
        return;
    buttons.move(row, to);
    showButtons();
    selectButtonRow(to);
}

void ToolbarCustomizeDialog::resetToolbar()
{
    const int index = m_toolbarChoice->currentIndex();
    if (index < 0)
        return;
    m_toolbars[index].buttons = m_toolbars[index].defaults;
    showButtons();
}

void ToolbarCustomizeDialog::showButtons()
{
    m_buttonList->clear();
    const int index = m_toolbarChoice->currentIndex();
    if (index < 0)
        return;
    for (int id : std::as_const(m_toolbars[index].buttons)) {
        auto *item = new QListWidgetItem(m_buttonList);
        item->setData(Qt::UserRole, id);
        if (id == 0) {
            item->setText(text(Msg::CustomizeSeparatorItem));
        } else if (const auto it = m_commands.constFind(id); it != m_commands.cend()) {
            item->setText(it->name);
            item->setIcon(it->icon);
        }
    }
}

void ToolbarCustomizeDialog::selectButtonRow(int row)
{
    if (row >= 0 && row < m_buttonList->count())
        m_buttonList->setCurrentRow(row);
}
