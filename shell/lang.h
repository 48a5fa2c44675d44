// Every user-visible text exists in English and Japanese.
#pragma once

#include <windows.h>

struct LANG_TEXT {
    const wchar_t* en;
    const wchar_t* ja;
};

// A control's English text, set at initialisation on a non-Japanese system
// (the templates carry the Japanese ones).
struct CTRL_TEXT {
    int id;
    const wchar_t* en;
};

bool IsJapaneseUI();
const wchar_t* PickText(const LANG_TEXT& text);
void SetEnglishTexts(HWND dialog, const CTRL_TEXT* texts, size_t count);

// An operation's error box: text formatted with path (or none) into 128
// characters, MB_ICONERROR, owned by window.
void ShowOpError(HWND window, const wchar_t* caption, const LANG_TEXT& text,
                 const wchar_t* path = nullptr);
