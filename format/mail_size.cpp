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

unsigned LargestPieceMiBForMail(uint64_t limitBytes)
{
    if (limitBytes <= kMailHeaderAllowance)
        return 0;
    uint64_t room = limitBytes - kMailHeaderAllowance;
    // An estimate from the 4/3 and 78/76 growth, then exact steps: the
    // encoded size grows with the piece, so the answer is found by walking.
    uint64_t estimate = room / 137 * 100 / PieceFileLength(kMiB) + 1;
    unsigned miB = estimate > 1u << 20 ? 1u << 20 : unsigned(estimate);
    while (miB > 0 && Base64MailBytes(PieceFileLength(miB * kMiB)) > room)
        --miB;
    while (miB < 1u << 20 && Base64MailBytes(PieceFileLength((miB + 1) * kMiB)) <= room)
        ++miB;
    return miB;
}

}  // namespace sundrel
