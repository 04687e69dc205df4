#pragma once
#include "platform/Prompter.h"

#include <QPointer>
#include <QWidget>

// Message boxes captioned "Quillory": an exclamation icon for OK-only
// messages, a question icon for questions, Japanese button texts. Each box
// is modal over `parent` (the active window when there is none).
class QtPrompter : public Prompter
{
public:
    explicit QtPrompter(QWidget *parent = nullptr);

    void setParent(QWidget *parent) { m_parent = parent; }

    void showMessage(const QString &text) override;
    Answer askOkCancel(const QString &text) override;
    Answer askYesNoCancel(const QString &text) override;

private:
    QWidget *parentWidget() const;

    QPointer<QWidget> m_parent;
};
