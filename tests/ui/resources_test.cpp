// Reads the resources back from the built programs and compares the dialog
// templates, the icon, the version texts and the manifests with what the
// windows and the setup tools rely on.
#include "uitest.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "piece_sizes.h"

namespace {

const LONG kShown = WS_CHILD | WS_VISIBLE;
const LONG kHidden = WS_CHILD;
const LONG kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT |
                          DS_FIXEDSYS;

struct ControlRow {
    int id;
    const wchar_t* className;
    LONG style;
    short x, y, cx, cy;
    const wchar_t* text;
};

struct DialogRow {
    int id;
    short cx, cy;
    const wchar_t* caption;   // null: replaced at initialisation, not checked
    const ControlRow* controls;
    size_t count;
};

const LONG kFolderEdit = kShown | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
const LONG kFileEdit = kShown | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
const LONG kHistoryCombo = kShown | CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL |
                           WS_TABSTOP;

// The piece size box's setup text: the range it accepts.
const std::wstring kDivSizeSetup = L"I: L=" + std::to_wstring(sundrel::kMinPieceMiB) + L", R=" +
                                   std::to_wstring(sundrel::kWindowMaxPieceMiB);

const ControlRow kSettingControls[] = {
    {1, L"Button", kShown | BS_DEFPUSHBUTTON | WS_TABSTOP, 217, 249, 50, 14, L"OK"},
    {2, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 272, 249, 50, 14, L"キャンセル"},
    {1028, L"Edit", kFolderEdit, 88, 58, 211, 12, L""},
    {1022, L"Button", kShown | BS_GROUPBOX, 7, 7, 315, 99, L"ファイル分割設定"},
    {1023, L"Static", kShown | SS_LEFT | WS_GROUP, 15, 21, 36, 8, L"分割サイズ"},
    {1005, L"QocCtrlInpVal", kShown | WS_TABSTOP, 55, 18, 40, 14, kDivSizeSetup.c_str()},
    {-1, L"Static", kShown | SS_LEFT | WS_GROUP, 97, 21, 22, 8, L"[ MB ]"},
    {1006, L"Static", kShown | SS_LEFT | WS_GROUP, 123, 21, 190, 8, L""},
    {1025, L"Button", kShown | BS_GROUPBOX | WS_GROUP, 13, 35, 304, 40, L"分割ファイルの格納場所"},
    {1026, L"Button", kShown | BS_AUTORADIOBUTTON, 19, 48, 279, 8, L"元のファイルと同じ場所"},
    {1027, L"Button", kShown | BS_AUTORADIOBUTTON, 19, 60, 66, 10, L"指定した場所"},
    {1029, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 300, 59, 13, 11, L"..."},
    {1030, L"Button", kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 19, 78, 282, 8,
     L"ファイルの分割が終了したら、分割ファイルの場所を開く"},
    {1014, L"Button", kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 19, 90, 176, 10,
     L"既に、同名の分割ファイルがある場合は削除する"},
    {1018, L"Edit", kFolderEdit, 88, 146, 211, 12, L""},
    {1021, L"Button", kShown | BS_GROUPBOX, 7, 110, 315, 86, L"ファイル統合設定"},
    {1024, L"Button", kShown | BS_GROUPBOX | WS_GROUP, 13, 123, 304, 40, L"統合ファイルの格納場所"},
    {1016, L"Button", kShown | BS_AUTORADIOBUTTON, 19, 136, 279, 8, L"分割ファイルと同じ場所"},
    {1017, L"Button", kShown | BS_AUTORADIOBUTTON, 19, 148, 66, 10, L"指定した場所"},
    {1019, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 300, 147, 13, 11, L"..."},
    {1020, L"Button", kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 19, 167, 282, 10,
     L"ファイルの統合が終了したら、統合ファイルの場所を開く"},
    {1015, L"Button", kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 19, 179, 282, 10,
     L"ファイルの統合が終了したら、分割ファイルを削除する"},
    {1040, L"Edit", kFileEdit, 17, 212, 283, 12, L""},
    {1041, L"Button", kShown | BS_GROUPBOX, 7, 202, 315, 42, L"Outlook.exe の場所"},
    {1031, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 302, 212, 13, 11, L"..."},
    {1042, L"Static", kShown | SS_RIGHT | WS_GROUP, 19, 229, 108, 8, L"スタティック"},
    {1043, L"Static", kShown | SS_LEFT | WS_GROUP, 134, 229, 108, 8, L"スタティック"},
    {1007, L"Static", kShown | SS_LEFT | WS_GROUP, 15, 272, 70, 8, L"修復用ファイル数"},
    {1008, L"QocCtrlInpVal", kShown | WS_TABSTOP, 88, 269, 30, 14, L"I: L=0, R=99"},
    {1009, L"Static", kShown | SS_LEFT | WS_GROUP, 122, 272, 200, 8,
     L"1 個ごとに、失われたか壊れた分割ファイル 1 個を復元"},
};

const ControlRow kDivideControls[] = {
    {1015, L"Button", kShown | BS_PUSHBUTTON | WS_DISABLED | WS_TABSTOP, 290, 24, 39, 14, L"中止"},
    {1031, L"Static", kShown | SS_RIGHT | WS_GROUP, 7, 9, 67, 8, L"分割するファイル"},
    {1011, L"Edit", kFileEdit, 81, 7, 250, 14, L""},
    {1013, L"msctls_progress32", kHidden | WS_BORDER, 82, 27, 73, 11, L""},
    {1033, L"Button", kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 17, 48, 290, 8,
     L"分割ファイルを添付して outlook を開く"},
    {1034, L"Static", kShown | SS_RIGHT | WS_GROUP, 8, 64, 27, 8, L"宛 先"},
    {1036, L"ComboBox", kHistoryCombo, 37, 63, 264, 90, L""},
    {1044, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 302, 63, 25, 13, L"登録"},
    {1035, L"Static", kShown | SS_RIGHT | WS_GROUP, 7, 82, 26, 8, L"件名"},
    {1037, L"ComboBox", kHistoryCombo, 37, 79, 264, 86, L""},
    {1045, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 302, 79, 25, 13, L"登録"},
    {1038, L"Static", kShown | SS_LEFT | WS_GROUP, 39, 97, 229, 8,
     L"件名中の「 &&N&&」 は 分割数「 m / n 」 に変換します"},
    {1047, L"Button", kShown | BS_AUTORADIOBUTTON, 284, 96, 17, 9, L"?"},
    {1046, L"Button", kShown | BS_AUTORADIOBUTTON, 306, 96, 18, 9, L"&＆"},
    {1041, L"Button", kHidden | BS_GROUPBOX, 7, 54, 324, 53, L""},
    {1, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 176, 25, 113, 15, L"ファイルの分割を開始する"},
};

const ControlRow kMergeControls[] = {
    {1015, L"Button", kShown | BS_PUSHBUTTON | WS_DISABLED | WS_TABSTOP, 291, 24, 39, 16, L"中止"},
    {1011, L"Edit", kFileEdit, 68, 7, 262, 14, L""},
    {1013, L"msctls_progress32", kHidden | WS_BORDER, 80, 27, 69, 11, L""},
    {1031, L"Static", kShown | SS_RIGHT | WS_GROUP, 7, 9, 55, 8, L"分割済みファイル"},
    {1, L"Button", kShown | BS_PUSHBUTTON | WS_TABSTOP, 156, 25, 132, 15,
     L"分割ファイル群の統合を開始する"},
};

const DialogRow kSettingDialog = {101, 329, 290, L"ファイル分割／統合の設定", kSettingControls,
                                  ARRAYSIZE(kSettingControls)};
const DialogRow kDivideDialog = {104, 338, 115, nullptr, kDivideControls, ARRAYSIZE(kDivideControls)};
const DialogRow kMergeDialog = {105, 337, 47, nullptr, kMergeControls, ARRAYSIZE(kMergeControls)};

// What a dialog template says, read field by field.
struct ParsedControl {
    int id;
    std::wstring className;
    LONG style;
    short x, y, cx, cy;
    std::wstring text;
};

struct ParsedDialog {
    LONG style;
    short cx, cy;
    std::wstring caption;
    WORD pointSize;
    std::wstring font;
    std::vector<ParsedControl> controls;
};

// Walks a template without reading past its end.
struct Reader {
    const BYTE* data;
    size_t size;
    size_t pos;
    bool ok;
};

template <typename T>
T Take(Reader& r)
{
    T value{};
    if (r.pos + sizeof(T) > r.size) {
        r.ok = false;
        return value;
    }
    memcpy(&value, r.data + r.pos, sizeof(T));
    r.pos += sizeof(T);
    return value;
}

std::wstring TakeString(Reader& r)
{
    std::wstring text;
    for (wchar_t c; r.ok && (c = Take<wchar_t>(r)) != 0;) text.push_back(c);
    return text;
}

// A name or an ordinal; predefined control classes come as atoms.
std::wstring TakeNameOrOrdinal(Reader& r)
{
    WORD first = Take<WORD>(r);
    if (first == 0) return L"";
    if (first == 0xFFFF) {
        static const wchar_t* const kAtoms[] = {L"Button", L"Edit", L"Static",
                                                L"ListBox", L"ScrollBar", L"ComboBox"};
        WORD ordinal = Take<WORD>(r);
        if (ordinal >= 0x80 && ordinal <= 0x85) return kAtoms[ordinal - 0x80];
        return L"#" + std::to_wstring(ordinal);
    }
    r.pos -= sizeof(WORD);
    return TakeString(r);
}

void AlignDword(Reader& r) { r.pos = (r.pos + 3) & ~static_cast<size_t>(3); }

bool ParseDialogEx(const void* data, size_t size, ParsedDialog* dialog)
{
    Reader r = {static_cast<const BYTE*>(data), size, 0, true};
    if (Take<WORD>(r) != 1 || Take<WORD>(r) != 0xFFFF) return false;
    Take<DWORD>(r);   // help id
    Take<DWORD>(r);   // extended style
    dialog->style = static_cast<LONG>(Take<DWORD>(r));
    WORD count = Take<WORD>(r);
    Take<short>(r);
    Take<short>(r);
    dialog->cx = Take<short>(r);
    dialog->cy = Take<short>(r);
    TakeNameOrOrdinal(r);   // menu
    TakeNameOrOrdinal(r);   // class
    dialog->caption = TakeString(r);
    dialog->pointSize = 0;
    if (dialog->style & DS_SETFONT) {
        dialog->pointSize = Take<WORD>(r);
        Take<WORD>(r);   // weight
        Take<BYTE>(r);   // italic
        Take<BYTE>(r);   // character set
        dialog->font = TakeString(r);
    }
    for (WORD i = 0; i < count && r.ok; ++i) {
        AlignDword(r);
        ParsedControl control;
        Take<DWORD>(r);   // help id
        Take<DWORD>(r);   // extended style
        control.style = static_cast<LONG>(Take<DWORD>(r));
        control.x = Take<short>(r);
        control.y = Take<short>(r);
        control.cx = Take<short>(r);
        control.cy = Take<short>(r);
        control.id = static_cast<int>(Take<DWORD>(r));
        control.className = TakeNameOrOrdinal(r);
        control.text = TakeNameOrOrdinal(r);
        r.pos += Take<WORD>(r);   // creation data
        dialog->controls.push_back(control);
    }
    return r.ok && r.pos <= size;
}

HMODULE LoadAsData(const std::wstring& path)
{
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    EXPECT_NE(nullptr, module) << "cannot load " << UiToUtf8(path);
    return module;
}

// The bytes of a resource, or empty when it is missing.
std::string ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language)
{
    HRSRC found = language ? FindResourceExW(module, type, name, language)
                           : FindResourceW(module, name, type);
    if (!found) return "";
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found)) : "";
}

