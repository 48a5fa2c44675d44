// The settings record: loaded once at start-up, stored by the settings window.
#pragma once

#include <windows.h>

#include "piece_layout.h"

struct SETTINGS_RECORD {
    UINT DivSize;                 // MiB per piece
    UINT fDivDir;                 // 0: beside the source, else DivDir
    UINT fDivOpen;
    UINT fDivRmv;                 // delete stale pieces without asking
    wchar_t DivDir[MAX_PATH];
    UINT DivRec;                  // recovery pieces written after the pieces
    UINT fMrgDir;                 // 0: beside the pieces, else MrgDir
    UINT fMrgOpen;
    UINT fMrgRmv;                 // delete the pieces after a good merge
    wchar_t MrgDir[MAX_PATH];
    wchar_t OutlookDir[MAX_PATH]; // folder of outlook.exe, no trailing backslash
    wchar_t OutlookDesc[260];
    wchar_t OutlookVer[260];
};

extern SETTINGS_RECORD g_Set;

// MiB per piece when nothing (or 0) is stored.
const UINT kDefaultDivSize = sundrel::kDefaultPieceMiB;
// Recovery pieces the settings window offers: none to 99.
const UINT kMaxDivRec = 99;

// The machine-wide Outlook values; needs the machine hive selected.
void LoadMachineOutlook();
// Everything else from the user's profile; tempFolder is the default folder.
void LoadSettings(const wchar_t* tempFolder);
void StoreDivMrgSettings();
void StoreOutlookSettings();
