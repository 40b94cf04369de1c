// The settings file through the real profile functions: every test writes real
// .ini files (Shift-JIS, as a user or an older version would leave them) into a
// fresh folder, runs the loaders and savers on them and reads the bytes back.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "harness.h"
#include "settings/hotkey_value.h"
#include "settings/app_state.h"
#include "settings/filters.h"
#include "settings/settings_file.h"
#include "windows/window_filter.h"

namespace {

// ---------------------------------------------------------------------------
// Keys and sections, written out here on their own so that a misspelt key in
// the program shows up as a failure.

const char kMain[] = "Tidewell";

// Older half-width keys that only supply defaults of close-filter keys.
const char kOldCloseInvisible[] = "不可視ｳｨﾝﾄﾞｳも閉じる";
const char kOldClosePopup[] = "ﾎﾟｯﾌﾟｱｯﾌﾟｳｨﾝﾄﾞｳも閉じる";
const char kOldCloseUntitled[] = "ﾀｲﾄﾙのないｳｨﾝﾄﾞｳも閉じる";
const char kOldKeepMinimized[] = "最小化されたｳｨﾝﾄﾞｳを閉じない";

const char kCloseInvisible[] = "不可視ウィンドウを閉じる";
const char kClosePopup[] = "ポップアップウィンドウを閉じる";
const char kCloseUntitled[] = "タイトルのないウィンドウを閉じる";
const char kCloseNormal[] = "通常サイズのウィンドウを閉じる";
const char kCloseMaximized[] = "最大化されたウィンドウを閉じる";
const char kCloseMinimized[] = "最小化されたウィンドウを閉じる";

struct FilterKey {
    const char* key;
    WindowFilter FilterSet::*filter;
    unsigned char WindowFilter::*flag;
    unsigned char defaultFlag;  // with no older keys in the file
    bool target;                // written back by SaveTargets
};

// In the order in which SaveTargets writes the target keys.
const FilterKey kFilterKeys[] = {
    {kCloseInvisible, &FilterSet::closeFilter, &WindowFilter::includeInvisible, 0, false},
    {kClosePopup, &FilterSet::closeFilter, &WindowFilter::includePopup, 0, false},
    {kCloseUntitled, &FilterSet::closeFilter, &WindowFilter::includeUntitled, 0, false},
    {kCloseNormal, &FilterSet::closeFilter, &WindowFilter::includeNormal, 1, true},
    {kCloseMaximized, &FilterSet::closeFilter, &WindowFilter::includeMaximized, 1, true},
    {kCloseMinimized, &FilterSet::closeFilter, &WindowFilter::includeMinimized, 0, true},
    {"不可視ウィンドウを元に戻す", &FilterSet::restoreFilter, &WindowFilter::includeInvisible, 0, false},
    {"ポップアップウィンドウを元に戻す", &FilterSet::restoreFilter, &WindowFilter::includePopup, 0, false},
    {"タイトルのないウィンドウを元に戻す", &FilterSet::restoreFilter, &WindowFilter::includeUntitled, 0, false},
    {"通常サイズのウィンドウを元に戻す", &FilterSet::restoreFilter, &WindowFilter::includeNormal, 0, false},
    {"最大化されたウィンドウを元に戻す", &FilterSet::restoreFilter, &WindowFilter::includeMaximized, 1, true},
    {"最小化されたウィンドウを元に戻す", &FilterSet::restoreFilter, &WindowFilter::includeMinimized, 0, true},
    {"不可視ウィンドウを最大化する", &FilterSet::maximizeFilter, &WindowFilter::includeInvisible, 0, false},
    {"ポップアップウィンドウを最大化する", &FilterSet::maximizeFilter, &WindowFilter::includePopup, 0, false},
    {"タイトルのないウィンドウを最大化する", &FilterSet::maximizeFilter, &WindowFilter::includeUntitled, 0, false},
    {"通常サイズのウィンドウを最大化する", &FilterSet::maximizeFilter, &WindowFilter::includeNormal, 1, true},
    {"最大化されたウィンドウを最大化する", &FilterSet::maximizeFilter, &WindowFilter::includeMaximized, 0, false},
    {"最小化されたウィンドウを最大化する", &FilterSet::maximizeFilter, &WindowFilter::includeMinimized, 0, true},
    {"不可視ウィンドウを最小化する", &FilterSet::minimizeFilter, &WindowFilter::includeInvisible, 0, false},
    {"ポップアップウィンドウを最小化する", &FilterSet::minimizeFilter, &WindowFilter::includePopup, 0, false},
    {"タイトルのないウィンドウを最小化する", &FilterSet::minimizeFilter, &WindowFilter::includeUntitled, 0, false},
    {"通常サイズのウィンドウを最小化する", &FilterSet::minimizeFilter, &WindowFilter::includeNormal, 1, true},
    {"最大化されたウィンドウを最小化する", &FilterSet::minimizeFilter, &WindowFilter::includeMaximized, 0, true},
    {"最小化されたウィンドウを最小化する", &FilterSet::minimizeFilter, &WindowFilter::includeMinimized, 0, false},
};

const char* const kTrayKeys[4] = {
    "「ウィンドウを閉じる」を使用する",
    "「ウィンドウを元に戻す」を使用する",
    "「ウィンドウを最大化」を使用する",
    "「ウィンドウを最小化」を使用する",
};

const char kHotkeySection[] = "ホットキーの設定";
// Hotkey ids 2 to 6 in this order.
const char* const kHotkeyKeys[5] = {
    "非アクティブなウィンドウを閉じる",
    "ウィンドウを閉じる",
    "ウィンドウを元に戻す",
    "ウィンドウを最小化",
    "ウィンドウを最大化",
};

const char* const kAutoRunSections[4] = {
    "自動実行/閉じる",
    "自動実行/元に戻す",
    "自動実行/最大化",
    "自動実行/最小化",
};
const char kEnabled[] = "有効";
const char kInterval[] = "間隔";

// Filters as digits, one per flag: invisible, popup, untitled, normal,
// maximized, minimized.
const char kDefaultFilters[] = "restore=000010 maximize=000100 minimize=000100 close=000110";
const char kDefaultHotkeys[] = "2:0/0x00 3:0/0x00 4:0/0x00 5:0/0x00 6:0/0x00";
const char kDefaultTray[] = "1000";
const char kDefaultAutoRun[] = "0/60000 0/60000 0/60000 0/60000";

// ---------------------------------------------------------------------------
// Files and their lines.

std::string Header(const std::string& section)
{
    return "[" + section + "]\r\n";
}

std::string Line(const std::string& key, const std::string& value)
{
    return key + "=" + value + "\r\n";
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << path;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The non-empty lines of a file, without their line ends.
std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (const SettingsLine& line : ReadSettingsLines(bytes))
        lines.push_back(line.text);
    return lines;
}

// The lines after the section's header up to the next header.
std::vector<std::string> SectionLines(const std::string& bytes, const std::string& section)
{
    std::vector<std::string> result;
    for (const SettingsLine& line : ReadSettingsLines(bytes)) {
        if (!line.isHeader && line.section == section)
            result.push_back(line.text);
    }
    return result;
}

int CountHeaders(const std::string& bytes, const std::string& section)
{
    int count = 0;
    for (const std::string& line : Lines(bytes)) {
        if (line == "[" + section + "]")
            ++count;
    }
    return count;
}

// Lines of the whole file that name the key (in any section).
int CountKeyLines(const std::string& bytes, const std::string& key)
{
    int count = 0;
    for (const std::string& line : Lines(bytes)) {
        if (line == key || line.compare(0, key.size() + 1, key + "=") == 0)
            ++count;
    }
    return count;
}

// Pseudo-random bytes, the same on every run.
std::string NoiseBytes(size_t count, uint32_t seed, bool withLineEnds)
{
    std::string bytes;
    uint32_t state = seed;
    while (bytes.size() < count) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>(state >> 16);
        if (!withLineEnds && (c == '\r' || c == '\n'))
            continue;
        bytes.push_back(c);
    }
    return bytes;
}

