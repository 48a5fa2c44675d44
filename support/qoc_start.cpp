// Command-line arguments and the user's language.
#include "qoc.h"

#include <stdlib.h>
#include <string.h>

#include <new>
#include <string>
#include <vector>

// Splits like CommandLineToArgvW does after the program name: blanks outside
// quotes separate; 2n backslashes and a quote give n backslashes and open or
// close a quoted part; 2n+1 backslashes and a quote give n backslashes and a
// literal quote; a quote that closes a quoted part and is followed by another
// quote gives a literal quote. Without stripping, an argument is its text as
// written.
static void SplitCommandLine(const wchar_t* s, bool strip, std::vector<std::wstring>* args)
{
    while (*s == L' ' || *s == L'\t') ++s;
    while (*s != L'\0') {
        const wchar_t* start = s;
        std::wstring arg;
        int quotes = 0;        // 1 inside a quoted part
        size_t backslashes = 0;
        while (*s != L'\0' && !((*s == L' ' || *s == L'\t') && quotes == 0)) {
            if (*s == L'\\') {
                arg += *s++;
                ++backslashes;
            } else if (*s == L'"') {
                arg.resize(arg.size() - backslashes / 2);
                if (backslashes % 2 == 0) {
                    ++quotes;
                } else {
                    arg.back() = L'"';
                }
                ++s;
                backslashes = 0;
                for (; *s == L'"'; ++s) {
                    if (++quotes == 3) {
                        arg += L'"';
                        quotes = 0;
                    }
                }
                if (quotes == 2) quotes = 0;
            } else {
                arg += *s++;
                backslashes = 0;
            }
        }
        if (strip)
            args->push_back(arg);
        else
            args->emplace_back(start, s);
        while (*s == L' ' || *s == L'\t') ++s;
    }
}

wchar_t** QocParseCmdArgsExW(const wchar_t* cmdLine, int* count, int flags)
{
    if (count != nullptr) *count = 0;
    try {
        std::vector<std::wstring> args;
        SplitCommandLine(cmdLine != nullptr ? cmdLine : L"", (flags & 1) != 0, &args);
        // One block: the pointers, ended by a null, then the texts.
        size_t chars = 0;
        for (const auto& arg : args) chars += arg.size() + 1;
        size_t pointerBytes = (args.size() + 1) * sizeof(wchar_t*);
        wchar_t** list = static_cast<wchar_t**>(malloc(pointerBytes + chars * sizeof(wchar_t)));
        if (list == nullptr) return nullptr;
        wchar_t* text = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(list) + pointerBytes);
        for (size_t i = 0; i < args.size(); ++i) {
            list[i] = text;
            memcpy(text, args[i].c_str(), (args[i].size() + 1) * sizeof(wchar_t));
            text += args[i].size() + 1;
        }
        list[args.size()] = nullptr;
        if (count != nullptr) *count = (int)args.size();
        return list;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void QocReleaseCmdArgs(wchar_t** args)
{
    free(args);
}

LANGID QocGetLangId(void)
{
    return GetUserDefaultUILanguage();
}
