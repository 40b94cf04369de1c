// What the last minimize, maximize or restore action of the resident program
// changed: each window it acted on and the show state that window had before.
#pragma once
#include <windows.h>

#include <vector>

enum ShowState { kShowNormal, kShowMaximized, kShowMinimized };

struct UndoEntry {
    HWND window;
    ShowState before;
};

struct UndoRecord {
    std::vector<UndoEntry> entries;  // empty: nothing to undo
};

// Gives every window of the record that still exists its show state from
// before, then frees the record: it can be used once. False when it was empty.
bool UndoLastAction(UndoRecord* record);
// Empties the record and frees its memory.
void ClearUndoRecord(UndoRecord* record);
