// The support layer: the only place where the programs learn the Qoc names.
// Texts are UTF-16; every size argument counts characters and includes the
// terminator. Every operation that writes text stops at its size argument
// and always terminates what it wrote.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#include "qoc_shared.h"

// ---------------------------------------------------------------- text
// Bounded swprintf (%s takes a wide text). Returns the length written, or -1
// when the whole text did not fit; the cut text is still terminated.
int QocSnPrintFW(wchar_t* buf, size_t size, const wchar_t* format, ...);
// Appends src to dst. Returns FALSE when src had to be cut.
BOOL QocStrCatW(wchar_t* dst, size_t size, const wchar_t* src);
// First occurrence of find in text, compared without regard to case; or null.
wchar_t* QocStrIStrW(const wchar_t* text, const wchar_t* find);
// Replaces count characters at pos of buf with the first withLen characters
// of with. Returns FALSE when the result had to be cut at size; the replaced
// characters are gone either way.
BOOL QocRepPartStrW(wchar_t* buf, size_t size, size_t pos, size_t count,
                    const wchar_t* with, size_t withLen);
// Value of the ASCII digits at the start of text (0 when there are none).
int QocAscToIntW(const wchar_t* text);

// ---------------------------------------------------------------- files
// Joins path and part with exactly one backslash; an empty part leaves path
// ending with one. Returns FALSE (path unchanged) when the result does not fit.
BOOL QocPathCatW(wchar_t* path, const wchar_t* part, size_t size);
BOOL QocPathIsFileW(const wchar_t* path);
BOOL QocPathIsDirectoryW(const wchar_t* path);
// Size of a file by path; 0 when it cannot be read.
uint64_t QocGetFileSizeW(const wchar_t* path);
// Folder of the running program, without a trailing backslash.
BOOL QocGetAppPathW(wchar_t* out, size_t size);
// A string of a file's version resource ("FileDescription", "FileVersion").
// out is empty when the file has none; returns FALSE then.
BOOL QocGetVerInfoW(const wchar_t* file, const wchar_t* name, wchar_t* out, size_t size);
// The "FileVersion" of the module's own version resource.
BOOL QocGetVerInResW(HINSTANCE instance, wchar_t* out, size_t size);

// ---------------------------------------------------------------- check
// FCS-16 of HDLC/PPP (CRC-16/X-25), to be stored low byte first.
uint16_t QocBlkFCS(const void* data, size_t len);
// Non-zero when the last 2 of len bytes are the FCS of the bytes before them.
int QocChkFCS(const void* data, size_t len);

// ---------------------------------------------------------------- time
// Whole seconds since 1970-01-01 00:00:00 UTC of a UTC system time.
uint32_t QocSysTimeToTime1970(const SYSTEMTIME* utc);

// ---------------------------------------------------------------- sorted set
// A set of texts kept in ascending ordinal order, each once.
typedef struct QOC_AVS* HQOCAVS;
typedef struct QOC_AVS_ENTRY {
    const wchar_t* text;
    uintptr_t data1;
    uintptr_t data2;
} QOC_AVS_ENTRY;
// unique must be 1 (each text once); the other two are reserved, 0.
HQOCAVS QocAvsCreateW(int unique, int reserved1, int reserved2);
// Adds text with its data; 0 on failure. A text already held stays once.
int QocAvsInsNodeW(HQOCAVS set, const wchar_t* text, uintptr_t data1, uintptr_t data2);
int QocAvsGetCount(HQOCAVS set);
// Array of QocAvsGetCount entries in ascending order; null on failure.
// The texts belong to the set and live until QocAvsDelete.
QOC_AVS_ENTRY* QocAvsCreatePtrArrW(HQOCAVS set, int reserved1, int reserved2);
void QocAvsReleasePtrArrW(QOC_AVS_ENTRY* array);
void QocAvsDelete(HQOCAVS set);

