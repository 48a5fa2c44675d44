// Shared between the support layer's files; the programs use qoc.h.
#pragma once

#include "qoc.h"

// The support layer's subclasses (SetWindowSubclass) keep their record under
// a window property too, so that the other files find it; the subclass
// removes the property at WM_NCDESTROY.
#define QOC_PROP_RADIO_GROUP L"QocRadioGroup"
#define QOC_PROP_HISTORY L"QocHistory"
#define QOC_PROP_FULL_TIP L"QocFullTextTip"
#define QOC_PROP_DIALOG L"QocDialog"

// A radio group made by QocSbcRadioBtns. Setting an index past the last
// button fails; the index is 0 while no button is ticked.
BOOL IsRadioGroup(HWND groupBox);
BOOL RadioGroupSetIndex(HWND groupBox, UINT index);
UINT RadioGroupGetIndex(HWND groupBox);

// The number box class QocCtrlInpVal: values are clamped into its range.
BOOL RegisterInpValClass(void);
BOOL IsInpValBox(HWND box);
BOOL InpValSetValue(HWND box, UINT value);
UINT InpValGetValue(HWND box);

// Limits of a history combo box made by QocSbcComboBoxW; FALSE when combo
// is a plain one.
BOOL HistoryComboLimits(HWND combo, int* maxItems, int* maxLen);

// An edit whose full text shows as a tooltip when it does not fit;
// wrap: long texts break over several lines. Attaching again only sets wrap.
BOOL AttachFullTextTip(HWND edit, BOOL wrap);
void DetachFullTextTip(HWND edit);
// FALSE when the edit has no such tooltip.
BOOL SetFullTextTipWrap(HWND edit, BOOL wrap);

// What the support layer keeps per dialog; freed with the dialog.
struct DialogRecord {
    HWND tips;           // the tooltip of QocTipTextAddW
    wchar_t* section;    // profile section of the control settings
    size_t textSize;     // their text size
};
DialogRecord* GetDialogRecord(HWND dialog, BOOL create);

// Text of entry index of a combo box in a new heap buffer (free()); null
// when there is none.
wchar_t* ComboEntryText(HWND combo, int index);

// Whether the window rectangle of child lies wholly inside that of box.
BOOL ChildInsideBox(HWND child, HWND box);

// The profile section <top>\SOFTWARE\QorCstXX\Sundrel\section, created if
// need be, open for setting values (RegCloseKey); null when it cannot be.
// Many values under one opening cost one registry round trip each, not three.
HKEY OpenProfileSectionToWrite(const wchar_t* section);
// A string (null: empty) or a DWORD value under an open key.
BOOL PutKeyStr(HKEY key, const wchar_t* name, const wchar_t* value);
BOOL PutKeyUInt(HKEY key, const wchar_t* name, UINT value);
