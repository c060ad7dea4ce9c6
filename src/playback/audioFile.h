#pragma once

#include "playback/boundedInput.h"
#include "playback/ffmpegHandles.h"

#include <QString>
#include <atomic>
#include <memory>

// A music file opened for decoding: its bounded input, its container, and a
// decoder for its best audio stream. Member order matters: the container is
// closed before the input it reads from. Owned by one thread at a time.
struct TaudioFile {
    std::unique_ptr<BoundedFileInput> input;
    AvFormatPtr format;
    AvCodecPtr codec;
    int streamIndex = -1;
    // From the container's headers; 0 when they do not say.
    qint64 lengthMs = 0;

    const AVStream *stream() const { return format->streams[streamIndex]; }
};

// Opens fileName; false (with what was opened so far) when it cannot be read,
// holds no audio stream, or its decoder cannot be opened. Reads stop soon
// after stop is set.
bool OpenAudioFile(const QString &fileName, const std::atomic<bool> &stop, TaudioFile &file);