// ---------------------------------------------------------------- settings
// The hive of QocGetRegFileStrW/QocPutRegFileStrW and of the profile.
void QocSetRegTopKey(HKEY top);
// Value name of <top>\key\section; def when it is missing or does not fit
// in size (returning FALSE then), never a cut text.
BOOL QocGetRegFileStrW(const wchar_t* key, const wchar_t* section, const wchar_t* name,
                       const wchar_t* def, wchar_t* out, size_t size);
BOOL QocPutRegFileStrW(const wchar_t* key, const wchar_t* section, const wchar_t* name,
                       int reserved, const wchar_t* value);
// The profile: <top>\QOC_PROFILE_KEY\section.
UINT QocGetProfileUIntW(const wchar_t* section, const wchar_t* name, UINT def);
BOOL QocGetProfileStrW(const wchar_t* section, const wchar_t* name, const wchar_t* def,
                       wchar_t* out, size_t size);
BOOL QocPutProfileUIntW(const wchar_t* section, const wchar_t* name, UINT value);
BOOL QocPutProfileStrW(const wchar_t* section, const wchar_t* name, const wchar_t* value);
// Window position kept in the profile.
BOOL QocLoadWndPosW(HWND window, const wchar_t* section);
BOOL QocSaveWndPosW(HWND window, const wchar_t* section);
// History lists, edit texts, check boxes and radio buttons of a window.
// Load remembers the section (and the text size) for the later save.
BOOL QocLoadAllControlSettingsW(HWND window, const wchar_t* section, size_t size);
BOOL QocSaveAllControlSettings(HWND window);

// ---------------------------------------------------------------- start
// Splits a command line (without the program name) into its arguments.
// flags: 1 = strip the quotes. Release the list with QocReleaseCmdArgs.
wchar_t** QocParseCmdArgsExW(const wchar_t* cmdLine, int* count, int flags);
void QocReleaseCmdArgs(wchar_t** args);
// The user's UI language; QOC_LANG_JAPANESE (1041) is Japanese.
LANGID QocGetLangId(void);

