// Small window routines shared by the settings dialogs and the about box:
// message boxes, placement at the cursor and window geometry.
#pragma once
#include <windows.h>

// MessageBeep with the type's icon bits, then the message box; returns its
// result. The caption and text are the program's own (Shift-JIS) and are shown
// through the wide function, so that they read right under any code page.
int ShowMessage(HWND owner, const char* caption, const char* text, UINT type);
int ShowWideMessage(HWND owner, const WCHAR* caption, const WCHAR* text, UINT type);
// Centres the window on the mouse cursor, kept inside the work area.
void PlaceAtCursor(HWND window);
// Brings an open dialog to the front, for a second request to open it.
void BringWindowForward(HWND window);
// The WM_NCHITTEST handling of a dialog that can be dragged by any point of
// its background: the default hit test with the client area as caption.
INT_PTR DragAnywhere(HWND dialog, WPARAM wParam, LPARAM lParam);
// A copy of the window's text (freed by the caller with std::free), or null.
char* GetWindowTextCopy(HWND window);
void EnableDlgItem(HWND dialog, int controlId, bool enable);
void GetWorkArea(RECT* area);

void GetWindowOrigin(HWND window, POINT* origin);
void GetWindowExtent(HWND window, SIZE* extent);
int GetWindowWidth(HWND window);
int GetWindowHeight(HWND window);
void ScreenToWindow(HWND window, POINT* point);
void ResizeWindowTo(HWND window, int width, int height);
void MoveWindowTo(HWND window, int x, int y);
void MoveWindowBy(HWND window, int dx, int dy);
void GrowWindowBy(HWND window, int dx, int dy);
