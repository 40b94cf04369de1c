// Settings values are decimal integers. The parse follows "%d" (skip white space,
// optional sign, digits, ignore the rest) but is written out by hand, because
// sscanf's behaviour for a number that does not fit an int is undefined.
#include "settings/profile_value.h"

#include <cstring>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool ParseProfileInt(const char* text, int32_t* value)
{
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    if (*p < '0' || *p > '9')
        return false;
    // Out-of-range numbers saturate, as strtol does: a huge value keeps its sign
    // and stays non-zero, so an overlong flag still reads as on and an overlong
    // interval as the longest one, instead of wrapping to an arbitrary value.
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude < limit) {
            magnitude = magnitude * 10 + (*p - '0');
            if (magnitude > limit)
                magnitude = limit;
        }
    }
    *value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

int FormatProfileInt(char* buffer, size_t size, int32_t value)
{
    if (size == 0)
        return -1;
    // The magnitude as unsigned, so that INT32_MIN has one; digits come out last first.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char reversed[10];
    size_t digits = 0;
    do {
        reversed[digits++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    char text[12];
    size_t length = 0;
    if (value < 0)
        text[length++] = '-';
    while (digits > 0)
        text[length++] = reversed[--digits];
    // Cut to the buffer, always terminated.
    size_t kept = length < size ? length : size - 1;
    std::memcpy(buffer, text, kept);
    buffer[kept] = '\0';
    return length < size ? static_cast<int>(length) : -1;
}
