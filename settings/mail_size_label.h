// The text beside the piece size in the settings window: what one piece
// weighs as a mail attachment.
#pragma once

#include <stddef.h>
#include <wchar.h>

// format with its one "%s" replaced by the mail size of a full piece of
// pieceMiB MiB: MB in powers of 1000, as mail limits are stated, to one
// decimal, rounded half up. The text is cut at size and always terminated.
void FormatPieceMailSize(wchar_t* out, size_t size, const wchar_t* format, unsigned pieceMiB);
