// File operations that the divide and the merge share.
#pragma once

#include <windows.h>

// The attributes a new file takes over from path (QocCreationAttributes):
// read-only, hidden, system, archive, not indexed; FILE_ATTRIBUTE_NORMAL
// when it has none of them or they cannot be read.
DWORD CreationAttributesOf(const wchar_t* path);
// Deletes a file, read-only or not. Failures are not reported.
void DeleteFileForce(const wchar_t* path);
