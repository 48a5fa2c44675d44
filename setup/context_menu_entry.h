// The "Divide with Sundrel" entry in the context menu of every file,
// machine-wide. Plain registry calls: the uninstaller links no support layer.
#pragma once

#include <windows.h>

// Writes the entry, or nothing: a failure removes whatever part of it
// stood. Like the installer's other steps it reports nothing.
void WriteContextMenuEntry(const wchar_t* text, const wchar_t* command);
// Removes the entry; no entry is no failure.
void RemoveContextMenuEntry();
