// Recovery pieces as a user makes and uses them: Sundrel.exe divides with
// DivRec, the core accepts what it wrote as the companion reads it, the
// merge rebuilds what a mail lost or damaged and refuses what it cannot
// rebuild, and Stop leaves nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "divide_support.h"
#include "memory_streams.h"
#include "merge_plan.h"
#include "merge_support.h"
#include "piece_names.h"
#include "recovery_inspection.h"
#include "recovery_rebuild.h"
#include "recovery_set.h"
#include "resource.h"

namespace {

std::wstring RecoveryName(const std::wstring& divided, unsigned count, unsigned index, unsigned total)
{
    return sundrel::RecoveryFileName<wchar_t>(divided, count, index, total);
}

// Every file of a folder, in memory, as the core's tests hold a folder.
sundrel::MemoryFolder ReadFolder(const std::wstring& folder)
{
    sundrel::MemoryFolder files;
    for (const std::wstring& name : UiListFiles(folder))
        files.files[UiToUtf8(name)] = ReadAll(UiJoin(folder, name));
    return files;
}

// A division by Sundrel.exe into out with pieces of 1 MiB and total
// recovery pieces.
void DivideWithRecovery(const std::wstring& source, const std::wstring& out, DWORD total)
{
    UiRegSetDword(L"DivSize", 1);
    UiRegSetDword(L"fDivDir", 1);
    UiRegSetString(L"DivDir", out);
    UiRegSetDword(L"fDivRmv", 1);
    UiRegSetDword(L"fDivOpen", 0);
    UiRegSetDword(L"DivRec", total);
    DivideQuietly(source);
}

class RecoveryDivide : public ::testing::Test {
protected:
    void SetUp() override { folders = PrepareDivision(L"sundrel-recovery"); }
    void TearDown() override { UiRemoveTree(folders.dir); }
    DivideFolders folders;
};

// The pieces are those of a division without recovery pieces; the recovery
// pieces follow them under their names, with the source's attributes, and
// the core finds the division whole by them and rebuilds from them. Earlier
// recovery pieces of the same name go, whatever their count; nothing else.
TEST_F(RecoveryDivide, WritesRecoveryPiecesTheCoreAccepts)
{
    const struct {
        const wchar_t* name;
        uint64_t size;
        unsigned total;
        bool readOnly;
    } rows[] = {
        {L"report.pdf", 3 * kMiB - 100, 1, false},
        {L"report.pdf", 3 * kMiB - 100, 2, false},   // replaces the one of the row before
        {L"small.bin", 10000, 2, true},
        {L"empty.bin", 0, 1, false},
    };
    const std::vector<std::wstring> others = {L"other.pdf(00_of_02).recovery-01-of-01.divide",
                                              L"report.pdf(00_of_03).recovery-copy.divide"};
    for (const std::wstring& other : others)
        UiWriteFile(UiJoin(folders.out, other), 10);
    for (const auto& row : rows) {
        SCOPED_TRACE(UiToUtf8(row.name) + ", " + std::to_string(row.total) + " recovery pieces");
        std::wstring source = UiJoin(folders.dir, row.name);
        ASSERT_TRUE(UiWriteFile(source, row.size, row.total));
        std::string bytes = ReadAll(source);
        if (row.readOnly)
            SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY);
        DivideWithRecovery(source, folders.out, row.total);
        SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
        ExpectPieces(folders.out, row.name, bytes, kMiB, 0, UINT32_MAX);

        const unsigned count = row.size ? unsigned((row.size + kMiB - 1) / kMiB) : 1;
        std::vector<std::wstring> names;
        for (unsigned j = 1; j <= row.total; ++j) {
            names.push_back(RecoveryName(row.name, count, j, row.total));
            DWORD attributes = GetFileAttributesW(UiJoin(folders.out, names.back()).c_str());
            EXPECT_EQ(row.readOnly, attributes != INVALID_FILE_ATTRIBUTES &&
                                        (attributes & FILE_ATTRIBUTE_READONLY))
                << UiToUtf8(names.back());
        }
        std::vector<std::wstring> listed = UiListFiles(folders.out, (std::wstring(row.name) + L"(00_of_*").c_str());
        names.push_back(L"report.pdf(00_of_03).recovery-copy.divide");
        std::sort(names.begin(), names.end());
        std::vector<std::wstring> expected;
        for (const std::wstring& name : names)
            if (name.compare(0, wcslen(row.name), row.name) == 0)
                expected.push_back(name);
        EXPECT_EQ(expected, listed);
        for (const std::wstring& other : others)
            EXPECT_TRUE(UiFileExists(UiJoin(folders.out, other))) << UiToUtf8(other);

        sundrel::MemoryFolder files = ReadFolder(folders.out);
        sundrel::MergePlan<char> plan =
            sundrel::PlanMerge<char>(files, UiToUtf8(PieceName(row.name, 1, count)));
        sundrel::RecoverySet<char> recovery = sundrel::ReadRecoverySet(files, plan);
        ASSERT_TRUE(recovery.hasManifest);
        const sundrel::RecoveryManifest& manifest = recovery.manifest;
        EXPECT_EQ(count, manifest.count);
        EXPECT_EQ(row.total, manifest.recoveryCount);
        EXPECT_EQ(row.size, manifest.sourceSize);
        EXPECT_TRUE(manifest.source == sundrel::Sha256Of(bytes.data(), bytes.size()));
        for (unsigned j = 1; j <= row.total; ++j)
            EXPECT_EQ(sundrel::LayoutOf(manifest).RecoveryPieceLength(),
                      uint64_t(UiFileSize(UiJoin(folders.out, RecoveryName(row.name, count, j, row.total)))));
        sundrel::OpenedSet opened = sundrel::OpenRecoverySet(files, plan, recovery);
        sundrel::BlockObserver observer;
        bool stopped = false;
        sundrel::SetInspection inspection =
            sundrel::InspectSet(manifest, opened.sources, observer, &stopped);
        EXPECT_TRUE(inspection.Whole());
        for (const sundrel::RecoveryInspection& piece : inspection.recovery)
            EXPECT_EQ(sundrel::RecoveryState::Usable, piece.state);
        // As many pieces lost as there are recovery pieces: the core rebuilds them.
        for (unsigned p = 0; p < row.total && p < count; ++p)
            opened.sources.pieces[p] = nullptr;
        sundrel::MemorySink merged;
        EXPECT_EQ(sundrel::RebuildStatus::Ok,
                  sundrel::MergeWithRecovery(manifest, opened.sources, merged, observer).result.status);
        EXPECT_TRUE(merged.bytes == bytes);
    }
}

