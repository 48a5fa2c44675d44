#include "merge_support.h"

#include <wchar.h>

#include <algorithm>

#include "divide_support.h"

std::wstring Message(const wchar_t* en, const wchar_t* ja, const std::wstring& path)
{
    std::wstring format = Lang(en, ja);
    size_t at = format.find(L"%s");
    if (at != std::wstring::npos)
        format.replace(at, 2, path);
    return format.substr(0, 127);
}

static std::string IdBytes(uint32_t id)
{
    return std::string{(char)id, (char)(id >> 8), (char)(id >> 16), (char)(id >> 24)};
}

std::string PieceBytes(const std::string& data, uint32_t id)
{
    std::string piece = IdBytes(id);
    for (size_t at = 0; at < data.size(); at += kBlock) {
        size_t len = std::min(kBlock, data.size() - at);
        uint16_t fcs = TestFcs(reinterpret_cast<const unsigned char*>(data.data()) + at, len);
        piece.append(data, at, len);
        piece += (char)(fcs & 0xFF);
        piece += (char)(fcs >> 8);
    }
    return piece;
}

std::string Source(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = (char)x;
    }
    return bytes;
}

std::wstring PieceName(const std::wstring& divided, size_t number, size_t count)
{
    wchar_t marker[32];
    swprintf(marker, 32, L"(%02u_of_%02u).divide", (unsigned)number, (unsigned)count);
    return divided + marker;
}

std::vector<std::wstring> WritePieces(const std::wstring& folder, const std::wstring& divided,
                                      const std::string& source, size_t pieceSize, uint32_t id)
{
    size_t count = source.empty() ? 1 : (source.size() + pieceSize - 1) / pieceSize;
    std::vector<std::wstring> paths(count);
    for (size_t i = count; i-- > 0;) {
        paths[i] = UiJoin(folder, PieceName(divided, i + 1, count));
        std::string data = source.substr(std::min(source.size(), i * pieceSize), pieceSize);
        EXPECT_TRUE(UiWriteBytes(paths[i], source.empty() ? std::string() : PieceBytes(data, id)));
    }
    return paths;
}

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    EXPECT_TRUE(UiReadFile(path, &bytes));
    return bytes;
}

void Rewrite(const std::wstring& path, const std::function<void(std::string&)>& change)
{
    std::string bytes = ReadAll(path);
    change(bytes);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(UiWriteBytes(path, bytes));
}

static std::wstring StampNow()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%02d%02d%02d-%02d%02d%02d", t.wYear % 100, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return stamp;
}

std::vector<std::wstring> MergedFiles(const std::wstring& folder)
{
    std::vector<std::wstring> found;
    for (const std::wstring& name : UiListFiles(folder))
        if (name.size() < 7 || _wcsicmp(name.c_str() + name.size() - 7, L".divide") != 0)
            found.push_back(name);
    return found;
}

void MergeTest::SetUp()
{
    UiRegResetUser();
    Settings(0, L"", 0, 0);
    folder = UiMakeTempDir(L"sundrel-merge");
    ASSERT_FALSE(folder.empty());
}

void MergeTest::TearDown()
{
    UiRemoveTree(folder);
    UiRegResetUser();
}

void MergeTest::Settings(DWORD fMrgDir, const std::wstring& mrgDir, DWORD fMrgOpen, DWORD fMrgRmv)
{
    UiRegSetDword(L"fMrgDir", fMrgDir);
    UiRegSetString(L"MrgDir", mrgDir);
    UiRegSetDword(L"fMrgOpen", fMrgOpen);
    UiRegSetDword(L"fMrgRmv", fMrgRmv);
    // The division's folder settings must not steer a merge.
    UiRegSetDword(L"fDivDir", 1);
    UiRegSetString(L"DivDir", L"C:\\no-such-folder");
    UiRegSetDword(L"fDivOpen", 1);
}

std::wstring MergeTest::Subfolder(const std::wstring& name)
{
    std::wstring path = UiJoin(folder, name);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

MergeOutcome MergeTest::Merge(const std::wstring& piece)
{
    MergeOutcome outcome;
    UiProc proc;
    if (!UiStart(proc, UiSundrelExe(), UiQuote(piece)))
        return outcome;
    HWND dialog = UiFindDialog(proc, Lang(L"File Merge", L"ファイルの統合").c_str());
    if (!dialog)
        return outcome;
    outcome.before = StampNow();
    UiClick(dialog, IDOK);
    UiMsgBox box;
    UiWaitFor([&] { return UiFindMsgBoxNow(proc, &box, dialog) || !UiIsRunning(proc); }, 120000);
    outcome.after = StampNow();
    if (box.window) {
        outcome.boxShown = true;
        outcome.caption = box.caption;
        outcome.text = box.text;
        UiAnswerMsgBox(box, IDOK);
    }
    UiWaitExit(proc, &outcome.exitCode);
    return outcome;
}

std::wstring MergeTest::ExpectMerged(const std::wstring& piece, const std::wstring& outFolder,
                                      const std::wstring& name, const std::wstring& ext,
                                      const std::string& source)
{
    MergeOutcome outcome = Merge(piece);
    EXPECT_FALSE(outcome.boxShown) << UiToUtf8(outcome.text);
    EXPECT_EQ(0u, outcome.exitCode);
    std::vector<std::wstring> merged = MergedFiles(outFolder);
    EXPECT_EQ(1u, merged.size());
    if (merged.size() != 1)
        return L"";
    const std::wstring& file = merged[0];
    // name(YYMMDD-HHMMSS)ext
    EXPECT_EQ(name.size() + 15 + ext.size(), file.size()) << UiToUtf8(file);
    if (file.size() == name.size() + 15 + ext.size()) {
        EXPECT_EQ(name + L"(", file.substr(0, name.size() + 1));
        EXPECT_EQ(L")" + ext, file.substr(name.size() + 14));
        std::wstring stamp = file.substr(name.size() + 1, 13);
        EXPECT_LE(outcome.before, stamp);
        EXPECT_GE(outcome.after, stamp);
    }
    std::wstring path = UiJoin(outFolder, file);
    EXPECT_TRUE(ReadAll(path) == source) << "merged file differs: " << UiToUtf8(path);
    return path;
}

void MergeTest::ExpectFailure(const std::wstring& piece, const std::wstring& text)
{
    std::wstring dir = piece.substr(0, piece.rfind(L'\\'));
    std::vector<std::wstring> before = UiListFiles(dir);
    MergeOutcome outcome = Merge(piece);
    EXPECT_TRUE(outcome.boxShown);
    EXPECT_EQ(UiToUtf8(Lang(L"File Integrate", L"ファイル統合")), UiToUtf8(outcome.caption));
    EXPECT_EQ(UiToUtf8(text), UiToUtf8(outcome.text));
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_EQ(before, UiListFiles(dir));
}
