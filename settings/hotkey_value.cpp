// Hotkey values. The hotkey control and RegisterHotKey order their modifier bits
// differently; one table maps each bit in either direction.
#include "settings/hotkey_value.h"

namespace {

struct ModifierMapRow {
    uint32_t controlFlag;       // HOTKEYF_*
    uint32_t registrationFlag;  // MOD_*
};

const ModifierMapRow kModifierMap[] = {
    {8, 8},  // HOTKEYF_EXT carried in the bit of MOD_WIN, never registered
    {4, 1},  // HOTKEYF_ALT, MOD_ALT
    {2, 2},  // HOTKEYF_CONTROL, MOD_CONTROL
    {1, 4},  // HOTKEYF_SHIFT, MOD_SHIFT
};

}  // namespace

int32_t PackHotkeyValue(const HotkeyEntry& entry)
{
    return static_cast<int32_t>((entry.modifiers & 0xFF) * 256 + (entry.key & 0xFF));
}

void UnpackHotkeyValue(int32_t value, HotkeyEntry* entry)
{
    uint32_t bits = static_cast<uint32_t>(value);
    entry->modifiers = (bits >> 8) & 0xFF;
    entry->key = bits & 0xFF;
}

uint32_t ToControlHotkey(const HotkeyEntry& entry)
{
    uint32_t flags = 0;
    for (const ModifierMapRow& row : kModifierMap) {
        if (entry.modifiers & row.registrationFlag)
            flags |= row.controlFlag;
    }
    return (flags << 8) | (entry.key & 0xFF);
}

void FromControlHotkey(uint32_t value, HotkeyEntry* entry)
{
    entry->key = value & 0xFF;
    entry->modifiers = 0;
    uint32_t flags = (value >> 8) & 0xFF;
    for (const ModifierMapRow& row : kModifierMap) {
        if (flags & row.controlFlag)
            entry->modifiers |= row.registrationFlag;
    }
}
