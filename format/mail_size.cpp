#include "mail_size.h"

#include "piece_layout.h"

namespace sundrel {

uint64_t Base64MailBytes(uint64_t fileBytes)
{
    constexpr uint64_t kLineChars = 76;
    uint64_t chars = (fileBytes + 2) / 3 * 4;
    uint64_t lines = (chars + kLineChars - 1) / kLineChars;
    return chars + 2 * lines;
}

uint64_t PieceMailBytes(unsigned pieceMiB)
{
    return Base64MailBytes(PieceFileLength(pieceMiB * kMiB));
}

unsigned LargestPieceMiBForMail(uint64_t limitBytes)
{
    if (limitBytes <= kMailHeaderAllowance)
        return 0;
    uint64_t room = limitBytes - kMailHeaderAllowance;
    // An estimate from the 4/3 and 78/76 growth, then exact steps: the
    // encoded size grows with the piece, so the answer is found by walking.
    uint64_t estimate = room / 137 * 100 / PieceFileLength(kMiB) + 1;
    unsigned miB = estimate > 1u << 20 ? 1u << 20 : unsigned(estimate);
    while (miB > 0 && PieceMailBytes(miB) > room)
        --miB;
    while (miB < 1u << 20 && PieceMailBytes(miB + 1) <= room)
        ++miB;
    return miB;
}

}  // namespace sundrel
