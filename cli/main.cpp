// sundrel: divides files into pieces, checks and merges pieces, on any system.
#include "commands.h"
#include "platform.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args = sundrel::cli::Arguments(argc, argv);
    if (!args.empty())
        args.erase(args.begin());
    return sundrel::cli::RunCommandLine(args);
}
