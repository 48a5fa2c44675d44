// Texts that do not fit their controls: measured in the control's own font
// at the running DPI, a control grows to the right up to its neighbour or
// the group box around it; a static text that still does not fit takes
// more lines below. A left-aligned static hemmed in on its right and below
// grows to the left instead, up to its neighbour or its group box's frame
// (the gap between neighbours kept), its right edge kept: a label before
// its field. Group boxes and
// the dialog grow to hold what grew. No control shrinks, and only such a
// label moves its left edge.
#include "qoc_ctrl.h"

#include <commctrl.h>

#include <limits.h>

#include <algorithm>
#include <vector>

namespace {

enum class TextKind { None, Static, Push, Check, Group };

// Room kept, in dialog units: between neighbours, inside a group box, and
// between the controls and the dialog's edges.
const int kGapDlu = 2;
const int kBoxInsetDlu = 4;
const int kMarginDlu = 7;

struct Spacing {
    LONG gapX, gapY, insetX, insetY, marginX, marginY;
};

Spacing SpacingOf(HWND dialog)
{
    RECT spacing = {kGapDlu, kGapDlu, kBoxInsetDlu, kBoxInsetDlu};
    MapDialogRect(dialog, &spacing);
    RECT margin = {kMarginDlu, kMarginDlu, 0, 0};
    MapDialogRect(dialog, &margin);
    return {spacing.left, spacing.top, spacing.right, spacing.bottom, margin.left, margin.top};
}

TextKind KindOf(HWND control)
{
    wchar_t name[16] = L"";
    GetClassNameW(control, name, 16);
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(name, WC_STATICW) == 0) {
        LONG type = style & SS_TYPEMASK;
        bool text = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT ||
                    type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        return text ? TextKind::Static : TextKind::None;
    }
    if (lstrcmpiW(name, WC_BUTTONW) != 0) return TextKind::None;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return TextKind::Push;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return TextKind::Check;
    case BS_GROUPBOX:
        return TextKind::Group;
    default:
        return TextKind::None;
    }
}

bool Wraps(HWND control)
{
    LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
}

bool LeftAligned(HWND control)
{
    LONG type = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
}

// The size the control needs for its text, the text wrapped at width when
// it is a static that wraps (0: only at its own line breaks). False when it
// shows no text.
bool TextNeed(HWND control, TextKind kind, int width, SIZE* need)
{
    int length = GetWindowTextLengthW(control);
    if (length <= 0) return false;
    std::vector<wchar_t> text(length + 1);
    length = GetWindowTextW(control, text.data(), length + 1);

    HDC dc = GetDC(control);
    if (!dc) return false;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    UINT flags = DT_CALCRECT | DT_EXPANDTABS;
    bool wraps = kind == TextKind::Static && Wraps(control);
    if (wraps) flags |= DT_WORDBREAK;
    else flags |= DT_SINGLELINE;
    if (kind == TextKind::Static && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX))
        flags |= DT_NOPREFIX;
    RECT box = {0, 0, wraps && width > 0 ? width : SHRT_MAX, 0};
    DrawTextW(dc, text.data(), length, &box, flags);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);

    need->cx = box.right;
    need->cy = box.bottom;
    switch (kind) {
    case TextKind::Push:   // the raised frame on both sides
        need->cx += 4 * GetSystemMetrics(SM_CXEDGE);
        need->cy += 2 * GetSystemMetrics(SM_CYEDGE);
        break;
    case TextKind::Check:  // the box or circle, and half a character of room after it
        need->cx += GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE) +
                    metrics.tmAveCharWidth / 2;
        break;
    case TextKind::Group:  // the caption sits indented within the frame
        need->cx += 2 * metrics.tmAveCharWidth + 4 * GetSystemMetrics(SM_CXEDGE);
        need->cy = 0;
        break;
    default:
        break;
    }
    return true;
}

RECT RectInDialog(HWND dialog, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Encloses(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && !EqualRect(&outer, &inner);
}

bool IsGroupBox(HWND control)
{
    return KindOf(control) == TextKind::Group;
}

// Where the dialog's client area may reach at most: its monitor's work area.
SIZE OpenLimit(HWND dialog, const Spacing& spacing)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT frame = {}, client = {};
    GetWindowRect(dialog, &frame);
    GetClientRect(dialog, &client);
    LONG frameX = (frame.right - frame.left) - client.right;
    LONG frameY = (frame.bottom - frame.top) - client.bottom;
    return {monitor.rcWork.right - monitor.rcWork.left - frameX - spacing.marginX,
            monitor.rcWork.bottom - monitor.rcWork.top - frameY - spacing.marginY};
}

// How far right (horizontal) or down a control with rectangle rect may
// reach: up to the nearest control beside or below it, within the group
// boxes around it as far as they may grow themselves.
LONG Reach(HWND dialog, HWND control, const RECT& rect, bool horizontal, const Spacing& spacing)
{
    SIZE open = OpenLimit(dialog, spacing);
    LONG limit = horizontal ? open.cx : open.cy;
    for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == control) continue;
        RECT nearby = RectInDialog(dialog, other);
        if (IsGroupBox(other) && Encloses(nearby, rect)) {
            LONG inset = horizontal ? spacing.insetX : spacing.insetY;
            LONG box = Reach(dialog, other, nearby, horizontal, spacing) - inset;
            if (box < limit) limit = box;
            continue;
        }
        bool beside = horizontal
            ? nearby.left >= rect.right && nearby.top < rect.bottom && nearby.bottom > rect.top
            : nearby.top >= rect.bottom && nearby.left < rect.right && nearby.right > rect.left;
        LONG edge = horizontal ? nearby.left - spacing.gapX : nearby.top - spacing.gapY;
        if (beside && edge < limit) limit = edge;
    }
    return limit;
}

