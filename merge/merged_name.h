// The name of a merged file: the divided file's name with the local time
// stamped between name and extension, report(261206-154330).pdf.
#pragma once

#include <windows.h>
#include <stddef.h>

// dividedName is a file name without folder. Returns false, leaving out
// empty, when the stamped name does not fit size characters.
bool FormatMergedName(const wchar_t* dividedName, const SYSTEMTIME& localTime, wchar_t* out,
                      size_t size);
