// Hands the pieces of a finished division to Outlook, one send sheet each.
#pragma once

#include <windows.h>

// One start of outlook.exe per piece, in piece order, then one per recovery
// piece, with the recipient and subject of the divide window read afresh for
// each. Stops early on cancel.
void OpenMailSheets(HWND window, const wchar_t* outFolder, const wchar_t* name,
                    const wchar_t* ext, unsigned count, unsigned recoveryCount);
