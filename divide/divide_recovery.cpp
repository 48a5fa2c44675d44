#include "divide_recovery.h"

#include <vector>

#include "handle_random.h"
#include "handle_streams.h"
#include "piece_paths.h"
#include "recovery_writer.h"
#include "settings_record.h"

unsigned RecoveryCountFor(unsigned count)
{
    unsigned total = g_Set.DivRec < kMaxDivRec ? g_Set.DivRec : kMaxDivRec;
    unsigned room = count < sundrel::kMaxPiecesWithRecovery ? sundrel::kMaxPiecesWithRecovery - count : 0;
    return total < room ? total : room;
}

uint64_t RecoveryProgressBytes(uint64_t sourceSize, uint64_t pieceSize, unsigned total)
{
    return total * (sourceSize < pieceSize ? sourceSize : pieceSize);
}

DivisionHashes::DivisionHashes(bool wanted) : wanted_(wanted)
{
    if (!wanted_)
        return;
    worker_ = std::make_unique<sundrel::HashWorker>();
    source_.emplace(*worker_, 0);
    piece_.emplace(*worker_, 1);
}

sundrel::ByteSource& DivisionHashes::Source(sundrel::ByteSource& source)
{
    if (!wanted_)
        return source;
    sourceStream_.emplace(source, *source_);
    return *sourceStream_;
}

sundrel::ByteSink& DivisionHashes::Piece(sundrel::ByteSink& piece)
{
    if (!wanted_)
        return piece;
    pieceStream_.emplace(piece, *piece_);
    return *pieceStream_;
}

void DivisionHashes::EndPiece()
{
    if (wanted_)
        pieces_.push_back(piece_->Finish());
}

sundrel::RecoveryManifest DivisionHashes::Manifest(uint32_t id, uint64_t sourceSize,
                                                   uint64_t pieceSize, unsigned count,
                                                   unsigned total)
{
    sundrel::RecoveryManifest manifest;
    manifest.id = id;
    manifest.sourceSize = sourceSize;
    manifest.pieceSize = pieceSize;
    manifest.count = count;
    manifest.recoveryCount = total;
    manifest.source = source_->Finish();
    manifest.pieces = pieces_;
    return manifest;
}

namespace {

// The writer counts every stripe with the bytes written for it into all
// recovery pieces, their FCS included; the divide's observer takes a block
// with its FCS. Each stripe passes as one block of the data it covers in
// all recovery pieces, which RecoveryProgressBytes counts.
class RecoveryProgress : public sundrel::BlockObserver {
public:
    RecoveryProgress(sundrel::BlockObserver& divide, unsigned total) : divide_(divide), total_(total) {}
    bool BeforeBlock() override { return divide_.BeforeBlock(); }
    void AfterBlock(size_t bytes) override
    {
        divide_.AfterBlock(bytes - total_ * sundrel::kFcsSize + sundrel::kFcsSize);
    }

private:
    sundrel::BlockObserver& divide_;
    unsigned total_;
};

// The recovery pieces' files, closed however the writing ends.
struct RecoveryFiles {
    std::vector<HANDLE> handles;
    std::vector<std::wstring> paths;
    ~RecoveryFiles()
    {
        for (HANDLE file : handles)
            CloseHandle(file);
    }
};

}  // namespace

RECOVERY_FILES_RESULT WriteRecoveryFiles(const RECOVERY_TARGET& target,
                                         const sundrel::RecoveryManifest& manifest,
                                         HANDLE sourceFile, sundrel::BlockObserver& observer)
{
    RecoveryFiles files;
    for (unsigned index = 1; index <= manifest.recoveryCount; ++index) {
        wchar_t path[MAX_PATH];
        HANDLE file = INVALID_HANDLE_VALUE;
        if (FormatRecoveryName(target.outFolder, target.name, target.ext, manifest.count, index,
                               manifest.recoveryCount, path))
            file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, target.attributes, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return {RecoveryFilesStatus::CreateFailed, path};
        files.handles.push_back(file);
        files.paths.push_back(path);
    }
    std::vector<HandleSink> sinks(files.handles.begin(), files.handles.end());
    std::vector<sundrel::ByteSink*> sinkList;
    std::vector<unsigned> indexes;
    for (unsigned n = 0; n < manifest.recoveryCount; ++n) {
        sinkList.push_back(&sinks[n]);
        indexes.push_back(n + 1);
    }
    HandleRandomSource source(sourceFile);
    RecoveryProgress progress(observer, manifest.recoveryCount);
    sundrel::RecoveryWriteOutcome outcome = sundrel::WriteRecoveryPieces(
        source, manifest, sinkList.data(), indexes.data(), sinkList.size(), progress);
    switch (outcome.status) {
    case sundrel::RecoveryWriteStatus::Ok:
        return {RecoveryFilesStatus::Written, L""};
    case sundrel::RecoveryWriteStatus::Stopped:
        return {RecoveryFilesStatus::Stopped, L""};
    case sundrel::RecoveryWriteStatus::WriteFailed:
        return {RecoveryFilesStatus::WriteFailed, files.paths[outcome.sink]};
    default:   // a source that cannot be read again, or a count the code refuses
        return {RecoveryFilesStatus::ReadFailed, L""};
    }
}
