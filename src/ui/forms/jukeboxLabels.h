#pragma once

#include <array>

// The labels of the jukebox window that show values (the others are fixed
// captions). Each keeps its name: the skin files refer to labels by name.
enum TjukeboxLabel {
    jlTrack,
    jlArtist,
    jlAlbum,
    jlMode,
    jlDuration,
    jlBitrate,
    jlSampleRate,
    jlFileType,
    jlStackerTitle,
    jlStackerAlbums,
    jlStackerPlaytime,
    jlQueueCount,
    jlQueueDuration,
    jlPlaylistCount,
    jlPlaylistDuration,
    jlGlobalCount,
    jlGlobalDuration,
    jlArtistCount,
    jlAlbumCount,
    jlArtistList,
    jlTrackList,
    // How far the background loudness measuring of the library has got.
    jlLoudnessMeasured,
    jlLabelCount
};

inline constexpr std::array<const char *, jlLabelCount> kJukeboxLabelNames { "lblTrack", "lblArtist", "lblAlbum",
    "lblMode", "lblDuration", "lblBitrate", "lblSampleRate", "lblFileType", "lblStackerTitle", "lblStackerAlbums",
    "lblStackerPlaytime", "lblQueueCount", "lblQueueDuration", "lblPlaylistCount", "lblPlaylistDuration",
    "lblGlobalCount", "lblGlobalDuration", "lblArtistCount", "lblAlbumCount", "lblArtistList", "lblTrackList",
    "lblLoudnessMeasured" };
