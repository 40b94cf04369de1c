// Reading the auto-run dialog's seconds without overflow.
#include "autorun/autorun_seconds.h"

int32_t ParseAutoRunSeconds(const char* text, char separator)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    int32_t seconds = 0;
    bool anyDigit = false;
    for (;; ++p) {
        if (*p >= '0' && *p <= '9') {
            anyDigit = true;
            // Saturates: further digits cannot bring it back below the bound.
            if (seconds <= kMaxAutoRunSeconds)
                seconds = seconds * 10 + (*p - '0');
        } else if (!(anyDigit && separator != '\0' && *p == separator &&
                     p[1] >= '0' && p[1] <= '9')) {
            break;
        }
    }
    if (!anyDigit || negative)
        return 0;
    return seconds > kMaxAutoRunSeconds ? kMaxAutoRunSeconds : seconds;
}

int32_t AutoRunIntervalFromSeconds(int32_t seconds)
{
    if (seconds < 0)
        return 0;
    if (seconds > kMaxAutoRunSeconds)
        seconds = kMaxAutoRunSeconds;
    return seconds * 1000;
}
