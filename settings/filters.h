// The four window filters in the main section: loading, and saving the nine target keys.
#pragma once
#include "settings/actions.h"
#include "windows/window_filter.h"

bool LoadFilters(const char* path, FilterSet* filters);
bool LoadCloseFilter(const char* path, WindowFilter* filter);
// Writes the nine target keys; true when every write succeeded.
bool SaveTargets(const char* path, const FilterSet& filters);
// Writes one action's pointer-monitor key, and nothing else.
struct PointerMonitorFlag {
    const char* key;
    unsigned char on;
};
bool SavePointerMonitorFlag(const char* path, const PointerMonitorFlag& flag);
