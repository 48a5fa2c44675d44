// sundrel info PIECE...: what each piece holds, read from its name and its
// bytes; each file once, however often it is named. A recovery piece shows
// its manifest.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "commands.h"
#include "division.h"
#include "messages.h"
#include "piece_io.h"
#include "platform.h"
#include "progress.h"
#include "recovery.h"
#include "report.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kFileLine = {"File:         %s", "ファイル:       %s"};
const Text kDividedLine = {"Divided file: %s", "分割元:         %s"};
const Text kIdLine = {"ID:           %s", "ID:             %s"};
const Text kNoIdLine = {"ID:           none (the one piece of an empty file)",
                        "ID:             なし (空のファイルの分割ファイル)"};
const Text kPieceLine = {"Piece:        %u of %u", "番号:           %u / %u"};
const Text kBlocksLine = {"Blocks:       %" PRIu64, "ブロック数:     %" PRIu64};
const Text kDataLine = {"Data bytes:   %" PRIu64, "データ:         %" PRIu64 " バイト"};
const Text kLengthLine = {"File bytes:   %" PRIu64, "ファイルサイズ: %" PRIu64 " バイト"};
const Text kDamaged = {"%s: damaged at block %" PRIu64 " (byte offset %" PRIu64 ")",
                       "%s: ブロック %" PRIu64 " (オフセット %" PRIu64 " バイト) が破損しています"};
const Text kTail = {"%s: ends in a tail of 1 or 2 bytes after block %" PRIu64,
                    "%s: ブロック %" PRIu64 " の後に 1 か 2 バイトの端数があります"};
const Text kShortId = {"%s: too short to hold a divide file ID",
                       "%s: 分割ファイルＩＤを持つには短すぎます"};
const Text kBadNumber = {"%s: no piece can have the number %02u in a set of %02u",
                         "%s: 番号 %02u の分割ファイルは %02u 個の組にはありえません"};
const Text kBadEmpty = {"%s: empty, but only the one piece of an empty file (01_of_01) is empty",
                        "%s: 空ですが、空でよいのは空のファイルの分割ファイル (01_of_01) だけです"};
const Text kBadLength = {"%s: %" PRIu64 " bytes is no length of a piece that a divide writes",
                         "%s: %" PRIu64 " バイトは分割で書かれる分割ファイルの長さではありません"};

const Text kRecoveryLine = {"Recovery:     piece %u of %u, for a set of %u pieces",
                            "修復用:         %u / %u 個目、分割ファイル %u 個の組"};
const Text kPieceHashLine = {"Piece %02u:     SHA-256 %s", "分割 %02u:        SHA-256 %s"};
const Text kNoManifest = {"%s: no recovery piece can be read from it (%s)",
                          "%s: 修復用ファイルとして読み出せません (%s)"};
const Text kOtherName = {"%s: its manifest is of recovery piece %u of %u for %u pieces, not of its name",
                         "%s: マニフェストは名前と違い、修復用ファイル %u / %u (分割ファイル %u 個の組) のものです"};
const Text kBadRecoveryLength = {"%s: %" PRIu64 " bytes, but its manifest makes it %" PRIu64 " bytes",
                                 "%s: %" PRIu64 " バイトですが、マニフェストによれば %" PRIu64 " バイトです"};

const Text kOperands = {"PIECE...", "分割ファイル..."};
const Text kSummary = {"ID, number, blocks and data bytes of each PIECE",
                       "各分割ファイルの ID・番号・ブロック数・データ量を表示します"};
const Text kDetails = {
    "Shows each piece's divide file ID with the time (UTC) its division began, its number and\n"
    "count, its blocks and data bytes, and checks its blocks. A piece that no divide can write\n"
    "(an impossible number, an empty piece of a larger set, an impossible length) fails. For a\n"
    "recovery piece it shows its manifest: the ID, the size and the SHA-256 of the divided file\n"
    "and of every piece.",
    "各分割ファイルの分割ファイル ID とその分割が始まった時刻 (UTC)、番号と分割数、ブロック数、\n"
    "データのバイト数を表示し、ブロックを検査します。分割では書かれない分割ファイル (ありえない番号、\n"
    "空なのに組の一部、ありえない長さ) は失敗になります。修復用ファイルでは、そのマニフェスト (ID、\n"
    "大きさ、分割元と各分割ファイルの SHA-256) を表示します。"};
const ResultKey kResult[] = {{"pieces", "[]"}, {nullptr, nullptr}};

JsonObject EmptyPiece(const std::string& argument)
{
    JsonObject piece;
    piece.SetName("file", argument).SetNull("error").SetNull("dividedFile").SetNull("number");
    piece.SetNull("count").SetNull("id").SetNull("idTime").SetNull("blocks");
    return piece.SetNull("dataBytes").SetNull("length").SetNull("recovery");
}

