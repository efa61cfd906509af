// Recognising a folder that already holds an unpacked recording (the file set a CEF archive
// unpacks into) and counting its ECG channels, for the search of the CEF input.
#pragma once

#include <cstdint>
#include <string>

// True when the folder holds PATIENT.WAV, PATEVENT.DAT, RAWECG1.DAT, PATIENT.TXT and
// PATSUMM.DAT, or CEFDESC.TXT, RAWECG1.DAT and PATIENT.TXT, each as a file.
bool is_unpacked_recording(const std::string& folder);

// 3, 2 or 1 by the first of RAWECG3.DAT, RAWECG2.DAT, RAWECG1.DAT that holds any bytes; else 0.
int folder_channel_count(const std::string& folder);

// The whole length of a file (raw channel files may pass 4 GiB); 0 when it is no file.
uint64_t file_length(const std::string& path);
