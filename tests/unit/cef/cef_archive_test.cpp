// The archive reader against archives from the test writer: what each extraction writes, how each
// broken archive is refused without writing anything, and which errors stay set.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cef/cef_archive.h"
#include "cef/cef_input.h"
#include "cefpack/cef_writer.h"
#include "support/named_event.h"
#include "test_folder.h"

namespace {

using cefpack::Fault;

// Words whose low two bits are clear survive a shift of 2 unchanged.
std::string channel_words(int channel, size_t words) {
    std::string bytes(2 * words, '\0');
    for (size_t i = 0; i < words; ++i) {
        const unsigned word = ((i * 28 + static_cast<size_t>(channel) * 400) & 0x0FFC) | 0x1000;
        bytes[2 * i] = static_cast<char>(word & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(word >> 8);
    }
    return bytes;
}

cefpack::Archive sample_archive() {
    cefpack::Archive archive;
    archive.description = "Holter 2024";
    archive.parameter = 77;
    archive.patient_text = "Name=Ada\r\nId=42\r\n";
    archive.patient_wav = std::string(5000, 'w');
    archive.patevent = "100\n3700\n";
    archive.channels = {{channel_words(1, 70000), 1, 2}, {channel_words(2, 70000), 3, 4}};
    archive.further_files = {
        {"PATSUMM.DAT", "summary"}, {"CNAV.DAT", ""}, {std::string(200, 'n'), "long name"}};
    archive.shift = 2;
    return archive;
}

class CefArchiveTest : public ::testing::Test {
  protected:
    bool open(CCefArchive& reader, const cefpack::Archive& archive,
              const std::string& szip = tool_path(KADO_SZIP)) {
        write_file(work / "in.cef", cefpack::build_archive(archive));
        return reader.open(szip, work / "in.cef", target());
    }
    std::string target() const { return work / "target"; }
    std::string out(const std::string& name) const { return read_file(target() + "/" + name); }
    // Every entry below the work folder other than the archive, the target folder's included.
    size_t written() const {
        size_t count = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(work.path()))
            count += entry.path().filename() != "in.cef" && entry.path() != target();
        return count;
    }

    TestFolder work;
    CCefArchive cef;
};

class ExtractAll : public CefArchiveTest, public ::testing::WithParamInterface<bool> {};

}  // namespace

TEST_P(ExtractAll, WritesMembersRestoredChannelsFurtherAndGeneratedFiles) {
    cefpack::Archive archive = sample_archive();
    archive.pack = GetParam();
    ASSERT_TRUE(open(cef, archive)) << cef.error_code();
    ASSERT_TRUE(cef.extract_all()) << cef.error_code() << " " << cef.error_item();
    // The delivered members and restored channels of both packings: CefArchiveInput.
    EXPECT_EQ(out("PATIENT.TXT"), archive.patient_text);
    EXPECT_TRUE(std::filesystem::exists(target() + "/CNAV.DAT"));
    EXPECT_EQ(out(std::string(200, 'n')), "long name");
    EXPECT_EQ(out("CEFDESC.TXT"), "Holter 2024");
    EXPECT_EQ(out("VERSION.TXT"), "V8.006\n");
    EXPECT_EQ(out("SUMMARY.TXT"), "CEF Report\n");
    std::string expected;
    for (const uint32_t value : {0, 77, 2, 1, 2, 2, 3, 4, 2})
        for (int shift = 0; shift < 32; shift += 8)
            expected += static_cast<char>(value >> shift);
    EXPECT_EQ(out("RECORDING.DAT"), expected);
}

INSTANTIATE_TEST_SUITE_P(StoredAndPacked, ExtractAll, ::testing::Bool());

// The longest name opens, though no file system here could hold it.
TEST_F(CefArchiveTest, TwelveLeadShiftSkipsTheMemberHeaderAndOddLengthVerifies) {
    cefpack::Archive archive;
    archive.kind = 13;
    archive.patient_text = "p";
    std::string lead = std::string("\x01\x05\x00\xAB\xCD", 5) + channel_words(1, 100);
    archive.channels = {{lead, 0, 0}};
    archive.further_files = {{std::string(260, 'n'), "longest name"}};
    archive.shift = 2;
    archive.fault = Fault::kOddLength;
    ASSERT_TRUE(open(cef, archive)) << cef.error_code();
    ASSERT_TRUE(cef.extract_by_name("PN12ECG1.DAT"));
    EXPECT_EQ(out("pn12ecg1.dat"), lead);
}

