// The subject of the send sheet of one piece.
#pragma once

#include <string>

namespace sundrel {

// Every "&N&" (any case) becomes "number / count", then every space
// becomes "%20".
template <class C>
void RewriteMailSubject(std::basic_string<C>& subject, unsigned number, unsigned count);

}  // namespace sundrel
