// Fuzzes the dialog template builder with random descriptions: random
// strings, ordinals and counts. The filling pass must write exactly the
// measured size, never past it (ASan guards the end of the buffer).
#include "about/dialog_template.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

namespace {

const size_t kMaxItems = 8;

struct Reader {
    const uint8_t* data;
    size_t size;
    uint16_t Next16()
    {
        if (size < 2) {
            size = 0;
            return 0;
        }
        uint16_t value = static_cast<uint16_t>(data[0] | data[1] << 8);
        data += 2;
        size -= 2;
        return value;
    }
    uint32_t Next32() { return Next16() | static_cast<uint32_t>(Next16()) << 16; }
};

// A string of random length and units (no 0 inside), kept alive in store
// (a deque never moves what it holds).
const char16_t* NextString(Reader& reader, std::deque<std::u16string>& store)
{
    size_t length = reader.Next16() % 40;
    std::u16string text;
    for (size_t i = 0; i < length; ++i)
        text.push_back(static_cast<char16_t>(reader.Next16() | 1));
    store.push_back(text);
    return store.back().c_str();
}

// 0, an ordinal or a string, as the first unit chooses.
TextOrOrdinal NextTextOrOrdinal(Reader& reader, std::deque<std::u16string>& store)
{
    switch (reader.Next16() % 3) {
    case 0: return 0;
    case 1: return reader.Next16();
    default: return TextValue(NextString(reader, store));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader reader = {data, size};
    std::deque<std::u16string> store;
    DialogTemplateSpec spec = {};
    spec.style = reader.Next32();
    spec.extendedStyle = reader.Next32();
    spec.itemCount = static_cast<uint16_t>(reader.Next16() % (kMaxItems + 1));
    spec.className = NextTextOrOrdinal(reader, store);
    spec.menu = NextTextOrOrdinal(reader, store);
    spec.title = reader.Next16() % 2 ? NextString(reader, store) : nullptr;
    spec.fontFace = reader.Next16() % 2 ? NextString(reader, store) : nullptr;
    spec.pointSize = reader.Next16();
    DialogItemSpec items[kMaxItems] = {};
    for (size_t i = 0; i < spec.itemCount; ++i) {
        items[i].className = NextTextOrOrdinal(reader, store);
        items[i].text = NextTextOrOrdinal(reader, store);
        items[i].style = reader.Next32();
        items[i].id = reader.Next16();
    }
    size_t bytes = LayoutDialogTemplate(spec, items, nullptr);
    if (bytes % 4 != 0)
        std::abort();
    // Exactly the measured size: ASan reports any write past it.
    uint16_t* buffer = static_cast<uint16_t*>(std::malloc(bytes));
    if (LayoutDialogTemplate(spec, items, buffer) != bytes)
        std::abort();
    std::free(buffer);
    void* built = BuildDialogTemplate(spec, items);
    if (built == nullptr)
        std::abort();
    std::free(built);
    return 0;
}
