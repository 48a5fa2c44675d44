// sundrel verify PIECE: the whole set of the piece's division checked as a
// merge would check it, nothing written. One line per piece and per problem.
#include <cinttypes>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "division.h"
#include "messages.h"
#include "piece_io.h"
#include "platform.h"
#include "progress.h"
#include "streams.h"

namespace sundrel::cli {

namespace {

const Text kOk = {"%s: OK, %" PRIu64 " blocks, %" PRIu64 " data bytes",
                  "%s: 正常、%" PRIu64 " ブロック、データ %" PRIu64 " バイト"};
const Text kDamaged = {"%s: damaged at block %" PRIu64 " (byte offset %" PRIu64 ")",
                       "%s: ブロック %" PRIu64 " (オフセット %" PRIu64 " バイト) が破損しています"};
const Text kTruncated = {"%s: truncated: %" PRIu64 " bytes, shorter than the set requires",
                         "%s: 途中で切れています: %" PRIu64 " バイトでは組の他の分割ファイルより短すぎます"};
const Text kGrown = {"%s: grown: %" PRIu64 " bytes, longer than the set allows",
                     "%s: 長すぎます: %" PRIu64 " バイトは組の他の分割ファイルより長すぎます"};
const Text kTail = {"%s: ends in a %" PRIu64 "-byte tail after its last whole block",
                    "%s: 最後のブロックの後に %" PRIu64 " バイトの端数があります"};
const Text kMisshapen = {"%s: %" PRIu64 " bytes is no whole number of MiB, as every piece but the last must hold",
                         "%s: %" PRIu64 " バイトは最後以外の分割ファイルに必要な MiB 単位の長さではありません"};
const Text kShortId = {"%s: too short to hold a divide file ID (%" PRIu64 " bytes)",
                       "%s: 分割ファイルＩＤを持つには短すぎます (%" PRIu64 " バイト)"};
const Text kUnreadable = {"%s: cannot be read (%s)", "%s: 読み出せません (%s)"};
const Text kOtherDivision = {"%s: a piece of another division (ID %s), left out",
                             "%s: 別の分割の分割ファイルです (ID %s)。対象外です"};
const Text kForeignId = {"%s: its ID %s is not the set's (%s): damaged, or a piece of another division",
                         "%s: ID %s がこの組の ID (%s) と違います。破損しているか、別の分割の分割ファイルです"};
const Text kWrongCount = {"%s: a piece of this division under another piece count (%u)",
                          "%s: この分割の ID を持つが分割数が違います (%u)"};
const Text kDuplicate = {"%s: a second piece with the number %02u",
                         "%s: 番号 %02u の分割ファイルが二つあります"};
const Text kMissing = {"missing: piece %s of %02u", "不足: %s (全 %02u 個中)"};
const Text kWouldMerge = {"The set would merge: %u pieces, %" PRIu64 " data bytes.",
                          "統合できます: 分割ファイル %u 個、データ %" PRIu64 " バイト"};
const Text kWouldNotMerge = {"The set would not merge.", "この組は統合できません。"};

struct Finding {
    std::string file;     // empty for a line about the whole set
    std::string kind;
    std::string message;
    std::vector<std::pair<const char*, uint64_t>> values;
};

struct Scan {
    PieceOutcome outcome;
    std::string error;
};

Scan ScanBlocks(const std::string& path, Progress& progress)
{
    Scan scan;
    File file;
    if (!file.OpenForReading(path)) {
        scan.outcome.status = PieceStatus::ReadFailed;
        scan.error = file.Error();
        return scan;
    }
    FileSource source(file);
    std::vector<uint8_t> chunk(kChunkSize);
    scan.outcome = JoinPieceBlocks(source, nullptr, chunk.data(), progress);
    scan.error = file.Error();
    return scan;
}

uint64_t TailBytes(uint64_t length)
{
    return length > kPieceIdSize ? (length - kPieceIdSize) % kChunkSize : 0;
}

// Findings that both the block scan and the collection or the lengths can
// make of a piece.
using Piece = PlannedFile<char>;

Finding TailFinding(const Piece& piece)
{
    return {piece.name, "tail", Say(kTail, piece.name.c_str(), TailBytes(piece.head.length)),
            {{"bytes", TailBytes(piece.head.length)}}};
}

Finding ShortIdFinding(const Piece& piece)
{
    return {piece.name, "short-id", Say(kShortId, piece.name.c_str(), piece.head.length),
            {{"bytes", piece.head.length}}};
}

Finding UnreadableFinding(const Piece& piece, const std::string& error)
{
    return {piece.name, "unreadable", Say(kUnreadable, piece.name.c_str(), error.c_str()), {}};
}

void AddScanFinding(const Piece& piece, const Scan& scan, std::vector<Finding>* findings)
{
    const char* name = piece.name.c_str();
    const PieceOutcome& out = scan.outcome;
    switch (out.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
    case PieceStatus::Stopped:
        return;
    case PieceStatus::Corrupted:
        findings->push_back({piece.name, "damaged", Say(kDamaged, name, out.blocks + 1, out.offset),
                             {{"block", out.blocks + 1}, {"offset", out.offset}}});
        return;
    case PieceStatus::Tail:
        findings->push_back(TailFinding(piece));
        return;
    case PieceStatus::ShortId:
        findings->push_back(ShortIdFinding(piece));
        return;
    default:
        findings->push_back(UnreadableFinding(piece, scan.error));
        return;
    }
}

void AddLengthFinding(const Piece& piece, const Scan& scan, std::vector<Finding>* findings)
{
    const char* name = piece.name.c_str();
    const uint64_t length = piece.head.length;
    switch (piece.lengthFault) {
    case LengthFault::None:
        return;
    case LengthFault::Truncated:
        findings->push_back(
            {piece.name, "truncated", Say(kTruncated, name, length), {{"length", length}}});
        return;
    case LengthFault::Grown:
        findings->push_back({piece.name, "grown", Say(kGrown, name, length), {{"length", length}}});
        return;
    case LengthFault::Tail:
        if (scan.outcome.status != PieceStatus::Tail)
            findings->push_back(TailFinding(piece));
        return;
    case LengthFault::Misshapen:
        findings->push_back(
            {piece.name, "misshapen", Say(kMisshapen, name, length), {{"length", length}}});
        return;
    }
}

// A file that is named as a piece of the division but is not one of its
// members.
void AddOutsiderFinding(const DivisionFiles& division, const Piece& piece,
                        std::vector<Finding>* findings)
{
    const char* name = piece.name.c_str();
    const FileHead& head = piece.head;
    switch (piece.verdict) {
    case PlanVerdict::ForeignId:
        findings->push_back({piece.name, "foreign-id",
                             Say(kForeignId, name, IdText(head.id).c_str(),
                                 IdText(division.plan.id).c_str()),
                             {{"id", head.id}}});
        return;
    case PlanVerdict::PassedOver:
        if (head.readable && head.idBytes == int(kPieceIdSize)) {
            findings->push_back({piece.name, "other-division",
                                 Say(kOtherDivision, name, IdText(head.id).c_str()),
                                 {{"id", head.id}}});
            return;
        }
        [[fallthrough]];
    case PlanVerdict::ShortId:
    case PlanVerdict::Unreadable:
        findings->push_back(head.readable ? ShortIdFinding(piece)
                                          : UnreadableFinding(piece, division.ErrorOf(piece.name)));
        return;
    case PlanVerdict::WrongCount:
        findings->push_back({piece.name, "wrong-count", Say(kWrongCount, name, piece.number.count),
                             {{"count", piece.number.count}}});
        return;
    case PlanVerdict::Duplicate:
        findings->push_back({piece.name, "duplicate", Say(kDuplicate, name, piece.number.number),
                             {{"number", piece.number.number}}});
        return;
    case PlanVerdict::Member:
        return;
    }
}

std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string Json(const DivisionFiles& division, const std::vector<Finding>& findings,
                 const std::vector<unsigned>& missing, bool mergeable)
{
    std::string out = "{\"piece\":" + JsonString(division.selected.path) +
                      ",\"dividedFile\":" + JsonString(division.selected.dividedName) +
                      ",\"count\":" + std::to_string(division.plan.count);
    if (division.plan.hasId)
        out += ",\"id\":" + std::to_string(division.plan.id);
    out += ",\"mergeable\":";
    out += mergeable ? "true" : "false";
    out += ",\"findings\":[";
    for (size_t i = 0; i < findings.size(); ++i) {
        const Finding& f = findings[i];
        out += i ? ",{" : "{";
        if (!f.file.empty())
            out += "\"file\":" + JsonString(f.file) + ",";
        out += "\"kind\":" + JsonString(f.kind);
        for (const auto& value : f.values)
            out += ",\"" + std::string(value.first) + "\":" + std::to_string(value.second);
        out += ",\"message\":" + JsonString(f.message) + "}";
    }
    out += "],\"missing\":[";
    for (size_t i = 0; i < missing.size(); ++i)
        out += (i ? "," : "") + std::to_string(missing[i]);
    return out + "]}";
}

}  // namespace

int RunVerify(const Options& options)
{
    SelectedPiece selected;
    if (!SelectPiece(options.file, &selected))
        return kExitUsage;
    DivisionFiles division;
    if (!FindDivision(selected, &division))
        return kExitFailed;

    const MergePlan<char>& plan = division.plan;
    std::vector<Finding> findings;
    bool blocksOk = true;
    uint64_t dataBytes = 0, total = 0;
    for (const Piece& piece : plan.files)
        total += piece.verdict == PlanVerdict::Member ? piece.head.length : 0;
    Progress progress(total, options.quiet || options.json);
    for (const Piece& piece : plan.files) {
        if (piece.verdict != PlanVerdict::Member) {
            AddOutsiderFinding(division, piece, &findings);
            continue;
        }
        Scan scan = ScanBlocks(division.PathOf(piece), progress);
        if (scan.outcome.status == PieceStatus::Stopped)
            return kExitInterrupted;
        size_t before = findings.size();
        AddScanFinding(piece, scan, &findings);
        blocksOk &= findings.size() == before;
        AddLengthFinding(piece, scan, &findings);
        if (findings.size() == before)
            findings.push_back({piece.name, "ok",
                                Say(kOk, piece.name.c_str(), scan.outcome.blocks,
                                    scan.outcome.dataBytes),
                                {{"blocks", scan.outcome.blocks},
                                 {"dataBytes", scan.outcome.dataBytes}}});
        dataBytes += scan.outcome.dataBytes;
    }
    const std::vector<unsigned>& missing = plan.missing;
    if (!missing.empty()) {
        std::string list;
        for (unsigned n : missing)
            list += (list.empty() ? "" : ", ") + std::string(n < 10 ? "0" : "") + std::to_string(n);
        findings.push_back({"", "missing", Say(kMissing, list.c_str(), plan.count), {}});
    }
    bool mergeable = plan.Mergeable() && blocksOk;
    if (options.json) {
        PrintLine(Json(division, findings, missing, mergeable));
    } else {
        for (const Finding& finding : findings)
            PrintLine(finding.message);
        PrintLine(mergeable ? Say(kWouldMerge, plan.count, dataBytes) : Say(kWouldNotMerge));
    }
    return mergeable ? kExitOk : kExitFailed;
}

}  // namespace sundrel::cli
