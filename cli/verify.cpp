// sundrel verify PIECE...: the whole set of each piece's division checked as
// a merge would check it, nothing written; each set once, however many of
// its pieces are named. One line per piece and per problem. A set with
// recovery pieces is also proven by their manifest, and told whether it
// merges as it is, after a repair, or not at all.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "division.h"
#include "messages.h"
#include "piece_io.h"
#include "platform.h"
#include "progress.h"
#include "recovery.h"
#include "report.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kOk = {"%s: OK, %" PRIu64 " blocks, %" PRIu64 " data bytes",
                  "%s: 正常、%" PRIu64 " ブロック、データ %" PRIu64 " バイト"};
const Text kDamaged = {"%s: damaged at block %" PRIu64 " (byte offset %" PRIu64 ")",
                       "%s: ブロック %" PRIu64 " (オフセット %" PRIu64 " バイト) が破損しています"};
const Text kTruncated = {"%s: truncated: %" PRIu64 " bytes, shorter than the set requires",
                         "%s: 途中で切れています: %" PRIu64 " バイトでは組の他の分割ファイルより短すぎます"};
const Text kGrown = {"%s: grown: %" PRIu64 " bytes, longer than the set allows",
                     "%s: 長すぎます: %" PRIu64 " バイトは組の他の分割ファイルより長すぎます"};
const Text kTail = {"%s: ends in a %" PRIu64 "-byte tail after its last whole block",
                    "%s: 最後のブロックの後に %" PRIu64 " バイトの端数があります"};
const Text kMisshapen = {"%s: %" PRIu64 " bytes is no whole number of MiB, as every piece but the last must hold",
                         "%s: %" PRIu64 " バイトは最後以外の分割ファイルに必要な MiB 単位の長さではありません"};
const Text kShortId = {"%s: too short to hold a divide file ID (%" PRIu64 " bytes)",
                       "%s: 分割ファイルＩＤを持つには短すぎます (%" PRIu64 " バイト)"};
const Text kUnreadable = {"%s: cannot be read (%s)", "%s: 読み出せません (%s)"};
const Text kOtherDivision = {"%s: a piece of another division (ID %s), left out",
                             "%s: 別の分割の分割ファイルです (ID %s)。対象外です"};
const Text kForeignId = {"%s: its ID %s is not the set's (%s): damaged, or a piece of another division",
                         "%s: ID %s がこの組の ID (%s) と違います。破損しているか、別の分割の分割ファイルです"};
const Text kWrongCount = {"%s: a piece of this division under another piece count (%u)",
                          "%s: この分割の ID を持つが分割数が違います (%u)"};
const Text kDuplicate = {"%s: a second piece with the number %02u",
                         "%s: 番号 %02u の分割ファイルが二つあります"};
const Text kMissing = {"missing: piece %s of %02u", "不足: %s (全 %02u 個中)"};
const Text kWouldMerge = {"The set would merge: %u pieces, %" PRIu64 " data bytes.",
                          "統合できます: 分割ファイル %u 個、データ %" PRIu64 " バイト"};
const Text kWouldNotMerge = {"The set would not merge.", "この組は統合できません。"};
const Text kHashMismatch = {"%s: its blocks pass, but it is not the piece the manifest proves",
                            "%s: ブロックは正常ですが、マニフェストが証明する分割ファイルではありません"};
const Text kRecoveryMissing = {"missing: recovery piece %s of %02u", "不足: 修復用ファイル %s (全 %02u 個中)"};
const Text kWouldMergeRepaired = {
    "The set would merge after repair: pieces %s would be rebuilt from the recovery pieces (sundrel repair "
    "writes them back).",
    "修復すれば統合できます: 分割ファイル %s を修復用ファイルから復元します (sundrel repair で書き戻せます)。"};
const Text kWouldMergeNotAsDivided = {
    "The set would merge: %u pieces, %" PRIu64 " data bytes; pieces %s differ from what the division "
    "wrote (sundrel repair writes them back).",
    "統合できます: 分割ファイル %u 個、データ %" PRIu64 " バイト。分割ファイル %s は分割したときと違います "
    "(sundrel repair で書き戻せます)。"};
const Text kWouldNotMergeShort = {"The set would not merge: %s.", "この組は統合できません: %s。"};

const Text kOperands = {"PIECE...", "分割ファイル..."};
const Text kSummary = {"check the whole set of each PIECE's division",
                       "各分割ファイルの組全体を検査します"};
