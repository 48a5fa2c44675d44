// A division onto a full disk: a 1 MiB tmpfs, reached through Wine's Z:
// drive, mounted by a Unix command that Wine starts for the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "divide_support.h"
#include "resource.h"

namespace {

const uint64_t kMiB = 1 << 20;

// Runs a Unix command line (the first word a Unix program) and waits a
// little for its effect: Wine starts Unix programs but gives no exit code.
void RunUnix(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

uint64_t TotalBytes(const std::wstring& folder)
{
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExW((folder + L"\\").c_str(), &available, &total, &free))
        return 0;
    return total.QuadPart;
}

class DivideFullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders = PrepareDivision(L"sundrel-full");
        unixMount = L"/tmp/sundrel-full-" + std::to_wstring(GetCurrentProcessId());
        mount = L"Z:" + unixMount;
        for (wchar_t& c : mount)
            if (c == L'/')
                c = L'\\';
        CreateDirectoryW(mount.c_str(), nullptr);
        RunUnix(L"Z:\\bin\\mount -t tmpfs -o size=1m tmpfs " + unixMount);
        mounted = UiWaitFor([&] { uint64_t total = TotalBytes(mount); return total && total <= 2 * kMiB; },
                            5000);
    }
    void TearDown() override
    {
        if (mounted) {
            UiRemoveTree(mount);
            RunUnix(L"Z:\\bin\\umount -l " + unixMount);
            UiWaitFor([&] { return TotalBytes(mount) > 2 * kMiB; }, 5000);
        }
        RemoveDirectoryW(mount.c_str());
        UiRemoveTree(folders.dir);
    }

    DivideFolders folders;
    std::wstring unixMount, mount;
    bool mounted = false;
};

// The disk fills up on the pieces, or on the recovery piece after pieces
// that fitted: either way the error, then nothing left.
TEST_F(DivideFullDisk, WriteErrorAndNothingLeft)
{
    if (!mounted)
        GTEST_SKIP() << "no 1 MiB tmpfs could be mounted at " << UiToUtf8(unixMount)
                     << " (mounting needs root and a system that allows it)";
    UiRegSetString(L"DivDir", mount);
    const std::wstring data = Lang(L"An error occurred while writing the divide file",
                                   L"分割ファイルの書き込みでエラーが発生しました");
    const std::wstring fcs = Lang(L"An error occurred while writing the CRC of the divide file.",
                                  L"分割ファイルのＣＲＣ書き込みでエラーが発生しました");
    const std::wstring recovery =
        Lang(L"An error occurred while writing the recovery file\n(",
             L"修復用ファイルの書き込みでエラーが発生しました\n(") +
        UiJoin(mount, L"full.bin(00_of_01).recovery-01-of-01.divide") + L")";
    const struct {
        uint64_t size;
        DWORD recoveryPieces;
        std::vector<std::wstring> texts;   // the disk may fill up on a block's data or its FCS
    } rows[] = {
        {2 * kMiB, 0, {data, fcs}},
        {600 * 1024, 1, {recovery}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.recoveryPieces) + " recovery pieces");
        UiRegSetDword(L"DivRec", row.recoveryPieces);
        std::wstring source = UiJoin(folders.dir, L"full.bin");
        ASSERT_TRUE(UiWriteFile(source, row.size));
        UiProc proc;
        HWND window = StartDivide(proc, source);
        ASSERT_TRUE(window);
        UiClick(window, IDOK);
        UiMsgBox box;
        ASSERT_TRUE(UiWaitMsgBox(proc, &box, window, 60000));
        EXPECT_EQ(OpCaption(), box.caption);
        EXPECT_NE(row.texts.end(), std::find(row.texts.begin(), row.texts.end(), box.text))
            << UiToUtf8(box.text);
        UiAnswerMsgBox(box, IDOK);
        ExpectQuietExit(proc);
        EXPECT_TRUE(UiListFiles(mount).empty());
    }
}

}  // namespace
