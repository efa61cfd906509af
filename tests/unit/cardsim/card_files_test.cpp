#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "card/config_record.h"
#include "card/side_files.h"
#include "cardsim/lib/card_writer.h"
#include "format/crc16.h"
#include "format/start_sector.h"
#include "format/start_sector_reader.h"
#include "support/byte_order.h"
#include "test_folder.h"

namespace {

struct WrittenCard {
    ConfigRecord record;
    StartSector start;
    StartSectorSearch search;
};

WrittenCard write_and_decode(const cardsim::RecordingSpec& description, const TestFolder& folder) {
    cardsim::RecordingResult result;
    std::string error;
    EXPECT_TRUE(cardsim::write_card(description, folder.file("card"), "", result, error)) << error;
    WrittenCard card;
    const std::vector<uint8_t> config = read_bytes(folder.file("card") + "/config.dat");
    EXPECT_EQ(config.size(), kConfigRecordSize);
    card.record = decode_config_record(
        std::span<const uint8_t, kConfigRecordSize>(config.data(), kConfigRecordSize));
    Sector sector{};
    card.search = read_first_start_sector(Crc16Table(), folder.file("card"), sector);
    card.start = decode_start_sector(sector);
    return card;
}

cardsim::RecordingSpec short_recording() {
    cardsim::RecordingSpec description;
    description.format = 2;
    description.segments = {{10, 0}};
    description.recording_num = 9;
    return description;
}

}  // namespace

TEST(SimulatedCardFiles, StartSectorCarriesTheFieldsAskedFor) {
    TestFolder folder;
    cardsim::RecordingSpec description = short_recording();
    description.start = {2013, 2, 28, 23, 59, 58};
    description.serial = "AB12";
    description.sw_version = 0x0301;
    description.format_top_bit = true;
    description.segments = {{3 * 3600 + 1, 0}};
    const WrittenCard card = write_and_decode(description, folder);
    EXPECT_EQ(card.start.sector_format_num, 0x81);
    EXPECT_EQ(card.start.recording_format, 0x82);
    EXPECT_EQ(recording_format_of(card.start.recording_format), 2);
    EXPECT_EQ(card.start.recording_start_time, (TimeField{58, 59, 23, 28, 2, 13}));
    EXPECT_EQ(recorder_serial_text(card.start), "AB12");
    EXPECT_EQ(card.start.recorder_sw_ver, 0x0301);
    EXPECT_EQ(card.start.recording_length, 4);  // hours, rounded up
    EXPECT_EQ(field_text(card.record.patient_name), description.patient_name);
}

TEST(SimulatedCardFiles, EventTableFormatsKeepNoLengthAndDamageIsSeen) {
    TestFolder folder;
    cardsim::RecordingSpec description = short_recording();
    description.format = 35;
    description.start_damage = cardsim::StartDamage::checksum;
    const WrittenCard card = write_and_decode(description, folder);
    EXPECT_TRUE(card.search.found);
    EXPECT_FALSE(card.search.checksum_good);

    TestFolder other;
    description.start_damage = cardsim::StartDamage::format;
    const WrittenCard bad_format = write_and_decode(description, other);
    EXPECT_TRUE(bad_format.search.checksum_good);
    EXPECT_EQ(channels_of_format(bad_format.start.recording_format), 0);
    EXPECT_EQ(bad_format.start.recording_length, kNoRecordingLength);
}

TEST(SimulatedCardFiles, PatientWavHasTheHeaderOfTheEmptyFormWithOrWithoutSpeech) {
    TestFolder empty;
    ASSERT_TRUE(write_empty_wav(empty.path()));
    const std::vector<uint8_t> header = read_bytes(empty / "patient.wav");
    for (cardsim::Speech speech : {cardsim::Speech::none, cardsim::Speech::belongs}) {
        TestFolder folder;
        cardsim::RecordingSpec description = short_recording();
        description.speech = speech;
        write_and_decode(description, folder);
        const std::vector<uint8_t> wav = read_bytes(folder.file("card") + "/patient.wav");
        ASSERT_EQ(wav.size(), 65536u);
        EXPECT_TRUE(std::equal(wav.begin(), wav.begin() + 58, header.begin()));
        EXPECT_EQ(wav[1000] != 0, speech == cardsim::Speech::belongs);
        EXPECT_EQ(read_bytes(folder.file("card") + "/cnav.dat"), std::vector<uint8_t>(8192, 0));
    }
}

TEST(SimulatedCardFiles, ConditionedCardHoldsTheEmptyStartSectorOfRecordingOne) {
    TestFolder folder;
    cardsim::RecordingSpec description;
    description.conditioned = true;
    description.patient_name.clear();
    description.patient_id.clear();
    description.card_size = 100 * 512 + 100;
    const WrittenCard card = write_and_decode(description, folder);
    EXPECT_EQ(card.record.recording_num, 3);
    EXPECT_EQ(card.record.patient_data_num, 2);
    EXPECT_EQ(card.record.wav_recording_num, 2);
    const std::vector<uint8_t> ecg = read_bytes(folder.file("card") + "/ecg.dat");
    ASSERT_EQ(ecg.size(), 100u * 512);
    std::vector<uint8_t> first(512, 0);
    first[0] = 0x81;
    first[1] = 1;
    EXPECT_TRUE(std::equal(first.begin(), first.end(), ecg.begin()));
    EXPECT_TRUE(std::all_of(ecg.begin() + 512, ecg.end(), [](uint8_t b) { return b == 0; }));
}
