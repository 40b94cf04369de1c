// Settings values are decimal integers. The parse follows "%d" (skip white space,
// optional sign, digits, ignore the rest) but is written out by hand, because
// sscanf's behaviour for a number that does not fit an int is undefined.
#include "settings/profile_value.h"

#include <cstdio>

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
    int length = std::snprintf(buffer, size, "%d", static_cast<int>(value));
    buffer[size - 1] = '\0';
    if (length < 0 || static_cast<size_t>(length) >= size)
        return -1;
    return length;
}
