#include "audioMixer.h"

#include <QSocketNotifier>
#include <algorithm>
#include <alsa/asoundlib.h>
#include <cmath>
#include <poll.h>
#include <vector>

namespace {

const char *const kControlDevice = "default";
const char *const kMasterElement = "Master";
constexpr int kMasterControlId = 0;

struct MixerCloser {
    void operator()(snd_mixer_t *mixer) const { snd_mixer_close(mixer); }
};
using MixerHandle = std::unique_ptr<snd_mixer_t, MixerCloser>;

struct CtlCloser {
    void operator()(snd_ctl_t *ctl) const { snd_ctl_close(ctl); }
};
using CtlHandle = std::unique_ptr<snd_ctl_t, CtlCloser>;

bool DefaultControlExists()
{
    snd_ctl_t *raw = nullptr;
    if (snd_ctl_open(&raw, kControlDevice, SND_CTL_NONBLOCK) < 0)
        return false;
    CtlHandle ctl(raw);
    return true;
}

std::vector<pollfd> PollDescriptors(snd_mixer_t *mixer)
{
    const int count = snd_mixer_poll_descriptors_count(mixer);
    if (count <= 0)
        return {};
    std::vector<pollfd> fds(static_cast<std::size_t>(count));
    const int filled = snd_mixer_poll_descriptors(mixer, fds.data(), static_cast<unsigned>(count));
    fds.resize(static_cast<std::size_t>(std::max(filled, 0)));
    return fds;
}

bool IsRightChannel(snd_mixer_selem_channel_id_t channel)
{
    return channel == SND_MIXER_SCHN_FRONT_RIGHT || channel == SND_MIXER_SCHN_REAR_RIGHT
        || channel == SND_MIXER_SCHN_SIDE_RIGHT;
}

} // namespace

struct TAudioMixer::Private {
    TAudioMixer *owner = nullptr;
    int deviceCount = 0;
    int mixerId = -1;
    MixerHandle mixer;
    // The master element; owned by the mixer handle, cleared when ALSA
    // removes it.
    snd_mixer_elem_t *master = nullptr;
    long minimum = 0;
    long maximum = 0;
    std::vector<std::unique_ptr<QSocketNotifier>> notifiers;

    bool Open();
    // Inside a notifier's own signal the notifiers must outlive the call, so
    // they are then deleted by the event loop.
    void Close(bool fromNotifier = false);
    void ChooseMaster();
    void WatchDescriptors();
    void DescriptorReady();

    int ToLevel(long value) const;
    long FromLevel(int level) const;

    static int ElementEvent(snd_mixer_elem_t *element, unsigned int mask);
    static int MixerEvent(snd_mixer_t *mixer, unsigned int mask, snd_mixer_elem_t *element);
};

bool TAudioMixer::Private::Open()
{
    snd_mixer_t *raw = nullptr;
    if (snd_mixer_open(&raw, 0) < 0)
        return false;
    MixerHandle opened(raw);
    if (snd_mixer_attach(raw, kControlDevice) < 0 || snd_mixer_selem_register(raw, nullptr, nullptr) < 0
        || snd_mixer_load(raw) < 0)
        return false;
    mixer = std::move(opened);
    snd_mixer_set_callback(raw, &Private::MixerEvent);
    snd_mixer_set_callback_private(raw, this);
    ChooseMaster();
    WatchDescriptors();
    return true;
}

void TAudioMixer::Private::Close(bool fromNotifier)
{
    for (auto &notifier : notifiers) {
        notifier->setEnabled(false);
        if (fromNotifier)
            notifier.release()->deleteLater();
    }
    notifiers.clear();
    master = nullptr;
    mixer.reset();
    mixerId = -1;
}

void TAudioMixer::Private::ChooseMaster()
{
    master = nullptr;
    snd_mixer_selem_id_t *sid = nullptr;
    snd_mixer_selem_id_alloca(&sid);
    snd_mixer_selem_id_set_name(sid, kMasterElement);
    snd_mixer_selem_id_set_index(sid, 0);
    snd_mixer_elem_t *found = snd_mixer_find_selem(mixer.get(), sid);
    if (!found || !snd_mixer_selem_has_playback_volume(found)) {
        found = nullptr;
        for (snd_mixer_elem_t *e = snd_mixer_first_elem(mixer.get()); e; e = snd_mixer_elem_next(e)) {
            if (snd_mixer_selem_has_playback_volume(e)) {
                found = e;
                break;
            }
        }
    }
    if (!found || snd_mixer_selem_get_playback_volume_range(found, &minimum, &maximum) < 0)
        return;
    master = found;
    snd_mixer_elem_set_callback(master, &Private::ElementEvent);
    snd_mixer_elem_set_callback_private(master, this);
}

void TAudioMixer::Private::WatchDescriptors()
{
    notifiers.clear();
    for (const pollfd &fd : PollDescriptors(mixer.get())) {
        const QSocketNotifier::Type type = (fd.events & POLLOUT) ? QSocketNotifier::Write : QSocketNotifier::Read;
        auto notifier = std::make_unique<QSocketNotifier>(fd.fd, type);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [this] { DescriptorReady(); });
        notifiers.push_back(std::move(notifier));
    }
}

