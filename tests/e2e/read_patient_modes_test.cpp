// The patient read modes on a folder copy of a card, as the calling application sees them: exit
// codes and the files delivered into the output folder.
#include "harness.h"

namespace {

namespace fs = std::filesystem;

class ReadPatientModes : public ::testing::Test {
  protected:
    // Default cards start at 10:15:20: 60 calibration seconds make an 80 s preamble.
    void make(const std::vector<std::string>& extra) {
        std::vector<std::string> options = {
            "--format=35",       "--duration=3m",    "--patient-name=Ann Example",
            "--patient-id=ID-7", "--event-text=ABC", "--event=30",
            "--event=75"};
        options.insert(options.end(), extra.begin(), extra.end());  // later options win
        ASSERT_TRUE(work.make(options));
    }
    bool delivered(const std::string& name) const { return fs::exists(work.out(name)); }
    std::vector<std::string> summary_lines() const {
        std::vector<std::string> lines;
        const std::string text = read_file(work.out("patsumm.dat"));
        for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }

    CardWork work;
};

}  // namespace

TEST_F(ReadPatientModes, CnavModeDeliversEverySideFileAndSucceeds) {
    make({"--speech=belongs"});
    // A read-only summary of an earlier read is replaced.
    fs::create_directory(work.out());
    write_file(work.out("patsumm.dat"), "older\r\n");
    fs::permissions(work.out("patsumm.dat"), fs::perms::owner_read);
    ASSERT_EQ(work.run("/readpat=cnav"), 0);
    EXPECT_EQ(read_file(work.out("patsumm.dat")),
              "Ann Example\r\nID-7\r\n14/05/2013 10:14:00\r\nPN100042\r\n1\r\n3\r\n-1\r\n"
              "14/05/2013 09:15:20\r\n\r\n");
    EXPECT_EQ(read_file(work.out("patient.wav")), read_file(work.card() + "/patient.wav"));
    EXPECT_EQ(read_file(work.out("cnav.dat")), read_file(work.card() + "/cnav.dat"));
    EXPECT_EQ(read_file(work.out("cnavop.dat")), std::string("ABC") + std::string(77, '\0'));
    EXPECT_EQ(read_file(work.out("event.dat")), "Version 1\r\n1 110\r\n1 155\r\n");
}

TEST_F(ReadPatientModes, PathAndScanModesReportTheChannelsWithoutCnavFiles) {
    make({"--speech=old"});
    for (const char* mode : {"/readpat=path", "/readpat=scan"}) {
        EXPECT_EQ(work.read(mode), 111) << mode;
        // No cnav files, and no patient.wav: the speech is an older recording's.
        EXPECT_EQ(file_names(work.out()), (std::vector<std::string>{"event.dat", "patsumm.dat"}))
            << mode;
    }
    EXPECT_EQ(run_kado("/readpat=status /ipdir=" + host_path(work.card()),
                       {{"XDG_CONFIG_HOME", work.path()}}),
              111);
}

TEST_F(ReadPatientModes, CardWithoutValidEcgStopsUnlessTheCallerAsksForThePatientAlone) {
    // The record lies behind the recording: the folder copy has no valid ECG.
    make({"--state=inconsistent"});
    EXPECT_EQ(work.read("/readpat=cnav"), 109);
    EXPECT_FALSE(delivered("patsumm.dat"));
    EXPECT_EQ(work.read("/readpat=corrie"), 111);
    const std::vector<std::string> lines = summary_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "");  // the patient data belongs to another recording
    EXPECT_EQ(lines[2], "");  // patient details only: no start, no length
    EXPECT_EQ(lines[6], "-1");
}

TEST_F(ReadPatientModes, PatientDataForTheNextRecordingIsNoValidEcg) {
    make({"--state=no-valid-ecg", "--speech=belongs"});
    EXPECT_EQ(work.read("/readpat=cnav"), 109);
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
        const std::string wav = read_file(work.card() + "/patient.wav");
        const std::string cnav = read_file(work.card() + "/cnav.dat");
        const std::string line = std::string(mode) + " /ipdir=" + host_path(work.card()) +
                                 " /dir=" + host_path(work.card());
        for (int run = 1; run <= 2; ++run) {
            SCOPED_TRACE(std::string(mode) + " run " + std::to_string(run));
            EXPECT_EQ(run_kado(line, {{"XDG_CONFIG_HOME", work.path()}}), code);
            EXPECT_EQ(read_file(work.card() + "/patient.wav"), wav);
            EXPECT_EQ(read_file(work.card() + "/cnav.dat"), cnav);
        }
    }
}

TEST_F(ReadPatientModes, IncompleteCopyOrLoaderFolderWithoutLoaderIsRefused) {
    make({});
    fs::remove(work.card() + "/cnav.dat");
    EXPECT_EQ(work.read("/readpat=path"), 103);
    make({});
    write_file(work.card() + "/source.LDSC", "x");
    EXPECT_EQ(work.read("/readpat=path"), 103);
    fs::remove(work.card() + "/ecg.dat");
    EXPECT_EQ(work.read("/readpat=path"), 124);  // a loader's folder, and no loader beside kado
}

TEST_F(ReadPatientModes, RecordingLengthLimitFromTheEnvironment) {
    make({"--format=2", "--duration=2h"});
    ASSERT_EQ(work.read("/readpat=path"), 111);
    const std::string unlimited = summary_lines().at(6);
    ASSERT_EQ(work.read("/readpat=path", {{"KADO_RECLEN_LIMIT", "1"}}), 111);
    EXPECT_NE(unlimited, "1");
    EXPECT_EQ(summary_lines().at(6), "1");
}
