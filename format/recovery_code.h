// The recovery code: a systematic Reed–Solomon code over GF(2^8) (see
// gf256.h) on stripes of equal-length shards. Recovery shard j of a stripe
// is the sum over the data shards i of RecoveryCoefficient(j, i)·data[i];
// any e intact recovery shards of a stripe rebuild any e lost data shards
// of it. The coefficients depend on neither the number of data shards nor
// that of recovery shards, so recovery shard j is the same whichever set
// is made. Data and recovery shards together number at most 255.
//
// Shards are len bytes each: the caller pads a short one with zeros.
// Nothing throws; nothing allocates per stripe once prepared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gf256_region.h"

namespace sundrel {

constexpr size_t kMaxRecoveryCodeShards = 255;

// The Cauchy element 1 / (x_j + y_i) with x_j = 255 - j and y_i = i: the
// coefficient of data shard i in recovery shard j, for i + j < 255.
uint8_t RecoveryCoefficient(size_t recoveryIndex, size_t dataIndex);

enum class RecoveryStatus {
    Ok,
    BadDataCount,           // no data shard, or 255 or more
    BadRecoveryIndex,       // a recovery index j with dataCount + j >= 255, or named twice
    BadLostIndex,           // a lost data shard out of range, or named twice
    TooFewRecoveryShards,   // fewer intact recovery shards than lost data shards
};

class RecoveryEncoder {
public:
    // Prepares the recovery shards recoveryIndexes[0..recoveryCount) of
    // dataCount data shards; dotProducts chooses a path (default: the
    // fastest). On a failure the encoder is left unprepared.
    RecoveryStatus Prepare(size_t dataCount, const size_t* recoveryIndexes, size_t recoveryCount,
                           GfDotProducts dotProducts = nullptr);
    // recovery[n] = recovery shard recoveryIndexes[n] of data[0..dataCount),
    // len bytes each. Needs a successful Prepare.
    void Encode(const uint8_t* const* data, uint8_t* const* recovery, size_t len) const;

private:
    std::vector<GfMultiplier> multipliers_;   // one row of dataCount per recovery shard
    size_t dataCount_ = 0;
    size_t recoveryCount_ = 0;
    GfDotProducts dotProducts_ = nullptr;
};

// Rebuilds lost data shards stripe by stripe. The solution of a loss
// pattern is worked out once and kept while the next stripes lose the same
// shards; a new pattern replaces it.
class RecoveryRebuilder {
public:
    explicit RecoveryRebuilder(size_t dataCount, GfDotProducts dotProducts = nullptr);

    // Rebuilds the data shards lost[0..lostCount) into rebuilt[0..lostCount)
    // from the other data shards (data[i]; the entries of lost shards are
    // not read) and the intact recovery shards present[n] in recovery[n],
    // n < presentCount, of which the first lostCount are used. len bytes
    // each; no output may overlap an input, but rebuilt[n] may be the
    // buffer of data[lost[n]]. Writes nothing on a failure.
    RecoveryStatus Rebuild(const size_t* lost, size_t lostCount, const size_t* present, size_t presentCount,
                           const uint8_t* const* data, const uint8_t* const* recovery,
                           uint8_t* const* rebuilt, size_t len);

private:
    RecoveryStatus Check(const size_t* lost, size_t lostCount, const size_t* present, size_t presentCount) const;
    bool Prepared(const size_t* lost, const size_t* present, size_t lostCount) const;
    void Prepare(const size_t* lost, const size_t* present, size_t lostCount);

    size_t dataCount_;
    GfDotProducts dotProducts_;
    // The prepared pattern: lost data shards and the recovery shards used.
    std::vector<size_t> lost_;
    std::vector<size_t> used_;
    // Row n rebuilds lost_[n] from the intact data shards in ascending
    // order, then the recovery shards used_.
    std::vector<GfMultiplier> multipliers_;
    std::vector<uint8_t> matrix_;         // scratch of the elimination
    std::vector<uint8_t> inverse_;
    std::vector<bool> isLost_;
    std::vector<const uint8_t*> sources_;
};

}  // namespace sundrel
