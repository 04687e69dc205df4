#pragma once
#include <QString>

// What the document needs of the tree pane. The tree reads the outline from
// the store itself; these calls tell it what changed.
class TreePanePort
{
public:
    virtual ~TreePanePort() = default;

    virtual void deleteAllItems() = 0;
    virtual void setItemLabel(qint32 number, const QString &label) = 0;
    virtual void setSelectedLabel(const QString &label) = 0;
    // Builds the tree anew from the store, then selects an item.
    virtual void rebuild() = 0;
    virtual void selectItem(qint32 number) = 0;
};
