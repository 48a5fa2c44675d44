#include "messages.h"

#include <cstdarg>
#include <cstdio>

#include "platform.h"

namespace sundrel::cli {

const Text kNoSuchFile = {"The specified file does not exist: %s",
                          "指定されたファイルがありません: %s"};
const Text kIsFolder = {"A folder was given where a file is needed: %s",
                        "ファイルの代わりにフォルダが指定されました: %s"};
const Text kNotPieceName = {"Not the name of a divided file's piece (NAME(NN_of_MM).divide): %s",
                            "分割ファイルの名前ではありません (名前(NN_of_MM).divide): %s"};
const Text kNotFolder = {"The location specified for output is not a folder: %s",
                         "出力に指定した場所はフォルダではありません: %s"};
const Text kOpenError = {"Unable to open input file: %s", "入力ファイルをオープンできません: %s"};
const Text kReadError = {"An error occurred while reading the input file: %s",
                         "入力ファイルの読み出しでエラーが発生しました: %s"};
const Text kInterrupted = {"Interrupted; nothing was left behind.",
                           "中断しました。作りかけのファイルは残していません。"};

const char* Pick(const Text& text)
{
    static const bool japanese = UserWantsJapanese();
    return japanese ? text.ja : text.en;
}

std::string Say(Text text, ...)
{
    const char* format = Pick(text);
    va_list args;
    va_start(args, text);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out(n > 0 ? size_t(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(&out[0], size_t(n) + 1, format, again);
    va_end(again);
    return out;
}

void PrintLine(const std::string& line)
{
    WriteStdout(line + "\n");
}

void PrintError(const std::string& line)
{
    WriteStderr("sundrel: " + line + "\n");
}

void PrintError(const std::string& line, const std::string& reason)
{
    PrintError(reason.empty() ? line : line + " (" + reason + ")");
}

}  // namespace sundrel::cli