// ---------------------------------------------------------------------------
// Readable forms of what the loaders fill.

std::string Bits(const WindowFilter& filter)
{
    const unsigned char flags[6] = {filter.includeInvisible, filter.includePopup,
                                    filter.includeUntitled,  filter.includeNormal,
                                    filter.includeMaximized, filter.includeMinimized};
    std::string text;
    for (unsigned char flag : flags)
        text += flag <= 9 ? static_cast<char>('0' + flag) : '?';
    // The pointer-monitor flag shows only when it is on (or left unset).
    if (filter.pointerMonitorOnly != 0)
        text += filter.pointerMonitorOnly == 1 ? "+monitor" : "+?";
    return text;
}

std::string Describe(const FilterSet& filters)
{
    return "restore=" + Bits(filters.restoreFilter) + " maximize=" + Bits(filters.maximizeFilter) +
           " minimize=" + Bits(filters.minimizeFilter) + " close=" + Bits(filters.closeFilter);
}

std::string Describe(const HotkeyEntry* hotkeys)
{
    std::string text;
    for (int i = 0; i < 5; ++i) {
        char item[64];
        std::snprintf(item, sizeof item, "%s%d:%u/0x%02X", i == 0 ? "" : " ",
                      static_cast<int>(hotkeys[i].id), static_cast<unsigned>(hotkeys[i].modifiers),
                      static_cast<unsigned>(hotkeys[i].key));
        text += item;
    }
    return text;
}

std::string DescribeTray(const unsigned char* trayIcons)
{
    std::string text;
    for (int i = 0; i < 4; ++i)
        text += trayIcons[i] <= 9 ? static_cast<char>('0' + trayIcons[i]) : '?';
    return text;
}

std::string Describe(const AutoRunEntry* autoRun)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        char item[64];
        std::snprintf(item, sizeof item, "%s%u/%d", i == 0 ? "" : " ",
                      static_cast<unsigned>(autoRun[i].enabled), static_cast<int>(autoRun[i].interval));
        text += item;
    }
    return text;
}

// Every loader starts from garbage, so a member that a loader leaves alone shows.
template <typename T>
void Scribble(T* value, size_t count = 1)
{
    std::memset(static_cast<void*>(value), 0xA5, sizeof(T) * count);
}

std::string LoadedFilters(const std::string& path)
{
    FilterSet filters;
    Scribble(&filters);
    LoadFilters(path.c_str(), &filters);
    return Describe(filters);
}

std::string LoadedCloseFilter(const std::string& path)
{
    WindowFilter filter;
    Scribble(&filter);
    LoadCloseFilter(path.c_str(), &filter);
    return Bits(filter);
}

std::string LoadedHotkeys(const std::string& path)
{
    HotkeyEntry hotkeys[5];
    Scribble(hotkeys, 5);
    LoadHotkeys(path.c_str(), hotkeys);
    return Describe(hotkeys);
}

std::string LoadedTray(const std::string& path)
{
    unsigned char tray[4];
    Scribble(tray, 4);
    LoadTrayIcons(path.c_str(), tray);
    return DescribeTray(tray);
}

std::string LoadedAutoRun(const std::string& path)
{
    AutoRunEntry autoRun[4];
    Scribble(autoRun, 4);
    LoadAutoRun(path.c_str(), autoRun);
    return Describe(autoRun);
}

void ExpectDefaultSettings(const std::string& path)
{
    EXPECT_EQ(LoadedFilters(path), kDefaultFilters);
    EXPECT_EQ(LoadedCloseFilter(path), "000110");
    EXPECT_EQ(LoadedHotkeys(path), kDefaultHotkeys);
    EXPECT_EQ(LoadedTray(path), kDefaultTray);
    EXPECT_EQ(LoadedAutoRun(path), kDefaultAutoRun);
}

FilterSet DefaultFilterSet()
{
    FilterSet filters = {};
    for (const FilterKey& row : kFilterKeys)
        filters.*row.filter.*row.flag = row.defaultFlag;
    return filters;
}

// ---------------------------------------------------------------------------

// Every test gets a fresh folder; each file in it is written once under a new
// name, so that the profile service never serves a copy of an older file.
class SettingsTest : public ::testing::Test {
protected:
    std::string NewPath() { return folder_.dir + "\\s" + std::to_string(++files_) + ".ini"; }

    std::string FileWith(const std::string& bytes)
    {
        std::string path = NewPath();
        WriteBytes(path, bytes);
        return path;
    }

    std::string MainFile(const std::string& lines) { return FileWith(Header(kMain) + lines); }

private:
    ProgramCopy folder_;
    int files_ = 0;
};

// ---------------------------------------------------------------------------
// Single values.

using ProfileValues = SettingsTest;

TEST_F(ProfileValues, FlagForms)
{
    struct Case {
        const char* text;
        unsigned char withDefault0;
        unsigned char withDefault1;
    };
    const Case cases[] = {
        {"0", 0, 0},   {"1", 1, 1},    {"2", 1, 1},     {"-1", 1, 1},  {"1abc", 1, 1},
        {"0x1", 0, 0}, {"abc", 0, 1},  {"", 0, 1},      {"  7", 1, 1}, {"-0", 0, 0},
        {"+3", 1, 1},  {"x1", 0, 1},   {"- 1", 0, 1},   {"007", 1, 1}, {"0.9", 0, 0},
    };
    std::string lines;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        lines += Line("k" + std::to_string(i), cases[i].text);
    std::string path = MainFile(lines);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        std::string key = "k" + std::to_string(i);
        EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, key.c_str(), 0), cases[i].withDefault0)
            << "'" << cases[i].text << "'";
        EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, key.c_str(), 1), cases[i].withDefault1)
            << "'" << cases[i].text << "'";
    }
    // A key, a section or a file that is not there.
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "missing", 1), 1);
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "missing", 0), 0);
    EXPECT_EQ(ReadProfileFlag(path.c_str(), "NoSuchSection", "k1", 0), 0);
    std::string absent = NewPath();
    EXPECT_EQ(ReadProfileFlag(absent.c_str(), kMain, "k1", 1), 1);
    EXPECT_FALSE(FileExists(absent));
}

