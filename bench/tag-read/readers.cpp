#include "readers.h"

#include "metadata/customTagger.h"

#include <taglib/flacfile.h>
#include <taglib/flacproperties.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegproperties.h>
#include <taglib/tag.h>

TrackAnswers ReadWithVorlen(const QString &path)
{
    TrackAnswers answers;
    const std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(path);
    if (!record)
        return answers;
    record->LoadFromFile(path);
    record->SetReadFrameHeaders(true);
    answers.title = record->Title();
    answers.artist = record->Artist();
    answers.album = record->Album();
    answers.year = record->Date();
    answers.comment = record->Comment();
    answers.genre = record->Genre();
    answers.track = record->Track();
    answers.durationMs = record->Duration();
    answers.bitRate = record->bitRate();
    answers.sampleRate = record->SampleRate();
    answers.channelMode = record->ChannelMode();
    return answers;
}

namespace {

// TagLib's answers from the reader of one format; channelMode turns its audio
// properties into the jukebox's channel code.
template <typename File, typename ChannelMode>
TagLibAnswers readWith(const char *path, ChannelMode channelMode)
{
    TagLibAnswers answers;
    File file(path, true, TagLib::AudioProperties::Fast);
    const TagLib::Tag *tag = file.tag();
    const auto *properties = file.audioProperties();
    if (!file.isValid() || !tag || !properties)
        return answers;
    answers.valid = true;
    answers.title = tag->title();
    answers.artist = tag->artist();
    answers.album = tag->album();
    answers.comment = tag->comment();
    answers.genre = tag->genre();
    answers.year = tag->year();
    answers.track = tag->track();
    answers.durationMs = properties->lengthInMilliseconds();
    answers.bitRateKbps = properties->bitrate();
    answers.sampleRate = properties->sampleRate();
    answers.channelMode = channelMode(*properties);
    return answers;
}

} // namespace

TagLibAnswers ReadWithTagLib(const char *path)
{
    return readWith<TagLib::MPEG::File>(
        path, [](const TagLib::MPEG::Properties &properties) { return int(properties.channelMode()); });
}

TagLibAnswers ReadFlacWithTagLib(const char *path)
{
    return readWith<TagLib::FLAC::File>(path, [](const TagLib::FLAC::Properties &properties) {
        const int channels = properties.channels();
        return channels == 1 || channels == 2 ? channels : 0;
    });
}

TrackAnswers ToAnswers(const TagLibAnswers &answers)
{
    const auto text = [](const TagLib::String &s) { return QString::fromStdWString(s.toWString()); };
    TrackAnswers out;
    out.title = text(answers.title);
    out.artist = text(answers.artist);
    out.album = text(answers.album);
    out.year = answers.year ? QString::number(answers.year) : QString();
    out.comment = text(answers.comment);
    out.genre = text(answers.genre);
    out.track = answers.track;
    out.durationMs = answers.durationMs;
    out.bitRate = quint32(answers.bitRateKbps) * 1000;
    out.sampleRate = quint32(answers.sampleRate);
    out.channelMode = quint32(answers.channelMode);
    return out;
}
