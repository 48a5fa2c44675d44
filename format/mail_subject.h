// The subject of the send sheet of one piece or recovery piece.
#pragma once

#include <string>
#include <string_view>

namespace sundrel {

// Every "&N&" (any case) becomes "number / count", then every space
// becomes "%20".
template <class C>
void RewriteMailSubject(std::basic_string<C>& subject, unsigned number, unsigned count);

// The same for recovery piece index of total: every "&N&" becomes
// "label index / total" ("recovery 1 / 2"), so that its mail is told apart
// from the pieces' mails.
template <class C>
void RewriteRecoveryMailSubject(std::basic_string<C>& subject, std::basic_string_view<C> label,
                                unsigned index, unsigned total);

}  // namespace sundrel