TEST_F(ProfileValues, IntegerForms)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"60000", 60000},
        {"-1", -1},
        {"1abc", 1},
        {"0x1", 0},
        {"abc", -77},
        {"", -77},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        // Beyond 32 bits the value saturates instead of wrapping.
        {"2147483648", INT32_MAX},
        {"4294967296", INT32_MAX},
        {"4294968129", INT32_MAX},
        {"99999999999999999999999", INT32_MAX},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN},
    };
    std::string lines;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        lines += Line("n" + std::to_string(i), cases[i].text);
    std::string path = MainFile(lines);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        std::string key = "n" + std::to_string(i);
        EXPECT_EQ(ReadProfileInt(path.c_str(), kMain, key.c_str(), -77), cases[i].value)
            << "'" << cases[i].text << "'";
    }
    // 2^32 would wrap to 0; as a flag it must still read as on.
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "n9", 0), 1);
}

TEST_F(ProfileValues, WritesDecimalTextAndReadsItBack)
{
    std::string path = NewPath();
    EXPECT_TRUE(WriteProfileFlag(path.c_str(), kMain, "f0", 0));
    EXPECT_TRUE(WriteProfileFlag(path.c_str(), kMain, "f1", 1));
    EXPECT_TRUE(WriteProfileFlag(path.c_str(), kMain, "f255", 255));
    EXPECT_TRUE(WriteProfileInt(path.c_str(), "数値", "min", INT32_MIN));
    EXPECT_TRUE(WriteProfileInt(path.c_str(), "数値", "max", INT32_MAX));
    EXPECT_TRUE(WriteProfileInt(path.c_str(), "数値", "minus", -1));
    EXPECT_TRUE(WriteProfileInt(path.c_str(), "数値", "zero", 0));
    // Replacing a value keeps one line for the key.
    EXPECT_TRUE(WriteProfileInt(path.c_str(), "数値", "zero", 833));

    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(SectionLines(bytes, kMain), (std::vector<std::string>{"f0=0", "f1=1", "f255=1"}));
    EXPECT_EQ(SectionLines(bytes, "数値"),
              (std::vector<std::string>{"min=-2147483648", "max=2147483647", "minus=-1", "zero=833"}));

    EXPECT_EQ(ReadProfileInt(path.c_str(), "数値", "min", 0), INT32_MIN);
    EXPECT_EQ(ReadProfileInt(path.c_str(), "数値", "max", 0), INT32_MAX);
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "f255", 0), 1);
}

TEST_F(ProfileValues, FailedWriteIsReported)
{
    ProgramCopy other;
    std::string path = other.dir + "\\no such folder\\settings.ini";
    EXPECT_FALSE(WriteProfileFlag(path.c_str(), kMain, "f", 1));
    EXPECT_FALSE(WriteProfileInt(path.c_str(), kMain, "n", 5));
    EXPECT_FALSE(FileExists(other.dir + "\\no such folder"));
}

// ---------------------------------------------------------------------------
// The four filters.

using FilterKeys = SettingsTest;

TEST_F(FilterKeys, DefaultsWithoutFile)
{
    std::string path = NewPath();
    EXPECT_EQ(LoadedFilters(path), kDefaultFilters);
    EXPECT_EQ(LoadedCloseFilter(path), "000110");
    EXPECT_FALSE(FileExists(path));
}

TEST_F(FilterKeys, DefaultsWithEmptyMainSection)
{
    std::string path = FileWith(Header(kMain) + Header("Other") + Line(kCloseNormal, "0"));
    EXPECT_EQ(LoadedFilters(path), kDefaultFilters);
}

TEST_F(FilterKeys, EachKeyFillsItsOwnFlag)
{
    for (const FilterKey& row : kFilterKeys) {
        SCOPED_TRACE(row.key);
        unsigned char other = row.defaultFlag ? 0 : 1;
        std::string path = MainFile(Line(row.key, other ? "1" : "0"));
        FilterSet expected = DefaultFilterSet();
        expected.*row.filter.*row.flag = other;
        EXPECT_EQ(LoadedFilters(path), Describe(expected));
        EXPECT_EQ(LoadedCloseFilter(path), Bits(expected.closeFilter));
    }
}

TEST_F(FilterKeys, EveryFlagOn)
{
    std::string lines;
    for (const FilterKey& row : kFilterKeys)
        lines += Line(row.key, "1");
    EXPECT_EQ(LoadedFilters(MainFile(lines)),
              "restore=111111 maximize=111111 minimize=111111 close=111111");
    lines.clear();
    for (const FilterKey& row : kFilterKeys)
        lines += Line(row.key, "0");
    // The older keys say "close minimized windows", but the new key decides.
    lines += Line(kOldCloseInvisible, "1") + Line(kOldKeepMinimized, "0");
    EXPECT_EQ(LoadedFilters(MainFile(lines)),
              "restore=000000 maximize=000000 minimize=000000 close=000000");
}

TEST_F(FilterKeys, KeysOutsideTheMainSectionAreIgnored)
{
    std::string lines;
    for (const FilterKey& row : kFilterKeys)
        lines += Line(row.key, row.defaultFlag ? "0" : "1");
    lines += Line(kOldCloseInvisible, "1") + Line(kOldKeepMinimized, "0");
    std::string path = FileWith(Header("tidewell2") + lines + Header(kHotkeySection) + lines +
                                Header(kMain) + Line("未知のキー", "1"));
    EXPECT_EQ(LoadedFilters(path), kDefaultFilters);
}

// ---------------------------------------------------------------------------
// The older half-width keys of the close filter.

using CloseFilterFallback = SettingsTest;

TEST_F(CloseFilterFallback, OldKeysAloneSupplyTheCloseFlags)
{
    // Invisible, popup and untitled one at a time.
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldCloseInvisible, "1"))), "100110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldClosePopup, "1"))), "010110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldCloseUntitled, "1"))), "001110");
    // "Do not close minimized windows" is inverted: 0 closes them, any other number keeps them.
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, "0"))), "000111");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, "1"))), "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, "5"))), "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, "abc"))), "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, ""))), "000110");

    // All four, also through LoadFilters; the other filters take none of them.
    std::string all = Line(kOldCloseInvisible, "1") + Line(kOldClosePopup, "2") +
                      Line(kOldCloseUntitled, "-1") + Line(kOldKeepMinimized, "0");
    EXPECT_EQ(LoadedFilters(MainFile(all)),
              "restore=000010 maximize=000100 minimize=000100 close=111111");
}

TEST_F(CloseFilterFallback, NewKeysOverrideOldKeys)
{
    // Old key on, new key off: off. And the other way round: on.
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldCloseInvisible, "1") + Line(kCloseInvisible, "0"))),
              "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldCloseInvisible, "0") + Line(kCloseInvisible, "1"))),
              "100110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldClosePopup, "1") + Line(kClosePopup, "0"))), "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldClosePopup, "0") + Line(kClosePopup, "1"))), "010110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldCloseUntitled, "1") + Line(kCloseUntitled, "0"))),
              "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldCloseUntitled, "0") + Line(kCloseUntitled, "1"))),
              "001110");
    // Old key "close them" (0), new key "do not close": the new key decides; and the reverse.
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, "0") + Line(kCloseMinimized, "0"))),
              "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kOldKeepMinimized, "1") + Line(kCloseMinimized, "1"))),
              "000111");
    // The order of the lines in the file does not matter.
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kCloseMinimized, "0") + Line(kOldKeepMinimized, "0"))),
              "000110");
    EXPECT_EQ(LoadedCloseFilter(MainFile(Line(kCloseInvisible, "0") + Line(kOldCloseInvisible, "1"))),
              "000110");
}

