#pragma once

#include <utility>

// Raises an event when its slot is assigned: the one way every component of
// the jukebox calls its std::function events, so an empty slot is always
// skipped.
template <typename Event, typename... Args> void RaiseEvent(const Event &event, Args &&...args)
{
    if (event)
        event(std::forward<Args>(args)...);
}
