// The four window filters in the main section: loading, and saving the nine target keys.
#pragma once
#include "windows/window_filter.h"

bool LoadFilters(const char* path, FilterSet* filters);
bool LoadCloseFilter(const char* path, WindowFilter* filter);
// Writes the nine target keys; true when every write succeeded.
bool SaveTargets(const char* path, const FilterSet& filters);
