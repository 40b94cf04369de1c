// The about box, built from an in-memory template.
#include "about/about_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "about/dialog_template.h"
#include "about/link_label.h"
#include "dialogs/program_icon.h"
#include "dialogs/format_text.h"
#include "dialogs/wide_text.h"
#include "dialogs/window_routines.h"
#include "settings/dbcs_text.h"
#include "settings/settings_file.h"
#include "windows/system_library.h"

const char kSupportSiteAddress[] = "https://tidewell.example.org/support/";

namespace {

const char kAboutDataProperty[] = "PROP_ABOUTDIALOGDATA";
const char kResourcesLibrary[] = "rsrc32.dll";
const char kResourcesExport[] = "_MyGetFreeSystemResources32@4";
const size_t kVersionStringSize = 261;
const size_t kAboutTextSize = 260;
const size_t kResourcesTextSize = 34;  // the text for 100 % is 33 bytes
const size_t kFormattedNumberSize = 255;

struct AboutDialogData {
    HICON largeIcon;
    HICON smallIcon;
    const AboutBoxParam* param;
};

HWND aboutBoxWindow = nullptr;

typedef int(WINAPI* FreeResourcesProc)(int which);
typedef HINSTANCE(WINAPI* ShellExecuteAProc)(HWND owner, const char* verb, const char* file,
                                            const char* parameters, const char* folder, int show);

// The version functions come from version.dll in the system folder; without
// it the box shows no version texts.
typedef DWORD(WINAPI* GetFileVersionInfoSizeProc)(const char* name, DWORD* handle);
typedef BOOL(WINAPI* GetFileVersionInfoProc)(const char* name, DWORD handle, DWORD size, void* block);
typedef BOOL(WINAPI* VerQueryValueProc)(const void* block, const char* subBlock, void** value,
                                        UINT* length);

void ShowFreeResources(HWND control)
{
    SetWindowTextA(control, "");
    int system = 0;
    if (!GetFreeSystemResources(&system, nullptr, nullptr))
        return;
    // A value the library should never give could make the text too long:
    // it is cut on a character boundary.
    char formatted[kFormattedNumberSize];
    FormatText(formatted, sizeof formatted, "システムリソース： %d ％使用可能", system);
    char text[kResourcesTextSize];
    CopyDbcsBounded(text, formatted, sizeof text);
    WCHAR wide[kResourcesTextSize] = L"";
    size_t used = 0;
    AppendWideText(wide, kResourcesTextSize, &used, kProgramCodePage, text);
    SetWindowTextW(control, wide);
}

void ShowNameAndVersion(HWND dialog)
{
    DWORD translation = 0;
    void* block = LoadVersionBlock(GetModuleHandleA(nullptr), &translation);
    if (block == nullptr)
        return;
    char name[kVersionStringSize];
    char version[kVersionStringSize];
    if (!QueryVersionString(name, sizeof name, block, translation, "ProductName") || name[0] == '\0')
        QueryVersionString(name, sizeof name, block, translation, "FileDescription");
    QueryVersionString(version, sizeof version, block, translation, "ProductVersion");
    char text[kAboutTextSize];
    FormatText(text, sizeof text, "%s ver. %s", name, version);
    SetDlgItemTextA(dialog, kAboutNameId, text);
    // The name is in the process code page, the rest is the program's own text.
    WCHAR caption[kAboutTextSize] = L"";
    size_t used = 0;
    if (AppendWideText(caption, kAboutTextSize, &used, CP_ACP, name))
        AppendWideText(caption, kAboutTextSize, &used, kProgramCodePage, " について");
    SetWindowTextW(dialog, caption);
    std::free(block);
}

void AddLinkTooltip(HWND dialog)
{
    HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    TTTOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, kAboutLinkId));
    tool.lpszText = const_cast<char*>("サポートサイトへ");
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