TEST_F(CloseFilterFallback, UnreadableNewKeyFallsBackToOldKey)
{
    // An empty or non-numeric new value counts as missing, so the old key's value stays.
    std::string path = MainFile(Line(kOldCloseInvisible, "1") + Line(kCloseInvisible, "abc") +
                                Line(kOldClosePopup, "1") + Line(kClosePopup, "") +
                                Line(kOldKeepMinimized, "0") + Line(kCloseMinimized, "x0"));
    EXPECT_EQ(LoadedCloseFilter(path), "110111");
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=110111");
}

TEST_F(CloseFilterFallback, OldKeysAreNotWrittenBack)
{
    std::string path = MainFile(Line(kOldKeepMinimized, "0") + Line(kOldCloseInvisible, "1"));
    FilterSet filters = {};
    LoadFilters(path.c_str(), &filters);
    ASSERT_EQ(Bits(filters.closeFilter), "100111");
    filters.closeFilter.includeMinimized = 0;
    filters.closeFilter.includeInvisible = 0;
    SaveTargets(path.c_str(), filters);
    std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(CountKeyLines(bytes, kOldKeepMinimized), 1);
    std::vector<std::string> lines = SectionLines(bytes, kMain);
    EXPECT_EQ(lines[0], std::string(kOldKeepMinimized) + "=0");
    EXPECT_EQ(lines[1], std::string(kOldCloseInvisible) + "=1");
    // The saved "do not close minimized" now wins over the old key; invisible is not a
    // target key, so the old key still supplies it.
    EXPECT_EQ(LoadedCloseFilter(path), "100110");
}

// ---------------------------------------------------------------------------
// Saving the target keys.

class SaveTargetKeys : public SettingsTest {
protected:
    // Non-target flags on (so that writing one would show), targets from the list.
    static FilterSet WithTargets(const std::vector<unsigned char>& targets)
    {
        FilterSet filters = {};
        size_t next = 0;
        for (const FilterKey& row : kFilterKeys)
            filters.*row.filter.*row.flag = row.target ? targets.at(next++) : 1;
        return filters;
    }
};

TEST_F(SaveTargetKeys, NewFileHoldsExactlyTheNineKeysInOrder)
{
    std::string path = NewPath();
    const std::vector<unsigned char> targets = {1, 0, 2, 0, 1, 0, 255, 1, 0};
    EXPECT_TRUE(SaveTargets(path.c_str(), WithTargets(targets)));
    ASSERT_TRUE(FileExists(path));

    std::vector<std::string> expected = {"[Tidewell]"};
    size_t next = 0;
    for (const FilterKey& row : kFilterKeys) {
        if (row.target)
            expected.push_back(std::string(row.key) + "=" + (targets[next++] ? "1" : "0"));
    }
    EXPECT_EQ(Lines(ReadFileBytes(path)), expected);

    // Read back: the nine flags as saved, the other fifteen at their defaults.
    FilterSet reread = DefaultFilterSet();
    next = 0;
    for (const FilterKey& row : kFilterKeys) {
        if (row.target)
            reread.*row.filter.*row.flag = targets[next++] ? 1 : 0;
    }
    EXPECT_EQ(LoadedFilters(path), Describe(reread));
}

TEST_F(SaveTargetKeys, EachFlagGoesToItsKeyAndOtherLinesStay)
{
    const std::string otherSection = Header("Other") + Line("a", "b") + Line("数", "12");
    const std::vector<std::string> ownLines = {
        std::string(kCloseInvisible) + "=1",  // set by hand, not a target key
        std::string(kOldCloseInvisible) + "=1",
        std::string(kOldKeepMinimized) + "=0",
        "未知のキー=abc",
        "; 手で書いたメモ",
        std::string(kTrayKeys[1]) + "=1",
    };
    std::string mainSection = Header(kMain);
    for (const std::string& line : ownLines)
        mainSection += line + "\r\n";
    // A target key already present, with a value the program would not write.
    mainSection += Line("最大化されたウィンドウを最小化する", "7");
    const std::string hotkeySection = Header(kHotkeySection) + Line(kHotkeyKeys[1], "833");
    const std::string original = otherSection + mainSection + hotkeySection;

    int targetIndex = 0;
    for (const FilterKey& on : kFilterKeys) {
        if (!on.target)
            continue;
        SCOPED_TRACE(on.key);
        std::vector<unsigned char> targets(9, 0);
        targets[targetIndex++] = 7;
        FilterSet filters = WithTargets(targets);
        filters.closeFilter.includeInvisible = 0;  // differs from the hand-set line

        std::string path = FileWith(original);
        EXPECT_TRUE(SaveTargets(path.c_str(), filters));
        std::string bytes = ReadFileBytes(path);

        EXPECT_EQ(SectionLines(bytes, "Other"), SectionLines(original, "Other"));
        EXPECT_EQ(SectionLines(bytes, kHotkeySection), SectionLines(original, kHotkeySection));
        EXPECT_EQ(CountHeaders(bytes, kMain), 1);

        std::vector<std::string> main = SectionLines(bytes, kMain);
        std::vector<std::string> untouched;
        std::set<std::string> seen;
        for (const std::string& line : main) {
            bool isTarget = false;
            for (const FilterKey& row : kFilterKeys) {
                std::string prefix = std::string(row.key) + "=";
                if (row.target && line.compare(0, prefix.size(), prefix) == 0) {
                    isTarget = true;
                    EXPECT_TRUE(seen.insert(row.key).second) << "written twice: " << line;
                    EXPECT_EQ(line, prefix + (&row == &on ? "1" : "0"));
                }
            }
            if (!isTarget)
                untouched.push_back(line);
        }
        EXPECT_EQ(seen.size(), 9u);
        EXPECT_EQ(untouched, ownLines);
        // None of the fifteen other filter keys was added.
        for (const FilterKey& row : kFilterKeys) {
            if (!row.target) {
                EXPECT_EQ(CountKeyLines(bytes, row.key), std::strcmp(row.key, kCloseInvisible) == 0 ? 1 : 0)
                    << row.key;
            }
        }
        EXPECT_EQ(Lines(bytes).size(), Lines(original).size() + 8);

        FilterSet expected = DefaultFilterSet();
        for (const FilterKey& row : kFilterKeys) {
            if (row.target)
                expected.*row.filter.*row.flag = &row == &on ? 1 : 0;
        }
        expected.closeFilter.includeInvisible = 1;  // from the hand-set line
        EXPECT_EQ(LoadedFilters(path), Describe(expected));
    }
}

// ---------------------------------------------------------------------------
// Tray icons.

class TrayIconKeys : public SettingsTest {
protected:
    std::string TrayFile(const char* a, const char* b, const char* c, const char* d)
    {
        return MainFile(Line(kTrayKeys[0], a) + Line(kTrayKeys[1], b) + Line(kTrayKeys[2], c) +
                        Line(kTrayKeys[3], d));
    }
};

