// The EDF+ export and the overview page, checked by readers that are not ours: EDFlib reads the
// header, samples and annotations back, BioSig's save2gdf converts every file, xmllint parses the
// page and rsvg-convert draws its strips. Each export is compared with an archive read of the same
// card: the EDF+ samples are the raw words' 12-bit values.
#include <edflib.h>

#include <fstream>

#include "harness.h"

namespace {

constexpr int kSamplesPerRecord = 128;

struct ArchiveRead {
    std::vector<std::vector<uint16_t>> channels;
    std::vector<int64_t> events;  // in time points
};

ArchiveRead read_archive(CardWork& work, int channels, const std::string& options = "") {
    EXPECT_EQ(work.read("/readecg=hide /opformat=archive /duration=1 " + options), 0);
    ArchiveRead raw;
    for (int c = 1; c <= channels; ++c)
        raw.channels.push_back(read_words(work.out("rawecg" + std::to_string(c) + ".dat")));
    for (const double t : read_events(work.out("patevent.dat")))
        raw.events.push_back(static_cast<int64_t>(t) * kSamplesPerRecord);
    return raw;
}

struct EdfFile {
    edf_hdr_struct header{};
    const bool open;
    explicit EdfFile(const std::string& path)
        : open(edfopen_file_readonly(path.c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS) == 0) {}
    ~EdfFile() {
        if (open) edfclose_file(header.handle);
    }
    std::vector<int> digital(int signal) {
        std::vector<int> samples(static_cast<size_t>(header.signalparam[signal].smp_in_file));
        edfread_digital_samples(header.handle, signal, static_cast<int>(samples.size()),
                                samples.data());
        return samples;
    }
    // Onsets in time points (1/128 s) of the annotations with this text.
    std::vector<int64_t> onsets(const std::string& text) {
        std::vector<int64_t> result;
        for (int i = 0; i < header.annotations_in_file; ++i) {
            edf_annotation_struct a{};
            edf_get_annotation(header.handle, i, &a);
            if (text == a.annotation) result.push_back(a.onset * kSamplesPerRecord / 10000000);
        }
        return result;
    }
};

// save2gdf's ASCII conversion: the physical values of each signal, one per line.
std::vector<std::vector<double>> biosig_values(const std::string& edf, const std::string& folder,
                                               int channels) {
    EXPECT_EQ(run_program({"/usr/bin/save2gdf", "-f=ASCII", edf, folder + "/gdf.txt"}), 0)
        << "save2gdf refused " << edf;
    std::vector<std::vector<double>> values(static_cast<size_t>(channels));
    for (int c = 1; c <= channels; ++c) {
        std::ifstream in(folder + "/gdf.a0" + std::to_string(c));
        for (double v = 0; in >> v;)
            values[static_cast<size_t>(c - 1)].push_back(v);
    }
    return values;
}

struct ExportCase {
    const char* name;
    int format;
    int channels;
    std::string read_options = "";
};

class EdfExport : public ::testing::TestWithParam<ExportCase> {};

const ExportCase kCases[] = {
    {"Format1", 1, 2},   {"Format2", 2, 3},   {"Format4", 4, 2},
    {"Format5", 5, 3},   {"Format33", 33, 1}, {"Format34", 34, 2},
    {"Format35", 35, 3}, {"Format48", 48, 3}, {"Resolution9", 35, 3, "/resolution=9"}};

}  // namespace

TEST_P(EdfExport, IndependentReadersSeeTheArchiveSamplesEventsAndPaces) {
    const ExportCase& c = GetParam();
    CardWork work;
    ASSERT_TRUE(work.make({"--format=" + std::to_string(c.format), "--duration=99s", "--event=30.5",
                           "--event=75", "--pacing=75"}));
    const ArchiveRead raw = read_archive(work, c.channels, c.read_options);
    ASSERT_EQ(work.read("/readecg=hide /opformat=edf /duration=1 " + c.read_options), 0);
    const std::string edf = work.out("recording.edf");
    const auto values = biosig_values(edf, work.path(), c.channels);
    EdfFile file(edf);
    ASSERT_TRUE(file.open) << "EDFlib error " << file.header.filetype;
    EXPECT_EQ(file.header.filetype, EDFLIB_FILETYPE_EDFPLUS);
    ASSERT_EQ(file.header.edfsignals, c.channels);
    // 80 s of preamble and 99 s of recording (whole 1.5 s sectors).
    EXPECT_EQ(file.header.datarecords_in_file, 179);
    EXPECT_EQ(file.header.startdate_year, 2013);
    EXPECT_EQ(file.header.starttime_hour * 3600 + file.header.starttime_minute * 60 +
                  file.header.starttime_second,
              10 * 3600 + 15 * 60 + 20 - 80);
    for (int s = 0; s < c.channels; ++s) {
        EXPECT_EQ(std::string(file.header.signalparam[s].physdimension).substr(0, 3), "mV ");
        const std::vector<int> got = file.digital(s);
        const std::vector<uint16_t>& want = raw.channels[static_cast<size_t>(s)];
        ASSERT_LE(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], want[i] & 0x0FFF) << "channel " << s + 1 << " sample " << i;
        // BioSig's physical values: 2048 is 0 mV, 410 steps make a millivolt.
        const std::vector<double>& shown = values[static_cast<size_t>(s)];
        ASSERT_EQ(shown.size(), 179u * kSamplesPerRecord);
        for (size_t i = 0; i < shown.size(); ++i)
            ASSERT_NEAR(shown[i], ((want[i] & 0x0FFF) - 2048.0) / 410.0, 1e-3)
                << "channel " << s + 1 << " sample " << i;
    }
    std::vector<int64_t> paces;
    for (size_t i = 0; i < 179 * kSamplesPerRecord; ++i)
        if ((raw.channels[0].at(i) & 0x1000) != 0) paces.push_back(static_cast<int64_t>(i));
    EXPECT_EQ(file.onsets("Patient event"), raw.events);
    EXPECT_EQ(file.onsets("Pace"), paces);
    EXPECT_EQ(file.onsets("Calibration"), std::vector<int64_t>{0});
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, EdfExport, ::testing::ValuesIn(kCases), case_name);

