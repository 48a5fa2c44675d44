#include "report.h"

#include "commands.h"
#include "platform.h"

namespace sundrel::cli {

namespace {

const Text kTryHelp = {"Try 'sundrel --help' for more information.",
                       "詳しくは 'sundrel --help' を実行してください。"};
const Text kStdoutFailed = {"write error on standard output", "標準出力への書き込みエラー"};

}  // namespace

Report::Report(bool json) : json_(json) {}

void Report::SetCommand(const CommandSpec* command)
{
    command_ = command;
    for (const ResultKey* key = command->result; key && key->key; ++key)
        result_.Set(key->key, key->empty);
}

void Report::Write(const std::string& text)
{
    if (stdoutError_.empty() && !WriteStdout(text, &stdoutError_) && stdoutError_.empty())
        stdoutError_ = "?";
}

void Report::Line(const std::string& line)
{
    if (!json_)
        Write(line + "\n");
}

void Report::Note(const std::string& line)
{
    WriteStderr(line + "\n");
}

int Report::Fail(int exitCode, const char* kind, const std::string& message,
                 const std::string& reason)
{
    std::string full = reason.empty() ? message : message + " (" + reason + ")";
    WriteStderr("sundrel: " + full + "\n");
    lastError_ = JsonObject().SetString("kind", kind).SetString("message", full).Dump();
    if (exitCode > worst_) {
        worst_ = exitCode;
        error_ = lastError_;
    }
    return exitCode;
}

int Report::UsageError(const std::string& message)
{
    int code = Fail(kExitUsage, "usage", message);
    WriteStderr(std::string(Pick(&kTryHelp)) + "\n");
    return code;
}

int Report::Interrupted()
{
    int code = InterruptExitCode();
    if (code == 0)
        code = 130;
    return Fail(code, code == 130 ? "interrupted" : "terminated",
                Pick(code == 130 ? &kInterrupted : &kTerminated));
}

int Report::Finish(int exitCode)
{
    int code = exitCode > worst_ ? exitCode : worst_;
    if (json_) {
        JsonObject document;
        if (command_)
            document.SetString("command", command_->name);
        else
            document.SetNull("command");
        document.SetBool("ok", code == kExitOk).SetNumber("exitCode", unsigned(code)).Set("error", error_);
        Write(document.Merge(result_).Dump() + "\n");
    }
    if (!stdoutError_.empty()) {
        WriteStderr("sundrel: " + std::string(Pick(&kStdoutFailed)) + " (" + stdoutError_ + ")\n");
        if (code == kExitOk)
            code = kExitFailed;
    }
    return code;
}

}  // namespace sundrel::cli
