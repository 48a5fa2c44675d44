#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "merge.h"
#include "qoc.h"

namespace {

// Pieces need only their names and their 4-byte IDs to be collected.
class MergeCollectTest : public ::testing::Test {
protected:
    std::wstring folder;
    HQOCAVS set = nullptr;

    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder = std::wstring(temp) + L"merge_collect_test";
        CreateDirectoryW(folder.c_str(), nullptr);
        set = QocAvsCreateW(1, 0, 0);
        ASSERT_NE(set, nullptr);
    }
    void TearDown() override
    {
        QocAvsDelete(set);
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring path = folder + L"\\" + found.cFileName;
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileW(path.c_str());
                else if (found.cFileName[0] != L'.')
                    RemoveDirectoryW(path.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring Write(const std::wstring& name, const std::string& bytes)
    {
        std::wstring path = folder + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
        CloseHandle(file);
        return path;
    }
    std::wstring Piece(int number, int count, const char* id = "ID01",
                       const std::wstring& base = L"report.pdf")
    {
        wchar_t name[64];
        swprintf(name, 64, L"(%02d_of_%02d).divide", number, count);
        return Write(base + name, std::string(id, 4) + "blockdata");
    }
    // The collected paths, in the order of the set.
    std::vector<std::wstring> Collected()
    {
        std::vector<std::wstring> paths;
        QOC_AVS_ENTRY* entries = QocAvsCreatePtrArrW(set, 0, 0);
        for (int i = 0; entries && i < QocAvsGetCount(set); ++i) {
            EXPECT_GE(entries[i].data1, 1u);
            paths.push_back(entries[i].text);
        }
        QocAvsReleasePtrArrW(entries);
        return paths;
    }
};

TEST_F(MergeCollectTest, CollectsEveryPieceOfTheDivisionThroughAnyOfThem)
{
    std::wstring p1 = Piece(1, 3), p2 = Piece(2, 3), p3 = Piece(3, 3);
    // Ignored: another division, a copy, no marker, another name, a folder.
    Piece(1, 5, "ID02");
    Write(L"report.pdf(03_of_03) - Copy.divide", "ID01blockdata");
    Write(L"report.pdf.divide", "ID01blockdata");
    Piece(1, 3, "ID01", L"report.pdf.old");
    CreateDirectoryW((folder + L"\\report.pdf(09_of_03).divide").c_str(), nullptr);
    for (const std::wstring& selected : {p1, p2, p3}) {
        HQOCAVS fresh = QocAvsCreateW(1, 0, 0);
        EXPECT_EQ(CollectPieces(fresh, selected.c_str(), 3), 1);
        QocAvsDelete(fresh);
    }
    ASSERT_EQ(CollectPieces(set, p2.c_str(), 3), 1);
    QOC_AVS_ENTRY* entries = QocAvsCreatePtrArrW(set, 0, 0);
    ASSERT_NE(entries, nullptr);
    ASSERT_EQ(QocAvsGetCount(set), 3);
    for (int i = 0; i < 3; ++i) {
        const std::wstring& expected = entries[i].data1 == 1 ? p1 : entries[i].data1 == 2 ? p2 : p3;
        EXPECT_EQ(std::wstring(entries[i].text), expected);
    }
    QocAvsReleasePtrArrW(entries);
}

TEST_F(MergeCollectTest, FailsWithoutExactlyOnePiecePerNumber)
{
    std::wstring p1 = Piece(1, 3);
    Piece(3, 3);
    EXPECT_EQ(CollectPieces(set, p1.c_str(), 3), 0);   // a gap

    Piece(2, 3);
    std::wstring other = Piece(2, 4);                   // same ID, other count
    HQOCAVS second = QocAvsCreateW(1, 0, 0);
    EXPECT_EQ(CollectPieces(second, p1.c_str(), 3), 0);
    QocAvsDelete(second);
    DeleteFileW(other.c_str());
    HQOCAVS third = QocAvsCreateW(1, 0, 0);
    EXPECT_EQ(CollectPieces(third, p1.c_str(), 3), 1);
    QocAvsDelete(third);
}

TEST_F(MergeCollectTest, PieceWithAnotherIdOrTooShortIsNotOfTheDivision)
{
    std::wstring p1 = Piece(1, 2);
    Piece(2, 2, "ID02");
    EXPECT_EQ(CollectPieces(set, p1.c_str(), 2), 0);
    Write(L"report.pdf(02_of_02).divide", "ID0");
    EXPECT_EQ(CollectPieces(set, p1.c_str(), 2), 0);
}

TEST_F(MergeCollectTest, CountComesFromTheCallerNotFromFolders)
{
    std::wstring p1 = Piece(1, 2), p2 = Piece(2, 2);
    EXPECT_EQ(CollectPieces(set, p2.c_str(), 3), 0);
    HQOCAVS fresh = QocAvsCreateW(1, 0, 0);
    EXPECT_EQ(CollectPieces(fresh, p2.c_str(), 2), 1);
    QocAvsDelete(fresh);
}

TEST_F(MergeCollectTest, MarkerInsideTheDividedName)
{
    std::wstring p1 = Piece(1, 2, "ID01", L"a(01_of_05).txt");
    Piece(2, 2, "ID01", L"a(01_of_05).txt");
    Piece(1, 5, "ID01", L"a");   // a(01_of_05).divide: another file's name
    EXPECT_EQ(CollectPieces(set, p1.c_str(), 2), 1);
    EXPECT_EQ(Collected().size(), 2u);
}

TEST_F(MergeCollectTest, EmptyFileIsOneEmptyPiece)
{
    std::wstring only = Write(L"empty.bin(01_of_01).divide", "");
    EXPECT_EQ(CollectPieces(set, only.c_str(), 1), 1);
    EXPECT_EQ(Collected(), std::vector<std::wstring>{only});

    std::wstring first = Write(L"two.bin(01_of_02).divide", "");
    Piece(2, 2, "ID01", L"two.bin");
    HQOCAVS fresh = QocAvsCreateW(1, 0, 0);
    EXPECT_EQ(CollectPieces(fresh, first.c_str(), 2), 0);
    QocAvsDelete(fresh);
}

TEST_F(MergeCollectTest, SelectedPieceThatCannotBeReadCollectsNothing)
{
    std::wstring p1 = Piece(1, 1);
    HANDLE lock = CreateFileW(p1.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CollectPieces(set, p1.c_str(), 1), 0);
    EXPECT_EQ(QocAvsGetCount(set), 0);
    CloseHandle(lock);
    EXPECT_EQ(CollectPieces(set, p1.c_str(), 1), 1);
}

}  // namespace
