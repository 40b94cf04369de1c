// Hotkey values: the stored packing and the hotkey control's form.
#include "settings/hotkey_value.h"

#include <gtest/gtest.h>

namespace {

TEST(HotkeyValue, UnpackKeepsLowSixteenBits)
{
    HotkeyEntry entry = {2, 0, 0};
    UnpackHotkeyValue(833, &entry);
    EXPECT_EQ(entry.modifiers, 3u);
    EXPECT_EQ(entry.key, 0x41u);
    EXPECT_EQ(entry.id, 2);
    UnpackHotkeyValue(66369, &entry);  // 833 + 65536
    EXPECT_EQ(entry.modifiers, 3u);
    EXPECT_EQ(entry.key, 0x41u);
    EXPECT_EQ(PackHotkeyValue(entry), 833);
    UnpackHotkeyValue(-1, &entry);
    EXPECT_EQ(entry.modifiers, 255u);
    EXPECT_EQ(entry.key, 255u);
    EXPECT_EQ(PackHotkeyValue(entry), 65535);
    HotkeyEntry stray = {3, 0x1203, 0x3441};
    EXPECT_EQ(PackHotkeyValue(stray), 833);
}

TEST(HotkeyValue, ControlFormRoundTrip)
{
    HotkeyEntry entry = {4, 0, 0};
    FromControlHotkey(0x0641, &entry);  // HOTKEYF_CONTROL | HOTKEYF_ALT, 'A'
    EXPECT_EQ(entry.modifiers, 3u);
    EXPECT_EQ(entry.key, 0x41u);
    EXPECT_EQ(entry.id, 4);
    HotkeyEntry shiftF1 = {5, 4, 0x70};
    EXPECT_EQ(ToControlHotkey(shiftF1), 0x0170u);
    HotkeyEntry extended = {6, 8 | 2, 0x2E};  // extended flag and Control, Delete
    EXPECT_EQ(ToControlHotkey(extended), 0x0A2Eu);
    HotkeyEntry back = {6, 0, 0};
    FromControlHotkey(ToControlHotkey(extended), &back);
    EXPECT_EQ(back.modifiers, 10u);
    // Bits 16 to 128 of the modifiers are dropped on the way there and back.
    HotkeyEntry odd = {2, 0xF1, 0x41};
    HotkeyEntry result = {2, 0, 0};
    FromControlHotkey(ToControlHotkey(odd), &result);
    EXPECT_EQ(result.modifiers, 1u);
}

}  // namespace
