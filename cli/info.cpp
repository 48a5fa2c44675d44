// sundrel info PIECE: what one piece holds, read from its name and its bytes.
#include <cinttypes>
#include <string>
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

const Text kFileLine = {"File:         %s", "ファイル:       %s"};
const Text kDividedLine = {"Divided file: %s", "分割元:         %s"};
const Text kIdLine = {"ID:           %s", "ID:             %s"};
const Text kNoIdLine = {"ID:           none (the one piece of an empty file)",
                        "ID:             なし (空のファイルの分割ファイル)"};
const Text kPieceLine = {"Piece:        %u of %u", "番号:           %u / %u"};
const Text kBlocksLine = {"Blocks:       %" PRIu64, "ブロック数:     %" PRIu64};
const Text kDataLine = {"Data bytes:   %" PRIu64, "データ:         %" PRIu64 " バイト"};
const Text kLengthLine = {"File bytes:   %" PRIu64, "ファイルサイズ: %" PRIu64 " バイト"};
const Text kDamaged = {"Damaged at block %" PRIu64 " (byte offset %" PRIu64 ")",
                       "ブロック %" PRIu64 " (オフセット %" PRIu64 " バイト) が破損しています"};
const Text kTail = {"Ends in a tail of 1 or 2 bytes after block %" PRIu64,
                    "ブロック %" PRIu64 " の後に 1 か 2 バイトの端数があります"};
const Text kShortId = {"Too short to hold a divide file ID",
                       "分割ファイルＩＤを持つには短すぎます"};

}  // namespace

int RunInfo(const Options& options)
{
    SelectedPiece selected;
    if (!SelectPiece(options.file, &selected))
        return kExitUsage;
    File file;
    uint64_t length = 0;
    if (!file.OpenForReading(selected.path) || !file.Size(&length)) {
        PrintError(Say(kOpenError, selected.path.c_str()), file.Error());
        return kExitFailed;
    }
    FileSource source(file);
    std::vector<uint8_t> chunk(kChunkSize);
    Progress progress(length, options.quiet);
    PieceOutcome out = JoinPieceBlocks(source, nullptr, chunk.data(), progress);
    if (out.status == PieceStatus::Stopped)
        return kExitInterrupted;

    PrintLine(Say(kFileLine, selected.path.c_str()));
    PrintLine(Say(kDividedLine, selected.dividedName.c_str()));
    if (out.status == PieceStatus::Empty)
        PrintLine(Say(kNoIdLine));
    else if (out.status != PieceStatus::ShortId && out.status != PieceStatus::ReadFailed)
        PrintLine(Say(kIdLine, IdText(out.id).c_str()));
    PrintLine(Say(kPieceLine, selected.number.number, selected.number.count));
    PrintLine(Say(kBlocksLine, out.blocks));
    PrintLine(Say(kDataLine, out.dataBytes));
    PrintLine(Say(kLengthLine, length));
    switch (out.status) {
    case PieceStatus::Ok:
    case PieceStatus::Empty:
        return kExitOk;
    case PieceStatus::Corrupted:
        PrintError(Say(kDamaged, out.blocks + 1, out.offset));
        return kExitFailed;
    case PieceStatus::Tail:
        PrintError(Say(kTail, out.blocks));
        return kExitFailed;
    case PieceStatus::ShortId:
        PrintError(Say(kShortId));
        return kExitFailed;
    default:
        PrintError(Say(kReadError, selected.path.c_str()), file.Error());
        return kExitFailed;
    }
}

}  // namespace sundrel::cli
