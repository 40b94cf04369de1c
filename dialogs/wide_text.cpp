// Converting texts for the wide functions.
#include "dialogs/wide_text.h"

bool AppendWideText(WCHAR* buffer, size_t size, size_t* used, UINT codePage, const char* text)
{
    if (*used >= size)
        return false;
    int room = static_cast<int>(size - *used);
    int length = MultiByteToWideChar(codePage, 0, text, -1, buffer + *used, room);
    if (length <= 0) {
        buffer[*used] = L'\0';
        return false;
    }
    // The count includes the terminator.
    *used += static_cast<size_t>(length - 1);
    return true;
}
