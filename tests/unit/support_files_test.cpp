#include <gtest/gtest.h>

#include <wchar.h>

#include "qoc.h"

namespace {

TEST(SupportFiles, PathCatJoinsWithOneBackslash)
{
    wchar_t path[MAX_PATH] = L"C:\\data";
    EXPECT_TRUE(QocPathCatW(path, L"a.txt", MAX_PATH));
    EXPECT_STREQ(path, L"C:\\data\\a.txt");

    wcscpy(path, L"C:\\data\\");
    EXPECT_TRUE(QocPathCatW(path, L"\\a.txt", MAX_PATH));
    EXPECT_STREQ(path, L"C:\\data\\a.txt");

    wcscpy(path, L"C:\\data");
    EXPECT_TRUE(QocPathCatW(path, L"", MAX_PATH));
    EXPECT_STREQ(path, L"C:\\data\\");
    EXPECT_TRUE(QocPathCatW(path, L"", MAX_PATH));
    EXPECT_STREQ(path, L"C:\\data\\");
}

TEST(SupportFiles, PathCatLeavesPathWhenTooLong)
{
    wchar_t path[12] = L"C:\\data";
    EXPECT_TRUE(QocPathCatW(path, L"abc", 12));      // 11 characters
    EXPECT_STREQ(path, L"C:\\data\\abc");
    wchar_t other[12] = L"C:\\data";
    EXPECT_FALSE(QocPathCatW(other, L"abcd", 12));
    EXPECT_STREQ(other, L"C:\\data");
}

TEST(SupportFiles, CreationAttributesTakeOnlyWhatANewFileCanHave)
{
    const struct {
        DWORD source;
        DWORD created;
    } cases[] = {
        // Unreadable: never INVALID_FILE_ATTRIBUTES, whose bits would ask for
        // delete-on-close and more.
        {INVALID_FILE_ATTRIBUTES, FILE_ATTRIBUTE_NORMAL},
        {0, FILE_ATTRIBUTE_NORMAL},
        {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_NORMAL},
        {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
        {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED},
        // Everything else stays behind.
        {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_SPARSE_FILE |
             FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_ENCRYPTED | FILE_ATTRIBUTE_TEMPORARY,
         FILE_ATTRIBUTE_READONLY},
        {FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_OFFLINE, FILE_ATTRIBUTE_NORMAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QocCreationAttributes(c.source), c.created) << std::hex << c.source;
}

class SupportFilesOnDisk : public ::testing::Test {
protected:
    wchar_t folder[MAX_PATH];
    wchar_t file[MAX_PATH];
    void SetUp() override
    {
        ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
        ASSERT_TRUE(QocPathCatW(folder, L"qoc_files_test", MAX_PATH));
        CreateDirectoryW(folder, nullptr);
        wcscpy(file, folder);
        ASSERT_TRUE(QocPathCatW(file, L"five.bin", MAX_PATH));
        HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "12345", 5, &written, nullptr);
        CloseHandle(h);
    }
    void TearDown() override
    {
        DeleteFileW(file);
        RemoveDirectoryW(folder);
    }
};

TEST_F(SupportFilesOnDisk, TellsFilesFromFolders)
{
    EXPECT_TRUE(QocPathIsFileW(file));
    EXPECT_FALSE(QocPathIsDirectoryW(file));
    EXPECT_TRUE(QocPathIsDirectoryW(folder));
    EXPECT_FALSE(QocPathIsFileW(folder));
    wchar_t missing[MAX_PATH];
    wcscpy(missing, folder);
    QocPathCatW(missing, L"missing", MAX_PATH);
    EXPECT_FALSE(QocPathIsFileW(missing));
    EXPECT_FALSE(QocPathIsDirectoryW(missing));
    EXPECT_EQ(QocGetFileSizeW(missing), 0u);
}

TEST_F(SupportFilesOnDisk, FileSizeIs64Bit)
{
    EXPECT_EQ(QocGetFileSizeW(file), 5u);
    HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = 0x100000005LL;   // sparse enough on the test file systems
    ASSERT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    EXPECT_EQ(QocGetFileSizeW(file), 0x100000005ULL);
}

TEST(SupportFiles, AppPathIsTheProgramFolder)
{
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(QocGetAppPathW(folder, MAX_PATH));
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    size_t len = wcslen(folder);
    EXPECT_EQ(wcsncmp(module, folder, len), 0);
    EXPECT_EQ(module[len], L'\\');
    EXPECT_EQ(wcschr(module + len + 1, L'\\'), nullptr);

    wchar_t small[4];
    EXPECT_FALSE(QocGetAppPathW(small, 4));
    EXPECT_EQ(wcslen(small), 3u);
}

TEST(SupportFiles, VersionInfoOfASystemFile)
{
    wchar_t system[MAX_PATH];
    ASSERT_NE(GetSystemDirectoryW(system, MAX_PATH), 0u);
    ASSERT_TRUE(QocPathCatW(system, L"kernel32.dll", MAX_PATH));
    wchar_t version[260];
    EXPECT_TRUE(QocGetVerInfoW(system, L"FileVersion", version, 260));
    EXPECT_GT(wcslen(version), 0u);
    wchar_t cut[3];
    EXPECT_FALSE(QocGetVerInfoW(system, L"FileVersion", cut, 3));
    EXPECT_EQ(wcsncmp(cut, version, 2), 0);
    EXPECT_EQ(cut[2], L'\0');

    EXPECT_FALSE(QocGetVerInfoW(system, L"NoSuchName", version, 260));
    EXPECT_STREQ(version, L"");
    EXPECT_FALSE(QocGetVerInfoW(L"C:\\no\\such.exe", L"FileVersion", version, 260));
    EXPECT_STREQ(version, L"");
}

TEST(SupportFiles, OwnVersionNeedsAVersionResource)
{
    // The test program carries no version resource.
    wchar_t version[128] = L"x";
    EXPECT_FALSE(QocGetVerInResW(GetModuleHandleW(nullptr), version, 128));
    EXPECT_STREQ(version, L"");
    // kernel32 does.
    EXPECT_TRUE(QocGetVerInResW(GetModuleHandleW(L"kernel32.dll"), version, 128));
    wchar_t expected[128];
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    QocPathCatW(system, L"kernel32.dll", MAX_PATH);
    ASSERT_TRUE(QocGetVerInfoW(system, L"FileVersion", expected, 128));
    EXPECT_STREQ(version, expected);
}

}  // namespace
