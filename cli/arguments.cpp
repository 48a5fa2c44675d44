#include "arguments.h"

#include <cctype>

#include "commands.h"
#include "piece_sizes.h"

namespace sundrel::cli {

namespace {

const Text kDirValue = {"DIR", "フォルダ"};
const Text kMiBValue = {"MIB", "MiB数"};
const Text kSizeValue = {"SIZE", "サイズ"};
const Text kRecoveryValue = {"N[%]", "N[%]"};
const Text kHelpHelp = {"show this help, or a command's", "この説明 (またはコマンドの説明) を表示します"};
const Text kVersionHelp = {"show the version", "バージョンを表示します"};
const Text kQuietHelp = {"no progress on the terminal", "進み具合を表示しません"};
const Text kJsonHelp = {"one JSON document on standard output, whatever happens",
                        "結果を一つの JSON 文書として標準出力に出力します"};
const Text kOutputHelp = {"write into DIR instead of the input's folder",
                          "入力と同じフォルダの代わりにフォルダに書き込みます"};
const Text kSizeHelp = {"pieces of MIB MiB, 1 to 4095 (default 16)",
                        "MiB数 (1 から 4095、既定 16) ごとに分割します"};
const Text kMailLimitHelp = {"the largest pieces that fit a mail of SIZE once encoded",
                             "エンコード後にサイズのメールに収まる最大の分割サイズにします"};
const Text kRecoveryHelp = {
    "also write N (0 to 99) recovery pieces, or N percent of the pieces",
    "修復用ファイルも N 個 (0 から 99)、または分割数の N パーセント書きます"};
const Text kForceHelp = {"replace the pieces of an earlier division of the same name",
                         "同じ名前の以前の分割ファイルを置き換えます"};
const Text kRemovePiecesHelp = {"delete the pieces after a merge that fully succeeded",
                                "統合が完全に成功した後に分割ファイルを削除します"};

const OptionSpec kOptions[] = {
    {kOptOutput, 'o', "output", &kDirValue, &kOutputHelp},
    {kOptSize, 's', "size", &kMiBValue, &kSizeHelp},
    {kOptMailLimit, 0, "mail-limit", &kSizeValue, &kMailLimitHelp},
    {kOptRecovery, 'r', "recovery", &kRecoveryValue, &kRecoveryHelp},
    {kOptForce, 'f', "force", nullptr, &kForceHelp},
    {kOptRemovePieces, 0, "remove-pieces", nullptr, &kRemovePiecesHelp},
    {kOptQuiet, 'q', "quiet", nullptr, &kQuietHelp},
    {kOptJson, 0, "json", nullptr, &kJsonHelp},
    {kOptHelp, 'h', "help", nullptr, &kHelpHelp},
    {kOptVersion, 0, "version", nullptr, &kVersionHelp},
};

const Text kUnknownCommand = {"unknown command '%s'", "不明なコマンドです: '%s'"};
const Text kUnknownOption = {"unrecognized option '%s'", "不明なオプションです: '%s'"};
const Text kInvalidShort = {"invalid option -- '%c'", "不明なオプションです -- '%c'"};
const Text kNeedsValue = {"option '%s' requires an argument", "オプション '%s' には値が必要です"};
const Text kTakesNoValue = {"option '%s' doesn't allow an argument",
                            "オプション '%s' は値を取りません"};
const Text kNotForCommand = {"option '%s' does not apply to '%s'",
                             "オプション '%s' は '%s' には使えません"};
const Text kMissingOperand = {"missing operand: sundrel %s %s",
                              "引数が足りません: sundrel %s %s"};
const Text kExtraOperand = {"extra operand '%s'", "余分な引数です: '%s'"};
const Text kBadMiB = {"The piece size must be a whole number of MiB from %u to %u: %s",
                      "分割サイズは %u から %u までの MiB 数です: %s"};
const Text kBadSize = {"Not a size (e.g. 25MB, 20MiB or a number of bytes): %s",
                       "サイズではありません (例: 25MB, 20MiB, バイト数): %s"};
const Text kBadRecovery = {
    "The recovery pieces must be a number from 0 to %u, or a percent of the piece count from 0%% "
    "to 100%%: %s",
    "修復用ファイルの数は 0 から %u まで、または分割数に対する 0%% から 100%% までの割合です: %s"};
const Text kSizeAndLimit = {"-s and --mail-limit cannot be used together",
                            "-s と --mail-limit は同時に指定できません"};

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

// How the option was written, for messages: "--size" or "-s".
std::string Spelling(const OptionSpec& option, bool asLong)
{
    return asLong ? "--" + std::string(option.longName) : std::string("-") + option.shortName;
}

class Parser {
public:
    Parser(Options* options, std::string* error) : options_(options), error_(error) {}

    void Fault(const std::string& message)
    {
        if (error_->empty())
            *error_ = message;
    }

