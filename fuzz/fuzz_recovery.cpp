// A folder of pieces and recovery pieces from anywhere (packed_folder.h),
// merged and repaired as the programs merge and repair them; the whole
// input also read as a manifest on its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "memory_streams.h"
#include "merge_plan.h"
#include "packed_folder.h"
#include "recovery_inspection.h"
#include "recovery_piece.h"
#include "recovery_rebuild.h"
#include "recovery_set.h"

namespace {

using namespace sundrel;

// The harness's own bound: larger sets only cost time here.
constexpr uint64_t kLargestSource = 8 * kMiB;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RecoveryManifest alone;
    if (DecodeManifest(data, size, &alone) == ManifestFault::None &&
        EncodeManifest(alone) != std::vector<uint8_t>(data, data + ManifestLength(alone.count)))
        std::abort();

    MemoryFolder folder;
    std::string selected;
    if (!UnpackFolder(data, size, 6, &folder, &selected))
        return 0;
    MergePlan<char> plan = PlanMerge<char>(folder, selected);
    RecoverySet<char> recovery = ReadRecoverySet(folder, plan);
    if (!recovery.hasManifest || recovery.manifest.sourceSize > kLargestSource)
        return 0;
    const RecoveryManifest& manifest = recovery.manifest;
    OpenedSet opened = OpenRecoverySet(folder, plan, recovery);
    MemorySink merged;
    BlockObserver observer;
    RecoveryMergeOutcome outcome = MergeWithRecovery(manifest, opened.sources, merged, observer);
    if (outcome.result.status != RebuildStatus::Ok) {
        if (!merged.bytes.empty() && outcome.result.status == RebuildStatus::Unrecoverable)
            std::abort();
        return 0;
    }
    // Success means the very file the manifest proves.
    if (merged.bytes.size() != manifest.sourceSize ||
        Sha256Of(merged.bytes.data(), merged.bytes.size()) != manifest.source)
        std::abort();
    for (unsigned p = 0; outcome.inspected && p < manifest.count; ++p) {
        MemorySink repaired;
        RebuildOutcome done =
            WriteRepairedPiece(manifest, outcome.inspection, opened.sources, p, repaired, observer);
        if (done.status == RebuildStatus::Ok &&
            Sha256Of(repaired.bytes.data(), repaired.bytes.size()) != manifest.pieces[p])
            std::abort();
    }
    return 0;
}
