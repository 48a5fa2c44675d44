// Writing and reading the blocks of one piece over abstract byte streams:
// the Windows programs drive these with their file handles, the companion
// with its descriptors, the tests and fuzz targets with memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "piece_layout.h"

namespace sundrel {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes into buffer; *got < n only at the end of the data.
    // false on a read error.
    virtual bool Read(void* buffer, size_t n, size_t* got) = 0;
    // The same bytes where they can be looked at, valid until the next call:
    // a source that holds them in memory already points *data there and
    // saves a copy; any other reads them into scratch (n bytes).
    virtual bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got)
    {
        *data = scratch;
        return Read(scratch, n, got);
    }
};

// A file's bytes anywhere in it: what reads across the pieces of a set.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Reads up to n bytes at offset; *got < n only at the end of the data.
    // false on a read error.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) = 0;
    virtual bool Size(uint64_t* size) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all n bytes, or returns false.
    virtual bool Write(const void* data, size_t n) = 0;
};

// An output that can begin again from nothing: a merge that meets damage on
// its straight way through starts over with the lost blocks rebuilt.
class RestartableSink : public ByteSink {
public:
    virtual bool Restart() = 0;
};

// Called around every block: before it (false stops the piece, as a cancel
// does) and after it with the bytes of the piece file it covered.
class BlockObserver {
public:
    virtual ~BlockObserver() = default;
    virtual bool BeforeBlock() { return true; }
    virtual void AfterBlock(size_t pieceBytes) { (void)pieceBytes; }
};

enum class PieceStatus {
    Ok,
    Empty,           // 0 bytes: the one piece of an empty source
    Stopped,         // the observer stopped it
    ReadFailed,      // a read failed, or the source ended early when writing
    ShortId,         // 1 to 3 bytes where the divide file ID should be
    Tail,            // 1 or 2 bytes after the last whole block
    Corrupted,       // a block failed its FCS
    DataWriteFailed,
    FcsWriteFailed,  // writing pieces only
};

struct PieceOutcome {
    PieceStatus status = PieceStatus::Ok;
    uint64_t blocks = 0;       // blocks that passed (read) or were written
    uint64_t offset = 0;       // piece file offset where the outcome arose
    uint64_t dataBytes = 0;    // data bytes of the blocks that passed
    uint32_t id = 0;           // divide file ID read, little-endian
};

// The 4-byte divide file ID at the head of a piece.
bool WritePieceId(ByteSink& piece, uint32_t id);
uint32_t DecodePieceId(const uint8_t bytes[kPieceIdSize]);

// Writes dataBytes from source as blocks of at most 4096 bytes, each one
// read, one data write, one FCS write. buffer holds kBlockDataSize bytes
// for a source that needs it (see ByteSource::View).
PieceOutcome WritePieceBlocks(ByteSource& source, ByteSink& piece, uint64_t dataBytes,
                              uint8_t* buffer, BlockObserver& observer);

// Reads a whole piece: the ID, then chunks of at most 4098 bytes until the
// end, each checked against its FCS; the data of every block that passes
// goes to merged when one is given. chunk holds kChunkSize bytes, for the ID
// and for a source that needs it. Stops at the first fault.
PieceOutcome JoinPieceBlocks(ByteSource& piece, ByteSink* merged, uint8_t* chunk,
                             BlockObserver& observer);

}  // namespace sundrel
