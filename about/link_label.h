// LinkLabel: a static text control that behaves as a hyperlink. It draws its
// text underlined in blue (red while hot), shows a hand cursor, and tells its
// parent about clicks and pointer moves with WM_NOTIFY. The parent reflects the
// move and leave notifications back to the label; only they set the hot state.
#pragma once
#include <windows.h>

const UINT LLN_CLICK = WM_USER + 1;
const UINT LLN_LEAVE = WM_USER + 2;
const UINT LLN_MOVE = WM_USER + 3;

struct LinkLabelNotify {
    NMHDR header;
    WPARAM keyState;   // LLN_MOVE: the WM_MOUSEMOVE's key flags
    LPARAM position;   // LLN_MOVE: the WM_MOUSEMOVE's client position
};

// False, with the control unchanged, when it has no usable font or the font
// or cursor cannot be made.
bool MakeLinkLabel(HWND control);
LRESULT CALLBACK LinkLabelProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
// Puts the previous window procedure back, frees the font and cursor, and
// passes the message on to that procedure.
LRESULT DetachLinkLabel(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
void CALLBACK LinkLeaveTimerProc(HWND control, UINT message, UINT_PTR timerId, DWORD time);
bool IsCursorInClient(HWND window);
HCURSOR CreateHandCursor(HINSTANCE instance);
