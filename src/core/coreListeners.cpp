#include "core/coreListeners.h"

#include <algorithm>

TcoreSubscription::TcoreSubscription(TcoreSubscription &&other) noexcept
    : m_registry(std::move(other.m_registry))
    , m_listener(std::exchange(other.m_listener, nullptr))
{
}

TcoreSubscription &TcoreSubscription::operator=(TcoreSubscription &&other) noexcept
{
    if (this != &other) {
        reset();
        m_registry = std::move(other.m_registry);
        m_listener = std::exchange(other.m_listener, nullptr);
    }
    return *this;
}

void TcoreSubscription::reset()
{
    if (const std::shared_ptr<Registry> registry = m_registry.lock(); registry && m_listener)
        registry->remove(m_listener);
    m_registry.reset();
    m_listener = nullptr;
}

void TcoreSubscription::Registry::remove(TcoreListener *listener)
{
    const auto found = std::find(listeners.begin(), listeners.end(), listener);
    if (found == listeners.end())
        return;
    // An announcement under way walks the list by position: it must not move.
    if (depth > 0)
        *found = nullptr;
    else
        listeners.erase(found);
}

void TcoreSubscription::Registry::compact()
{
    std::erase(listeners, nullptr);
}

TcoreListeners::TcoreListeners()
    : m_registry(std::make_shared<Registry>())
{
}

TcoreListeners::~TcoreListeners() = default;

TcoreSubscription TcoreListeners::Subscribe(TcoreListener &listener)
{
    m_registry->listeners.push_back(&listener);
    return TcoreSubscription(m_registry, &listener);
}

int TcoreListeners::Count() const
{
    return int(std::count_if(m_registry->listeners.begin(), m_registry->listeners.end(),
        [](const TcoreListener *listener) { return listener != nullptr; }));
}
