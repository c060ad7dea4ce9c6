#pragma once

#include "core/coreListener.h"

#include <memory>
#include <utility>
#include <vector>

class TcoreListeners;

// A face's subscription to the core's announcements: the face hears from the
// core while this lives, and not after. It may outlive the core (a window
// made before the core ends after it): it then ends quietly.
//
// GUI thread only.
class TcoreSubscription {
public:
    TcoreSubscription() = default;
    ~TcoreSubscription() { reset(); }
    TcoreSubscription(TcoreSubscription &&other) noexcept;
    TcoreSubscription &operator=(TcoreSubscription &&other) noexcept;
    TcoreSubscription(const TcoreSubscription &) = delete;
    TcoreSubscription &operator=(const TcoreSubscription &) = delete;

    // Ends the subscription now.
    void reset();
    explicit operator bool() const { return m_listener && !m_registry.expired(); }

private:
    friend class TcoreListeners;
    struct Registry;
    TcoreSubscription(std::weak_ptr<Registry> registry, TcoreListener *listener)
        : m_registry(std::move(registry))
        , m_listener(listener)
    {
    }

    std::weak_ptr<Registry> m_registry;
    TcoreListener *m_listener = nullptr;
};

struct TcoreSubscription::Registry {
    // Null where a face left during an announcement; compacted afterwards.
    std::vector<TcoreListener *> listeners;
    int depth = 0;

    void remove(TcoreListener *listener);
    void compact();
};

// The faces the core announces to, in the order they subscribed. A face may
// subscribe or end its subscription while an announcement runs (a dialog
// closed by what it is told): one that ends is not called again, one that
// subscribes hears from the next announcement on.
//
// GUI thread only.
class TcoreListeners {
public:
    TcoreListeners();
    ~TcoreListeners();
    TcoreListeners(const TcoreListeners &) = delete;
    TcoreListeners &operator=(const TcoreListeners &) = delete;

    [[nodiscard]] TcoreSubscription Subscribe(TcoreListener &listener);
    int Count() const;

    // Calls event on every face subscribed now.
    template <typename... Params, typename... Args>
    void Raise(void (TcoreListener::*event)(Params...), Args &&...args) const
    {
        Registry &registry = *m_registry;
        ++registry.depth;
        const size_t count = registry.listeners.size();
        for (size_t i = 0; i < count; ++i) {
            if (TcoreListener *listener = registry.listeners[i])
                (listener->*event)(args...);
        }
        if (--registry.depth == 0)
            registry.compact();
    }

private:
    using Registry = TcoreSubscription::Registry;
    std::shared_ptr<Registry> m_registry;
};
