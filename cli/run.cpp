// From the command line to a command.
#include "commands.h"
#include "messages.h"
#include "platform.h"

namespace sundrel::cli {

int RunCommandLine(const std::vector<std::string>& args)
{
    Options options;
    std::string error;
    if (!ParseArguments(args, &options, &error)) {
        PrintError(error);
        WriteStderr(UsageText());
        return kExitUsage;
    }
    WatchInterrupts();
    switch (options.command) {
    case Command::Help:
        WriteStdout(UsageText());
        return kExitOk;
    case Command::Version:
        PrintLine("sundrel " SUNDREL_VERSION);
        return kExitOk;
    case Command::Verify:
        return RunVerify(options);
    case Command::Merge:
        return RunMerge(options);
    case Command::Divide:
        return RunDivide(options);
    case Command::Info:
        return RunInfo(options);
    }
    return kExitUsage;
}

}  // namespace sundrel::cli
