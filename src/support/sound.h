// Plays a sound file to its end, as the Read dialog plays the patient's speech recording: no
// default sound when the file is missing, no wait when the sound device is busy. False when
// nothing was played; callers ignore it, a missing sound is no failure of the read.
#pragma once

#include <string>

bool play_sound_file(const std::string& path);
