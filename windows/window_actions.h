// The six window operations: walk the top-level windows, pick those a filter
// selects and close, restore, maximize or minimize each of them.
#pragma once
#include <windows.h>

#include "windows/window_filter.h"

// All six share one signature so that tables of rows can hold them. The result
// is whether the enumeration ran to completion.
typedef bool (*WindowOperation)(HWND excluded, const WindowFilter& filter);

bool CloseWindows(HWND excluded, const WindowFilter& filter);
bool CloseInactive(HWND ignored, const WindowFilter& filter);
bool RestoreWindows(HWND excluded, const WindowFilter& filter);
bool MaximizeWindows(HWND excluded, const WindowFilter& filter);
bool MinimizeWindows(HWND excluded, const WindowFilter& filter);
bool MinimizeInactive(HWND ignored, const WindowFilter& filter);
