// The commands of the companion, one table: each command's name, options,
// operands, help texts, the keys of its JSON document and its run function.
// Each command's texts live beside its code, in its own file.
#pragma once

#include <string_view>
#include <vector>

#include "arguments.h"
#include "messages.h"

namespace sundrel::cli {

class Report;

// A key of a command's JSON document with its value before anything is
// known (JSON text), so that every document of a command has every key.
struct ResultKey {
    const char* key;
    const char* empty;
};

struct CommandSpec {
    const char* name;
    const Text* operands;    // "PIECE...": the synopsis after the options
    const Text* summary;     // one line
    const Text* details;     // a paragraph for the help and the manual page
    unsigned options;        // OptionBits besides kGlobalOptions
    size_t minOperands, maxOperands;
    const ResultKey* result; // ends with {nullptr, nullptr}
    // The exit code (see messages.h); everything said goes through report.
    int (*run)(const Options& options, Report& report);
};

extern const CommandSpec kVerifyCommand;
extern const CommandSpec kMergeCommand;
extern const CommandSpec kRepairCommand;
extern const CommandSpec kDivideCommand;
extern const CommandSpec kInfoCommand;
extern const CommandSpec kListCommand;
extern const CommandSpec kHelpCommand;
extern const CommandSpec kVersionCommand;

// Every command in the order of the help texts.
const std::vector<const CommandSpec*>& AllCommands();
const CommandSpec* FindCommand(std::string_view name);

// Parses the arguments (without the program name) and runs the command.
int RunCommandLine(const std::vector<std::string>& args);

}  // namespace sundrel::cli