const Text kDetails = {
    "Checks every block of every piece of the set in the piece's folder, as a merge would, and\n"
    "writes nothing: one line per piece (OK, or what is wrong) and one for missing numbers.\n"
    "Pieces of a set already checked through another PIECE are not checked again. With recovery\n"
    "pieces it also shows their manifest and each of them, proves every piece by its SHA-256,\n"
    "and tells whether the set merges as it is, after a repair (naming the pieces rebuilt), or\n"
    "not at all (how many more recovery pieces it needs). It exits 0 only when everything is\n"
    "whole.",
    "分割ファイルのフォルダにある組のすべての分割ファイルのすべてのブロックを統合と同じように検査し、\n"
    "何も書き込みません。分割ファイルごとに 1 行 (正常、または問題) と、足りない番号の行を表示します。\n"
    "別の引数で検査済みの組の分割ファイルは、もう一度は検査しません。修復用ファイルがあるときは、\n"
    "そのマニフェストと各修復用ファイルも表示し、各分割ファイルを SHA-256 で証明して、そのまま統合\n"
    "できるか、修復すれば統合できるか (復元する分割ファイル)、統合できないか (あと何個の修復用ファイル\n"
    "が必要か) を示します。すべてが正常なときだけ 0 で終了します。"};
const ResultKey kResult[] = {{"sets", "[]"}, {nullptr, nullptr}};

struct Finding {
    std::string file;     // empty for a line about the whole set
    std::string kind;
    std::string message;
    std::vector<std::pair<const char*, uint64_t>> values;
};

struct Scan {
    PieceOutcome outcome;
    std::string error;
};

Scan ScanBlocks(const std::string& path, Progress& progress)
{
    Scan scan;
    File file;
    if (!file.OpenForReading(path)) {
        scan.outcome.status = PieceStatus::ReadFailed;
        scan.error = file.Error();
        return scan;
    }
    FileSource source(file);
    std::vector<uint8_t> chunk(kChunkSize);
    scan.outcome = JoinPieceBlocks(source, nullptr, chunk.data(), progress);
    scan.error = file.Error();
    return scan;
}

uint64_t TailBytes(uint64_t length)
{
    return length > kPieceIdSize ? (length - kPieceIdSize) % kChunkSize : 0;
}

// Findings that both the block scan and the collection or the lengths can
// make of a piece.
using Piece = PlannedFile<char>;

Finding TailFinding(const Piece& piece)
{
    return {piece.name, "tail", Say(&kTail, piece.name.c_str(), TailBytes(piece.head.length)),
            {{"bytes", TailBytes(piece.head.length)}}};
}

Finding ShortIdFinding(const Piece& piece)
{
    return {piece.name, "short-id", Say(&kShortId, piece.name.c_str(), piece.head.length),
            {{"bytes", piece.head.length}}};
}

Finding UnreadableFinding(const Piece& piece, const std::string& error)
{
    return {piece.name, "unreadable", Say(&kUnreadable, piece.name.c_str(), error.c_str()), {}};
}

void AddScanFinding(const Piece& piece, const Scan& scan, std::vector<Finding>* findings)
{
    const char* name = piece.name.c_str();
    const PieceOutcome& out = scan.outcome;
    switch (out.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
    case PieceStatus::Stopped:
        return;
    case PieceStatus::Corrupted:
        findings->push_back({piece.name, "damaged", Say(&kDamaged, name, out.blocks + 1, out.offset),
                             {{"block", out.blocks + 1}, {"offset", out.offset}}});
        return;
    case PieceStatus::Tail:
        findings->push_back(TailFinding(piece));
        return;
    case PieceStatus::ShortId:
        findings->push_back(ShortIdFinding(piece));
        return;
    default:
        findings->push_back(UnreadableFinding(piece, scan.error));
        return;
    }
}

void AddLengthFinding(const Piece& piece, const Scan& scan, std::vector<Finding>* findings)
{
    const char* name = piece.name.c_str();
    const uint64_t length = piece.head.length;
    switch (piece.lengthFault) {
    case LengthFault::None:
        return;
    case LengthFault::Truncated:
        findings->push_back(
            {piece.name, "truncated", Say(&kTruncated, name, length), {{"length", length}}});
        return;
    case LengthFault::Grown:
        findings->push_back({piece.name, "grown", Say(&kGrown, name, length), {{"length", length}}});
        return;
    case LengthFault::Tail:
        if (scan.outcome.status != PieceStatus::Tail)
            findings->push_back(TailFinding(piece));
        return;
    case LengthFault::Misshapen:
        findings->push_back(
            {piece.name, "misshapen", Say(&kMisshapen, name, length), {{"length", length}}});
        return;
    }
}

