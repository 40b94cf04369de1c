// Writes Tidewell's icons into the folder named by the only argument:
// tidewell.ico (the program) and close.ico, restore.ico, maximize.ico,
// minimize.ico (the tray actions). Each file holds an image for every size
// Windows asks for at 100, 125 and 150 % display scaling: 16x16, 20x20 and
// 24x24 small icons, a 32x32 large icon, and for the program also a 48x48
// large icon. The images are stored largest first, each at 4 bits per pixel in
// the standard 16-colour palette, with an AND mask for the transparent
// background. The pictures are the character tables below, one character a
// pixel; nothing depends on the clock or the machine, so every run writes the
// same bytes.
//
//   make_icons <folder>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The 16 colours in palette order, each with the character that stands for it
// in the tables. '.' is transparent.
struct PaletteColour {
    char key;
    std::uint8_t red, green, blue;
};

const PaletteColour kPalette[16] = {
    {'K', 0x00, 0x00, 0x00},  // black
    {'r', 0x80, 0x00, 0x00},  // dark red
    {'g', 0x00, 0x80, 0x00},  // dark green
    {'o', 0x80, 0x80, 0x00},  // olive
    {'n', 0x00, 0x00, 0x80},  // navy
    {'p', 0x80, 0x00, 0x80},  // purple
    {'t', 0x00, 0x80, 0x80},  // teal
    {'s', 0xC0, 0xC0, 0xC0},  // silver
    {'d', 0x80, 0x80, 0x80},  // dark grey
    {'R', 0xFF, 0x00, 0x00},  // red
    {'G', 0x00, 0xFF, 0x00},  // green
    {'Y', 0xFF, 0xFF, 0x00},  // yellow
    {'B', 0x00, 0x00, 0xFF},  // blue
    {'M', 0xFF, 0x00, 0xFF},  // magenta
    {'C', 0x00, 0xFF, 0xFF},  // cyan
    {'W', 0xFF, 0xFF, 0xFF},  // white
};

const char kTransparent = '.';

struct Picture {
    int size;                 // width and height in pixels
    const char* const* rows;  // top row first
    std::size_t rowCount;
};

// Palette index of a table character, or -1 for transparent, -2 for unknown.
int ColourIndex(char key)
{
    if (key == kTransparent)
        return -1;
    for (int i = 0; i < 16; ++i) {
        if (kPalette[i].key == key)
            return i;
    }
    return -2;
}

// The picture is named by its file and size in messages.
bool CheckPicture(const char* file, const Picture& picture)
{
    const int size = picture.size;
    if (picture.rowCount != static_cast<std::size_t>(size)) {
        std::fprintf(stderr, "make_icons: %s %dx%d has %zu rows, expected %d\n", file, size,
                     size, picture.rowCount, size);
        return false;
    }
    for (int y = 0; y < size; ++y) {
        const char* row = picture.rows[y];
        if (std::strlen(row) != static_cast<std::size_t>(size)) {
            std::fprintf(stderr, "make_icons: %s %dx%d row %d is %zu pixels wide, expected %d\n",
                         file, size, size, y, std::strlen(row), size);
            return false;
        }
        for (int x = 0; x < size; ++x) {
            if (ColourIndex(row[x]) == -2) {
                std::fprintf(stderr, "make_icons: %s %dx%d row %d has unknown colour '%c'\n",
                             file, size, size, y, row[x]);
                return false;
            }
        }
    }
    return true;
}

