#include "support/sound.h"

#include <unistd.h>

#include "support/file_utils.h"
#include "support/program_run.h"

// Linux has no sound service of its own: the desktop's player (PulseAudio or PipeWire) when it is
// installed, else ALSA's, run to the sound's end.
bool play_sound_file(const std::string& path) {
    if (!file_exists(path)) return false;
    if (access("/usr/bin/paplay", X_OK) == 0)
        return launch_process("/usr/bin/paplay", {path}, nullptr).exit_code == 0;
    if (access("/usr/bin/aplay", X_OK) == 0)
        return launch_process("/usr/bin/aplay", {bare_argument("-q"), path}, nullptr).exit_code ==
               0;
    return false;
}
