// Encoding and rebuilding stripes of the recovery code. Both come down to
// one call of the region path per stripe: a dot product of every source
// with one row of coefficients per shard made.
#include "recovery_code.h"

#include <algorithm>
#include <bitset>

#include "gf256.h"

namespace sundrel {

namespace {

bool DataCountFits(size_t dataCount)
{
    return dataCount >= 1 && dataCount < kMaxRecoveryCodeShards;
}

// Valid indexes below limit, none twice.
bool DistinctBelow(const size_t* indexes, size_t count, size_t limit)
{
    std::bitset<kMaxRecoveryCodeShards> seen;
    for (size_t n = 0; n < count; ++n) {
        if (indexes[n] >= limit || seen[indexes[n]])
            return false;
        seen[indexes[n]] = true;
    }
    return true;
}

// Inverts the n×n matrix (row-major) into inverse by Gauss–Jordan
// elimination; matrix is overwritten. The matrices here are square parts of
// a Cauchy matrix, every one of which is invertible, so a pivot is always found.
void Invert(uint8_t* matrix, uint8_t* inverse, size_t n)
{
    std::fill(inverse, inverse + n * n, 0);
    for (size_t i = 0; i < n; ++i)
        inverse[i * n + i] = 1;
    for (size_t col = 0; col < n; ++col) {
        size_t pivot = col;
        while (matrix[pivot * n + col] == 0)
            ++pivot;
        if (pivot != col) {
            std::swap_ranges(matrix + pivot * n, matrix + pivot * n + n, matrix + col * n);
            std::swap_ranges(inverse + pivot * n, inverse + pivot * n + n, inverse + col * n);
        }
        const uint8_t scale = GfInv(matrix[col * n + col]);
        for (size_t j = 0; j < n; ++j) {
            matrix[col * n + j] = GfMul(matrix[col * n + j], scale);
            inverse[col * n + j] = GfMul(inverse[col * n + j], scale);
        }
        for (size_t row = 0; row < n; ++row) {
            const uint8_t factor = matrix[row * n + col];
            if (row == col || factor == 0)
                continue;
            for (size_t j = 0; j < n; ++j) {
                matrix[row * n + j] ^= GfMul(factor, matrix[col * n + j]);
                inverse[row * n + j] ^= GfMul(factor, inverse[col * n + j]);
            }
        }
    }
}

}  // namespace

uint8_t RecoveryCoefficient(size_t recoveryIndex, size_t dataIndex)
{
    return GfInv((uint8_t)((255 - recoveryIndex) ^ dataIndex));
}

RecoveryStatus RecoveryEncoder::Prepare(size_t dataCount, const size_t* recoveryIndexes, size_t recoveryCount,
                                        GfDotProducts dotProducts)
{
    dataCount_ = recoveryCount_ = 0;
    multipliers_.clear();
    if (!DataCountFits(dataCount))
        return RecoveryStatus::BadDataCount;
    if (!DistinctBelow(recoveryIndexes, recoveryCount, kMaxRecoveryCodeShards - dataCount))
        return RecoveryStatus::BadRecoveryIndex;
    multipliers_.reserve(dataCount * recoveryCount);
    for (size_t n = 0; n < recoveryCount; ++n)
        for (size_t i = 0; i < dataCount; ++i)
            multipliers_.push_back(MakeGfMultiplier(RecoveryCoefficient(recoveryIndexes[n], i)));
    dataCount_ = dataCount;
    recoveryCount_ = recoveryCount;
    dotProducts_ = dotProducts ? dotProducts : FastestGfDotProducts();
    return RecoveryStatus::Ok;
}

void RecoveryEncoder::Encode(const uint8_t* const* data, uint8_t* const* recovery, size_t len) const
{
    if (recoveryCount_ > 0)
        dotProducts_(multipliers_.data(), data, dataCount_, recovery, recoveryCount_, len);
}

RecoveryRebuilder::RecoveryRebuilder(size_t dataCount, GfDotProducts dotProducts)
    : dataCount_(dataCount), dotProducts_(dotProducts ? dotProducts : FastestGfDotProducts())
{
    if (DataCountFits(dataCount)) {
        isLost_.resize(dataCount);
        sources_.resize(dataCount);
    }
}

RecoveryStatus RecoveryRebuilder::Check(const size_t* lost, size_t lostCount, const size_t* present,
                                        size_t presentCount) const
{
    if (!DataCountFits(dataCount_))
        return RecoveryStatus::BadDataCount;
    if (!DistinctBelow(lost, lostCount, dataCount_))
        return RecoveryStatus::BadLostIndex;
    if (!DistinctBelow(present, presentCount, kMaxRecoveryCodeShards - dataCount_))
        return RecoveryStatus::BadRecoveryIndex;
    if (presentCount < lostCount)
        return RecoveryStatus::TooFewRecoveryShards;
    return RecoveryStatus::Ok;
}

bool RecoveryRebuilder::Prepared(const size_t* lost, const size_t* present, size_t lostCount) const
{
    return lost_.size() == lostCount && std::equal(lost, lost + lostCount, lost_.begin()) &&
           std::equal(present, present + lostCount, used_.begin());
}

// With the lost shards L, the used recovery shards U and the intact data
// shards K: the recovery shards read U = C[U][L]·L + C[U][K]·K, so
// L = A·U + A·C[U][K]·K with A the inverse of C[U][L].
void RecoveryRebuilder::Prepare(const size_t* lost, const size_t* present, size_t lostCount)
{
    const size_t e = lostCount;
    lost_.assign(lost, lost + e);
    used_.assign(present, present + e);
    std::fill(isLost_.begin(), isLost_.end(), false);
    for (size_t b = 0; b < e; ++b)
        isLost_[lost[b]] = true;

    matrix_.resize(e * e);
    inverse_.resize(e * e);
    for (size_t a = 0; a < e; ++a)
        for (size_t b = 0; b < e; ++b)
            matrix_[a * e + b] = RecoveryCoefficient(used_[a], lost_[b]);
    Invert(matrix_.data(), inverse_.data(), e);

    multipliers_.clear();
    for (size_t b = 0; b < e; ++b) {
        const uint8_t* row = &inverse_[b * e];
        for (size_t i = 0; i < dataCount_; ++i) {
            if (isLost_[i])
                continue;
            uint8_t c = 0;
            for (size_t a = 0; a < e; ++a)
                c ^= GfMul(row[a], RecoveryCoefficient(used_[a], i));
            multipliers_.push_back(MakeGfMultiplier(c));
        }
        for (size_t a = 0; a < e; ++a)
            multipliers_.push_back(MakeGfMultiplier(row[a]));
    }
}

RecoveryStatus RecoveryRebuilder::Rebuild(const size_t* lost, size_t lostCount, const size_t* present,
                                          size_t presentCount, const uint8_t* const* data,
                                          const uint8_t* const* recovery, uint8_t* const* rebuilt, size_t len)
{
    const RecoveryStatus status = Check(lost, lostCount, present, presentCount);
    if (status != RecoveryStatus::Ok || lostCount == 0)
        return status;
    if (!Prepared(lost, present, lostCount))
        Prepare(lost, present, lostCount);
    size_t n = 0;
    for (size_t i = 0; i < dataCount_; ++i)
        if (!isLost_[i])
            sources_[n++] = data[i];
    for (size_t a = 0; a < lostCount; ++a)
        sources_[n++] = recovery[a];
    dotProducts_(multipliers_.data(), sources_.data(), dataCount_, rebuilt, lostCount, len);
    return RecoveryStatus::Ok;
}

}  // namespace sundrel
