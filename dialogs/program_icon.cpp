// The program's icons come from the shell, so they match what Explorer shows.
#include "dialogs/program_icon.h"

#include <shellapi.h>

#include "settings/settings_file.h"

HICON GetProgramIcon(HMODULE module, bool small)
{
    char name[kPathBufferSize];
    DWORD length = GetModuleFileNameA(module, name, kModuleNameLimit);
    if (length == 0 || length >= kModuleNameLimit)
        return nullptr;
    name[length] = '\0';
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    UINT flags = SHGFI_ICON | (small ? SHGFI_SMALLICON : SHGFI_LARGEICON);
    if (SHGetFileInfoA(name, 0, &info, sizeof info, flags) == 0)
        return nullptr;
    return info.hIcon;
}