// Earlier recovery pieces alone make the stale-piece question come, and
// go with Yes, whatever the new division makes.
TEST_F(RecoveryDivide, EarlierRecoveryPiecesAreAskedForAndGo)
{
    UiRegSetDword(L"fDivRmv", 0);
    const std::wstring stale = UiJoin(folders.out, L"q.bin(00_of_05).recovery-01-of-03.divide");
    UiWriteFile(stale, 10);
    UiWriteFile(UiJoin(folders.dir, L"q.bin"), 5000);
    for (int answer : {IDNO, IDYES}) {
        UiProc proc;
        HWND window = StartDivide(proc, UiJoin(folders.dir, L"q.bin"));
        ASSERT_TRUE(window);
        UiClick(window, IDOK);
        UiMsgBox box;
        ASSERT_TRUE(UiWaitMsgBox(proc, &box, window));
        EXPECT_EQ(UiToUtf8(Lang(L"A divided file with the same name exists.\n\n     Do you want to remove these?",
                                L"同名の分割ファイルが存在します。\n\n    これらを削除しますか？")),
                  UiToUtf8(box.text));
        UiAnswerMsgBox(box, answer);
        ExpectQuietExit(proc);
        EXPECT_EQ(answer == IDNO, UiFileExists(stale));
    }
    EXPECT_TRUE(UiFileExists(UiJoin(folders.out, L"q.bin(01_of_01).divide")));
}

// Stop while the recovery pieces are written: no piece and no recovery
// piece stays.
TEST_F(RecoveryDivide, StopDuringTheRecoveryPiecesLeavesNothing)
{
    std::wstring source = UiJoin(folders.dir, L"big.bin");
    HANDLE file = CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(256 * kMiB);
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    UiRegSetDword(L"DivSize", 16);
    UiRegSetDword(L"DivRec", 4);
    UiProc proc;
    HWND window = StartDivide(proc, source);
    ASSERT_TRUE(window);
    UiClick(window, IDOK);
    const std::wstring first = UiJoin(folders.out, RecoveryName(L"big.bin", 16, 1, 4));
    ASSERT_TRUE(UiWaitFor([&] { return UiFileSize(first) > 2 * int64_t(kMiB); }, 180000));
    UiClick(window, IDC_STOP);
    ExpectQuietExit(proc);
    EXPECT_TRUE(UiListFiles(folders.out).empty());
}

// The merge of a division with two recovery pieces, damaged as mail damages
// it; the selected file is a piece or a recovery piece.
class RecoveryMerge : public MergeTest {};

struct MergeRow {
    const char* what;
    std::function<void(const std::wstring& dir)> damage;
    std::wstring selected;
    std::wstring rebuilt;    // the pieces the information box names; empty: no box
    unsigned shortfall;      // refused: recovery pieces still needed
    bool removeAfter;        // fMrgRmv
};

