// sundrel divide FILE: the file into numbered pieces beside it (or in -o
// DIR), as the Windows program writes them with its own divide file ID.
// Earlier pieces of the same name go first; after a failure or Ctrl-C every
// piece this run wrote goes too.
#include <cinttypes>
#include <string>
#include <vector>

#include "commands.h"
#include "mail_size.h"
#include "messages.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "piece_names.h"
#include "platform.h"
#include "progress.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kNotAFile = {"Not a regular file: %s", "通常のファイルではありません: %s"};
const Text kLimitTooSmall = {
    "A mail limit of %" PRIu64 " bytes cannot carry even a piece of 1 MiB once it is encoded",
    "メールの上限 %" PRIu64 " バイトでは、エンコード後の 1 MiB の分割ファイルも送れません"};
const Text kMailChoice = {
    "Mail limit %" PRIu64 " bytes: pieces of %u MiB, each at most %" PRIu64
    " bytes, %" PRIu64 " bytes as a base64 attachment, with %" PRIu64 " bytes left for the headers",
    "メールの上限 %" PRIu64 " バイト: 分割サイズ %u MiB。分割ファイルは最大 %" PRIu64
    " バイト、base64 の添付で %" PRIu64 " バイト、ヘッダ用に %" PRIu64 " バイトを残します"};
const Text kTooMany = {
    "The file would be divided into %" PRIu64 " pieces, but at most 99 are possible. Please choose a larger division size.",
    "分割数が %" PRIu64 " 個になります。分割できるのは 99 個までです。分割サイズを大きくしてください。"};
const Text kFolderUnreadable = {"The output folder cannot be read: %s",
                                "出力フォルダを読み出せません: %s"};
const Text kCreateError = {"Could not create divide file: %s",
                           "分割ファイルを作成できませんでした: %s"};
const Text kWriteIdError = {"An error occurred while writing the divide file ID: %s",
                            "分割ファイルＩＤの書き込みでエラーが発生しました: %s"};
const Text kWriteError = {"An error occurred while writing the divide file: %s",
                          "分割ファイルの書き込みでエラーが発生しました: %s"};
const Text kWriteFcsError = {"An error occurred while writing the CRC of the divide file: %s",
                             "分割ファイルのＣＲＣ書き込みでエラーが発生しました: %s"};

unsigned ChoosePieceMiB(const Options& options, bool* ok)
{
    *ok = true;
    if (options.pieceMiB)
        return options.pieceMiB;
    if (!options.mailLimit)
        return kDefaultPieceMiB;
    unsigned miB = LargestPieceMiBForMail(options.mailLimit);
    if (miB == 0) {
        PrintError(Say(kLimitTooSmall, options.mailLimit));
        *ok = false;
    } else if (!options.quiet) {
        uint64_t length = PieceFileLength(miB * kMiB);
        WriteStderr(Say(kMailChoice, options.mailLimit, miB, length, Base64MailBytes(length),
                        options.mailLimit - Base64MailBytes(length)) +
                    "\n");
    }
    return miB > kMaxPieceMiB ? kMaxPieceMiB : miB;
}

// Earlier pieces of this source name, whatever their count and ID: only
// exact piece names, never report.pdf(copy).divide or another source's.
bool RemoveEarlierPieces(const std::string& folder, const std::string& sourceName)
{
    std::vector<std::string> names;
    std::string error;
    if (!ListFiles(folder, &names, &error)) {
        PrintError(Say(kFolderUnreadable, folder.c_str()), error);
        return false;
    }
    PieceNumber number;
    for (const std::string& name : names)
        if (ParsePieceFileName<char>(name, sourceName, &number))
            RemoveFile(JoinPath(folder, name));
    return true;
}

struct Division {
    std::string sourcePath;
    std::string folder;
    std::string sourceName;
    uint64_t size;
    uint64_t pieceSize;
    unsigned count;
    uint32_t id;
};

