// sundrel merge PIECE: the pieces of the piece's division joined into a new
// file named after the divided file and the local time. The merged file is
// never written over an existing one, and is removed after any failure.
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "merged_name.h"
#include "messages.h"
#include "piece_io.h"
#include "platform.h"
#include "progress.h"
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

const Text kOperands = {"PIECE", "分割ファイル"};
const Text kSummary = {"join the pieces into NAME(YYMMDD-HHMMSS).EXT",
                       "分割ファイルを 名前(YYMMDD-HHMMSS).拡張子 に統合します"};
const Text kDetails = {
    "Joins the set of PIECE's division, found in its folder, into a new file named after the\n"
    "divided file and the local time, in the pieces' folder or in DIR, and prints its path. It\n"
    "never writes over a file; after a failure or an interruption no merged file is left.",
    "分割ファイルのフォルダにある組を、分割元の名前と現在時刻を名前にした新しいファイルに統合し、\n"
    "分割ファイルのフォルダかフォルダに置いて、そのパスを表示します。既にあるファイルは上書きせず、\n"
    "失敗や中断の後には統合ファイルを残しません。"};
const ResultKey kResult[] = {{"piece", "null"},  {"merged", "null"},        {"count", "null"},
                             {"dataBytes", "null"}, {"removedPieces", "[]"}, {nullptr, nullptr}};

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
    if (!plan.Collected())
        return report.Fail(kExitFailed, "not-collected", Say(&kCollectFailed, selected.path.c_str()));
    // The lengths already tell: refused before a merged file exists.
    if (plan.firstLengthFault < plan.count) {
        const PlannedFile<char>& bad = plan.Place(unsigned(plan.firstLengthFault) + 1);
        return report.Fail(kExitFailed, "damaged", Say(&kCorrupted, division.PathOf(bad).c_str()));
    }

    Target target;
    target.path = JoinPath(folder, MergedFileName<char>(selected.dividedName, LocalTimeNow()));
    if (!target.file.CreateNew(target.path, selected.path))
        return report.Fail(kExitFailed, "create-failed", Say(&kCreateMerged, target.path.c_str()),
                           target.file.Error());
    uint64_t total = 0;
    for (unsigned n = 1; n <= plan.count; ++n)
        total += plan.Place(n).head.length;
    int code = kExitOk;
    {
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
    uint64_t dataBytes = 0;
    for (unsigned n = 1; n <= plan.count; ++n) {
        uint64_t bytes = 0;
        PieceDataBytes(plan.Place(n).head.length, &bytes);
        dataBytes += bytes;
    }
    report.Result().SetNumber("dataBytes", dataBytes);
    // The pieces go only once the merged file is complete and closed.
    JsonArray removed;
    for (unsigned n = 1; options.Has(kOptRemovePieces) && n <= plan.count; ++n) {
        std::string path = division.PathOf(plan.Place(n));
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
