// Message boxes, placement at the cursor and window geometry.
#include "dialogs/window_routines.h"

#include <cstdlib>

#include "dialogs/wide_text.h"

namespace {

// The icon bits of a message box type (MB_ICONHAND to MB_ICONASTERISK).
const UINT kMessageIconBits = 0x70;
const size_t kMessageCaptionSize = 256;
const size_t kMessageTextSize = 1024;

// The parent's client coordinates, for a window that is a child of its parent.
void ToParentClient(HWND window, POINT* point)
{
    HWND parent = GetParent(window);
    if (parent != nullptr && IsChild(parent, window))
        ScreenToClient(parent, point);
}

}  // namespace

int ShowMessage(HWND owner, const char* caption, const char* text, UINT type)
{
    WCHAR wideCaption[kMessageCaptionSize] = L"";
    WCHAR wideText[kMessageTextSize] = L"";
    size_t captionLength = 0, textLength = 0;
    if (!AppendWideText(wideCaption, kMessageCaptionSize, &captionLength, kProgramCodePage, caption) ||
        !AppendWideText(wideText, kMessageTextSize, &textLength, kProgramCodePage, text)) {
        // Too long to convert here: shown as it is.
        MessageBeep(type & kMessageIconBits);
        return MessageBoxA(owner, text, caption, type);
    }
    return ShowWideMessage(owner, wideCaption, wideText, type);
}

int ShowWideMessage(HWND owner, const WCHAR* caption, const WCHAR* text, UINT type)
{
    MessageBeep(type & kMessageIconBits);
    return MessageBoxW(owner, text, caption, type);
}

void PlaceAtCursor(HWND window)
{
    int width = GetWindowWidth(window);
    int height = GetWindowHeight(window);
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    // Signed halves: the fraction is dropped toward zero.
    POINT at = {cursor.x - width / 2, cursor.y - height / 2};
    RECT area;
    GetWorkArea(&area);
    if (at.x + width > area.right)
        at.x = area.right - width;
    if (at.x < area.left)
        at.x = area.left;
    if (at.y + height > area.bottom)
        at.y = area.bottom - height;
    if (at.y < area.top)
        at.y = area.top;
    ToParentClient(window, &at);
    MoveWindowTo(window, at.x, at.y);
}

void BringWindowForward(HWND window)
{
    BringWindowToTop(window);
    SetForegroundWindow(window);
    ShowWindow(window, SW_SHOWDEFAULT);
}

INT_PTR DragAnywhere(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wParam, lParam);
    if (hit == HTCLIENT)
        hit = HTCAPTION;
    // The result of a dialog procedure's message goes through DWLP_MSGRESULT.
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, hit);
    return TRUE;
}

char* GetWindowTextCopy(HWND window)
{
    int length = GetWindowTextLengthA(window);
    if (length < 0)
        return nullptr;
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (text == nullptr)
        return nullptr;
    text[0] = '\0';
    // The text may have grown since its length was asked; the read is bounded.
    if (GetWindowTextA(window, text, length + 1) == 0 && length > 0) {
        std::free(text);
        return nullptr;
    }
    return text;
}

void EnableDlgItem(HWND dialog, int controlId, bool enable)
{
    EnableWindow(GetDlgItem(dialog, controlId), enable ? TRUE : FALSE);
}

void GetWorkArea(RECT* area)
{
    SystemParametersInfoA(SPI_GETWORKAREA, 0, area, 0);
}

void GetWindowOrigin(HWND window, POINT* origin)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    origin->x = rect.left;
    origin->y = rect.top;
}

void GetWindowExtent(HWND window, SIZE* extent)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    extent->cx = rect.right - rect.left;
    extent->cy = rect.bottom - rect.top;
}

int GetWindowWidth(HWND window)
{
    SIZE extent;
    GetWindowExtent(window, &extent);
    return extent.cx;
}

int GetWindowHeight(HWND window)
{
    SIZE extent;
    GetWindowExtent(window, &extent);
    return extent.cy;
}

void ScreenToWindow(HWND window, POINT* point)
{
    POINT origin;
    GetWindowOrigin(window, &origin);
    point->x -= origin.x;
    point->y -= origin.y;
}

void ResizeWindowTo(HWND window, int width, int height)
{
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
}

void MoveWindowTo(HWND window, int x, int y)
{
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

void MoveWindowBy(HWND window, int dx, int dy)
{
    POINT origin;
    GetWindowOrigin(window, &origin);
    ToParentClient(window, &origin);
    MoveWindowTo(window, origin.x + dx, origin.y + dy);
}

void GrowWindowBy(HWND window, int dx, int dy)
{
    SIZE extent;
    GetWindowExtent(window, &extent);
    ResizeWindowTo(window, extent.cx + dx, extent.cy + dy);
}
