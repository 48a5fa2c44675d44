// Throughput of the block check over 4 KiB blocks, as a division computes it.
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "qoc.h"

int main(int argc, char** argv)
{
    const size_t kBlock = 4096;
    const int megabytes = argc > 1 ? atoi(argv[1]) : 512;
    std::vector<unsigned char> data(kBlock * 256);   // 1 MiB
    for (size_t i = 0; i < data.size(); ++i) data[i] = (unsigned char)(i * 2654435761u >> 24);

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    unsigned sum = 0;
    for (int mb = 0; mb < megabytes; ++mb)
        for (size_t offset = 0; offset < data.size(); offset += kBlock) sum += QocBlkFCS(&data[offset], kBlock);
    QueryPerformanceCounter(&end);

    double seconds = (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    printf("FCS over %d MiB in 4 KiB blocks: %.3f s, %.0f MB/s (sum %u)\n", megabytes, seconds,
           megabytes * 1048576.0 / 1e6 / seconds, sum);
    return 0;
}
