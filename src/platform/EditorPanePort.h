#pragma once
#include <QString>

// What the document and the text history need of the editor pane. The
// window implements it with the editor widget, tests with a fake.
class EditorPanePort
{
public:
    virtual ~EditorPanePort() = default;

    virtual QString text() const = 0;
    // Replaces the whole text. Never a user change: nothing is recorded in
    // the text history and the document's modified flag is left alone.
    virtual void setText(const QString &text) = 0;
    // Caret at `position` (clamped to the text) with nothing selected,
    // scrolled into view.
    virtual void setCaret(qint32 position) = 0;
    virtual void giveFocus() = 0;
};
