// The page's survey: the files the user gave, grouped into sets by divided
// name and count, and for each set what `sundrel verify` says of it, piece
// by piece: the same merge plan, the same block scan, the same findings.
// Texts are the page's; this gives each finding's kind and values. A set
// with recovery pieces is also judged by them: each one's state, and
// whether the set merges, merges after repair, or cannot.
#include <algorithm>
#include <string>
#include <vector>

#include "host.h"
#include "host_files.h"
#include "piece_names.h"
#include "recovery.h"
#include "recovery_set.h"
#include "recovery_verdict.h"
#include "results.h"

namespace sundrel::web {

namespace {

using Piece = PlannedFile<char>;

// Reports the bytes checked about every MiB.
class SurveyProgress : public BlockObserver {
public:
    void AfterBlock(size_t pieceBytes) override
    {
        done_ += pieceBytes;
        if (done_ - reported_ >= kMiB) {
            reported_ = done_;
            HostProgress(double(done_));
        }
    }

private:
    uint64_t done_ = 0, reported_ = 0;
};

PieceOutcome ScanBlocks(int file, uint64_t length, BlockObserver& progress)
{
    HostFileSource source(file, {{0, length}});
    std::vector<uint8_t> chunk(kChunkSize);
    return JoinPieceBlocks(source, nullptr, chunk.data(), progress);
}

uint64_t TailBytes(uint64_t length)
{
    return length > kPieceIdSize ? (length - kPieceIdSize) % kChunkSize : 0;
}

// One finding: the file, its kind, and the numbers its text needs.
void Finding(Json& out, const std::string& file, const char* kind,
             std::initializer_list<std::pair<const char*, uint64_t>> values = {})
{
    out.Open('{');
    if (!file.empty())
        out.Field("file", file);
    out.Field("kind", kind);
    for (const auto& value : values)
        out.Field(value.first, value.second);
    out.Close('}');
}

// What the block scan found; false when the blocks are not all sound.
bool ScanFinding(Json& out, const Piece& piece, const PieceOutcome& scan)
{
    switch (scan.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
    case PieceStatus::Stopped:
        return true;
    case PieceStatus::Corrupted:
        Finding(out, piece.name, "damaged", {{"block", scan.blocks + 1}, {"offset", scan.offset}});
        return false;
    case PieceStatus::Tail:
        Finding(out, piece.name, "tail", {{"bytes", TailBytes(piece.head.length)}});
        return false;
    case PieceStatus::ShortId:
        Finding(out, piece.name, "short-id", {{"bytes", piece.head.length}});
        return false;
    default:
        Finding(out, piece.name, "unreadable");
        return false;
    }
}

// What the lengths say; false when they are at fault.
bool LengthFinding(Json& out, const Piece& piece, const PieceOutcome& scan)
{
    const uint64_t length = piece.head.length;
    switch (piece.lengthFault) {
    case LengthFault::None:
        return true;
    case LengthFault::Truncated:
        Finding(out, piece.name, "truncated", {{"length", length}});
        return false;
    case LengthFault::Grown:
        Finding(out, piece.name, "grown", {{"length", length}});
        return false;
    case LengthFault::Tail:
        if (scan.status != PieceStatus::Tail)
            Finding(out, piece.name, "tail", {{"bytes", TailBytes(length)}});
        return false;
    case LengthFault::Misshapen:
        Finding(out, piece.name, "misshapen", {{"length", length}});
        return false;
    }
    return true;
}

// A file named as a piece of the division that is none of its members.
void OutsiderFinding(Json& out, const Piece& piece)
{
    const FileHead& head = piece.head;
    switch (piece.verdict) {
    case PlanVerdict::ForeignId:
        Finding(out, piece.name, "foreign-id", {{"id", head.id}});
        return;
    case PlanVerdict::PassedOver:
        if (head.readable && head.idBytes == int(kPieceIdSize)) {
            Finding(out, piece.name, "other-division", {{"id", head.id}});
            return;
        }
        [[fallthrough]];
    case PlanVerdict::ShortId:
    case PlanVerdict::Unreadable:
        if (head.readable)
            Finding(out, piece.name, "short-id", {{"bytes", head.length}});
        else
            Finding(out, piece.name, "unreadable");
        return;
    case PlanVerdict::WrongCount:
        Finding(out, piece.name, "wrong-count", {{"count", piece.number.count}});
        return;
    case PlanVerdict::Duplicate:
        Finding(out, piece.name, "duplicate", {{"number", piece.number.number}});
        return;
    case PlanVerdict::Member:
        return;
    }
}

struct Set {
    std::string key;           // divided name in ASCII lower case, and count
    std::string selected;      // the piece the set is planned from: its lowest number
    PieceNumber number;
};

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

// The sets among the names; names that are no exact piece name go to
// others.
std::vector<Set> SetsOf(const std::vector<std::string>& names, std::vector<std::string>* others)
{
    std::vector<Set> sets;
    for (const std::string& name : names) {
        std::string_view divided;
        PieceNumber number;
        RecoveryNumber recovery;
        if (!DividedNameOf<char>(name, &divided)) {
            others->push_back(name);
            continue;
        }
        if (ParseRecoveryFileName<char>(name, divided, &recovery)) {
            // Planned from a recovery piece only when no piece is given.
            number = {kMaxPieceCount + 1, recovery.count};
        } else if (!ParsePieceFileName<char>(name, divided, &number)) {
            others->push_back(name);
            continue;
        }
        std::string key = LowerAscii(divided) + '/' + std::to_string(number.count);
        auto set = std::find_if(sets.begin(), sets.end(), [&](const Set& s) { return s.key == key; });
        if (set == sets.end()) {
            sets.push_back({key, name, number});
        } else if (number.number < set->number.number ||
                   (number.number == set->number.number && name < set->selected)) {
            set->selected = name;
            set->number = number;
        }
    }
    std::sort(sets.begin(), sets.end(), [](const Set& a, const Set& b) { return a.key < b.key; });
    return sets;
}

// What the recovery pieces say of a set.
struct RecoveryJudgement {
    RecoverySet<char> recovery;
    bool judged = false;   // inspected through the manifest, which decides the set's state
    SetInspection inspection;
    uint64_t inspectBytes = 0;   // what the inspection reads
};

// The set through its recovery pieces' manifest, when they have one;
// inspected when inspect is set (every piece and recovery piece read once
// more).
RecoveryJudgement JudgeByRecovery(HostFolder& folder, const MergePlan<char>& plan, bool inspect,
                                  SurveyProgress& progress)
{
    RecoveryJudgement judgement;
    judgement.recovery = ReadRecoverySet(folder, plan);
    if (!judgement.recovery.hasManifest)
        return judgement;
    const OpenedSet opened = OpenRecoverySet(folder, plan, judgement.recovery);
    for (const std::unique_ptr<RandomSource>& file : opened.files) {
        uint64_t length = 0;
        if (file && file->Size(&length))
            judgement.inspectBytes += length;
    }
    if (inspect) {
        bool stopped = false;
        judgement.inspection = InspectSet(judgement.recovery.manifest, opened.sources, progress, &stopped);
        judgement.judged = true;
    }
    return judgement;
}

void NumberList(Json& out, const char* key, const std::vector<unsigned>& numbers)
{
    out.Key(key).Open('[');
    for (unsigned n : numbers)
        out.Number(n);
    out.Close(']');
}

const char* RecoveryKind(RecoveryFileKind kind)
{
    switch (kind) {
    case RecoveryFileKind::Usable:
        return "recovery-usable";
    case RecoveryFileKind::Damaged:
        return "recovery-damaged";
    case RecoveryFileKind::OtherDivision:
        return "recovery-other-division";
    case RecoveryFileKind::Unreadable:
        return "recovery-unreadable";
    case RecoveryFileKind::Unused:
        return "recovery-unused";
    }
    return "recovery-unreadable";
}

// What `sundrel verify` adds for recovery pieces, after the pieces' findings:
// pieces whose blocks pass but which the manifest does not prove, every
// recovery file, and the recovery pieces no file is named as.
void RecoveryFindings(Json& out, const MergePlan<char>& plan, const RecoveryJudgement& judgement)
{
    const SetInspection* inspected = judgement.judged ? &judgement.inspection : nullptr;
    const RecoveryManifest& manifest = judgement.recovery.manifest;
    for (unsigned n = 1; inspected && n <= plan.count && n <= inspected->pieces.size(); ++n)
        if (inspected->pieces[n - 1].state == PieceState::Lost && plan.places[n - 1] >= 0)
            Finding(out, plan.Place(n).name, "sha256-mismatch");
    for (size_t i = 0; i < plan.recovery.size(); ++i) {
        const PlannedRecovery<char>& file = plan.recovery[i];
        const unsigned index = file.number.index;
        const RecoveryFileKind kind = JudgeRecoveryFile(plan, judgement.recovery, i, inspected);
        if (kind == RecoveryFileKind::Damaged)
            Finding(out, file.name, RecoveryKind(kind),
                    {{"index", index}, {"total", file.number.total},
                     {"blocks", UnusableBlocks(inspected->recovery[index - 1], LayoutOf(manifest).Stripes())}});
        else if (kind == RecoveryFileKind::OtherDivision)
            Finding(out, file.name, RecoveryKind(kind), {{"id", file.head.id}});
        else if (kind == RecoveryFileKind::Unreadable)
            Finding(out, file.name, RecoveryKind(kind), {{"fault", uint64_t(judgement.recovery.files[i].fault)}});
        else if (kind == RecoveryFileKind::Usable && !inspected)
            Finding(out, file.name, "recovery-unchecked", {{"index", index}, {"total", file.number.total}});
        else
            Finding(out, file.name, RecoveryKind(kind), {{"index", index}, {"total", file.number.total}});
    }
    const std::vector<unsigned> unnamed = inspected ? UnnamedRecoveryPieces(plan, judgement.recovery)
                                                    : std::vector<unsigned>();
    if (!unnamed.empty()) {
        out.Open('{').Field("kind", "recovery-missing").Field("total", manifest.recoveryCount);
        NumberList(out, "numbers", unnamed);
        out.Close('}');
    }
}

void SurveySet(Json& out, HostFolder& folder, const Set& set, bool scanBlocks,
               SurveyProgress& progress)
{
    const MergePlan<char> plan = PlanMerge<char>(folder, set.selected);
    out.Open('{').Field("dividedName", plan.dividedName).Field("count", plan.count);
    out.Field("selected", set.selected);
    if (plan.hasId)
        out.Field("id", plan.id);
    out.Key("findings").Open('[');
    bool blocksOk = true;
    uint64_t dataBytes = 0;
    for (const Piece& piece : plan.files) {
        // Another count's pieces that are nothing of this set show in their own.
        if (piece.number.count != plan.count && piece.verdict == PlanVerdict::PassedOver)
            continue;
        if (piece.verdict != PlanVerdict::Member) {
            OutsiderFinding(out, piece);
            continue;
        }
        PieceOutcome scan;
        scan.status = PieceStatus::Stopped;   // not scanned: nothing to say of the blocks
        if (scanBlocks)
            scan = ScanBlocks(folder.IndexOf(piece.name), piece.head.length, progress);
        const bool blocksSound = ScanFinding(out, piece, scan);
        blocksOk &= blocksSound;
        const bool lengthSound = LengthFinding(out, piece, scan);
        if (blocksSound && lengthSound && scan.status != PieceStatus::Stopped)
            Finding(out, piece.name, "ok", {{"blocks", scan.blocks}, {"dataBytes", scan.dataBytes}});
        else if (blocksSound && lengthSound)
            Finding(out, piece.name, "unchecked", {{"length", piece.head.length}});
        dataBytes += scan.dataBytes;
    }
    out.Close(']');
    NumberList(out, "missing", plan.missing);
    const RecoveryJudgement recovery = JudgeByRecovery(folder, plan, scanBlocks, progress);
    out.Key("recoveryFindings").Open('[');
    RecoveryFindings(out, plan, recovery);
    out.Close(']');
    if (!plan.recovery.empty())
        out.Field("inspectBytes", recovery.inspectBytes);
    if (recovery.judged) {
        // The recovery pieces prove the set: what they cannot rebuild is lost.
        const SetInspection& inspection = recovery.inspection;
        const char* state = inspection.Whole() ? "merges" : inspection.Rebuildable() ? "repairs" : "cannot";
        out.Field("state", state).Field("dataBytes", recovery.recovery.manifest.sourceSize);
        NumberList(out, "rebuild", RebuiltPieces(inspection));
        NumberList(out, "repair", PiecesToRepair(inspection));
        out.Field("shortfall", inspection.shortfall);
    } else {
        const bool merges = plan.Mergeable() && blocksOk && scanBlocks;
        out.Field("state", merges ? "merges" : "cannot").Field("dataBytes", dataBytes);
    }
    out.Close('}');
}

}  // namespace

}  // namespace sundrel::web

// Every set among the page's files, with its findings. With scanBlocks 0
// only names, IDs and lengths are judged, quickly.
SUNDREL_EXPORT("sd_survey") uint8_t* SdSurvey(int scanBlocks)
{
    using namespace sundrel::web;
    HostFolder folder;
    std::vector<std::string> others;
    const std::vector<Set> sets = SetsOf(folder.Names(), &others);
    SurveyProgress progress;
    Json out;
    out.Open('{').Key("sets").Open('[');
    for (const Set& set : sets)
        SurveySet(out, folder, set, scanBlocks != 0, progress);
    out.Close(']').Key("others").Open('[');
    for (const std::string& name : others)
        out.String(name);
    out.Close(']').Close('}');
    return HandOver(out.Text());
}
