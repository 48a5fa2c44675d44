// Recovery pieces of a division: written after the pieces from the
// source, each with the manifest that the SHA-256 sums taken while the
// pieces were written make up (sundrel::DivisionHashes).
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>

#include "division_hashes.h"
#include "piece_io.h"
#include "recovery_piece.h"

// The recovery pieces a division of count pieces gets from DivRec: at most
// 99, and never past the recovery code's 255 files in all.
unsigned RecoveryCountFor(unsigned count);

// Where and as what the recovery pieces are written.
struct RECOVERY_TARGET {
    const wchar_t* outFolder;   // ends with a separator
    const wchar_t* name;        // the source's name without its extension
    const wchar_t* ext;
    DWORD attributes;           // the source's, as the pieces have them
};

enum class RecoveryFilesStatus { Written, Stopped, CreateFailed, WriteFailed, ReadFailed };

struct RECOVERY_FILES_RESULT {
    RecoveryFilesStatus status;
    std::wstring path;   // the recovery piece that could not be created or written
};

// Creates and writes every recovery piece the manifest names, reading the
// source at random through its open handle; progress and Stop through
// observer, which counts as the divide's does. Every file is closed on
// return.
RECOVERY_FILES_RESULT WriteRecoveryFiles(const RECOVERY_TARGET& target,
                                         const sundrel::RecoveryManifest& manifest,
                                         HANDLE sourceFile, sundrel::BlockObserver& observer);
