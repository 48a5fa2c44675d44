// Merge, repair and recovery pieces for the page, each in one call of the
// core that writes through HostOutput: the page suspends the call while it
// writes, so that only a segment is ever held.
#include "recovery.h"

#include <string>

#include "host.h"
#include "host_files.h"
#include "piece_names.h"
#include "recovery_set.h"
#include "recovery_writer.h"
#include "results.h"

namespace sundrel::web {

std::vector<unsigned> PiecesToRepair(const SetInspection& inspection)
{
    std::vector<unsigned> numbers;
    for (size_t p = 0; p < inspection.pieces.size(); ++p)
        if (inspection.pieces[p].state != PieceState::Whole)
            numbers.push_back(unsigned(p + 1));
    return numbers;
}

namespace {

// Stops the core's work when the page's Stop reaches the worker: it looks
// every few MiB, also where nothing is written for a while.
class JobObserver : public BlockObserver {
public:
    bool BeforeBlock() override
    {
        if (goOn_ && read_ >= kLookEvery) {
            read_ = 0;
            goOn_ = HostJobGoOn() != 0;
        }
        return goOn_;
    }
    void AfterBlock(size_t bytes) override { read_ += bytes; }

private:
    static constexpr uint64_t kLookEvery = uint64_t(16) << 20;
    uint64_t read_ = 0;
    bool goOn_ = true;
};

// The set of the piece named selected, opened through its recovery pieces.
struct HostSet {
    HostFolder folder;
    MergePlan<char> plan;
    RecoverySet<char> recovery;
    OpenedSet opened;

    explicit HostSet(std::string_view selected)
        : plan(PlanMerge<char>(folder, selected)), recovery(ReadRecoverySet(folder, plan)),
          opened(OpenRecoverySet(folder, plan, recovery))
    {
    }
};

// How a merge or repair ended, for the worker: "ok", "ended" (the page
// ended it), or the failure and what it names.
void Outcome(Json& out, const HostSet& set, const RebuildOutcome& outcome, const HostOutput& output,
             uint64_t shortfall)
{
    switch (outcome.status) {
    case RebuildStatus::Ok:
        out.Field("status", "ok");
        return;
    case RebuildStatus::Stopped:
    case RebuildStatus::WriteFailed:
        // The page fails writes and ends jobs: it knows, unless the Stop
        // came while nothing was written.
        out.Field("status", output.Ended() ? "ended" : outcome.status == RebuildStatus::Stopped ? "stopped" : "write");
        return;
    case RebuildStatus::ReadFailed: {
        out.Field("status", "read");
        const std::string* name = FailedFileName(set.plan, set.recovery, outcome);
        if (name)
            out.Field("file", *name);
        return;
    }
    case RebuildStatus::Unrecoverable:
        out.Field("status", "unrecoverable").Field("shortfall", shortfall);
        return;
    case RebuildStatus::Mismatch:
        out.Field("status", "mismatch");
        return;
    }
}

}  // namespace

}  // namespace sundrel::web

using namespace sundrel;
using namespace sundrel::web;

// The merge of the set of the piece named selected through its recovery
// pieces into the output named mergedName: straight through while nothing
// is lost, else again from the start with the lost blocks rebuilt; proven
// by the manifest's SHA-256 either way. Gives the status and the pieces
// rebuilt.
SUNDREL_EXPORT("sd_merge_recovery")
uint8_t* SdMergeRecovery(const char* selected, int selectedLength, const char* mergedName,
                         int mergedNameLength)
{
    HostSet set(Utf8(selected, selectedLength));
    HostOutput output;
    JobObserver observer;
    RecoveryMergeOutcome outcome;
    outcome.result.status = RebuildStatus::WriteFailed;
    if (set.recovery.hasManifest && output.Begin(Utf8(mergedName, mergedNameLength))) {
        outcome = MergeWithRecovery(set.recovery.manifest, set.opened.sources, output, observer);
        if (outcome.result.status == RebuildStatus::Ok && !output.End())
            outcome.result.status = RebuildStatus::WriteFailed;
    }
    Json out;
    out.Open('{');
    Outcome(out, set, outcome.result, output, outcome.inspection.shortfall);
    out.Key("rebuilt").Open('[');
    if (outcome.inspected && outcome.result.status == RebuildStatus::Ok)
        for (unsigned n : RebuiltPieces(outcome.inspection))
            out.String(PieceFileName<char>(set.plan.dividedName, n, set.plan.count));
    out.Close(']').Close('}');
    return HandOver(out.Text());
}

