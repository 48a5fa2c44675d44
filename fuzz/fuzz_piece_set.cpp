// A set of pieces from anywhere: up to four files, each a name and its
// bytes, checked as a merge checks them. Input: per piece one byte of name
// length, the name, two bytes (little-endian) of data length, the data. The
// first piece is the one the user selected.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "memory_streams.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "piece_names.h"
#include "piece_set.h"

namespace {

using namespace sundrel;

struct File {
    std::string name;
    std::string bytes;
};

std::vector<File> SplitInput(const uint8_t* data, size_t size)
{
    std::vector<File> files;
    size_t pos = 0;
    while (files.size() < 4 && pos < size) {
        size_t nameLength = data[pos++];
        if (size - pos < nameLength + 2)
            break;
        File file;
        file.name.assign(reinterpret_cast<const char*>(data + pos), nameLength);
        pos += nameLength;
        size_t dataLength = data[pos] | data[pos + 1] << 8;
        pos += 2;
        if (dataLength > size - pos)
            dataLength = size - pos;
        file.bytes.assign(reinterpret_cast<const char*>(data + pos), dataLength);
        pos += dataLength;
        files.push_back(file);
    }
    return files;
}

int IdBytesOf(const std::string& bytes, uint32_t* id)
{
    if (bytes.size() >= kPieceIdSize)
        *id = DecodePieceId(reinterpret_cast<const uint8_t*>(bytes.data()));
    return bytes.size() >= kPieceIdSize ? int(kPieceIdSize) : int(bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<File> files = SplitInput(data, size);
    if (files.empty())
        return 0;
    std::string_view divided;
    int count = PieceCountOfName<char>(files[0].name);
    if (!DividedNameOf<char>(files[0].name, &divided) || count < 1)
        return 0;

    std::vector<FoundPiece> found;
    std::vector<const File*> foundFiles;
    for (const File& file : files) {
        PieceNumber piece;
        if (!ParsePieceFileName<char>(file.name, divided, &piece))
            continue;
        FoundPiece entry = {piece.number, piece.count, 0, 0};
        entry.idBytes = IdBytesOf(file.bytes, &entry.id);
        found.push_back(entry);
        foundFiles.push_back(&file);
    }
    uint32_t selectedId = 0;
    int selectedIdBytes = IdBytesOf(files[0].bytes, &selectedId);
    Collection collection = CollectDivision(found, selectedIdBytes, selectedId, unsigned(count));
    if (!collection.complete)
        return 0;

    std::vector<uint64_t> lengths;
    for (int member : collection.members)
        lengths.push_back(foundFiles[member]->bytes.size());
    std::vector<LengthFault> faults(lengths.size());
    if (CheckPieceLengths(lengths.data(), lengths.size(), faults.data()) != lengths.size())
        return 0;

    // A set that passes every check merges into exactly the data its
    // lengths promise.
    MemorySink merged;
    uint64_t promised = 0;
    uint8_t chunk[kChunkSize];
    BlockObserver observer;
    for (size_t i = 0; i < lengths.size(); ++i) {
        uint64_t dataBytes = 0;
        if (!PieceDataBytes(lengths[i], &dataBytes))
            std::abort();
        promised += dataBytes;
        MemorySource source(foundFiles[collection.members[i]]->bytes);
        PieceOutcome out = JoinPieceBlocks(source, &merged, chunk, observer);
        bool whole = out.status == PieceStatus::Ok ||
                     (out.status == PieceStatus::Empty && lengths.size() == 1);
        if (!whole)
            return 0;
        if (out.dataBytes != dataBytes || out.offset != lengths[i])
            std::abort();
    }
    if (merged.bytes.size() != promised)
        std::abort();
    return 0;
}
