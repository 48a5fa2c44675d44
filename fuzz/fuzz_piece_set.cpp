// A folder of pieces from anywhere (packed_folder.h): up to four files,
// planned and checked as a merge plans and checks them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "memory_streams.h"
#include "merge_plan.h"
#include "packed_folder.h"
#include "piece_io.h"
#include "piece_layout.h"

using namespace sundrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryFolder folder;
    std::string selected;
    if (!UnpackFolder(data, size, 4, &folder, &selected))
        return 0;
    MergePlan<char> plan = PlanMerge<char>(folder, selected);
    // Every place is held by a planned file of that number and count.
    for (unsigned n = 1; n <= plan.count; ++n)
        if (plan.places[n - 1] >= 0 &&
            (plan.Place(n).number.number != n || plan.Place(n).number.count != plan.count))
            std::abort();
    if (!plan.Mergeable())
        return 0;

    // A set that passes every check merges into exactly the data its
    // lengths promise.
    MemorySink merged;
    uint64_t promised = 0;
    uint8_t chunk[kChunkSize];
    BlockObserver observer;
    for (unsigned n = 1; n <= plan.count; ++n) {
        const PlannedFile<char>& piece = plan.Place(n);
        uint64_t dataBytes = 0;
        if (!PieceDataBytes(piece.head.length, &dataBytes))
            std::abort();
        promised += dataBytes;
        MemorySource source(folder.files[piece.name]);
        PieceOutcome out = JoinPieceBlocks(source, &merged, chunk, observer);
        bool whole = out.status == PieceStatus::Ok ||
                     (out.status == PieceStatus::Empty && plan.count == 1);
        if (!whole)
            return 0;
        if (out.dataBytes != dataBytes || out.offset != piece.head.length)
            std::abort();
    }
    if (merged.bytes.size() != promised)
        std::abort();
    return 0;
}
