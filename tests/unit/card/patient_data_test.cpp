#include <gtest/gtest.h>

#include <filesystem>

#include "extract/test_card.h"
#include "io_fault_scope.h"
#include "support/file_utils.h"

namespace {

namespace fs = std::filesystem;

// A card whose record holds the counters and whose start sector holds recording 5.
CardFolder& write_card(CardFolder& card, uint16_t c = 6, uint16_t patient = 2, uint16_t wav = 2) {
    card.counters(c, patient, wav).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
    return card;
}

}  // namespace

// The exit codes of attached data, no start sector and the drives: CardDriveModes.ChangePatient...
// In the change-patient mode patient data not yet attached to a recording, or confirmed, is
// replaced, and the host's cnav.dat or else the empty form replaces the card's; a refused or
// failed change leaves record and cnav.dat as they were.
TEST(ChangePatient, ReplacesPatientDataThatIsNotYetAttachedOrWhenConfirmed) {
    const struct {
        const char* name;
        uint16_t patient_data_num;  // of a card whose record holds 6 and start sector 5
        bool confirmed;
        bool host_cnav;
        const char* fault;  // any:0 fails no step
        int expected;
    } cases[] = {
        {"AttachedConfirmed", 5, true, true, "any:0", 0},
        {"PreparedForNextRecording", 6, false, true, "any:0", 116},
        {"Older", 2, false, false, "any:0", 0},
        {"WriteFails", 2, false, true, "write:1", 105},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CardFolder card;
        write_card(card, 6, c.patient_data_num);
        TestFolder host;
        if (c.host_cnav) write_bytes(host / "cnav.dat", std::vector<uint8_t>(8192, 0xC7));
        const ConfigRecord before = record_in(card.path());
        CCFDisk& disk = card.disk;
        disk.m_run_mode = kModeChangePat;
        disk.m_host_folder = host.path();
        {
            const IoFaultScope scope(c.fault);
            EXPECT_EQ(disk.change_patient("Ann", "A1", "chest pain", c.confirmed), c.expected);
        }
        const ConfigRecord after = record_in(card.path());
        const uint8_t cnav = c.expected != 0 ? 0x5C : c.host_cnav ? 0xC7 : 0;
        EXPECT_EQ(read_bytes(card.file("cnav.dat")), std::vector<uint8_t>(8192, cnav));
        if (c.expected != 0) {
            EXPECT_EQ(after, before);
            continue;
        }
        EXPECT_EQ(after.change_marker, 0xA5);
        EXPECT_NE(after.change_time[4], 0);  // month 1-12
        EXPECT_EQ(after.patient_data_num, 5);
        EXPECT_EQ(field_text(after.patient_name), "Ann");
        EXPECT_EQ(field_text(after.event_text), "chest pain");
    }
}

// Initialising counts on, resets the speech recording, and gives the card the host's cnav.dat
// when the patient data is for the next recording, else the empty form; any failing step fails.
TEST(InitialiseRecord, CountsOnAndResetsTheSideFiles) {
    for (const bool has_patient : {true, false}) {
        CardFolder card;
        write_card(card, 5, 5, 5);
        TestFolder host;
        write_bytes(host / "cnav.dat", std::vector<uint8_t>(8192, 0xC7));
        const std::vector<uint8_t> ecg = read_bytes(card.file("ecg.dat"));
        CCFDisk& disk = card.disk;
        disk.m_run_mode = kModeWriteCnav;
        disk.m_host_folder = host.path();
        ASSERT_TRUE(disk.read_config());
        ASSERT_TRUE(disk.initialise_record(has_patient ? "Ann" : "", "", true, {7}, ""));
        const ConfigRecord after = record_in(card.path());
        EXPECT_EQ(after.recording_num, has_patient ? 6 : 7);
        EXPECT_EQ(after.patient_data_num, 6);
        EXPECT_EQ(after.fir_flag, 0x20);
        EXPECT_EQ(read_bytes(card.file("cnav.dat")),
                  std::vector<uint8_t>(8192, has_patient ? 0xC7 : 0));
        EXPECT_EQ(read_bytes(card.file("patient.wav"))[0], 'R');
        EXPECT_EQ(read_bytes(card.file("ecg.dat")), ecg);
    }
    for (const char* fault : {"write:1", "flush:1", "write:2", "create:3"}) {
        CardFolder card;
        CCFDisk& disk = write_card(card, 5, 5, 5).disk;
        ASSERT_TRUE(disk.read_config());
        const IoFaultScope scope(fault);
        EXPECT_FALSE(disk.initialise_record("Ann", "", false, {}, "")) << fault;
    }
}

// A card path that names a folder is no card to prepare: nothing is written.
TEST(InitialiseCard, AFolderPathIsLeftAlone) {
    CardFolder card;
    const std::vector<uint8_t> before = read_bytes(write_card(card).file("config.dat"));
    EXPECT_TRUE(card.disk.initialise_card("Ann", "", false, {}, "", false));
    EXPECT_EQ(read_bytes(card.file("config.dat")), before);
}

// A card file that is a link to a file elsewhere is never written through.
#if !defined(_WIN32)
TEST(PatientDataLinks, LinkedRecordOrCnavOutsideTheCardIsNeverWritten) {
    for (const char* name : {"config.dat", "cnav.dat"}) {
        CardFolder card;
        write_card(card);
        TestFolder outside;
        const std::vector<uint8_t> original = read_bytes(card.file(name));
        write_bytes(outside / "target", original);
        fs::remove(card.file(name));
        fs::create_symlink(outside / "target", card.file(name));
        CCFDisk& disk = card.disk;
        disk.m_run_mode = kModeChangePat;
        EXPECT_EQ(disk.change_patient("Ann", "A1", "", true), 105) << name;
        disk.read_config();
        EXPECT_FALSE(disk.initialise_record("Ann", "", false, {}, "")) << name;
        EXPECT_EQ(read_bytes(outside / "target"), original) << name;
    }
}
#endif
