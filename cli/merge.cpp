// sundrel merge PIECE: the pieces of the piece's division joined into a new
// file named after the divided file and the local time. The merged file is
// never written over an existing one, and is removed after any failure. A
// set with recovery pieces merges through them: what is lost is rebuilt,
// and the merged file must match the whole file's SHA-256.
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "merged_name.h"
#include "messages.h"
#include "piece_io.h"
#include "platform.h"
#include "progress.h"
#include "recovery.h"
#include "report.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kCollectFailed = {"Failed to collect divided files (sundrel verify shows why): %s",
                             "入力・分割ファイルの収集に失敗しました (理由は sundrel verify で表示されます): %s"};
const Text kCorrupted = {"Divide data is corrupted: %s", "分割データが破損しています: %s"};
const Text kCreateMerged = {"Could not create the merged file: %s",
                            "統合ファイルを作成できませんでした: %s"};
const Text kWriteError = {"An error occurred while writing the merged file: %s",
                          "統合ファイルの書き込みでエラーが発生しました: %s"};
const Text kPieceNotRemoved = {"The piece could not be removed: %s",
                               "分割ファイルを削除できませんでした: %s"};

const Text kRebuilt = {"Rebuilt from the recovery pieces: %s", "修復用ファイルから復元しました: %s"};

const Text kOperands = {"PIECE", "分割ファイル"};
const Text kSummary = {"join the pieces into NAME(YYMMDD-HHMMSS).EXT",
                       "分割ファイルを 名前(YYMMDD-HHMMSS).拡張子 に統合します"};
const Text kDetails = {
    "Joins the set of PIECE's division, found in its folder, into a new file named after the\n"
    "divided file and the local time, in the pieces' folder or in DIR, and prints its path. It\n"
    "never writes over a file; after a failure or an interruption no merged file is left. With\n"
    "recovery pieces, missing or damaged pieces are rebuilt (one line each) and the merged file\n"
    "must match the SHA-256 of the divided file; when too many are lost it fails before writing\n"
    "and says how many more recovery pieces it needs. --remove-pieces then removes the recovery\n"
    "pieces too.",
    "分割ファイルのフォルダにある組を、分割元の名前と現在時刻を名前にした新しいファイルに統合し、\n"
    "分割ファイルのフォルダかフォルダに置いて、そのパスを表示します。既にあるファイルは上書きせず、\n"
    "失敗や中断の後には統合ファイルを残しません。修復用ファイルがあるときは、失われたか壊れた分割\n"
    "ファイルを復元し (1 個ごとに 1 行)、統合ファイルが分割元の SHA-256 と一致しなければ失敗します。\n"
    "失われたものが多すぎるときは書き込む前に失敗し、あと何個の修復用ファイルが必要かを示します。\n"
    "--remove-pieces は修復用ファイルも削除します。"};
const ResultKey kResult[] = {{"piece", "null"},         {"merged", "null"},
                             {"count", "null"},         {"dataBytes", "null"},
                             {"sha256", "null"},        {"rebuiltPieces", "[]"},
                             {"removedPieces", "[]"},   {nullptr, nullptr}};

struct Target {
    File file;
    std::string path;
};

// One piece appended to the merged file; the exit code.
int AppendPiece(const std::string& path, uint64_t length, FileSink& merged, const Target& target,
                Progress& progress, Report& report)
{
    File file;
    if (!file.OpenForReading(path))
        return report.Fail(kExitFailed, "open-failed", Say(&kOpenError, path.c_str()), file.Error());
    FileSource source(file);
    std::vector<uint8_t> chunk(kChunkSize);
    PieceOutcome out = JoinPieceBlocks(source, &merged, chunk.data(), progress);
    switch (out.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
        // A piece that changed since its length was judged is no longer
        // the piece that was judged.
        if (out.offset == length)
            return kExitOk;
        return report.Fail(kExitFailed, "damaged", Say(&kCorrupted, path.c_str()));
    case PieceStatus::Stopped:
        return report.Interrupted();
    case PieceStatus::Corrupted:
        return report.Fail(kExitFailed, "damaged", Say(&kCorrupted, path.c_str()));
    case PieceStatus::DataWriteFailed:
        return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, target.path.c_str()),
                           target.file.Error());
    default:
        return report.Fail(kExitFailed, "read-failed", Say(&kReadError, path.c_str()), file.Error());
    }
}

// The places no file holds, beyond the recovery pieces that could stand in
// for them: known from the names alone, before a merged file exists.
uint64_t PlainShortfall(const MergePlan<char>& plan, const RecoverySet<char>& recovery)
{
    std::vector<bool> usable(recovery.manifest.recoveryCount + 1, false);
    uint64_t indexes = 0;
    for (size_t i = 0; i < plan.recovery.size(); ++i) {
        unsigned index = plan.recovery[i].number.index;
        if (recovery.files[i].verdict == RecoveryFileVerdict::Usable &&
            index <= recovery.manifest.recoveryCount && !usable[index]) {
            usable[index] = true;
            ++indexes;
        }
    }
    return plan.missing.size() > indexes ? plan.missing.size() - indexes : 0;
}

