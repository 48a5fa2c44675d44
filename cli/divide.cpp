// sundrel divide FILE: the file into numbered pieces beside it (or in -o
// DIR), as the Windows program writes them with its own divide file ID.
// Pieces of an earlier division of the same name are kept unless --force;
// with it they are replaced only once the new set is complete (see
// replacement.h). After a failure or an interruption the folder is as it was.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "mail_size.h"
#include "messages.h"
#include "piece_io.h"
#include "piece_layout.h"
#include "piece_sizes.h"
#include "piece_names.h"
#include "platform.h"
#include "progress.h"
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
const Text kSwitchError = {
    "The new pieces could not all take their names; those not renamed are complete under their "
    "temporary names: %s",
    "新しい分割ファイルの一部を本来の名前にできませんでした。残りは一時的な名前で完全な状態にあります: %s"};

const Text kOperands = {"FILE", "ファイル"};
const Text kSummary = {"divide FILE into pieces of MIB MiB (default 16)",
                       "ファイルを MiB数 (既定 16) ごとに分割します"};
const Text kDetails = {
    "Writes NAME(NN_of_MM).divide beside FILE or in DIR and prints their paths. When pieces of\n"
    "the same name are there already, it refuses unless --force; with it the new pieces replace\n"
    "them only once all are written and on the disk. After a failure, a full disk or Ctrl-C the\n"
    "folder is as it was.",
    "名前(NN_of_MM).divide をファイルと同じフォルダかフォルダに書き、そのパスを表示します。同じ名前の\n"
    "分割ファイルが既にあるときは、--force を付けない限り分割しません。付けると、新しい分割ファイルを\n"
    "すべて書き終えてディスクに記録してから置き換えます。失敗、ディスク不足、Ctrl-C の後は、フォルダは\n"
    "元のままです。"};
const ResultKey kResult[] = {
    {"source", "null"}, {"folder", "null"}, {"pieceMiB", "null"}, {"mailLimit", "null"},
    {"count", "null"},  {"id", "null"},     {"idTime", "null"},   {"pieces", "[]"},
    {"existing", "[]"}, {"replaced", "[]"}, {nullptr, nullptr}};

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
};

// Writes one piece under its temporary name and puts it on the disk; the
// exit code.
int WritePiece(const Division& division, unsigned number, PieceSet& pieces, FileSource& source,
               Progress& progress, Report& report)
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
        FileSink sink(file);
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
                               Say(&kReadError, division.sourcePath.c_str()), source.Error());
        case PieceStatus::FcsWriteFailed:
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteFcsError, path.c_str()),
                               file.Error());
        default:
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, path.c_str()),
                               file.Error());
        }
        if (!sink.Flush())
            return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, path.c_str()),
                               file.Error());
    }
    if (!file.Sync() || !file.Close())
        return report.Fail(kExitFailed, "write-failed", Say(&kWriteError, path.c_str()), file.Error());
    return kExitOk;
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
    std::vector<std::string> earlier;
    if (int code = FindEarlier(folder, sourceName, options, &earlier, report))
        return code;
    division.id = SecondsSince1970();
    report.Result().SetNumber("count", count);
    if (division.size > 0)
        report.Result().SetNumber("id", division.id).SetString("idTime", IdTime(division.id));

    PieceSet pieces(folder, sourceName, unsigned(count));
    {
        Progress progress(division.size + kFcsSize * ((division.size + kBlockDataSize - 1) /
                                                       kBlockDataSize),
                          options.Has(kOptQuiet) || report.Json());
        FileSource source(sourceFile);
        for (unsigned n = 1; n <= count; ++n)
            if (int code = WritePiece(division, n, pieces, source, progress, report))
                return code;
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
    std::vector<std::string> written;
    for (unsigned n = 1; n <= count; ++n) {
        written.push_back(pieces.FinalPath(n));
        report.Line(written.back());
    }
    report.Result().Set("pieces", NamesJson(written));
    return kExitOk;
}

}  // namespace

const CommandSpec kDivideCommand = {
    "divide", &kOperands, &kSummary, &kDetails, kOptOutput | kOptSize | kOptMailLimit | kOptForce,
    1, 1, kResult, RunDivide,
};

}  // namespace sundrel::cli
