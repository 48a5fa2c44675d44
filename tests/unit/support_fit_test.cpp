// QocFitDlgTexts in the cases the windows' own texts do not reach: a static
// text that finds a neighbour on its right takes more lines, and the group
// box around it grows down; a check box with nothing on its right widens the
// dialog; a label hemmed in on its right and below grows to its left. Nothing
// else moves, and whatever was whole stays as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include "qoc.h"

namespace {

struct BareTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

INT_PTR CALLBACK BareProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class SupportFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        alignas(4) static BareTemplate bare = {
            {WS_POPUP | WS_CAPTION, 0, 0, 0, 0, 200, 100}, 0, 0, 0};
        dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &bare.dialog, nullptr,
                                             BareProc, 0);
        ASSERT_TRUE(dialog_);
    }
    void TearDown() override { DestroyWindow(dialog_); }

    // A control at x, y, cx, cy in dialog units.
    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int cx, int cy)
    {
        RECT r = {x, y, x + cx, y + cy};
        MapDialogRect(dialog_, &r);
        HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                       r.right - r.left, r.bottom - r.top, dialog_, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, SendMessageW(dialog_, WM_GETFONT, 0, 0), FALSE);
        return control;
    }

    RECT In(HWND control)
    {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND dialog_ = nullptr;
};

TEST_F(SupportFit, StaticTakesLinesBoxAndDialogGrow)
{
    HWND box = Add(L"Button", L"box", BS_GROUPBOX, 7, 7, 186, 30);
    HWND text = Add(L"Static", L"one two three four five six seven eight nine ten eleven twelve",
                    SS_LEFT, 14, 20, 100, 8);
    HWND neighbour = Add(L"Button", L"OK", BS_PUSHBUTTON, 130, 18, 50, 14);
    HWND check = Add(L"Button", L"a check box whose text runs far past the dialog's edge",
                     BS_AUTOCHECKBOX, 14, 80, 60, 10);
    HWND whole = Add(L"Static", L"ok", SS_LEFT, 14, 60, 40, 8);
    RECT boxWas = In(box), textWas = In(text), checkWas = In(check), wholeWas = In(whole);
    RECT clientWas;
    GetClientRect(dialog_, &clientWas);

    ASSERT_TRUE(QocFitDlgTexts(dialog_));

    RECT boxNow = In(box), textNow = In(text), checkNow = In(check);
    for (auto pair : {std::make_pair(boxWas, boxNow), std::make_pair(textWas, textNow),
                      std::make_pair(checkWas, checkNow)}) {
        EXPECT_EQ(pair.first.left, pair.second.left);
        EXPECT_EQ(pair.first.top, pair.second.top);
    }
    // The text widened up to its neighbour and took more lines...
    EXPECT_GT(textNow.right, textWas.right);
    EXPECT_LT(textNow.right, In(neighbour).left);
    EXPECT_GE(textNow.bottom - textNow.top, 2 * (textWas.bottom - textWas.top));
    // ...which the box around it holds again.
    EXPECT_GT(boxNow.bottom, textNow.bottom);
    // The check box widened, and the dialog with it.
    RECT client;
    GetClientRect(dialog_, &client);
    EXPECT_GT(checkNow.right, checkWas.right);
    EXPECT_GT(client.right, clientWas.right);
    EXPECT_GT(client.right, checkNow.right);
    // A text that fitted is left alone.
    RECT wholeNow = In(whole);
    EXPECT_TRUE(EqualRect(&wholeWas, &wholeNow));
}

// Labels before a field, with a control right below: no room on the right,
// no second line. Each grows left as far as its group box's inner margin
// or its left neighbour allow, its right edge kept; one that can take a
// second line does that instead.
TEST_F(SupportFit, HemmedInLabelGrowsLeftWithinItsBox)
{
    const wchar_t* text = L"Division Size";
    HWND box = Add(L"Button", L"box", BS_GROUPBOX, 7, 7, 186, 80);
    // Room up to the box: x = 7 + 2.
    HWND free = Add(L"Static", text, SS_LEFT, 15, 15, 20, 8);
    Add(L"Edit", L"", WS_BORDER, 37, 12, 40, 14);
    Add(L"Button", L"below", BS_GROUPBOX, 20, 26, 100, 10);
    // A neighbour on its left stops it first.
    HWND stop = Add(L"Static", L"x", SS_LEFT, 30, 42, 6, 8);
    HWND stopped = Add(L"Static", text, SS_LEFT, 50, 42, 20, 8);
    Add(L"Edit", L"", WS_BORDER, 72, 39, 40, 14);
    Add(L"Button", L"below", BS_GROUPBOX, 20, 52, 100, 10);
    // Nothing below: a second line, no move.
    HWND lines = Add(L"Static", text, SS_LEFT, 40, 66, 30, 8);
    Add(L"Edit", L"", WS_BORDER, 72, 64, 40, 14);
    RECT freeWas = In(free), stoppedWas = In(stopped), linesWas = In(lines), boxWas = In(box);
    RECT gap = {2, 0, 0, 0};
    MapDialogRect(dialog_, &gap);

    ASSERT_TRUE(QocFitDlgTexts(dialog_));

    RECT freeNow = In(free), stoppedNow = In(stopped), linesNow = In(lines);
    EXPECT_EQ(boxWas.left + gap.left, freeNow.left);
    EXPECT_EQ(freeWas.right, freeNow.right);
    EXPECT_EQ(freeWas.top, freeNow.top);
    EXPECT_LT(stoppedNow.left, stoppedWas.left);
    EXPECT_EQ(In(stop).right + gap.left, stoppedNow.left);
    EXPECT_EQ(stoppedWas.right, stoppedNow.right);
    EXPECT_EQ(linesWas.left, linesNow.left);
    EXPECT_GT(linesNow.bottom, linesWas.bottom);
    RECT boxNow = In(box);
    EXPECT_EQ(boxWas.left, boxNow.left);
}

}  // namespace
