#include "sampleLibrary.h"

#include "metadata/id3Tagger.h"

#include <QStringList>
#include <array>
#include <random>

namespace {

constexpr std::array kAdjectives { "Velvet", "Silver", "Northern", "Hollow", "Electric", "Quiet", "Golden", "Broken",
    "Distant", "Crimson", "Paper", "Wild", "Lonely", "Bright", "Hidden", "Frozen", "Summer", "Midnight", "Copper",
    "Open", "Little" };
constexpr std::array kNouns { "Harbour", "Orchard", "River", "Engine", "Lantern", "Garden", "Signal", "Weather",
    "Mirror", "Canyon", "Island", "Machine", "Parade", "Station", "Letter", "Forest", "Harvest", "Comet", "Bridge",
    "Satellite", "Window", "Season", "Tide", "Meadow" };
constexpr std::array kFirstNames { "Mira", "Jonas", "Aiko", "Tomas", "Lena", "Omar", "Rosa", "Felix", "Ines", "Viktor",
    "Nadia", "Elliot", "Saoirse", "Ruben", "Yara", "Hugo", "Clara", "Dev" };
constexpr std::array kLastNames { "Okafor", "Lindqvist", "Moreau", "Tanaka", "Alvarez", "Novak", "Brennan", "Kowalski",
    "Haddad", "Fischer", "Marsh", "Oyelaran", "Castell", "Vega" };
constexpr std::array kVerbs { "Waiting for", "Dancing in", "Leaving", "Dreaming of", "Running to", "Falling into",
    "Back to", "Under", "Across", "Beyond", "Holding", "Chasing" };
constexpr std::array kGenres { "Rock", "Pop", "Jazz", "Electronic", "Folk", "Blues", "Classical", "Alternative", "Soul",
    "Country", "Reggae", "Ambient" };
constexpr std::array kBitRates { 128000u, 160000u, 192000u, 256000u, 320000u };

class Inventor {
public:
    explicit Inventor(unsigned seed)
        : m_random(seed)
    {
    }

    template <typename List> QString pick(const List &list)
    {
        return QString::fromLatin1(list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(m_random)]);
    }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    QString artist()
    {
        switch (between(0, 9)) {
        case 0:
        case 1:
        case 2:
            return QStringLiteral("The ") + pick(kAdjectives) + QLatin1Char(' ') + pick(kNouns) + QLatin1Char('s');
        case 3:
        case 4:
        case 5:
            return pick(kFirstNames) + QLatin1Char(' ') + pick(kLastNames);
        case 6:
        case 7:
            return pick(kNouns) + QLatin1Char(' ') + pick(kNouns);
        case 8:
            return pick(kAdjectives) + QLatin1Char(' ') + pick(kNouns);
        default:
            return QString::number(between(2, 99)) + QLatin1Char(' ') + pick(kNouns) + QLatin1Char('s');
        }
    }

    QString album()
    {
        switch (between(0, 3)) {
        case 0:
            return pick(kAdjectives) + QLatin1Char(' ') + pick(kNouns);
        case 1:
            return QStringLiteral("Songs from the ") + pick(kNouns);
        case 2:
            return pick(kNouns) + QStringLiteral(" & ") + pick(kNouns);
        default:
            return QStringLiteral("The ") + pick(kAdjectives) + QLatin1Char(' ') + pick(kNouns);
        }
    }

    QString title()
    {
        switch (between(0, 2)) {
        case 0:
            return pick(kVerbs) + QStringLiteral(" the ") + pick(kNouns);
        case 1:
            return pick(kAdjectives) + QLatin1Char(' ') + pick(kNouns);
        default:
            return pick(kNouns) + QStringLiteral(" (") + pick(kAdjectives) + QStringLiteral(" Mix)");
        }
    }

private:
    std::mt19937 m_random;
};

} // namespace

std::vector<std::unique_ptr<TcustomTagger>> InventLibrary(int trackCount, unsigned seed)
{
    Inventor invent(seed);
    std::vector<std::unique_ptr<TcustomTagger>> records;
    QStringList artistsUsed;
    while (int(records.size()) < trackCount) {
        // One compilation in twenty albums.
        const bool compilation = invent.between(0, 19) == 0;
        QString artist = compilation ? QStringLiteral("Compilation") : invent.artist();
        if (!compilation && artistsUsed.contains(artist))
            continue;
        artistsUsed << artist;
        const int albums = compilation ? 1 : invent.between(1, 4);
        for (int a = 0; a < albums && int(records.size()) < trackCount; ++a) {
            const QString album = invent.album();
            const QString year = QString::number(invent.between(1968, 2024));
            const QString genre = invent.pick(kGenres);
            const quint32 bitRate = kBitRates[std::size_t(invent.between(0, int(kBitRates.size()) - 1))];
            const int tracks = invent.between(7, 14);
            for (int t = 1; t <= tracks && int(records.size()) < trackCount; ++t) {
                auto record = std::make_unique<Tid3Tagger>();
                record->SetArtist(artist);
                record->SetAlbum(album);
                record->SetTitle(invent.title());
                record->SetTrack(quint32(t));
                record->SetDate(year);
                record->SetGenre(genre);
                record->SetDuration(double(invent.between(95, 460)) * 1000.0 + invent.between(0, 999));
                record->SetBitRate(bitRate);
                record->SetSampleRate(44100);
                record->SetChannelMode(1);
                record->SetValidTag(true);
                record->SetFilename(QStringLiteral("/srv/music/%1/%2/%3 %4.mp3")
                                        .arg(artist, album)
                                        .arg(t, 2, 10, QLatin1Char('0'))
                                        .arg(record->Title()));
                records.push_back(std::move(record));
            }
        }
    }
    return records;
}