// Merges through the recovery pieces into the created target; the exit code.
int MergeRecoverySet(const DivisionFiles& division, SystemFolder& pieces,
                     const RecoverySet<char>& recovery, Target& target, const Options& options,
                     Report& report)
{
    const MergePlan<char>& plan = division.plan;
    OpenedSet opened = OpenRecoverySet(pieces, plan, recovery);
    RecoveryMergeOutcome outcome;
    {
        Progress progress(SetBytes(plan, recovery), options.Has(kOptQuiet) || report.Json());
        RestartableFileSink merged(target.file);
        outcome = MergeWithRecovery(recovery.manifest, opened.sources, merged, progress);
        if (outcome.result.status == RebuildStatus::Ok && !(merged.Flush() && target.file.Close()))
            outcome.result.status = RebuildStatus::WriteFailed;
    }
    if (outcome.result.status != RebuildStatus::Ok)
        return FailRebuild(outcome.result, outcome.inspection.shortfall, division, recovery,
                           target.path, target.file.Error(), report);
    JsonArray rebuilt;
    for (unsigned n : outcome.inspected ? RebuiltPieces(outcome.inspection) : std::vector<unsigned>()) {
        std::string path = JoinPath(division.selected.folder,
                                    PieceFileName<char>(plan.dividedName, n, plan.count));
        report.Line(Say(&kRebuilt, path.c_str()));
        rebuilt.AddName(path);
    }
    report.Result().Set("rebuiltPieces", rebuilt.Dump());
    report.Result().SetString("sha256", Sha256Hex(recovery.manifest.source));
    return kExitOk;
}

int RunMerge(const Options& options, Report& report)
{
    SelectedPiece selected;
    report.Result().SetName("piece", options.operands[0]);
    if (!SelectPiece(options.operands[0], &selected, report))
        return kExitUsage;
    std::string folder = options.Has(kOptOutput) ? options.outDir : selected.folder;
    if (KindOf(folder) != PathKind::Folder)
        return report.Fail(kExitUsage, "not-a-folder", Say(&kNotFolder, folder.c_str()));
    SystemFolder pieces(selected.folder);
    DivisionFiles division;
    if (!FindDivision(selected, pieces, &division, report))
        return kExitFailed;
    const MergePlan<char>& plan = division.plan;
    report.Result().SetNumber("count", plan.count);
    RecoverySet<char> recovery = ReadDivisionRecovery(pieces, plan);
    if (recovery.hasManifest)
        if (uint64_t shortfall = PlainShortfall(plan, recovery))
            return report.Fail(kExitFailed, "unrecoverable", ShortfallText(shortfall));
    if (!recovery.hasManifest && !plan.Collected())
        return report.Fail(kExitFailed, "not-collected", Say(&kCollectFailed, selected.path.c_str()));
    // The lengths already tell: refused before a merged file exists.
    if (!recovery.hasManifest && plan.firstLengthFault < plan.count) {
        const PlannedFile<char>& bad = plan.Place(unsigned(plan.firstLengthFault) + 1);
        return report.Fail(kExitFailed, "damaged", Say(&kCorrupted, division.PathOf(bad).c_str()));
    }

    Target target;
    target.path = JoinPath(folder, MergedFileName<char>(selected.dividedName, LocalTimeNow()));
    if (!target.file.CreateNew(target.path, selected.path))
        return report.Fail(kExitFailed, "create-failed", Say(&kCreateMerged, target.path.c_str()),
                           target.file.Error());
    int code = kExitOk;
    if (recovery.hasManifest) {
        code = MergeRecoverySet(division, pieces, recovery, target, options, report);
    } else {
        uint64_t total = 0;
        for (unsigned n = 1; n <= plan.count; ++n)
            total += plan.Place(n).head.length;
        Progress progress(total, options.Has(kOptQuiet) || report.Json());
        FileSink merged(target.file);
        for (unsigned n = 1; code == kExitOk && n <= plan.count; ++n)
            code = AppendPiece(division.PathOf(plan.Place(n)), plan.Place(n).head.length, merged,
                               target, progress, report);
        if (code == kExitOk && !(merged.Flush() && target.file.Close()))
            code = report.Fail(kExitFailed, "write-failed", Say(&kWriteError, target.path.c_str()),
                               target.file.Error());
    }
    if (code != kExitOk) {
        target.file.Close();
        RemoveFile(target.path);
        return code;
    }
    report.Line(target.path);
    report.Result().SetName("merged", target.path);
    uint64_t dataBytes = recovery.hasManifest ? recovery.manifest.sourceSize : 0;
    for (unsigned n = 1; !recovery.hasManifest && n <= plan.count; ++n) {
        uint64_t bytes = 0;
        PieceDataBytes(plan.Place(n).head.length, &bytes);
        dataBytes += bytes;
    }
    report.Result().SetNumber("dataBytes", dataBytes);
    // The pieces go only once the merged file is complete and closed; the
    // recovery pieces with them.
    std::vector<std::string> setFiles;
    if (recovery.hasManifest)
        setFiles = SetFileNames(plan, recovery);
    else
        for (unsigned n = 1; n <= plan.count; ++n)
            setFiles.push_back(plan.Place(n).name);
    JsonArray removed;
    for (size_t i = 0; options.Has(kOptRemovePieces) && i < setFiles.size(); ++i) {
        std::string path = JoinPath(selected.folder, setFiles[i]);
        if (RemoveFile(path))
            removed.AddName(path);
        else
            code = report.Fail(kExitFailed, "remove-failed", Say(&kPieceNotRemoved, path.c_str()));
    }
    report.Result().Set("removedPieces", removed.Dump());
    return code;
}

}  // namespace

const CommandSpec kMergeCommand = {
    "merge", &kOperands, &kSummary, &kDetails, kOptOutput | kOptRemovePieces, 1, 1, kResult, RunMerge,
};

}  // namespace sundrel::cli