TEST_F(RecoveryMerge, RebuildsWhatTheRecoveryPiecesCoverAndRefusesTheRest)
{
    const std::wstring divided = L"data.bin";
    std::string source = Source(2 * kMiB + 3 * kBlock, 21);
    std::wstring made = Subfolder(L"made");
    ASSERT_TRUE(UiWriteBytes(UiJoin(folder, divided), source));
    DivideWithRecovery(UiJoin(folder, divided), made, 2);
    const std::wstring piece1 = PieceName(divided, 1, 3), piece2 = PieceName(divided, 2, 3),
                       piece3 = PieceName(divided, 3, 3);
    const std::wstring rec1 = RecoveryName(divided, 3, 1, 2), rec2 = RecoveryName(divided, 3, 2, 2);
    auto remove = [](const std::wstring& dir, const std::wstring& name) {
        DeleteFileW(UiJoin(dir, name).c_str());
    };
    uint32_t id = 0;
    std::string first = ReadAll(UiJoin(made, piece1));
    ASSERT_GE(first.size(), 4u);
    memcpy(&id, first.data(), 4);

    const MergeRow rows[] = {
        {"a piece missing", [&](const std::wstring& dir) { remove(dir, piece2); }, piece1, L"02", 0, true},
        {"a block damaged", [&](const std::wstring& dir) {
             Rewrite(UiJoin(dir, piece1), [](std::string& b) { b[4 + 5 * (kBlock + 2) + 10] ^= 0x40; });
         }, piece2, L"01", 0, false},
        {"the last piece cut between blocks", [&](const std::wstring& dir) {
             Rewrite(UiJoin(dir, piece3), [](std::string& b) { b.resize(4 + kBlock + 2); });
         }, piece1, L"03", 0, false},
        {"a piece of another file with the same ID", [&](const std::wstring& dir) {
             UiWriteBytes(UiJoin(dir, piece2), PieceBytes(Source(kMiB, 99), id));
         }, piece1, L"02", 0, false},
        {"two pieces missing, selected through a recovery piece", [&](const std::wstring& dir) {
             remove(dir, piece1);
             remove(dir, piece3);
         }, rec2, L"01, 03", 0, false},
        {"whole, selected through a recovery piece", [](const std::wstring&) {}, rec1, L"", 0, true},
        {"recovery files without a manifest: merged as without them", [&](const std::wstring& dir) {
             UiWriteBytes(UiJoin(dir, rec1), std::string(100, 'x'));
             UiWriteBytes(UiJoin(dir, rec2), std::string(100, 'x'));
         }, piece1, L"", 0, false},
        {"not enough recovery pieces", [&](const std::wstring& dir) {
             remove(dir, piece1);
             remove(dir, piece2);
             remove(dir, rec2);
         }, piece3, L"", 1, true},
    };
    int n = 0;
    for (const MergeRow& row : rows) {
        SCOPED_TRACE(row.what);
        std::wstring dir = Subfolder(L"case" + std::to_wstring(++n));
        for (const std::wstring& name : UiListFiles(made))
            ASSERT_TRUE(CopyFileW(UiJoin(made, name).c_str(), UiJoin(dir, name).c_str(), FALSE));
        row.damage(dir);
        Settings(0, L"", 0, row.removeAfter ? 1 : 0);
        std::vector<std::wstring> before = UiListFiles(dir);
        MergeOutcome outcome = Merge(UiJoin(dir, row.selected));
        EXPECT_EQ(0u, outcome.exitCode);
        if (row.shortfall) {
            EXPECT_EQ(UiToUtf8(Lang(L"File Integrate", L"ファイル統合")), UiToUtf8(outcome.caption));
            EXPECT_EQ(UiToUtf8(Lang(L"Too many pieces are missing or damaged to rebuild them.\n",
                                    L"失われたか壊れた分割ファイルが多すぎて復元できません。\n") +
                               Lang(L"", L"修復用ファイルがあと ") + std::to_wstring(row.shortfall) +
                               Lang(L" more recovery files are needed.", L" 個必要です。")),
                      UiToUtf8(outcome.text));
            EXPECT_EQ(before, UiListFiles(dir)) << "nothing left, nothing removed";
            continue;
        }
        EXPECT_EQ(!row.rebuilt.empty(), outcome.boxShown) << UiToUtf8(outcome.text);
        if (!row.rebuilt.empty()) {
            EXPECT_EQ(UiToUtf8(Lang(L"These pieces were missing or damaged and have been rebuilt "
                                    L"from the recovery files:\n",
                                    L"次の分割ファイルは失われたか壊れていたため、修復用ファイルから"
                                    L"復元しました：\n") +
                               row.rebuilt),
                      UiToUtf8(outcome.text));
        }
        std::vector<std::wstring> merged = MergedFiles(dir);
        ASSERT_EQ(1u, merged.size());
        EXPECT_TRUE(ReadAll(UiJoin(dir, merged[0])) == source);
        if (row.removeAfter) {
            EXPECT_EQ(merged, UiListFiles(dir)) << "the pieces and recovery pieces go";
        }
    }
}

}  // namespace
