// Shift-JIS text routines used by the settings path and by texts copied into
// fixed platform buffers (tooltips, version strings).
#include "settings/dbcs_text.h"

bool IsShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsShiftJisTrailByte(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

int GetDbcsByteKind(const char* text, size_t index)
{
    int state = kDbcsSingle;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (state == kDbcsLead)
            state = IsShiftJisTrailByte(byte) ? kDbcsTrail : kDbcsSingle;
        else
            state = IsShiftJisLeadByte(byte) ? kDbcsLead : kDbcsSingle;
        if (i == index)
            return state;
    }
    return kDbcsSingle;
}

bool IsPathSeparatorAt(const char* text, size_t index)
{
    return text[index] == '\\' && GetDbcsByteKind(text, index) == kDbcsSingle;
}

const char* NextDbcsChar(const char* p)
{
    if (*p == '\0')
        return p;
    if (IsShiftJisLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

char* NextDbcsChar(char* p)
{
    return const_cast<char*>(NextDbcsChar(static_cast<const char*>(p)));
}

void LowerCaseDbcs(char* text)
{
    for (char* p = text; *p != '\0'; p = NextDbcsChar(p)) {
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p - 'A' + 'a');
    }
}

char* FindExtension(char* path)
{
    size_t length = 0;
    while (path[length] != '\0')
        ++length;
    for (size_t i = length; i-- > 0;) {
        if (IsPathSeparatorAt(path, i))
            return nullptr;
        // A dot is never a trail byte (0x2E is below the trail range).
        if (path[i] == '.')
            return path + i;
    }
    return nullptr;
}

void CutExtension(char* path)
{
    char* dot = FindExtension(path);
    if (dot != nullptr)
        *dot = '\0';
}

void CopyDbcsBounded(char* destination, const char* source, size_t size)
{
    if (size == 0)
        return;
    size_t limit = size;
    if (GetDbcsByteKind(source, limit - 1) == kDbcsTrail)
        --limit;
    size_t i = 0;
    for (; i + 1 < limit && source[i] != '\0'; ++i)
        destination[i] = source[i];
    // Zero the rest of the whole buffer, so it is terminated however it was cut.
    for (; i < size; ++i)
        destination[i] = '\0';
}
