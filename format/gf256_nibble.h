// The kernel of the PSHUFB paths, one template over the vector width: each
// product is two 16-entry table lookups, one per nibble. A path includes
// this after defining SUNDREL_NIBBLE_TARGET as its instruction set, so that
// the kernel is compiled for it; the anonymous namespace keeps the two
// instantiating files' copies apart.
#pragma once

#include "gf256_paths.h"

#ifndef SUNDREL_NIBBLE_TARGET
#error "define SUNDREL_NIBBLE_TARGET before including gf256_nibble.h"
#endif

namespace sundrel {
namespace {

// Bytes pos..pos + kVectors·V::kBytes - 1 of kGroup destinations.
template <typename V, size_t kGroup, size_t kVectors>
SUNDREL_NIBBLE_TARGET inline void NibbleDotVectors(const GfMultiplier* multipliers, const uint8_t* const* sources,
                                                   size_t sourceCount, uint8_t* const* dests, size_t pos)
{
    using Vector = typename V::Vector;
    Vector sums[kGroup][kVectors];
    for (size_t g = 0; g < kGroup; ++g)
        for (size_t v = 0; v < kVectors; ++v)
            sums[g][v] = V::Zero();
    const Vector nibble = V::Nibble();
    for (size_t s = 0; s < sourceCount; ++s) {
        Vector low[kVectors], high[kVectors];
        for (size_t v = 0; v < kVectors; ++v) {
            const Vector x = V::Load(sources[s] + pos + v * V::kBytes);
            low[v] = V::And(x, nibble);
            high[v] = V::And(V::ShiftRight4(x), nibble);
        }
        for (size_t g = 0; g < kGroup; ++g) {
            const GfMultiplier& m = multipliers[g * sourceCount + s];
            const Vector lowTable = V::Table(m.low), highTable = V::Table(m.high);
            for (size_t v = 0; v < kVectors; ++v)
                sums[g][v] = V::Xor(sums[g][v], V::Xor(V::Shuffle(lowTable, low[v]), V::Shuffle(highTable, high[v])));
        }
    }
    for (size_t g = 0; g < kGroup; ++g)
        for (size_t v = 0; v < kVectors; ++v)
            V::Store(dests[g] + pos + v * V::kBytes, sums[g][v]);
}

// A source is looked at in runs of several vectors, for each destination
// of a group side by side: 4 for one destination, else 2 (measured best;
// with 4 destinations of AVX2 some sums go to the stack).
template <typename V, size_t kGroup>
SUNDREL_NIBBLE_TARGET void NibbleDotGroup(const GfMultiplier* multipliers, const uint8_t* const* sources,
                                          size_t sourceCount, uint8_t* const* dests, size_t len)
{
    if (len < V::kBytes) {
        GfDotProductsTail(multipliers, sources, sourceCount, dests, kGroup, 0, len);
        return;
    }
    constexpr size_t kVectors = kGroup == 1 ? 4 : 2;
    size_t pos = 0;
    for (; pos + kVectors * V::kBytes <= len; pos += kVectors * V::kBytes)
        NibbleDotVectors<V, kGroup, kVectors>(multipliers, sources, sourceCount, dests, pos);
    for (; pos + V::kBytes <= len; pos += V::kBytes)
        NibbleDotVectors<V, kGroup, 1>(multipliers, sources, sourceCount, dests, pos);
    // The last vector overlaps the one before: its bytes come out the same
    // again, since no destination is read.
    if (pos < len)
        NibbleDotVectors<V, kGroup, 1>(multipliers, sources, sourceCount, dests, len - V::kBytes);
}

template <typename V, size_t kMaxGroup>
void NibbleDotProducts(const GfMultiplier* multipliers, const uint8_t* const* sources, size_t sourceCount,
                       uint8_t* const* dests, size_t destCount, size_t len)
{
    ForDestinationGroups<kMaxGroup>(destCount, [&](size_t first, auto group) {
        NibbleDotGroup<V, group()>(multipliers + first * sourceCount, sources, sourceCount, dests + first, len);
    });
}

}  // namespace
}  // namespace sundrel