void PutU8(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void PutU16(std::vector<std::uint8_t>& out, unsigned value)
{
    PutU8(out, value);
    PutU8(out, value >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// Bytes in one bitmap row of the given width and depth; rows end on a
// 4-byte boundary.
std::size_t RowBytes(int width, int bitsPerPixel)
{
    return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

// One icon image: BITMAPINFOHEADER, palette, 4-bpp colour bitmap and 1-bpp
// AND mask, both bottom-up. The header's height counts both bitmaps.
std::vector<std::uint8_t> EncodeImage(const Picture& picture)
{
    const int size = picture.size;
    const std::size_t colourRow = RowBytes(size, 4);
    const std::size_t maskRow = RowBytes(size, 1);
    const std::size_t bitsSize = (colourRow + maskRow) * size;

    std::vector<std::uint8_t> out;
    PutU32(out, 40);          // biSize
    PutU32(out, size);        // biWidth
    PutU32(out, 2 * size);    // biHeight
    PutU16(out, 1);           // biPlanes
    PutU16(out, 4);           // biBitCount
    PutU32(out, 0);           // biCompression: BI_RGB
    PutU32(out, static_cast<std::uint32_t>(bitsSize));  // biSizeImage
    PutU32(out, 0);           // biXPelsPerMeter
    PutU32(out, 0);           // biYPelsPerMeter
    PutU32(out, 0);           // biClrUsed: all 16
    PutU32(out, 0);           // biClrImportant
    for (const PaletteColour& colour : kPalette) {
        PutU8(out, colour.blue);
        PutU8(out, colour.green);
        PutU8(out, colour.red);
        PutU8(out, 0);
    }

    // Colour bitmap: two pixels a byte, the left one in the high nibble.
    // Transparent pixels are black so the AND/XOR pair leaves the screen as is.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < size; ++x) {
            int index = ColourIndex(picture.rows[y][x]);
            if (index < 0)
                index = 0;
            row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    // AND mask: a set bit keeps the screen pixel; the leftmost pixel is the
    // high bit.
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x) {
            if (picture.rows[y][x] == kTransparent)
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// ICONDIR, one ICONDIRENTRY per image, then the images in the same order.
std::vector<std::uint8_t> EncodeIcon(const Picture* pictures, std::size_t count)
{
    std::vector<std::vector<std::uint8_t>> images;
    for (std::size_t i = 0; i < count; ++i)
        images.push_back(EncodeImage(pictures[i]));

    std::vector<std::uint8_t> out;
    PutU16(out, 0);  // idReserved
    PutU16(out, 1);  // idType: icon
    PutU16(out, static_cast<unsigned>(count));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * count);
    for (std::size_t i = 0; i < count; ++i) {
        PutU8(out, pictures[i].size);   // bWidth
        PutU8(out, pictures[i].size);   // bHeight
        PutU8(out, 16);                 // bColorCount
        PutU8(out, 0);                  // bReserved
        PutU16(out, 1);                 // wPlanes
        PutU16(out, 4);                 // wBitCount
        PutU32(out, static_cast<std::uint32_t>(images[i].size()));  // dwBytesInRes
        PutU32(out, offset);            // dwImageOffset
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::vector<std::uint8_t>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        std::fprintf(stderr, "make_icons: cannot create %s\n", path.c_str());
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

template <std::size_t N>
Picture MakePicture(int size, const char* const (&rows)[N])
{
    return Picture{size, rows, N};
}

namespace art {

// Characters: the palette keys above, '.' transparent. Every size is drawn on
// its own rather than scaled from another, so that each stays sharp: the small
// ones keep to a few bold shapes, the large ones add detail.

// The program: a window looking out on waves rolling under a setting sun.
const char* const kTidewell48[] = {
    "................................................",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KttttttttttttttttttttttttttttttttttttttttttttttK",
    "KtttttttttttttttttttttttttttttttttttttttsssssstK",
    "KtttttttttttttttttttttttttttttttttttttttsssssstK",
    "KtttttttttttttttttttttttttttttttttttttttsssssstK",
    "KtttttttttttttttttttttttttttttttttttttttsssssstK",
    "KtttttttttttttttttttttttttttttttttttttttsssssstK",
    "KttttttttttttttttttttttttttttttttttttttttttttttK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYYYCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYYYCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYYYYYCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYYYYYCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYYYYYCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCYYYYYYYYYCCCCCCCK",
    "KCCWWWWWCCCCCCCCCCWWWWWCCCCCCCCYYWWWWWYYCCCCCCCK",
    "KCWBBBBBWCCCCCCCCWBBBBBWCCCCCCCCWBBBBBWCCCCCCCCK",
    "KWBBBBBBBWCCCCCCWBBBBBBBWCCCCCCWBBBBBBBWCCCCCCWK",
    "KBBBBBBBBBWCCCCWBBBBBBBBBWCCCCWBBBBBBBBBWCCCCWBK",
    "KBBBBBBBBBBWWWWBBBBBBBBBBBWWWWBBBBBBBBBBBWWWWBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KnnnnnnnnnnWWWWnnnnnnnnnnnWWWWnnnnnnnnnnnWWWWnnK",
    "KnnnnnnnnnWBBBBWnnnnnnnnnWBBBBWnnnnnnnnnWBBBBWnK",
    "KWnnnnnnnWBBBBBBWnnnnnnnWBBBBBBWnnnnnnnWBBBBBBWK",
    "KBWnnnnnWBBBBBBBBWnnnnnWBBBBBBBBWnnnnnWBBBBBBBBK",
    "KBBWWWWWBBBBBBBBBBWWWWWBBBBBBBBBBWWWWWBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "................................................",
};

const char* const kTidewell32[] = {
    "................................",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KttttttttttttttttttttttttttttttK",
    "KtttttttttttttttttttttttttsssstK",
    "KtttttttttttttttttttttttttsssstK",
    "KtttttttttttttttttttttttttsssstK",
    "KttttttttttttttttttttttttttttttK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCCYYYCCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCCYYYYYCCCCK",
    "KCCCCCCCCCCCCCCCCCCCCYYYYYYYCCCK",
    "KCCCCCCCCCCCCCCCCCCCCYYYYYYYCCCK",
    "KCCWWWCCCCCCCWWWCCCCCCYYYYYCCCCK",
    "KCWBBBWCCCCCWBBBWCCCCCWBBBWCCCCK",
    "KWBBBBBWCCCWBBBBBWCCCWBBBBBWCCCK",
    "KBBBBBBBWWWBBBBBBBWWWBBBBBBBWWWK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KnnnnnnnWWWnnnnnnnWWWnnnnnnnWWWK",
    "KWnnnnnWBBBWnnnnnWBBBWnnnnnWBBBK",
    "KBWnnnWBBBBBWnnnWBBBBBWnnnWBBBBK",
    "KBBWWWBBBBBBBWWWBBBBBBBWWWBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "................................",
};

const char* const kTidewell24[] = {
    "........................",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
    "KttttttttttttttttttttttK",
    "KttttttttttttttttttssstK",
    "KttttttttttttttttttssstK",
    "KttttttttttttttttttttttK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
    "KCCCCCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCCCYYYCCCCK",
    "KCCCCCCCCCCCCCCYYYYYCCCK",
    "KCCCCCCCCCCCCCCYYYYYCCCK",
    "KCCCCCCCCCCCCCCYYYYYCCCK",
    "KCWWWCCCCWWWCCCCWWWCCCCK",
    "KWBBBWCCWBBBWCCWBBBWCCWK",
    "KBBBBBWWBBBBBWWBBBBBWWBK",
    "KBBBBBBBBBBBBBBBBBBBBBBK",
    "KnnnnnWWnnnnnWWnnnnnWWnK",
    "KWnnnWBBWnnnWBBWnnnWBBWK",
    "KBWWWBBBBWWWBBBBWWWBBBBK",
    "KBBBBBBBBBBBBBBBBBBBBBBK",
    "KnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
    "........................",
};

const char* const kTidewell20[] = {
    "....................",
    "KKKKKKKKKKKKKKKKKKKK",
    "KttttttttttttttttttK",
    "KttttttttttttttttttK",
    "KKKKKKKKKKKKKKKKKKKK",
    "KCCCCCCCCCCCCCCCCCCK",
    "KCCCCCCCCCCCCCYYCCCK",
    "KCCCCCCCCCCCCYYYYCCK",
    "KCCCCCCCCCCCCYYYYCCK",
    "KCWWCCCCWWCCCCWWCCCK",
    "KWBBWCCWBBWCCWBBWCCK",
    "KBBBBWWBBBBWWBBBBWWK",
    "KBBBBBBBBBBBBBBBBBBK",
    "KnnnnWWnnnnWWnnnnWWK",
    "KWnnWBBWnnWBBWnnWBBK",
    "KBWWBBBBWWBBBBWWBBBK",
    "KnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKK",
    "....................",
};

const char* const kTidewell16[] = {
    "................",
    "KKKKKKKKKKKKKKKK",
    "KttttttttttttttK",
    "KttttttttttttttK",
    "KKKKKKKKKKKKKKKK",
    "KCCCCCCCCCCYYCCK",
    "KCCCCCCCCCYYYYCK",
    "KCWWCCCCCWYYYYCK",
    "KWBBWCCCWBBWCCWK",
    "KBBBBWWWBBBBWWBK",
    "KBBBBBBBBBBBBBBK",
    "KBBBBWWBBBBBWWBK",
    "KnWWnnnWWnWWnnnK",
    "KnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKK",
    "................",
};

// Close: a window with a red cross over its corner.
const char* const kClose32[] = {
    "................................",
    "KKKKKKKKKKKKKKKKKKKKKKKKK.......",
    "KnnnnnnnnnnnnnnnnnnnnnnnK.......",
    "KnnnnnnnnnnnnnnnnnnssssnK.......",
    "KnnnnnnnnnnnnnnnnnnssssnK.......",
    "KnnnnnnnnnnnnnnnnnnssssnK.......",
    "KnnnnnnnnnnnnnnnnnnnnnnnK.......",
    "KKKKKKKKKKKKKKKKKKKKKKKKK.......",
    "KWWWWWWWWWWWWWWWWWWWWWWWK.......",
    "KWWWWWWWWWWWWWWWWWWWWWWWK.......",
    "KWWWWWWWWWWWWWWWWWWWWWWWK.......",
    "KWWWWWWWWWWWWWWWWWWWWWWWK.......",
    "KWWWWWWWWWWWWWWWWWWWWWWWK.......",
    "KWWWWWWWWWWWWKKKKKWWWWWWK..KKKKK",
    "KWWWWWWWWWWWWKRRRKKWWWWWK.KKRRRK",
    "KWWWWWWWWWWWWKRRRRKKWWWWKKKRRRRK",
    "KWWWWWWWWWWWWKRRRRRKKWWWKKRRRRRK",
    "KWWWWWWWWWWWWKKRRRRRKKWKKRRRRRKK",
    "KWWWWWWWWWWWWWKKRRRRRKKKRRRRRKK.",
    "KWWWWWWWWWWWWWWKKRRRRRKRRRRRKK..",
    "KWWWWWWWWWWWWWWWKKRRRRRRRRRKK...",
    "KWWWWWWWWWWWWWWWWKKRRRRRRRKK....",
    "KWWWWWWWWWWWWWWWWWKKRRRRRKK.....",
    "KWWWWWWWWWWWWWWWWKKRRRRRRRKK....",
    "KKKKKKKKKKKKKKKKKKRRRRRRRRRKK...",
    "...............KKRRRRRKRRRRRKK..",
    "..............KKRRRRRKKKRRRRRKK.",
    ".............KKRRRRRKK.KKRRRRRKK",
    ".............KRRRRRKK...KKRRRRRK",
    ".............KRRRRKK.....KKRRRRK",
    ".............KRRRKK.......KKRRRK",
    ".............KKKKK.........KKKKK",
};

const char* const kClose24[] = {
    "........................",
    "KKKKKKKKKKKKKKKKKKK.....",
    "KnnnnnnnnnnnnnnnnnK.....",
    "KnnnnnnnnnnnnnsssnK.....",
    "KnnnnnnnnnnnnnsssnK.....",
    "KnnnnnnnnnnnnnnnnnK.....",
    "KKKKKKKKKKKKKKKKKKK.....",
    "KWWWWWWWWWWWWWWWWWK.....",
    "KWWWWWWWWWWWWWWWWWK.....",
    "KWWWWWWWWKKKKWWWWWK.KKKK",
    "KWWWWWWWWKRRKKWWWWKKKRRK",
    "KWWWWWWWWKRRRKKWWWKKRRRK",
    "KWWWWWWWWKKRRRKKWKKRRRKK",
    "KWWWWWWWWWKKRRRKKKRRRKK.",
    "KWWWWWWWWWWKKRRRKRRRKK..",
    "KWWWWWWWWWWWKKRRRRRKK...",
    "KWWWWWWWWWWWWKKRRRKK....",
    "KWWWWWWWWWWWKKRRRRRKK...",
    "KKKKKKKKKKKKKRRRKRRRKK..",
    "..........KKRRRKKKRRRKK.",
    ".........KKRRRKK.KKRRRKK",
    ".........KRRRKK...KKRRRK",
    ".........KRRKK.....KKRRK",
    ".........KKKK.......KKKK",
};

const char* const kClose20[] = {
    "KKKKKKKKKKKKKKKK....",
    "KnnnnnnnnnnnnnnK....",
    "KnnnnnnnnnnnnnnK....",
    "KKKKKKKKKKKKKKKK....",
    "KWWWWWWWWWWWWWWK....",
    "KWWWWWWWWWWWWWWK....",
    "KWWWWWWWWWWWWWWK....",
    "KWWWWWWWKKWWWWWK.KK.",
    "KWWWWWWKRRKWWWWKKRRK",
    "KWWWWWWKRRRKWWWKRRRK",
    "KWWWWWWWKRRRKWKRRRK.",
    "KWWWWWWWWKRRRKRRRK..",
    "KWWWWWWWWWKRRRRRK...",
    "KWWWWWWWWWWKRRRK....",
    "KWWWWWWWWWKRRRRRK...",
    "KKKKKKKKKKRRRKRRRK..",
    "........KRRRK.KRRRK.",
    ".......KRRRK...KRRRK",
    ".......KRRK.....KRRK",
    "........KK.......KK.",
};

const char* const kClose16[] = {
    "KKKKKKKKKKKKK...",
    "KnnnnnnnnnnnK...",
    "KnnnnnnnnnnnK...",
    "KKKKKKKKKKKKK...",
    "KWWWWWWWWWWWK...",
    "KWWWWWKKWWWWKKK.",
    "KWWWWKRRKWWWKRRK",
    "KWWWWKRRRKWKRRRK",
    "KWWWWWKRRRKRRRK.",
    "KWWWWWWKRRRRRK..",
    "KWWWWWWWKRRRK...",
    "KWWWWWWKRRRRRK..",
    "KKKKKKKRRRKRRRK.",
    ".....KRRRK.KRRRK",
    ".....KRRK...KRRK",
    "......KK.....KK.",
};

// Restore: two overlapping windows, the active one in front.
const char* const kRestore32[] = {
    "................................",
    "........KKKKKKKKKKKKKKKKKKKKKKKK",
    "........KddddddddddddddddddddddK",
    "........KddddddddddddddddddddddK",
    "........KddddddddddddddddddddddK",
    "........KddddddddddddddddddddddK",
    "........KKKKKKKKKKKKKKKKKKKKKKKK",
    "........KWWWWWWWWWWWWWWWWWWWWWWK",
    "........KWWWWWWWWWWWWWWWWWWWWWWK",
    "........KWWWWWWWWWWWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKKKKKKKKKKKWWWWWWWK",
    "KnnnnnnnnnnnnnnnnnnnnnnKWWWWWWWK",
    "KnnnnnnnnnnnnnnnnnnnnnnKWWWWWWWK",
    "KnnnnnnnnnnnnnnnnnnnnnnKWWWWWWWK",
    "KnnnnnnnnnnnnnnnnnnnnnnKWWWWWWWK",
    "KKKKKKKKKKKKKKKKKKKKKKKKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWKKKKKKKKK",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KWWWWWWWWWWWWWWWWWWWWWWK........",
    "KKKKKKKKKKKKKKKKKKKKKKKK........",
    "................................",
};

const char* const kRestore24[] = {
    "........................",
    "......KKKKKKKKKKKKKKKKKK",
    "......KddddddddddddddddK",
    "......KddddddddddddddddK",
    "......KddddddddddddddddK",
    "......KKKKKKKKKKKKKKKKKK",
    "......KWWWWWWWWWWWWWWWWK",
    "......KWWWWWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKKKKKWWWWWK",
    "KnnnnnnnnnnnnnnnnKWWWWWK",
    "KnnnnnnnnnnnnnnnnKWWWWWK",
    "KnnnnnnnnnnnnnnnnKWWWWWK",
    "KKKKKKKKKKKKKKKKKKWWWWWK",
    "KWWWWWWWWWWWWWWWWKWWWWWK",
    "KWWWWWWWWWWWWWWWWKWWWWWK",
    "KWWWWWWWWWWWWWWWWKKKKKKK",
    "KWWWWWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWWWWWK......",
    "KKKKKKKKKKKKKKKKKK......",
    "........................",
};

const char* const kRestore20[] = {
    "......KKKKKKKKKKKKKK",
    "......KddddddddddddK",
    "......KddddddddddddK",
    "......KKKKKKKKKKKKKK",
    "......KWWWWWWWWWWWWK",
    "......KWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKWWWWWK",
    "KnnnnnnnnnnnnKWWWWWK",
    "KnnnnnnnnnnnnKWWWWWK",
    "KKKKKKKKKKKKKKWWWWWK",
    "KWWWWWWWWWWWWKWWWWWK",
    "KWWWWWWWWWWWWKWWWWWK",
    "KWWWWWWWWWWWWKWWWWWK",
    "KWWWWWWWWWWWWKKKKKKK",
    "KWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWK......",
    "KWWWWWWWWWWWWK......",
    "KKKKKKKKKKKKKK......",
};

const char* const kRestore16[] = {
    ".....KKKKKKKKKKK",
    ".....KdddddddddK",
    ".....KdddddddddK",
    ".....KKKKKKKKKKK",
    ".....KWWWWWWWWWK",
    "KKKKKKKKKKKWWWWK",
    "KnnnnnnnnnKWWWWK",
    "KnnnnnnnnnKWWWWK",
    "KKKKKKKKKKKWWWWK",
    "KWWWWWWWWWKWWWWK",
    "KWWWWWWWWWKKKKKK",
    "KWWWWWWWWWK.....",
    "KWWWWWWWWWK.....",
    "KWWWWWWWWWK.....",
    "KWWWWWWWWWK.....",
    "KKKKKKKKKKK.....",
};

// Maximize: a window filling the whole square, an up arrow inside.
const char* const kMaximize32[] = {
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnssssnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnssssnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnssssnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWK",
    "KWWWWWWWWWWWWWKKKWWWWWWWWWWWWWWK",
    "KWWWWWWWWWWWWKKGKKWWWWWWWWWWWWWK",
    "KWWWWWWWWWWWKKGGGKKWWWWWWWWWWWWK",
    "KWWWWWWWWWWKKGGGGGKKWWWWWWWWWWWK",
    "KWWWWWWWWWKKGGGGGGGKKWWWWWWWWWWK",
    "KWWWWWWWWKKGGGGGGGGGKKWWWWWWWWWK",
    "KWWWWWWWKKGGGGGGGGGGGKKWWWWWWWWK",
    "KWWWWWWKKGGGGGGGGGGGGGKKWWWWWWWK",
    "KWWWWWWKGGGGGGGGGGGGGGGKWWWWWWWK",
    "KWWWWWWKKKKKGGGGGGGKKKKKWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKGGGGGGGKWWWWWWWWWWWK",
    "KWWWWWWWWWWKKKKKKKKKWWWWWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
};

const char* const kMaximize24[] = {
    "KKKKKKKKKKKKKKKKKKKKKKKK",
    "KnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnsssnK",
    "KnnnnnnnnnnnnnnnnnnsssnK",
    "KnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
    "KWWWWWWWWWWWWWWWWWWWWWWK",
    "KWWWWWWWWWKKKWWWWWWWWWWK",
    "KWWWWWWWWKKGKKWWWWWWWWWK",
    "KWWWWWWWKKGGGKKWWWWWWWWK",
    "KWWWWWWKKGGGGGKKWWWWWWWK",
    "KWWWWWKKGGGGGGGKKWWWWWWK",
    "KWWWWKKGGGGGGGGGKKWWWWWK",
    "KWWWWKGGGGGGGGGGGKWWWWWK",
    "KWWWWKKKKGGGGGKKKKWWWWWK",
    "KWWWWWWWKGGGGGKWWWWWWWWK",
    "KWWWWWWWKGGGGGKWWWWWWWWK",
    "KWWWWWWWKGGGGGKWWWWWWWWK",
    "KWWWWWWWKGGGGGKWWWWWWWWK",
    "KWWWWWWWKGGGGGKWWWWWWWWK",
    "KWWWWWWWKGGGGGKWWWWWWWWK",
    "KWWWWWWWKKKKKKKWWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
};

const char* const kMaximize20[] = {
    "KKKKKKKKKKKKKKKKKKKK",
    "KnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKK",
    "KWWWWWWWWWWWWWWWWWWK",
    "KWWWWWWWWKWWWWWWWWWK",
    "KWWWWWWWKGKWWWWWWWWK",
    "KWWWWWWKGGGKWWWWWWWK",
    "KWWWWWKGGGGGKWWWWWWK",
    "KWWWWKGGGGGGGKWWWWWK",
    "KWWWKGGGGGGGGGKWWWWK",
    "KWWWWKKGGGGGKKWWWWWK",
    "KWWWWWKGGGGGKWWWWWWK",
    "KWWWWWKGGGGGKWWWWWWK",
    "KWWWWWKGGGGGKWWWWWWK",
    "KWWWWWKGGGGGKWWWWWWK",
    "KWWWWWKGGGGGKWWWWWWK",
    "KWWWWWWKKKKKWWWWWWWK",
    "KWWWWWWWWWWWWWWWWWWK",
    "KKKKKKKKKKKKKKKKKKKK",
};

const char* const kMaximize16[] = {
    "KKKKKKKKKKKKKKKK",
    "KnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKK",
    "KWWWWWWKWWWWWWWK",
    "KWWWWWKGKWWWWWWK",
    "KWWWWKGGGKWWWWWK",
    "KWWWKGGGGGKWWWWK",
    "KWWKGGGGGGGKWWWK",
    "KWWWKKGGGKKWWWWK",
    "KWWWWKGGGKWWWWWK",
    "KWWWWKGGGKWWWWWK",
    "KWWWWKGGGKWWWWWK",
    "KWWWWKGGGKWWWWWK",
    "KWWWWWKKKWWWWWWK",
    "KKKKKKKKKKKKKKKK",
};

// Minimize: a window, an arrow pointing down out of it to a taskbar button.
const char* const kMinimize32[] = {
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "...KnnnnnnnnnnnnnnnnnnnnnnnnK...",
    "...KnnnnnnnnnnnnnnnnnnnssssnK...",
    "...KnnnnnnnnnnnnnnnnnnnssssnK...",
    "...KnnnnnnnnnnnnnnnnnnnssssnK...",
    "...KnnnnnnnnnnnnnnnnnnnnnnnnK...",
    "...KKKKKKKKKKKKKKKKKKKKKKKKKK...",
    "...KWWWWWWWKKKKKKKKKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWWWWWKGGGGGGGKWWWWWWWWK...",
    "...KWWWKKKKKGGGGGGGKKKKKWWWWK...",
    "...KWWWKGGGGGGGGGGGGGGGKWWWWK...",
    "...KWWWKKGGGGGGGGGGGGGKKWWWWK...",
    "...KKKKKKKGGGGGGGGGGGKKKKKKKK...",
    ".........KKGGGGGGGGGKK..........",
    "..........KKGGGGGGGKK...........",
    "...........KKGGGGGKK............",
    "............KKGGGKK.............",
    ".............KKGKK..............",
    "..............KKK...............",
    "................................",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
};

const char* const kMinimize24[] = {
    "..KKKKKKKKKKKKKKKKKKKK..",
    "..KnnnnnnnnnnnnnnnnnnK..",
    "..KnnnnnnnnnnnnnnsssnK..",
    "..KnnnnnnnnnnnnnnsssnK..",
    "..KnnnnnnnnnnnnnnnnnnK..",
    "..KKKKKKKKKKKKKKKKKKKK..",
    "..KWWWWWKKKKKKKWWWWWWK..",
    "..KWWWWWKGGGGGKWWWWWWK..",
    "..KWWWWWKGGGGGKWWWWWWK..",
    "..KWWWWWKGGGGGKWWWWWWK..",
    "..KWWWWWKGGGGGKWWWWWWK..",
    "..KWWKKKKGGGGGKKKKWWWK..",
    "..KWWKGGGGGGGGGGGKWWWK..",
    "..KWWKKGGGGGGGGGKKWWWK..",
    "..KKKKKKGGGGGGGKKKKKKK..",
    ".......KKGGGGGKK........",
    "........KKGGGKK.........",
    ".........KKGKK..........",
    "..........KKK...........",
    "........................",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
    "KnnnnnnnnnnnnnnnnnnnnnnK",
    "KnnnnnnnnnnnnnnnnnnnnnnK",
    "KKKKKKKKKKKKKKKKKKKKKKKK",
};

const char* const kMinimize20[] = {
    "KKKKKKKKKKKKKKKKKKK.",
    "KnnnnnnnnnnnnnnnnnK.",
    "KnnnnnnnnnnnnnnnnnK.",
    "KKKKKKKKKKKKKKKKKKK.",
    "KWWWWWKGGGGGKWWWWWK.",
    "KWWWWWKGGGGGKWWWWWK.",
    "KWWWWWKGGGGGKWWWWWK.",
    "KWWWWWKGGGGGKWWWWWK.",
    "KWWWKKKGGGGGKKKWWWK.",
    "KWWWKGGGGGGGGGKWWWK.",
    "KWWWKKGGGGGGGKKWWWK.",
    "KKKKKKKGGGGGKKKKKKK.",
    "......KKGGGKK.......",
    ".......KKGKK........",
    "........KKK.........",
    "....................",
    "KKKKKKKKKKKKKKKKKKK.",
    "KnnnnnnnnnnnnnnnnnK.",
    "KnnnnnnnnnnnnnnnnnK.",
    "KKKKKKKKKKKKKKKKKKK.",
};

const char* const kMinimize16[] = {
    "KKKKKKKKKKKKKKK.",
    "KnnnnnnnnnnnnnK.",
    "KnnnnnnnnnnnnnK.",
    "KKKKKKKKKKKKKKK.",
    "KWWWWKGGGKWWWWK.",
    "KWWWWKGGGKWWWWK.",
    "KWWKKKGGGKKKWWK.",
    "KWWKGGGGGGGKWWK.",
    "KKKKKGGGGGKKKKK.",
    "....KKGGGKK.....",
    ".....KKGKK......",
    "......KKK.......",
    "................",
    "KKKKKKKKKKKKKKK.",
    "KnnnnnnnnnnnnnK.",
    "KKKKKKKKKKKKKKK.",
};

}  // namespace art

// One icon file and its pictures, largest first. Slots after the last picture
// stay empty (no rows).
const std::size_t kMaxPictures = 5;

struct IconFile {
    const char* name;
    Picture pictures[kMaxPictures];
};

std::size_t PictureCount(const IconFile& file)
{
    std::size_t count = 0;
    while (count < kMaxPictures && file.pictures[count].rows != nullptr)
        ++count;
    return count;
}

// Checks every picture of the file, and that the sizes fall from first to
// last: no size twice, and the order the header comment gives.
bool CheckFile(const IconFile& file)
{
    const std::size_t count = PictureCount(file);
    if (count == 0) {
        std::fprintf(stderr, "make_icons: %s has no pictures\n", file.name);
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!CheckPicture(file.name, file.pictures[i]))
            return false;
        if (i > 0 && file.pictures[i].size >= file.pictures[i - 1].size) {
            std::fprintf(stderr, "make_icons: %s lists %dx%d after %dx%d, expected largest first\n",
                         file.name, file.pictures[i].size, file.pictures[i].size,
                         file.pictures[i - 1].size, file.pictures[i - 1].size);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons <folder>\n");
        return 2;
    }
    // The tray icons show at the small-icon size; only the program icon is
    // also shown large (desktop, Alt+Tab), so only it needs 48x48 for 150 %.
    const IconFile files[] = {
        {"tidewell.ico",
         {MakePicture(48, art::kTidewell48), MakePicture(32, art::kTidewell32),
          MakePicture(24, art::kTidewell24), MakePicture(20, art::kTidewell20),
          MakePicture(16, art::kTidewell16)}},
        {"close.ico",
         {MakePicture(32, art::kClose32), MakePicture(24, art::kClose24),
          MakePicture(20, art::kClose20), MakePicture(16, art::kClose16)}},
        {"restore.ico",
         {MakePicture(32, art::kRestore32), MakePicture(24, art::kRestore24),
          MakePicture(20, art::kRestore20), MakePicture(16, art::kRestore16)}},
        {"maximize.ico",
         {MakePicture(32, art::kMaximize32), MakePicture(24, art::kMaximize24),
          MakePicture(20, art::kMaximize20), MakePicture(16, art::kMaximize16)}},
        {"minimize.ico",
         {MakePicture(32, art::kMinimize32), MakePicture(24, art::kMinimize24),
          MakePicture(20, art::kMinimize20), MakePicture(16, art::kMinimize16)}},
    };
    for (const IconFile& file : files) {
        if (!CheckFile(file))
            return 1;
    }

    const std::string folder = argv[1];
    for (const IconFile& file : files) {
        if (!WriteFile(folder + "/" + file.name, EncodeIcon(file.pictures, PictureCount(file))))
            return 1;
    }
    return 0;
}