// A recovery piece's manifest; the exit code.
int ShowRecoveryPiece(const SelectedPiece& selected, Report& report, JsonObject* json)
{
    const char* name = selected.path.c_str();
    const RecoveryNumber& number = selected.recovery;
    json->SetName("dividedFile", selected.dividedName).SetNumber("number", 0);
    json->SetNumber("count", number.count);
    FileRandomSource file;
    uint64_t length = 0;
    if (!file.Open(selected.path) || !file.Size(&length))
        return report.Fail(kExitFailed, "open-failed", Say(&kOpenError, name), file.Error());
    json->SetNumber("length", length);
    RecoveryManifest manifest;
    RecoveryFileCheck check = ReadManifest(&file, &manifest);
    if (check.verdict != RecoveryFileVerdict::Usable)
        return report.Fail(kExitFailed, "no-manifest",
                           Say(&kNoManifest, name, file.Error().empty() ? ManifestFaultText(check.fault)
                                                                        : file.Error().c_str()));
    report.Line(Say(&kFileLine, name));
    report.Line(Say(&kDividedLine, selected.dividedName.c_str()));
    report.Line(Say(&kRecoveryLine, manifest.index, manifest.recoveryCount, manifest.count));
    ShowManifest(manifest, report);
    JsonArray hashes;
    for (unsigned p = 0; p < manifest.count; ++p) {
        report.Line(Say(&kPieceHashLine, p + 1, Sha256Hex(manifest.pieces[p]).c_str()));
        hashes.Add(JsonString(Sha256Hex(manifest.pieces[p])));
    }
    report.Line(Say(&kLengthLine, length));
    const DivisionLayout layout = LayoutOf(manifest);
    json->SetNumber("id", manifest.id).SetString("idTime", IdTime(manifest.id));
    json->SetNumber("blocks", layout.Stripes());
    JsonObject recovery = ManifestJson(manifest);
    recovery.SetNumber("index", manifest.index).Set("pieceSha256", hashes.Dump());
    json->Set("recovery", recovery.Dump());
    if (manifest.index != number.index || manifest.recoveryCount != number.total ||
        manifest.count != number.count)
        return report.Fail(kExitFailed, "other-name",
                           Say(&kOtherName, name, manifest.index, manifest.recoveryCount, manifest.count));
    if (length != layout.RecoveryPieceLength())
        return report.Fail(kExitFailed, "impossible-length",
                           Say(&kBadRecoveryLength, name, length, layout.RecoveryPieceLength()));
    return kExitOk;
}

// One piece's lines and JSON; the exit code.
int ShowPiece(const SelectedPiece& selected, const Options& options, Report& report,
              JsonObject* json)
{
    const char* name = selected.path.c_str();
    const PieceNumber& number = selected.number;
    json->SetName("dividedFile", selected.dividedName).SetNumber("number", number.number);
    json->SetNumber("count", number.count);
    File file;
    uint64_t length = 0;
    if (!file.OpenForReading(selected.path) || !file.Size(&length))
        return report.Fail(kExitFailed, "open-failed", Say(&kOpenError, name), file.Error());
    FileSource source(file);
    std::vector<uint8_t> chunk(kChunkSize);
    Progress progress(length, options.Has(kOptQuiet) || report.Json());
    PieceOutcome out = JoinPieceBlocks(source, nullptr, chunk.data(), progress);
    if (out.status == PieceStatus::Stopped)
        return report.Interrupted();

    report.Line(Say(&kFileLine, name));
    report.Line(Say(&kDividedLine, selected.dividedName.c_str()));
    bool hasId = out.status != PieceStatus::Empty && out.status != PieceStatus::ShortId &&
                 out.status != PieceStatus::ReadFailed;
    if (out.status == PieceStatus::Empty)
        report.Line(Say(&kNoIdLine));
    else if (hasId)
        report.Line(Say(&kIdLine, IdText(out.id).c_str()));
    report.Line(Say(&kPieceLine, number.number, number.count));
    report.Line(Say(&kBlocksLine, out.blocks));
    report.Line(Say(&kDataLine, out.dataBytes));
    report.Line(Say(&kLengthLine, length));
    if (hasId)
        json->SetNumber("id", out.id).SetString("idTime", IdTime(out.id));
    json->SetNumber("blocks", out.blocks).SetNumber("dataBytes", out.dataBytes);
    json->SetNumber("length", length);

    uint64_t dataBytes = 0;
    switch (out.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
        break;
    case PieceStatus::Corrupted:
        return report.Fail(kExitFailed, "damaged", Say(&kDamaged, name, out.blocks + 1, out.offset));
    case PieceStatus::Tail:
        return report.Fail(kExitFailed, "tail", Say(&kTail, name, out.blocks));
    case PieceStatus::ShortId:
        return report.Fail(kExitFailed, "short-id", Say(&kShortId, name));
    default:
        return report.Fail(kExitFailed, "read-failed", Say(&kReadError, name), file.Error());
    }
    if (number.number < 1 || number.number > number.count)
        return report.Fail(kExitFailed, "impossible-number",
                           Say(&kBadNumber, name, number.number, number.count));
    if (length == 0 && number.count != 1)
        return report.Fail(kExitFailed, "impossible-empty", Say(&kBadEmpty, name));
    if (!PieceDataBytes(length, &dataBytes) || (length > 0 && dataBytes == 0))
        return report.Fail(kExitFailed, "impossible-length", Say(&kBadLength, name, length));
    return kExitOk;
}

int RunInfo(const Options& options, Report& report)
{
    JsonArray pieces;
    std::set<std::string> shown;
    int worst = kExitOk;
    for (const std::string& argument : options.operands) {
        JsonObject json = EmptyPiece(argument);
        SelectedPiece selected;
        int code = kExitUsage;
        if (SelectPiece(argument, &selected, report)) {
            std::string key = CanonicalFolder(selected.folder) + "/" + selected.fileName;
            if (!shown.insert(key).second)
                continue;
            if (shown.size() > 1)
                report.Line("");
            code = selected.isRecovery ? ShowRecoveryPiece(selected, report, &json)
                                       : ShowPiece(selected, options, report, &json);
        }
        if (code != kExitOk)
            json.Set("error", report.LastError());
        pieces.Add(json.Dump());
        worst = std::max(worst, code);
        if (code > kExitUsage)
            break;   // interrupted
    }
    report.Result().Set("pieces", pieces.Dump());
    return worst;
}

}  // namespace

const CommandSpec kInfoCommand = {
    "info", &kOperands, &kSummary, &kDetails, 0, 1, SIZE_MAX, kResult, RunInfo,
};

}  // namespace sundrel::cli
