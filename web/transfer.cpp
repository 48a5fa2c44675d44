// Merge and divide for the page, a segment at a time: the page awaits the
// writing of each segment before it asks for the next, so that nothing but
// one segment is held, and a Stop is seen between segments. Every segment
// goes through the core's block reader or writer.
#include <cstring>
#include <string>
#include <vector>

#include "host.h"
#include "host_files.h"
#include "mail_size.h"
#include "merged_name.h"
#include "piece_layout.h"
#include "piece_names.h"
#include "recovery.h"
#include "recovery_set.h"
#include "results.h"

namespace sundrel::web {

namespace {

// A segment's work and output, reused from one segment to the next.
struct Segment {
    PieceOutcome outcome;
    BufferSink output;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kChunkSize);
};

// The ID of a piece from its plan, then the piece's bytes from a source: a
// run of chunks read as JoinPieceBlocks reads a whole piece.
class IdThenChunks : public ByteSource {
public:
    IdThenChunks(uint32_t id, ByteSource& chunks) : chunks_(chunks)
    {
        const uint8_t bytes[kPieceIdSize] = {uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16),
                                             uint8_t(id >> 24)};
        std::memcpy(id_, bytes, kPieceIdSize);
    }
    bool Read(void* buffer, size_t n, size_t* got) override
    {
        if (idLeft_ == 0)
            return chunks_.Read(buffer, n, got);
        *got = n < idLeft_ ? n : idLeft_;
        std::memcpy(buffer, id_ + kPieceIdSize - idLeft_, *got);
        idLeft_ -= *got;
        return true;
    }
    bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got) override
    {
        if (idLeft_ == 0)
            return chunks_.View(n, scratch, data, got);
        *data = scratch;
        return Read(scratch, n, got);
    }

private:
    ByteSource& chunks_;
    uint8_t id_[kPieceIdSize];
    size_t idLeft_ = kPieceIdSize;
};

void PlanFailure(Json& out, const char* error, const std::string& file)
{
    out.Flag("ok", false).Field("error", error);
    if (!file.empty())
        out.Field("file", file);
}

}  // namespace

}  // namespace sundrel::web

using namespace sundrel;
using namespace sundrel::web;

// The merge of the set of the piece named selected: its pieces in order and
// the merged file's name for the given local time; or why it cannot merge
// ("collect": the set is not whole; "corrupted": a length says so), as the
// companion refuses before it creates a file. A set with recovery pieces
// that carry a manifest merges through them (sd_merge_recovery) where the
// page can run that (withRecovery).
SUNDREL_EXPORT("sd_merge_plan")
uint8_t* SdMergePlan(const char* selected, int selectedLength, int year, int month, int day,
                     int hour, int minute, int second, int withRecovery)
{
    HostFolder folder;
    const MergePlan<char> plan = PlanMerge<char>(folder, Utf8(selected, selectedLength));
    Json out;
    out.Open('{');
    const StampTime now{year, month, day, hour, minute, second};
    // Recovery pieces with a manifest prove and rebuild the set themselves.
    const RecoverySet<char> recovery = withRecovery ? ReadRecoverySet(folder, plan) : RecoverySet<char>{};
    if (recovery.hasManifest) {
        out.Flag("ok", true).Flag("recovery", true).Field("dataBytes", recovery.manifest.sourceSize);
        out.Field("mergedName", MergedFileName<char>(plan.dividedName, now));
    } else if (!plan.Collected()) {
        PlanFailure(out, "collect", "");
    } else if (plan.firstLengthFault < plan.count) {
        PlanFailure(out, "corrupted", plan.Place(unsigned(plan.firstLengthFault) + 1).name);
    } else {
        out.Flag("ok", true).Field("id", plan.id).Field("mergedName", MergedFileName<char>(plan.dividedName, now));
        out.Key("pieces").Open('[');
        for (unsigned n = 1; n <= plan.count; ++n) {
            const PlannedFile<char>& piece = plan.Place(n);
            out.Open('{').Field("name", piece.name).Field("index", uint64_t(folder.IndexOf(piece.name)));
            uint64_t dataBytes = 0;
            PieceDataBytes(piece.head.length, &dataBytes);
            out.Field("length", piece.head.length).Field("dataBytes", dataBytes).Close('}');
        }
        out.Close(']');
    }
    out.Close('}');
    return HandOver(out.Text());
}

