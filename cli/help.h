// The help texts, built from the command table: the same source as the
// manual page and the shell completion (reference.cpp).
#pragma once

#include <string>

#include "commands.h"

namespace sundrel::cli {

// The texts the help and the manual page share.
extern const Text kProgramSummary;
extern const Text kSizesNote;
extern const Text kExitCodesNote;
extern const Text kJsonNote;

std::string GlobalHelp(Language language);
std::string CommandHelp(const CommandSpec& command, Language language);
// "sundrel divide [OPTION]... FILE"
std::string Synopsis(const CommandSpec& command, Language language);
// "-o, --output=DIR"
std::string OptionSpelling(const OptionSpec& option, Language language);
// The options among bits (OptionBits), in the table's order.
std::vector<const OptionSpec*> OptionsWithin(unsigned bits);
// The options a command takes: its own, then those of every command.
std::vector<const OptionSpec*> OptionsOf(const CommandSpec& command);

}  // namespace sundrel::cli
