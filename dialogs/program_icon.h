// The executable's own icons, as the shell gives them.
#pragma once
#include <windows.h>

// The caller owns the returned handle; null when it cannot be had.
HICON GetProgramIcon(HMODULE module, bool small);
