#include "recovery_rebuild.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "fcs.h"
#include "hash_worker.h"
#include "piece_layout.h"
#include "recovery_code.h"
#include "recovery_writer.h"

namespace sundrel {

namespace {

constexpr uint64_t kRunBlocks = 64;
// Stripes held at once when rebuilding, within a few MiB however many
// pieces there are.
constexpr size_t kBatchBytes = size_t(8) << 20;

// The blocks of one piece in order, read in runs; each is looked at against
// its FCS.
class PieceBlockReader {
public:
    PieceBlockReader(RandomSource& file, const DivisionLayout& layout, unsigned piece)
        : file_(file), layout_(layout), piece_(piece), run_(kRunBlocks * kChunkSize)
    {
    }

    // The next block: false at the end, or with *failed after a read error.
    // *intact tells whether it passes its FCS (a block cut off fails).
    bool Next(const uint8_t** data, size_t* length, bool* intact, bool* failed)
    {
        *failed = false;
        *length = layout_.BlockLength(piece_, next_);
        if (*length == 0)
            return false;
        if (next_ >= runFirst_ + runBlocks_ && !Load(failed))
            return false;
        size_t at = size_t(next_ - runFirst_) * kChunkSize;
        *data = &run_[at];
        *intact = at + *length + kFcsSize <= runBytes_ && FcsMatches(&run_[at], *length + kFcsSize);
        ++next_;
        return true;
    }

private:
    bool Load(bool* failed)
    {
        uint64_t length = 0;
        if (!file_.Size(&length)) {
            *failed = true;
            return false;
        }
        runFirst_ = next_;
        runBlocks_ = 0;
        uint64_t want = 0;
        while (runBlocks_ < kRunBlocks && layout_.BlockLength(piece_, runFirst_ + runBlocks_) > 0)
            want += layout_.BlockLength(piece_, runFirst_ + runBlocks_++) + kFcsSize;
        uint64_t offset = DivisionLayout::BlockOffset(runFirst_);
        runBytes_ = size_t(offset < length ? std::min(want, length - offset) : 0);
        if (runBytes_ && !ReadFully(file_, offset, run_.data(), runBytes_)) {
            *failed = true;
            return false;
        }
        return true;
    }

    RandomSource& file_;
    const DivisionLayout& layout_;
    unsigned piece_;
    std::vector<uint8_t> run_;
    uint64_t next_ = 0, runFirst_ = 0, runBlocks_ = 0;
    size_t runBytes_ = 0;
};

// Blocks of any piece at any stripe, read where they are whole and rebuilt
// where they are lost, a batch of stripes at a time.
class StripeRebuilder {
public:
    StripeRebuilder(const RecoveryManifest& manifest, const SetInspection& inspection,
                    const SetSources& sources)
        : manifest_(manifest), inspection_(inspection), sources_(sources),
          layout_(LayoutOf(manifest)), rebuilder_(manifest.count)
    {
        size_t shards = manifest.count + manifest.recoveryCount;
        batch_ = std::max<size_t>(1, std::min<size_t>(kRunBlocks, kBatchBytes / (shards * kChunkSize)));
        pieceRuns_.resize(manifest.count * batch_ * kChunkSize);
        recoveryRuns_.resize(manifest.recoveryCount * batch_ * kChunkSize);
        rebuilt_.resize(manifest.count * batch_ * kBlockDataSize);
        padded_.resize(manifest.count * kBlockDataSize);
        zeros_.assign(kBlockDataSize, 0);
    }

