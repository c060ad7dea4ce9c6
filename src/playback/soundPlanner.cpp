#include "playback/soundPlanner.h"

#include "metadata/customTagger.h"
#include "playback/loudnessScan.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kRecentFiles = 4;

bool sameText(const QString &a, const QString &b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<double> measuredLoudness(const std::optional<TloudnessEntry> &entry)
{
    if (!entry || !entry->measured || entry->loudness <= kSilentLufs)
        return std::nullopt;
    return entry->loudness;
}

} // namespace

TsoundPlanner::TsoundPlanner(const TloudnessStore &store)
    : m_store(store)
{
}

QString TsoundPlanner::Facts::AlbumArtist() const
{
    if (!tags.albumArtist.isEmpty())
        return tags.albumArtist;
    return measured ? measured->albumArtist : QString();
}

bool TsoundPlanner::FollowsInAlbum(const TcustomTagger &before, const QString &beforeAlbumArtist,
    const TcustomTagger &after, const QString &afterAlbumArtist)
{
    if (before.Track() == 0 || after.Track() != before.Track() + 1 || !sameText(before.Album(), after.Album()))
        return false;
    return sameText(before.Artist(), after.Artist()) || sameText(beforeAlbumArtist, afterAlbumArtist)
        || before.Folder() == after.Folder();
}

float TsoundPlanner::GainFactor(double loudness, std::optional<double> peak, int targetLoudness, int preAmp)
{
    const double db = std::min(double(targetLoudness + preAmp) - loudness, kMaxGainDb);
    double factor = std::pow(10.0, db / 20.0);
    if (peak && *peak > 0)
        factor = std::min(factor, 1.0 / *peak);
    return float(factor);
}

const TsoundPlanner::Facts &TsoundPlanner::factsOf(const TcustomTagger &track)
{
    const QString path = track.Filename();
    const auto known = std::find_if(m_recent.begin(), m_recent.end(), [&](const Facts &f) { return f.path == path; });
    if (known != m_recent.end())
        return *known;
    if (m_recent.size() == kRecentFiles)
        m_recent.pop_front();
    m_recent.push_back({ path, ReadGainTags(path), m_store.FindCurrent(path) });
    return m_recent.back();
}

std::optional<std::pair<double, double>> TsoundPlanner::measuredAlbum(
    const TcustomTagger &track, QStringList *unmeasured)
{
    if (!AlbumTracks)
        return std::nullopt;
    // The album's loudness is that of its tracks played one after the other:
    // their energies, weighted by their lengths.
    double energy = 0;
    double length = 0;
    double peak = 0;
    for (const TcustomTagger *member : AlbumTracks(track)) {
        const std::optional<TloudnessEntry> entry = m_store.FindCurrent(member->Filename());
        if (!entry) {
            unmeasured->append(member->Filename());
            continue;
        }
        if (!measuredLoudness(entry))
            continue;
        const double weight = double(std::max<qint64>(entry->lengthMs, 1));
        energy += weight * std::pow(10.0, entry->loudness / 10.0);
        length += weight;
        peak = std::max(peak, entry->truePeak);
    }
    if (length <= 0)
        return std::nullopt;
    return std::pair { 10.0 * std::log10(energy / length), peak };
}

TtrackPlan TsoundPlanner::Plan(const TcustomTagger &track, const TcustomTagger *previous)
{
    TtrackPlan plan;
    const Facts facts = factsOf(track);
    const bool afterPrevious
        = previous && FollowsInAlbum(*previous, factsOf(*previous).AlbumArtist(), track, facts.AlbumArtist());
    QStringList unmeasured;
    if (!facts.measured)
        unmeasured << facts.path;

    plan.gapless = m_settings.Gapless && afterPrevious;
    const std::optional<TloudnessEntry> &entry = facts.measured;
    if (m_settings.FadesMeetMusic && !plan.gapless && entry && entry->measured
        && entry->musicEndMs > entry->musicStartMs) {
        plan.startMs = entry->musicStartMs;
        plan.endMs = entry->musicEndMs;
        plan.endingMs = entry->endingMs;
    }

    if (m_settings.GainMode != gmOff) {
        bool albumGain = m_settings.GainMode == gmAlbum;
        if (m_settings.GainMode == gmAuto) {
            const TcustomTagger *upcoming = UpcomingTrack ? UpcomingTrack() : nullptr;
            albumGain = afterPrevious
                || (upcoming
                    && FollowsInAlbum(track, facts.AlbumArtist(), *upcoming, factsOf(*upcoming).AlbumArtist()));
        }
        std::optional<double> loudness;
        std::optional<double> peak;
        const std::optional<double> trackLoudness
            = facts.tags.trackLoudness ? facts.tags.trackLoudness : measuredLoudness(entry);
        const std::optional<double> trackPeak = facts.tags.trackPeak ? facts.tags.trackPeak
            : entry && entry->measured                               ? std::optional(entry->truePeak)
                                                                     : std::nullopt;
        if (albumGain) {
            loudness = facts.tags.albumLoudness;
            peak = facts.tags.albumPeak;
            if (!loudness) {
                if (const auto album = measuredAlbum(track, &unmeasured)) {
                    loudness = album->first;
                    peak = album->second;
                }
            }
        }
        if (!loudness) {
            loudness = trackLoudness ? trackLoudness : facts.tags.albumLoudness;
            peak = trackPeak ? trackPeak : facts.tags.albumPeak;
        }
        if (!loudness) {
            loudness = m_store.MeanLoudness();
            peak.reset();
        }
        if (loudness)
            plan.gain = GainFactor(*loudness, peak, m_settings.TargetLoudness, m_settings.PreAmp);
    }
    if (m_settings.NeedsMeasuring() && !unmeasured.isEmpty() && WantMeasured)
        WantMeasured(unmeasured);
    return plan;
}
