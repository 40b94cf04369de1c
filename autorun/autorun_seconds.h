// The auto-run dialog's number of seconds: reading the edit's text and the
// interval in milliseconds that it stands for. No platform calls.
#pragma once
#include <cstdint>

// The longest period the dialog stores: the most whole seconds whose
// milliseconds still fit the signed 32-bit interval of the settings file.
const int32_t kMaxAutoRunSeconds = INT32_MAX / 1000;  // 2147483 s, about 24.8 days

// Reads a decimal number of seconds: leading blanks, an optional sign, then
// digits, where the separator byte between digit groups (the up-down control
// writes "1,000") is skipped; whatever follows is ignored. Text without digits
// and negative numbers read as 0; numbers above kMaxAutoRunSeconds as that.
int32_t ParseAutoRunSeconds(const char* text, char separator);

// The interval for a number of seconds, bounded as above.
int32_t AutoRunIntervalFromSeconds(int32_t seconds);
