#pragma once
#include "platform/Prompter.h"

#include <QList>
#include <QStringList>

// Records every text shown or asked and answers questions from a script
// (Cancel once the script runs out, so an unexpected question never
// silently agrees).
class RecordingPrompter : public Prompter
{
public:
    QStringList messages;
    QStringList questions;
    QList<Answer> answers;

    void showMessage(const QString &text) override { messages.append(text); }
    Answer askOkCancel(const QString &text) override { return next(text); }
    Answer askYesNoCancel(const QString &text) override { return next(text); }

private:
    Answer next(const QString &text)
    {
        questions.append(text);
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
};
