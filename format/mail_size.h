// How large a piece becomes as a mail attachment, and the largest piece
// size that still fits a mail limit.
#pragma once

#include <cstdint>

namespace sundrel {

// Room left for the mail's own headers, the attachment's part headers and a
// short text, besides the encoded piece.
constexpr uint64_t kMailHeaderAllowance = 64 * 1024;

// Bytes of fileBytes once base64-encoded in lines of 76 characters, each
// ended by CRLF.
uint64_t Base64MailBytes(uint64_t fileBytes);

// Bytes of a full piece of pieceMiB MiB of data as a mail attachment,
// encoded as above.
uint64_t PieceMailBytes(unsigned pieceMiB);

// The largest whole number of MiB whose full piece, encoded as above, fits
// within limitBytes together with kMailHeaderAllowance; 0 when not even
// 1 MiB fits.
unsigned LargestPieceMiBForMail(uint64_t limitBytes);

}  // namespace sundrel
