#include "playback/soundOutputCheck.h"

#include "playback/crossPlayer.h"

#include <cstdio>
#include <cstdlib>

void EndUnlessSoundOutput(const TcrossPlayer &player)
{
    if (player.EngineOpen())
        return;
    std::fprintf(stderr, "Vorlen Mp3 Jukebox: %s\n", qUtf8Printable(player.EngineError()));
    std::exit(EXIT_FAILURE);
}
