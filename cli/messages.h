// Texts in English, or in Japanese where the user's locale is Japanese. Each
// command keeps its own texts in one table beside its code.
#pragma once

#include <string>

namespace sundrel::cli {

struct Text {
    const char* en;
    const char* ja;
};

const char* Pick(const Text& text);
// printf-style, from the picked language.
std::string Say(Text text, ...);

// A line on stdout; an error line on stderr, "sundrel: " first.
void PrintLine(const std::string& line);
void PrintError(const std::string& line);
// An error with the system's reason after it.
void PrintError(const std::string& line, const std::string& reason);

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;        // a bad command line, or a file that cannot be used
constexpr int kExitInterrupted = 130;

// Texts several commands share.
extern const Text kNoSuchFile;
extern const Text kIsFolder;
extern const Text kNotPieceName;
extern const Text kNotFolder;
extern const Text kOpenError;
extern const Text kReadError;
extern const Text kInterrupted;

}  // namespace sundrel::cli
