// The four window filters in the main section: loading, and saving the nine target keys.
#pragma once
#include "windows/window_filter.h"

bool LoadFilters(const char* path, FilterSet* filters);
bool LoadCloseFilter(const char* path, WindowFilter* filter);
bool SaveTargets(const char* path, const FilterSet& filters);
// SaveTargets into the settings file beside the executable (nothing without a path).
bool SaveTargetSettings(const FilterSet& filters);