// EDFlib reads only continuous files; the records' own time stamps are checked here, and BioSig
// converts the file.
TEST(EdfExportWithPause, LeavesThePauseOutAsDiscontinuousRecordsAtTheirOnsets) {
    CardWork work;
    ASSERT_TRUE(work.make({"--format=35", "--segments=40s,30s,40s"}));
    const ArchiveRead raw = read_archive(work, 3);
    ASSERT_EQ(work.read("/readecg=hide /opformat=edf /duration=1"), 0);
    const std::string bytes = read_file(work.out("recording.edf"));
    ASSERT_GE(bytes.size(), 1280u);
    EXPECT_EQ(bytes.substr(192, 5), "EDF+D");
    const size_t header_size = 256 * 5;
    const size_t record_size = 3 * 2 * kSamplesPerRecord + 2 * 96;
    const size_t records = (bytes.size() - header_size) / record_size;
    EXPECT_EQ(std::stoul(bytes.substr(236, 8)), records);
    // 80 s of preamble, 40 s, a 30 s pause, 40 s.
    ASSERT_EQ(records, 160u);
    for (size_t r = 0; r < records; ++r) {
        const size_t at = header_size + r * record_size;
        const size_t onset = r < 120 ? r : r + 30;
        EXPECT_EQ(bytes.substr(at + 3 * 256, 6).find("+" + std::to_string(onset) + "\x14\x14"), 0u)
            << "record " << r;
        const std::vector<uint16_t> words = read_words(work.out("recording.edf"), at);
        for (size_t t = 0; t < kSamplesPerRecord; ++t)
            ASSERT_EQ(words[t], raw.channels[0][onset * kSamplesPerRecord + t] & 0x0FFF)
                << "record " << r << " sample " << t;
    }
    EXPECT_EQ(biosig_values(work.out("recording.edf"), work.path(), 3)[0].size(),
              records * kSamplesPerRecord);
}

TEST(EdfExportPatientField, FollowsTheEdfPlusRulesForBlanksAndNonAsciiNames) {
    CardWork work;
    write_file(work.path() + "/names.txt",
               "patient-name=J\xC3\xBCrgen M\xC3\xBCller-\xC3\x86sa\npatient-id=ID 7\n");
    ASSERT_TRUE(work.make(
        {"--format=35", "--duration=20s", "--describe=" + host_path(work.path() + "/names.txt")}));
    ASSERT_EQ(work.read("/readecg=hide /opformat=edf /duration=1"), 0);
    EdfFile file(work.out("recording.edf"));
    ASSERT_TRUE(file.open) << "EDFlib error " << file.header.filetype;
    EXPECT_STREQ(file.header.patientcode, "ID 7");
    EXPECT_STREQ(file.header.patient_name, "Jurgen Muller-AEsa");
    EXPECT_STREQ(file.header.gender, "");
    EXPECT_EQ(read_file(work.out("recording.edf")).substr(8, 30), "ID_7 X X Jurgen_Muller-AEsa   ");
}

TEST(EdfExportTwelveLead, WritesTheEightStoredLeadsAndPacesOfThe12LeadFiles) {
    CardWork work;
    ASSERT_TRUE(work.make({"--format=64", "--duration=40s", "--event=10", "--pacing=70"}));
    ASSERT_EQ(work.read("/readecg=hide /opformat=pn12arch"), 0);
    // Past the headers: 59 bytes of each lead file, 29 of the pacing file.
    std::vector<std::vector<uint16_t>> leads;
    for (int lead = 1; lead <= 8; ++lead)
        leads.push_back(read_words(work.out("pn12ecg" + std::to_string(lead) + ".dat"), 59));
    const std::vector<uint32_t> paces = read_words<uint32_t>(work.out("pn12pac.dat"), 29);

    ASSERT_EQ(work.read("/readecg=hide /opformat=edf"), 0);
    EdfFile file(work.out("recording.edf"));
    ASSERT_TRUE(file.open) << "EDFlib error " << file.header.filetype;
    ASSERT_EQ(file.header.edfsignals, 8);
    EXPECT_STREQ(file.header.signalparam[2].label, "ECG V1          ");
    // 80 s of preamble and 40 s in sectors of 30 time points: the last record is partly empty.
    EXPECT_EQ(file.header.datarecords_in_file, 121);
    for (int s = 0; s < 8; ++s) {
        const std::vector<int> got = file.digital(s);
        const std::vector<uint16_t>& want = leads[static_cast<size_t>(s)];
        ASSERT_LE(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], static_cast<int16_t>(want[i])) << "lead " << s + 1 << " sample " << i;
    }
    EXPECT_EQ(file.onsets("Pace"), std::vector<int64_t>(paces.begin(), paces.end()));
    EXPECT_EQ(file.onsets("Patient event"), std::vector<int64_t>{90 * kSamplesPerRecord});
    EXPECT_EQ(biosig_values(work.out("recording.edf"), work.path(), 8)[7].size(),
              121u * kSamplesPerRecord);
}