std::wstring VersionText(const std::string& block, const wchar_t* name)
{
    std::string copy = block;   // VerQueryValueW may write into the block
    struct Translation {
        WORD language;
        WORD codePage;
    }* translation = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(&copy[0], L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &len) ||
        len < sizeof *translation)
        return L"";
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
             translation->codePage, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(&copy[0], query, reinterpret_cast<void**>(&value), &len) || !value)
        return L"";
    return value;
}

std::string StyleHex(LONG style)
{
    char text[16];
    snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(style));
    return text;
}

void CheckDialog(const DialogRow& expected)
{
    HMODULE module = LoadAsData(UiSundrelExe());
    ASSERT_NE(nullptr, module);
    std::string bytes = ResourceBytes(module, RT_DIALOG, MAKEINTRESOURCEW(expected.id),
                                      MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    FreeLibrary(module);
    ASSERT_FALSE(bytes.empty()) << "no Japanese dialog " << expected.id;

    ParsedDialog dialog;
    ASSERT_TRUE(ParseDialogEx(bytes.data(), bytes.size(), &dialog))
        << "dialog " << expected.id << " is not a well-formed extended template";
    EXPECT_EQ(StyleHex(kDialogStyle), StyleHex(dialog.style));
    EXPECT_EQ(expected.cx, dialog.cx);
    EXPECT_EQ(expected.cy, dialog.cy);
    if (expected.caption) {
        EXPECT_EQ(UiToUtf8(expected.caption), UiToUtf8(dialog.caption));
    }
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ("MS Shell Dlg", UiToUtf8(dialog.font));

    ASSERT_EQ(expected.count, dialog.controls.size());
    for (size_t i = 0; i < expected.count; ++i) {
        const ControlRow& want = expected.controls[i];
        const ParsedControl& got = dialog.controls[i];
        SCOPED_TRACE("dialog " + std::to_string(expected.id) + ", control " +
                     std::to_string(i) + " (id " + std::to_string(want.id) + ")");
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(0, _wcsicmp(want.className, got.className.c_str()))
            << "class " << UiToUtf8(got.className);
        EXPECT_EQ(StyleHex(want.style), StyleHex(got.style));
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(UiToUtf8(want.text), UiToUtf8(got.text));
    }
}

TEST(DialogTemplate, Settings101) { CheckDialog(kSettingDialog); }
TEST(DialogTemplate, Divide104) { CheckDialog(kDivideDialog); }
TEST(DialogTemplate, Merge105) { CheckDialog(kMergeDialog); }

TEST(Resources, IconHasThreeSizes)
{
    HMODULE module = LoadAsData(UiSundrelExe());
    ASSERT_NE(nullptr, module);
    std::string group = ResourceBytes(module, RT_GROUP_ICON, MAKEINTRESOURCEW(102), 0);
    ASSERT_GE(group.size(), 6u) << "no icon group 102";

    // GRPICONDIR: three words, then 14-byte entries.
    WORD count = 0;
    memcpy(&count, group.data() + 4, sizeof count);
    ASSERT_GE(group.size(), 6u + 14u * count);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const char* entry = group.data() + 6 + 14 * i;
        int width = static_cast<BYTE>(entry[0]);
        int height = static_cast<BYTE>(entry[1]);
        EXPECT_EQ(width, height);
        sizes.push_back(width);
        WORD iconId = 0;
        memcpy(&iconId, entry + 12, sizeof iconId);
        EXPECT_FALSE(ResourceBytes(module, RT_ICON, MAKEINTRESOURCEW(iconId), 0).empty())
            << "image " << iconId << " of the group is missing";
    }
    FreeLibrary(module);
    for (int size : {16, 32, 48})
        EXPECT_NE(sizes.end(), std::find(sizes.begin(), sizes.end(), size)) << size << " px";
}

