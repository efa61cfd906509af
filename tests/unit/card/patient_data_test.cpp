#include <gtest/gtest.h>

#include <filesystem>

#include "extract/test_card.h"
#include "io_fault_scope.h"
#include "support/file_utils.h"

namespace {

namespace fs = std::filesystem;

ConfigRecord config_in(const CardFolder& card) {
    CCFDisk disk;
    card.attach(disk);
    disk.read_config();
    return disk.m_config_dat;
}

struct ChangeCase {
    const char* name;
    uint16_t patient_data_num;  // of a card whose record holds 6 and whose start sector 5
    bool confirmed;
    int expected;
};

}  // namespace

TEST(ChangePatient, ReplacesPatientDataThatIsNotYetAttachedOrWhenConfirmed) {
    const ChangeCase cases[] = {{"Attached", 5, false, 116},
                                {"AttachedConfirmed", 5, true, 0},
                                {"PreparedForNextRecording", 6, false, 116},
                                {"Older", 2, false, 0}};
    for (const ChangeCase& c : cases) {
        CardFolder card;
        card.counters(6, c.patient_data_num, 2)
            .write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
        const ConfigRecord before = config_in(card);
        CCFDisk disk;
        card.attach(disk);
        EXPECT_EQ(disk.change_patient("Ann", "A1", "chest pain", c.confirmed), c.expected)
            << c.name;
        const ConfigRecord after = config_in(card);
        if (c.expected != 0) {
            EXPECT_EQ(after, before) << c.name;
            continue;
        }
        EXPECT_EQ(after.change_marker, 0xA5) << c.name;
        EXPECT_NE(after.change_time[4], 0) << c.name;  // month 1-12
        EXPECT_EQ(after.patient_data_num, 5) << c.name;
        EXPECT_EQ(field_text(after.patient_name), "Ann") << c.name;
        EXPECT_EQ(field_text(after.event_text), "chest pain") << c.name;
    }
}

// Without a start sector there is no recording number to attach the patient data to.
TEST(ChangePatient, WithoutAStartSectorLeavesTheCardUntouched) {
    CardFolder card;
    card.counters(6, 2, 2).write({});
    const std::vector<uint8_t> before = read_bytes(card.file("config.dat"));
    CCFDisk disk;
    disk.m_run_mode = kModeChangePat;
    card.attach(disk);
    EXPECT_EQ(disk.change_patient("Ann", "A1", "", true), 108);
    EXPECT_EQ(read_bytes(card.file("config.dat")), before);
    EXPECT_EQ(read_bytes(card.file("cnav.dat")), std::vector<uint8_t>(8192, 0x5C));
}

// In the change-patient mode the host's cnav.dat replaces the card's, or the empty form does;
// a read-only record stays read-only; a failing write is 105 with the old record kept.
TEST(ChangePatient, RewritesCnavAndTheRecordInPlace) {
    for (const bool host_has_cnav : {true, false}) {
        CardFolder card;
        card.counters(6, 2, 2).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
        set_read_only(card.file("config.dat"));
        TestFolder host;
        if (host_has_cnav) write_bytes(host / "cnav.dat", std::vector<uint8_t>(8192, 0xC7));
        CCFDisk disk;
        disk.m_run_mode = kModeChangePat;
        disk.m_host_folder = host.path();
        card.attach(disk);
        EXPECT_EQ(disk.change_patient("Ann", "A1", "", false), 0);
        EXPECT_TRUE(is_read_only(card.file("config.dat")));
        EXPECT_EQ(read_bytes(card.file("cnav.dat")),
                  std::vector<uint8_t>(8192, host_has_cnav ? 0xC7 : 0));
        clear_read_only(card.file("config.dat"));
    }
    CardFolder card;
    card.counters(6, 2, 2).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
    const std::vector<uint8_t> before = read_bytes(card.file("config.dat"));
    CCFDisk disk;
    card.attach(disk);
    const IoFaultScope scope("write:1");
    EXPECT_EQ(disk.change_patient("Ann", "A1", "", false), 105);
    EXPECT_EQ(read_bytes(card.file("config.dat")), before);
}

