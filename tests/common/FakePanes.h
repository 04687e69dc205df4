#pragma once
#include "platform/FramePort.h"
#include "platform/TreePanePort.h"

#include <QString>
#include <QStringList>

#include <functional>

// Fakes of the tree pane and frame ports that record every call, one
// readable line each, so a test compares what the document asked of them.
// The editor's fake is FakeEditorPane.h.

class FakeTreePane : public TreePanePort
{
public:
    QStringList calls;
    // Runs after a rebuild is recorded, as the real pane selects an item.
    std::function<void()> onRebuild;

    void deleteAllItems() override { calls.append(QStringLiteral("deleteAllItems")); }
    void setItemLabel(qint32 number, const QString &label) override
    {
        calls.append(QStringLiteral("setItemLabel %1 %2").arg(number).arg(label));
    }
    void setSelectedLabel(const QString &label) override
    {
        calls.append(QStringLiteral("setSelectedLabel %1").arg(label));
    }
    void rebuild() override
    {
        calls.append(QStringLiteral("rebuild"));
        if (onRebuild)
            onRebuild();
    }
    void selectItem(qint32 number) override { calls.append(QStringLiteral("selectItem %1").arg(number)); }
};

// The main frame. The save commands answer through the scripted functions
// (false, nothing saved, when none is set).
class FakeFrame : public FramePort
{
public:
    QStringList calls;
    QStringList titles;
    std::function<bool()> saveAs;
    std::function<bool()> singlePageSave;

    void setWindowTitle(const QString &title) override
    {
        calls.append(QStringLiteral("setWindowTitle %1").arg(title));
        titles.append(title);
    }
    void restoreTreeColumn() override { calls.append(QStringLiteral("restoreTreeColumn")); }
    bool runSaveAs() override
    {
        calls.append(QStringLiteral("runSaveAs"));
        return saveAs ? saveAs() : false;
    }
    bool runSinglePageSave() override
    {
        calls.append(QStringLiteral("runSinglePageSave"));
        return singlePageSave ? singlePageSave() : false;
    }
};
