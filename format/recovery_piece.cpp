#include "recovery_piece.h"

#include <cstring>

#include "piece_layout.h"
#include "piece_sizes.h"

namespace sundrel {

namespace {

constexpr size_t kFixedSize = 40;             // up to the source's SHA-256
constexpr size_t kDigestSize = sizeof(Sha256Digest);
constexpr uint64_t kMaxPieceSize = kMaxPieceMiB * kMiB;

void Put(std::vector<uint8_t>& out, size_t offset, uint64_t value, size_t bytes)
{
    for (size_t i = 0; i < bytes; ++i)
        out[offset + i] = uint8_t(value >> (8 * i));
}

uint64_t Get(const uint8_t* in, size_t bytes)
{
    uint64_t value = 0;
    for (size_t i = bytes; i-- > 0;)
        value = value << 8 | in[i];
    return value;
}

bool ValuesHold(const RecoveryManifest& m)
{
    return m.count >= 1 && m.count <= kMaxPieceCount && m.recoveryCount >= 1 &&
           m.count + m.recoveryCount <= kMaxPiecesWithRecovery && m.index >= 1 &&
           m.index <= m.recoveryCount && m.pieceSize >= kMiB && m.pieceSize % kMiB == 0 &&
           m.pieceSize <= kMaxPieceSize && PieceCountFor(m.sourceSize, m.pieceSize) == m.count;
}

}  // namespace

bool RecoveryManifest::SameDivision(const RecoveryManifest& other) const
{
    return id == other.id && sourceSize == other.sourceSize && pieceSize == other.pieceSize &&
           count == other.count && recoveryCount == other.recoveryCount && source == other.source &&
           pieces == other.pieces;
}

size_t ManifestLength(unsigned count)
{
    return kFixedSize + kDigestSize * (count + 2);
}

size_t ManifestLengthOf(const uint8_t head[kManifestHeadSize])
{
    if (std::memcmp(head + 4, kRecoveryMagic, sizeof kRecoveryMagic) != 0 ||
        Get(head + 12, 2) != kRecoveryVersion)
        return 0;
    return size_t(Get(head + 14, 2));
}

std::vector<uint8_t> EncodeManifest(const RecoveryManifest& m)
{
    const size_t checked = ManifestLength(m.count) - kDigestSize;
    std::vector<uint8_t> out(ManifestLength(m.count), 0);
    Put(out, 0, m.id, 4);
    std::memcpy(&out[4], kRecoveryMagic, sizeof kRecoveryMagic);
    Put(out, 12, kRecoveryVersion, 2);
    Put(out, 14, out.size(), 2);
    Put(out, 16, m.sourceSize, 8);
    Put(out, 24, m.pieceSize, 8);
    Put(out, 32, m.count, 2);
    Put(out, 34, m.recoveryCount, 2);
    Put(out, 36, m.index, 2);
    std::memcpy(&out[kFixedSize], m.source.data(), kDigestSize);
    for (unsigned i = 0; i < m.count && i < m.pieces.size(); ++i)
        std::memcpy(&out[kFixedSize + kDigestSize * (1 + i)], m.pieces[i].data(), kDigestSize);
    Sha256Digest check = Sha256Of(out.data(), checked);
    std::memcpy(&out[checked], check.data(), kDigestSize);
    return out;
}

ManifestFault DecodeManifest(const uint8_t* bytes, size_t size, RecoveryManifest* manifest)
{
    if (size < kFixedSize || ManifestLengthOf(bytes) == 0)
        return ManifestFault::NotRecovery;
    const size_t length = ManifestLengthOf(bytes);
    if (length < ManifestLength(1) || (length - kFixedSize) % kDigestSize != 0 || size < length)
        return ManifestFault::NotRecovery;
    const size_t checked = length - kDigestSize;
    Sha256Digest check = Sha256Of(bytes, checked);
    if (std::memcmp(check.data(), bytes + checked, kDigestSize) != 0)
        return ManifestFault::Check;

    RecoveryManifest m;
    m.id = uint32_t(Get(bytes, 4));
    m.sourceSize = Get(bytes + 16, 8);
    m.pieceSize = Get(bytes + 24, 8);
    m.count = unsigned(Get(bytes + 32, 2));
    m.recoveryCount = unsigned(Get(bytes + 34, 2));
    m.index = unsigned(Get(bytes + 36, 2));
    if (Get(bytes + 38, 2) != 0 || length != ManifestLength(m.count) || !ValuesHold(m))
        return ManifestFault::Values;
    std::memcpy(m.source.data(), bytes + kFixedSize, kDigestSize);
    m.pieces.resize(m.count);
    for (unsigned i = 0; i < m.count; ++i)
        std::memcpy(m.pieces[i].data(), bytes + kFixedSize + kDigestSize * (1 + i), kDigestSize);
    *manifest = std::move(m);
    return ManifestFault::None;
}

uint64_t DivisionLayout::PieceDataBytes(unsigned piece) const
{
    uint64_t start = uint64_t(piece) * pieceSize;
    if (piece >= count || start >= sourceSize)
        return 0;
    uint64_t left = sourceSize - start;
    return left < pieceSize ? left : pieceSize;
}

uint64_t DivisionLayout::PieceLength(unsigned piece) const
{
    return PieceFileLength(PieceDataBytes(piece));
}

size_t DivisionLayout::BlockLength(unsigned piece, uint64_t stripe) const
{
    uint64_t data = PieceDataBytes(piece), start = stripe * kBlockDataSize;
    if (start >= data)
        return 0;
    uint64_t left = data - start;
    return left < kBlockDataSize ? size_t(left) : kBlockDataSize;
}

uint64_t DivisionLayout::BlockOffset(uint64_t stripe)
{
    return kPieceIdSize + stripe * kChunkSize;
}

uint64_t DivisionLayout::Stripes() const
{
    uint64_t data = PieceDataBytes(0);
    return data / kBlockDataSize + (data % kBlockDataSize ? 1 : 0);
}

uint64_t DivisionLayout::RecoveryPieceLength() const
{
    uint64_t data = PieceDataBytes(0);
    return ManifestLength(count) + data + kFcsSize * Stripes();
}

uint64_t DivisionLayout::RecoveryBlockOffset(uint64_t stripe) const
{
    return ManifestLength(count) + stripe * kChunkSize;
}

DivisionLayout LayoutOf(const RecoveryManifest& manifest)
{
    return {manifest.sourceSize, manifest.pieceSize, manifest.count};
}

}  // namespace sundrel
