// Room for one more item in an array from the standard allocator.
#pragma once
#include <cstddef>
#include <cstdlib>

// Doubles the array (16 items at first) when count has reached capacity. False,
// with the array as it was, when no memory is left: the caller then goes on
// without the item.
template <typename Item>
bool MakeRoomForOne(Item** items, size_t count, size_t* capacity)
{
    if (count < *capacity)
        return true;
    size_t grown = *capacity == 0 ? 16 : 2 * *capacity;
    void* moved = std::realloc(*items, grown * sizeof(Item));
    if (moved == nullptr)
        return false;
    *items = static_cast<Item*>(moved);
    *capacity = grown;
    return true;
}
