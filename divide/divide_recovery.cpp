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

namespace {

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
    sundrel::RecoveryProgress progress(observer, manifest.recoveryCount);
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