    // One option with its value (nullptr when none was attached).
    void Take(const OptionSpec& option, bool asLong, const std::string& value)
    {
        options_->given |= option.bit;
        spelled_.emplace_back(option.bit, Spelling(option, asLong));
        if (option.bit == kOptOutput) {
            options_->outDir = value;
        } else if (option.bit == kOptSize) {
            size_t pos = 0;
            uint64_t miB = 0;
            if (!ParseNumber(value, &pos, &miB) || pos != value.size() || miB < kMinPieceMiB ||
                miB > kMaxPieceMiB)
                Fault(Say(&kBadMiB, kMinPieceMiB, kMaxPieceMiB, value.c_str()));
            options_->pieceMiB = unsigned(miB);
        } else if (option.bit == kOptRecovery) {
            size_t pos = 0;
            uint64_t number = 0;
            bool ok = ParseNumber(value, &pos, &number);
            options_->recoveryPercent = ok && pos + 1 == value.size() && value[pos] == '%';
            if (!ok || (pos != value.size() && !options_->recoveryPercent) ||
                number > (options_->recoveryPercent ? 100 : kMaxRecoveryPieces))
                Fault(Say(&kBadRecovery, kMaxRecoveryPieces, value.c_str()));
            options_->recovery = unsigned(number > 100 ? 100 : number);
        } else if (option.bit == kOptMailLimit) {
            if (!ParseSize(value, &options_->mailLimit))
                Fault(Say(&kBadSize, value.c_str()));
        }
    }

    // "--name" or "--name=value"; next is the following argument, if any.
    bool Long(const std::string& arg, const std::string* next)
    {
        size_t equals = arg.find('=');
        std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionSpec* option = nullptr;
        for (const OptionSpec& o : kOptions)
            if (name == o.longName)
                option = &o;
        if (!option) {
            Fault(Say(&kUnknownOption, arg.substr(0, equals).c_str()));
            return false;
        }
        if (!option->value) {
            if (equals != std::string::npos)
                Fault(Say(&kTakesNoValue, ("--" + name).c_str()));
            Take(*option, true, std::string());
            return false;
        }
        if (equals != std::string::npos) {
            Take(*option, true, arg.substr(equals + 1));
            return false;
        }
        if (!next) {
            Fault(Say(&kNeedsValue, arg.c_str()));
            return false;
        }
        Take(*option, true, *next);
        return true;
    }

    // "-qf", "-oDIR", "-s 16"; true when the value was the next argument.
    bool Short(const std::string& arg, const std::string* next)
    {
        for (size_t i = 1; i < arg.size(); ++i) {
            const OptionSpec* option = nullptr;
            for (const OptionSpec& o : kOptions)
                if (o.shortName && o.shortName == arg[i])
                    option = &o;
            if (!option) {
                Fault(Say(&kInvalidShort, arg[i]));
                continue;
            }
            if (!option->value) {
                Take(*option, false, std::string());
                continue;
            }
            if (i + 1 < arg.size()) {
                Take(*option, false, arg.substr(i + 1));
                return false;
            }
            if (!next) {
                Fault(Say(&kNeedsValue, Spelling(*option, false).c_str()));
                return false;
            }
            Take(*option, false, *next);
            return true;
        }
        return false;
    }

    void Operand(const std::string& arg)
    {
        if (options_->command) {
            options_->operands.push_back(arg);
            return;
        }
        options_->command = FindCommand(arg);
        if (!options_->command)
            Fault(Say(&kUnknownCommand, arg.c_str()));
    }

    // What only the whole command line can tell.
    void Check()
    {
        const CommandSpec* command = options_->command;
        if (!command || options_->Has(kOptHelp) || options_->Has(kOptVersion))
            return;
        for (const auto& spelled : spelled_)
            if (!(spelled.first & (command->options | kGlobalOptions)))
                Fault(Say(&kNotForCommand, spelled.second.c_str(), command->name));
        if (options_->pieceMiB && options_->mailLimit)
            Fault(Say(&kSizeAndLimit));
        const std::vector<std::string>& operands = options_->operands;
        if (operands.size() < command->minOperands)
            Fault(Say(&kMissingOperand, command->name, Pick(command->operands)));
        else if (operands.size() > command->maxOperands)
            Fault(Say(&kExtraOperand, operands[command->maxOperands].c_str()));
    }

private:
    Options* options_;
    std::string* error_;
    std::vector<std::pair<unsigned, std::string>> spelled_;
};

}  // namespace

unsigned Options::RecoveryCount(unsigned count) const
{
    if (!recoveryPercent)
        return recovery;
    return (count * recovery + 99) / 100;
}

const OptionSpec* AllOptions(size_t* count)
{
    *count = sizeof kOptions / sizeof kOptions[0];
    return kOptions;
}

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
    error->clear();
    Parser parser(options, error);
    bool onlyOperands = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::string* next = i + 1 < args.size() ? &args[i + 1] : nullptr;
        if (onlyOperands || arg.size() < 2 || arg[0] != '-')
            parser.Operand(arg);
        else if (arg == "--")
            onlyOperands = true;
        else if (arg[1] == '-' ? parser.Long(arg, next) : parser.Short(arg, next))
            ++i;
    }
    parser.Check();
    return error->empty();
}

}  // namespace sundrel::cli
