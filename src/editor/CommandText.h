#pragma once
#include "CommandTable.h"

#include <QString>

// Texts of the command table for the editor's own menu and dialogs, so that
// a text shared with the main menu is written once.
namespace CommandText {

inline const CommandTable::Command *find(int id)
{
    for (const CommandTable::Command &command : CommandTable::Commands) {
        if (command.id == id)
            return &command;
    }
    return nullptr;
}

inline QString menuText(int id)
{
    const CommandTable::Command *command = find(id);
    return command ? QString::fromUtf16(command->menuText) : QString();
}

inline QString toolTip(int id)
{
    const CommandTable::Command *command = find(id);
    return command ? QString::fromUtf16(command->toolTip) : QString();
}

} // namespace CommandText
