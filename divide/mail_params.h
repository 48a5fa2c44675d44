// The text handed to Outlook for one piece: pure text work, no window. The
// subject's rewriting is the piece format's; this holds it to the buffers
// of the divide window and adds Outlook's switches.
#pragma once

#include <stddef.h>

// Subject and recipient buffers, as read from the divide window.
const size_t kMailTextSize = 512;
// Always large enough for both fields, a whole piece path and the switches.
const size_t kMailParamsSize = 2 * kMailTextSize + 260 + 64;

// In place, within size characters (the rest cut): every "&N&" (any case)
// becomes "number / count", then every space becomes "%20". With a label,
// for recovery piece number of count: "label number / count".
void RewriteMailSubject(wchar_t* subject, size_t size, unsigned number, unsigned count,
                        const wchar_t* label = nullptr);

// Outlook's switches for one send sheet: questionForm picks "?subject="
// (else "&subject=") after the recipient; the piece path is quoted. False
// when the result does not fit in size characters.
bool FormatMailParams(wchar_t* out, size_t size, const wchar_t* recipient,
                      const wchar_t* subject, const wchar_t* piecePath, bool questionForm);
