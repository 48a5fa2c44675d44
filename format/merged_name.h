// The name of a merged file: the divided file's name with the local time
// stamped between name and extension, report(261206-154330).pdf.
#pragma once

#include <string>
#include <string_view>

namespace sundrel {

struct StampTime {
    int year, month, day, hour, minute, second;
};

// dividedName is a file name without folder; the stamp goes before its last
// extension.
template <class C>
std::basic_string<C> MergedFileName(std::basic_string_view<C> dividedName, const StampTime& t);

}  // namespace sundrel
