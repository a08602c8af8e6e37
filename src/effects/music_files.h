// What can be told about a film's music files without decoding them, for
// xmotool check: the player stops with "File not found" or "Unknown file
// format" when such a file is named and a sound device is present.
#pragma once

namespace xmo {

struct Movie;
class Diagnostics;

// Reports each Sound whose file does not open or is empty.
void reportUnusableMusicFiles(const Movie& movie, Diagnostics& diagnostics);

}  // namespace xmo
