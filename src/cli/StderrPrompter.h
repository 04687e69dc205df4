#pragma once
#include "platform/Prompter.h"

#include <cstdio>

// Messages of the readers and writers, one per line on standard error. The
// tool never asks: a question is answered Cancel so nothing is assumed.
class StderrPrompter : public Prompter
{
public:
    void showMessage(const QString &text) override
    {
        std::fputs(text.toUtf8().constData(), stderr);
        std::fputc('\n', stderr);
    }
    Answer askOkCancel(const QString &text) override
    {
        showMessage(text);
        return Answer::Cancel;
    }
    Answer askYesNoCancel(const QString &text) override
    {
        showMessage(text);
        return Answer::Cancel;
    }
};
