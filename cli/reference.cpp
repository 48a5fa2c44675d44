#include "reference.h"

#include "commands.h"
#include "help.h"

namespace sundrel::cli {

namespace {

const Text kDescriptionHeading = {"DESCRIPTION", "説明"};
const Text kCommandsHeading = {"COMMANDS", "コマンド"};
const Text kOptionsHeading = {"OPTIONS", "オプション"};
const Text kExitHeading = {"EXIT STATUS", "終了コード"};
const Text kDescription = {
    "sundrel divides a file into numbered pieces, such as report.pdf(01_of_03).divide, and joins "
    "such pieces back. Every piece carries the ID of its division, and every block of at most "
    "4 KiB a check value, so that a merge refuses damaged, missing or foreign pieces. It makes and "
    "reads exactly the pieces of the Windows program Sundrel.exe. Put a piece's name in quotes: "
    "its parentheses mean something to the shell.",
    "sundrel は、ファイルを report.pdf(01_of_03).divide のような番号付きの分割ファイルに分割し、分割"
    "ファイルを統合して元に戻します。分割ファイルはそれぞれ分割の ID を持ち、4 KiB 以下のブロックごとに検査値"
    "を持つので、統合は破損した分割ファイル、足りない分割ファイル、別の分割の分割ファイルを拒否します。"
    "Windows のプログラム Sundrel.exe と同じ分割ファイルを作り、読みます。分割ファイルの名前の括弧はシェルで"
    "特別な意味を持つので、名前は引用符で囲んでください。"};

// Text for roff: backslashes escaped, no line taken for a request.
std::string Roff(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string OptionItems(const std::vector<const OptionSpec*>& options, Language language)
{
    std::string out;
    for (const OptionSpec* option : options)
        out += ".TP\n.B " + Roff(OptionSpelling(*option, language).substr(
                                option->shortName ? 0 : 4)) +
               "\n" + Roff(PickIn(option->help, language)) + "\n";
    return out;
}

// What an operand of the command is, from its name in the table.
const char* OperandKind(const CommandSpec& command)
{
    std::string operands = command.operands->en;
    if (operands.find("PIECE") != std::string::npos)
        return "piece";
    if (operands.find("DIR") != std::string::npos)
        return "dir";
    if (operands.find("COMMAND") != std::string::npos)
        return "command";
    return operands.empty() ? "none" : "file";
}

// "-o --output -s --size ...": the words a shell completes.
std::string OptionWords(const std::vector<const OptionSpec*>& options)
{
    std::string words;
    for (const OptionSpec* option : options)
        words += (option->shortName ? std::string(" -") + option->shortName : "") + " --" + option->longName;
    return words.substr(1);
}

}  // namespace

std::string ManPage(Language language)
{
    std::string page = ".TH SUNDREL 1 \"\" \"sundrel " SUNDREL_VERSION "\" \"User Commands\"\n";
    page += ".SH NAME\nsundrel \\- " + Roff(PickIn(&kProgramSummary, language)) + "\n";
    page += ".SH SYNOPSIS\n";
    for (const CommandSpec* command : AllCommands())
        page += ".B " + Roff(Synopsis(*command, language)) + "\n.br\n";
    page += ".SH " + std::string(PickIn(&kDescriptionHeading, language)) + "\n" +
            Roff(PickIn(&kDescription, language)) + "\n";
    page += ".SH " + std::string(PickIn(&kCommandsHeading, language)) + "\n";
    for (const CommandSpec* command : AllCommands()) {
        page += ".SS \"" + Roff(Synopsis(*command, language)) + "\"\n";
        page += Roff(PickIn(command->summary, language)) + ".\n";
        std::string details = PickIn(command->details, language);
        if (!details.empty())
            page += ".PP\n" + Roff(details) + "\n";
        page += OptionItems(OptionsWithin(command->options & ~kGlobalOptions), language);
    }
    page += ".SH " + std::string(PickIn(&kOptionsHeading, language)) + "\n" +
            OptionItems(OptionsWithin(kGlobalOptions), language);
    page += ".PP\n" + Roff(PickIn(&kSizesNote, language)) + "\n";
    page += ".PP\n" + Roff(PickIn(&kJsonNote, language)) + "\n";
    page += ".SH " + std::string(PickIn(&kExitHeading, language)) + "\n" +
            Roff(PickIn(&kExitCodesNote, language)) + "\n";
    return page;
}

std::string BashCompletion()
{
    std::string commands, valueOptions, optionCases, operandCases;
    for (const CommandSpec* command : AllCommands())
        commands += (commands.empty() ? "" : " ") + std::string(command->name);
    for (const OptionSpec* option : OptionsWithin(~0u))
        if (option->value)
            valueOptions += (option->shortName ? std::string("-") + option->shortName + "|" : "") +
                            "--" + option->longName + "|";
    valueOptions.pop_back();
    for (const CommandSpec* command : AllCommands()) {
        optionCases += "        " + std::string(command->name) + ") options=\"" +
                       OptionWords(OptionsOf(*command)) + "\" ;;\n";
        operandCases += "        " + std::string(command->name) + ") kind=" + OperandKind(*command) + " ;;\n";
    }
    return "# bash completion for sundrel: made from its command table by sundrel_reference.\n"
           "_sundrel()\n"
           "{\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local command= i options kind\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case ${COMP_WORDS[i]} in\n"
           "            --) ;;\n"
           "            " + valueOptions + ") ((i++)) ;;\n"
           "            -*) ;;\n"
           "            *) command=${COMP_WORDS[i]}; break ;;\n"
           "        esac\n"
           "    done\n"
           "    case $prev in\n"
           "        -o|--output) COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n"
           "        " + valueOptions + ") COMPREPLY=(); return ;;\n"
           "    esac\n"
           "    case $command in\n" + optionCases +
           "        *) options=\"" + OptionWords(OptionsWithin(kGlobalOptions)) + "\" ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    case $command in\n"
           "        '') kind=command ;;\n" + operandCases +
           "    esac\n"
           "    case $kind in\n"
           "        command) COMPREPLY=($(compgen -W \"" + commands + "\" -- \"$cur\")) ;;\n"
           "        piece) COMPREPLY=($(compgen -f -X '!*.[dD][iI][vV][iI][dD][eE]' -- \"$cur\") $(compgen -d -- \"$cur\")) ;;\n"
           "        dir) COMPREPLY=($(compgen -d -- \"$cur\")) ;;\n"
           "        file) COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
           "        *) COMPREPLY=() ;;\n"
           "    esac\n"
           "}\n"
           "complete -o filenames -F _sundrel sundrel\n";
}

}  // namespace sundrel::cli
