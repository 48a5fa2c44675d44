// sundrel repair PIECE: the missing and damaged pieces of PIECE's set
// written back from its recovery pieces, byte for byte as the division
// wrote them. Each one is written under a temporary name, put on the disk
// and proven by the manifest's SHA-256 before it takes its name; a damaged
// piece is replaced only then.
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "messages.h"
#include "piece_names.h"
#include "platform.h"
#include "progress.h"
#include "recovery.h"
#include "replacement.h"
#include "report.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kNoRecovery = {"The set has no recovery pieces to repair it from: %s",
                          "この組には修復に使える修復用ファイルがありません: %s"};
const Text kNothingToDo = {"Every piece is whole; nothing to repair.",
                           "すべての分割ファイルが正常です。修復するものはありません。"};
const Text kRepaired = {"Repaired: %s", "修復しました: %s"};
const Text kCreateError = {"Could not create the repaired piece: %s",
                           "修復した分割ファイルを作成できませんでした: %s"};
const Text kSyncError = {"The repaired pieces' names could not be put on the disk: %s",
                         "修復した分割ファイルの名前をディスクに記録できませんでした: %s"};
const Text kRenameError = {"The repaired piece could not take its name; it is complete under: %s",
                           "修復した分割ファイルを本来の名前にできませんでした。完全な状態で次の名前にあります: %s"};

const Text kOperands = {"PIECE", "分割ファイル"};
const Text kSummary = {"write back missing or damaged pieces from the recovery pieces",
                       "失われたか壊れた分割ファイルを修復用ファイルから書き戻します"};
const Text kDetails = {
    "Rebuilds every piece of PIECE's set (a piece or a recovery piece) that is missing or\n"
    "damaged from the set's recovery pieces, byte for byte as the division wrote it, and prints\n"
    "its path. Each is written under a temporary name, put on the disk and proven by the SHA-256\n"
    "of the manifest before it takes its name, so a damaged piece is replaced only by a complete\n"
    "and proven copy. When too many are lost it writes nothing and says how many more recovery\n"
    "pieces it needs.",
    "分割ファイル (または修復用ファイル) の組のうち、失われたか壊れた分割ファイルを組の修復用ファイル\n"
    "から分割したときのとおりに復元し、そのパスを表示します。それぞれ一時的な名前で書き、ディスクに\n"
    "記録し、マニフェストの SHA-256 で証明してから本来の名前にします。壊れた分割ファイルは、完全で\n"
    "証明された複製でだけ置き換えます。失われたものが多すぎるときは何も書かず、あと何個の修復用\n"
    "ファイルが必要かを示します。"};
const ResultKey kResult[] = {{"piece", "null"}, {"count", "null"}, {"lost", "[]"},
                             {"repairedPieces", "[]"}, {nullptr, nullptr}};

// A repaired piece under its temporary name, removed unless it took its
// final name.
struct RepairedFile {
    File file;
    std::string path;
    bool placed = false;
    ~RepairedFile()
    {
        if (!path.empty() && !placed) {
            file.Close();
            RemoveFile(path);
        }
    }
};

// Writes one piece (from 0) back; the exit code.
int RepairPiece(const DivisionFiles& division, const RecoverySet<char>& recovery,
                const SetInspection& inspection, const SetSources& sources, unsigned piece,
                Progress& progress, Report& report)
{
    const MergePlan<char>& plan = division.plan;
    const unsigned number = piece + 1;
    // A piece in its place keeps the name it has (another case of it, say).
    std::string name = plan.places[piece] >= 0 ? plan.Place(number).name
                                               : PieceFileName<char>(plan.dividedName, number, plan.count);
    std::string final = JoinPath(division.selected.folder, name);
    RepairedFile repaired;
    std::string temporary =
        JoinPath(division.selected.folder, TemporaryName(name, number, plan.count, ProcessId()));
    // Only a crashed process of this one's ID can have left it.
    RemoveFile(temporary);
    if (!repaired.file.CreateNew(temporary, division.selected.path))
        return report.Fail(kExitFailed, "create-failed", Say(&kCreateError, temporary.c_str()),
                           repaired.file.Error());
    repaired.path = temporary;
    RebuildOutcome outcome;
    {
        FileSink sink(repaired.file);
        outcome = WriteRepairedPiece(recovery.manifest, inspection, sources, piece, sink, progress);
        if (outcome.status == RebuildStatus::Ok &&
            !(sink.Flush() && repaired.file.Sync() && repaired.file.Close()))
            outcome.status = RebuildStatus::WriteFailed;
    }
    if (outcome.status != RebuildStatus::Ok)
        return FailRebuild(outcome, inspection.shortfall, division, recovery, temporary,
                           repaired.file.Error(), report);
    std::string error;
    if (!RenameOver(temporary, final, &error)) {
        repaired.placed = true;   // complete and proven: kept for the user
        return report.Fail(kExitFailed, "rename-failed", Say(&kRenameError, temporary.c_str()), error);
    }
    repaired.placed = true;
    report.Line(Say(&kRepaired, final.c_str()));
    return kExitOk;
}

int RunRepair(const Options& options, Report& report)
{
    SelectedPiece selected;
    report.Result().SetName("piece", options.operands[0]);
    if (!SelectPiece(options.operands[0], &selected, report))
        return kExitUsage;
    SystemFolder folder(selected.folder);
    DivisionFiles division;
    if (!FindDivision(selected, folder, &division, report))
        return kExitFailed;
    const MergePlan<char>& plan = division.plan;
    report.Result().SetNumber("count", plan.count);
    RecoverySet<char> recovery = ReadDivisionRecovery(folder, plan);
    if (!recovery.hasManifest)
        return report.Fail(kExitFailed, "no-recovery", Say(&kNoRecovery, selected.path.c_str()));
    OpenedSet opened = OpenRecoverySet(folder, plan, recovery);
    Progress progress(SetBytes(plan, recovery), options.Has(kOptQuiet) || report.Json());
    bool stopped = false;
    SetInspection inspection = InspectSet(recovery.manifest, opened.sources, progress, &stopped);
    if (stopped)
        return report.Interrupted();
    std::vector<unsigned> broken;
    JsonArray lost;
    for (unsigned p = 0; p < recovery.manifest.count; ++p)
        if (inspection.pieces[p].state != PieceState::Whole) {
            broken.push_back(p);
            lost.AddNumber(p + 1);
        }
    report.Result().Set("lost", lost.Dump());
    if (!inspection.Rebuildable())
        return report.Fail(kExitFailed, "unrecoverable", ShortfallText(inspection.shortfall));
    if (broken.empty()) {
        report.Line(Say(&kNothingToDo));
        return kExitOk;
    }
    JsonArray repaired;
    int code = kExitOk;
    for (unsigned p : broken) {
        code = RepairPiece(division, recovery, inspection, opened.sources, p, progress, report);
        if (code != kExitOk)
            break;
        unsigned number = p + 1;
        repaired.AddName(JoinPath(selected.folder,
                                  plan.places[p] >= 0 ? plan.Place(number).name
                                                      : PieceFileName<char>(plan.dividedName, number,
                                                                            plan.count)));
    }
    report.Result().Set("repairedPieces", repaired.Dump());
    std::string error;
    if (!SyncFolder(selected.folder, &error) && code == kExitOk)
        code = report.Fail(kExitFailed, "write-failed", Say(&kSyncError, selected.folder.c_str()), error);
    return code;
}

}  // namespace

const CommandSpec kRepairCommand = {
    "repair", &kOperands, &kSummary, &kDetails, 0, 1, 1, kResult, RunRepair,
};

}  // namespace sundrel::cli
