// Builds classic in-memory dialog templates (DLGTEMPLATE and DLGITEMTEMPLATE
// records) from plain descriptions, in two passes over the same code: one that
// counts 16-bit units and one that fills a buffer of exactly that size.
// No platform calls: the layout is the platform's, written out unit by unit.
#pragma once
#include <cstddef>
#include <cstdint>

// A text pointer or, below 0x10000, an ordinal (class number or resource id).
typedef uintptr_t TextOrOrdinal;

inline TextOrOrdinal TextValue(const char16_t* text)
{
    return reinterpret_cast<TextOrOrdinal>(text);
}

const uint32_t kTemplateChildStyle = 0x40000000;  // WS_CHILD, added to every control
const TextOrOrdinal kButtonClass = 0x80;
const TextOrOrdinal kStaticClass = 0x82;

struct DialogTemplateSpec {
    uint32_t style;
    uint32_t extendedStyle;
    uint16_t itemCount;
    int16_t x, y, cx, cy;
    TextOrOrdinal className;  // 0: the default dialog class
    const char16_t* title;    // null: empty title
    TextOrOrdinal menu;       // 0: no menu
    const char16_t* fontFace; // null: no font block
    uint16_t pointSize;
};

struct DialogItemSpec {
    TextOrOrdinal className;  // 0 is written as the ordinal 0
    TextOrOrdinal text;       // 0: empty text
    uint32_t style;
    uint32_t extendedStyle;
    int16_t x, y, cx, cy;
    uint16_t id;
};

// Each writer writes at buffer[index...] unless buffer is null, and returns the
// number of units it takes.
size_t PutWideString(uint16_t* buffer, size_t index, const char16_t* text);
size_t PutOrdinal(uint16_t* buffer, size_t index, TextOrOrdinal value);
size_t PutDialogHeader(const DialogTemplateSpec& spec, uint16_t* buffer);
size_t PutDialogItem(size_t start, uint16_t* buffer, const DialogItemSpec& item);
// The template's size in bytes (a multiple of 4); fills buffer when given.
size_t LayoutDialogTemplate(const DialogTemplateSpec& spec, const DialogItemSpec* items,
                            uint16_t* buffer);
// A new template (freed by the caller with std::free), or null when out of memory.
void* BuildDialogTemplate(const DialogTemplateSpec& spec, const DialogItemSpec* items);

// The about box: icon, three text lines and OK.
const uint16_t kAboutIconId = 100;
const uint16_t kAboutNameId = 101;
const uint16_t kAboutLinkId = 102;
const uint16_t kAboutResourcesId = 103;
void* MakeAboutDialogTemplate();
