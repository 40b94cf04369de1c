// The in-memory dialog template: exact units of the about box's template, the
// two passes, padding and the special values of class, menu and font.
#include "about/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::vector<uint16_t> Units(const void* buffer, size_t bytes)
{
    std::vector<uint16_t> units(bytes / 2);
    std::memcpy(units.data(), buffer, bytes);
    return units;
}

std::vector<uint16_t> Slice(const std::vector<uint16_t>& units, size_t byteOffset, size_t count)
{
    return std::vector<uint16_t>(units.begin() + byteOffset / 2,
                                 units.begin() + byteOffset / 2 + count);
}

const DialogTemplateSpec kPlainDialog = {0x80C80080, 0, 0, 1, 2, 30, 40, 0, u"T", 0, nullptr, 0};

TEST(DialogTemplate, AboutBoxTemplateIsExactly188Bytes)
{
    void* built = MakeAboutDialogTemplate();
    ASSERT_NE(built, nullptr);
    std::vector<uint16_t> units = Units(built, 188);
    std::free(built);

    // Header: style, extended style, 5 items, (0, 0), 38 x 56, no menu, the
    // default class, empty title, 9 points, the face.
    const std::vector<uint16_t> header = {0x20C2, 0x90C8, 0, 0, 5, 0, 0, 38, 56, 0, 0, 0, 9,
                                          0xFF2D, 0xFF33, 0x0020, 0xFF30, 0x30B4, 0x30B7,
                                          0x30C3, 0x30AF, 0};
    EXPECT_EQ(Slice(units, 0, header.size()), header);
    // Statics at 44, 72, 100, 128: 13 units and one of padding each.
    const uint16_t statics[4][8] = {
        {0x0003, 0x5000, 7, 7, 20, 21, 100, 0},
        {0x0000, 0x5000, 30, 7, 1, 8, 101, 0},
        {0x0000, 0x5000, 30, 16, 1, 8, 102, 0},
        {0x0000, 0x5000, 30, 25, 1, 8, 103, 0},
    };
    for (int i = 0; i < 4; ++i) {
        size_t at = 44 + 28 * i;
        std::vector<uint16_t> expected = {statics[i][0], statics[i][1], 0, 0, statics[i][2],
                                          statics[i][3], statics[i][4], statics[i][5],
                                          statics[i][6], 0xFFFF, 0x82, 0, 0, 0};
        EXPECT_EQ(Slice(units, at, 14), expected) << "control at byte " << at;
    }
    const std::vector<uint16_t> button = {0x0001, 0x5002, 0, 0, 45, 35, 45, 14, 1, 0xFFFF,
                                          0x80, 'O', 'K', 0, 0, 0};
    EXPECT_EQ(Slice(units, 156, 16), button);
}

TEST(DialogTemplate, BothPassesAgreeAndRecordsAreAligned)
{
    const DialogItemSpec items[] = {
        {TextValue(u"msctls_hotkey32"), TextValue(u"abc"), 0x10000000, 7, 1, 2, 3, 4, 5},
        {0x81, 0, 0, 0, 0, 0, 0, 0, 6},
        {kStaticClass, 0x7F, 0, 0, 0, 0, 0, 0, 7},  // an icon resource ordinal as text
    };
    DialogTemplateSpec spec = kPlainDialog;
    spec.itemCount = 3;
    spec.menu = TextValue(u"MENU1");
    size_t size = LayoutDialogTemplate(spec, items, nullptr);
    ASSERT_EQ(size % 4, 0u);
    std::vector<uint16_t> buffer(size / 2 + 8, 0xABCD);
    EXPECT_EQ(LayoutDialogTemplate(spec, items, buffer.data()), size);
    for (size_t i = size / 2; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], 0xABCD) << "written past the measured size at unit " << i;

    // Header: 9 fixed, menu text 6, class 1, title 2 = 18 units, no padding.
    size_t first = PutDialogHeader(spec, nullptr);
    EXPECT_EQ(first, 18u);
    EXPECT_EQ(buffer[9], 'M');
    // The first control: 9 fixed + class 16 + text 4 + 1 = 30 units (even, no padding).
    EXPECT_EQ(PutDialogItem(first, nullptr, items[0]), 30u);
    EXPECT_EQ(buffer[first + 1], 0x5000u);  // WS_CHILD added to WS_VISIBLE
    size_t second = first + 30;
    EXPECT_EQ(second % 2, 0u);
    EXPECT_EQ(buffer[second + 9], 0xFFFF);
    EXPECT_EQ(buffer[second + 10], 0x81);
    // 9 + 2 + 1 + 1 = 13 units: odd, so one 0 unit follows.
    EXPECT_EQ(PutDialogItem(second, nullptr, items[1]), 13u);
    EXPECT_EQ(buffer[second + 13], 0);
    size_t third = second + 14;
    EXPECT_EQ(buffer[third + 11], 0xFFFF);
    EXPECT_EQ(buffer[third + 12], 0x7F);
    EXPECT_EQ(third * 2 + 2 * (9 + 2 + 2 + 1), size);
}

TEST(DialogTemplate, ClassZeroMenuZeroAndFontOnlyWithAFace)
{
    DialogTemplateSpec spec = kPlainDialog;
    spec.style |= 0x40;  // DS_SETFONT without a face still writes no font block
    spec.pointSize = 9;
    uint16_t header[16];
    ASSERT_EQ(PutDialogHeader(spec, header), 13u);  // 9 + menu 1 + class 1 + title 2
    EXPECT_EQ(header[9], 0);   // no menu
    EXPECT_EQ(header[10], 0);  // the default class: one 0 unit
    EXPECT_EQ(header[11], 'T');

    spec.title = nullptr;
    spec.className = 0x8002;  // an ordinal class
    EXPECT_EQ(PutDialogHeader(spec, header), 9u + 1 + 2 + 1);
    EXPECT_EQ(header[10], 0xFFFF);
    EXPECT_EQ(header[11], 0x8002);
    EXPECT_EQ(header[12], 0);  // empty title

    const DialogItemSpec classZero = {0, 0, 0, 0, 0, 0, 0, 0, 9};
    uint16_t item[16];
    ASSERT_EQ(PutDialogItem(0, item, classZero), 13u);
    EXPECT_EQ(item[9], 0xFFFF);
    EXPECT_EQ(item[10], 0);

    // No items: the header alone, padded to a multiple of 4 bytes.
    spec = kPlainDialog;  // 9 + 1 + 1 + 2 = 13 units
    EXPECT_EQ(LayoutDialogTemplate(spec, nullptr, nullptr), 28u);
}

}  // namespace
