// From the command line to a command.
#include "commands.h"
#include "help.h"
#include "platform.h"
#include "report.h"

namespace sundrel::cli {

namespace {

const Text kNoCommand = {"missing command", "コマンドがありません"};

}  // namespace

int RunCommandLine(const std::vector<std::string>& args)
{
    Options options;
    std::string error;
    bool parsed = ParseArguments(args, &options, &error);
    Report report(options.Has(kOptJson));
    if (!parsed) {
        if (options.command)
            report.SetCommand(options.command);
        return report.Finish(report.UsageError(error));
    }
    // "sundrel divide --help" is "sundrel help divide".
    if (options.Has(kOptHelp)) {
        options.operands.clear();
        if (options.command && options.command != &kHelpCommand)
            options.operands.push_back(options.command->name);
        options.command = &kHelpCommand;
    } else if (options.Has(kOptVersion)) {
        options.command = &kVersionCommand;
    }
    if (!options.command) {
        WriteStderr(GlobalHelp(UserLanguage()));
        return report.Finish(report.Fail(kExitUsage, "usage", Pick(&kNoCommand)));
    }
    report.SetCommand(options.command);
    WatchInterrupts();
    return report.Finish(options.command->run(options, report));
}

}  // namespace sundrel::cli
