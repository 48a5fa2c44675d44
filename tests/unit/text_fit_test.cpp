// Every text of the three windows shows whole, in the language and at the
// DPI of the run: each control's text, measured in the font the control
// draws with, against its client rectangle. The windows are made here by
// their own dialog procedures from Sundrel.exe's templates and manifest, as
// Sundrel.exe makes them, and compared with the bare templates: no control
// moves (a label may grow to its left), none leaves its group box, and none
// comes to cover another.
//
// SUNDREL_EXPECT_DPI (set by the 144 DPI runs) makes sure the run really
// has that DPI.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>

#include <set>
#include <string>
#include <vector>

#include "app.h"
#include "qoc.h"
#include "resource.h"
#include "settings_record.h"

namespace {

// One row per control that shows a text; a control added to a window needs
// a row here, or the test fails.
struct TextRow {
    int dialog;
    int id;
};

const TextRow kTextRows[] = {
    {IDD_SETTING, IDOK},
    {IDD_SETTING, IDCANCEL},
    {IDD_SETTING, IDC_DIV_BOX},
    {IDD_SETTING, IDC_DIVSIZE_LABEL},
    {IDD_SETTING, -1},   // "[ MB ]"
    {IDD_SETTING, IDC_DIVSIZE_MAIL},
    {IDD_SETTING, IDC_DIV_RADIO},
    {IDD_SETTING, IDC_DIV_FOLDER_A},
    {IDD_SETTING, IDC_DIV_FOLDER_B},
    {IDD_SETTING, IDC_DIV_BROWSE},
    {IDD_SETTING, IDC_DIV_OPEN},
    {IDD_SETTING, IDC_DIV_RMV},
    {IDD_SETTING, IDC_MRG_BOX},
    {IDD_SETTING, IDC_MRG_RADIO},
    {IDD_SETTING, IDC_MRG_FOLDER_A},
    {IDD_SETTING, IDC_MRG_FOLDER_B},
    {IDD_SETTING, IDC_MRG_BROWSE},
    {IDD_SETTING, IDC_MRG_OPEN},
    {IDD_SETTING, IDC_MRG_RMV},
    {IDD_SETTING, IDC_OL_BOX},
    {IDD_SETTING, IDC_OL_BROWSE},
    {IDD_SETTING, IDC_OL_DESC},
    {IDD_SETTING, IDC_OL_VER},
    {IDD_SETTING, IDC_DIVREC_LABEL},
    {IDD_SETTING, IDC_DIVREC_HINT},
    {IDD_DIVIDE, IDC_STOP},
    {IDD_DIVIDE, IDC_FILE_LABEL},
    {IDD_DIVIDE, IDC_OUTLOOK},
    {IDD_DIVIDE, IDC_TO_LABEL},
    {IDD_DIVIDE, IDC_TO_REG},
    {IDD_DIVIDE, IDC_SUBJ_LABEL},
    {IDD_DIVIDE, IDC_SUBJ_REG},
    {IDD_DIVIDE, IDC_HINT},
    {IDD_DIVIDE, IDC_FORM_QUEST},
    {IDD_DIVIDE, IDC_FORM_AMP},
    {IDD_DIVIDE, IDOK},
    {IDD_MERGE, IDC_STOP},
    {IDD_MERGE, IDC_FILE_LABEL},
    {IDD_MERGE, IDOK},
};

std::wstring BinFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::string Utf8(const std::wstring& text)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND control)
{
    wchar_t text[512] = L"";
    GetWindowTextW(control, text, 512);
    return text;
}

bool ClassIs(HWND control, const wchar_t* name)
{
    wchar_t cls[32] = L"";
    GetClassNameW(control, cls, 32);
    return lstrcmpiW(cls, name) == 0;
}

INT_PTR CALLBACK BareProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The room a text needs in its control: the extent in the control's font,
// wrapped at the control's width where the control wraps it (static texts),
// plus a check box's or radio button's mark with half a character's gap, a push
// button's frame, or a group box's caption indent.
struct Measure {
    bool text = false;
    SIZE need = {};
    SIZE have = {};
};

