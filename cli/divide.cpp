// sundrel divide FILE: the file into numbered pieces beside it (or in -o
// DIR), as the Windows program writes them with its own divide file ID.
// Pieces of an earlier division of the same name are kept unless --force;
// with it they are replaced only once the new set is complete (see
// replacement.h). With --recovery the recovery pieces follow the pieces, as
// part of the same set. After a failure or an interruption the folder is as
// it was.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "division_hashes.h"
#include "mail_size.h"
#include "messages.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "piece_sizes.h"
#include "piece_names.h"
#include "platform.h"
#include "progress.h"
#include "recovery_writer.h"
#include "replacement.h"
#include "report.h"
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
const Text kMailBeyondLargest = {
    "Mail limit %" PRIu64 " bytes allows pieces larger than the largest piece size: pieces of %u MiB "
    "(the largest), each at most %" PRIu64 " bytes, %" PRIu64 " bytes as a base64 attachment",
    "メールの上限 %" PRIu64 " バイトは最大の分割サイズより大きな分割ファイルを許します: 分割サイズ %u MiB "
    "(最大)。分割ファイルは最大 %" PRIu64 " バイト、base64 の添付で %" PRIu64 " バイトです"};
const Text kTooMany = {
    "The file would be divided into %" PRIu64 " pieces, but at most 99 are possible. Please choose a larger division size.",
    "分割数が %" PRIu64 " 個になります。分割できるのは 99 個までです。分割サイズを大きくしてください。"};
const Text kFolderUnreadable = {"The output folder cannot be read: %s",
                                "出力フォルダを読み出せません: %s"};
const Text kPiecesExist = {
    "The folder %s already holds pieces of %s: %s; --force replaces them once the new pieces are complete",
    "フォルダ %s には既に %s の分割ファイルがあります: %s。--force を付けると、新しい分割ファイルの完成後に置き換えます"};
const Text kCreateError = {"Could not create divide file: %s",
                           "分割ファイルを作成できませんでした: %s"};
const Text kWriteIdError = {"An error occurred while writing the divide file ID: %s",
                            "分割ファイルＩＤの書き込みでエラーが発生しました: %s"};
const Text kWriteError = {"An error occurred while writing the divide file: %s",
                          "分割ファイルの書き込みでエラーが発生しました: %s"};
const Text kWriteFcsError = {"An error occurred while writing the CRC of the divide file: %s",
                             "分割ファイルのＣＲＣ書き込みでエラーが発生しました: %s"};
const Text kTooManyWithRecovery = {
    "%" PRIu64 " pieces and %u recovery pieces: at most %u files in all are possible",
    "分割ファイル %" PRIu64 " 個と修復用ファイル %u 個: 合わせて %u 個までです"};
const Text kWriteRecoveryError = {"An error occurred while writing the recovery file: %s",
                                  "修復用ファイルの書き込みでエラーが発生しました: %s"};
const Text kSwitchError = {
    "The new pieces could not all take their names; those not renamed are complete under their "
    "temporary names: %s",
    "新しい分割ファイルの一部を本来の名前にできませんでした。残りは一時的な名前で完全な状態にあります: %s"};

const Text kOperands = {"FILE", "ファイル"};
const Text kSummary = {"divide FILE into pieces of MIB MiB (default 16)",
                       "ファイルを MiB数 (既定 16) ごとに分割します"};
const Text kDetails = {
    "Writes NAME(NN_of_MM).divide beside FILE or in DIR and prints their paths; with --recovery\n"
    "also NAME(00_of_MM).recovery-RR-of-TT.divide, which prove the set and rebuild up to TT lost\n"
    "or damaged pieces. When pieces of the same name are there already, it refuses unless\n"
    "--force; with it the new pieces replace them only once all are written and on the disk.\n"
    "After a failure, a full disk or Ctrl-C the folder is as it was.",
    "名前(NN_of_MM).divide をファイルと同じフォルダかフォルダに書き、そのパスを表示します。--recovery を\n"
    "付けると 名前(00_of_MM).recovery-RR-of-TT.divide も書きます。これは組を証明し、失われたか壊れた\n"
    "分割ファイルを TT 個まで復元します。同じ名前の分割ファイルが既にあるときは、--force を付けない限り分割しません。付けると、新しい分割ファイルを\n"
    "すべて書き終えてディスクに記録してから置き換えます。失敗、ディスク不足、Ctrl-C の後は、フォルダは\n"
    "元のままです。"};