bool MeasureTextExtent(HWND control, SIZE* extent)
{
    char* text = GetWindowTextCopy(control);
    if (text == nullptr)
        return false;
    HDC dc = GetDC(control);
    if (dc == nullptr) {
        std::free(text);
        return false;
    }
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    extent->cx = 0;
    extent->cy = 0;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), extent);
    if (previous != nullptr)
        SelectObject(dc, previous);
    ReleaseDC(control, dc);
    std::free(text);
    return true;
}

void WidenAndCenterOk(HWND dialog, int growth)
{
    GrowWindowBy(dialog, growth, 0);
    HWND ok = GetDlgItem(dialog, IDOK);
    int target = (GetWindowWidth(dialog) - GetWindowWidth(ok)) / 2;
    POINT offset;
    GetWindowOrigin(ok, &offset);
    ScreenToWindow(dialog, &offset);
    MoveWindowBy(ok, target - offset.x, 0);
}

// Widens the text lines to their texts, and the dialog by the largest growth.
void FitAboutTextLines(HWND dialog)
{
    const int lines[] = {kAboutNameId, kAboutLinkId, kAboutResourcesId};
    int largest = 0;
    for (int id : lines) {
        HWND control = GetDlgItem(dialog, id);
        SIZE extent;
        if (!MeasureTextExtent(control, &extent))
            continue;
        int growth = extent.cx - GetWindowWidth(control);
        if (growth < 0)
            growth = 0;
        GrowWindowBy(control, growth, 0);
        if (growth > largest)
            largest = growth;
    }
    if (largest > 0)
        WidenAndCenterOk(dialog, largest);
}

BOOL InitAboutDialog(HWND dialog, AboutDialogData* data)
{
    aboutBoxWindow = dialog;
    SetPropA(dialog, kAboutDataProperty, data);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(data->largeIcon));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(data->smallIcon));
    PlaceAtCursor(dialog);
    ShowNameAndVersion(dialog);
    ShowFreeResources(GetDlgItem(dialog, kAboutResourcesId));
    HWND link = GetDlgItem(dialog, kAboutLinkId);
    SetWindowTextA(link, data->param->linkTarget);
    MakeLinkLabel(link);
    SendDlgItemMessageA(dialog, kAboutIconId, STM_SETICON,
                        reinterpret_cast<WPARAM>(data->largeIcon), 0);
    AddLinkTooltip(dialog);
    FitAboutTextLines(dialog);
    return TRUE;
}

// A click opens the support site and ends the box; moves and leaves go back
// to the label, which sets its hot state from them.
INT_PTR OnAboutLinkNotify(HWND dialog, const LinkLabelNotify* notify)
{
    if (notify->header.code == LLN_CLICK) {
        const AboutDialogData* data =
            static_cast<const AboutDialogData*>(GetPropA(dialog, kAboutDataProperty));
        ShellExecuteAProc open = GetSystemLibraryFunction<ShellExecuteAProc>(kShellLibrary, "ShellExecuteA");
        if (data != nullptr && open != nullptr)
            open(dialog, nullptr, data->param->linkTarget, nullptr, nullptr, SW_SHOWNORMAL);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return SendMessageA(notify->header.hwndFrom, WM_NOTIFY, notify->header.idFrom,
                        reinterpret_cast<LPARAM>(notify));
}

INT_PTR OnAboutCommand(HWND dialog, int id)
{
    if (id == IDOK || id == IDCANCEL)
        EndDialog(dialog, id);
    return TRUE;
}

}  // namespace

bool GetFreeSystemResources(int* system, int* gdi, int* user)
{
    HMODULE library = LoadSystemLibrary(kResourcesLibrary);
    if (library == nullptr)
        return false;
    FreeResourcesProc query =
        reinterpret_cast<FreeResourcesProc>(reinterpret_cast<void*>(GetProcAddress(library, kResourcesExport)));
    if (query == nullptr) {
        FreeLibrary(library);
        return false;
    }
    if (system != nullptr)
        *system = query(0);
    if (gdi != nullptr)
        *gdi = query(1);
    if (user != nullptr)
        *user = query(2);
    FreeLibrary(library);
    return true;
}

