#include "playback/mixResampler.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace {

// soxr's 16-bit recipe: its rejection matches what a 16-bit output can carry.
constexpr double kSoxrPrecision = 16;
constexpr int kSwrFilterSize = 80;
constexpr double kSwrCutoff = 0.96;

} // namespace

SwrPtr OpenMixResampler(const AVChannelLayout &inLayout, AVSampleFormat inFormat, int inRate, int mixRate)
{
    if (SwrPtr soxr = OpenMixResampler(inLayout, inFormat, inRate, mixRate, ResamplerFilter::Soxr))
        return soxr;
    return OpenMixResampler(inLayout, inFormat, inRate, mixRate, ResamplerFilter::Swr);
}

SwrPtr OpenMixResampler(
    const AVChannelLayout &inLayout, AVSampleFormat inFormat, int inRate, int mixRate, ResamplerFilter filter)
{
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout in {};
    if (av_channel_layout_copy(&in, &inLayout) < 0)
        return nullptr;
    SwrContext *raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_FLT, mixRate, &in, inFormat, inRate, 0, nullptr);
    av_channel_layout_uninit(&in);
    if (made < 0)
        return nullptr;
    SwrPtr resampler(raw);
    const bool set = filter == ResamplerFilter::Soxr ? av_opt_set_int(raw, "resampler", SWR_ENGINE_SOXR, 0) >= 0
            && av_opt_set_double(raw, "precision", kSoxrPrecision, 0) >= 0
                                                     : av_opt_set_int(raw, "filter_size", kSwrFilterSize, 0) >= 0
            && av_opt_set_double(raw, "cutoff", kSwrCutoff, 0) >= 0;
    // An FFmpeg built without libsoxr accepts the engine's name but fails here.
    if (!set || swr_init(raw) < 0)
        return nullptr;
    return resampler;
}
