// Texts in English, or in Japanese where the user's locale is Japanese. Each
// command keeps its own texts in one table beside its code.
#pragma once

#include <string>

namespace sundrel::cli {

struct Text {
    const char* en;
    const char* ja;
};

enum class Language { English, Japanese };

// The user's language, decided once.
Language UserLanguage();
const char* Pick(const Text* text);
const char* PickIn(const Text* text, Language language);
// printf-style, from the picked language.
std::string Say(const Text* text, ...);

// Exit codes of every command; an interrupted one exits with 128 + the
// signal's number (130 for Ctrl-C, 143 for a termination request).
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;   // a bad command line, or a file that cannot be used

// Texts several commands share.
extern const Text kNoSuchFile;
extern const Text kIsFolder;
extern const Text kNotPieceName;
extern const Text kNotFolder;
extern const Text kOpenError;
extern const Text kReadError;
extern const Text kInterrupted;
extern const Text kTerminated;

}  // namespace sundrel::cli