TEST(Resources, VersionIsTheSameInAllPrograms)
{
    std::wstring firstVersion;
    for (const std::wstring& path :
         {UiSundrelExe(), UiInstallerExe(), UiUninstallerExe(), UiCliExe()}) {
        SCOPED_TRACE(UiToUtf8(path));
        HMODULE module = LoadAsData(path);
        ASSERT_NE(nullptr, module);
        std::string block = ResourceBytes(module, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), 0);
        FreeLibrary(module);
        ASSERT_FALSE(block.empty()) << "no version resource";

        EXPECT_EQ("Sundrel", UiToUtf8(VersionText(block, L"ProductName")));
        EXPECT_EQ("Velmora", UiToUtf8(VersionText(block, L"CompanyName")));
        std::wstring version = VersionText(block, L"FileVersion");
        EXPECT_FALSE(version.empty());
        if (firstVersion.empty()) firstVersion = version;
        EXPECT_EQ(UiToUtf8(firstVersion), UiToUtf8(version));

        // The numbers Windows shows in the file's properties say the same.
        std::string copy = block;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueW(&copy[0], L"\\", reinterpret_cast<void**>(&fixed), &len));
        wchar_t numbers[64];
        swprintf(numbers, 64, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                 LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(0u, version.rfind(numbers, 0))
            << UiToUtf8(version) << " vs " << UiToUtf8(numbers);
    }
}

