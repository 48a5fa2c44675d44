#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "merge.h"

namespace {

// Pieces need only their names and their 4-byte IDs to be collected; the
// plan's own rules are the core's tests. These check what Windows adds: the
// folder listing, the heads read through handles, folders and locks.
class MergeCollectTest : public ::testing::Test {
protected:
    std::wstring folder;

    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder = std::wstring(temp) + L"merge_collect_test";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    void TearDown() override
    {
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
    // A piece of one short block: the length rule holds for the last piece
    // only, so sets here are judged by their collection.
    std::wstring Piece(int number, int count, const char* id = "ID01",
                       const std::wstring& base = L"report.pdf")
    {
        wchar_t name[64];
        swprintf(name, 64, L"(%02d_of_%02d).divide", number, count);
        return Write(base + name, std::string(id, 4) + "blockdata");
    }
    sundrel::MergePlan<wchar_t> Plan(const std::wstring& selected)
    {
        wchar_t pieceFolder[MAX_PATH];
        sundrel::MergePlan<wchar_t> plan = CollectPieces(selected.c_str(), pieceFolder);
        EXPECT_EQ(pieceFolder, folder + L"\\");
        return plan;
    }
    // The places of the plan: every number held by a member, in order.
    std::vector<std::wstring> Members(const sundrel::MergePlan<wchar_t>& plan)
    {
        std::vector<std::wstring> names;
        for (unsigned n = 1; n <= plan.count; ++n)
            if (plan.places[n - 1] >= 0 && plan.Place(n).verdict == sundrel::PlanVerdict::Member)
                names.push_back(folder + L"\\" + plan.Place(n).name);
        return names;
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
        sundrel::MergePlan<wchar_t> plan = Plan(selected);
        EXPECT_FALSE(plan.selectedAtFault);
        EXPECT_TRUE(plan.missing.empty());
        EXPECT_EQ(Members(plan), (std::vector<std::wstring>{p1, p2, p3}));
    }
}

TEST_F(MergeCollectTest, PieceWithAnotherIdOrTooShortHoldsItsPlaceAsAFault)
{
    std::wstring p1 = Piece(1, 2);
    Piece(2, 2, "ID02");
    EXPECT_EQ(Plan(p1).files[1].verdict, sundrel::PlanVerdict::ForeignId);
    Write(L"report.pdf(02_of_02).divide", "ID0");
    EXPECT_EQ(Plan(p1).files[1].verdict, sundrel::PlanVerdict::ShortId);
}

TEST_F(MergeCollectTest, MarkerInsideTheDividedName)
{
    std::wstring p1 = Piece(1, 2, "ID01", L"a(01_of_05).txt");
    std::wstring p2 = Piece(2, 2, "ID01", L"a(01_of_05).txt");
    Piece(1, 5, "ID01", L"a");   // a(01_of_05).divide: another file's name
    sundrel::MergePlan<wchar_t> plan = Plan(p1);
    EXPECT_EQ(plan.dividedName, L"a(01_of_05).txt");
    EXPECT_EQ(Members(plan), (std::vector<std::wstring>{p1, p2}));
}

TEST_F(MergeCollectTest, EmptyFileIsOneEmptyPiece)
{
    std::wstring only = Write(L"empty.bin(01_of_01).divide", "");
    sundrel::MergePlan<wchar_t> plan = Plan(only);
    EXPECT_TRUE(plan.Mergeable());
    EXPECT_EQ(Members(plan), std::vector<std::wstring>{only});
}

TEST_F(MergeCollectTest, LockedPieceIsUnreadable)
{
    std::wstring p1 = Piece(1, 1);
    HANDLE lock = CreateFileW(p1.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    sundrel::MergePlan<wchar_t> locked = Plan(p1);
    EXPECT_TRUE(locked.selectedAtFault);
    EXPECT_FALSE(locked.Mergeable());
    CloseHandle(lock);
    EXPECT_TRUE(Plan(p1).Mergeable());
}

}  // namespace
