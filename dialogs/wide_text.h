// Texts for the wide functions. The program's own texts are Shift-JIS and are
// converted from code page 932 whatever the process code page is; texts that
// came from the ANSI functions (paths) are in the process code page.
#pragma once
#include <windows.h>

#include <cstddef>

#include "settings/dbcs_text.h"

// Appends text, converted from the code page, to the wide buffer of size
// characters, which holds used characters and stays terminated. False, with
// the buffer as it was, when the text does not convert or does not fit.
bool AppendWideText(WCHAR* buffer, size_t size, size_t* used, UINT codePage, const char* text);
