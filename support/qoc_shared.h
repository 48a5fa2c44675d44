// Values that the programs, the companion on Windows, the tests and the
// scripts share. Plain macros, one to a line: scripts/env.sh reads the
// registry names from here.
#pragma once

#include <windows.h>

// The program's key below a hive. The user's profile is
// HKEY_CURRENT_USER\QOC_PROFILE_KEY; the settings record lies in its
// section QOC_SETTING_SECTION, and the installer leaves the Outlook location
// in the same key and section under HKEY_LOCAL_MACHINE.
#define QOC_PROFILE_KEY L"SOFTWARE\\QorCstXX\\Sundrel"
#define QOC_SETTING_SECTION L"SETTING"

// The user-interface language whose texts are Japanese (ja-JP); every other
// language gets the English texts.
#define QOC_LANG_JAPANESE MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN)

// The attributes a new file takes over from the one it is made from, a
// piece from its source and a merged file from the selected piece:
// read-only, hidden, system, archive and not content-indexed, all of which
// CreateFileW can set on a new file.
#define QOC_COPIED_ATTRIBUTES                                                    \
    (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |  \
     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED)

// The attributes to create a file with that is made from one with the given
// attributes (GetFileAttributesW's answer). INVALID_FILE_ATTRIBUTES never
// gets through: it would switch on flags such as delete-on-close.
inline DWORD QocCreationAttributes(DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FILE_ATTRIBUTE_NORMAL;
    attributes &= QOC_COPIED_ATTRIBUTES;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}