// A file that is named as a piece of the division but is not one of its
// members.
void AddOutsiderFinding(const DivisionFiles& division, const SystemFolder& folder,
                        const Piece& piece, std::vector<Finding>* findings)
{
    const char* name = piece.name.c_str();
    const FileHead& head = piece.head;
    switch (piece.verdict) {
    case PlanVerdict::ForeignId:
        findings->push_back({piece.name, "foreign-id",
                             Say(&kForeignId, name, IdText(head.id).c_str(),
                                 IdText(division.plan.id).c_str()),
                             {{"id", head.id}}});
        return;
    case PlanVerdict::PassedOver:
        if (head.readable && head.idBytes == int(kPieceIdSize)) {
            findings->push_back({piece.name, "other-division",
                                 Say(&kOtherDivision, name, IdText(head.id).c_str()),
                                 {{"id", head.id}}});
            return;
        }
        [[fallthrough]];
    case PlanVerdict::ShortId:
    case PlanVerdict::Unreadable:
        findings->push_back(head.readable ? ShortIdFinding(piece)
                                          : UnreadableFinding(piece, folder.ErrorOf(piece.name)));
        return;
    case PlanVerdict::WrongCount:
        findings->push_back({piece.name, "wrong-count", Say(&kWrongCount, name, piece.number.count),
                             {{"count", piece.number.count}}});
        return;
    case PlanVerdict::Duplicate:
        findings->push_back({piece.name, "duplicate", Say(&kDuplicate, name, piece.number.number),
                             {{"number", piece.number.number}}});
        return;
    case PlanVerdict::Member:
        return;
    }
}

JsonObject EmptySet()
{
    JsonObject set;
    set.Set("arguments", "[]").SetNull("error").SetNull("dividedFile").SetNull("count");
    set.SetNull("id").SetNull("idTime").SetBool("mergeable", false).SetNumber("dataBytes", 0);
    return set.Set("findings", "[]").Set("missing", "[]").SetNull("recovery");
}

std::string FindingsJson(const std::vector<Finding>& findings)
{
    JsonArray list;
    for (const Finding& f : findings) {
        JsonObject item;
        if (f.file.empty())
            item.SetNull("file");
        else
            item.SetName("file", f.file);
        item.SetString("kind", f.kind);
        for (const auto& value : f.values)
            item.SetNumber(value.first, value.second);
        list.Add(item.SetString("message", f.message).Dump());
    }
    return list.Dump();
}

// What the recovery pieces of a set with a manifest say of it.
struct RecoveryVerdict {
    bool inspected = false;
    bool mergeable = false;         // as it is or after a repair
    bool everythingWhole = false;   // every piece and recovery piece as written
    std::string line;               // the set's last line
    JsonObject json;
};

