#include "dialogs/format_text.h"

#include <cstdarg>
#include <cstdio>

int FormatText(char* buffer, size_t size, const char* format, ...)
{
    if (size == 0)
        return -1;
    // _vsnprintf writes at most the count given and terminates only when the
    // text fits in it; it returns -1 when it did not fit.
    va_list args;
    va_start(args, format);
    int length = _vsnprintf(buffer, size - 1, format, args);
    va_end(args);
    buffer[size - 1] = '\0';
    if (length < 0 || static_cast<size_t>(length) >= size)
        return -1;
    buffer[length] = '\0';
    return length;
}
