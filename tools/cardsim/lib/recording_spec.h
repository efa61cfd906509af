// The description of one simulated card: the recording (format, times, segments, numbers,
// events, pacing, speech), the signal it is made from, and the deliberate faults that tests
// need. Filled from command-line options or a description file (recording_options.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cardsim/lib/block_encoder.h"
#include "cardsim/lib/civil_time.h"
#include "cardsim/lib/ecg_synth.h"

namespace cardsim {

struct Segment {
    int64_t seconds = 600;    // recorded length
    int64_t pause_after = 0;  // seconds between the end of this segment and the next start
};

// Which recording the configuration record's counters describe the card as holding.
enum class CardState { unread, read, inconsistent, no_valid_ecg };

enum class Speech { none, belongs, old };

struct ChannelAbsence {
    int channel = 0;   // 0-based
    int64_t from = 0;  // seconds from the recording start, inclusive
    int64_t to = 0;    // exclusive
};

struct BitFlip {
    uint32_t sector = 0;
    int bit = 0;  // 0..4095, bit b of byte b / 8
};

enum class StartDamage { none, checksum, format };

struct RecordingSpec {
    int format = 35;
    CivilTime start{};
    std::vector<Segment> segments{Segment{}};
    uint16_t recording_num = 4;
    uint8_t resume_type = 0x83;
    bool format_top_bit = false;

    CardState state = CardState::unread;
    std::optional<uint16_t> config_recording_num;
    std::optional<uint16_t> patient_data_num;
    std::optional<uint16_t> wav_recording_num;
    std::string patient_name = "Simulated Patient";
    std::string patient_id = "SIM-0001";
    std::string event_text = "Palpitations";
    std::string serial = "PN100042";
    uint16_t sw_version = 0x0214;
    Speech speech = Speech::none;
    std::string cnav_file;

    std::vector<double> events;    // seconds from the recording start
    int64_t seek_interval = 3600;  // seconds between seek points of the event table
    int64_t event_sector_interval = 6 * 3600;
    int aux_every = 256;  // 12-lead: an auxiliary sector after this many data sectors

    SynthSettings synth{};
    std::vector<std::string> sample_files;
    bool pace_pattern = false;
    std::vector<ChannelAbsence> absences;
    NibblePolicy nibbles{};

    std::vector<BitFlip> flips;
    StartDamage start_damage = StartDamage::none;
    std::vector<uint32_t> foreign_sectors;
    bool event_chain_loop = false;
    std::optional<uint64_t> truncate_bytes;
    uint64_t ecg_size = 0;  // pad ecg.dat with empty sectors up to this size

    bool conditioned = false;  // a freshly conditioned card instead of a recording
    uint64_t card_size = 1 << 20;
};

// One of the formats the recorder writes: 1, 2, 4, 5, 33, 34, 35, 48, 64 or 65.
bool is_valid_format(int format);

}  // namespace cardsim
