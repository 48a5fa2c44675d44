// bench_parts.exe: times the three per-block costs of a division or merge
// besides the file I/O, each alone, as often as the given count of 4 KiB
// blocks (default 262,144: a 1 GiB file): the message pump (QocDoEventW), the
// progress bar (QocSetDlgItemPgsPos, set when the percentage changes, as the
// operations do) and the FCS of a 4,096-byte block (QocBlkFCS).
// Prints "pump: S s", "progress: S s" and "fcs: S s".
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>

#include "qoc.h"

namespace {

const int kProgressId = 1013;

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

double Seconds(const LARGE_INTEGER& begin, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv)
{
    const int kBlocks = argc > 1 ? atoi(argv[1]) : 262144;
    if (kBlocks <= 0) return 1;
    QocDgcSetup();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BenchWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"SundrelBench";
    RegisterClassW(&windowClass);
    // The size of the divide window's bar, shown, so that it really paints.
    HWND window = CreateWindowW(L"SundrelBench", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                100, 100, 400, 120, nullptr, nullptr, instance, nullptr);
    CreateWindowW(PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 20, 110, 18, window,
                  (HMENU)(INT_PTR)kProgressId, instance, nullptr);
    QocSetDlgItemPgsRange(window, kProgressId, 0, 100);
    UpdateWindow(window);

    LARGE_INTEGER begin, end;
    QueryPerformanceCounter(&begin);
    for (int i = 0; i < kBlocks; ++i) QocDoEventW();
    QueryPerformanceCounter(&end);
    printf("pump: %.3f s\n", Seconds(begin, end));

    // As a division or merge drives the bar: the percentage of blocks done,
    // worked out per block and set when it changes.
    int shown = 0, updates = 0;
    QueryPerformanceCounter(&begin);
    for (int i = 1; i <= kBlocks; ++i) {
        int percent = (int)((long long)i * 100 / kBlocks);
        if (percent != shown) {
            shown = percent;
            QocSetDlgItemPgsPos(window, kProgressId, percent);
            ++updates;
        }
    }
    QueryPerformanceCounter(&end);
    printf("progress: %.3f s (%d updates)\n", Seconds(begin, end), updates);

    static unsigned char block[4096];
    for (int i = 0; i < 4096; ++i) block[i] = (unsigned char)(i * 131 + 7);
    unsigned sum = 0;
    QueryPerformanceCounter(&begin);
    for (int i = 0; i < kBlocks; ++i) {
        block[i & 4095] ^= 1;   // keeps the compiler from hoisting the call
        sum += QocBlkFCS(block, sizeof block);
    }
    QueryPerformanceCounter(&end);
    printf("fcs: %.3f s (check %u)\n", Seconds(begin, end), sum & 0xFFFF);

    DestroyWindow(window);
    return 0;
}
