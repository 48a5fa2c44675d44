#include "divide_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

DivideFolders PrepareDivision(const wchar_t* prefix)
{
    DivideFolders folders;
    folders.dir = UiMakeTempDir(prefix);
    folders.out = UiJoin(folders.dir, L"out");
    EXPECT_TRUE(CreateDirectoryW(folders.out.c_str(), nullptr));
    UiRegResetUser();
    UiRegResetMachine();
    UiRegSetDword(L"DivSize", 1);
    UiRegSetDword(L"fDivDir", 1);
    UiRegSetString(L"DivDir", folders.out);
    UiRegSetDword(L"fDivRmv", 1);
    UiRegSetDword(L"fDivOpen", 0);
    return folders;
}

std::wstring Lang(const wchar_t* en, const wchar_t* ja)
{
    return UiIsJapanese() ? ja : en;
}

std::wstring OpCaption()
{
    return Lang(L"Sundrel", L"ファイル分割");
}

HWND StartDivide(UiProc& proc, const std::wstring& file)
{
    if (!UiStart(proc, UiSundrelExe(), UiQuote(file)))
        return nullptr;
    return UiFindDialog(proc, Lang(L"File to Divide", L"ファイルの分割").c_str());
}

void ExpectQuietExit(UiProc& proc)
{
    UiMsgBox box;
    UiWaitFor([&] { return !UiIsRunning(proc) || UiFindMsgBoxNow(proc, &box); }, 60000);
    if (box.window) {
        ADD_FAILURE() << "unexpected message box: " << UiToUtf8(box.caption) << ": "
                      << UiToUtf8(box.text);
        UiAnswerMsgBox(box, IDOK);
    }
    DWORD code = 1;
    ASSERT_TRUE(UiWaitExit(proc, &code));
    EXPECT_EQ(0u, code);
}

void DivideQuietly(const std::wstring& file)
{
    UiProc proc;
    HWND window = StartDivide(proc, file);
    ASSERT_TRUE(window);
    UiClick(window, IDOK);
    ExpectQuietExit(proc);
}

uint32_t UnixSecondsNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return uint32_t((ticks - 116444736000000000ull) / 10000000ull);
}

uint16_t TestFcs(const unsigned char* data, size_t len)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < len; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0x8408) : uint16_t(crc >> 1);
    }
    return crc ^ 0xFFFF;
}

static std::wstring PieceName(const std::wstring& fileName, unsigned number, unsigned count)
{
    wchar_t marker[32];
    swprintf(marker, 32, L"(%02u_of_%02u).divide", number, count);
    return fileName + marker;
}

void ExpectPieces(const std::wstring& folder, const std::wstring& fileName,
                  const std::string& source, uint64_t pieceSize, uint32_t idLow, uint32_t idHigh)
{
    const uint64_t size = source.size();
    const unsigned count = size == 0 ? 1 : unsigned((size + pieceSize - 1) / pieceSize);
    std::vector<std::wstring> expected;
    for (unsigned n = 1; n <= count; ++n)
        expected.push_back(PieceName(fileName, n, count));
    // Only the file name followed by "(NN_of_MM).divide" is a piece of it.
    const size_t pieceNameLen = PieceName(fileName, 1, 1).size();
    std::vector<std::wstring> found;
    for (const std::wstring& name : UiListFiles(folder, (fileName + L"(*.divide").c_str()))
        if (name.size() == pieceNameLen && name.compare(fileName.size() + 3, 4, L"_of_") == 0)
            found.push_back(name);
    ASSERT_EQ(expected.size(), found.size()) << UiToUtf8(fileName);
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(0, _wcsicmp(expected[i].c_str(), found[i].c_str())) << UiToUtf8(found[i]);

    uint32_t firstId = 0;
    uint64_t offset = 0;   // of the source
    for (unsigned n = 1; n <= count; ++n) {
        std::string piece;
        ASSERT_TRUE(UiReadFile(UiJoin(folder, expected[n - 1]), &piece));
        if (size == 0) {
            EXPECT_EQ(0u, piece.size()) << "an empty source gives an empty piece";
            return;
        }
        ASSERT_GE(piece.size(), 4u);
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(piece.data());
        uint32_t id = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
        if (n == 1) {
            firstId = id;
            EXPECT_GE(id, idLow);
            EXPECT_LE(id, idHigh);
        }
        EXPECT_EQ(firstId, id) << "piece " << n;
        uint64_t dataInPiece = std::min<uint64_t>(pieceSize, size - offset);
        size_t pos = 4;
        for (uint64_t left = dataInPiece; left > 0;) {
            size_t block = size_t(std::min<uint64_t>(4096, left));
            ASSERT_LE(pos + block + 2, piece.size()) << "piece " << n << " ends inside a block";
            uint16_t fcs = uint16_t(bytes[pos + block] | bytes[pos + block + 1] << 8);
            ASSERT_EQ(TestFcs(bytes + pos, block), fcs) << "piece " << n << " at " << pos;
            ASSERT_EQ(0, memcmp(bytes + pos, source.data() + offset, block))
                << "piece " << n << " at " << pos;
            pos += block + 2;
            offset += block;
            left -= block;
        }
        EXPECT_EQ(pos, piece.size()) << "piece " << n << " has bytes after its last block";
    }
    EXPECT_EQ(size, offset);
}
