#include "platform/pendingEvents.h"

#include <QCoreApplication>

void ProcessPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