const ResultKey kResult[] = {
    {"source", "null"}, {"folder", "null"}, {"pieceMiB", "null"}, {"mailLimit", "null"},
    {"count", "null"},  {"id", "null"},     {"idTime", "null"},   {"pieces", "[]"},
    {"recoveryCount", "0"}, {"existing", "[]"}, {"replaced", "[]"}, {"recoveryPieces", "[]"},
    {nullptr, nullptr}};

// The piece size in MiB from -s or --mail-limit, told as it is used; 0
// after the message when the limit is too small.
unsigned ChoosePieceMiB(const Options& options, Report& report)
{
    if (options.pieceMiB)
        return options.pieceMiB;
    if (!options.mailLimit)
        return kDefaultPieceMiB;
    const uint64_t limit = options.mailLimit;
    unsigned fits = LargestPieceMiBForMail(limit);
    if (fits == 0) {
        report.Fail(kExitUsage, "mail-limit-too-small", Say(&kLimitTooSmall, limit));
        return 0;
    }
    unsigned miB = std::min(fits, kMaxPieceMiB);
    uint64_t length = PieceFileLength(miB * kMiB), mailBytes = Base64MailBytes(length);
    JsonObject json;
    json.SetNumber("limit", limit).SetNumber("pieceMiB", miB).SetNumber("pieceBytes", length);
    json.SetNumber("mailBytes", mailBytes).SetBool("largest", fits > kMaxPieceMiB);
    report.Result().Set("mailLimit", json.Dump());
    if (!options.Has(kOptQuiet) && !report.Json())
        report.Note(fits > kMaxPieceMiB
                        ? Say(&kMailBeyondLargest, limit, miB, length, mailBytes)
                        : Say(&kMailChoice, limit, miB, length, mailBytes, limit - mailBytes));
    return miB;
}

struct Division {
    std::string sourcePath;
    uint64_t size;
    uint64_t pieceSize;
    uint32_t id;
    unsigned count;
    unsigned recoveryCount;
};

// Writes one piece under its temporary name and puts it on the disk, its
// SHA-256 into hashes when they are wanted; the exit code.
int WritePiece(const Division& division, unsigned number, PieceSet& pieces, ByteSource& source,
               const std::string& sourceError, DivisionHashes& hashes, Progress& progress,
               Report& report)
{
    std::string path = pieces.TemporaryPath(number);
    // Only a crashed process of this one's ID can have left a file of this
    // name behind.
    RemoveFile(path);
    File file;
    if (!file.CreateNew(path, division.sourcePath))
        return report.Fail(kExitFailed, "create-failed", Say(&kCreateError, path.c_str()), file.Error());
    pieces.Created(number);
    if (division.size > 0) {
        uint64_t offset = uint64_t(number - 1) * division.pieceSize;
        uint64_t left = division.size - offset;
        uint64_t dataBytes = left < division.pieceSize ? left : division.pieceSize;
        FileSink fileSink(file);
        ByteSink& sink = hashes.Piece(fileSink);
        std::vector<uint8_t> buffer(kBlockDataSize);
        if (!WritePieceId(sink, division.id))
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteIdError, path.c_str()),
                               file.Error());
        PieceOutcome out = WritePieceBlocks(source, sink, dataBytes, buffer.data(), progress);
        switch (out.status) {
        case PieceStatus::Ok:
            break;
        case PieceStatus::Stopped:
            return report.Interrupted();
        case PieceStatus::ReadFailed:
            return report.Fail(kExitFailed, "read-failed",
                               Say(&kReadError, division.sourcePath.c_str()), sourceError);
        case PieceStatus::FcsWriteFailed:
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteFcsError, path.c_str()),
                               file.Error());
        default:
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, path.c_str()),
                               file.Error());
        }
        if (!fileSink.Flush())
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, path.c_str()),
                               file.Error());
    }
    if (!file.Sync() || !file.Close())
        return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, path.c_str()), file.Error());
    hashes.EndPiece();
    return kExitOk;
}

