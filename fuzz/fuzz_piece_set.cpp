// A folder of pieces from anywhere: up to four files, each a name and its
// bytes, planned and checked as a merge plans and checks them. Input: per piece one byte of name
// length, the name, two bytes (little-endian) of data length, the data. The
// first piece is the one the user selected.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "memory_streams.h"
#include "merge_plan.h"
#include "piece_io.h"
#include "piece_layout.h"

namespace {

using namespace sundrel;

// The files of the input, in a folder; the first one's name is selected.
bool ReadFolder(const uint8_t* data, size_t size, MemoryFolder* folder, std::string* selected)
{
    size_t pos = 0;
    while (folder->files.size() < 4 && pos < size) {
        size_t nameLength = data[pos++];
        if (size - pos < nameLength + 2)
            break;
        std::string name(reinterpret_cast<const char*>(data + pos), nameLength);
        pos += nameLength;
        size_t dataLength = data[pos] | data[pos + 1] << 8;
        pos += 2;
        if (dataLength > size - pos)
            dataLength = size - pos;
        if (selected->empty())
            *selected = name;
        folder->files[name].assign(reinterpret_cast<const char*>(data + pos), dataLength);
        pos += dataLength;
    }
    return !selected->empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryFolder folder;
    std::string selected;
    if (!ReadFolder(data, size, &folder, &selected))
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
