#include "support/sound.h"

#include <windows.h>
// mmsystem.h needs the types of windows.h before it.
#include <mmsystem.h>

bool play_sound_file(const std::string& path) {
    // A longer path would be cut by the sound service and could name another file.
    if (path.size() >= MAX_PATH) return false;
    return PlaySoundA(path.c_str(), nullptr,
                      SND_FILENAME | SND_SYNC | SND_NODEFAULT | SND_NOWAIT) != FALSE;
}
