// WindowFilter: which windows an action touches. FilterSet: the four filters.
#pragma once

// Six one-byte flags; non-zero means on. A flag that is on lifts the test it
// guards. The seventh narrows instead: on, only windows on the monitor under
// the mouse pointer are touched.
struct WindowFilter {
    unsigned char includeInvisible;
    unsigned char includePopup;
    unsigned char includeUntitled;
    unsigned char includeNormal;
    unsigned char includeMaximized;
    unsigned char includeMinimized;
    unsigned char pointerMonitorOnly;
};

// The filters of the four actions, in the order the settings keep them.
struct FilterSet {
    WindowFilter restoreFilter;
    WindowFilter maximizeFilter;
    WindowFilter minimizeFilter;
    WindowFilter closeFilter;
};