// Writes the recovery pieces under their temporary names from the source,
// read again anywhere, and puts them on the disk; the exit code.
int WriteRecovery(const Division& division, const RecoveryManifest& manifest, PieceSet& pieces,
                  File& sourceFile, Progress& progress, Report& report)
{
    const unsigned total = division.recoveryCount;
    std::vector<File> files(total);
    std::vector<std::unique_ptr<FileSink>> sinks;
    std::vector<ByteSink*> sinkList;
    std::vector<unsigned> indexes;
    for (unsigned i = 0; i < total; ++i) {
        std::string path = pieces.TemporaryPath(division.count + i + 1);
        RemoveFile(path);
        if (!files[i].CreateNew(path, division.sourcePath))
            return report.Fail(kExitFailed, "create-failed", Say(&kCreateError, path.c_str()),
                               files[i].Error());
        pieces.Created(division.count + i + 1);
        sinks.push_back(std::make_unique<FileSink>(files[i]));
        sinkList.push_back(sinks.back().get());
        indexes.push_back(i + 1);
    }
    FileRandomSource source(sourceFile);
    RecoveryProgress observer(progress, total);
    RecoveryWriteOutcome outcome =
        WriteRecoveryPieces(source, manifest, sinkList.data(), indexes.data(), total, observer);
    size_t failed = outcome.sink;
    if (outcome.status == RecoveryWriteStatus::Ok)
        for (failed = 0; failed < total; ++failed)
            if (!sinks[failed]->Flush() || !files[failed].Sync() || !files[failed].Close())
                break;
    switch (outcome.status) {
    case RecoveryWriteStatus::Ok:
        if (failed == total)
            return kExitOk;
        [[fallthrough]];
    case RecoveryWriteStatus::WriteFailed: {
        std::string path = pieces.TemporaryPath(division.count + unsigned(failed) + 1);
        return report.Fail(kExitFailed, "write-failed", Say(&kWriteRecoveryError, path.c_str()),
                           files[failed].Error());
    }
    case RecoveryWriteStatus::Stopped:
        return report.Interrupted();
    default:   // a source that cannot be read again; the counts were checked before
        return report.Fail(kExitFailed, "read-failed", Say(&kReadError, division.sourcePath.c_str()),
                           sourceFile.Error());
    }
}

std::string NameList(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    return list;
}

std::string NamesJson(const std::vector<std::string>& names)
{
    JsonArray array;
    for (const std::string& name : names)
        array.AddName(name);
    return array.Dump();
}

// The earlier pieces of the source's name in folder, or the refusal to
// replace them; the exit code.
int FindEarlier(const std::string& folder, const std::string& sourceName, const Options& options,
                std::vector<std::string>* earlier, Report& report)
{
    std::string error;
    if (!PiecesOfSource(folder, sourceName, earlier, &error))
        return report.Fail(kExitFailed, "folder-unreadable", Say(&kFolderUnreadable, folder.c_str()),
                           error);
    std::sort(earlier->begin(), earlier->end());
    report.Result().Set("existing", NamesJson(*earlier));
    if (earlier->empty() || options.Has(kOptForce))
        return kExitOk;
    return report.Fail(kExitFailed, "pieces-exist",
                       Say(&kPiecesExist, folder.c_str(), sourceName.c_str(), NameList(*earlier).c_str()));
}

