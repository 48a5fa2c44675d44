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

// Bytes pos..pos + V::kBytes - 1 of kGroup destinations.
template <typename V, size_t kGroup>
SUNDREL_NIBBLE_TARGET inline void NibbleDotVector(const GfMultiplier* multipliers, const uint8_t* const* sources,
                                                  size_t sourceCount, uint8_t* const* dests, size_t pos)
{
    typename V::Vector sums[kGroup];
    for (size_t g = 0; g < kGroup; ++g)
        sums[g] = V::Zero();
    const typename V::Vector nibble = V::Nibble();
    for (size_t s = 0; s < sourceCount; ++s) {
        const typename V::Vector x = V::Load(sources[s] + pos);
        const typename V::Vector low = V::And(x, nibble);
        const typename V::Vector high = V::And(V::ShiftRight4(x), nibble);
        for (size_t g = 0; g < kGroup; ++g) {
            const GfMultiplier& m = multipliers[g * sourceCount + s];
            sums[g] = V::Xor(sums[g], V::Xor(V::Lookup(m.low, low), V::Lookup(m.high, high)));
        }
    }
    for (size_t g = 0; g < kGroup; ++g)
        V::Store(dests[g] + pos, sums[g]);
}

template <typename V, size_t kGroup>
SUNDREL_NIBBLE_TARGET void NibbleDotGroup(const GfMultiplier* multipliers, const uint8_t* const* sources,
                                          size_t sourceCount, uint8_t* const* dests, size_t len)
{
    if (len < V::kBytes) {
        GfDotProductsTail(multipliers, sources, sourceCount, dests, kGroup, 0, len);
        return;
    }
    size_t pos = 0;
    for (; pos + V::kBytes <= len; pos += V::kBytes)
        NibbleDotVector<V, kGroup>(multipliers, sources, sourceCount, dests, pos);
    // The last vector overlaps the one before: its bytes come out the same
    // again, since no destination is read.
    if (pos < len)
        NibbleDotVector<V, kGroup>(multipliers, sources, sourceCount, dests, len - V::kBytes);
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