TEST_F(TrayIconKeys, CloseIconWhenNoneIsChosen)
{
    EXPECT_EQ(LoadedTray(NewPath()), "1000");
    EXPECT_EQ(LoadedTray(TrayFile("0", "0", "0", "0")), "1000");
    // Only the close icon switched off; the others are off by default.
    EXPECT_EQ(LoadedTray(MainFile(Line(kTrayKeys[0], "0"))), "1000");
    EXPECT_EQ(LoadedTray(TrayFile("abc", "0", "", "x")), "1000");
}

TEST_F(TrayIconKeys, ChosenIconsStayAsTheyAre)
{
    EXPECT_EQ(LoadedTray(TrayFile("0", "1", "0", "0")), "0100");
    EXPECT_EQ(LoadedTray(TrayFile("0", "0", "1", "0")), "0010");
    EXPECT_EQ(LoadedTray(TrayFile("0", "0", "0", "1")), "0001");
    EXPECT_EQ(LoadedTray(TrayFile("1", "1", "1", "1")), "1111");
    EXPECT_EQ(LoadedTray(TrayFile("0", "2", "0", "-1")), "0101");
    // The close icon's key missing: it defaults to on.
    EXPECT_EQ(LoadedTray(MainFile(Line(kTrayKeys[3], "1"))), "1001");
}

TEST_F(TrayIconKeys, SaveWritesTheFourKeys)
{
    std::string path = NewPath();
    const unsigned char tray[4] = {0, 9, 1, 0};
    EXPECT_TRUE(SaveTrayIcons(path.c_str(), tray));
    EXPECT_EQ(Lines(ReadFileBytes(path)),
              (std::vector<std::string>{"[Tidewell]", std::string(kTrayKeys[0]) + "=0",
                                        std::string(kTrayKeys[1]) + "=1",
                                        std::string(kTrayKeys[2]) + "=1",
                                        std::string(kTrayKeys[3]) + "=0"}));
    EXPECT_EQ(LoadedTray(path), "0110");
}

// ---------------------------------------------------------------------------
// Hotkeys.

using HotkeyKeys = SettingsTest;

TEST_F(HotkeyKeys, NoneAssignedWithoutFile)
{
    EXPECT_EQ(LoadedHotkeys(NewPath()), kDefaultHotkeys);
}

TEST_F(HotkeyKeys, EachKeyFillsItsEntry)
{
    std::string path = FileWith(Header(kHotkeySection) + Line(kHotkeyKeys[0], "321") +  // 1, 0x41
                                Line(kHotkeyKeys[1], "578") +                            // 2, 0x42
                                Line(kHotkeyKeys[2], "1091") +                           // 4, 0x43
                                Line(kHotkeyKeys[3], "1604") +                           // 6, 0x44
                                Line(kHotkeyKeys[4], "2117"));                           // 8, 0x45
    EXPECT_EQ(LoadedHotkeys(path), "2:1/0x41 3:2/0x42 4:4/0x43 5:6/0x44 6:8/0x45");
    // The same keys in the main section are not hotkeys.
    std::string elsewhere = MainFile(Line(kHotkeyKeys[0], "321") + Line(kHotkeyKeys[1], "578"));
    EXPECT_EQ(LoadedHotkeys(elsewhere), kDefaultHotkeys);
}

TEST_F(HotkeyKeys, PackedValues)
{
    std::string path = FileWith(Header(kHotkeySection) + Line(kHotkeyKeys[0], "833") +
                                Line(kHotkeyKeys[1], "66369") +  // 833 + 65536
                                Line(kHotkeyKeys[2], "-1") + Line(kHotkeyKeys[3], "abc") +
                                Line(kHotkeyKeys[4], "264"));
    EXPECT_EQ(LoadedHotkeys(path), "2:3/0x41 3:3/0x41 4:255/0xFF 5:0/0x00 6:1/0x08");

    HotkeyEntry hotkeys[5];
    LoadHotkeys(path.c_str(), hotkeys);
    std::string saved = NewPath();
    EXPECT_TRUE(SaveHotkeys(saved.c_str(), hotkeys));
    EXPECT_EQ(Lines(ReadFileBytes(saved)),
              (std::vector<std::string>{"[" + std::string(kHotkeySection) + "]",
                                        std::string(kHotkeyKeys[0]) + "=833",
                                        std::string(kHotkeyKeys[1]) + "=833",
                                        std::string(kHotkeyKeys[2]) + "=65535",
                                        std::string(kHotkeyKeys[3]) + "=0",
                                        std::string(kHotkeyKeys[4]) + "=264"}));
}

TEST_F(HotkeyKeys, SaveFindsEntriesById)
{
    // Entries in reverse order; each is written to the key of its id. Only the
    // low byte of modifiers and key is kept.
    HotkeyEntry reversed[5] = {
        {6, 8, 0x45}, {5, 4, 0x44}, {4, 2, 0x43}, {3, 0x102, 0x142}, {2, 0, 0},
    };
    std::string path = NewPath();
    EXPECT_TRUE(SaveHotkeys(path.c_str(), reversed));
    EXPECT_EQ(SectionLines(ReadFileBytes(path), kHotkeySection),
              (std::vector<std::string>{std::string(kHotkeyKeys[0]) + "=0",
                                        std::string(kHotkeyKeys[1]) + "=578",
                                        std::string(kHotkeyKeys[2]) + "=579",
                                        std::string(kHotkeyKeys[3]) + "=1092",
                                        std::string(kHotkeyKeys[4]) + "=2117"}));
    EXPECT_EQ(LoadedHotkeys(path), "2:0/0x00 3:2/0x42 4:2/0x43 5:4/0x44 6:8/0x45");

    // Two entries with id 3 and none with id 2: the first one wins, id 2's key is not written.
    HotkeyEntry doubled[5] = {
        {3, 1, 0x31}, {3, 2, 0x32}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0},
    };
    std::string second = NewPath();
    SaveHotkeys(second.c_str(), doubled);
    std::string bytes = ReadFileBytes(second);
    EXPECT_EQ(CountKeyLines(bytes, kHotkeyKeys[0]), 0);
    EXPECT_EQ(SectionLines(bytes, kHotkeySection)[0], std::string(kHotkeyKeys[1]) + "=305");
}

// ---------------------------------------------------------------------------
// Auto-run.

using AutoRunKeys = SettingsTest;

TEST_F(AutoRunKeys, OffEveryMinuteWithoutFile)
{
    EXPECT_EQ(LoadedAutoRun(NewPath()), kDefaultAutoRun);
}

