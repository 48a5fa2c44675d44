#include "recovery_inspection.h"

#include <algorithm>
#include <cstring>

#include "fcs.h"
#include "piece_layout.h"
#include "recovery_writer.h"

namespace sundrel {

namespace {

// Blocks read at once.
constexpr uint64_t kRunBlocks = 64;

bool Contains(const std::vector<uint64_t>& sorted, uint64_t value)
{
    return std::binary_search(sorted.begin(), sorted.end(), value);
}

// Reads the blocks of a file laid out as first + stripe · 4,098, for
// stripes 0 .. stripes - 1 of the lengths lengthOf gives; lost gets the
// stripes whose block fails its FCS, cutFrom the first whose block the file
// does not hold whole (nothing after it is read). Every byte read from
// [0, hashEnd) goes to hash(bytes, n). false when a read fails or the
// observer stops.
template <class LengthOf, class Hash>
bool ScanBlocks(RandomSource& file, uint64_t fileLength, uint64_t first, uint64_t stripes,
                LengthOf lengthOf, uint64_t hashEnd, Hash hash, std::vector<uint64_t>* lost,
                uint64_t* cutFrom, BlockObserver& observer, bool* stopped)
{
    std::vector<uint8_t> run(kRunBlocks * kChunkSize);
    for (uint64_t b0 = 0; b0 < stripes; b0 += kRunBlocks) {
        if (!observer.BeforeBlock()) {
            *stopped = true;
            return false;
        }
        const uint64_t offset = first + b0 * kChunkSize;
        const uint64_t count = std::min(kRunBlocks, stripes - b0);
        uint64_t want = 0;
        for (uint64_t b = b0; b < b0 + count; ++b)
            want += lengthOf(b) + kFcsSize;
        const size_t n = size_t(offset < fileLength ? std::min(want, fileLength - offset) : 0);
        if (n && !ReadFully(file, offset, run.data(), n))
            return false;
        if (offset < hashEnd)
            hash(run.data(), size_t(std::min<uint64_t>(n, hashEnd - offset)));
        size_t at = 0;
        for (uint64_t b = b0; b < b0 + count; ++b) {
            const size_t chunk = lengthOf(b) + kFcsSize;
            if (at + chunk > n) {
                *cutFrom = b;
                observer.AfterBlock(n);
                return true;
            }
            if (!FcsMatches(&run[at], chunk))
                lost->push_back(b);
            at += chunk;
        }
        observer.AfterBlock(n);
    }
    return true;
}

PieceInspection InspectPiece(const RecoveryManifest& manifest, const DivisionLayout& layout,
                             unsigned piece, RandomSource* file, BlockObserver& observer,
                             bool* stopped)
{
    PieceInspection result;
    if (!file || !file->Size(&result.length))
        return result;
    const uint64_t expected = layout.PieceLength(piece);
    const uint64_t hashEnd = std::min(result.length, expected);
    uint8_t id[kPieceIdSize] = {};
    const size_t idBytes = size_t(std::min<uint64_t>(result.length, kPieceIdSize));
    if (idBytes && !ReadFully(*file, 0, id, idBytes))
        return result;
    const uint8_t ownId[kPieceIdSize] = {uint8_t(manifest.id), uint8_t(manifest.id >> 8),
                                         uint8_t(manifest.id >> 16), uint8_t(manifest.id >> 24)};
    // The piece as it lies, and as it would be with the division's ID.
    Sha256 asItLies, withOwnId;
    const bool otherId = idBytes == kPieceIdSize && std::memcmp(id, ownId, kPieceIdSize) != 0;
    asItLies.Update(id, size_t(std::min<uint64_t>(idBytes, hashEnd)));
    if (otherId)
        withOwnId.Update(ownId, kPieceIdSize);

    uint64_t blocks = 0;
    while (layout.BlockLength(piece, blocks) > 0)
        ++blocks;
    auto lengthOf = [&](uint64_t b) { return layout.BlockLength(piece, b); };
    auto hash = [&](const uint8_t* bytes, size_t n) {
        asItLies.Update(bytes, n);
        if (otherId)
            withOwnId.Update(bytes, n);
    };
    if (!ScanBlocks(*file, result.length, kPieceIdSize, blocks, lengthOf, hashEnd, hash,
                    &result.lostStripes, &result.cutFrom, observer, stopped)) {
        result.lostStripes.clear();
        result.cutFrom = kNotCut;
        return result;
    }
    const Sha256Digest& want = manifest.pieces[piece];
    if (asItLies.Finish() == want)
        result.state = result.length == expected ? PieceState::Whole : PieceState::Grown;
    else if (otherId && withOwnId.Finish() == want)
        result.state = PieceState::IdDamaged;
    else
        result.state = result.lostStripes.empty() && result.cutFrom == kNotCut ? PieceState::Lost
                                                                                : PieceState::Damaged;
    if (result.state != PieceState::Damaged) {
        result.lostStripes.clear();
        result.cutFrom = kNotCut;
    }
    return result;
}

RecoveryInspection InspectRecovery(const RecoveryManifest& manifest, const DivisionLayout& layout,
                                   unsigned index, RandomSource* file, BlockObserver& observer,
                                   bool* stopped)
{
    RecoveryInspection result;
    uint64_t length = 0;
    if (!file || !file->Size(&length))
        return result;
    result.state = RecoveryState::Unreadable;
    std::vector<uint8_t> bytes(ManifestLength(manifest.count));
    RecoveryManifest own;
    if (length < bytes.size() || !ReadFully(*file, 0, bytes.data(), bytes.size()) ||
        DecodeManifest(bytes.data(), bytes.size(), &own) != ManifestFault::None)
        return result;
    if (!own.SameDivision(manifest) || own.index != index) {
        result.state = RecoveryState::OtherDivision;
        return result;
    }
    auto lengthOf = [&](uint64_t b) { return layout.StripeLength(b); };
    auto noHash = [](const uint8_t*, size_t) {};
    if (!ScanBlocks(*file, length, ManifestLength(manifest.count), layout.Stripes(), lengthOf, 0,
                    noHash, &result.badStripes, &result.cutFrom, observer, stopped)) {
        result.badStripes.clear();
        result.cutFrom = kNotCut;
        return result;
    }
    result.state = result.badStripes.empty() && result.cutFrom == kNotCut ? RecoveryState::Usable
                                                                          : RecoveryState::Damaged;
    return result;
}

bool Usable(RecoveryState state)
{
    return state == RecoveryState::Usable || state == RecoveryState::Damaged;
}

}  // namespace

bool SetInspection::Whole() const
{
    for (const PieceInspection& piece : pieces)
        if (!DataIsWhole(piece.state))
            return false;
    return true;
}

bool SetInspection::Lost(unsigned piece, uint64_t stripe) const
{
    const PieceInspection& p = pieces[piece];
    switch (p.state) {
    case PieceState::Damaged:
        return stripe >= p.cutFrom || Contains(p.lostStripes, stripe);
    case PieceState::Lost:
    case PieceState::Missing:
        return true;
    default:
        return false;
    }
}

bool SetInspection::RecoveryBlockUsable(unsigned index, uint64_t stripe) const
{
    const RecoveryInspection& r = recovery[index];
    return r.state == RecoveryState::Usable ||
           (r.state == RecoveryState::Damaged && stripe < r.cutFrom && !Contains(r.badStripes, stripe));
}

SetInspection InspectSet(const RecoveryManifest& manifest, const SetSources& sources,
                         BlockObserver& observer, bool* stopped)
{
    *stopped = false;
    SetInspection set;
    const DivisionLayout layout = LayoutOf(manifest);
    for (unsigned p = 0; p < manifest.count && !*stopped; ++p)
        set.pieces.push_back(InspectPiece(manifest, layout, p,
                                          p < sources.pieces.size() ? sources.pieces[p] : nullptr,
                                          observer, stopped));
    for (unsigned j = 0; j < manifest.recoveryCount && !*stopped; ++j)
        set.recovery.push_back(InspectRecovery(
            manifest, layout, j + 1, j < sources.recovery.size() ? sources.recovery[j] : nullptr,
            observer, stopped));
    if (*stopped)
        return set;

    // Per stripe: lost blocks against the recovery blocks that can stand in.
    std::vector<int> balance(size_t(layout.Stripes()), 0);
    for (unsigned p = 0; p < manifest.count; ++p) {
        const PieceInspection& piece = set.pieces[p];
        if (DataIsWhole(piece.state))
            continue;
        for (uint64_t b : piece.lostStripes)
            ++balance[size_t(b)];
        uint64_t from = piece.state == PieceState::Damaged ? piece.cutFrom : 0;
        for (uint64_t b = from; b < balance.size() && layout.BlockLength(p, b) > 0; ++b)
            ++balance[size_t(b)];
    }
    for (const RecoveryInspection& r : set.recovery) {
        if (!Usable(r.state))
            continue;
        for (uint64_t b = 0; b < balance.size() && b < r.cutFrom; ++b)
            --balance[size_t(b)];
        for (uint64_t b : r.badStripes)
            ++balance[size_t(b)];
    }
    for (size_t b = 0; b < balance.size(); ++b)
        if (balance[b] > int(set.shortfall)) {
            set.shortfall = uint64_t(balance[b]);
            set.worstStripe = b;
        }
    return set;
}

}  // namespace sundrel
