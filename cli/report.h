// What a command says: lines for people on stdout, errors on stderr, or,
// with --json, exactly one JSON document on stdout whatever happens. Every
// document has the keys command, ok, exitCode and error, then the command's
// own keys (CommandSpec::result), each of them in every case.
#pragma once

#include <string>

#include "json.h"

namespace sundrel::cli {

struct CommandSpec;

class Report {
public:
    explicit Report(bool json);

    // The command the document is about; its keys get their empty values.
    void SetCommand(const CommandSpec* command);
    bool Json() const { return json_; }

    // A line for people on stdout; nothing with --json.
    void Line(const std::string& line);
    // A line for people on stderr, never part of stdout.
    void Note(const std::string& line);
    // An error on stderr ("sundrel: " first, the system's reason after it
    // in parentheses). The first error of the highest exit code becomes the
    // document's error. Returns exitCode.
    int Fail(int exitCode, const char* kind, const std::string& message,
             const std::string& reason = std::string());
    // A usage error: one line, and where to find help.
    int UsageError(const std::string& message);
    // The signal's exit code after its message.
    int Interrupted();
    // {"kind": ..., "message": ...} of the last Fail, for an item's own error.
    const std::string& LastError() const { return lastError_; }

    // The command's own keys.
    JsonObject& Result() { return result_; }

    // Writes the document (with --json) and reports a failed write on
    // stdout; the process's exit code: the worst of exitCode, every Fail and
    // the write on stdout.
    int Finish(int exitCode);

private:
    void Write(const std::string& text);

    bool json_;
    const CommandSpec* command_ = nullptr;
    JsonObject result_;
    int worst_ = 0;
    std::string error_ = "null", lastError_ = "null";
    std::string stdoutError_;   // the reason of the first failed write on stdout
};

}  // namespace sundrel::cli
