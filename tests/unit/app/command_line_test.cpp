#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/kado_app.h"
#include "test_folder.h"

namespace {

std::vector<std::string> tokens(const std::string& text) {
    std::vector<std::string> result;
    tokenize_command_line(text, result);
    return result;
}

struct Parsed {
    bool ok;
    RunRequest request;
    OutputSettings output;
    ReadSettings reader;
};

Parsed parse(const std::string& text) {
    Parsed p{};
    p.ok = parse_command_line(p.request, tokens(text), p.output, p.reader);
    return p;
}

}  // namespace

TEST(CommandLineTokens, SplitOnBlanksAndKeepQuotedTextWhole) {
    EXPECT_EQ(tokens("\t /a   /b /c "), (std::vector<std::string>{"/a", "/b", "/c"}));
    // Only a blank ends an unquoted token; other white space is part of it.
    EXPECT_EQ(tokens("/a\t/b"), (std::vector<std::string>{"/a\t/b"}));
    EXPECT_EQ(tokens("\"/dir=C:\\My Data\" /x"),
              (std::vector<std::string>{"/dir=C:\\My Data", "/x"}));
    // A quote inside an unquoted token is kept and makes the next quote the end.
    EXPECT_EQ(tokens("/dir=\"C:\\My Data\" /x"),
              (std::vector<std::string>{"/dir=\"C:\\My Data", "/x"}));
    EXPECT_EQ(tokens("\"\" /a \"\""), (std::vector<std::string>{"/a"}));
    EXPECT_EQ(tokens("\"unterminated text"), (std::vector<std::string>{"unterminated text"}));
}

TEST(CommandLineNumbers, ReadLikeAtoiButClampInsteadOfOverflow) {
    EXPECT_EQ(parse_decimal("  42abc"), 42);
    EXPECT_EQ(parse_decimal("-7"), -7);
    EXPECT_EQ(parse_decimal("+3"), 3);
    EXPECT_EQ(parse_decimal("x1"), 0);
    EXPECT_EQ(parse_decimal(""), 0);
    EXPECT_EQ(parse_decimal("99999999999999999999"), 2147483647);
    EXPECT_EQ(parse_decimal("-99999999999999999999"), -2147483647 - 1);
}

// The end-to-end reads run every read mode; the corrie words and the interactive read differ
// from their twins only in these fields.
TEST(CommandLineParse, ModeWordsSetTheFieldsTheirTwinsLeave) {
    // Options and mode words match by case-insensitive prefix, also glued to the next option.
    EXPECT_EQ(parse("/Write=STAND/x").request.m_mode, kModeWriteStand);
    EXPECT_EQ(parse("/write=corrie").request.m_mode, kModeWriteCnav);
    EXPECT_FALSE(parse("/write=corrie").request.m_not_corrie);
    EXPECT_TRUE(parse("/write=cnav").request.m_not_corrie);
    EXPECT_EQ(parse("/readpat=corrie").request.m_mode, kModeReadPatPath);
    EXPECT_TRUE(parse("/readpat=corrie").request.m_read_corrie);
    EXPECT_EQ(parse("/wav /readpat=scan").request.m_mode, kModeReadPatScan);
    EXPECT_EQ(parse("/setpat=\"C:\\p.ini\"").request.m_patient_file, "C:\\p.ini");
    // The interactive read always writes an archive, whatever was asked for.
    EXPECT_EQ(parse("/readecg=stand /opformat=mmf").request.m_output_format, kFormatArchive);
    // Both Read dialogs read whole archives: 28 hours, or the duration asked for.
    EXPECT_EQ(parse("/readecg=stand").reader.record_length_hours, 28);
    EXPECT_EQ(parse("/readpat=stand").reader.record_length_hours, 28);
    EXPECT_EQ(parse("/readpat=stand /duration=30").reader.record_length_hours, 30);
    EXPECT_EQ(parse("/readpat=path").reader.record_length_hours, 0);
}