// Proves the set by its manifest: findings for the recovery pieces and for
// pieces whose blocks pass but whose SHA-256 does not; false when stopped.
bool CheckRecovery(const DivisionFiles& division, SystemFolder& folder,
                   const RecoverySet<char>& recovery, const Options& options,
                   std::vector<Finding>* findings, RecoveryVerdict* verdict)
{
    const MergePlan<char>& plan = division.plan;
    const RecoveryManifest& manifest = recovery.manifest;
    OpenedSet opened = OpenRecoverySet(folder, plan, recovery);
    SetInspection inspection;
    {
        Progress progress(SetBytes(plan, recovery), options.Has(kOptQuiet) || options.Has(kOptJson));
        bool stopped = false;
        inspection = InspectSet(manifest, opened.sources, progress, &stopped);
        if (stopped)
            return false;
    }
    verdict->inspected = true;
    bool whole = inspection.Whole();
    for (unsigned n = 1; n <= plan.count && n <= manifest.count; ++n)
        if (inspection.pieces[n - 1].state == PieceState::Lost && plan.places[n - 1] >= 0) {
            const std::string& name = plan.Place(n).name;
            findings->push_back({name, "sha256-mismatch", Say(&kHashMismatch, name.c_str()), {}});
        }
    for (const PieceInspection& piece : inspection.pieces)
        whole = whole && piece.state == PieceState::Whole;
    JsonArray files, missing;
    for (size_t i = 0; i < plan.recovery.size(); ++i) {
        RecoveryFileState state = DescribeRecoveryFile(plan, recovery, i, &inspection, folder);
        whole = whole && std::string(state.kind) == "usable";
        findings->push_back({plan.recovery[i].name, std::string("recovery-") + state.kind,
                             state.message, {{"index", plan.recovery[i].number.index}}});
        JsonObject file;
        file.SetName("name", plan.recovery[i].name).SetNumber("index", plan.recovery[i].number.index);
        files.Add(file.SetString("state", state.kind).Dump());
    }
    std::vector<unsigned> lostIndexes;
    for (unsigned r = 1; r <= manifest.recoveryCount; ++r)
        if (inspection.recovery[r - 1].state == RecoveryState::Missing) {
            bool named = false;
            for (const PlannedRecovery<char>& planned : plan.recovery)
                named = named || planned.number.index == r;
            if (!named) {
                lostIndexes.push_back(r);
                missing.AddNumber(r);
            }
        }
    if (!lostIndexes.empty())
        findings->push_back({"", "recovery-missing",
                             Say(&kRecoveryMissing, NumberList(lostIndexes).c_str(), manifest.recoveryCount),
                             {}});
    whole = whole && lostIndexes.empty();
    std::vector<unsigned> lost = RebuiltPieces(inspection);
    JsonArray lostJson;
    for (unsigned n : lost)
        lostJson.AddNumber(n);
    const char* state = inspection.Whole()          ? "whole"
                        : inspection.Rebuildable() ? "repairable"
                                                   : "unrecoverable";
    verdict->mergeable = inspection.Rebuildable();
    verdict->everythingWhole = whole;
    std::vector<unsigned> altered;   // data whole, the file not as written
    for (unsigned p = 0; p < manifest.count; ++p)
        if (DataIsWhole(inspection.pieces[p].state) && inspection.pieces[p].state != PieceState::Whole)
            altered.push_back(p + 1);
    verdict->line = inspection.Whole() && !altered.empty()
                        ? Say(&kWouldMergeNotAsDivided, manifest.count, manifest.sourceSize,
                              NumberList(altered).c_str())
                    : inspection.Whole() ? Say(&kWouldMerge, manifest.count, manifest.sourceSize)
                    : inspection.Rebuildable()
                        ? Say(&kWouldMergeRepaired, NumberList(lost).c_str())
                        : Say(&kWouldNotMergeShort, ShortfallText(inspection.shortfall).c_str());
    verdict->json.Set("manifest", ManifestJson(manifest).Dump()).SetString("state", state);
    verdict->json.Set("lost", lostJson.Dump()).SetNumber("shortfall", inspection.shortfall);
    verdict->json.Set("files", files.Dump()).Set("missing", missing.Dump());
    return true;
}

