// Writes CEF archives for tests: members stored or packed, shifted channel words, further named
// files and the patient text, with switches that break the archive in one way each. The cefpack
// tool and the unit tests use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cefpack {

enum class Fault {
    kNone,
    kMagic,         // the magic's last letter differs
    kChecksum,      // the checksum misses by one bit
    kOddLength,     // three bytes more, checksum kept right: still a valid archive
    kPastEnd,       // PATEVENT.DAT claims more bytes than the file holds
    kEscapingName,  // a further file named "../escaped.txt"
    kLongName,      // a further file whose name length is 262
    kMissingNul,    // a further file's name without its terminating zero
    kHugeChannels,  // the header claims 0x7FFFFFFF channel members
    kShift16,       // the first channel's shift is 16
    kBadFlag,       // PATEVENT.DAT's compression flag is 2
};

struct Channel {
    std::string bytes;  // as the reader must restore them
    uint32_t parameter_a = 0;
    uint32_t parameter_b = 0;
};

struct FurtherFile {
    std::string name;
    std::string bytes;
};

struct Archive {
    std::string description = "cefpack test archive";
    uint32_t kind = 0;  // 13 for a 12-lead recording
    uint32_t parameter = 0;
    std::string patient_text;
    std::string patient_wav;
    std::string patevent;
    std::vector<Channel> channels;
    std::vector<FurtherFile> further_files;
    // Stored channel words are shifted right by this; the reader shifts them back, so the low
    // bits are lost.
    uint32_t shift = 0;
    bool pack = false;
    Fault fault = Fault::kNone;
};

std::string build_archive(const Archive& archive);

// The recording files of a folder: PATIENT.TXT, PATIENT.WAV, PATEVENT.DAT, the channel files of
// the kind, and every other file as a further file (the reader's generated files left out).
bool read_folder(const std::string& folder, Archive& archive, std::string& error);

bool parse_fault(const std::string& name, Fault& fault);

}  // namespace cefpack
