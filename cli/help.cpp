// sundrel help [COMMAND], sundrel COMMAND --help, sundrel --version.
#include "help.h"

#include <algorithm>

#include "report.h"

namespace sundrel::cli {

const Text kProgramSummary = {
    "divide files into numbered pieces that fit into mails, check pieces and merge them back",
    "ファイルをメールで送れる番号付きの分割ファイルに分割し、検査し、統合します"};
const Text kSizesNote = {"SIZE: 25MB counts in 1000s, 20MiB in 1024s, a bare number in bytes.",
                         "サイズ: 25MB は 1000 単位、20MiB は 1024 単位、数字だけならバイト数です。"};
const Text kExitCodesNote = {
    "Exit codes: 0 done (verify: every set would merge, its recovery pieces whole), 1 failed\n"
    "(verify: a set would not merge, or only after a repair), 2 a bad command line or a file that\n"
    "cannot be used, 130 interrupted (Ctrl-C), 143 terminated.",
    "終了コード: 0 成功 (verify: すべての組が統合でき、修復用ファイルも正常)、1 失敗 (verify: 統合\n"
    "できない組、または修復しないと統合できない組がある)、2 コマンドラインの誤りか使えないファイル、\n"
    "130 中断 (Ctrl-C)、143 終了要求。"};
const Text kJsonNote = {
    "With --json, standard output holds exactly one JSON document, errors included: the keys "
    "command, ok, exitCode and error (null, or kind and message), then the command's own. A name "
    "that is not UTF-8 shows U+FFFD for each byte that is none, and its bytes in hex under the "
    "same key with \"Bytes\" appended.",
    "--json を付けると、標準出力はエラーの場合も含めて一つの JSON 文書だけになります: キー command、ok、"
    "exitCode、error (null、または kind と message)、そしてコマンドごとのキー。UTF-8 でない名前は、"
    "UTF-8 でないバイトを U+FFFD で表し、キー名に \"Bytes\" を付けたキーにそのバイト列を 16 進で示します。"};

namespace {

const Text kUsage = {"Usage: ", "使い方: "};
const Text kOptionWord = {"[OPTION]...", "[オプション]..."};
const Text kCommandWord = {"COMMAND", "コマンド"};
const Text kArgumentWord = {"[ARGUMENT]...", "[引数]..."};
const Text kCommandsHeading = {"Commands:", "コマンド:"};
const Text kCommonHeading = {"Options of every command:", "すべてのコマンドのオプション:"};
const Text kOptionsHeading = {"Options:", "オプション:"};
const Text kMoreHelp = {"'sundrel help COMMAND' or 'sundrel COMMAND --help' shows a command's options.",
                        "コマンドのオプションは 'sundrel help コマンド' か 'sundrel コマンド --help' で表示されます。"};
const Text kUnknownTopic = {"unknown command '%s'", "不明なコマンドです: '%s'"};

const Text kHelpOperands = {"[COMMAND]", "[コマンド]"};
const Text kHelpSummary = {"show the help of every command, or of one", "全体またはコマンドの説明を表示します"};
const Text kHelpDetails = {"", ""};
const ResultKey kHelpResult[] = {{"topic", "null"}, {"text", "\"\""}, {nullptr, nullptr}};

const Text kVersionOperands = {"", ""};
const Text kVersionSummary = {"show the version", "バージョンを表示します"};
const ResultKey kVersionResult[] = {{"version", "\"" SUNDREL_VERSION "\""}, {nullptr, nullptr}};

// Columns on a terminal: two for each character beyond ASCII, as for
// Japanese.
size_t Columns(const std::string& text)
{
    size_t columns = 0;
    for (unsigned char c : text)
        columns += c < 0x80 ? 1 : (c & 0xC0) == 0xC0 ? 2 : 0;
    return columns;
}

// "  left    right", right from column (or after two spaces).
std::string Row(const std::string& left, const std::string& right, size_t column = 26)
{
    std::string row = "  " + left;
    size_t used = 2 + Columns(left);
    row += std::string(used + 2 <= column ? column - used : 2, ' ');
    return row + right + "\n";
}

std::string OptionRows(const std::vector<const OptionSpec*>& options, Language language)
{
    std::string rows;
    for (const OptionSpec* option : options)
        rows += Row(OptionSpelling(*option, language), PickIn(option->help, language));
    return rows;
}

int RunHelp(const Options& options, Report& report)
{
    const CommandSpec* topic = nullptr;
    if (!options.operands.empty()) {
        topic = FindCommand(options.operands[0]);
        if (!topic)
            return report.UsageError(Say(&kUnknownTopic, options.operands[0].c_str()));
        report.Result().SetString("topic", topic->name);
    }
    std::string text = topic ? CommandHelp(*topic, UserLanguage()) : GlobalHelp(UserLanguage());
    report.Result().SetString("text", text);
    if (!report.Json())
        report.Line(text.substr(0, text.size() - 1));
    return kExitOk;
}

int RunVersion(const Options&, Report& report)
{
    report.Line("sundrel " SUNDREL_VERSION);
    return kExitOk;
}

}  // namespace

const CommandSpec kHelpCommand = {
    "help", &kHelpOperands, &kHelpSummary, &kHelpDetails, 0, 0, 1, kHelpResult, RunHelp,
};

const CommandSpec kVersionCommand = {
    "version", &kVersionOperands, &kVersionSummary, &kHelpDetails, 0, 0, 0, kVersionResult, RunVersion,
};

std::vector<const OptionSpec*> OptionsWithin(unsigned bits)
{
    size_t count = 0;
    const OptionSpec* all = AllOptions(&count);
    std::vector<const OptionSpec*> options;
    for (size_t i = 0; i < count; ++i)
        if (all[i].bit & bits)
            options.push_back(&all[i]);
    return options;
}

std::vector<const OptionSpec*> OptionsOf(const CommandSpec& command)
{
    std::vector<const OptionSpec*> options = OptionsWithin(command.options & ~kGlobalOptions);
    for (const OptionSpec* option : OptionsWithin(kGlobalOptions))
        options.push_back(option);
    return options;
}

std::string OptionSpelling(const OptionSpec& option, Language language)
{
    std::string text = option.shortName ? std::string("-") + option.shortName + ", " : "    ";
    text += "--" + std::string(option.longName);
    if (option.value)
        text += "=" + std::string(PickIn(option.value, language));
    return text;
}

std::string Synopsis(const CommandSpec& command, Language language)
{
    std::string text = "sundrel " + std::string(command.name);
    if (command.options & ~kGlobalOptions)
        text += " " + std::string(PickIn(&kOptionWord, language));
    std::string operands = PickIn(command.operands, language);
    return operands.empty() ? text : text + " " + operands;
}

std::string GlobalHelp(Language language)
{
    std::string text = PickIn(&kUsage, language) + std::string("sundrel ") +
                       PickIn(&kCommandWord, language) + " " + PickIn(&kOptionWord, language) +
                       " " + PickIn(&kArgumentWord, language) + "\n";
    text += "sundrel: " + std::string(PickIn(&kProgramSummary, language)) + "\n\n";
    text += std::string(PickIn(&kCommandsHeading, language)) + "\n";
    size_t column = 0;
    for (const CommandSpec* command : AllCommands())
        column = std::max(column, Columns(Synopsis(*command, language)) - 8 + 4);
    for (const CommandSpec* command : AllCommands())
        text += Row(Synopsis(*command, language).substr(8), PickIn(command->summary, language), column);
    text += "\n" + std::string(PickIn(&kCommonHeading, language)) + "\n" +
            OptionRows(OptionsWithin(kGlobalOptions), language);
    text += "\n" + std::string(PickIn(&kMoreHelp, language)) + "\n";
    text += PickIn(&kSizesNote, language) + std::string("\n");
    return text + PickIn(&kExitCodesNote, language) + "\n";
}

std::string CommandHelp(const CommandSpec& command, Language language)
{
    std::string text = PickIn(&kUsage, language) + Synopsis(command, language) + "\n";
    text += PickIn(command.summary, language) + std::string("\n");
    std::string details = PickIn(command.details, language);
    if (!details.empty())
        text += "\n" + details + "\n";
    text += "\n" + std::string(PickIn(&kOptionsHeading, language)) + "\n" +
            OptionRows(OptionsOf(command), language);
    return text;
}

}  // namespace sundrel::cli
