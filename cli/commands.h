// The commands; each returns the process exit code (see messages.h).
#pragma once

#include "arguments.h"

namespace sundrel::cli {

int RunVerify(const Options& options);
int RunMerge(const Options& options);
int RunDivide(const Options& options);
int RunInfo(const Options& options);

// Parses the arguments (without the program name) and runs the command.
int RunCommandLine(const std::vector<std::string>& args);

}  // namespace sundrel::cli
