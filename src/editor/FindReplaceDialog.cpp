#include "editor/FindReplaceDialog.h"

#include "Messages.h"
#include "editor/CommandText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

} // namespace

FindReplaceDialog::FindReplaceDialog(Mode mode, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
{
    const bool replace = mode == Mode::Replace;
    setObjectName(replace ? QStringLiteral("replaceDialog") : QStringLiteral("findDialog"));
    // Titled like the commands that open them.
    setWindowTitle(CommandText::toolTip(replace ? Cmd::EditReplace : Cmd::EditFind));
    setModal(false);

    auto *fields = new QGridLayout;
    auto *findLabel = new QLabel(text(Msg::FindWhat));
    m_findEdit = new QLineEdit;
    m_findEdit->setObjectName(QStringLiteral("findWhat"));
    findLabel->setBuddy(m_findEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findEdit, 0, 1);
    if (replace) {
        auto *replaceLabel = new QLabel(text(Msg::ReplaceWith));
        m_replaceEdit = new QLineEdit;
        m_replaceEdit->setObjectName(QStringLiteral("replaceWith"));
        replaceLabel->setBuddy(m_replaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_replaceEdit, 1, 1);
    }

    m_matchCase = new QCheckBox(text(Msg::FindMatchCase));
    m_matchCase->setObjectName(QStringLiteral("matchCase"));

    auto *options = new QHBoxLayout;
    options->addWidget(m_matchCase, 0, Qt::AlignBottom);
    // Replacing always runs down the text, as it does in every edit control.
    if (!replace) {
        auto *direction = new QGroupBox(text(Msg::FindDirection));
        m_up = new QRadioButton(text(Msg::CustomizeUp));
        m_up->setObjectName(QStringLiteral("searchUp"));
        m_down = new QRadioButton(text(Msg::CustomizeDown));
        m_down->setObjectName(QStringLiteral("searchDown"));
        m_down->setChecked(true);
        auto *directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(m_up);
        directionLayout->addWidget(m_down);
        options->addWidget(direction);
    }

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    auto *buttons = new QVBoxLayout;
    m_findNext = new QPushButton(text(Msg::FindNextButton));
    m_findNext->setObjectName(QStringLiteral("findNext"));
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    connect(m_findNext, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
    if (replace) {
        m_replace = new QPushButton(text(Msg::ReplaceButton));
        m_replace->setObjectName(QStringLiteral("replace"));
        m_replaceAll = new QPushButton(text(Msg::ReplaceAllButton));
        m_replaceAll->setObjectName(QStringLiteral("replaceAll"));
        buttons->addWidget(m_replace);
        buttons->addWidget(m_replaceAll);
        connect(m_replace, &QPushButton::clicked, this, &FindReplaceDialog::replaceRequested);
        connect(m_replaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAllRequested);
    }
    auto *cancel = new QPushButton(text(Msg::ButtonCancel));
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(m_findEdit, &QLineEdit::textChanged, this, &FindReplaceDialog::updateButtons);
    updateButtons();
}

QString FindReplaceDialog::findWhat() const
{
    return m_findEdit->text();
}

QString FindReplaceDialog::replaceWith() const
{
    return m_replaceEdit ? m_replaceEdit->text() : QString();
}

bool FindReplaceDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindReplaceDialog::searchDown() const
{
    return !m_up || !m_up->isChecked();
}

void FindReplaceDialog::setFindWhat(const QString &what)
{
    m_findEdit->setText(what);
    m_findEdit->selectAll();
    m_findEdit->setFocus();
}

void FindReplaceDialog::setMatchCase(bool on)
{
    m_matchCase->setChecked(on);
}

void FindReplaceDialog::setSearchDown(bool down)
{
    if (!m_up)
        return;
    (down ? m_down : m_up)->setChecked(true);
}

void FindReplaceDialog::updateButtons()
{
    // Nothing to look for: nothing to find or replace.
    const bool any = !m_findEdit->text().isEmpty();
    m_findNext->setEnabled(any);
    if (m_replace) {
        m_replace->setEnabled(any);
        m_replaceAll->setEnabled(any);
    }
}
