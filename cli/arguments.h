// The command line, in the conventions of the GNU tools: options anywhere,
// before or after the command ("sundrel -q divide f"), "--" ends them,
// "--output=DIR", "--output DIR", "-oDIR", "-o DIR", grouped flags ("-qf").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "messages.h"

namespace sundrel::cli {

struct CommandSpec;

// Every option, one bit each.
enum OptionBit : unsigned {
    kOptHelp = 1u << 0,
    kOptVersion = 1u << 1,
    kOptQuiet = 1u << 2,
    kOptJson = 1u << 3,
    kOptOutput = 1u << 4,
    kOptSize = 1u << 5,
    kOptMailLimit = 1u << 6,
    kOptForce = 1u << 7,
    kOptRemovePieces = 1u << 8,
    kOptRecovery = 1u << 9,
};
// The most recovery pieces a division gets, as Sundrel.exe's setting.
constexpr unsigned kMaxRecoveryPieces = 99;

// The options every command takes.
constexpr unsigned kGlobalOptions = kOptHelp | kOptVersion | kOptQuiet | kOptJson;

struct OptionSpec {
    unsigned bit;
    char shortName;         // 0: none
    const char* longName;   // without "--"
    const Text* value;      // the value's name; nullptr for a flag
    const Text* help;
};

// Every option in the order of the help texts; count in *count.
const OptionSpec* AllOptions(size_t* count);

struct Options {
    const CommandSpec* command = nullptr;
    std::vector<std::string> operands;
    unsigned given = 0;         // OptionBits
    std::string outDir;         // -o; empty: beside the file
    unsigned pieceMiB = 0;      // -s; 0 when not given
    uint64_t mailLimit = 0;     // --mail-limit in bytes; 0 when not given
    unsigned recovery = 0;      // --recovery: pieces, or percent of the pieces
    bool recoveryPercent = false;
    // The recovery pieces of a division of count pieces: a percent rounded
    // up, at least 1 when it is not 0.
    unsigned RecoveryCount(unsigned count) const;
    bool Has(unsigned bit) const { return (given & bit) != 0; }
};

// args without the program name. false with the first fault in *error;
// *options then still holds what was understood (--json above all).
bool ParseArguments(const std::vector<std::string>& args, Options* options, std::string* error);

// "25MB", "25 MB", "20MiB", "1GB", "25000000": KB, MB and GB are powers of
// 1000, KiB, MiB and GiB powers of 1024, a bare number is bytes.
bool ParseSize(const std::string& text, uint64_t* bytes);

}  // namespace sundrel::cli