// Checks one planned set; its lines or its JSON into *set. The exit code.
int CheckSet(const DivisionFiles& division, SystemFolder& folder, const Options& options,
             Report& report, JsonObject* set)
{
    const MergePlan<char>& plan = division.plan;
    std::vector<Finding> findings;
    bool blocksOk = true;
    uint64_t dataBytes = 0, total = 0;
    for (const Piece& piece : plan.files)
        total += piece.verdict == PlanVerdict::Member ? piece.head.length : 0;
    Progress progress(total, options.Has(kOptQuiet) || report.Json());
    for (const Piece& piece : plan.files) {
        if (piece.verdict != PlanVerdict::Member) {
            AddOutsiderFinding(division, folder, piece, &findings);
            continue;
        }
        Scan scan = ScanBlocks(division.PathOf(piece), progress);
        if (scan.outcome.status == PieceStatus::Stopped)
            return report.Interrupted();
        size_t before = findings.size();
        AddScanFinding(piece, scan, &findings);
        blocksOk &= findings.size() == before;
        AddLengthFinding(piece, scan, &findings);
        if (findings.size() == before)
            findings.push_back({piece.name, "ok",
                                Say(&kOk, piece.name.c_str(), scan.outcome.blocks,
                                    scan.outcome.dataBytes),
                                {{"blocks", scan.outcome.blocks},
                                 {"dataBytes", scan.outcome.dataBytes}}});
        dataBytes += scan.outcome.dataBytes;
    }
    JsonArray missingJson;
    for (unsigned n : plan.missing)
        missingJson.AddNumber(n);
    if (!plan.missing.empty())
        findings.push_back(
            {"", "missing", Say(&kMissing, NumberList(plan.missing).c_str(), plan.count), {}});
    bool mergeable = plan.Mergeable() && blocksOk;
    bool whole = mergeable;
    RecoverySet<char> recovery = ReadDivisionRecovery(folder, plan);
    RecoveryVerdict verdict;
    if (recovery.hasManifest) {
        if (!CheckRecovery(division, folder, recovery, options, &findings, &verdict))
            return report.Interrupted();
        mergeable = verdict.mergeable;
        whole = verdict.everythingWhole;
    } else {
        // Recovery pieces without a manifest to use: said, and the set not whole.
        for (size_t i = 0; i < plan.recovery.size(); ++i) {
            RecoveryFileState state = DescribeRecoveryFile(plan, recovery, i, nullptr, folder);
            findings.push_back({plan.recovery[i].name, std::string("recovery-") + state.kind,
                                state.message, {{"index", plan.recovery[i].number.index}}});
            whole = false;
        }
    }
    if (recovery.hasManifest)
        ShowManifest(recovery.manifest, report);
    for (const Finding& finding : findings)
        report.Line(finding.message);
    if (verdict.inspected)
        report.Line(verdict.line);
    else
        report.Line(mergeable ? Say(&kWouldMerge, plan.count, dataBytes) : Say(&kWouldNotMerge));

    set->SetName("dividedFile", division.selected.dividedName).SetNumber("count", plan.count);
    if (plan.hasId)
        set->SetNumber("id", plan.id).SetString("idTime", IdTime(plan.id));
    set->SetBool("mergeable", mergeable).SetNumber("dataBytes", dataBytes);
    set->Set("findings", FindingsJson(findings)).Set("missing", missingJson.Dump());
    if (verdict.inspected)
        set->Set("recovery", verdict.json.Dump());
    return whole ? kExitOk : kExitFailed;
}

struct CheckedSet {
    JsonObject json;
    JsonArray arguments;
};

int RunVerify(const Options& options, Report& report)
{
    std::vector<CheckedSet> sets;
    std::map<std::string, size_t> setOfFile;   // canonical folder and name: index into sets
    int worst = kExitOk;
    for (const std::string& argument : options.operands) {
        CheckedSet checked = {EmptySet(), JsonArray()};
        checked.arguments.AddName(argument);
        SelectedPiece selected;
        if (!SelectPiece(argument, &selected, report)) {
            worst = std::max(worst, kExitUsage);
            checked.json.Set("error", report.LastError());
            sets.push_back(std::move(checked));
            continue;
        }
        std::string folderKey = CanonicalFolder(selected.folder) + "/";
        auto known = setOfFile.find(folderKey + selected.fileName);
        if (known != setOfFile.end()) {
            sets[known->second].arguments.AddName(argument);
            continue;
        }
        if (sets.size() > 0)
            report.Line("");
        SystemFolder folder(selected.folder);
        DivisionFiles division;
        int code = kExitFailed;
        if (FindDivision(selected, folder, &division, report)) {
            code = CheckSet(division, folder, options, report, &checked.json);
            for (const Piece& piece : division.plan.files)
                if (piece.verdict == PlanVerdict::Member)
                    setOfFile[folderKey + piece.name] = sets.size();
            for (const PlannedRecovery<char>& file : division.plan.recovery)
                setOfFile[folderKey + file.name] = sets.size();
        } else {
            checked.json.Set("error", report.LastError());
        }
        setOfFile[folderKey + selected.fileName] = sets.size();
        sets.push_back(std::move(checked));
        worst = std::max(worst, code);
        if (code > kExitUsage)
            break;   // interrupted
    }
    JsonArray list;
    for (CheckedSet& set : sets)
        list.Add(set.json.Set("arguments", set.arguments.Dump()).Dump());
    report.Result().Set("sets", list.Dump());
    return worst;
}

}  // namespace

const CommandSpec kVerifyCommand = {
    "verify", &kOperands, &kSummary, &kDetails, 0, 1, SIZE_MAX, kResult, RunVerify,
};

}  // namespace sundrel::cli
