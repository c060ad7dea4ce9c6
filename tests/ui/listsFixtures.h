#pragma once

#include "../library/testRecords.h"
#include "library/mp3JukeBoxLists.h"

#include <QTest>
#include <QWidget>
#include <vector>

// A library of hand-made records, rebuilt as a scan would rebuild it: the old
// records are freed.
inline void FillLibrary(Tmp3JukeBoxLists &library, const std::vector<RecordSpec> &specs)
{
    library.SuspendRebuild();
    library.Clear();
    for (const RecordSpec &spec : specs)
        library.MasterList().Add(MakeRecord(spec));
    library.ResumeRebuild();
}

// Artists with albums, a compilation, a track without artist and one without
// album: every kind of node the library tree has.
inline std::vector<RecordSpec> SampleLibrary()
{
    std::vector<RecordSpec> specs {
        { QStringLiteral("North"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"), QStringLiteral("/m/n/f/1.mp3"),
            1, 200000 },
        { QStringLiteral("Sound"), QStringLiteral("Nordwave"), QStringLiteral("Fjord"), QStringLiteral("/m/n/f/2.mp3"),
            2, 100000 },
        { QStringLiteral("South"), QStringLiteral("Nordwave"), QStringLiteral("Bay"), QStringLiteral("/m/n/b/1.mp3"), 1,
            150000 },
        { QStringLiteral("Alone"), QStringLiteral("Nightjar"), QStringLiteral("Solo"), QStringLiteral("/m/j/s/1.mp3"),
            1, 185000 },
        { QStringLiteral("Glow"), QStringLiteral("Lanterns"), QString(), QStringLiteral("/m/l/1.mp3"), 1, 60000 },
        { QStringLiteral("Flicker"), QStringLiteral("Lanterns"), QString(), QStringLiteral("/m/l/2.mp3"), 2, 60000 },
        { QStringLiteral("Mix one"), QStringLiteral("Kestrel"), QStringLiteral("Summer"),
            QStringLiteral("/m/mix/1.mp3"), 1, 90000 },
        { QStringLiteral("Mix two"), QStringLiteral("Osprey"), QStringLiteral("Summer"), QStringLiteral("/m/mix/2.mp3"),
            2, 90000 },
        { QStringLiteral("Hum"), QString(), QString(), QStringLiteral("/m/x/hum.mp3"), 0, 30000 },
        { QStringLiteral("1999"), QStringLiteral("Quartz"), QStringLiteral("Q"), QStringLiteral("/m/q/1.mp3"), 1,
            1000 },
        { QStringLiteral("2 Become 1"), QStringLiteral("Quartz"), QStringLiteral("Q"), QStringLiteral("/m/q/2.mp3"), 2,
            1000 },
        { QStringLiteral("123"), QStringLiteral("Quartz"), QStringLiteral("Q"), QStringLiteral("/m/q/3.mp3"), 3, 1000 },
    };
    return specs;
}

inline void ShowAndWait(QWidget &widget, QSize size)
{
    widget.resize(size);
    widget.show();
    widget.activateWindow();
    (void)QTest::qWaitForWindowExposed(&widget);
}