// A piece's size for the source, chosen as the companion chooses it: pieceMiB
// when given, else the largest that fits mailLimit, else the default; then
// the names of the pieces and of as many recovery pieces as recovery asks
// for, or why there can be none.
SUNDREL_EXPORT("sd_divide_plan")
uint8_t* SdDividePlan(const char* source, int sourceLength, double size, int pieceMiB,
                      double mailLimit, int recovery)
{
    Json out;
    out.Open('{');
    unsigned miB = pieceMiB > 0 ? unsigned(pieceMiB) : kDefaultPieceMiB;
    if (pieceMiB <= 0 && mailLimit > 0) {
        const uint64_t limit = uint64_t(mailLimit);
        miB = LargestPieceMiBForMail(limit);
        if (miB == 0) {
            PlanFailure(out, "limit-too-small", "");
            return HandOver(out.Close('}').Text());
        }
        miB = miB > kMaxPieceMiB ? kMaxPieceMiB : miB;
        const uint64_t length = PieceFileLength(miB * kMiB);
        out.Key("mail").Open('{').Field("limit", limit).Field("pieceLength", length);
        out.Field("encoded", Base64MailBytes(length)).Field("left", limit - Base64MailBytes(length));
        out.Close('}');
    }
    const uint64_t count = PieceCountFor(uint64_t(size), miB * kMiB);
    out.Field("pieceMiB", miB).Field("pieceSize", miB * kMiB).Field("count", count);
    if (count > kMaxPieceCount) {
        PlanFailure(out, "too-many", "");
        return HandOver(out.Close('}').Text());
    }
    out.Flag("ok", true).Key("names").Open('[');
    for (unsigned n = 1; n <= count; ++n)
        out.String(PieceFileName<char>(Utf8(source, sourceLength), n, unsigned(count)));
    out.Close(']').Key("recoveryNames").Open('[');
    for (int index = 1; index <= recovery; ++index)
        out.String(RecoveryFileName<char>(Utf8(source, sourceLength), unsigned(count), unsigned(index),
                                          unsigned(recovery)));
    out.Close(']');
    // What the division writes, for its progress.
    const DivisionLayout layout{uint64_t(size), miB * kMiB, unsigned(count)};
    uint64_t outputBytes = recovery > 0 ? uint64_t(recovery) * layout.RecoveryPieceLength() : 0;
    for (unsigned piece = 0; piece < count; ++piece)
        outputBytes += layout.PieceLength(piece);
    out.Field("outputBytes", outputBytes).Close('}');
    return HandOver(out.Text());
}

// True when name is a piece or recovery piece of an earlier division of
// source: the names a division replaces, and no other.
SUNDREL_EXPORT("sd_is_piece_of")
int SdIsPieceOf(const char* name, int nameLength, const char* source, int sourceLength)
{
    PieceNumber number;
    RecoveryNumber recovery;
    return ParsePieceFileName<char>(Utf8(name, nameLength), Utf8(source, sourceLength), &number) ||
           ParseRecoveryFileName<char>(Utf8(name, nameLength), Utf8(source, sourceLength), &recovery);
}

SUNDREL_EXPORT("sd_segment_new") Segment* SdSegmentNew()
{
    return new Segment;
}

SUNDREL_EXPORT("sd_segment_free") void SdSegmentFree(Segment* segment)
{
    delete segment;
}

// Up to chunks chunks of piece file from start (a chunk boundary after the
// ID), checked as JoinPieceBlocks checks a piece: the set's ID, then those
// chunks. The data of the sound blocks lands in the segment's output.
// Returns the PieceStatus; the segment's blocks and data bytes count this
// segment's, its offset is the piece file's.
SUNDREL_EXPORT("sd_join_segment")
int SdJoinSegment(Segment* segment, int file, double start, int chunks, double length, uint32_t id)
{
    const uint64_t begin = uint64_t(start);
    uint64_t end = begin + uint64_t(chunks) * kChunkSize;
    end = end < uint64_t(length) ? end : uint64_t(length);
    HostFileSource chunksOfFile(file, {{begin, end}});
    IdThenChunks source(id, chunksOfFile);
    BlockObserver observer;
    segment->output.bytes.clear();
    segment->outcome = JoinPieceBlocks(source, &segment->output, segment->buffer.data(), observer);
    segment->outcome.offset += begin - kPieceIdSize;
    return int(segment->outcome.status);
}

// dataBytes of the source file from offset as the blocks of a piece, the
// piece's ID first when withId: a piece is its ID and then its segments,
// each a whole number of blocks but the last. division, when not null,
// takes the SHA-256 sums of the source's bytes and the piece's.
SUNDREL_EXPORT("sd_write_segment")
int SdWriteSegment(Segment* segment, int file, double offset, double dataBytes, int withId,
                   uint32_t id, Division* division)
{
    const uint64_t begin = uint64_t(offset), n = uint64_t(dataBytes);
    HostFileSource fileSource(file, {{begin, begin + n}});
    ByteSource& source = division ? division->hashes.Source(fileSource) : fileSource;
    ByteSink& output = division ? division->hashes.Piece(segment->output) : segment->output;
    BlockObserver observer;
    segment->output.bytes.clear();
    segment->outcome = PieceOutcome{};
    if (withId)
        WritePieceId(output, id);
    segment->outcome = WritePieceBlocks(source, output, n, segment->buffer.data(), observer);
    return int(segment->outcome.status);
}

SUNDREL_EXPORT("sd_segment_data") const uint8_t* SdSegmentData(Segment* segment)
{
    return segment->output.bytes.data();
}

SUNDREL_EXPORT("sd_segment_size") int SdSegmentSize(Segment* segment)
{
    return int(segment->output.bytes.size());
}

SUNDREL_EXPORT("sd_segment_offset") double SdSegmentOffset(Segment* segment)
{
    return double(segment->outcome.offset);
}

SUNDREL_EXPORT("sd_segment_blocks") double SdSegmentBlocks(Segment* segment)
{
    return double(segment->outcome.blocks);
}
