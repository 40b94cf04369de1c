// The link label: a replaced window procedure and four window properties.
#include "about/link_label.h"

#include <cstdint>
#include <cstdlib>

#include "dialogs/window_routines.h"

namespace {

const char kOriginalProcProperty[] = "LLPROP_ORIGINALPROC";
const char kControlStateProperty[] = "LLPROP_CONTROLSTATE";
const char kFontProperty[] = "LLPROP_FONT";
const char kCursorProperty[] = "LLPROP_CURSOR";

const UINT_PTR kLeaveTimerId = 1;
const uintptr_t kHotBit = 1;
const COLORREF kLinkColor = 0x00FF0000;  // blue
const COLORREF kHotColor = 0x000000FF;   // red

// The hand cursor, 32 x 32: runs of rows with the same 32-bit pattern (the
// most significant bit is the leftmost pixel). Rows not listed are all ones
// in the AND plane and all zeros in the XOR plane.
struct CursorRows {
    int first;
    int last;
    uint32_t bits;
};

const CursorRows kHandAndPlane[] = {
    {0, 0, 0xFCFFFFFF},   {1, 4, 0xF87FFFFF},   {5, 5, 0xF81FFFFF},   {6, 6, 0xF803FFFF},
    {7, 7, 0xF800FFFF},   {8, 8, 0xF8007FFF},   {9, 9, 0x88003FFF},   {10, 11, 0x80003FFF},
    {12, 12, 0xC0003FFF}, {13, 14, 0xE0003FFF}, {15, 15, 0xF0003FFF}, {16, 16, 0xF0007FFF},
    {17, 18, 0xF8007FFF}, {19, 21, 0xFC00FFFF},
};

const CursorRows kHandXorPlane[] = {
    {1, 5, 0x03000000},   {6, 6, 0x03600000},   {7, 7, 0x036C0000},   {8, 8, 0x036D0000},
    {9, 9, 0x036D8000},   {10, 10, 0x33FD8000}, {11, 11, 0x3BFF8000}, {12, 12, 0x1BFF8000},
    {13, 13, 0x0BFF8000}, {14, 14, 0x0FFF8000}, {15, 15, 0x07FF8000}, {16, 16, 0x07FF0000},
    {17, 18, 0x03FF0000}, {19, 20, 0x01FE0000},
};

const int kCursorSize = 32;
const int kCursorRowBytes = kCursorSize / 8;

template <size_t N>
void FillCursorPlane(BYTE* plane, const CursorRows (&rows)[N], BYTE background)
{
    for (int i = 0; i < kCursorSize * kCursorRowBytes; ++i)
        plane[i] = background;
    for (const CursorRows& run : rows) {
        for (int row = run.first; row <= run.last; ++row) {
            for (int byte = 0; byte < kCursorRowBytes; ++byte)
                plane[row * kCursorRowBytes + byte] =
                    static_cast<BYTE>(run.bits >> (8 * (kCursorRowBytes - 1 - byte)));
        }
    }
}

WNDPROC OriginalProc(HWND control)
{
    return reinterpret_cast<WNDPROC>(GetPropA(control, kOriginalProcProperty));
}

LRESULT PassOn(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = OriginalProc(control);
    if (original == nullptr)
        return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(original, control, message, wParam, lParam);
}

bool IsHot(HWND control)
{
    return (reinterpret_cast<uintptr_t>(GetPropA(control, kControlStateProperty)) & kHotBit) != 0;
}

void SetHot(HWND control, bool hot)
{
    SetPropA(control, kControlStateProperty, reinterpret_cast<HANDLE>(hot ? kHotBit : 0));
}

LRESULT Notify(HWND control, UINT code, WPARAM keyState, LPARAM position)
{
    LinkLabelNotify notify;
    ZeroMemory(&notify, sizeof notify);
    notify.header.hwndFrom = control;
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    notify.header.code = code;
    notify.keyState = keyState;
    notify.position = position;
    return SendMessageA(GetParent(control), WM_NOTIFY, notify.header.idFrom,
                        reinterpret_cast<LPARAM>(&notify));
}

LRESULT OnPaint(HWND control)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    if (dc != nullptr) {
        int saved = SaveDC(dc);
        RECT client;
        GetClientRect(control, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        bool hot = IsHot(control);
        if (GetCapture() == control && hot)
            FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        char* text = GetWindowTextCopy(control);
        if (text != nullptr) {
            SetTextColor(dc, hot ? kHotColor : kLinkColor);
            HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
            if (font != nullptr) {
                SelectObject(dc, font);
                SetBkMode(dc, TRANSPARENT);
                TextOutA(dc, 0, 0, text, lstrlenA(text));
            }
            std::free(text);
        }
        RestoreDC(dc, saved);
    }
    EndPaint(control, &paint);
    return 0;
}

LRESULT OnSetCursor(HWND control)
{
    HCURSOR cursor = static_cast<HCURSOR>(GetPropA(control, kCursorProperty));
    if (cursor != nullptr)
        SetCursor(cursor);
    return TRUE;
}

// A move or leave notification that the parent sent back.
LRESULT OnReflectedNotify(HWND control, WPARAM wParam, LPARAM lParam)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr || (header->code != LLN_LEAVE && header->code != LLN_MOVE))
        return PassOn(control, WM_NOTIFY, wParam, lParam);
    if (header->code == LLN_LEAVE)
        SetHot(control, false);
    else if (IsCursorInClient(control))
        SetHot(control, true);
    InvalidateRect(control, nullptr, FALSE);
    return 0;
}