Measure MeasureText(HWND control)
{
    Measure m;
    std::wstring text = TextOf(control);
    wchar_t name[32] = L"";
    GetClassNameW(control, name, 32);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    bool isStatic = lstrcmpiW(name, L"Static") == 0;
    bool isButton = lstrcmpiW(name, L"Button") == 0;
    LONG type = isStatic ? style & SS_TYPEMASK : style & BS_TYPEMASK;
    if (text.empty() || !(isStatic || isButton)) return m;
    m.text = true;
    RECT client;
    GetClientRect(control, &client);
    m.have = {client.right, client.bottom};

    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    bool wraps = isStatic && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
    RECT extent = {0, 0, wraps ? client.right : 0, 0};
    DrawTextW(dc, text.c_str(), -1, &extent,
              DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);

    m.need = {extent.right, extent.bottom};
    if (!isButton) return m;
    if (type == BS_GROUPBOX) {
        m.need.cx += 2 * metrics.tmAveCharWidth + 4 * GetSystemMetrics(SM_CXEDGE);
        m.need.cy = 0;
    } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        m.need.cx += 4 * GetSystemMetrics(SM_CXEDGE);
        m.need.cy += 2 * GetSystemMetrics(SM_CYEDGE);
    } else {
        m.need.cx += GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE) +
                     metrics.tmAveCharWidth / 2;
    }
    return m;
}

