// Fuzzes the configuration record: decoding and encoding, the text fields, and CCFDisk::read_config
// on a config.dat of the input's bytes, whatever its length. The record is read and written back
// whole, so every byte the program does not interpret must survive a round trip.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "card/ccf_disk.h"
#include "card/char_set.h"
#include "card/config_record.h"
#include "fuzz_scratch.h"
#include "support/file_utils.h"

namespace {

using RecordBytes = std::array<uint8_t, kConfigRecordSize>;

RecordBytes encoded(const ConfigRecord& record) {
    RecordBytes bytes;
    encode_config_record(record, bytes);
    return bytes;
}

void check_text_field(std::span<uint8_t> field) {
    const std::string text = field_text(field);
    fuzz::require(text.size() <= field.size(), "field text runs past its field");
    fuzz::require(reverse_rtl_runs(reverse_rtl_runs(text)) == text,
                  "the visual-order transform is not its own inverse");
    fuzz::require(reverse_rtl_runs(text).size() == text.size(), "visual order changes the length");
    // Storing keeps the beginning of the text and always leaves room for the NUL.
    std::array<uint8_t, kPatientNameWidth> stored{};
    const auto target = std::span(stored).first(field.size());
    store_field_text(target, text + text, false);
    const std::string back = field_text(target);
    fuzz::require(back.size() < field.size(), "a stored text fills its whole field");
    fuzz::require((text + text).starts_with(back), "storing does not keep the text's beginning");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::ScratchFolder scratch("config");
    static const std::string card = scratch.folder("card");

    RecordBytes bytes{};
    std::copy_n(data, std::min(size, bytes.size()), bytes.begin());
    ConfigRecord record = decode_config_record(bytes);
    fuzz::require(encoded(record) == bytes, "decode then encode changes the record's bytes");
    check_text_field(record.patient_name);
    check_text_field(record.patient_id);
    check_text_field(record.event_text);

    // A short config.dat replaces only the bytes it has; the rest keep the record held before.
    CCFDisk disk;
    disk.set_card_path(card);
    RecordBytes before;
    for (size_t i = 0; i < before.size(); ++i)
        before[i] = static_cast<uint8_t>(i * 7 + 3);
    disk.m_config_dat = decode_config_record(before);
    fuzz::write_bytes(join_path(card, "config.dat"), data, size);
    fuzz::require(disk.read_config(), "an existing config.dat cannot be read");
    RecordBytes expected = before;
    std::copy_n(data, std::min(size, expected.size()), expected.begin());
    fuzz::require(encoded(disk.m_config_dat) == expected, "read_config keeps the wrong bytes");
    return 0;
}