TEST_F(AutoRunKeys, EachSectionFillsItsEntry)
{
    std::string path = FileWith(Header(kAutoRunSections[0]) + Line(kEnabled, "1") + Line(kInterval, "1000") +
                                Header(kAutoRunSections[1]) + Line(kEnabled, "0") + Line(kInterval, "abc") +
                                Header(kAutoRunSections[2]) + Line(kEnabled, "2") + Line(kInterval, "-1") +
                                Header(kAutoRunSections[3]) + Line(kEnabled, "abc") + Line(kInterval, "0"));
    EXPECT_EQ(LoadedAutoRun(path), "1/1000 0/60000 1/-1 0/0");

    // One section at a time, so that a mix-up of sections shows.
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        std::string one = FileWith(Header(kAutoRunSections[i]) + Line(kEnabled, "1") + Line(kInterval, "1234"));
        std::string expected;
        for (int j = 0; j < 4; ++j)
            expected += std::string(j == 0 ? "" : " ") + (j == i ? "1/1234" : "0/60000");
        EXPECT_EQ(LoadedAutoRun(one), expected);
    }
}

TEST_F(AutoRunKeys, SaveWritesEightKeysInFourSections)
{
    const AutoRunEntry autoRun[4] = {{1500, 1}, {-1, 0}, {INT32_MIN, 7}, {INT32_MAX, 0}};
    std::string path = NewPath();
    EXPECT_TRUE(SaveAutoRun(path.c_str(), autoRun));
    std::vector<std::string> expected;
    const char* const values[4][2] = {
        {"1", "1500"}, {"0", "-1"}, {"1", "-2147483648"}, {"0", "2147483647"},
    };
    for (int i = 0; i < 4; ++i) {
        expected.push_back("[" + std::string(kAutoRunSections[i]) + "]");
        expected.push_back(std::string(kEnabled) + "=" + values[i][0]);
        expected.push_back(std::string(kInterval) + "=" + values[i][1]);
    }
    EXPECT_EQ(Lines(ReadFileBytes(path)), expected);
    EXPECT_EQ(LoadedAutoRun(path), "1/1500 0/-1 1/-2147483648 0/2147483647");
}

// ---------------------------------------------------------------------------
// Each saver rewrites its own group of keys and nothing else.

using SaverGroups = SettingsTest;

TEST_F(SaverGroups, OtherGroupsStayAsTheyWere)
{
    const std::string original =
        Header(kMain) + Line(kCloseNormal, "0") + Line(kOldKeepMinimized, "0") + Line(kTrayKeys[0], "0") +
        Line(kTrayKeys[2], "1") + Line("未知のキー", "x") + Header(kHotkeySection) + Line(kHotkeyKeys[0], "833") +
        Line(kHotkeyKeys[4], "66369") + Header(kAutoRunSections[0]) + Line(kEnabled, "1") +
        Line(kInterval, "abc") + Header(kAutoRunSections[3]) + Line(kInterval, "5") + Header("Other") +
        Line("a", "b");
    const char* const allSections[] = {kMain, kHotkeySection, kAutoRunSections[0], kAutoRunSections[1],
                                       kAutoRunSections[2], kAutoRunSections[3], "Other"};

    struct Saver {
        const char* name;
        void (*save)(const char* path);
        std::vector<std::string> changedSections;
    };
    const Saver savers[] = {
        {"SaveTrayIcons",
         [](const char* path) {
             const unsigned char tray[4] = {1, 1, 0, 0};
             SaveTrayIcons(path, tray);
         },
         {kMain}},
        {"SaveHotkeys",
         [](const char* path) {
             const HotkeyEntry hotkeys[5] = {{2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}};
             SaveHotkeys(path, hotkeys);
         },
         {kHotkeySection}},
        {"SaveAutoRun",
         [](const char* path) {
             const AutoRunEntry autoRun[4] = {{7, 0}, {7, 0}, {7, 0}, {7, 0}};
             SaveAutoRun(path, autoRun);
         },
         {kAutoRunSections[0], kAutoRunSections[1], kAutoRunSections[2], kAutoRunSections[3]}},
        {"SaveTargets",
         [](const char* path) {
             FilterSet filters = {};
             SaveTargets(path, filters);
         },
         {kMain}},
    };
    for (const Saver& saver : savers) {
        SCOPED_TRACE(saver.name);
        std::string path = FileWith(original);
        saver.save(path.c_str());
        std::string bytes = ReadFileBytes(path);
        for (const char* section : allSections) {
            bool changed = false;
            for (const std::string& name : saver.changedSections)
                changed = changed || name == section;
            if (!changed) {
                EXPECT_EQ(SectionLines(bytes, section), SectionLines(original, section)) << section;
            }
        }
    }

    // Within the main section the tray-icon saver keeps the filter keys and the target saver the
    // tray-icon keys.
    std::string path = FileWith(original);
    const unsigned char tray[4] = {1, 1, 0, 0};
    SaveTrayIcons(path.c_str(), tray);
    std::vector<std::string> main = SectionLines(ReadFileBytes(path), kMain);
    EXPECT_EQ(main, (std::vector<std::string>{std::string(kCloseNormal) + "=0",
                                              std::string(kOldKeepMinimized) + "=0",
                                              std::string(kTrayKeys[0]) + "=1",
                                              std::string(kTrayKeys[2]) + "=0", "未知のキー=x",
                                              std::string(kTrayKeys[1]) + "=1",
                                              std::string(kTrayKeys[3]) + "=0"}));
    path = FileWith(original);
    SaveTargets(path.c_str(), FilterSet());
    main = SectionLines(ReadFileBytes(path), kMain);
    ASSERT_GE(main.size(), 5u);
    EXPECT_EQ(main[1], std::string(kOldKeepMinimized) + "=0");
    EXPECT_EQ(main[2], std::string(kTrayKeys[0]) + "=0");
    EXPECT_EQ(main[3], std::string(kTrayKeys[2]) + "=1");
}

// ---------------------------------------------------------------------------
// Files that are damaged, cut short or not text at all.

using BadSettingsFiles = SettingsTest;

TEST_F(BadSettingsFiles, EmptyOrNoiseGivesDefaults)
{
    {
        SCOPED_TRACE("empty file");
        ExpectDefaultSettings(FileWith(""));
    }
    {
        SCOPED_TRACE("only line ends");
        ExpectDefaultSettings(FileWith("\r\n\r\n\n\r"));
    }
    {
        SCOPED_TRACE("NUL bytes");
        ExpectDefaultSettings(FileWith(std::string(3000, '\0')));
    }
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE("random bytes, seed " + std::to_string(seed));
        std::string noise = NoiseBytes(8192, seed, true);
        if (static_cast<unsigned char>(noise[0]) == 0xFF || static_cast<unsigned char>(noise[0]) == 0xFE ||
            static_cast<unsigned char>(noise[0]) == 0xEF)
            noise[0] = 'x';  // no byte-order mark by chance
        ExpectDefaultSettings(FileWith(noise));
    }
}

TEST_F(BadSettingsFiles, GarbageLinesSpoilOnlyThemselves)
{
    std::string garbage = NoiseBytes(2000, 77, false);
    garbage[0] = 'g';                // not a header or comment by chance
    garbage[garbage.size() - 1] = 'g';  // no lead byte before the line end
    std::string path = FileWith(Header(kMain) + Line(kCloseNormal, "0") + garbage + "\r\n" +
                                Line(kCloseMaximized, "0") + std::string(40, '\0') + "\r\n" +
                                Line(kTrayKeys[1], "1") + Header(kHotkeySection) + garbage + "\r\n" +
                                Line(kHotkeyKeys[1], "833") + Header(kAutoRunSections[2]) +
                                Line(kInterval, "777"));
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=000000");
    EXPECT_EQ(LoadedTray(path), "1100");
    EXPECT_EQ(LoadedHotkeys(path), "2:0/0x00 3:3/0x41 4:0/0x00 5:0/0x00 6:0/0x00");
    EXPECT_EQ(LoadedAutoRun(path), "0/60000 0/60000 0/777 0/60000");
}

