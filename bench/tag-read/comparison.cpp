#include "comparison.h"

#include <cstdio>
#include <functional>
#include <map>

namespace {

struct Field {
    const char *name;
    std::function<QString(const TrackAnswers &)> text;
};

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString number(double value)
{
    return QString::number(value, 'g', 17);
}

const std::vector<Field> &fields()
{
    static const std::vector<Field> table {
        { "title", [](const TrackAnswers &a) { return quoted(a.title); } },
        { "artist", [](const TrackAnswers &a) { return quoted(a.artist); } },
        { "album", [](const TrackAnswers &a) { return quoted(a.album); } },
        { "year", [](const TrackAnswers &a) { return quoted(a.year); } },
        { "comment", [](const TrackAnswers &a) { return quoted(a.comment); } },
        { "track", [](const TrackAnswers &a) { return number(a.track); } },
        { "genre", [](const TrackAnswers &a) { return quoted(a.genre); } },
        { "duration ms", [](const TrackAnswers &a) { return number(a.durationMs); } },
        { "bit rate", [](const TrackAnswers &a) { return number(a.bitRate); } },
        { "sample rate", [](const TrackAnswers &a) { return number(a.sampleRate); } },
        { "channel mode", [](const TrackAnswers &a) { return number(a.channelMode); } },
    };
    return table;
}

} // namespace

void PrintComparison(const std::vector<TrackAnswers> &ours, const std::vector<TrackAnswers> &theirs,
    const std::vector<int> &templateOf, const std::vector<CorpusTemplate> &templates)
{
    std::printf("answers compared on %zu files (vorlen | TagLib):\n", ours.size());
    for (const Field &field : fields()) {
        struct Differences {
            int count = 0;
            int files = 0;
            QString example;
        };
        std::map<int, Differences> byTemplate;
        for (size_t i = 0; i < ours.size(); ++i) {
            Differences &d = byTemplate[templateOf[i]];
            ++d.files;
            const QString mine = field.text(ours[i]);
            const QString other = field.text(theirs[i]);
            if (mine == other)
                continue;
            if (d.count++ == 0)
                d.example = mine + QStringLiteral(" | ") + other;
        }
        int differing = 0;
        for (const auto &[which, d] : byTemplate)
            differing += d.count;
        std::printf("  %-12s %zu agree, %d differ\n", field.name, ours.size() - size_t(differing), differing);
        for (const auto &[which, d] : byTemplate) {
            if (d.count > 0)
                std::printf("      [%s] %d of %d, e.g. %s\n", templates[which].name.toUtf8().constData(), d.count,
                    d.files, d.example.toUtf8().constData());
        }
    }
}
