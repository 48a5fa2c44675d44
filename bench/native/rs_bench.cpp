// Recovery code throughput over stripes of 4,096-byte blocks, for every
// GF(2^8) path this processor has and for ISA-L's ec_encode_data with the
// same coefficients, in one run. Prints one line per measurement:
//
//   rs encode k=10 m=1 gfni-avx512: 12345.6 MB/s
//   rs rebuild k=10 m=1 isa-l: 12345.6 MB/s
//
// MB = 1e6 bytes of data shards encoded (or read to rebuild one lost data
// shard); the fastest pass over DATA_MIB (default 4) of data shards in
// stripes, which stay in the caches. Shapes K:M (data and recovery shards)
// replace the default ones, as bench/run gives those of its divisions.
//
//   rs_bench [DATA_MIB [K:M ...]]
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include "gf256.h"
#include "gf256_region.h"
#include "recovery_code.h"

#ifdef SUNDREL_BENCH_ISAL
#include <isa-l/erasure_code.h>
#endif

namespace {

using namespace sundrel;

constexpr size_t kBlock = 4096;

// ISA-L's vector code leaves the upper halves of the vector registers in
// use, which makes every later SSE instruction (the SSSE3 path) wait on a
// merge; clear them before each measurement, as compiled code does.
void ClearUpperState()
{
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx"))
        __asm__ volatile("vzeroupper");
#endif
}

struct Stripes {
    size_t dataCount, recoveryCount, count;
    std::vector<uint8_t> data, recovery;
    std::vector<uint8_t*> dataPointers, recoveryPointers;   // count rows each

