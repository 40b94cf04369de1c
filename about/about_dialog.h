// The about box: icon, name and version from the executable's version block,
// the support site as a link, and the free system resources where the system
// can tell them.
#pragma once
#include <windows.h>

// The support site, shown in the about box and opened when clicked.
extern const char kSupportSiteAddress[];

struct AboutBoxParam {
    const char* linkTarget;
};

// Shows the about box (or brings the open one forward). Always true.
bool ShowAboutBox(HWND owner, const AboutBoxParam* param);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The executable's version block (freed by the caller with std::free) and its
// first translation (language in the low word, code page in the high word);
// null when there is none.
void* LoadVersionBlock(HMODULE module, DWORD* translation);
// Copies the block's string of that key into destination (size bytes, never
// ending on half a character). False, with destination empty, when missing.
bool QueryVersionString(char* destination, size_t size, const void* block, DWORD translation,
                        const char* key);
// Asks the optional system library for the free resources percentages; each
// out pointer may be null. False when the library or its export is missing.
bool GetFreeSystemResources(int* system, int* gdi, int* user);
