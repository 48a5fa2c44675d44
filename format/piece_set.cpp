#include "piece_set.h"

#include "piece_layout.h"

namespace sundrel {

namespace {

FoundVerdict Judge(const FoundPiece& piece, int selectedIdBytes, uint32_t selectedId)
{
    if (selectedIdBytes == 0)
        return piece.idBytes == 0 ? FoundVerdict::Member : FoundVerdict::OtherDivision;
    if (piece.idBytes != int(kPieceIdSize))
        return FoundVerdict::Unreadable;
    return piece.id == selectedId ? FoundVerdict::Member : FoundVerdict::OtherDivision;
}

}  // namespace

Collection CollectDivision(const std::vector<FoundPiece>& found, int selectedIdBytes,
                           uint32_t selectedId, unsigned count)
{
    Collection result;
    bool valid = count >= 1 && count <= kMaxPieceCount &&
                 (selectedIdBytes == int(kPieceIdSize) || (selectedIdBytes == 0 && count == 1));
    result.members.assign(valid ? count : 0, -1);
    bool faulty = !valid;
    for (size_t i = 0; i < found.size(); ++i) {
        const FoundPiece& piece = found[i];
        FoundVerdict verdict = valid ? Judge(piece, selectedIdBytes, selectedId)
                                     : FoundVerdict::OtherDivision;
        if (verdict == FoundVerdict::Member) {
            if (piece.count != count || piece.number < 1 || piece.number > count)
                verdict = FoundVerdict::WrongCount;
            else if (result.members[piece.number - 1] >= 0)
                verdict = FoundVerdict::Duplicate;
            else
                result.members[piece.number - 1] = int(i);
        }
        faulty |= verdict == FoundVerdict::WrongCount || verdict == FoundVerdict::Duplicate;
        result.verdicts.push_back(verdict);
    }
    bool allThere = true;
    for (int member : result.members)
        allThere &= member >= 0;
    result.complete = !faulty && allThere;
    return result;
}

}  // namespace sundrel
