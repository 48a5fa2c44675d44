#include "settings_record.h"

#include <wchar.h>

#include "qoc.h"

SETTINGS_RECORD g_Set;

void LoadMachineOutlook()
{
    const wchar_t* key = QOC_PROFILE_KEY;
    const wchar_t* s = QOC_SETTING_SECTION;
    QocGetRegFileStrW(key, s, L"OutlookDir", L"", g_Set.OutlookDir, 260);
    QocGetRegFileStrW(key, s, L"OutlookDesc", L"", g_Set.OutlookDesc, 260);
    QocGetRegFileStrW(key, s, L"OutlookVer", L"", g_Set.OutlookVer, 260);
}

void LoadSettings(const wchar_t* tempFolder)
{
    const wchar_t* s = QOC_SETTING_SECTION;
    g_Set.DivSize = QocGetProfileUIntW(s, L"DivSize", kDefaultDivSize);
    g_Set.fDivDir = QocGetProfileUIntW(s, L"fDivDir", 1);
    g_Set.fDivOpen = QocGetProfileUIntW(s, L"fDivOpen", 1);
    g_Set.fDivRmv = QocGetProfileUIntW(s, L"fDivRmv", 1);
    QocGetProfileStrW(s, L"DivDir", tempFolder, g_Set.DivDir, MAX_PATH);
    g_Set.DivRec = QocGetProfileUIntW(s, L"DivRec", 0);
    g_Set.fMrgDir = QocGetProfileUIntW(s, L"fMrgDir", 1);
    g_Set.fMrgOpen = QocGetProfileUIntW(s, L"fMrgOpen", 1);
    g_Set.fMrgRmv = QocGetProfileUIntW(s, L"fMrgRmv", 1);
    QocGetProfileStrW(s, L"MrgDir", tempFolder, g_Set.MrgDir, MAX_PATH);

    // The user's own Outlook folder, once the settings window accepted one,
    // replaces the installer's values, empty description and version included.
    wchar_t dir[MAX_PATH], desc[256], ver[256];
    QocGetProfileStrW(s, L"OutlookDir", L"", dir, MAX_PATH);
    QocGetProfileStrW(s, L"OutlookDesc", L"", desc, 256);
    QocGetProfileStrW(s, L"OutlookVer", L"", ver, 256);
    if (dir[0]) {
        wcscpy_s(g_Set.OutlookDir, dir);
        wcscpy_s(g_Set.OutlookDesc, desc);
        wcscpy_s(g_Set.OutlookVer, ver);
    }
}

void StoreDivMrgSettings()
{
    const wchar_t* s = QOC_SETTING_SECTION;
    QocPutProfileUIntW(s, L"DivSize", g_Set.DivSize);
    QocPutProfileUIntW(s, L"fDivDir", g_Set.fDivDir);
    QocPutProfileUIntW(s, L"fDivOpen", g_Set.fDivOpen);
    QocPutProfileUIntW(s, L"fDivRmv", g_Set.fDivRmv);
    QocPutProfileStrW(s, L"DivDir", g_Set.DivDir);
    QocPutProfileUIntW(s, L"DivRec", g_Set.DivRec);
    QocPutProfileUIntW(s, L"fMrgDir", g_Set.fMrgDir);
    QocPutProfileUIntW(s, L"fMrgOpen", g_Set.fMrgOpen);
    QocPutProfileUIntW(s, L"fMrgRmv", g_Set.fMrgRmv);
    QocPutProfileStrW(s, L"MrgDir", g_Set.MrgDir);
}

void StoreOutlookSettings()
{
    QocPutProfileStrW(QOC_SETTING_SECTION, L"OutlookDir", g_Set.OutlookDir);
    QocPutProfileStrW(QOC_SETTING_SECTION, L"OutlookDesc", g_Set.OutlookDesc);
    QocPutProfileStrW(QOC_SETTING_SECTION, L"OutlookVer", g_Set.OutlookVer);
}