// How far left a control may reach: up to the nearest control on its left,
// within the group boxes around it and the dialog's margin. A group box never
// grows left, so the label may come as near its frame as to a neighbour.
LONG LeftReach(HWND dialog, HWND control, const RECT& rect, const Spacing& spacing)
{
    LONG limit = spacing.marginX;
    for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        if (other == control) continue;
        RECT nearby = RectInDialog(dialog, other);
        LONG edge;
        if (IsGroupBox(other) && Encloses(nearby, rect))
            edge = nearby.left + spacing.gapX;
        else if (nearby.right <= rect.left && nearby.top < rect.bottom && nearby.bottom > rect.top)
            edge = nearby.right + spacing.gapX;
        else
            continue;
        if (edge > limit) limit = edge;
    }
    return limit;
}

void Resize(HWND control, const RECT& rect)
{
    SetWindowPos(control, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The group boxes around a grown control, innermost first, grow to hold it
// again, and the dialog grows to hold the outermost.
void GrowAround(HWND dialog, HWND control, const RECT& before, RECT grown, const Spacing& spacing)
{
    std::vector<HWND> boxes;
    for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT))
        if (other != control && IsGroupBox(other) && Encloses(RectInDialog(dialog, other), before))
            boxes.push_back(other);
    // Nested boxes enclose one another: the smaller one is the inner.
    auto area = [&](HWND box) {
        RECT r = RectInDialog(dialog, box);
        return (r.right - r.left) * (r.bottom - r.top);
    };
    for (size_t i = 1; i < boxes.size(); ++i)
        for (size_t j = i; j > 0 && area(boxes[j]) < area(boxes[j - 1]); --j)
            std::swap(boxes[j], boxes[j - 1]);
    for (HWND box : boxes) {
        RECT rect = RectInDialog(dialog, box);
        rect.right = std::max(rect.right, grown.right + spacing.insetX);
        rect.bottom = std::max(rect.bottom, grown.bottom + spacing.insetY);
        Resize(box, rect);
        grown = rect;
    }
    RECT client = {};
    GetClientRect(dialog, &client);
    LONG dx = std::max(0L, grown.right + spacing.marginX - client.right);
    LONG dy = std::max(0L, grown.bottom + spacing.marginY - client.bottom);
    if (dx == 0 && dy == 0) return;
    RECT frame = {};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Fits(const SIZE& need, const RECT& rect)
{
    return need.cx <= rect.right - rect.left && need.cy <= rect.bottom - rect.top;
}

// At the width grown has, what the text needs, and the lines below that a
// wrapping static may take for it.
void GrowDown(HWND dialog, HWND control, TextKind kind, const RECT& rect, const Spacing& spacing,
              RECT* grown, SIZE* need)
{
    if (kind == TextKind::Static && Wraps(control))
        TextNeed(control, kind, grown->right - grown->left, need);
    else
        TextNeed(control, kind, 0, need);
    grown->bottom = rect.bottom;
    if (need->cy > rect.bottom - rect.top) {
        LONG bottom = Reach(dialog, control, *grown, false, spacing);
        grown->bottom = std::max(rect.bottom, std::min(bottom, rect.top + need->cy));
    }
}

void FitControl(HWND dialog, HWND control)
{
    TextKind kind = KindOf(control);
    if (kind == TextKind::None) return;
    RECT rect = RectInDialog(dialog, control);
    SIZE need;
    if (!TextNeed(control, kind, rect.right - rect.left, &need) || Fits(need, rect)) return;

    Spacing spacing = SpacingOf(dialog);
    SIZE line;
    TextNeed(control, kind, 0, &line);
    RECT grown = rect;
    LONG right = Reach(dialog, control, rect, true, spacing);
    grown.right = std::max(rect.right, std::min(right, rect.left + line.cx));
    GrowDown(dialog, control, kind, rect, spacing, &grown, &need);
    if (!Fits(need, grown) && kind == TextKind::Static && LeftAligned(control)) {
        // Hemmed in on the right and below: the label takes room on its left
        // instead, its right edge before its field kept, then as many lines
        // as it still needs, if any.
        RECT wider = rect;
        LONG left = LeftReach(dialog, control, rect, spacing);
        wider.left = std::min(rect.left, std::max(left, wider.right - line.cx));
        if (wider.left < rect.left) {
            grown = wider;
            GrowDown(dialog, control, kind, rect, spacing, &grown, &need);
        }
    }
    if (EqualRect(&grown, &rect)) return;
    Resize(control, grown);
    GrowAround(dialog, control, rect, grown, spacing);
}

}  // namespace

BOOL QocFitDlgTexts(HWND dialog)
{
    if (!IsWindow(dialog)) return FALSE;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        FitControl(dialog, child);
    return TRUE;
}

BOOL QocFitDlgItemText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    FitControl(dialog, control);
    return TRUE;
}
