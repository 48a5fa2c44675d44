// Recovery pieces of a division: written after the pieces from the
// source, each with the manifest that the SHA-256 sums taken while the
// pieces were written make up.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hashing_streams.h"
#include "piece_io.h"
#include "recovery_piece.h"
#include "hash_worker.h"
#include "sha256.h"

// The recovery pieces a division of count pieces gets from DivRec: at most
// 99, and never past the recovery code's 255 files in all.
unsigned RecoveryCountFor(unsigned count);

// Bytes of progress the recovery pieces add to a division's data bytes:
// every recovery piece counts the data of the longest piece once.
uint64_t RecoveryProgressBytes(uint64_t sourceSize, uint64_t pieceSize, unsigned total);

// The SHA-256 sums of a division with recovery pieces, taken in passing:
// the source through Source(), every piece through Piece() while it is
// written. Without recovery pieces both give their stream back as it is.
class DivisionHashes {
public:
    explicit DivisionHashes(bool wanted);
    bool Wanted() const { return wanted_; }
    sundrel::ByteSource& Source(sundrel::ByteSource& source);
    sundrel::ByteSink& Piece(sundrel::ByteSink& piece);
    // The piece handed out last is complete.
    void EndPiece();
    // The manifest of the division; total recovery pieces.
    sundrel::RecoveryManifest Manifest(uint32_t id, uint64_t sourceSize, uint64_t pieceSize,
                                       unsigned count, unsigned total);

private:
    bool wanted_;
    // Hashed on a thread of their own, while the pieces are read and written.
    std::unique_ptr<sundrel::HashWorker> worker_;
    std::optional<sundrel::HashWorker::Input> source_, piece_;
    std::optional<sundrel::HashingSource> sourceStream_;
    std::optional<sundrel::HashingSink> pieceStream_;
    std::vector<sundrel::Sha256Digest> pieces_;
};

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