std::string Manifest(const std::wstring& path)
{
    HMODULE module = LoadAsData(path);
    if (!module) return "";
    std::string text = ResourceBytes(module, RT_MANIFEST, MAKEINTRESOURCEW(1), 0);
    FreeLibrary(module);
    return text;
}

TEST(Resources, ManifestsRequestTheRightLevel)
{
    std::string main = Manifest(UiSundrelExe());
    ASSERT_FALSE(main.empty()) << "Sundrel.exe has no manifest 1";
    EXPECT_NE(std::string::npos, main.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, main.find("name=\"Microsoft.Windows.Common-Controls\""));
    EXPECT_NE(std::string::npos, main.find("version=\"6.0.0.0\""));
    EXPECT_NE(std::string::npos, main.find(">true</dpiAware>"));

    for (const std::wstring& path : {UiInstallerExe(), UiUninstallerExe()}) {
        std::string setup = Manifest(path);
        EXPECT_NE(std::string::npos, setup.find("level=\"requireAdministrator\""))
            << UiToUtf8(path) << ": " << setup;
    }

    std::string cli = Manifest(UiCliExe());
    ASSERT_FALSE(cli.empty()) << "SundrelCli.exe has no manifest 1";
    EXPECT_NE(std::string::npos, cli.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, cli.find(">true</longPathAware>"));
}

// The subsystem field of a program's PE header; 0 when it cannot be read.
WORD Subsystem(const std::wstring& path)
{
    std::string bytes;
    if (!UiReadFile(path, &bytes) || bytes.size() < sizeof(IMAGE_DOS_HEADER)) return 0;
    IMAGE_DOS_HEADER dos;
    memcpy(&dos, bytes.data(), sizeof dos);
    IMAGE_NT_HEADERS64 nt;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
        bytes.size() < size_t(dos.e_lfanew) + sizeof nt)
        return 0;
    memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
    return nt.Signature == IMAGE_NT_SIGNATURE ? nt.OptionalHeader.Subsystem : 0;
}

// The companion stays a console program, and the system accepts its
// manifest: it starts and answers.
TEST(Resources, CliIsAConsoleProgramThatStarts)
{
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_CUI, Subsystem(UiCliExe()));
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, Subsystem(UiSundrelExe()));
    UiProc proc;
    ASSERT_TRUE(UiStart(proc, UiCliExe(), L"--version"));
    DWORD code = 1;
    ASSERT_TRUE(UiWaitExit(proc, &code));
    EXPECT_EQ(0u, code);
}

} // namespace
