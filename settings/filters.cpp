// Filter keys of the main section. One row per key: the key, the filter and the
// flag it fills, its default and whether the target settings write it back.
#include "settings/filters.h"

#include "settings/actions.h"
#include "settings/settings_file.h"

namespace {

// Default of a close-filter key that comes from the older fallback keys.
const unsigned char kFromFallback = 0xFF;

struct FilterKeyRow {
    const char* key;
    WindowFilter FilterSet::*filter;
    unsigned char WindowFilter::*flag;
    unsigned char defaultFlag;
    bool isTarget;
};

const FilterKeyRow kFilterKeyRows[] = {
    {"不可視ウィンドウを閉じる", &FilterSet::closeFilter, &WindowFilter::includeInvisible, kFromFallback, false},
    {"ポップアップウィンドウを閉じる", &FilterSet::closeFilter, &WindowFilter::includePopup, kFromFallback, false},
    {"タイトルのないウィンドウを閉じる", &FilterSet::closeFilter, &WindowFilter::includeUntitled, kFromFallback, false},
    {"通常サイズのウィンドウを閉じる", &FilterSet::closeFilter, &WindowFilter::includeNormal, 1, true},
    {"最大化されたウィンドウを閉じる", &FilterSet::closeFilter, &WindowFilter::includeMaximized, 1, true},
    {"最小化されたウィンドウを閉じる", &FilterSet::closeFilter, &WindowFilter::includeMinimized, kFromFallback, true},
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

// Older half-width keys, read first; they only supply defaults for close-filter
// keys and are never written. The last one is inverted ("do not close minimized").
struct FallbackKeyRow {
    const char* key;
    unsigned char WindowFilter::*flag;
    unsigned char defaultFlag;
    bool inverted;
};

const FallbackKeyRow kFallbackKeyRows[] = {
    {"不可視ｳｨﾝﾄﾞｳも閉じる", &WindowFilter::includeInvisible, 0, false},
    {"ﾎﾟｯﾌﾟｱｯﾌﾟｳｨﾝﾄﾞｳも閉じる", &WindowFilter::includePopup, 0, false},
    {"ﾀｲﾄﾙのないｳｨﾝﾄﾞｳも閉じる", &WindowFilter::includeUntitled, 0, false},
    {"最小化されたｳｨﾝﾄﾞｳを閉じない", &WindowFilter::includeMinimized, 1, true},
};

void LoadFilterRow(const char* path, const FilterKeyRow& row, WindowFilter* filter)
{
    unsigned char& flag = filter->*row.flag;
    unsigned char defaultFlag = row.defaultFlag == kFromFallback ? flag : row.defaultFlag;
    flag = ReadProfileFlag(path, kMainSection, row.key, defaultFlag);
}

// The action's pointer-monitor key, in its section of its own.
void LoadPointerMonitorFlag(const char* path, const ActionRow& action, WindowFilter* filter)
{
    filter->pointerMonitorOnly = ReadProfileFlag(path, kMonitorSection, action.monitorKey, 0);
}

}  // namespace

bool LoadCloseFilter(const char* path, WindowFilter* filter)
{
    *filter = WindowFilter();
    for (const FallbackKeyRow& row : kFallbackKeyRows) {
        unsigned char value = ReadProfileFlag(path, kMainSection, row.key, row.defaultFlag);
        filter->*row.flag = row.inverted ? (value == 0 ? 1 : 0) : value;
    }
    for (const FilterKeyRow& row : kFilterKeyRows) {
        if (row.filter == &FilterSet::closeFilter)
            LoadFilterRow(path, row, filter);
    }
    LoadPointerMonitorFlag(path, kActionRows[kCloseAction], filter);
    return true;
}

bool LoadFilters(const char* path, FilterSet* filters)
{
    *filters = FilterSet();
    for (const FilterKeyRow& row : kFilterKeyRows) {
        if (row.filter != &FilterSet::closeFilter)
            LoadFilterRow(path, row, &(filters->*row.filter));
    }
    for (const ActionRow& action : kActionRows)
        LoadPointerMonitorFlag(path, action, &(filters->*action.filter));
    return LoadCloseFilter(path, &filters->closeFilter);
}

bool SavePointerMonitorFlag(const char* path, const PointerMonitorFlag& flag)
{
    return WriteProfileFlag(path, kMonitorSection, flag.key, flag.on);
}

bool SaveTargets(const char* path, const FilterSet& filters)
{
    bool saved = true;
    for (const FilterKeyRow& row : kFilterKeyRows) {
        if (row.isTarget)
            saved = WriteProfileFlag(path, kMainSection, row.key, filters.*row.filter.*row.flag) && saved;
    }
    return saved;
}
