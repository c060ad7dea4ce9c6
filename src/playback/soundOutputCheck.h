#pragma once

class TcrossPlayer;

// The program cannot do without sound output: when the player's engine could
// not be opened, prints why on stderr and ends the program with exit code 1.
void EndUnlessSoundOutput(const TcrossPlayer &player);
