#include "commands.h"

namespace sundrel::cli {

const std::vector<const CommandSpec*>& AllCommands()
{
    static const std::vector<const CommandSpec*> kCommands = {
        &kVerifyCommand, &kMergeCommand, &kRepairCommand, &kDivideCommand, &kInfoCommand, &kListCommand,
        &kHelpCommand, &kVersionCommand,
    };
    return kCommands;
}

const CommandSpec* FindCommand(std::string_view name)
{
    for (const CommandSpec* command : AllCommands())
        if (name == command->name)
            return command;
    return nullptr;
}

}  // namespace sundrel::cli