    bool Block(unsigned piece, uint64_t stripe, const uint8_t** data, size_t* length,
               RebuildOutcome* failure)
    {
        if ((stripe < first_ || stripe >= first_ + loaded_) && !Load(stripe, failure))
            return false;
        *length = layout_.BlockLength(piece, stripe);
        size_t s = size_t(stripe - first_);
        *data = inspection_.Lost(piece, stripe) ? &rebuilt_[(piece * batch_ + s) * kBlockDataSize]
                                                : &pieceRuns_[(piece * batch_ + s) * kChunkSize];
        return true;
    }

private:
    // Reads the blocks of [first, first + n) from one file, as far as the
    // file holds them.
    // What the file does not hold reads as zeros, never as an earlier batch.
    bool ReadRun(RandomSource* file, uint64_t offset, uint64_t want, uint8_t* run)
    {
        uint64_t length = 0;
        if (!file || !file->Size(&length))
            return false;
        size_t n = size_t(offset < length ? std::min(want, length - offset) : 0);
        std::memset(run + n, 0, size_t(want) - n);
        return n == 0 || ReadFully(*file, offset, run, n);
    }

    bool Load(uint64_t first, RebuildOutcome* failure)
    {
        first_ = first;
        loaded_ = std::min<uint64_t>(batch_, layout_.Stripes() - first);
        for (unsigned p = 0; p < manifest_.count; ++p) {
            if (inspection_.pieces[p].state == PieceState::Lost ||
                inspection_.pieces[p].state == PieceState::Missing)
                continue;
            uint64_t want = 0;
            for (uint64_t b = first; b < first + loaded_; ++b)
                want += layout_.BlockLength(p, b) ? layout_.BlockLength(p, b) + kFcsSize : 0;
            if (!ReadRun(sources_.pieces[p], DivisionLayout::BlockOffset(first), want,
                         &pieceRuns_[p * batch_ * kChunkSize])) {
                *failure = {RebuildStatus::ReadFailed, p};
                return false;
            }
        }
        for (unsigned j = 0; j < manifest_.recoveryCount; ++j) {
            const RecoveryState state = inspection_.recovery[j].state;
            if (state != RecoveryState::Usable && state != RecoveryState::Damaged)
                continue;
            uint64_t want = 0;
            for (uint64_t b = first; b < first + loaded_; ++b)
                want += layout_.StripeLength(b) + kFcsSize;
            if (!ReadRun(sources_.recovery[j], layout_.RecoveryBlockOffset(first), want,
                         &recoveryRuns_[j * batch_ * kChunkSize])) {
                *failure = {RebuildStatus::ReadFailed, j, true};
                return false;
            }
        }
        for (uint64_t s = 0; s < loaded_; ++s)
            if (!RebuildStripe(size_t(s), failure))
                return false;
        return true;
    }

    bool RebuildStripe(size_t s, RebuildOutcome* failure)
    {
        const uint64_t stripe = first_ + s;
        const size_t length = layout_.StripeLength(stripe);
        lost_.clear();
        present_.clear();
        data_.assign(manifest_.count, nullptr);
        rebuilt_rows_.clear();
        recovery_rows_.clear();
        for (unsigned p = 0; p < manifest_.count; ++p) {
            const size_t blockLength = layout_.BlockLength(p, stripe);
            uint8_t* block = &pieceRuns_[(p * batch_ + s) * kChunkSize];
            if (blockLength == 0) {
                data_[p] = zeros_.data();
            } else if (inspection_.Lost(p, stripe)) {
                lost_.push_back(p);
                rebuilt_rows_.push_back(&rebuilt_[(p * batch_ + s) * kBlockDataSize]);
            } else if (!FcsMatches(block, blockLength + kFcsSize)) {
                *failure = {RebuildStatus::ReadFailed, p};   // changed since it was inspected
                return false;
            } else if (blockLength < length) {
                uint8_t* pad = &padded_[p * kBlockDataSize];
                std::memcpy(pad, block, blockLength);
                std::memset(pad + blockLength, 0, length - blockLength);
                data_[p] = pad;
            } else {
                data_[p] = block;
            }
        }
        if (lost_.empty())
            return true;
        for (unsigned j = 0; j < manifest_.recoveryCount && present_.size() < lost_.size(); ++j)
            if (inspection_.RecoveryBlockUsable(j, stripe)) {
                present_.push_back(j);
                recovery_rows_.push_back(&recoveryRuns_[(j * batch_ + s) * kChunkSize]);
            }
        if (rebuilder_.Rebuild(lost_.data(), lost_.size(), present_.data(), present_.size(),
                               data_.data(), recovery_rows_.data(), rebuilt_rows_.data(),
                               length) != RecoveryStatus::Ok) {
            *failure = {RebuildStatus::Unrecoverable, unsigned(lost_.front())};
            return false;
        }
        return true;
    }