void* LoadVersionBlock(HMODULE module, DWORD* translation)
{
    char name[kPathBufferSize];
    DWORD length = GetModuleFileNameA(module, name, kModuleNameLimit);
    if (length == 0 || length >= kModuleNameLimit)
        return nullptr;
    name[length] = '\0';
    GetFileVersionInfoSizeProc getSize =
        GetSystemLibraryFunction<GetFileVersionInfoSizeProc>(kVersionLibrary, "GetFileVersionInfoSizeA");
    GetFileVersionInfoProc getInfo =
        GetSystemLibraryFunction<GetFileVersionInfoProc>(kVersionLibrary, "GetFileVersionInfoA");
    VerQueryValueProc queryValue =
        GetSystemLibraryFunction<VerQueryValueProc>(kVersionLibrary, "VerQueryValueA");
    if (getSize == nullptr || getInfo == nullptr || queryValue == nullptr)
        return nullptr;
    DWORD handle = 0;
    DWORD size = getSize(name, &handle);
    if (size == 0)
        return nullptr;
    void* block = std::malloc(size);
    if (block == nullptr)
        return nullptr;
    void* entry = nullptr;
    UINT entryLength = 0;
    if (!getInfo(name, 0, size, block) ||
        !queryValue(block, "\\VarFileInfo\\Translation", &entry, &entryLength) ||
        entry == nullptr || entryLength < sizeof(DWORD)) {
        std::free(block);
        return nullptr;
    }
    std::memcpy(translation, entry, sizeof(DWORD));
    return block;
}

bool QueryVersionString(char* destination, size_t size, const void* block, DWORD translation,
                        const char* key)
{
    destination[0] = '\0';
    char subBlock[kAboutTextSize];
    if (FormatText(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\%s",
                   LOWORD(translation), HIWORD(translation), key) < 0)
        return false;
    VerQueryValueProc queryValue = GetSystemLibraryFunction<VerQueryValueProc>(kVersionLibrary, "VerQueryValueA");
    void* value = nullptr;
    UINT valueLength = 0;
    if (queryValue == nullptr || !queryValue(block, subBlock, &value, &valueLength) || value == nullptr)
        return false;
    CopyDbcsBounded(destination, static_cast<const char*>(value), size);
    return true;
}

bool ShowAboutBox(HWND owner, const AboutBoxParam* param)
{
    if (aboutBoxWindow != nullptr) {
        BringWindowForward(aboutBoxWindow);
        return true;
    }
    void* dialogTemplate = MakeAboutDialogTemplate();
    if (dialogTemplate == nullptr)
        return true;
    HMODULE module = GetModuleHandleA(nullptr);
    AboutDialogData data = {nullptr, nullptr, param};
    data.largeIcon = GetProgramIcon(module, false);
    data.smallIcon = GetProgramIcon(module, true);
    DialogBoxIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), owner,
                            AboutDialogProc, reinterpret_cast<LPARAM>(&data));
    aboutBoxWindow = nullptr;
    if (data.largeIcon != nullptr)
        DestroyIcon(data.largeIcon);
    if (data.smallIcon != nullptr)
        DestroyIcon(data.smallIcon);
    std::free(dialogTemplate);
    return true;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return InitAboutDialog(dialog, reinterpret_cast<AboutDialogData*>(lParam));
    case WM_COMMAND:
        return OnAboutCommand(dialog, LOWORD(wParam));
    case WM_NOTIFY:
        if (wParam == kAboutLinkId && lParam != 0)
            return OnAboutLinkNotify(dialog, reinterpret_cast<const LinkLabelNotify*>(lParam));
        return TRUE;
    case WM_NCHITTEST:
        return DragAnywhere(dialog, wParam, lParam);
    case WM_DESTROY:
        RemovePropA(dialog, kAboutDataProperty);
        return TRUE;
    default:
        return FALSE;
    }
}