// Every piece of the set that is not whole, written anew as the division
// wrote it, each an output of its own piece name. Gives the status and the
// pieces written.
SUNDREL_EXPORT("sd_repair")
uint8_t* SdRepair(const char* selected, int selectedLength)
{
    HostSet set(Utf8(selected, selectedLength));
    HostOutput output;
    JobObserver observer;
    RebuildOutcome result{RebuildStatus::WriteFailed};
    SetInspection inspection;
    std::vector<std::string> written;
    if (set.recovery.hasManifest) {
        bool stopped = false;
        inspection = InspectSet(set.recovery.manifest, set.opened.sources, observer, &stopped);
        result = {inspection.Rebuildable() ? RebuildStatus::Ok : RebuildStatus::Unrecoverable};
        for (unsigned n : PiecesToRepair(inspection)) {
            if (result.status != RebuildStatus::Ok)
                break;
            const std::string name = PieceFileName<char>(set.plan.dividedName, n, set.plan.count);
            result = {RebuildStatus::WriteFailed, n - 1};
            if (output.Begin(name))
                result = WriteRepairedPiece(set.recovery.manifest, inspection, set.opened.sources,
                                            n - 1, output, observer);
            if (result.status == RebuildStatus::Ok && !output.End())
                result.status = RebuildStatus::WriteFailed;
            if (result.status == RebuildStatus::Ok)
                written.push_back(name);
        }
    }
    Json out;
    out.Open('{');
    Outcome(out, set, result, output, inspection.shortfall);
    out.Key("written").Open('[');
    for (const std::string& name : written)
        out.String(name);
    out.Close(']').Close('}');
    return HandOver(out.Text());
}

SUNDREL_EXPORT("sd_division_new") Division* SdDivisionNew()
{
    return new Division;
}

SUNDREL_EXPORT("sd_division_free") void SdDivisionFree(Division* division)
{
    delete division;
}

// The piece whose bytes the division took last is complete.
SUNDREL_EXPORT("sd_division_piece_end") void SdDivisionPieceEnd(Division* division)
{
    division->hashes.EndPiece();
}

// Every piece is written: the manifest of total recovery pieces.
SUNDREL_EXPORT("sd_division_end")
void SdDivisionEnd(Division* division, uint32_t id, double sourceSize, double pieceSize, int count,
                   int total)
{
    division->manifest = division->hashes.Manifest(id, uint64_t(sourceSize), uint64_t(pieceSize),
                                                   unsigned(count), unsigned(total));
}

// Recovery piece index of the division, named name, read again from the
// source (file 0): its manifest, then its recovery blocks. Gives the status.
SUNDREL_EXPORT("sd_write_recovery")
uint8_t* SdWriteRecovery(Division* division, const char* name, int nameLength, int index)
{
    const RecoveryManifest& manifest = division->manifest;
    HostRandomSource source(0, WindowSize(manifest.count), manifest.count);
    HostOutput output;
    JobObserver observer;
    RecoveryWriteOutcome outcome{RecoveryWriteStatus::WriteFailed};
    ByteSink* sink = &output;
    const unsigned which = unsigned(index);
    if (output.Begin(Utf8(name, nameLength))) {
        outcome = WriteRecoveryPieces(source, manifest, &sink, &which, 1, observer);
        if (outcome.status == RecoveryWriteStatus::Ok && !output.End())
            outcome.status = RecoveryWriteStatus::WriteFailed;
    }
    Json out;
    out.Open('{');
    switch (outcome.status) {
    case RecoveryWriteStatus::Ok:
        out.Field("status", "ok");
        break;
    case RecoveryWriteStatus::Stopped:
    case RecoveryWriteStatus::WriteFailed:
        out.Field("status", output.Ended() ? "ended"
                            : outcome.status == RecoveryWriteStatus::Stopped ? "stopped" : "write");
        break;
    case RecoveryWriteStatus::ReadFailed:
    case RecoveryWriteStatus::Refused:
        out.Field("status", "read");
        break;
    }
    out.Close('}');
    return HandOver(out.Text());
}