int RunDivide(const Options& options, Report& report)
{
    Division division;
    division.sourcePath = options.operands[0];
    report.Result().SetName("source", division.sourcePath);
    PathKind kind = KindOf(division.sourcePath);
    if (kind != PathKind::File) {
        const char* what = kind == PathKind::Missing ? "no-such-file"
                           : kind == PathKind::Folder ? "is-folder"
                                                      : "not-a-file";
        const Text* text = kind == PathKind::Missing  ? &kNoSuchFile
                           : kind == PathKind::Folder ? &kIsFolder
                                                      : &kNotAFile;
        return report.Fail(kExitUsage, what, Say(text, division.sourcePath.c_str()));
    }
    std::string folder = options.Has(kOptOutput) ? options.outDir : FolderOf(division.sourcePath);
    report.Result().SetName("folder", folder);
    if (KindOf(folder) != PathKind::Folder)
        return report.Fail(kExitUsage, "not-a-folder", Say(&kNotFolder, folder.c_str()));
    std::string sourceName = FileNameOf(division.sourcePath);
    unsigned miB = ChoosePieceMiB(options, report);
    if (miB == 0)
        return kExitUsage;
    report.Result().SetNumber("pieceMiB", miB);

    File sourceFile;
    if (!sourceFile.OpenForReading(division.sourcePath))
        return report.Fail(kExitFailed, "open-failed", Say(&kOpenError, division.sourcePath.c_str()),
                           sourceFile.Error());
    // The size of the opened file: a size that cannot be read never passes
    // for an empty source.
    if (!sourceFile.Size(&division.size))
        return report.Fail(kExitFailed, "read-failed", Say(&kReadError, division.sourcePath.c_str()),
                           sourceFile.Error());
    division.pieceSize = miB * kMiB;
    uint64_t count = PieceCountFor(division.size, division.pieceSize);
    if (count > kMaxPieceCount)
        return report.Fail(kExitFailed, "too-many-pieces", Say(&kTooMany, count));
    if (count + options.RecoveryCount(unsigned(count)) > kMaxPiecesWithRecovery)
        return report.Fail(kExitUsage, "too-many-pieces",
                           Say(&kTooManyWithRecovery, count, options.RecoveryCount(unsigned(count)),
                               kMaxPiecesWithRecovery));
    std::vector<std::string> earlier;
    if (int code = FindEarlier(folder, sourceName, options, &earlier, report))
        return code;
    division.id = SecondsSince1970();
    report.Result().SetNumber("count", count);
    if (division.size > 0)
        report.Result().SetNumber("id", division.id).SetString("idTime", IdTime(division.id));
    division.count = unsigned(count);
    division.recoveryCount = options.RecoveryCount(division.count);
    report.Result().SetNumber("recoveryCount", division.recoveryCount);

    PieceSet pieces(folder, sourceName, division.count, division.recoveryCount);
    {
        DivisionHashes hashes(division.recoveryCount > 0);
        Progress progress(division.size +
                              kFcsSize * ((division.size + kBlockDataSize - 1) / kBlockDataSize) +
                              RecoveryProgressBytes(division.size, division.pieceSize,
                                                    division.recoveryCount),
                          options.Has(kOptQuiet) || report.Json());
        FileSource plainSource(sourceFile);
        ByteSource& source = hashes.Source(plainSource);
        for (unsigned n = 1; n <= count; ++n)
            if (int code = WritePiece(division, n, pieces, source, plainSource.Error(), hashes,
                                      progress, report))
                return code;
        if (division.recoveryCount > 0) {
            RecoveryManifest manifest = hashes.Manifest(division.id, division.size, division.pieceSize,
                                                        division.count, division.recoveryCount);
            if (int code = WriteRecovery(division, manifest, pieces, sourceFile, progress, report))
                return code;
        }
    }
    std::string error;
    if (!pieces.SyncFolder(&error))
        return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, folder.c_str()), error);
    // The last moment to stop: from here on the switch runs to its end.
    if (Interrupted())
        return report.Interrupted();
    // Pieces that came while this one wrote count as earlier ones too.
    if (int code = FindEarlier(folder, sourceName, options, &earlier, report))
        return code;
    std::vector<std::string> replaced;
    bool switched = pieces.Switch(earlier, &replaced, &error);
    report.Result().Set("replaced", NamesJson(replaced));
    if (!switched)
        return report.Fail(kExitFailed, "switch-failed", Say(&kSwitchError, error.c_str()));
    std::vector<std::string> written, recovery;
    for (unsigned n = 1; n <= count + division.recoveryCount; ++n) {
        (n <= count ? written : recovery).push_back(pieces.FinalPath(n));
        report.Line(pieces.FinalPath(n));
    }
    report.Result().Set("pieces", NamesJson(written)).Set("recoveryPieces", NamesJson(recovery));
    return kExitOk;
}

}  // namespace

const CommandSpec kDivideCommand = {
    "divide", &kOperands, &kSummary, &kDetails,
    kOptOutput | kOptSize | kOptMailLimit | kOptRecovery | kOptForce,
    1, 1, kResult, RunDivide,
};

}  // namespace sundrel::cli