RECT RectIn(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT both;
    return IntersectRect(&both, &a, &b) != 0;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool IsGroupBox(HWND control)
{
    return ClassIs(control, L"Button") && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsLeftLabel(HWND control)
{
    LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    return ClassIs(control, L"Static") && (type == SS_LEFT || type == SS_LEFTNOWORDWRAP);
}

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    return children;
}

class TextFit : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // As Sundrel.exe's manifest asks: its own DPI, and the common
        // controls of version 6.
        SetProcessDPIAware();
        QocDgcSetup();
        QocSetRegTopKey(HKEY_CURRENT_USER);
        exe_ = BinFolder() + L"\\Sundrel.exe";
        ACTCTXW context = {};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.lpSource = exe_.c_str();
        context.lpResourceName = MAKEINTRESOURCEW(1);
        actCtx_ = CreateActCtxW(&context);
        if (actCtx_ != INVALID_HANDLE_VALUE) ActivateActCtx(actCtx_, &cookie_);
    }

    static void TearDownTestSuite()
    {
        if (actCtx_ != INVALID_HANDLE_VALUE) {
            DeactivateActCtx(0, cookie_);
            ReleaseActCtx(actCtx_);
        }
    }

    void SetUp() override
    {
        ASSERT_NE(INVALID_HANDLE_VALUE, actCtx_) << "Sundrel.exe's manifest";
        resources_ = LoadLibraryExW(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(resources_) << "Sundrel.exe lies beside the tests";
        g_Set = SETTINGS_RECORD();
        g_Set.DivSize = kDefaultDivSize;
        g_Set.fDivDir = 1;
        g_Set.fMrgDir = 1;
        wcscpy_s(g_Set.OutlookDir, L"C:\\Program Files\\Microsoft Office\\root\\Office16");
        wcscpy_s(g_Set.OutlookDesc, L"Microsoft Outlook");
        wcscpy_s(g_Set.OutlookVer, L"16.0.4266.1001");
    }

    void TearDown() override
    {
        for (HWND dialog : made_)
            if (IsWindow(dialog)) DestroyWindow(dialog);
        // Their WM_DESTROY posted the quit message of a run; this is no run.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {}
        if (resources_) FreeLibrary(resources_);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"SOFTWARE\\QorCstXX\\Sundrel");
    }

    HWND Make(int id, DLGPROC proc)
    {
        HWND dialog = CreateDialogParamW(resources_, MAKEINTRESOURCEW(id), nullptr, proc, 0);
        if (dialog) made_.push_back(dialog);
        return dialog;
    }

    // Measures every row of one window; the window as its procedure made it
    // against the bare template.
    void CheckWindow(int id, DLGPROC proc)
    {
        HWND bare = Make(id, BareProc);
        HWND dialog = Make(id, proc);
        ASSERT_TRUE(bare && dialog) << "template " << id;
        HDC screen = GetDC(nullptr);
        int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        const char* expected = getenv("SUNDREL_EXPECT_DPI");
        if (expected) {
            ASSERT_EQ(atoi(expected), dpi) << "the run's DPI";
        }
        std::string where = "window " + std::to_string(id) + " at " + std::to_string(dpi) +
                            " DPI, " + (QocGetLangId() == 1041 ? "Japanese" : "English");

        std::set<HWND> listed;
        for (const TextRow& row : kTextRows) {
            if (row.dialog != id) continue;
            HWND control = GetDlgItem(dialog, row.id);
            ASSERT_TRUE(control) << where << ": no control " << row.id;
            listed.insert(control);
            Measure m = MeasureText(control);
            EXPECT_TRUE(m.need.cx <= m.have.cx && m.need.cy <= m.have.cy)
                << where << ": control " << row.id << " \"" << Utf8(TextOf(control))
                << "\" needs " << m.need.cx << " x " << m.need.cy << " pixels, has "
                << m.have.cx << " x " << m.have.cy;
        }

        // Controls are paired by identifier: the windows change the order of some.
        std::vector<HWND> made = Children(dialog);
        ASSERT_EQ(Children(bare).size(), made.size()) << where;
        auto templateOf = [&](HWND control) { return GetDlgItem(bare, GetDlgCtrlID(control)); };
        RECT client;
        GetClientRect(dialog, &client);
        for (size_t i = 0; i < made.size(); ++i) {
            int ctrl = GetDlgCtrlID(made[i]);
            if (MeasureText(made[i]).text) {
                EXPECT_TRUE(listed.count(made[i])) << where << ": control " << ctrl << " shows \""
                                                   << Utf8(TextOf(made[i])) << "\" but has no row";
            }
            RECT now = RectIn(dialog, made[i]), was = RectIn(bare, templateOf(made[i]));
            // Only a left-aligned label may take room on its left; its right
            // edge, before its field, stays.
            bool grewLeft = now.left < was.left && now.right == was.right && IsLeftLabel(made[i]);
            EXPECT_TRUE((now.left == was.left || grewLeft) && now.top == was.top)
                << where << ": control " << ctrl << " moved";
            for (HWND box : made) {
                RECT boxWas = RectIn(bare, templateOf(box));
                if (box != made[i] && IsGroupBox(box) && Inside(was, boxWas)) {
                    EXPECT_TRUE(Inside(now, RectIn(dialog, box)))
                        << where << ": control " << ctrl << " left group box " << GetDlgCtrlID(box);
                }
            }
            RECT inside;
            if (IntersectRect(&inside, &was, &client) && EqualRect(&inside, &was)) {
                EXPECT_TRUE(IntersectRect(&inside, &now, &client) && EqualRect(&inside, &now))
                    << where << ": control " << ctrl << " reaches out of the window";
            }
            for (size_t j = 0; j < i; ++j) {
                EXPECT_FALSE(Overlap(now, RectIn(dialog, made[j])) &&
                             !Overlap(was, RectIn(bare, templateOf(made[j]))))
                    << where << ": control " << ctrl << " came to cover " << GetDlgCtrlID(made[j]);
            }
        }
    }

    static std::wstring exe_;
    static HANDLE actCtx_;
    static ULONG_PTR cookie_;
    HMODULE resources_ = nullptr;
    std::vector<HWND> made_;
};

std::wstring TextFit::exe_;
HANDLE TextFit::actCtx_ = INVALID_HANDLE_VALUE;
ULONG_PTR TextFit::cookie_ = 0;

TEST_F(TextFit, SettingsWindow)
{
    CheckWindow(IDD_SETTING, SettingDlgProc);
}

TEST_F(TextFit, DivideWindow)
{
    wcscpy_s(g_szCmdFile, L"C:\\data\\report.pdf");
    CheckWindow(IDD_DIVIDE, DivideDlgProc);
}

TEST_F(TextFit, MergeWindow)
{
    wcscpy_s(g_szCmdFile, L"C:\\data\\report.pdf(02_of_03).divide");
    CheckWindow(IDD_MERGE, MergeDlgProc);
}

}  // namespace
