#include "ui/forms/loudnessProgressText.h"

QString LoudnessProgressText(int done, int total, bool running)
{
    if (total <= 0)
        return QStringLiteral("-");
    if (done >= total)
        return QStringLiteral("all");
    const QString text = QStringLiteral("%1 of %2").arg(done).arg(total);
    return running ? text : text + QStringLiteral(", paused");
}
