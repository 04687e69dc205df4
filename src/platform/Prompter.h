#pragma once
#include <QString>

// How the core talks to the user: every message and question goes through
// here, so the window shows a message box, the tool prints a line and a test
// records the text and scripts the answer.
class Prompter
{
public:
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;

    // An OK-only message (exclamation icon in the window).
    virtual void showMessage(const QString &text) = 0;
    // OK/Cancel question; returns Ok or Cancel.
    virtual Answer askOkCancel(const QString &text) = 0;
    // Yes/No/Cancel question; returns Yes, No or Cancel.
    virtual Answer askYesNoCancel(const QString &text) = 0;
};
