// The piece sizes a user can choose, in whole MiB of data per piece, and
// why each bound is what it is:
// - At least 1 everywhere: every piece but the last holds the same whole
//   number of MiB, one at the least (the rule of a set, piece_layout.h).
// - At most 50 in the settings window of Sundrel.exe, the range its number
//   box has always had: pieces are made to be mailed, and many mail systems
//   refuse mails over 20 MB. A larger value stored in the profile is still
//   used as it is.
// - At most 4095 in the companion, whose pieces need not go by mail: the
//   largest size whose data, 4095 x 2^20 bytes, still fits in 32 bits, so
//   that no piece holds 4 GiB of data or more.
// Macros, so that the settings window's template (resources/Sundrel.rc)
// takes its range from here too; C++ uses the constants below.
#pragma once

#define SUNDREL_MIN_PIECE_MIB 1
#define SUNDREL_WINDOW_MAX_PIECE_MIB 50
#define SUNDREL_MAX_PIECE_MIB 4095

#ifndef RC_INVOKED
namespace sundrel {

// Piece data size in MiB when nothing else is chosen.
constexpr unsigned kDefaultPieceMiB = 16;
constexpr unsigned kMinPieceMiB = SUNDREL_MIN_PIECE_MIB;
constexpr unsigned kWindowMaxPieceMiB = SUNDREL_WINDOW_MAX_PIECE_MIB;
constexpr unsigned kMaxPieceMiB = SUNDREL_MAX_PIECE_MIB;

}  // namespace sundrel
#endif
