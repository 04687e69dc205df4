#pragma once
#include <QString>

// The status bar's own panes as the editor pane sees them: 1 display mode,
// 2 characters, 3 manuscript sheets, 4 user-format pages, 5 caret position.
class StatusPanes
{
public:
    virtual ~StatusPanes() = default;
    // Sets the text and repaints the pane at once.
    virtual void setPaneText(int index, const QString &text) = 0;
};
