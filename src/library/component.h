#pragma once

#include "platform/raiseEvent.h"

#include <QString>
#include <functional>

// Base of the library's non-visual components. Components are the senders of
// events: every event's first argument is the component that raised it.
class TComponent {
public:
    TComponent() = default;
    virtual ~TComponent() = default;
    TComponent(const TComponent &) = delete;
    TComponent &operator=(const TComponent &) = delete;
};

// Event slots; an empty slot is skipped.
using TNotifyEvent = std::function<void(TComponent *sender)>;
using TlistProcessEvent = std::function<void(TComponent *sender, int index)>;
using TlistProcessStartEvent = std::function<void(TComponent *sender, int count)>;
using TdirScanStartEvent = std::function<void(TComponent *sender, int numFiles, const QString &dirName)>;
using TFileFoundEvent = std::function<void(TComponent *sender, const QString &fileName)>;
