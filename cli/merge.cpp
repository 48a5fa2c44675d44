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

// One piece appended to the merged file; false after its message.
bool AppendPiece(const std::string& path, uint64_t length, FileSink& merged,
                 const File& mergedFile, const std::string& mergedPath, Progress& progress,
                 bool* interrupted)
{
    File file;
    if (!file.OpenForReading(path)) {
        PrintError(Say(kOpenError, path.c_str()), file.Error());
        return false;
    }
    FileSource source(file);
    LinkViews(source, merged);
    std::vector<uint8_t> chunk(kChunkSize);
    PieceOutcome out = JoinPieceBlocks(source, &merged, chunk.data(), progress);
    switch (out.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
        // A piece that changed since its length was judged is no longer
        // the piece that was judged.
        if (out.offset == length)
            return true;
        PrintError(Say(kCorrupted, path.c_str()));
        return false;
    case PieceStatus::Stopped:
        *interrupted = true;
        return false;
    case PieceStatus::Corrupted:
        PrintError(Say(kCorrupted, path.c_str()));
        return false;
    case PieceStatus::DataWriteFailed:
        PrintError(Say(kWriteError, mergedPath.c_str()), mergedFile.Error());
        return false;
    default:
        PrintError(Say(kReadError, path.c_str()), file.Error());
        return false;
    }
}

}  // namespace

int RunMerge(const Options& options)
{
    SelectedPiece selected;
    if (!SelectPiece(options.file, &selected))
        return kExitUsage;
    std::string folder = options.outDir.empty() ? selected.folder : options.outDir;
    if (KindOf(folder) != PathKind::Folder) {
        PrintError(Say(kNotFolder, folder.c_str()));
        return kExitUsage;
    }
    DivisionFiles division;
    if (!FindDivision(selected, &division))
        return kExitFailed;
    const MergePlan<char>& plan = division.plan;
    if (!plan.Collected()) {
        PrintError(Say(kCollectFailed, selected.path.c_str()));
        return kExitFailed;
    }
    // The lengths already tell: refused before a merged file exists.
    if (plan.firstLengthFault < plan.count) {
        const PlannedFile<char>& bad = plan.Place(unsigned(plan.firstLengthFault) + 1);
        PrintError(Say(kCorrupted, division.PathOf(bad).c_str()));
        return kExitFailed;
    }

    std::string name = MergedFileName<char>(selected.dividedName, LocalTimeNow());
    std::string path = JoinPath(folder, name);
    File mergedFile;
    if (!mergedFile.CreateNew(path, selected.path)) {
        PrintError(Say(kCreateMerged, path.c_str()), mergedFile.Error());
        return kExitFailed;
    }
    uint64_t total = 0;
    for (unsigned n = 1; n <= plan.count; ++n)
        total += plan.Place(n).head.length;
    bool ok = true, interrupted = false;
    {
        Progress progress(total, options.quiet);
        FileSink merged(mergedFile);
        for (unsigned n = 1; ok && n <= plan.count; ++n)
            ok = AppendPiece(division.PathOf(plan.Place(n)), plan.Place(n).head.length, merged,
                             mergedFile, path, progress, &interrupted);
        if (ok && !(merged.Flush() && mergedFile.Close())) {
            PrintError(Say(kWriteError, path.c_str()), mergedFile.Error());
            ok = false;
        }
    }
    if (!ok) {
        mergedFile.Close();
        RemoveFile(path);
        if (interrupted)
            PrintError(Pick(kInterrupted));
        return interrupted ? kExitInterrupted : kExitFailed;
    }
    PrintLine(path);
    // The pieces go only once the merged file is complete and closed.
    int result = kExitOk;
    for (unsigned n = 1; options.removePieces && n <= plan.count; ++n)
        if (!RemoveFile(division.PathOf(plan.Place(n)))) {
            PrintError(Say(kPieceNotRemoved, division.PathOf(plan.Place(n)).c_str()));
            result = kExitFailed;
        }
    return result;
}

}  // namespace sundrel::cli
