#include "lang.h"

#include "qoc.h"

bool IsJapaneseUI()
{
    return QocGetLangId() == QOC_LANG_JAPANESE;
}

const wchar_t* PickText(const LANG_TEXT& text)
{
    return IsJapaneseUI() ? text.ja : text.en;
}

void SetEnglishTexts(HWND dialog, const CTRL_TEXT* texts, size_t count)
{
    if (IsJapaneseUI())
        return;
    for (size_t i = 0; i < count; ++i)
        QocSetDlgItemStrW(dialog, texts[i].id, texts[i].en);
}

void ShowOpError(HWND window, const wchar_t* caption, const LANG_TEXT& text, const wchar_t* path)
{
    wchar_t message[128];
    QocSnPrintFW(message, 128, PickText(text), path ? path : L"");
    MessageBoxW(window, message, caption, MB_ICONERROR | MB_OK);
}