TEST_F(CefArchiveTest, BrokenArchiveIsRefusedByOpenWithItsCodeAndWritesNothing) {
    const std::pair<Fault, int> cases[] = {
        {Fault::kMagic, 6},         {Fault::kChecksum, 13}, {Fault::kPastEnd, 12},
        {Fault::kEscapingName, 12}, {Fault::kLongName, 10}, {Fault::kMissingNul, 11},
        {Fault::kHugeChannels, 12}, {Fault::kShift16, 12},  {Fault::kBadFlag, 12},
    };
    for (const auto& [fault, error] : cases) {
        SCOPED_TRACE(static_cast<int>(fault));
        cefpack::Archive archive = sample_archive();
        archive.fault = fault;
        CCefArchive reader;
        EXPECT_FALSE(open(reader, archive));
        EXPECT_EQ(reader.error_code(), error);
        // An archive that did not open delivers nothing, whichever way it is asked.
        EXPECT_FALSE(reader.extract_all());
        EXPECT_FALSE(reader.extract_by_name("PATSUMM.DAT"));
        EXPECT_EQ(reader.error_code(), error);
        EXPECT_EQ(written(), 0u);
    }
}

TEST_F(CefArchiveTest, OpenReportsMissingToolShortHeaderAndMissingArchive) {
    EXPECT_FALSE(open(cef, sample_archive(), work / "no-szip"));
    EXPECT_EQ(cef.error_code(), 1);
    write_file(work / "short.cef", cefpack::build_archive(sample_archive()).substr(0, 107));
    EXPECT_FALSE(cef.open(tool_path(KADO_SZIP), work / "short.cef", target()));
    EXPECT_EQ(cef.error_code(), 4);
    EXPECT_FALSE(cef.open(tool_path(KADO_SZIP), work / "none.cef", target()));
    EXPECT_EQ(cef.error_code(), 3);
}

TEST_F(CefArchiveTest, ByNameForgetsAnAbsentMemberButNoOtherError) {
    cefpack::Archive archive = sample_archive();
    archive.patient_wav.clear();
    ASSERT_TRUE(open(cef, archive));
    for (const char* absent : {"PATIENT.WAV", "CNAVOP.DAT", "RAWECG3.DAT"}) {
        EXPECT_FALSE(cef.extract_by_name(absent)) << absent;
        EXPECT_EQ(cef.error_code(), 14) << absent;
    }
    EXPECT_TRUE(cef.extract_by_name("patsumm.dat"));
    EXPECT_EQ(out("PATSUMM.DAT"), "summary");

    std::filesystem::create_directory(target() + "/CEFDESC.TXT");  // cannot be replaced
    EXPECT_FALSE(cef.extract_by_name("CEFDESC.TXT"));
    EXPECT_EQ(cef.error_code(), 8);
    EXPECT_FALSE(cef.extract_by_name("PATSUMM.DAT"));
    EXPECT_EQ(cef.error_code(), 8);
}

// Retrying a failing tool until Cancel: CopiedProgram.FailingToolIsRetriedOnR...
TEST_F(CefArchiveTest, HangingToolIsStoppedByTheTerminator) {
    cefpack::Archive archive = sample_archive();
    archive.pack = true;
    const auto terminator = NamedEvent::create_or_open("kado-unit-cef-terminator");
    ASSERT_TRUE(terminator);
    terminator->signal();
    const ScopedEnv hang("SZIPSTUB_EXIT", "hang");
    CCefArchive stopped(terminator.get());
    ASSERT_TRUE(open(stopped, archive, tool_path(KADO_SZIPSTUB)));
    EXPECT_FALSE(stopped.extract_patevent());
    EXPECT_EQ(stopped.error_code(), 15);
}

TEST_F(CefArchiveTest, InputSearchTakesArchivesInNameOrderIgnoringCase) {
    cefpack::Archive three = sample_archive();
    three.channels.push_back(three.channels[0]);
    write_file(work / "b.cef", cefpack::build_archive(sample_archive()));
    write_file(work / "A.CEF", cefpack::build_archive(three));
    write_file(work / "0.cef", cefpack::build_archive(three).substr(0, 108));  // header only
    int channels = 0;
    EXPECT_EQ(locate_cef_input(work.path(), channels), work / "A.CEF");
    EXPECT_EQ(channels, 3);
    EXPECT_EQ(locate_cef_input(work / "b.cef", channels), work / "b.cef");
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(locate_cef_input(work / "0.cef", channels), work / "0.cef");
    EXPECT_EQ(locate_cef_input(work / "missing.cef", channels), "");
    EXPECT_EQ(channels, 0);
}

TEST(CefMemberNames, OnlyPlainNamesInsideTheTargetFolderAreSafe) {
    for (const char* safe : {"PATSUMM.DAT", "a b.txt", "CONSOLE.DAT", "COM.DAT", "x..y"})
        EXPECT_TRUE(is_safe_member_name(safe)) << safe;
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "C:x", "tab\tname", "dot.",
                            "blank ", "CON", "nul.txt", "Com1", "LPT9.DAT", "a*b", "q?"})
        EXPECT_FALSE(is_safe_member_name(bad)) << bad;
}
