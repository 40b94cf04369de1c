// The program's icons come from the shell, so they match what Explorer shows.
#include "app/program_icon.h"

#include <shellapi.h>

#include "settings/settings_path.h"

HICON GetProgramIcon(HMODULE module, bool small)
{
    char name[kPathBufferSize];
    const DWORD limit = 261;
    DWORD length = GetModuleFileNameA(module, name, limit);
    if (length == 0 || length >= limit)
        return nullptr;
    name[length] = '\0';
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    UINT flags = SHGFI_ICON | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (SHGetFileInfoA(name, 0, &info, sizeof info, flags) == 0)
        return nullptr;
    return info.hIcon;
}
