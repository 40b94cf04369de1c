// HotkeyEntry and the conversions between its stored, registered and
// hotkey-control forms.
#pragma once
#include <cstdint>

struct HotkeyEntry {
    int32_t id;          // 2 to 6
    uint32_t modifiers;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4; 8 = extended-key flag
    uint32_t key;        // virtual-key code; 0 with modifiers 0 = none assigned
};

// The stored value: modifiers in bits 8 to 15, key in bits 0 to 7.
int32_t PackHotkeyValue(const HotkeyEntry& entry);
void UnpackHotkeyValue(int32_t value, HotkeyEntry* entry);

// The hotkey control's 16-bit value (HOTKEYF_* flags in the high byte).
uint32_t ToControlHotkey(const HotkeyEntry& entry);
void FromControlHotkey(uint32_t value, HotkeyEntry* entry);

// The modifiers passed to RegisterHotKey: the extended-key bit is never registered.
const uint32_t kHotkeyExtendedBit = 8;
