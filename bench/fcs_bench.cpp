// FCS throughput over 4 KiB blocks, as a division and a merge compute it,
// for every path this processor has. Prints one line per path,
// "fcs <path>: G GB/s" (GB = 1e9 bytes): the best of five runs over
// SIZE_MIB (default 256) of blocks that stay in the cache.
//
//   fcs_bench [SIZE_MIB]
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <vector>

#include "fcs.h"

int main(int argc, char** argv)
{
    const size_t kBlock = 4096;
    const int megabytes = argc > 1 ? atoi(argv[1]) : 256;
    if (megabytes <= 0) return 1;
    std::vector<uint8_t> data(kBlock * 256);   // 1 MiB
    for (size_t i = 0; i < data.size(); ++i) data[i] = (uint8_t)(i * 2654435761u >> 24);

    size_t count = 0;
    const sundrel::FcsPath* paths = sundrel::AvailableFcsPaths(&count);
    for (size_t p = 0; p < count; ++p) {
        double best = 0;
        unsigned sum = 0;   // used, so that no call can be left out
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            for (int mb = 0; mb < megabytes; ++mb)
                for (size_t offset = 0; offset < data.size(); offset += kBlock)
                    sum += paths[p].update(0xFFFF, &data[offset], kBlock);
            const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
            const double rate = megabytes * 1048576.0 / 1e9 / seconds.count();
            if (rate > best) best = rate;
        }
        printf("fcs %s: %.2f GB/s (check %u)\n", paths[p].name, best, sum & 0xFFFF);
    }
    return 0;
}
