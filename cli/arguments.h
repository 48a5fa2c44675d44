// The command line: a command, its options and one file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sundrel::cli {

enum class Command { Help, Version, Verify, Merge, Divide, Info };

struct Options {
    Command command = Command::Help;
    std::string file;
    std::string outDir;        // empty: beside the file
    unsigned pieceMiB = 0;     // -s; 0 when not given
    uint64_t mailLimit = 0;    // --mail-limit in bytes; 0 when not given
    bool json = false;
    bool quiet = false;
    bool removePieces = false;
};

// args without the program name. false with the reason in *error.
bool ParseArguments(const std::vector<std::string>& args, Options* options, std::string* error);

// "25MB", "25 MB", "20MiB", "1GB", "25000000": KB, MB and GB are powers of
// 1000, KiB, MiB and GiB powers of 1024, a bare number is bytes.
bool ParseSize(const std::string& text, uint64_t* bytes);

std::string UsageText();

}  // namespace sundrel::cli