LRESULT OnMouseMove(HWND control, WPARAM wParam, LPARAM lParam)
{
    if (IsCursorInClient(control)) {
        // Interval 0: the leave check runs as often as the platform allows.
        SetTimer(control, kLeaveTimerId, 0, LinkLeaveTimerProc);
        Notify(control, LLN_MOVE, wParam, lParam);
    }
    return PassOn(control, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnLButtonUp(HWND control, WPARAM wParam, LPARAM lParam)
{
    if (GetCapture() == control) {
        ReleaseCapture();
        if (IsCursorInClient(control))
            Notify(control, LLN_CLICK, 0, 0);
    }
    return PassOn(control, WM_LBUTTONUP, wParam, lParam);
}

}  // namespace

bool IsCursorInClient(HWND window)
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return false;
    ScreenToClient(window, &cursor);
    RECT client;
    GetClientRect(window, &client);
    return PtInRect(&client, cursor) != FALSE;
}

HCURSOR CreateHandCursor(HINSTANCE instance)
{
    BYTE andPlane[kCursorSize * kCursorRowBytes];
    BYTE xorPlane[kCursorSize * kCursorRowBytes];
    FillCursorPlane(andPlane, kHandAndPlane, 0xFF);
    FillCursorPlane(xorPlane, kHandXorPlane, 0x00);
    return CreateCursor(instance, 7, 0, kCursorSize, kCursorSize, andPlane, xorPlane);
}

bool MakeLinkLabel(HWND control)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA description;
    if (font == nullptr || GetObjectA(font, sizeof description, &description) != sizeof description)
        return false;
    description.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectA(&description);
    if (underlined == nullptr)
        return false;
    HCURSOR cursor = CreateHandCursor(reinterpret_cast<HINSTANCE>(GetModuleHandleA(nullptr)));
    if (cursor == nullptr) {
        DeleteObject(underlined);
        return false;
    }
    LONG_PTR original = SetWindowLongPtrA(control, GWLP_WNDPROC,
                                          reinterpret_cast<LONG_PTR>(LinkLabelProc));
    SetPropA(control, kOriginalProcProperty, reinterpret_cast<HANDLE>(original));
    SetHot(control, false);
    SetPropA(control, kCursorProperty, cursor);
    SetPropA(control, kFontProperty, underlined);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), TRUE);
    return true;
}

LRESULT DetachLinkLabel(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = OriginalProc(control);
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(control, kOriginalProcProperty);
    RemovePropA(control, kControlStateProperty);
    HFONT font = static_cast<HFONT>(RemovePropA(control, kFontProperty));
    if (font != nullptr)
        DeleteObject(font);
    HCURSOR cursor = static_cast<HCURSOR>(RemovePropA(control, kCursorProperty));
    if (cursor != nullptr)
        DestroyCursor(cursor);
    if (original == nullptr)
        return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(original, control, message, wParam, lParam);
}

void CALLBACK LinkLeaveTimerProc(HWND control, UINT, UINT_PTR timerId, DWORD)
{
    if (IsCursorInClient(control))
        return;
    KillTimer(control, timerId);
    Notify(control, LLN_LEAVE, 0, 0);
}

LRESULT CALLBACK LinkLabelProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        return DetachLinkLabel(control, message, wParam, lParam);
    case WM_PAINT:
        return OnPaint(control);
    case WM_SETCURSOR:
        return OnSetCursor(control);
    case WM_NOTIFY:
        return OnReflectedNotify(control, wParam, lParam);
    case WM_NCHITTEST:
        // Inside, the static takes the mouse instead of letting it through.
        if (IsCursorInClient(control))
            return HTCLIENT;
        return PassOn(control, message, wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(control, wParam, lParam);
    case WM_LBUTTONDOWN:
        SetCapture(control);
        InvalidateRect(control, nullptr, FALSE);
        return PassOn(control, message, wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(control, wParam, lParam);
    default:
        return PassOn(control, message, wParam, lParam);
    }
}
