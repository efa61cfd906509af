#include "cardsim/lib/recording_options.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <functional>
#include <sstream>

#include "format/sector_types.h"

namespace cardsim {
namespace {

using Handler = std::function<bool(const std::string& value, ToolRequest& request)>;

struct Option {
    const char* name;
    const char* value;  // what the value looks like; empty for a flag
    const char* help;
    Handler apply;
};

template <typename T>
bool parse_number(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

bool parse_real(const std::string& text, double& out) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> out;
    return !in.fail() && in.eof();
}

// A duration: a whole number with an optional unit s, m, h or d.
bool parse_duration(const std::string& text, int64_t& seconds) {
    if (text.empty()) return false;
    int64_t unit = 1;
    std::string digits = text;
    switch (text.back()) {
        case 's':
            digits.pop_back();
            break;
        case 'm':
            unit = 60;
            digits.pop_back();
            break;
        case 'h':
            unit = 3600;
            digits.pop_back();
            break;
        case 'd':
            unit = 86400;
            digits.pop_back();
            break;
        default:
            break;
    }
    const bool negative = !digits.empty() && digits.front() == '-';
    int64_t n = 0;
    if (!parse_number(negative ? digits.substr(1) : digits, n)) return false;
    seconds = (negative ? -n : n) * unit;
    return true;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

template <typename T>
Handler number_into(T RecordingSpec::*field) {
    return [field](const std::string& v, ToolRequest& r) {
        return parse_number(v, r.description.*field);
    };
}

template <typename T>
Handler optional_number_into(std::optional<T> RecordingSpec::*field) {
    return [field](const std::string& v, ToolRequest& r) {
        T n{};
        if (!parse_number(v, n)) return false;
        r.description.*field = n;
        return true;
    };
}

Handler real_into(double SynthSettings::*field) {
    return [field](const std::string& v, ToolRequest& r) {
        return parse_real(v, r.description.synth.*field);
    };
}

Handler text_into(std::string RecordingSpec::*field) {
    return [field](const std::string& v, ToolRequest& r) {
        r.description.*field = v;
        return true;
    };
}

Handler duration_into(int64_t RecordingSpec::*field) {
    return [field](const std::string& v, ToolRequest& r) {
        return parse_duration(v, r.description.*field);
    };
}

bool parse_segments(const std::string& value, ToolRequest& r) {
    const auto parts = split(value, ',');
    if (parts.size() % 2 == 0) return false;
    r.description.segments.clear();
    for (size_t i = 0; i < parts.size(); i += 2) {
        Segment segment;
        if (!parse_duration(parts[i], segment.seconds) || segment.seconds <= 0) return false;
        if (i + 1 < parts.size() && !parse_duration(parts[i + 1], segment.pause_after))
            return false;
        r.description.segments.push_back(segment);
    }
    return true;
}

bool parse_choice(const std::string& value, const std::vector<std::string>& names, int& index) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == value) {
            index = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

const std::vector<Option>& options();

// The text in lines of at most 96 columns, each led by `indent`.
std::string wrapped(const std::string& text, const std::string& indent) {
    constexpr size_t kWidth = 96;
    std::string out;
    std::string line = indent;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (line.size() > indent.size() && line.size() + 1 + word.size() > kWidth) {
            out += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + word;
    }
    return out + line + "\n";
}

bool apply_option(const std::string& name, const std::string& value, bool has_value,
                  ToolRequest& request, std::string& error, int depth);

bool apply_description_file(const std::string& path, ToolRequest& request, std::string& error,
                            int depth) {
    // A description file may name another; a loop of them is refused rather than followed.
    if (depth > 8) {
        error = "description files nest too deeply: " + path;
        return false;
    }
    std::ifstream in(path);
    if (!in) {
        error = "cannot read the description file " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        const size_t eq = line.find('=');
        const std::string name = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : line.substr(eq + 1);
        if (!apply_option(name, value, eq != std::string::npos, request, error, depth + 1))
            return false;
    }
    return true;
}

const std::vector<Option>& options() {
    static const std::vector<Option> table{
        {"card", "FOLDER", "write the card's files into FOLDER (created when missing)",
         [](const std::string& v, ToolRequest& r) {
             r.card_folder = v;
             return !v.empty();
         }},
        {"drive", "X:", "write the card into the root of drive X: and label it VNT_CFR",
         [](const std::string& v, ToolRequest& r) {
             r.drive = v;
             return v.size() == 2 && v[1] == ':' && std::isalpha(static_cast<unsigned char>(v[0]));
         }},
        {"intended", "FOLDER", "write what a correct reader recovers into FOLDER (layout below)",
         [](const std::string& v, ToolRequest& r) {
             r.intended_folder = v;
             return !v.empty();
         }},
        {"describe", "FILE",
         "read further options from FILE: one name=value (or flag name) per line, # comments",
         nullptr},
        {"help", "", "show this text",
         [](const std::string&, ToolRequest& r) {
             r.help = true;
             return true;
         }},

        {"format", "N", "recording format 1, 2, 4, 5, 33, 34, 35, 48, 64 or 65 (default 35)",
         [](const std::string& v, ToolRequest& r) {
             return parse_number(v, r.description.format) && is_valid_format(r.description.format);
         }},
        {"start", "YYYY-MM-DD HH:MM:SS", "recording start time (default 2013-05-14 10:15:20)",
         [](const std::string& v, ToolRequest& r) {
             const auto t = parse_civil_time(v);
             if (t) r.description.start = *t;
             return t.has_value();
         }},
        {"duration", "D",
         "length of a one-segment recording; D is a number with s, m, h or d (default 10m)",
         [](const std::string& v, ToolRequest& r) {
             Segment segment;
             if (!parse_duration(v, segment.seconds) || segment.seconds <= 0) return false;
             r.description.segments = {segment};
             return true;
         }},
        {"segments", "D,P,D,...",
         "recorded lengths separated by pauses; each later segment starts with a resuming start "
         "sector "
         "(a negative pause makes the resumed time inconsistent)",
         parse_segments},
        {"recording-num", "N", "recording number of the start and data sectors (default 4)",
         number_into(&RecordingSpec::recording_num)},
        {"resume-type", "82|83", "type of the resuming start sectors (default 83)",
         [](const std::string& v, ToolRequest& r) {
             if (v == "82" || v == "83") r.description.resume_type = v == "82" ? 0x82 : 0x83;
             return v == "82" || v == "83";
         }},
        {"format-top-bit", "",
         "set the top bit of the start sector's format byte, which is not part of the format",
         [](const std::string&, ToolRequest& r) {
             r.description.format_top_bit = true;
             return true;
         }},
        {"state", "unread|read|inconsistent|no-valid-ecg",
         "what config.dat's counters say about the recording (default unread)",
         [](const std::string& v, ToolRequest& r) {
             int i = 0;
             if (!parse_choice(v, {"unread", "read", "inconsistent", "no-valid-ecg"}, i))
                 return false;
             r.description.state = static_cast<CardState>(i);
             return true;
         }},
        {"config-recording-num", "N", "recording_num of config.dat, overriding --state",
         optional_number_into(&RecordingSpec::config_recording_num)},
        {"patient-data-num", "N", "patient_data_num of config.dat, overriding --state",
         optional_number_into(&RecordingSpec::patient_data_num)},
        {"wav-recording-num", "N", "wav_recording_num of config.dat, overriding --speech",
         optional_number_into(&RecordingSpec::wav_recording_num)},
        {"patient-name", "TEXT", "patient name in config.dat",
         text_into(&RecordingSpec::patient_name)},
        {"patient-id", "TEXT", "patient identifier in config.dat",
         text_into(&RecordingSpec::patient_id)},
        {"event-text", "TEXT", "event text in config.dat", text_into(&RecordingSpec::event_text)},
        {"serial", "TEXT", "recorder serial number, up to 8 characters (default PN100042)",
         [](const std::string& v, ToolRequest& r) {
             r.description.serial = v;
             return v.size() <= 8;
         }},
        {"sw-version", "HEX", "recorder software version (default 0214)",
         [](const std::string& v, ToolRequest& r) {
             const auto [ptr, ec] =
                 std::from_chars(v.data(), v.data() + v.size(), r.description.sw_version, 16);
             return ec == std::errc() && ptr == v.data() + v.size();
         }},
        {"speech", "none|belongs|old",
         "patient.wav: empty, a speech recording of this recording, or one of an earlier recording",
         [](const std::string& v, ToolRequest& r) {
             int i = 0;
             if (!parse_choice(v, {"none", "belongs", "old"}, i)) return false;
             r.description.speech = static_cast<Speech>(i);
             return true;
         }},
        {"cnav", "FILE", "copy FILE as cnav.dat (default: 8192 zero bytes)",
         text_into(&RecordingSpec::cnav_file)},
        {"event", "SECONDS", "a patient event at this time from the recording start (repeatable)",
         [](const std::string& v, ToolRequest& r) {
             double t = 0;
             if (!parse_real(v, t) || t < 0) return false;
             r.description.events.push_back(t);
             return true;
         }},
        {"seek-interval", "D",
         "time between seek points of the event table (default 1h; 0 for none)",
         duration_into(&RecordingSpec::seek_interval)},
        {"event-sector-interval", "D",
         "time between the event sectors among the data (default 6h; 0 for none)",
         duration_into(&RecordingSpec::event_sector_interval)},
        {"aux-every", "N",
         "12-lead: an auxiliary 0x41 sector after every N data sectors (default 256; 0 for none)",
         number_into(&RecordingSpec::aux_every)},

        {"seed", "N", "seed of the synthetic ECG (default 1)",
         [](const std::string& v, ToolRequest& r) {
             return parse_number(v, r.description.synth.seed);
         }},
        {"heart-rate", "BPM", "mean heart rate (default 70)",
         real_into(&SynthSettings::heart_rate)},
        {"variability", "FRACTION", "beat-to-beat variability (default 0.04)",
         real_into(&SynthSettings::variability)},
        {"wander", "MV", "baseline wander amplitude in millivolts (default 0.15)",
         real_into(&SynthSettings::wander_mv)},
        {"noise", "UV", "noise in microvolts (default 12)", real_into(&SynthSettings::noise_uv)},
        {"artifacts", "FRACTION", "share of the time with motion artifacts (default 0.02)",
         real_into(&SynthSettings::artifacts)},
        {"ectopic", "FRACTION", "share of premature ventricular beats (default 0)",
         real_into(&SynthSettings::ectopic)},
        {"amplitude", "FACTOR", "scale of the ECG waves (default 1)",
         real_into(&SynthSettings::amplitude)},
        {"pacing", "BPM", "paced rhythm with a detected pacemaker spike before every beat",
         real_into(&SynthSettings::pacing_rate)},
        {"dual-chamber", "", "paced beats also get an atrial spike",
         [](const std::string&, ToolRequest& r) {
             r.description.synth.dual_chamber = true;
             return true;
         }},
        {"pace-pattern", "",
         "replace the detected pulses by a 12-second test pattern of every pace-list form",
         [](const std::string&, ToolRequest& r) {
             r.description.pace_pattern = true;
             return true;
         }},
        {"samples", "FILE[,FILE...]",
         "take the signal from raw signed 16-bit little-endian files at 128 samples per second, "
         "one per channel "
         "(12-bit formats keep the top 12 bits of value + 32768; 12-lead keeps the value); files "
         "repeat when they run out",
         [](const std::string& v, ToolRequest& r) {
             r.description.sample_files = split(v, ',');
             return !v.empty();
         }},
        {"absent", "CH:FROM:TO",
         "compressed formats: channel CH (1-3) absent from second FROM to TO (repeatable)",
         [](const std::string& v, ToolRequest& r) {
             const auto parts = split(v, ':');
             ChannelAbsence a;
             if (parts.size() != 3 || !parse_number(parts[0], a.channel) || a.channel < 1 ||
                 a.channel > 3 || !parse_duration(parts[1], a.from) ||
                 !parse_duration(parts[2], a.to)) {
                 return false;
             }
             --a.channel;
             r.description.absences.push_back(a);
             return true;
         }},
        {"nibble-type", "auto|cycle|0..7",
         "compressed formats: choose each block's nibble type by cost, rotate through all eight, "
         "or use one",
         [](const std::string& v, ToolRequest& r) {
             if (v == "auto" || v == "cycle") {
                 r.description.nibbles.choice =
                     v == "auto" ? NibblePolicy::Choice::automatic : NibblePolicy::Choice::cycle;
                 return true;
             }
             r.description.nibbles.choice = NibblePolicy::Choice::fixed;
             return parse_number(v, r.description.nibbles.fixed_type) &&
                    r.description.nibbles.fixed_type >= 0 && r.description.nibbles.fixed_type <= 7;
         }},

        {"flip-bit", "SECTOR:BIT",
         "fault: flip bit BIT (0-4095) of sector SECTOR after sealing (repeatable)",
         [](const std::string& v, ToolRequest& r) {
             const auto parts = split(v, ':');
             BitFlip f;
             if (parts.size() != 2 || !parse_number(parts[0], f.sector) ||
                 !parse_number(parts[1], f.bit) || f.bit < 0 || f.bit > 4095) {
                 return false;
             }
             r.description.flips.push_back(f);
             return true;
         }},
        {"damage-start", "checksum|format",
         "fault: the first start sector fails its checksum, or carries format 0",
         [](const std::string& v, ToolRequest& r) {
             int i = 0;
             if (!parse_choice(v, {"checksum", "format"}, i)) return false;
             r.description.start_damage = i == 0 ? StartDamage::checksum : StartDamage::format;
             return true;
         }},
        {"foreign-sector", "SECTOR",
         "fault: sector SECTOR carries the previous recording number (repeatable)",
         [](const std::string& v, ToolRequest& r) {
             uint32_t n = 0;
             if (!parse_number(v, n)) return false;
             r.description.foreign_sectors.push_back(n);
             return true;
         }},
        {"event-chain-loop", "", "fault: the event table's last sector continues at its first",
         [](const std::string&, ToolRequest& r) {
             r.description.event_chain_loop = true;
             return true;
         }},
        {"truncate-ecg", "BYTES", "fault: cut ecg.dat to BYTES bytes",
         [](const std::string& v, ToolRequest& r) {
             uint64_t n = 0;
             if (!parse_number(v, n)) return false;
             r.description.truncate_bytes = n;
             return true;
         }},
        {"ecg-size", "BYTES",
         "pad ecg.dat with empty sectors up to BYTES, as a preallocated card holds it",
         number_into(&RecordingSpec::ecg_size)},

        {"conditioned", "", "write a freshly conditioned card instead of a recording",
         [](const std::string&, ToolRequest& r) {
             r.description.conditioned = true;
             return true;
         }},
        {"card-size", "BYTES", "size of a conditioned card's ecg.dat (default 1048576)",
         number_into(&RecordingSpec::card_size)},
    };
    return table;
}

bool apply_option(const std::string& name, const std::string& value, bool has_value,
                  ToolRequest& request, std::string& error, int depth) {
    if (name == "describe") {
        return has_value ? apply_description_file(value, request, error, depth)
                         : (error = "--describe needs a file", false);
    }
    for (const Option& option : options()) {
        if (name != option.name) continue;
        const bool flag = option.value[0] == '\0';
        if (flag == has_value || !option.apply(value, request)) {
            error = flag ? "--" + name + " takes no value" : "bad value for --" + name;
            if (!flag) error.append(": ").append(value);
            return false;
        }
        return true;
    }
    error = "unknown option --" + name;
    return false;
}

}  // namespace

bool is_valid_format(int format) {
    return format > 0 && format < 0x80 && format != 3 &&
           channels_of_format(static_cast<uint8_t>(format)) != 0;
}

bool parse_arguments(const std::vector<std::string>& args, ToolRequest& request,
                     std::string& error) {
    for (const std::string& arg : args) {
        if (arg.rfind("--", 0) != 0) {
            error = "not an option: " + arg;
            return false;
        }
        const size_t eq = arg.find('=');
        const std::string name =
            arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        const std::string value = eq == std::string::npos ? "" : arg.substr(eq + 1);
        if (!apply_option(name, value, eq != std::string::npos, request, error, 0)) return false;
    }
    return true;
}

std::string help_text() {
    std::ostringstream out;
    out << "cardsim: writes a CompactFlash card as the Pulsenote CF recorder writes it, and beside "
           "it\n"
           "what a correct reader must recover.\n\n"
           "usage: cardsim --card=FOLDER|--drive=X: [--intended=FOLDER] [options]\n\n";
    for (const Option& option : options()) {
        std::string head = std::string("  --") + option.name;
        if (option.value[0] != '\0') head += std::string("=") + option.value;
        out << head << "\n" << wrapped(option.help, "      ");
    }
    out << "\nThe card: config.dat, ecg.dat, cnav.dat and patient.wav. ecg.dat holds the start "
           "sector,\n"
           "the data sectors of each segment, the event sectors of the event-table formats (33, "
           "34, 35,\n"
           "48, 64, 65: the table's head right after the first start sector), and one empty sector "
           "that\n"
           "ends the recording. Faults are applied to ecg.dat last; the intended output describes "
           "the\n"
           "recording without them.\n\n"
           "The intended output (--intended), on the recording's own time axis at 128 samples per\n"
           "second, before any calibration preamble, skip or duration limit:\n"
           "  channel1.dat .. channelN.dat   (1 to 3 channels) one little-endian 16-bit word per "
           "time\n"
           "      point: bits 0-11 the sample value (1..4095; 10-bit formats as value x 4), bit 12 "
           "a\n"
           "      pacemaker pulse, bit 15 the pacing window (the pulse and the 22 time points "
           "after it,\n"
           "      never across a pause); bits 12 and 15 are the same on every channel. A word of 0 "
           "is a\n"
           "      pause between segments; a channel declared absent in a block has value bits 0 "
           "with\n"
           "      the time point's pacing bits. A pause lasts as many whole seconds as the "
           "reader's\n"
           "      clock counts, so after 1.5-s sectors it can be half a second shorter than the "
           "times\n"
           "      in the start sectors say. Format 33 has channel1.dat only.\n"
           "  lead1.dat .. lead8.dat   (12-lead) the signed 16-bit samples of leads I, II, V1..V6 "
           "as\n"
           "      stored, 0x8000 for a pause.\n"
           "  pace.dat   (12-lead) one little-endian 32-bit time-point index per detected pulse.\n"
           "  events.txt   one patient event per line, seconds from the recording start with two\n"
           "      decimals: the start of the sector that carries the event bit, or the whole "
           "second of\n"
           "      the event-table record.\n"
           "  other.dat   what a read without skip that runs to the end of the recording keeps "
           "in\n"
           "      other.dat, in the order of ecg.dat: every start sector (512 bytes, plain), the "
           "first 32\n"
           "      plain bytes of every uncompressed and 12-lead data sector, every event sector "
           "(512\n"
           "      bytes as stored); nothing of compressed, auxiliary or end sectors.\n";
    return out.str();
}

}  // namespace cardsim
