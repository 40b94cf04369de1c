// The dialog template builder and the about box's template.
#include "about/dialog_template.h"

#include <cstdlib>

namespace {

const uint32_t kOrdinalLimit = 0x10000;

void PutUnit(uint16_t* buffer, size_t index, uint16_t unit)
{
    if (buffer != nullptr)
        buffer[index] = unit;
}

// A 32-bit value as two units, low word first (the platform's byte order).
void PutDword(uint16_t* buffer, size_t index, uint32_t value)
{
    PutUnit(buffer, index, static_cast<uint16_t>(value & 0xFFFF));
    PutUnit(buffer, index + 1, static_cast<uint16_t>(value >> 16));
}

// Menu and class of the header: 0 is one 0 unit, then ordinal or text.
size_t PutHeaderTextOrOrdinal(uint16_t* buffer, size_t index, TextOrOrdinal value)
{
    if (value == 0) {
        PutUnit(buffer, index, 0);
        return 1;
    }
    if (value < kOrdinalLimit)
        return PutOrdinal(buffer, index, value);
    return PutWideString(buffer, index, reinterpret_cast<const char16_t*>(value));
}

size_t PadToEven(uint16_t* buffer, size_t units)
{
    if (units % 2 == 0)
        return units;
    PutUnit(buffer, units, 0);
    return units + 1;
}

}  // namespace

size_t PutWideString(uint16_t* buffer, size_t index, const char16_t* text)
{
    size_t length = 0;
    for (; text[length] != 0; ++length)
        PutUnit(buffer, index + length, static_cast<uint16_t>(text[length]));
    PutUnit(buffer, index + length, 0);
    return length + 1;
}

size_t PutOrdinal(uint16_t* buffer, size_t index, TextOrOrdinal value)
{
    PutUnit(buffer, index, 0xFFFF);
    PutUnit(buffer, index + 1, static_cast<uint16_t>(value & 0xFFFF));
    return 2;
}

size_t PutDialogHeader(const DialogTemplateSpec& spec, uint16_t* buffer)
{
    PutDword(buffer, 0, spec.style);
    PutDword(buffer, 2, spec.extendedStyle);
    PutUnit(buffer, 4, spec.itemCount);
    PutUnit(buffer, 5, static_cast<uint16_t>(spec.x));
    PutUnit(buffer, 6, static_cast<uint16_t>(spec.y));
    PutUnit(buffer, 7, static_cast<uint16_t>(spec.cx));
    PutUnit(buffer, 8, static_cast<uint16_t>(spec.cy));
    size_t n = 9;
    n += PutHeaderTextOrOrdinal(buffer, n, spec.menu);
    n += PutHeaderTextOrOrdinal(buffer, n, spec.className);
    n += PutWideString(buffer, n, spec.title != nullptr ? spec.title : u"");
    if (spec.fontFace != nullptr) {
        PutUnit(buffer, n, spec.pointSize);
        n += 1;
        n += PutWideString(buffer, n, spec.fontFace);
    }
    return n;
}

size_t PutDialogItem(size_t start, uint16_t* buffer, const DialogItemSpec& item)
{
    uint16_t* at = buffer != nullptr ? buffer + start : nullptr;
    PutDword(at, 0, item.style | kTemplateChildStyle);
    PutDword(at, 2, item.extendedStyle);
    PutUnit(at, 4, static_cast<uint16_t>(item.x));
    PutUnit(at, 5, static_cast<uint16_t>(item.y));
    PutUnit(at, 6, static_cast<uint16_t>(item.cx));
    PutUnit(at, 7, static_cast<uint16_t>(item.cy));
    PutUnit(at, 8, item.id);
    size_t n = 9;
    if (item.className < kOrdinalLimit)
        n += PutOrdinal(at, n, item.className);
    else
        n += PutWideString(at, n, reinterpret_cast<const char16_t*>(item.className));
    if (item.text == 0)
        n += PutWideString(at, n, u"");
    else if (item.text < kOrdinalLimit)
        n += PutOrdinal(at, n, item.text);
    else
        n += PutWideString(at, n, reinterpret_cast<const char16_t*>(item.text));
    PutUnit(at, n, 0);  // no creation data
    return n + 1;
}

size_t LayoutDialogTemplate(const DialogTemplateSpec& spec, const DialogItemSpec* items,
                            uint16_t* buffer)
{
    // Every record starts on a 4-byte boundary: each block is padded to an
    // even number of units.
    size_t n = PadToEven(buffer, PutDialogHeader(spec, buffer));
    for (uint16_t i = 0; i < spec.itemCount; ++i)
        n = PadToEven(buffer, n + PutDialogItem(n, buffer, items[i]));
    return 2 * n;
}

void* BuildDialogTemplate(const DialogTemplateSpec& spec, const DialogItemSpec* items)
{
    size_t size = LayoutDialogTemplate(spec, items, nullptr);
    void* buffer = std::malloc(size);
    if (buffer == nullptr)
        return nullptr;
    LayoutDialogTemplate(spec, items, static_cast<uint16_t*>(buffer));
    return buffer;
}

void* MakeAboutDialogTemplate()
{
    // WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CONTEXTHELP |
    // DS_MODALFRAME | DS_SETFONT | DS_SYSMODAL
    const DialogTemplateSpec spec = {
        0x90C820C2, 0, 5, 0, 0, 38, 56, 0, nullptr, 0, u"ＭＳ Ｐゴシック", 9,
    };
    // The three text lines start 1 unit wide; the dialog widens them to their texts.
    const DialogItemSpec items[] = {
        {kStaticClass, 0, 0x50000003, 0, 7, 7, 20, 21, kAboutIconId},       // SS_ICON
        {kStaticClass, 0, 0x50000000, 0, 30, 7, 1, 8, kAboutNameId},
        {kStaticClass, 0, 0x50000000, 0, 30, 16, 1, 8, kAboutLinkId},
        {kStaticClass, 0, 0x50000000, 0, 30, 25, 1, 8, kAboutResourcesId},
        {kButtonClass, TextValue(u"OK"), 0x50020001, 0, 45, 35, 45, 14, 1},  // default button
    };
    return BuildDialogTemplate(spec, items);
}
