// A stand-in for the desktop window manager's library, put into the system
// folder by a test: it reports a window as cloaked (as on another virtual
// desktop) when the window carries the property TW_CLOAKED, and fails every
// other question.
#include <windows.h>

extern "C" HRESULT WINAPI StandinDwmGetWindowAttribute(HWND window, DWORD attribute, void* value, DWORD size)
{
    const DWORD kCloaked = 14;  // DWMWA_CLOAKED
    if (attribute != kCloaked || value == nullptr || size != sizeof(DWORD))
        return E_INVALIDARG;
    // DWM_CLOAKED_SHELL, the value for a window on another virtual desktop.
    *static_cast<DWORD*>(value) = GetPropA(window, "TW_CLOAKED") != nullptr ? 2 : 0;
    return S_OK;
}
