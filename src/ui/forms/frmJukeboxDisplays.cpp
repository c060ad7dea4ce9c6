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
#include "playback/vorlenStream.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoBitmap.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/vorlenScrollBar.h"
#include "ui/forms/loudnessProgressText.h"
#include "ui/forms/shownCoverFile.h"

#include <QBuffer>
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

void TfrmJukebox::TrackChanged(TvorlenStream *stream)
{
    const TcustomTagger *track = stream ? stream->Track() : nullptr;
    if (!track) {
        clearTrackInfo();
        showStackerTitle();
        if (m_playerListeners.TrackChanged)
            m_playerListeners.TrackChanged(nullptr);
        return;
    }
    if (track->ValidTag()) {
        m_banner->SetText(track->Artist() + QStringLiteral(" - ") + track->Title());
        Label(QStringLiteral("lblTrack"))->SetCaption(track->Title());
        Label(QStringLiteral("lblArtist"))->SetCaption(track->Artist());
        Label(QStringLiteral("lblAlbum"))->SetCaption(track->Album());
    } else {
        m_banner->SetText(track->Filename());
        Label(QStringLiteral("lblTrack"))->SetCaption(QFileInfo(track->Filename()).fileName());
        Label(QStringLiteral("lblArtist"))->SetCaption(QString());
        Label(QStringLiteral("lblAlbum"))->SetCaption(QString());
    }
    showCover();
    Label(QStringLiteral("lblDuration"))->SetCaption(FormatMsMinSec(stream->LengthMs()));
    Label(QStringLiteral("lblMode"))->SetCaption(track->GetStereoText());
    Label(QStringLiteral("lblBitrate"))->SetCaption(QString::number(track->bitRate() / 1000) + QStringLiteral("kbps"));
    Label(QStringLiteral("lblSampleRate"))
        ->SetCaption(QString::asprintf("%3.1fkHz", double(track->SampleRate()) / 1000.0));
    Label(QStringLiteral("lblFileType"))->SetCaption(QFileInfo(track->Filename()).suffix().left(20).toUpper());
    // The mode line's parts follow one another.
    int x = Label(QStringLiteral("lblMode"))->geometry().right() + 10;
    for (const char *part : {"lblBitrate", "lblSampleRate", "lblFileType"}) {
        TdravoLabel *label = Label(QLatin1String(part));
        label->move(x, label->y());
        x = label->geometry().right() + 10;
    }
    showStackerTitle();
    if (m_playerListeners.TrackChanged)
        m_playerListeners.TrackChanged(stream);
}

void TfrmJukebox::clearTrackInfo()
{
    m_banner->SetText(QString());
    for (const char *name :
         {"lblTrack", "lblArtist", "lblAlbum", "lblMode", "lblBitrate", "lblSampleRate", "lblFileType", "lblDuration"})
        Label(QLatin1String(name))->SetCaption(QString());
    m_timer->SetSeconds(0);
    m_coverFile.clear();
    m_cover->SetPicture(QImage());
}

void TfrmJukebox::showCover()
{
    if (!m_core)
        return;
    const QString file = m_core->FindCover();
    if (file.isEmpty()) {
        // Without a cover file, the picture stored in the track's file; a
        // damaged one shows as no cover.
        QByteArray embedded = m_core->EmbeddedCover();
        QBuffer buffer(&embedded);
        QImageReader reader(&buffer);
        const QImage picture = embedded.isEmpty() ? QImage() : readCover(reader);
        m_coverFile = picture.isNull()
            ? QString()
            : StoreShownCover(m_core->DataFolder() + QStringLiteral("/covers"), embedded);
        m_cover->SetPicture(picture);
        return;
    }
    if (file == m_coverFile)
        return;
    // A cover that cannot be read leaves the picture shown before.
    QImageReader reader(file);
    const QImage picture = readCover(reader);
    if (picture.isNull())
        return;
    m_coverFile = file;
    m_cover->SetPicture(picture);
}

void TfrmJukebox::PositionChanged(TvorlenStream *stream)
{
    if (!stream)
        return;
    const qint64 position = stream->GetPosition();
    const qint64 length = stream->LengthMs();
    m_timer->SetSeconds(m_showTimeRemaining ? int(-((length - position) / 1000)) : int(position / 1000));
    if (m_positionBar->Min() != 0)
        m_positionBar->SetMin(0);
    if (m_positionBar->Max() != length && length > 0)
        m_positionBar->SetMax(int(length));
    if (m_positionBar->Value() != position)
        m_positionBar->SetValueQuietly(int(position));
    if (m_playerListeners.PositionChanged)
        m_playerListeners.PositionChanged(stream);
}

void TfrmJukebox::VolumeChanged()
{
    if (!m_core)
        return;
    const int value = 255 - m_core->GetMasterVolume();
    if (m_volumeBar->Value() != value)
        m_volumeBar->SetValueQuietly(value);
    if (m_playerListeners.VolumeChanged)
        m_playerListeners.VolumeChanged();
}

void TfrmJukebox::showGlobalDetails()
{
    if (!m_core)
        return;
    Tmp3JukeBoxLists &library = m_core->jblMain();
    Label(QStringLiteral("lblGlobalCount"))->SetCaption(QString::number(library.MasterList().Count()));
    Label(QStringLiteral("lblGlobalDuration"))->SetCaption(hourMinSec(library.MasterList().TotalDuration()));
    Label(QStringLiteral("lblArtistCount"))->SetCaption(QString::number(library.ArtistList().Count()));
    Label(QStringLiteral("lblAlbumCount"))->SetCaption(QString::number(library.AlbumList().Count()));
}

void TfrmJukebox::showQueueDetails()
{
    if (!m_core)
        return;
    TtaggerQueue &queue = m_core->tqQueue();
    Label(QStringLiteral("lblQueueDuration"))->SetCaption(hourMinSec(queue.TotalDuration()));
    Label(QStringLiteral("lblQueueCount"))->SetCaption(QString::number(queue.Count()));
}

void TfrmJukebox::PlaylistChanged()
{
    if (!m_core)
        return;
    TtagPlaylist &loaded = m_core->jblMain().LoadedPlaylist();
    Label(QStringLiteral("lblPlaylistCount"))->SetCaption(QString::number(loaded.Count()));
    Label(QStringLiteral("lblPlaylistDuration"))->SetCaption(hourMinSec(loaded.TotalDuration()));
}

void TfrmJukebox::StackerChanged()
{
    if (!m_core)
        return;
    Label(QStringLiteral("lblStackerAlbums"))->SetCaption(QString::number(m_core->Stacker().AlbumCount()));
    // Rounded to whole seconds.
    Label(QStringLiteral("lblStackerPlaytime"))
        ->SetCaption(FormatHourMinSec(qint64(std::llround(m_core->Stacker().PlayTime() / 1000.0))));
    showStackerTitle();
}

void TfrmJukebox::showStackerTitle()
{
    if (m_core)
        Label(QStringLiteral("lblStackerTitle"))->SetCaption(m_core->StackerTitle());
}

void TfrmJukebox::AnalysisProgress(int done, int total, bool running)
{
    Label(QStringLiteral("lblLoudnessMeasured"))->SetCaption(LoudnessProgressText(done, total, running));
}