// ---------------------------------------------------------------- maps
// A message map is a static table of rows, ended by a row of zeros.
typedef INT_PTR (*QOC_MMP_HANDLER)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
enum { QOC_MMP_END = 0, QOC_MMP_MSG = 1, QOC_MMP_CMD = 2 };
typedef struct QOC_MMP_ROW {
    UINT kind;                 // QOC_MMP_MSG, QOC_MMP_CMD or QOC_MMP_END
    UINT message;              // window message; WM_COMMAND in command rows; 0 for a named one
    UINT id;                   // command identifier of a command row
    QOC_MMP_HANDLER handler;
    const wchar_t* regName;    // registered window message name, or null
    UINT reserved;
} QOC_MMP_ROW;
enum { QOC_MMP_MAX_ROWS = 32 };
// Filled by QocMmpInitTblW; the program only reserves it.
typedef struct QOC_MMP_REC {
    const QOC_MMP_ROW* rows;
    int count;
    UINT message[QOC_MMP_MAX_ROWS];   // message of each row, named ones resolved
} QOC_MMP_REC;
BOOL QocMmpInitTblW(const QOC_MMP_ROW* rows, QOC_MMP_REC* rec);
// Calls the handler of the matching row; its result, or 0 when none matches.
INT_PTR QocMmpDlgMsgHandle(QOC_MMP_REC* rec, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A named subclass: proc replaces the window procedure; the old one is kept
// under the name and gets every message that no row matches.
BOOL QocMmpSetSubclass(HWND window, const wchar_t* name, WNDPROC proc);
LRESULT QocMmpWndMsgHandle(QOC_MMP_REC* rec, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam, WNDPROC proc, const wchar_t* name);
BOOL QocMmpDelSubclass(HWND window, const wchar_t* name);

// ---------------------------------------------------------------- items
BOOL QocSetDlgItemStrW(HWND dialog, int id, const wchar_t* text);
BOOL QocGetDlgItemStrW(HWND dialog, int id, wchar_t* out, size_t size);
// On a radio group box (QocSbcRadioBtns) these set and get the index of the
// ticked button; setting notifies like a click.
BOOL QocSetDlgItemUInt(HWND dialog, int id, UINT value);
UINT QocGetDlgItemUInt(HWND dialog, int id);
BOOL QocSetDlgItemChk(HWND dialog, int id, int checked);
int QocGetDlgItemChk(HWND dialog, int id);
BOOL QocEnableDlgItem(HWND dialog, int id, int enable);
BOOL QocShowDlgItem(HWND dialog, int id, int show);
BOOL QocSetDlgItemPgsRange(HWND dialog, int id, int low, int high);
BOOL QocSetDlgItemPgsPos(HWND dialog, int id, int pos);
// Enables or disables every control that lies inside group box groupId;
// withBox: the group box itself too.
BOOL QocEnableDlgGroup(HWND dialog, int groupId, int enable, int withBox);
// Text of a control into out; returns its length.
int QocGetCtrlStrW(HWND control, wchar_t* out, size_t size);

// ---------------------------------------------------------------- controls
// Notification code of a radio group whose index changed; lParam = index.
enum { QOC_RBN_CHANGED = 0x8000 };
// Turns a group box into a radio group of the radio buttons inside it.
BOOL QocSbcRadioBtns(HWND groupBox);
// A history combo box: at most maxItems entries of at most maxLen characters,
// a "▲" mark at the left whose menu removes an entry.
BOOL QocSbcComboBoxW(HWND combo, int maxItems, int maxLen);
// Tooltip showing the combo box's full text when its edit field is too
// narrow for it; the long tip breaks long texts over several lines.
BOOL QocSbcTipCtrl(HWND combo, int enable);
BOOL QocSbcEnableLongTip(HWND combo, int enable);
HWND QocSbcGetEditCtrlInComboBox(HWND combo);
// After an insert at index 0: drops it when empty, removes older copies of
// it, and keeps the list within its size.
BOOL QocSbcSetMostNew(HWND combo);
// Lets files and folders dropped on a control become its text.
BOOL QocEnableDlgItemToDrop(HWND dialog, int id, int enable);
BOOL QocTipTextAddW(HWND control, const wchar_t* text);

// ---------------------------------------------------------------- windows
// Once at start-up: common controls and the number box class QocCtrlInpVal.
BOOL QocDgcSetup(void);
// Support enhancements of a dialog's children; mask bit 0: read-only edit
// boxes show their full text as a tooltip when it does not fit.
BOOL QocDgcSubclassEx(HWND dialog, DWORD mask);
// TrackPopupMenuEx; with TPM_RETURNCMD the chosen item or 0.
int QocDgcTrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND window, LPTPMPARAMS params);
// Runs the thread's pending messages (Esc and dialog keys included). Cheap
// when called often: it looks at the queue only every few milliseconds.
void QocDoEventW(void);
BOOL QocSetFocusWindow(HWND window);
// Moves a window, where needed, so that it lies wholly within its monitor.
BOOL QocMoveWndIntoMonitor(HWND window);
// Grows the controls whose texts do not fit them, measured in their font at
// the running DPI: to the right up to the next control or the edge of the
// group box around them; a static text takes more lines below when that is
// not enough. Group boxes and the dialog grow to hold what grew; no control
// moves or shrinks. The dialog may grow up to its monitor's work area.
BOOL QocFitDlgTexts(HWND dialog);
// The same for one control, after its text has changed.
BOOL QocFitDlgItemText(HWND dialog, int id);
// The system folder picker; non-zero when a folder was chosen into out
// (MAX_PATH characters); start and out may be the same buffer.
int QocGetFolderNameW(HWND owner, const wchar_t* title, const wchar_t* start,
                      wchar_t* out, int flags);
// When set (by tests), QocGetFolderNameW calls this instead of the picker.
extern int (*g_QocFolderPicker)(HWND owner, const wchar_t* title, const wchar_t* start,
                                wchar_t* out, int flags);
// Modal about box: icon, description, version, "© year company".
INT_PTR QocQorAppVersionDialogExW(HWND owner, const wchar_t* version, HICON icon, int year,
                                  const wchar_t* description, const wchar_t* title,
                                  const wchar_t* company, int flags);