TEST_F(BadSettingsFiles, NulBytesInValues)
{
    std::string path = FileWith(Header(kMain) + kCloseNormal + "=" + std::string(2, '\0') + "0\r\n" +
                                kCloseMinimized + "=" + std::string(1, '\0') + "\r\n" +
                                Line(kCloseMaximized, "0") + Header(kAutoRunSections[0]) + kInterval +
                                "=" + std::string("\0\0" "5", 3) + "\r\n" + Line(kEnabled, "1"));
    // The values that begin with NUL read as empty: defaults. The lines after them are intact.
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=000100");
    EXPECT_EQ(LoadedAutoRun(path), "1/60000 0/60000 0/60000 0/60000");
}

TEST_F(BadSettingsFiles, HeaderWithoutClosingBracket)
{
    // Cut-off names without their closing bracket: "[Tidewel" is no main section and
    // "[自動実行/最小" no auto-run section however they are read. The keys after them
    // are lost; the sections before and after them are intact.
    std::string path = FileWith(Header(kHotkeySection) + Line(kHotkeyKeys[1], "833") + "[Tidewel\r\n" +
                                Line(kCloseNormal, "0") + Line(kTrayKeys[0], "0") + Line(kTrayKeys[2], "1") +
                                Header(kAutoRunSections[1]) + Line(kEnabled, "1") + Line(kInterval, "10") +
                                "[自動実行/最小\r\n" + Line(kEnabled, "1"));
    EXPECT_EQ(LoadedFilters(path), kDefaultFilters);
    EXPECT_EQ(LoadedTray(path), kDefaultTray);
    EXPECT_EQ(LoadedHotkeys(path), "2:0/0x00 3:3/0x41 4:0/0x00 5:0/0x00 6:0/0x00");
    EXPECT_EQ(LoadedAutoRun(path), "0/60000 1/10 0/60000 0/60000");
}

TEST_F(BadSettingsFiles, CutShort)
{
    const std::string whole = Header(kMain) + Line(kCloseNormal, "0") + Header(kHotkeySection) +
                              Line(kHotkeyKeys[1], "833") + Header(kAutoRunSections[3]) +
                              Line(kEnabled, "1") + Line(kInterval, "4000");
    ASSERT_EQ(LoadedAutoRun(FileWith(whole)), "0/60000 0/60000 0/60000 1/4000");

    // Cut after the first byte of the interval key's first character: half a character at the end.
    size_t keyStart = whole.rfind(kInterval);
    std::string path = FileWith(whole.substr(0, keyStart + 1));
    EXPECT_EQ(LoadedAutoRun(path), "0/60000 0/60000 0/60000 1/60000");
    EXPECT_EQ(LoadedHotkeys(path), "2:0/0x00 3:3/0x41 4:0/0x00 5:0/0x00 6:0/0x00");
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=000010");

    // Cut in the middle of the last value: the last line has no line end.
    path = FileWith(whole.substr(0, whole.size() - 4));
    EXPECT_EQ(LoadedAutoRun(path), "0/60000 0/60000 0/60000 1/40");

    // Cut inside the hotkey section's header, in the middle of a character.
    size_t headerStart = whole.find(std::string("[") + kHotkeySection);
    path = FileWith(whole.substr(0, headerStart + 6));
    EXPECT_EQ(LoadedHotkeys(path), kDefaultHotkeys);
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=000010");
}

TEST_F(BadSettingsFiles, OverlongLines)
{
    std::string path = FileWith(Header(kMain) + Line("digits", std::string(5000, '7')) +
                                Line("letters", std::string(5000, 'x')) +
                                Line("one", "1" + std::string(5000, 'a')) +
                                Line(std::string(5000, 'k'), "1") +
                                Line(kCloseMaximized, std::string(5000, '0')) + Line(kCloseNormal, "0") +
                                Line(kCloseMinimized, "-" + std::string(5000, '9')) +
                                Header(kAutoRunSections[0]) + Line(kInterval, std::string(5000, '9')) +
                                Line(kEnabled, "1"));
    EXPECT_EQ(ReadProfileInt(path.c_str(), kMain, "digits", -5), INT32_MAX);
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "digits", 0), 1);
    EXPECT_EQ(ReadProfileInt(path.c_str(), kMain, "letters", -5), -5);
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "letters", 1), 1);
    EXPECT_EQ(ReadProfileFlag(path.c_str(), kMain, "letters", 0), 0);
    EXPECT_EQ(ReadProfileInt(path.c_str(), kMain, "one", -5), 1);
    EXPECT_EQ(ReadProfileInt(path.c_str(), kMain, std::string(5000, 'k').c_str(), -5), 1);
    EXPECT_EQ(ReadProfileInt(path.c_str(), kMain, kCloseMinimized, 0), INT32_MIN);
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=000001");
    EXPECT_EQ(LoadedAutoRun(path), "1/2147483647 0/60000 0/60000 0/60000");
}

TEST_F(BadSettingsFiles, LinesWithoutEqualsSign)
{
    std::string path = FileWith(Header(kMain) + kCloseNormal + "\r\n" + kOldKeepMinimized + "\r\n" +
                                "最大化されたウィンドウを元に戻す\r\n" + Line(kCloseMaximized, "0") +
                                "just some words\r\n" + Header(kHotkeySection) + kHotkeyKeys[0] + "\r\n" +
                                Line(kHotkeyKeys[4], "833") + Header(kAutoRunSections[1]) + kInterval +
                                "\r\n" + Line(kEnabled, "1"));
    EXPECT_EQ(LoadedFilters(path), "restore=000010 maximize=000100 minimize=000100 close=000100");
    EXPECT_EQ(LoadedHotkeys(path), "2:0/0x00 3:0/0x00 4:0/0x00 5:0/0x00 6:3/0x41");
    EXPECT_EQ(LoadedAutoRun(path), "0/60000 1/60000 0/60000 0/60000");
}

// ---------------------------------------------------------------------------
// The settings file's location.