// The descriptors belong to ALSA (a plug-in may translate them), so ask it what
// their readiness means before handling events. A hang-up (the sound server
// went away) closes the device: the descriptor would otherwise stay ready and
// spin the event loop.
void TAudioMixer::Private::DescriptorReady()
{
    std::vector<pollfd> fds = PollDescriptors(mixer.get());
    if (fds.empty() || poll(fds.data(), fds.size(), 0) < 0)
        return;
    unsigned short revents = 0;
    if (snd_mixer_poll_descriptors_revents(mixer.get(), fds.data(), static_cast<unsigned>(fds.size()), &revents) < 0)
        revents = POLLERR;
    if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
        Close(true);
        return;
    }
    if ((revents & (POLLIN | POLLOUT)) && snd_mixer_handle_events(mixer.get()) < 0)
        Close(true);
}

int TAudioMixer::Private::ToLevel(long value) const
{
    if (maximum <= minimum)
        return 0;
    const double fraction = double(std::clamp(value, minimum, maximum) - minimum) / double(maximum - minimum);
    return int(std::lround(fraction * kMaxLevel));
}

long TAudioMixer::Private::FromLevel(int level) const
{
    const double fraction = double(std::clamp(level, 0, int(kMaxLevel))) / kMaxLevel;
    return minimum + std::lround(fraction * double(maximum - minimum));
}

int TAudioMixer::Private::ElementEvent(snd_mixer_elem_t *element, unsigned int mask)
{
    auto *self = static_cast<Private *>(snd_mixer_elem_get_callback_private(element));
    if (mask == SND_CTL_EVENT_MASK_REMOVE) {
        if (self->master == element)
            self->master = nullptr;
        return 0;
    }
    if ((mask & SND_CTL_EVENT_MASK_VALUE) && self->owner->OnControlChange)
        self->owner->OnControlChange(self->mixerId, kMasterControlId);
    return 0;
}

int TAudioMixer::Private::MixerEvent(snd_mixer_t *mixer, unsigned int mask, snd_mixer_elem_t *)
{
    auto *self = static_cast<Private *>(snd_mixer_get_callback_private(mixer));
    if ((mask & SND_CTL_EVENT_MASK_ADD) && !self->master)
        self->ChooseMaster();
    return 0;
}

TAudioMixer::TAudioMixer()
    : d(std::make_unique<Private>())
{
    d->owner = this;
    d->deviceCount = DefaultControlExists() ? 1 : 0;
    SetMixerID(0);
}

TAudioMixer::~TAudioMixer()
{
    d->Close();
}

int TAudioMixer::MixerID() const
{
    return d->mixerId;
}

void TAudioMixer::SetMixerID(int id)
{
    if (d->deviceCount == 0)
        return;
    id = std::min(id, d->deviceCount - 1);
    d->Close();
    if (id >= 0 && d->Open())
        d->mixerId = id;
}

int TAudioMixer::DeviceCount() const
{
    return d->deviceCount;
}

bool TAudioMixer::DevicePresent() const
{
    return d->mixer && d->master;
}

bool TAudioMixer::GetVolume(int destination, int connection, TMixerVolume &volume) const
{
    volume = TMixerVolume();
    if (destination != 0 || connection != -1 || !DevicePresent())
        return false;
    snd_mixer_elem_t *master = d->master;
    const bool mono = snd_mixer_selem_is_playback_mono(master);
    long value = 0;
    volume.volumeDisabled = !snd_mixer_selem_is_active(master);
    if (snd_mixer_selem_get_playback_volume(master, SND_MIXER_SCHN_FRONT_LEFT, &value) >= 0)
        volume.left = d->ToLevel(value);
    if (!mono && snd_mixer_selem_has_playback_channel(master, SND_MIXER_SCHN_FRONT_RIGHT)
        && snd_mixer_selem_get_playback_volume(master, SND_MIXER_SCHN_FRONT_RIGHT, &value) >= 0)
        volume.right = d->ToLevel(value);
    int on = 0;
    if (snd_mixer_selem_has_playback_switch(master)
        && snd_mixer_selem_get_playback_switch(master, SND_MIXER_SCHN_FRONT_LEFT, &on) >= 0) {
        volume.muteDisabled = volume.volumeDisabled;
        volume.mute = on ? 0 : 1;
    }
    return true;
}

bool TAudioMixer::SetVolume(int destination, int connection, int mute, int right, int left)
{
    if (destination != 0 || connection != -1 || !DevicePresent())
        return false;
    snd_mixer_elem_t *master = d->master;
    if (right == -1)
        right = left;
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
        const auto channel = snd_mixer_selem_channel_id_t(c);
        if (!snd_mixer_selem_has_playback_channel(master, channel))
            continue;
        const int level = (IsRightChannel(channel) && !snd_mixer_selem_is_playback_mono(master)) ? right : left;
        snd_mixer_selem_set_playback_volume(master, channel, d->FromLevel(level));
    }
    if (mute != -1 && snd_mixer_selem_has_playback_switch(master))
        snd_mixer_selem_set_playback_switch_all(master, mute ? 0 : 1);
    return true;
}

int TAudioMixer::MasterVolume() const
{
    TMixerVolume volume;
    if (!GetVolume(0, -1, volume) || volume.left < 0)
        return 0;
    return volume.left / 256;
}

void TAudioMixer::SetMasterVolume(int value)
{
    const int level = std::clamp(value, 0, 255) * 256;
    SetVolume(0, -1, 0, level, level);
}