// Besides the refusals the end-to-end CommandLineContract runs.
TEST(CommandLineParse, RejectsWhatTheContractRefuses) {
    for (const char* line :
         {"/write=stan", "/write=", "/write=stand hello", "/dir=x", "/readecg=hide /opformat=xyz",
          "/readecg=hide /opformat=pn12file /duration=29", "/write=cnav /fir",
          "/readecg=hide /opformat=mmf /fir", "/write=stand /skip=-1", "/write=stand /duration=0",
          "/write=stand /cal=-5", "/write=stand /cal=3601", "/write=stand /cal=2000000000",
          "/write=stand /cal=99999999999", "/changepat=other", "/readecg=show"})
        EXPECT_FALSE(parse(line).ok) << line;
}

TEST(CommandLineParse, SkipHoursComeFromSkipThenSkip24ForReadModesOnly) {
    EXPECT_EQ(parse("/readpat=scan /skip24").reader.skip_hours, 24);
    EXPECT_EQ(parse("/readpat=scan /skip=24").reader.skip_hours, 24);
    EXPECT_EQ(parse("/readpat=scan /skip=3 /skip24").reader.skip_hours, 3);
    EXPECT_EQ(parse("/readecg=hide /opformat=archive /skip=0 /skip24").reader.skip_hours, 0);
    EXPECT_EQ(parse("/write=stand /skip=5").reader.skip_hours, 0);
}

TEST(CommandLineParse, ValuesLoseEveryDoubleQuote) {
    const Parsed p = parse(
        "/readecg=hide /opformat=archive /ipdir=\"C:\\in put\" /procedure_id=\"1234567890123456\" "
        "/instance=\"A B\" /basemmfname=X\"Y");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.request.m_input_dir, "C:\\in put");
    EXPECT_EQ(p.request.m_procedure_id, "1234567890123456");
    EXPECT_EQ(p.output.mmf_instance, "A B");
    EXPECT_EQ(p.output.mmf_base_name, "XY");
}

// A preamble cannot be stopped once begun: more than an hour of it is refused (with the
// refusals above), up to an hour is exact, and so is the longest preamble the arithmetic meets.
TEST(CommandLineParse, CalibrationUpToAnHourIsTakenAsGiven) {
    for (const int32_t seconds : {0, 3600}) {
        const Parsed p = parse("/readecg=hide /opformat=archive /cal=" + std::to_string(seconds));
        EXPECT_TRUE(p.ok && p.reader.calibration_seconds == seconds) << seconds;
    }
    ReadSettings reader;
    reader.calibration_seconds = INT32_MAX;
    EXPECT_EQ(reader.preamble_seconds(59), int64_t{INT32_MAX} + 59);
}

TEST(KadoApp, CalibrationFromTheCommandLineOverridesKadoCal) {
    TestFolder folder;
    const ScopedEnv config("XDG_CONFIG_HOME", folder.path());
    const ScopedEnv cal("KADO_CAL", "5");
    const auto calibration = [&](const std::string& options) {
        CKadoApp app("/write=stand " + options + " /dir=" + folder.path());
        app.start_instance();
        return app.disk() ? app.disk()->m_read_settings.calibration_seconds : -1;
    };
    EXPECT_EQ(calibration("/cal=7"), 7);
    EXPECT_EQ(calibration(""), 5);
    // A negative KADO_CAL leaves the default in force.
    cal.set("-4");
    EXPECT_EQ(calibration(""), 60);
    // So does one above an hour, which would otherwise write calibration for days.
    cal.set("2000000000");
    EXPECT_EQ(calibration(""), 60);
}

// Salvage belongs to the reads that write samples; elsewhere it fails the parse as /fir does.
TEST(CommandLineParse, SalvageOnlyWithEcgReadsThatWriteSamples) {
    for (const char* line :
         {"/readecg=hide /opformat=archive /salvage", "/readecg=hide /opformat=path /salvage",
          "/readecg=hide /opformat=mmf /salvage", "/readecg=hide /opformat=pn12file /salvage",
          "/readecg=hide /opformat=pn12arch /salvage", "/readecg=stand /salvage",
          "/readecg=stand /opformat=cnav /salvage"}) {
        const Parsed p = parse(line);
        EXPECT_TRUE(p.ok && p.reader.salvage) << line;
    }
    EXPECT_FALSE(parse("/readecg=hide /opformat=archive").reader.salvage);
    for (const char* line : {"/readecg=hide /opformat=cnav /salvage", "/readpat=path /salvage",
                             "/write=stand /salvage", "/wav /salvage", "/readpat=stand /salvage"})
        EXPECT_FALSE(parse(line).ok) << line;
}
