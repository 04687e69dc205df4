#include "platform/qt/QtPrompter.h"

#include "Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QPushButton *addButton(QMessageBox &box, const char16_t *text, QMessageBox::ButtonRole role)
{
    return box.addButton(QString::fromUtf16(text), role);
}

} // namespace

QtPrompter::QtPrompter(QWidget *parent)
    : m_parent(parent)
{
}

QWidget *QtPrompter::parentWidget() const
{
    if (m_parent)
        return m_parent;
    return QApplication::activeWindow();
}

void QtPrompter::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf16(Msg::AppName), text, QMessageBox::NoButton,
                    parentWidget());
    QPushButton *ok = addButton(box, Msg::ButtonOk, QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

Prompter::Answer QtPrompter::askOkCancel(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf16(Msg::AppName), text, QMessageBox::NoButton,
                    parentWidget());
    QPushButton *ok = addButton(box, Msg::ButtonOk, QMessageBox::AcceptRole);
    QPushButton *cancel = addButton(box, Msg::ButtonCancel, QMessageBox::RejectRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == ok ? Answer::Ok : Answer::Cancel;
}

Prompter::Answer QtPrompter::askYesNoCancel(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf16(Msg::AppName), text, QMessageBox::NoButton,
                    parentWidget());
    QPushButton *yes = addButton(box, Msg::ButtonYes, QMessageBox::YesRole);
    QPushButton *no = addButton(box, Msg::ButtonNo, QMessageBox::NoRole);
    QPushButton *cancel = addButton(box, Msg::ButtonCancel, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    // Closing the box any other way counts as Cancel: nothing is decided.
    if (box.clickedButton() == yes)
        return Answer::Yes;
    if (box.clickedButton() == no)
        return Answer::No;
    return Answer::Cancel;
}
