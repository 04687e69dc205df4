#pragma once
#include <QtGlobal>

class SettingsBackend;

// The two values the main frame keeps in the store: the tree pane's width
// ("Settings/Pain_Width") and the chosen look ("Workspace/ApplicationLook").
// Both are read as stored; only the width is raised when written.
struct FrameSettings
{
    static constexpr qint32 DefaultPainWidth = 100;
    static constexpr qint32 MinPainWidth = 80;
    static constexpr qint32 DefaultApplicationLook = 210;

    qint32 Pain_Width = DefaultPainWidth;
    qint32 ApplicationLook = DefaultApplicationLook;

    // Reads both values, each absent or unreadable one giving its default.
    void read(const SettingsBackend &backend);
    // Writes Pain_Width, raised to MinPainWidth when smaller, so that the
    // tree pane never comes back too narrow to grab.
    void writePainWidth(SettingsBackend &backend) const;
    void writeApplicationLook(SettingsBackend &backend) const;
};
