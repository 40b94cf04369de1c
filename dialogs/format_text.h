// Bounded printf-style formatting of the dialogs' texts through the system's
// C runtime, which keeps the program free of a formatter of its own.
#pragma once
#include <cstddef>

// Formats into buffer (size bytes, at least 1), always terminated. Returns the
// length, or -1 when the text was cut to fit.
int FormatText(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(ms_printf, 3, 4)));
