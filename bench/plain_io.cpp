// plain_io.exe: the reads and writes of the piece format and nothing else,
// as the baseline of the benchmark (no window, no FCS computed).
//
//   plain_io.exe divide SOURCE OUTDIR   pieces of 16 MiB: per 4,096-byte block one
//                                       4,096-byte read, one 4,096-byte write and one
//                                       2-byte write; a 4-byte head per piece
//   plain_io.exe merge OUTFILE PIECE...  4-byte head, then 4,098-byte reads and
//                                       writes of the data bytes
// Prints "elapsed: S s" for the work alone.
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include <string>

namespace {

const DWORD kBlock = 4096;
const DWORD kChunk = kBlock + 2;
const ULONGLONG kPieceSize = 16ull << 20;

HANDLE OpenRead(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE CreateNew(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Write(HANDLE file, const void* data, DWORD size)
{
    DWORD done = 0;
    return WriteFile(file, data, size, &done, nullptr) && done == size;
}

bool Divide(const wchar_t* source, const wchar_t* folder)
{
    HANDLE in = OpenRead(source);
    if (in == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    GetFileSizeEx(in, &size);
    ULONGLONG remaining = (ULONGLONG)size.QuadPart;
    ULONGLONG count = (remaining + kPieceSize - 1) / kPieceSize;
    static unsigned char buffer[kBlock];
    const unsigned char head[4] = {1, 2, 3, 4}, fcs[2] = {0, 0};
    bool ok = true;
    for (ULONGLONG piece = 1; ok && piece <= count; ++piece) {
        wchar_t name[64];
        swprintf(name, 64, L"\\plain(%02llu_of_%02llu).divide", piece, count);
        HANDLE out = CreateNew(std::wstring(folder) + name);
        ok = out != INVALID_HANDLE_VALUE && Write(out, head, 4);
        for (ULONGLONG inPiece = 0; ok && inPiece < kPieceSize && remaining > 0;) {
            DWORD n = remaining >= kBlock ? kBlock : (DWORD)remaining;
            DWORD got = 0;
            ok = ReadFile(in, buffer, n, &got, nullptr) && got == n && Write(out, buffer, n) &&
                 Write(out, fcs, 2);
            inPiece += n;
            remaining -= n;
        }
        if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    }
    CloseHandle(in);
    return ok;
}

bool Merge(const wchar_t* target, int count, wchar_t** pieces)
{
    HANDLE out = CreateNew(target);
    if (out == INVALID_HANDLE_VALUE) return false;
    static unsigned char chunk[kChunk];
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        HANDLE in = OpenRead(pieces[i]);
        DWORD got = 0;
        ok = in != INVALID_HANDLE_VALUE && ReadFile(in, chunk, 4, &got, nullptr) && got == 4;
        while (ok && ReadFile(in, chunk, kChunk, &got, nullptr) && got > 0)
            ok = got >= 3 && Write(out, chunk, got - 2);
        if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    }
    CloseHandle(out);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    bool divide = argc == 4 && wcscmp(argv[1], L"divide") == 0;
    bool merge = argc >= 4 && wcscmp(argv[1], L"merge") == 0;
    if (!divide && !merge) {
        fputs("usage: plain_io divide SOURCE OUTDIR | plain_io merge OUTFILE PIECE...\n", stderr);
        return 1;
    }
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    bool ok = divide ? Divide(argv[2], argv[3]) : Merge(argv[2], argc - 3, argv + 3);
    QueryPerformanceCounter(&end);
    if (!ok) {
        fputs("plain_io: I/O failed\n", stderr);
        return 1;
    }
    printf("elapsed: %.3f s\n", (double)(end.QuadPart - begin.QuadPart) / frequency.QuadPart);
    return 0;
}
