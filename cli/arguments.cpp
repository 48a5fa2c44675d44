#include "arguments.h"

#include <cctype>

#include "messages.h"
#include "piece_sizes.h"

namespace sundrel::cli {

namespace {

const Text kUsage = {
    "Usage:\n"
    "  sundrel verify PIECE [--json]        check the whole set of PIECE's division\n"
    "  sundrel merge PIECE [-o DIR] [--remove-pieces]\n"
    "                                        join the pieces into NAME(YYMMDD-HHMMSS).EXT\n"
    "  sundrel divide FILE [-s MIB | --mail-limit SIZE] [-o DIR]\n"
    "                                        divide FILE into pieces of MIB MiB (default 16)\n"
    "  sundrel info PIECE                   ID, number, blocks and data bytes of one piece\n"
    "Options: -q/--quiet (no progress), -h/--help, --version.\n"
    "SIZE: 25MB (1000s), 20MiB (1024s) or bytes.\n"
    "Exit codes: 0 done, 1 failed (or the set would not merge), 2 bad command line or file,\n"
    "130 interrupted.\n",
    "使い方:\n"
    "  sundrel verify 分割ファイル [--json]       分割ファイルの組全体を検査します\n"
    "  sundrel merge 分割ファイル [-o フォルダ] [--remove-pieces]\n"
    "                                           名前(YYMMDD-HHMMSS).拡張子 に統合します\n"
    "  sundrel divide ファイル [-s MiB数 | --mail-limit サイズ] [-o フォルダ]\n"
    "                                           MiB数 (既定 16) ごとに分割します\n"
    "  sundrel info 分割ファイル                 ID・番号・ブロック数・データ量を表示します\n"
    "オプション: -q/--quiet (進行表示なし), -h/--help, --version\n"
    "サイズ: 25MB (1000 単位), 20MiB (1024 単位) またはバイト数\n"
    "終了コード: 0 成功, 1 失敗 (統合できない組), 2 コマンドラインかファイルの誤り, 130 中断\n"};
const Text kUnknownCommand = {"Unknown command: %s", "不明なコマンドです: %s"};
const Text kUnknownOption = {"Unknown option for this command: %s",
                             "このコマンドにないオプションです: %s"};
const Text kNeedsValue = {"%s needs a value", "%s には値が必要です"};
const Text kBadMiB = {"The piece size must be a whole number of MiB from %u to %u: %s",
                      "分割サイズは %u から %u までの MiB 数です: %s"};
const Text kBadSize = {"Not a size (e.g. 25MB, 20MiB or a number of bytes): %s",
                       "サイズではありません (例: 25MB, 20MiB, バイト数): %s"};
const Text kSizeAndLimit = {"-s and --mail-limit cannot be used together",
                            "-s と --mail-limit は同時に指定できません"};
const Text kOneFile = {"Exactly one file is needed", "ファイルを一つ指定してください"};

struct CommandName {
    const char* name;
    Command command;
    const char* options;   // the options it takes, each between spaces
};
const CommandName kCommands[] = {
    {"verify", Command::Verify, " --json --quiet "},
    {"merge", Command::Merge, " -o --output --remove-pieces --quiet "},
    {"divide", Command::Divide, " -o --output -s --size --mail-limit --quiet "},
    {"info", Command::Info, " --quiet "},
};

bool ParseNumber(const std::string& text, size_t* pos, uint64_t* value)
{
    size_t start = *pos;
    *value = 0;
    while (*pos < text.size() && std::isdigit(static_cast<unsigned char>(text[*pos]))) {
        if (*value > (UINT64_MAX - 9) / 10)
            return false;
        *value = *value * 10 + uint64_t(text[*pos] - '0');
        ++*pos;
    }
    return *pos > start;
}

}  // namespace

bool ParseSize(const std::string& text, uint64_t* bytes)
{
    struct Unit {
        const char* name;
        uint64_t factor;
    };
    static const Unit kUnits[] = {{"", 1},           {"b", 1},
                                  {"kb", 1000},      {"mb", 1000 * 1000},
                                  {"gb", 1000 * 1000 * 1000},
                                  {"kib", 1 << 10},  {"mib", 1 << 20},
                                  {"gib", 1 << 30}};
    size_t pos = 0;
    uint64_t value = 0;
    if (!ParseNumber(text, &pos, &value))
        return false;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    std::string unit;
    for (; pos < text.size(); ++pos)
        unit += char(std::tolower(static_cast<unsigned char>(text[pos])));
    for (const Unit& u : kUnits)
        if (unit == u.name) {
            if (value > UINT64_MAX / u.factor)
                return false;
            *bytes = value * u.factor;
            return value > 0;
        }
    return false;
}

bool ParseArguments(const std::vector<std::string>& args, Options* options, std::string* error)
{
    *options = Options();
    if (args.empty() || args[0] == "-h" || args[0] == "--help" || args[0] == "help")
        return true;
    if (args[0] == "--version") {
        options->command = Command::Version;
        return true;
    }
    const CommandName* command = nullptr;
    for (const CommandName& c : kCommands)
        if (args[0] == c.name)
            command = &c;
    if (!command) {
        *error = Say(kUnknownCommand, args[0].c_str());
        return false;
    }
    options->command = command->command;
    std::vector<std::string> files;
    bool onlyFiles = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyFiles || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            options->command = Command::Help;
            return true;
        }
        std::string name = arg == "-q" ? "--quiet" : arg;
        if (std::string(command->options).find(" " + name + " ") == std::string::npos) {
            *error = Say(kUnknownOption, arg.c_str());
            return false;
        }
        bool takesValue = name == "-o" || name == "--output" || name == "-s" || name == "--size" ||
                          name == "--mail-limit";
        if (takesValue && i + 1 >= args.size()) {
            *error = Say(kNeedsValue, arg.c_str());
            return false;
        }
        const std::string value = takesValue ? args[++i] : std::string();
        if (name == "--json") {
            options->json = true;
        } else if (name == "--quiet") {
            options->quiet = true;
        } else if (name == "--remove-pieces") {
            options->removePieces = true;
        } else if (name == "-o" || name == "--output") {
            options->outDir = value;
        } else if (name == "-s" || name == "--size") {
            size_t pos = 0;
            uint64_t miB = 0;
            if (!ParseNumber(value, &pos, &miB) || pos != value.size() || miB < kMinPieceMiB ||
                miB > kMaxPieceMiB) {
                *error = Say(kBadMiB, kMinPieceMiB, kMaxPieceMiB, value.c_str());
                return false;
            }
            options->pieceMiB = unsigned(miB);
        } else if (!ParseSize(value, &options->mailLimit)) {
            *error = Say(kBadSize, value.c_str());
            return false;
        }
    }
    if (options->pieceMiB && options->mailLimit) {
        *error = Say(kSizeAndLimit);
        return false;
    }
    if (files.size() != 1) {
        *error = Say(kOneFile);
        return false;
    }
    options->file = files[0];
    return true;
}

std::string UsageText()
{
    return Pick(kUsage);
}

}  // namespace sundrel::cli