// Initialising counts on, resets the speech recording, and gives the card the host's cnav.dat
// when the patient data is for the next recording, else the empty form.
TEST(InitialiseRecord, CountsOnAndResetsTheSideFiles) {
    const struct {
        const char* name;
        bool has_patient;
        uint16_t recording_num;
        uint16_t patient_data_num;
        uint8_t cnav_byte;
    } cases[] = {{"Patient", true, 6, 6, 0xC7}, {"NoPatient", false, 7, 6, 0}};
    for (const auto& c : cases) {
        CardFolder card;
        card.counters(5, 5, 5).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
        TestFolder host;
        write_bytes(host / "cnav.dat", std::vector<uint8_t>(8192, 0xC7));
        const std::vector<uint8_t> ecg = read_bytes(card.file("ecg.dat"));
        CCFDisk disk;
        disk.m_run_mode = kModeWriteCnav;
        disk.m_host_folder = host.path();
        card.attach(disk);
        ASSERT_TRUE(disk.read_config());
        ASSERT_TRUE(disk.initialise_record(c.has_patient ? "Ann" : "", "", true, {7}, ""))
            << c.name;
        const ConfigRecord after = config_in(card);
        EXPECT_EQ(after.recording_num, c.recording_num) << c.name;
        EXPECT_EQ(after.patient_data_num, c.patient_data_num) << c.name;
        EXPECT_EQ(after.fir_flag, 0x20) << c.name;
        EXPECT_EQ(read_bytes(card.file("cnav.dat")), std::vector<uint8_t>(8192, c.cnav_byte))
            << c.name;
        EXPECT_EQ(read_bytes(card.file("patient.wav"))[0], 'R') << c.name;
        EXPECT_EQ(read_bytes(card.file("ecg.dat")), ecg) << c.name;
    }
    for (const char* fault : {"write:1", "flush:1", "write:2", "create:3"}) {
        CardFolder card;
        card.counters(5, 5, 5).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
        CCFDisk disk;
        card.attach(disk);
        ASSERT_TRUE(disk.read_config());
        const IoFaultScope scope(fault);
        EXPECT_FALSE(disk.initialise_record("Ann", "", false, {}, "")) << fault;
    }
}

// A card path that names a folder is no card to prepare: nothing is written.
TEST(InitialiseCard, AFolderPathIsLeftAlone) {
    CardFolder card;
    card.counters(5, 5, 5).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
    const std::vector<uint8_t> before = read_bytes(card.file("config.dat"));
    CCFDisk disk;
    card.attach(disk);
    EXPECT_TRUE(disk.initialise_card("Ann", "", false, {}, "", false));
    EXPECT_EQ(read_bytes(card.file("config.dat")), before);
}

// A card file that is a link to a file elsewhere is never written through.
#if !defined(_WIN32)
TEST(PatientDataLinks, LinkedRecordOrCnavOutsideTheCardIsNeverWritten) {
    for (const char* name : {"config.dat", "cnav.dat"}) {
        CardFolder card;
        card.counters(6, 2, 2).write({start_sector(35, kStart_2013_05_14_10_15_20, 5)});
        TestFolder outside;
        const std::vector<uint8_t> original = read_bytes(card.file(name));
        write_bytes(outside / "target", original);
        fs::remove(card.file(name));
        fs::create_symlink(outside / "target", card.file(name));
        CCFDisk disk;
        disk.m_run_mode = kModeChangePat;
        card.attach(disk);
        EXPECT_EQ(disk.change_patient("Ann", "A1", "", true), 105) << name;
        disk.read_config();
        EXPECT_FALSE(disk.initialise_record("Ann", "", false, {}, "")) << name;
        EXPECT_EQ(read_bytes(outside / "target"), original) << name;
    }
}
#endif
