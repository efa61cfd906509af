// The patient read modes on a folder copy of a card, as the calling application sees them: exit
// codes and the files delivered into the output folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cardsim_runner.h"
#include "harness.h"

namespace {

class ReadPatientModes : public ::testing::Test {
  protected:
    // Default cards start at 10:15:20: 60 calibration seconds make an 80 s preamble.
    void make(const std::vector<std::string>& extra) {
        std::vector<std::string> options = {
            "--format=35",       "--duration=3m",    "--patient-name=Ann Example",
            "--patient-id=ID-7", "--event-text=ABC", "--event=30",
            "--event=75"};
        options.insert(options.end(), extra.begin(), extra.end());  // later options win
        std::filesystem::remove_all(card());
        ASSERT_TRUE(make_card(card(), "", options));
    }
    // Runs one mode on the card into a fresh output folder.
    int run(const std::string& mode_option) {
        std::filesystem::remove_all(out());
        std::filesystem::create_directory(out());
        return run_kado(mode_option + " /ipdir=" + host_path(card()) + " /dir=" + host_path(out()),
                        {{"XDG_CONFIG_HOME", m_work.path()}});
    }
    std::string card() const { return m_work / "card"; }
    std::string out() const { return m_work / "out"; }
    std::string out_file(const std::string& name) const { return out() + "/" + name; }
    bool delivered(const std::string& name) const {
        return std::filesystem::exists(out_file(name));
    }
    std::vector<std::string> summary_lines() const {
        std::vector<std::string> lines;
        const std::string text = read_file_text(out_file("patsumm.dat"));
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }

    TempDir m_work;
};

}  // namespace

TEST_F(ReadPatientModes, CnavModeDeliversEverySideFileAndSucceeds) {
    make({"--speech=belongs"});
    ASSERT_EQ(run("/readpat=cnav"), 0);
    const std::vector<std::string> lines = summary_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "Ann Example");
    EXPECT_EQ(lines[1], "ID-7");
    EXPECT_EQ(lines[2], "14/05/2013 10:14:00");
    EXPECT_EQ(lines[3], "PN100042");
    EXPECT_EQ(lines[4], "1");
    EXPECT_EQ(lines[5], "3");
    EXPECT_EQ(read_file_text(out_file("patient.wav")), read_file_text(card() + "/patient.wav"));
    EXPECT_EQ(read_file_text(out_file("cnav.dat")), read_file_text(card() + "/cnav.dat"));
    EXPECT_EQ(read_file_text(out_file("cnavop.dat")), std::string("ABC") + std::string(77, '\0'));
    EXPECT_EQ(read_file_text(out_file("event.dat")), "Version 1\r\n1 110\r\n1 155\r\n");
}

TEST_F(ReadPatientModes, PathAndScanModesReportTheChannelsWithoutCnavFiles) {
    make({"--speech=old"});
    for (const char* mode : {"/readpat=path", "/readpat=scan"}) {
        EXPECT_EQ(run(mode), 111) << mode;
        EXPECT_TRUE(delivered("patsumm.dat")) << mode;
        EXPECT_TRUE(delivered("event.dat")) << mode;
        EXPECT_FALSE(delivered("patient.wav")) << mode;  // the speech is an older recording's
        EXPECT_FALSE(delivered("cnav.dat")) << mode;
        EXPECT_FALSE(delivered("cnavop.dat")) << mode;
    }
    EXPECT_EQ(run_kado("/readpat=status /ipdir=" + host_path(card()),
                       {{"XDG_CONFIG_HOME", m_work.path()}}),
              111);
}

TEST_F(ReadPatientModes, CardWithoutValidEcgStopsUnlessTheCallerAsksForThePatientAlone) {
    // The record lies behind the recording: the folder copy has no valid ECG.
    make({"--state=inconsistent"});
    EXPECT_EQ(run("/readpat=cnav"), 109);
    EXPECT_FALSE(delivered("patsumm.dat"));
    EXPECT_EQ(run("/readpat=corrie"), 111);
    const std::vector<std::string> lines = summary_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "");  // the patient data belongs to another recording
    EXPECT_EQ(lines[2], "");  // patient details only: no start, no length
    EXPECT_EQ(lines[6], "-1");
}

TEST_F(ReadPatientModes, PatientDataForTheNextRecordingIsNoValidEcg) {
    make({"--state=no-valid-ecg", "--speech=belongs"});
    EXPECT_EQ(run("/readpat=cnav"), 109);
    ASSERT_TRUE(delivered("patsumm.dat"));
    EXPECT_EQ(summary_lines()[0], "Ann Example");
    EXPECT_FALSE(delivered("patient.wav"));
    EXPECT_FALSE(delivered("event.dat"));
}

// The card copy is its own output folder: the exports must not delete the files they copy from,
// and the copy reads again as before.
TEST_F(ReadPatientModes, ReadingACopyIntoItselfKeepsItsSideFiles) {
    for (const auto& [mode, code] : {std::pair{"/readpat=path", 111}, {"/readpat=cnav", 0}}) {
        make({"--speech=belongs"});
        const std::string wav = read_file_text(card() + "/patient.wav");
        const std::string cnav = read_file_text(card() + "/cnav.dat");
        const std::string line =
            std::string(mode) + " /ipdir=" + host_path(card()) + " /dir=" + host_path(card());
        for (int run = 1; run <= 2; ++run) {
            EXPECT_EQ(run_kado(line, {{"XDG_CONFIG_HOME", m_work.path()}}), code)
                << mode << " run " << run;
            EXPECT_EQ(read_file_text(card() + "/patient.wav"), wav) << mode << " run " << run;
            EXPECT_EQ(read_file_text(card() + "/cnav.dat"), cnav) << mode << " run " << run;
        }
    }
}

TEST_F(ReadPatientModes, IncompleteCopyOrLoaderFolderIsRefused) {
    make({});
    std::filesystem::remove(card() + "/cnav.dat");
    EXPECT_EQ(run("/readpat=path"), 103);
    make({});
    write_file_text(card() + "/source.LDSC", "x");
    EXPECT_EQ(run("/readpat=path"), 103);
    std::filesystem::remove(card() + "/ecg.dat");
    EXPECT_EQ(run("/readpat=path"), 103);  // a loader's folder; the loaders are not built
}

TEST_F(ReadPatientModes, RecordingLengthLimitFromTheEnvironment) {
    make({"--format=2", "--duration=2h"});
    std::filesystem::create_directory(out());
    const std::string line =
        "/readpat=path /ipdir=" + host_path(card()) + " /dir=" + host_path(out());
    ASSERT_EQ(run_kado(line, {{"XDG_CONFIG_HOME", m_work.path()}}), 111);
    const std::string unlimited = summary_lines().at(6);
    ASSERT_EQ(run_kado(line, {{"XDG_CONFIG_HOME", m_work.path()}, {"KADO_RECLEN_LIMIT", "1"}}),
              111);
    EXPECT_NE(unlimited, "1");
    EXPECT_EQ(summary_lines().at(6), "1");
}