    Stripes(size_t k, size_t m, size_t dataBytes)
        : dataCount(k), recoveryCount(m), count(dataBytes / (k * kBlock) + 1),
          data(count * k * kBlock), recovery(count * m * kBlock)
    {
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = (uint8_t)(i * 2654435761u >> 24);
        for (size_t s = 0; s < count; ++s) {
            for (size_t i = 0; i < k; ++i)
                dataPointers.push_back(&data[(s * k + i) * kBlock]);
            for (size_t j = 0; j < m; ++j)
                recoveryPointers.push_back(&recovery[(s * m + j) * kBlock]);
        }
    }
    uint8_t* const* Data(size_t stripe) { return &dataPointers[stripe * dataCount]; }
    uint8_t* const* Recovery(size_t stripe) { return &recoveryPointers[stripe * recoveryCount]; }
};

// MB/s of data shards through pass, which goes over every stripe once: the
// fastest of the passes made in half a second (at least ten), so that a
// pass that a busy machine interrupted does not count.
double Rate(const Stripes& stripes, const std::function<void()>& pass)
{
    using Clock = std::chrono::steady_clock;
    ClearUpperState();
    const double bytes = double(stripes.count * stripes.dataCount * kBlock);
    const auto end = Clock::now() + std::chrono::milliseconds(500);
    double best = 0;
    for (int passes = 0; passes < 10 || Clock::now() < end; ++passes) {
        const auto start = Clock::now();
        pass();
        const std::chrono::duration<double> seconds = Clock::now() - start;
        best = std::max(best, bytes / 1e6 / seconds.count());
    }
    return best;
}

void Report(const char* what, const Stripes& s, const char* path, double rate)
{
    printf("rs %s k=%zu m=%zu %s: %.1f MB/s\n", what, s.dataCount, s.recoveryCount, path, rate);
    fflush(stdout);
}

void Encode(Stripes& s, const GfRegionPath* paths, size_t pathCount)
{
    std::vector<size_t> indexes(s.recoveryCount);
    for (size_t j = 0; j < indexes.size(); ++j)
        indexes[j] = j;
    for (size_t p = 0; p < pathCount; ++p) {
        RecoveryEncoder encoder;
        encoder.Prepare(s.dataCount, indexes.data(), indexes.size(), paths[p].dotProducts);
        Report("encode", s, paths[p].name, Rate(s, [&] {
                   for (size_t stripe = 0; stripe < s.count; ++stripe)
                       encoder.Encode(s.Data(stripe), s.Recovery(stripe), kBlock);
               }));
    }
#ifdef SUNDREL_BENCH_ISAL
    std::vector<uint8_t> matrix;
    for (size_t j : indexes)
        for (size_t i = 0; i < s.dataCount; ++i)
            matrix.push_back(RecoveryCoefficient(j, i));
    std::vector<uint8_t> tables(32 * matrix.size());
    ec_init_tables((int)s.dataCount, (int)s.recoveryCount, matrix.data(), tables.data());
    Report("encode", s, "isa-l", Rate(s, [&] {
               for (size_t stripe = 0; stripe < s.count; ++stripe)
                   ec_encode_data((int)kBlock, (int)s.dataCount, (int)s.recoveryCount, tables.data(),
                                  s.dataPointers.data() + stripe * s.dataCount,
                                  s.recoveryPointers.data() + stripe * s.recoveryCount);
           }));
#endif
}

// Data shard 3 (or 0) lost, rebuilt from the others and recovery shard 0
// into a block of its own.
void RebuildOne(Stripes& s, const GfRegionPath* paths, size_t pathCount)
{
    const size_t lost = s.dataCount > 3 ? 3 : 0, present = 0;
    std::vector<uint8_t> block(kBlock);
    uint8_t* rebuilt[] = {block.data()};
    for (size_t p = 0; p < pathCount; ++p) {
        RecoveryRebuilder rebuilder(s.dataCount, paths[p].dotProducts);
        Report("rebuild", s, paths[p].name, Rate(s, [&] {
                   for (size_t stripe = 0; stripe < s.count; ++stripe) {
                       const uint8_t* recovery[] = {s.Recovery(stripe)[0]};
                       rebuilder.Rebuild(&lost, 1, &present, 1, s.Data(stripe), recovery, rebuilt, kBlock);
                   }
               }));
    }
#ifdef SUNDREL_BENCH_ISAL
    // The same row ISA-L's way: the lost shard is the recovery shard less
    // the others' share, divided by its own coefficient.
    const uint8_t scale = GfInv(RecoveryCoefficient(present, lost));
    std::vector<uint8_t> row;
    for (size_t i = 0; i < s.dataCount; ++i)
        if (i != lost)
            row.push_back(GfMul(scale, RecoveryCoefficient(present, i)));
    row.push_back(scale);
    std::vector<uint8_t> tables(32 * row.size());
    ec_init_tables((int)row.size(), 1, row.data(), tables.data());
    std::vector<uint8_t*> sources(row.size());
    Report("rebuild", s, "isa-l", Rate(s, [&] {
               for (size_t stripe = 0; stripe < s.count; ++stripe) {
                   size_t n = 0;
                   for (size_t i = 0; i < s.dataCount; ++i)
                       if (i != lost)
                           sources[n++] = s.Data(stripe)[i];
                   sources[n] = s.Recovery(stripe)[0];
                   ec_encode_data((int)kBlock, (int)row.size(), 1, tables.data(), sources.data(), rebuilt);
               }
           }));
#endif
}

}  // namespace

int main(int argc, char** argv)
{
    const int megabytes = argc > 1 ? atoi(argv[1]) : 4;
    if (megabytes <= 0)
        return 1;
    size_t pathCount = 0;
    const GfRegionPath* paths = AvailableGfRegionPaths(&pathCount);
    std::vector<std::pair<size_t, size_t>> shapes = {{10, 1}, {32, 4}, {99, 10}};
    if (argc > 2)
        shapes.clear();
    for (int i = 2; i < argc; ++i) {
        unsigned k = 0, m = 0;
        if (sscanf(argv[i], "%u:%u", &k, &m) != 2 || k < 1 || m < 1 || k + m > 255)
            return 1;
        shapes.emplace_back(k, m);
    }
    for (const auto& shape : shapes) {
        Stripes stripes(shape.first, shape.second, size_t(megabytes) << 20);
        Encode(stripes, paths, pathCount);
        RebuildOne(stripes, paths, pathCount);
    }
    return 0;
}