    const RecoveryManifest& manifest_;
    const SetInspection& inspection_;
    const SetSources& sources_;
    DivisionLayout layout_;
    RecoveryRebuilder rebuilder_;
    size_t batch_ = 1;
    uint64_t first_ = 0, loaded_ = 0;
    std::vector<uint8_t> pieceRuns_, recoveryRuns_, rebuilt_, padded_, zeros_;
    std::vector<size_t> lost_, present_;
    std::vector<const uint8_t*> data_, recovery_rows_;
    std::vector<uint8_t*> rebuilt_rows_;
};

// Writes the data of every block of a piece: read as it lies when it is
// whole, else from the rebuilder. each(data, length) takes every block.
template <class Each>
RebuildOutcome ForEachBlock(const RecoveryManifest& manifest, const SetInspection& inspection,
                            const SetSources& sources, StripeRebuilder& rebuilder, unsigned piece,
                            BlockObserver& observer, Each each)
{
    const DivisionLayout layout = LayoutOf(manifest);
    const uint8_t* data = nullptr;
    size_t length = 0;
    if (DataIsWhole(inspection.pieces[piece].state)) {
        PieceBlockReader reader(*sources.pieces[piece], layout, piece);
        bool intact = false, failed = false;
        while (observer.BeforeBlock()) {
            if (!reader.Next(&data, &length, &intact, &failed))
                return {failed ? RebuildStatus::ReadFailed : RebuildStatus::Ok, piece};
            // A block that no longer passes changed since the inspection.
            if (!intact)
                return {RebuildStatus::ReadFailed, piece};
            if (!each(data, length))
                return {RebuildStatus::WriteFailed, piece};
            observer.AfterBlock(length + kFcsSize);
        }
        return {RebuildStatus::Stopped, piece};
    }
    for (uint64_t b = 0; layout.BlockLength(piece, b) > 0; ++b) {
        if (!observer.BeforeBlock())
            return {RebuildStatus::Stopped, piece};
        RebuildOutcome failure;
        if (!rebuilder.Block(piece, b, &data, &length, &failure))
            return failure;
        if (!each(data, length))
            return {RebuildStatus::WriteFailed, piece};
        observer.AfterBlock(length + kFcsSize);
    }
    return {};
}

// Straight through: every block as it lies, each against its FCS. false
// when a piece is missing or a block fails: the set needs inspecting.
bool MergeStraight(const RecoveryManifest& manifest, const SetSources& sources, ByteSink& out,
                   BlockObserver& observer, RebuildOutcome* outcome)
{
    const DivisionLayout layout = LayoutOf(manifest);
    HashWorker worker;
    HashWorker::Input merged(worker, 0);
    for (unsigned p = 0; p < manifest.count; ++p) {
        PieceBlockReader reader(*sources.pieces[p], layout, p);
        const uint8_t* data = nullptr;
        size_t length = 0;
        bool intact = false, failed = false;
        for (;;) {
            if (!observer.BeforeBlock()) {
                *outcome = {RebuildStatus::Stopped, p};
                return true;
            }
            if (!reader.Next(&data, &length, &intact, &failed))
                break;
            if (!intact)
                return false;
            if (!out.Write(data, length)) {
                *outcome = {RebuildStatus::WriteFailed, p};
                return true;
            }
            merged.Update(data, length);
            observer.AfterBlock(length + kFcsSize);
        }
        if (failed)
            return false;
    }
    if (merged.Finish() != manifest.source)
        return false;
    *outcome = {};
    return true;
}

// Every piece there, at least as long as the manifest says.
bool AllPiecesThere(const RecoveryManifest& manifest, const SetSources& sources)
{
    const DivisionLayout layout = LayoutOf(manifest);
    for (unsigned p = 0; p < manifest.count; ++p) {
        uint64_t length = 0;
        if (p >= sources.pieces.size() || !sources.pieces[p] || !sources.pieces[p]->Size(&length) ||
            length < layout.PieceLength(p))
            return false;
    }
    return true;
}

}  // namespace

RebuildOutcome WriteMergedData(const RecoveryManifest& manifest, const SetInspection& inspection,
                               const SetSources& sources, ByteSink& out, BlockObserver& observer)
{
    if (!inspection.Rebuildable())
        return {RebuildStatus::Unrecoverable, 0};
    StripeRebuilder rebuilder(manifest, inspection, sources);
    HashWorker worker;
    HashWorker::Input merged(worker, 0);
    auto write = [&](const uint8_t* data, size_t length) {
        merged.Update(data, length);
        return out.Write(data, length);
    };
    for (unsigned p = 0; p < manifest.count; ++p) {
        RebuildOutcome outcome = ForEachBlock(manifest, inspection, sources, rebuilder, p, observer, write);
        if (outcome.status != RebuildStatus::Ok)
            return outcome;
    }
    if (merged.Finish() != manifest.source)
        return {RebuildStatus::Mismatch, 0};
    return {};
}

RebuildOutcome WriteRepairedPiece(const RecoveryManifest& manifest, const SetInspection& inspection,
                                  const SetSources& sources, unsigned piece, ByteSink& out,
                                  BlockObserver& observer)
{
    if (!inspection.Rebuildable())
        return {RebuildStatus::Unrecoverable, piece};
    StripeRebuilder rebuilder(manifest, inspection, sources);
    Sha256 written;
    const uint8_t id[kPieceIdSize] = {uint8_t(manifest.id), uint8_t(manifest.id >> 8),
                                      uint8_t(manifest.id >> 16), uint8_t(manifest.id >> 24)};
    const bool empty = LayoutOf(manifest).PieceLength(piece) == 0;
    if (!empty) {
        if (!out.Write(id, sizeof id))
            return {RebuildStatus::WriteFailed, piece};
        written.Update(id, sizeof id);
    }
    auto write = [&](const uint8_t* data, size_t length) {
        uint8_t chunk[kChunkSize];
        std::memcpy(chunk, data, length);
        uint16_t fcs = Fcs16(data, length);
        chunk[length] = uint8_t(fcs);
        chunk[length + 1] = uint8_t(fcs >> 8);
        written.Update(chunk, length + kFcsSize);
        return out.Write(chunk, length + kFcsSize);
    };
    RebuildOutcome outcome = ForEachBlock(manifest, inspection, sources, rebuilder, piece, observer, write);
    if (outcome.status != RebuildStatus::Ok)
        return outcome;
    if (written.Finish() != manifest.pieces[piece])
        return {RebuildStatus::Mismatch, piece};
    return {};
}

RecoveryMergeOutcome MergeWithRecovery(const RecoveryManifest& manifest, const SetSources& sources,
                                       RestartableSink& out, BlockObserver& observer)
{
    RecoveryMergeOutcome outcome;
    bool wrote = false;
    if (AllPiecesThere(manifest, sources)) {
        wrote = true;
        if (MergeStraight(manifest, sources, out, observer, &outcome.result))
            return outcome;
    }
    bool stopped = false;
    outcome.inspected = true;
    outcome.inspection = InspectSet(manifest, sources, observer, &stopped);
    if (stopped) {
        outcome.result = {RebuildStatus::Stopped, 0};
        return outcome;
    }
    // What the straight way wrote goes, whether the set can be rebuilt or not.
    if (wrote && !out.Restart()) {
        outcome.result = {RebuildStatus::WriteFailed, 0};
        return outcome;
    }
    if (!outcome.inspection.Rebuildable()) {
        outcome.result = {RebuildStatus::Unrecoverable, 0};
        return outcome;
    }
    outcome.result = WriteMergedData(manifest, outcome.inspection, sources, out, observer);
    return outcome;
}

}  // namespace sundrel
