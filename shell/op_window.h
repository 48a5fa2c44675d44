// What the divide and merge windows share.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "piece_io.h"

// Stop: posts the cancel command, which arrives while the operation lets
// messages through between blocks.
INT_PTR OnStopCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Cancel, Esc and the close box: ask a running operation to stop, else close.
INT_PTR OnCancelCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Top-left corner at the mouse pointer, then kept within the monitor.
void PlaceWindowAtCursor(HWND window);
// Shows the file name of the command-line file, without its folder, in a control.
void ShowCommandFileName(HWND window, int id);
// Operation start and end: the Stop button and the progress bar.
void BeginOperation(HWND window);
void EndOperation(HWND window);

// Around every block of a running operation: the cancel test, the window's
// pending messages, the cancel test again; after it the progress bar, set
// when its percentage changes, at most four times a second: each setting
// repaints the bar at once, a dozen server round trips under Wine, a
// millisecond or more. The divide
// counts data bytes against the source, the merge the bytes of the pieces
// against their sum.
class OperationObserver : public sundrel::BlockObserver {
public:
    OperationObserver(HWND window, uint64_t total, bool dataOnly)
        : window_(window), total_(total), dataOnly_(dataOnly)
    {
    }
    bool BeforeBlock() override;
    void AfterBlock(size_t pieceBytes) override;

private:
    HWND window_;
    uint64_t total_;
    bool dataOnly_;
    uint64_t done_ = 0;
    uint64_t percent_ = 0;
    ULONGLONG shownAt_ = 0;   // tick count of the last setting
};
