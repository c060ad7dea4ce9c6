// What the jukebox window shows: the track information, the position and
// volume, the banner, the cover and the counts of the queue, the playlist,
// the library and the stacker.
#include "ui/forms/frmJukebox.h"

#include "core/dmMain.h"
#include "library/tagAlbumList.h"
#include "library/tagArtistList.h"
#include "library/tagPlaylist.h"
#include "library/taggerQueue.h"
#include "metadata/timeTexts.h"
#include "platform/fileNames.h"
#include "playback/vorlenStream.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/loudnessProgressText.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

QString hourMinSec(double milliseconds)
{
    return FormatMsHourMinSec(qint64(milliseconds));
}

// Covers come from anywhere: a huge one is read no larger than the panel
// needs. A null image when the picture cannot be read.
QImage readCover(QImageReader &reader)
{
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > 4096 || size.height() > 4096))
        reader.setScaledSize(size.scaled(2048, 2048, Qt::KeepAspectRatio));
    return reader.read();
}

} // namespace

void TfrmJukebox::TrackChanged(const TnowPlaying &playing)
{
    const TcustomTagger *track = playing.track.get();
    if (!playing.stream || !track) {
        clearTrackInfo();
        showStackerTitle();
        return;
    }
    if (track->ValidTag()) {
        m_banner->SetText(track->Artist() + QStringLiteral(" - ") + track->Title());
        Label(jlTrack)->SetCaption(track->Title());
        Label(jlArtist)->SetCaption(track->Artist());
        Label(jlAlbum)->SetCaption(track->Album());
    } else {
        m_banner->SetText(track->Filename());
        Label(jlTrack)->SetCaption(ReadableFileName(QFileInfo(track->Filename()).fileName()));
        Label(jlArtist)->SetCaption(QString());
        Label(jlAlbum)->SetCaption(QString());
    }
    showCover(playing.coverFile);
    Label(jlDuration)->SetCaption(FormatMsMinSec(playing.stream->LengthMs()));
    Label(jlMode)->SetCaption(track->GetStereoText());
    Label(jlBitrate)->SetCaption(QString::number(track->bitRate() / 1000) + QStringLiteral("kbps"));
    Label(jlSampleRate)->SetCaption(QString::asprintf("%3.1fkHz", double(track->SampleRate()) / 1000.0));
    Label(jlFileType)->SetCaption(QFileInfo(track->Filename()).suffix().left(20).toUpper());
    // The mode line's parts stay where the skin puts them; every value ends
    // before whatever stands to its right.
    fitDisplay();
    showStackerTitle();
}

void TfrmJukebox::clearTrackInfo()
{
    m_banner->SetText(QString());
    for (const TjukeboxLabel label :
        { jlTrack, jlArtist, jlAlbum, jlMode, jlBitrate, jlSampleRate, jlFileType, jlDuration })
        Label(label)->SetCaption(QString());
    m_timer->SetSeconds(0);
    m_coverFile.clear();
    m_cover->SetPicture(QImage());
    fitDisplay();
}

void TfrmJukebox::showCover(const QString &file)
{
    if (file.isEmpty()) {
        m_coverFile.clear();
        m_cover->SetPicture(QImage());
        return;
    }
    if (file == m_coverFile)
        return;
    // A cover that cannot be read shows as none: the last track's would
    // stand for this one.
    QImageReader reader(file);
    const QImage picture = readCover(reader);
    m_coverFile = picture.isNull() ? QString() : file;
    m_cover->SetPicture(picture);
}

void TfrmJukebox::PositionChanged(const TvorlenStream &stream)
{
    const qint64 position = stream.GetPosition();
    const qint64 length = stream.LengthMs();
    m_timer->SetSeconds(m_showTimeRemaining ? int(-((length - position) / 1000)) : int(position / 1000));
    if (m_positionBar->Min() != 0)
        m_positionBar->SetMin(0);
    if (m_positionBar->Max() != length && length > 0)
        m_positionBar->SetMax(int(length));
    if (m_positionBar->Value() != position)
        m_positionBar->SetValueQuietly(int(position));
}

void TfrmJukebox::VolumeChanged()
{
    if (!m_core)
        return;
    const int value = 255 - m_core->GetMasterVolume();
    if (m_volumeBar->Value() != value)
        m_volumeBar->SetValueQuietly(value);
}

void TfrmJukebox::showGlobalDetails()
{
    if (!m_core)
        return;
    m_libraryDuration = m_core->jblMain().MasterList().TotalDuration();
    showGlobalCounts();
}

void TfrmJukebox::showGlobalCounts()
{
    if (!m_core)
        return;
    const Tmp3JukeBoxLists &library = m_core->jblMain();
    Label(jlGlobalCount)->SetCaption(QString::number(library.MasterList().Count()));
    Label(jlGlobalDuration)->SetCaption(hourMinSec(m_libraryDuration));
    Label(jlArtistCount)->SetCaption(QString::number(library.ArtistList().Count()));
    Label(jlAlbumCount)->SetCaption(QString::number(library.AlbumList().Count()));
}

void TfrmJukebox::showQueueDetails()
{
    if (!m_core)
        return;
    const TtaggerQueue &queue = m_core->tqQueue();
    Label(jlQueueDuration)->SetCaption(hourMinSec(queue.TotalDuration()));
    Label(jlQueueCount)->SetCaption(QString::number(queue.Count()));
}

void TfrmJukebox::PlaylistChanged()
{
    if (!m_core)
        return;
    const TtaggerList &inUse = m_core->PlaylistInUse();
    Label(jlPlaylistCount)->SetCaption(QString::number(inUse.Count()));
    Label(jlPlaylistDuration)->SetCaption(hourMinSec(inUse.TotalDuration()));
}

void TfrmJukebox::StackerChanged()
{
    if (!m_core)
        return;
    Label(jlStackerAlbums)->SetCaption(QString::number(m_core->Stacker().AlbumCount()));
    // Rounded to whole seconds.
    Label(jlStackerPlaytime)->SetCaption(FormatHourMinSec(qint64(std::llround(m_core->Stacker().PlayTime() / 1000.0))));
    showStackerTitle();
}

void TfrmJukebox::showStackerTitle()
{
    if (m_core)
        Label(jlStackerTitle)->SetCaption(m_core->StackerTitle());
    fitStackerBar();
}

void TfrmJukebox::LoudnessAnalysisProgress(int done, int total, bool running)
{
    Label(jlLoudnessMeasured)->SetCaption(LoudnessProgressText(done, total, running));
}