std::string ModuleName()
{
    char module[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    return std::string(module, length);
}

TEST(SettingsPath, BesideTheProgramWithItsLowerCaseName)
{
    char path[kPathBufferSize];
    std::memset(path, 'x', sizeof path);
    ASSERT_TRUE(GetSettingsFilePath(path, kModuleNameLimit, kSettingsExtension));
    std::string result = path;

    std::string module = ModuleName();
    ASSERT_GT(module.size(), 4u);
    std::string lower;
    for (char c : module.substr(0, module.size() - 4))
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    EXPECT_EQ(result, lower + ".ini");

    const std::string name = "\\settings_tests.ini";
    ASSERT_GE(result.size(), name.size());
    EXPECT_EQ(result.substr(result.size() - name.size()), name);
    EXPECT_EQ(result.find(".exe"), std::string::npos);
    EXPECT_EQ(result.find(".EXE"), std::string::npos);
    for (char c : result)
        EXPECT_FALSE(c >= 'A' && c <= 'Z') << result;

    // The extension is appended before the path is lower-cased.
    ASSERT_TRUE(GetSettingsFilePath(path, kModuleNameLimit, ".BAK"));
    EXPECT_EQ(std::string(path), lower + ".bak");
}

TEST(SettingsPath, CutModuleNameIsRefused)
{
    std::string module = ModuleName();
    char path[kPathBufferSize];
    // Room for the name but not its terminator: the name would be cut.
    std::memset(path, 'x', sizeof path);
    EXPECT_FALSE(GetSettingsFilePath(path, static_cast<DWORD>(module.size()), kSettingsExtension));
    EXPECT_EQ(path[0], '\0');
    std::memset(path, 'x', sizeof path);
    EXPECT_FALSE(GetSettingsFilePath(path, 0, kSettingsExtension));
    EXPECT_EQ(path[0], '\0');
    std::memset(path, 'x', sizeof path);
    EXPECT_TRUE(GetSettingsFilePath(path, static_cast<DWORD>(module.size() + 1), kSettingsExtension));
    EXPECT_EQ(std::string(path).size(), module.size());
}

// ---------------------------------------------------------------------------
// An empty path (the settings path could not be built) touches no file at all.

std::set<std::string> FolderListing(const std::string& dir)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            names.insert(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return names;
}

std::string WindowsFolder()
{
    char dir[MAX_PATH];
    UINT length = GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir, length);
}

TEST(EmptySettingsPath, ReadsDefaultsAndWritesNothing)
{
    const std::string windows = WindowsFolder();
    const std::set<std::string> before = FolderListing(windows);
    ASSERT_FALSE(before.empty());
    const char key[] = "空のパスの試験";

    EXPECT_EQ(ReadProfileFlag("", kMain, key, 1), 1);
    EXPECT_EQ(ReadProfileFlag("", kMain, key, 0), 0);
    EXPECT_EQ(ReadProfileInt("", kMain, key, -7), -7);
    EXPECT_EQ(ReadProfileInt("", kMain, key, 60000), 60000);
    EXPECT_FALSE(WriteProfileFlag("", kMain, key, 1));
    EXPECT_FALSE(WriteProfileInt("", kMain, key, 5));
    // A null name would make the profile functions use win.ini.
    EXPECT_EQ(ReadProfileInt(nullptr, kMain, key, -7), -7);
    EXPECT_FALSE(WriteProfileFlag(nullptr, kMain, key, 1));
    EXPECT_FALSE(WriteProfileInt(nullptr, kMain, key, 5));

    // The loaders and savers on top of them.
    ExpectDefaultSettings("");
    FilterSet filters = {};
    EXPECT_FALSE(SaveTargets("", filters));
    const unsigned char tray[4] = {0, 1, 0, 0};
    EXPECT_FALSE(SaveTrayIcons("", tray));
    const HotkeyEntry hotkeys[5] = {{2, 3, 0x41}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}};
    EXPECT_FALSE(SaveHotkeys("", hotkeys));
    const AutoRunEntry autoRun[4] = {{5, 1}, {5, 1}, {5, 1}, {5, 1}};
    EXPECT_FALSE(SaveAutoRun("", autoRun));

    const std::set<std::string> after = FolderListing(windows);
    for (const std::string& name : after)
        EXPECT_TRUE(before.count(name)) << "new file in " << windows << ": " << name;
    for (const char* ini : {"win.ini", "system.ini"}) {
        char text[64] = "";
        GetPrivateProfileStringA(kMain, key, "", text, sizeof text, ini);
        EXPECT_STREQ(text, "") << ini;
        GetPrivateProfileStringA(kMain, kCloseNormal, "", text, sizeof text, ini);
        EXPECT_STREQ(text, "") << ini;
        GetPrivateProfileStringA(kHotkeySection, kHotkeyKeys[0], "", text, sizeof text, ini);
        EXPECT_STREQ(text, "") << ini;
    }
    EXPECT_FALSE(FileExists(".ini"));
    EXPECT_FALSE(FileExists(windows + "\\.ini"));
}

// ---------------------------------------------------------------------------
// LoadAppState reads the settings file beside the running program, here the
// test program's own; any file already there is put back afterwards.

class AppStateFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GetSettingsFilePath(path_, kModuleNameLimit, kSettingsExtension));
        hadFile_ = FileExists(path_);
        if (hadFile_)
            saved_ = ReadFileBytes(path_);
        Remove();
    }

    void TearDown() override
    {
        Remove();
        if (hadFile_)
            WriteBytes(path_, saved_);
    }

    // Deletes the file and drops the profile service's cached copy of it.
    void Remove()
    {
        DeleteFileA(path_);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_);
    }

    static std::string Describe(const AppState& state)
    {
        return ::Describe(state.filters) + " | " + ::Describe(state.hotkeys) + " undo " +
               std::to_string(state.undoHotkey.id) + ":" + std::to_string(state.undoHotkey.modifiers) + "/" +
               std::to_string(state.undoHotkey.key) + " | " + DescribeTray(state.trayIcons) + " | " +
               ::Describe(state.autoRun);
    }

    char path_[kPathBufferSize];
    bool hadFile_ = false;
    std::string saved_;
};

TEST_F(AppStateFile, DefaultsWithoutFile)
{
    ASSERT_FALSE(FileExists(path_));
    AppState state;
    Scribble(&state);
    LoadAppState(&state);
    EXPECT_EQ(Describe(state), std::string(kDefaultFilters) + " | " + kDefaultHotkeys + " undo 7:0/0 | " +
                                   kDefaultTray + " | " + kDefaultAutoRun);
    EXPECT_FALSE(FileExists(path_));
}

TEST_F(AppStateFile, EveryGroupFromTheFile)
{
    WriteBytes(path_, Header(kMain) + Line(kOldKeepMinimized, "0") + Line(kCloseMaximized, "0") +
                          Line("通常サイズのウィンドウを元に戻す", "1") + Line("不可視ウィンドウを最小化する", "1") +
                          Line(kTrayKeys[0], "0") + Line(kTrayKeys[3], "1") + Header(kHotkeySection) +
                          Line(kHotkeyKeys[0], "833") + Line(kHotkeyKeys[3], "-1") + Line("直前の操作を取り消す", "853") +
                          Header(kAutoRunSections[1]) + Line(kEnabled, "1") + Line(kInterval, "2500") +
                          Header(kAutoRunSections[2]) + Line(kInterval, "-1") +
                          Header("対象モニター") + Line("閉じる", "2") + Line("元に戻す", "abc") + Line("最大化する", "") +
                          Line("最小化する", "-1"));
    AppState state;
    Scribble(&state);
    LoadAppState(&state);
    EXPECT_EQ(Describe(state),
              "restore=000110 maximize=000100 minimize=100100+monitor close=000101+monitor | "
              "2:3/0x41 3:0/0x00 4:0/0x00 5:255/0xFF 6:0/0x00 undo 7:3/85 | 0001 | "
              "0/60000 1/2500 0/-1 0/60000");
}

}  // namespace
