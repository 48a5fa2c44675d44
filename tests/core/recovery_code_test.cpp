#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "gf256.h"
#include "recovery_code.h"

namespace sundrel {
namespace {

using Shards = std::vector<std::vector<uint8_t>>;

Shards RandomShards(size_t count, size_t len, std::mt19937& random)
{
    Shards shards(count, std::vector<uint8_t>(len));
    for (auto& shard : shards)
        for (auto& byte : shard)
            byte = (uint8_t)random();
    return shards;
}

std::vector<const uint8_t*> Pointers(const Shards& shards)
{
    std::vector<const uint8_t*> pointers;
    for (const auto& shard : shards)
        pointers.push_back(shard.data());
    return pointers;
}

// The recovery shards indexes of data.
Shards Encode(const Shards& data, const std::vector<size_t>& indexes)
{
    Shards recovery(indexes.size(), std::vector<uint8_t>(data[0].size()));
    std::vector<uint8_t*> outputs;
    for (auto& shard : recovery)
        outputs.push_back(shard.data());
    RecoveryEncoder encoder;
    EXPECT_EQ(encoder.Prepare(data.size(), indexes.data(), indexes.size()), RecoveryStatus::Ok);
    encoder.Encode(Pointers(data).data(), outputs.data(), data[0].size());
    return recovery;
}

// A stripe with some data shards lost and a choice of recovery shards
// (all made ones: allRecovery[j] is recovery shard j).
struct Loss {
    std::vector<size_t> lost;
    std::vector<size_t> present;
};

// Rebuilds the lost shards with rebuilder; the data shards of lost ones are
// handed over overwritten, so that nothing can be read from them.
RecoveryStatus Rebuild(RecoveryRebuilder& rebuilder, const Shards& data, const Shards& allRecovery,
                       const Loss& loss, Shards* rebuilt)
{
    Shards damaged = data;
    for (size_t i : loss.lost)
        if (i < damaged.size())
            std::fill(damaged[i].begin(), damaged[i].end(), 0xEE);
    std::vector<const uint8_t*> recovery;
    for (size_t j : loss.present)
        recovery.push_back(allRecovery[j].data());
    rebuilt->assign(loss.lost.size(), std::vector<uint8_t>(data[0].size(), 0x5A));
    std::vector<uint8_t*> outputs;
    for (auto& shard : *rebuilt)
        outputs.push_back(shard.data());
    return rebuilder.Rebuild(loss.lost.data(), loss.lost.size(), loss.present.data(), loss.present.size(),
                             Pointers(damaged).data(), recovery.data(), outputs.data(), data[0].size());
}

void ExpectRebuilds(RecoveryRebuilder& rebuilder, const Shards& data, const Shards& allRecovery, const Loss& loss)
{
    Shards rebuilt;
    ASSERT_EQ(Rebuild(rebuilder, data, allRecovery, loss, &rebuilt), RecoveryStatus::Ok);
    for (size_t n = 0; n < loss.lost.size(); ++n)
        ASSERT_EQ(rebuilt[n], data[loss.lost[n]]) << "data shard " << loss.lost[n] << " of " << data.size();
}

std::vector<size_t> Range(size_t count)
{
    std::vector<size_t> indexes(count);
    std::iota(indexes.begin(), indexes.end(), 0);
    return indexes;
}

// Calls visit with every set of up to most indexes below count.
template <typename Visit>
void ForEachSubset(size_t count, size_t most, std::vector<size_t>& subset, size_t from, Visit& visit)
{
    visit(subset);
    if (subset.size() == most)
        return;
    for (size_t i = from; i < count; ++i) {
        subset.push_back(i);
        ForEachSubset(count, most, subset, i + 1, visit);
        subset.pop_back();
    }
}

// The coefficients are fixed by the file format: 1 / ((255 - j) + i),
// checked with the field's own definition of a product.
TEST(RecoveryCode, CoefficientsAreTheCauchyElements)
{
    for (size_t j = 0; j < 255; ++j)
        for (size_t i = 0; i + j < 255; ++i) {
            const uint8_t sum = (uint8_t)((255 - j) ^ i);
            ASSERT_EQ(GfMul(RecoveryCoefficient(j, i), sum), 1) << j << ", " << i;
        }
}

// Small divisions: every pattern of up to r lost data shards, rebuilt from
// a different choice of r made recovery shards each time.
TEST(RecoveryCode, SmallDivisionsRebuildEveryLossPattern)
{
    struct Case {
        size_t dataCount, recoveryCount, len;
    };
    std::mt19937 random(1);
    for (const Case& c : {Case{1, 1, 100}, Case{1, 3, 33}, Case{2, 2, 65}, Case{3, 3, 200}, Case{10, 4, 4096}}) {
        const Shards data = RandomShards(c.dataCount, c.len, random);
        const Shards allRecovery = Encode(data, Range(c.recoveryCount + 2));
        RecoveryRebuilder rebuilder(c.dataCount);
        size_t turn = 0;
        auto visit = [&](const std::vector<size_t>& lost) {
            // Present: r + 2 made, two of them left out in turn.
            Loss loss{lost, {}};
            for (size_t j = 0; j < c.recoveryCount + 2; ++j)
                if (j != turn % (c.recoveryCount + 2) && j != (turn + 3) % (c.recoveryCount + 2))
                    loss.present.push_back(j);
            std::rotate(loss.present.begin(), loss.present.begin() + turn % loss.present.size(), loss.present.end());
            ++turn;
            ExpectRebuilds(rebuilder, data, allRecovery, loss);
        };
        std::vector<size_t> subset;
        ForEachSubset(c.dataCount, c.recoveryCount, subset, 0, visit);
    }
}

// Large divisions: random patterns, as many lost as recovery shards at most.
TEST(RecoveryCode, LargeDivisionsRebuildRandomLossPatterns)
{
    struct Case {
        size_t dataCount, recoveryCount, patterns;
    };
    std::mt19937 random(2);
    for (const Case& c : {Case{99, 10, 40}, Case{254, 1, 20}, Case{128, 127, 4}}) {
        const Shards data = RandomShards(c.dataCount, 301, random);
        const Shards allRecovery = Encode(data, Range(c.recoveryCount));
        RecoveryRebuilder rebuilder(c.dataCount);
        for (size_t p = 0; p < c.patterns; ++p) {
            Loss loss{Range(c.dataCount), Range(c.recoveryCount)};
            std::shuffle(loss.lost.begin(), loss.lost.end(), random);
            std::shuffle(loss.present.begin(), loss.present.end(), random);
            loss.lost.resize(1 + random() % c.recoveryCount);
            ExpectRebuilds(rebuilder, data, allRecovery, loss);
        }
    }
}

// Stripe by stripe the losses change, and back: the rebuilder must follow,
// including when only the recovery shards at hand differ.
TEST(RecoveryCode, RebuilderFollowsChangingPatterns)
{
    std::mt19937 random(3);
    const Shards data = RandomShards(12, 97, random);
    const Shards allRecovery = Encode(data, Range(5));
    RecoveryRebuilder rebuilder(12);
    const Loss patterns[] = {
        {{4, 9}, {0, 1}}, {{4, 9}, {2, 3}}, {{9, 4}, {2, 3}}, {{4}, {4}},
        {{0, 1, 2, 3, 11}, {4, 3, 2, 1, 0}}, {{4, 9}, {0, 1}}, {{}, {}},
    };
    for (int round = 0; round < 2; ++round)
        for (const Loss& loss : patterns)
            ExpectRebuilds(rebuilder, data, allRecovery, loss);
}

// The lost shards' own buffers take what is rebuilt, as a reader that
// rebuilds in place hands them over.
TEST(RecoveryCode, RebuildsIntoTheLostShardsBuffers)
{
    std::mt19937 random(7);
    const Shards data = RandomShards(20, 4096, random);
    const Shards allRecovery = Encode(data, Range(3));
    Shards damaged = data;
    const size_t lost[] = {19, 0, 7}, present[] = {2, 0, 1};
    std::vector<uint8_t*> outputs;
    for (size_t i : lost) {
        std::fill(damaged[i].begin(), damaged[i].end(), 0xEE);
        outputs.push_back(damaged[i].data());
    }
    const uint8_t* recovery[] = {allRecovery[2].data(), allRecovery[0].data(), allRecovery[1].data()};
    RecoveryRebuilder rebuilder(20);
    ASSERT_EQ(rebuilder.Rebuild(lost, 3, present, 3, Pointers(damaged).data(), recovery, outputs.data(), 4096),
              RecoveryStatus::Ok);
    EXPECT_EQ(damaged, data);
}

// Recovery shard j is the same whichever others are made with it.
TEST(RecoveryCode, RecoveryShardDependsOnItsIndexAlone)
{
    std::mt19937 random(4);
    const Shards data = RandomShards(7, 130, random);
    const Shards all = Encode(data, Range(6));
    const Shards some = Encode(data, {5, 2});
    EXPECT_EQ(some[0], all[5]);
    EXPECT_EQ(some[1], all[2]);
}

// Bad requests fail with what was wrong, and leave the outputs as they were.
TEST(RecoveryCode, RefusesWhatCannotBeDone)
{
    std::mt19937 random(5);
    const Shards data = RandomShards(10, 50, random);
    const Shards allRecovery = Encode(data, Range(4));
    struct Case {
        Loss loss;
        RecoveryStatus status;
    };
    const Case cases[] = {
        {{{1, 2, 3}, {0, 1}}, RecoveryStatus::TooFewRecoveryShards},
        {{{0, 1, 2, 3, 4}, {0, 1, 2, 3}}, RecoveryStatus::TooFewRecoveryShards},
        {{{1}, {}}, RecoveryStatus::TooFewRecoveryShards},
        {{{10}, {0}}, RecoveryStatus::BadLostIndex},
        {{{3, 3}, {0, 1}}, RecoveryStatus::BadLostIndex},
        {{{3}, {245}}, RecoveryStatus::BadRecoveryIndex},
        {{{3}, {1, 1}}, RecoveryStatus::BadRecoveryIndex},
    };
    RecoveryRebuilder rebuilder(10);
    for (const Case& c : cases) {
        Shards rebuilt;
        Shards scratchRecovery = allRecovery;
        scratchRecovery.resize(246, std::vector<uint8_t>(50));
        EXPECT_EQ(Rebuild(rebuilder, data, scratchRecovery, c.loss, &rebuilt), c.status) << c.loss.lost.size();
        for (const auto& shard : rebuilt)
            EXPECT_EQ(shard, std::vector<uint8_t>(50, 0x5A));
    }
    // One recovery shard index past what 10 data shards leave room for.
    RecoveryEncoder encoder;
    const size_t fits[] = {244}, tooHigh[] = {245}, twice[] = {2, 2};
    EXPECT_EQ(encoder.Prepare(10, fits, 1), RecoveryStatus::Ok);
    EXPECT_EQ(encoder.Prepare(10, tooHigh, 1), RecoveryStatus::BadRecoveryIndex);
    EXPECT_EQ(encoder.Prepare(10, twice, 2), RecoveryStatus::BadRecoveryIndex);
    EXPECT_EQ(encoder.Prepare(0, fits, 1), RecoveryStatus::BadDataCount);
    EXPECT_EQ(encoder.Prepare(255, fits, 0), RecoveryStatus::BadDataCount);
    RecoveryRebuilder tooMany(255);
    const size_t lost[] = {0}, present[] = {0};
    uint8_t out[1];
    uint8_t* outputs[] = {out};
    EXPECT_EQ(tooMany.Rebuild(lost, 1, present, 1, nullptr, nullptr, outputs, 1), RecoveryStatus::BadDataCount);
}

}  // namespace
}  // namespace sundrel
