// The merge window (template 105): the selected piece, Start, Stop, progress.
#include "app.h"
#include "dialog_map.h"
#include "lang.h"
#include "merge.h"
#include "op_window.h"
#include "qoc.h"
#include "resource.h"

static const LANG_TEXT kCaption = {L"File Merge", L"ファイルの統合"};
static const CTRL_TEXT kEnglishTexts[] = {
    {IDC_FILE_LABEL, L"Divided file"},
    {IDOK, L"Start merging divided files"},
    {IDC_STOP, L"Stop"},
};

static INT_PTR OnInitMerge(HWND window, UINT, WPARAM, LPARAM)
{
    g_hWndMerge = window;
    SetWindowTextW(window, PickText(kCaption));
    SetEnglishTexts(window, kEnglishTexts, ARRAYSIZE(kEnglishTexts));
    SendMessageW(window, WM_SETICON, ICON_SMALL, (LPARAM)g_hIcon);
    QocSetDlgItemPgsRange(window, IDC_PROGRESS, 0, 100);
    ShowCommandFileName(window, IDC_FILE);
    QocFitDlgTexts(window);
    PlaceWindowAtCursor(window);
    return 1;
}

static INT_PTR OnDestroyMerge(HWND, UINT, WPARAM, LPARAM)
{
    PostQuitMessage(0);
    return 1;
}

static const QOC_MMP_ROW kMergeRows[] = {
    {QOC_MMP_MSG, WM_INITDIALOG, 0, OnInitMerge, nullptr, 0},
    {QOC_MMP_MSG, WM_DESTROY, 0, OnDestroyMerge, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDC_STOP, OnStopCommand, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDCANCEL, OnCancelCommand, nullptr, 0},
    {QOC_MMP_CMD, WM_COMMAND, IDOK, RunMerge, nullptr, 0},
    {QOC_MMP_END, 0, 0, nullptr, nullptr, 0},
};
static DLG_MAP g_mergeMap = {kMergeRows, 1, {}};

INT_PTR CALLBACK MergeDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RunDialogMap(g_mergeMap, window, message, wParam, lParam);
}