// Writes one piece; false after its message.
bool WritePiece(const Division& division, unsigned number, FileSource& source, Progress& progress,
                std::vector<std::string>* written, bool* interrupted)
{
    std::string path =
        JoinPath(division.folder, PieceFileName<char>(division.sourceName, number, division.count));
    File file;
    if (!file.CreateNew(path, division.sourcePath)) {
        PrintError(Say(kCreateError, path.c_str()), file.Error());
        return false;
    }
    written->push_back(path);
    if (division.size > 0) {
        uint64_t offset = uint64_t(number - 1) * division.pieceSize;
        uint64_t left = division.size - offset;
        uint64_t dataBytes = left < division.pieceSize ? left : division.pieceSize;
        FileSink sink(file);
        LinkViews(source, sink);
        std::vector<uint8_t> buffer(kBlockDataSize);
        if (!WritePieceId(sink, division.id)) {
            PrintError(Say(kWriteIdError, path.c_str()), file.Error());
            return false;
        }
        PieceOutcome out = WritePieceBlocks(source, sink, dataBytes, buffer.data(), progress);
        switch (out.status) {
        case PieceStatus::Ok:
            break;
        case PieceStatus::Stopped:
            *interrupted = true;
            return false;
        case PieceStatus::ReadFailed:
            PrintError(Say(kReadError, division.sourcePath.c_str()), source.Error());
            return false;
        case PieceStatus::FcsWriteFailed:
            PrintError(Say(kWriteFcsError, path.c_str()), file.Error());
            return false;
        default:
            PrintError(Say(kWriteError, path.c_str()), file.Error());
            return false;
        }
        if (!sink.Flush()) {
            PrintError(Say(kWriteError, path.c_str()), file.Error());
            return false;
        }
    }
    if (!file.Close()) {
        PrintError(Say(kWriteError, path.c_str()), file.Error());
        return false;
    }
    return true;
}

}  // namespace

int RunDivide(const Options& options)
{
    Division division;
    division.sourcePath = options.file;
    PathKind kind = KindOf(division.sourcePath);
    if (kind != PathKind::File) {
        const Text& text = kind == PathKind::Missing  ? kNoSuchFile
                           : kind == PathKind::Folder ? kIsFolder
                                                      : kNotAFile;
        PrintError(Say(text, division.sourcePath.c_str()));
        return kExitUsage;
    }
    division.folder = options.outDir.empty() ? FolderOf(division.sourcePath) : options.outDir;
    if (KindOf(division.folder) != PathKind::Folder) {
        PrintError(Say(kNotFolder, division.folder.c_str()));
        return kExitUsage;
    }
    division.sourceName = FileNameOf(division.sourcePath);
    bool ok = true;
    unsigned miB = ChoosePieceMiB(options, &ok);
    if (!ok)
        return kExitUsage;

    File sourceFile;
    if (!sourceFile.OpenForReading(division.sourcePath)) {
        PrintError(Say(kOpenError, division.sourcePath.c_str()), sourceFile.Error());
        return kExitFailed;
    }
    // The size of the opened file: a size that cannot be read never passes
    // for an empty source.
    if (!sourceFile.Size(&division.size)) {
        PrintError(Say(kReadError, division.sourcePath.c_str()), sourceFile.Error());
        return kExitFailed;
    }
    division.pieceSize = miB * kMiB;
    uint64_t count = PieceCountFor(division.size, division.pieceSize);
    if (count > kMaxPieceCount) {
        PrintError(Say(kTooMany, count));
        return kExitFailed;
    }
    division.count = unsigned(count);
    division.id = SecondsSince1970();
    if (!RemoveEarlierPieces(division.folder, division.sourceName))
        return kExitFailed;

    std::vector<std::string> written;
    bool interrupted = false;
    {
        Progress progress(division.size + kFcsSize * ((division.size + kBlockDataSize - 1) /
                                                       kBlockDataSize),
                          options.quiet);
        FileSource source(sourceFile);
        for (unsigned n = 1; ok && n <= division.count; ++n)
            ok = WritePiece(division, n, source, progress, &written, &interrupted);
    }
    if (!ok) {
        for (const std::string& path : written)
            RemoveFile(path);
        if (interrupted)
            PrintError(Pick(kInterrupted));
        return interrupted ? kExitInterrupted : kExitFailed;
    }
    for (const std::string& path : written)
        PrintLine(path);
    return kExitOk;
}

}  // namespace sundrel::cli
