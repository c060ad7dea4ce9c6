#pragma once

#include "platform/raiseEvent.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// Base of the library's non-visual components. Components are the senders of
// events: every event's first argument is the component that raised it.
class TComponent {
public:
    TComponent() = default;
    virtual ~TComponent() = default;
    TComponent(const TComponent &) = delete;
    TComponent &operator=(const TComponent &) = delete;
};

// A component's event slot, assigned and raised as a std::function is, that
// takes the room of one pointer while nothing is assigned: a library's index
// holds a track list for each album and artist, six slots each that no one
// assigns, and a std::function takes 32 bytes.
template <typename Signature>
class TeventSlot {
public:
    TeventSlot() = default;
    TeventSlot(std::nullptr_t) { }

    TeventSlot &operator=(std::nullptr_t)
    {
        m_handler.reset();
        return *this;
    }
    template <typename Handler>
        requires(!std::is_same_v<std::remove_cvref_t<Handler>, TeventSlot>)
    TeventSlot &operator=(Handler &&handler)
    {
        std::function<Signature> function(std::forward<Handler>(handler));
        m_handler = function ? std::make_unique<std::function<Signature>>(std::move(function)) : nullptr;
        return *this;
    }

    explicit operator bool() const { return m_handler != nullptr; }
    template <typename... Args>
    void operator()(Args &&...args) const
    {
        (*m_handler)(std::forward<Args>(args)...);
    }

private:
    std::unique_ptr<std::function<Signature>> m_handler;
};

// Event slots; an empty slot is skipped.
using TNotifyEvent = TeventSlot<void(TComponent *sender)>;
using TlistProcessEvent = TeventSlot<void(TComponent *sender, int index)>;
using TlistProcessStartEvent = TeventSlot<void(TComponent *sender, int count)>;
using TdirScanStartEvent = TeventSlot<void(TComponent *sender, int numFiles, const QString &dirName)>;
using TFileFoundEvent = TeventSlot<void(TComponent *sender, const QString &fileName)>;
