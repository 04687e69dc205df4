#pragma once
#include <QString>

// What the document needs of the main frame. The window implements it with
// the main window, tests with a fake.
class FramePort
{
public:
    virtual ~FramePort() = default;

    virtual void setWindowTitle(const QString &title) = 0;
    // Gives the tree pane's column back its remembered width, never less
    // than 80 (single-page editing may have closed it to 0).
    virtual void restoreTreeColumn() = 0;

    // Run the whole command, dialog included. True only when a file was
    // really written: a cancelled dialog or a failed write gives false.
    virtual bool runSaveAs() = 0;
    virtual bool runSinglePageSave() = 0;
};
