// Parsing and formatting of settings values (decimal integers).
#pragma once
#include <cstddef>
#include <cstdint>

// Reads a leading decimal number: white space skipped, optional sign, digits;
// whatever follows is ignored. False when the text does not start with a number.
// Values beyond the signed 32-bit range saturate at its ends.
bool ParseProfileInt(const char* text, int32_t* value);

// Formats value in decimal into buffer (size bytes, always terminated).
// Returns the length, or -1 when the text had to be cut.
int FormatProfileInt(char* buffer, size_t size, int32_t value);
