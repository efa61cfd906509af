#include "cardsim/lib/recording_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_folder.h"

namespace {

cardsim::ToolRequest parse(const std::vector<std::string>& args, std::string* error = nullptr) {
    cardsim::ToolRequest request;
    std::string message;
    const bool ok = cardsim::parse_arguments(args, request, message);
    if (error) *error = ok ? "" : message;
    return request;
}

}  // namespace

TEST(CardsimOptions, FillTheDescriptionInOrder) {
    const cardsim::ToolRequest r =
        parse({"--card=c", "--format=48", "--start=1999-12-31 23:59:30", "--segments=2h,30s,90m",
               "--event=12.5", "--event=40", "--flip-bit=7:100", "--absent=2:1m:2m",
               "--nibble-type=cycle", "--state=no-valid-ecg", "--speech=old", "--resume-type=82"});
    EXPECT_EQ(r.card_folder, "c");
    EXPECT_EQ(r.description.format, 48);
    EXPECT_EQ(r.description.start.year, 1999);
    EXPECT_EQ(r.description.start.second, 30);
    ASSERT_EQ(r.description.segments.size(), 2u);
    EXPECT_EQ(r.description.segments[0].seconds, 7200);
    EXPECT_EQ(r.description.segments[0].pause_after, 30);
    EXPECT_EQ(r.description.segments[1].seconds, 5400);
    EXPECT_EQ(r.description.events, (std::vector<double>{12.5, 40}));
    ASSERT_EQ(r.description.flips.size(), 1u);
    EXPECT_EQ(r.description.flips[0].bit, 100);
    ASSERT_EQ(r.description.absences.size(), 1u);
    EXPECT_EQ(r.description.absences[0].channel, 1);
    EXPECT_EQ(r.description.absences[0].to, 120);
    EXPECT_EQ(r.description.nibbles.choice, cardsim::NibblePolicy::Choice::cycle);
    EXPECT_EQ(r.description.state, cardsim::CardState::no_valid_ecg);
    EXPECT_EQ(r.description.speech, cardsim::Speech::old);
    EXPECT_EQ(r.description.resume_type, 0x82);
}

TEST(CardsimOptions, DescriptionFileLinesAreOptionsWithoutDashes) {
    TestFolder folder;
    std::ofstream(folder.file("card.txt"))
        << "# a paced recording\nformat=35\n\npacing=75\ndual-chamber\r\n";
    const cardsim::ToolRequest r = parse({"--describe=" + folder.file("card.txt"), "--format=34"});
    EXPECT_EQ(r.description.format, 34);
    EXPECT_EQ(r.description.synth.pacing_rate, 75);
    EXPECT_TRUE(r.description.synth.dual_chamber);
}

TEST(CardsimOptions, RefusesWhatCannotBeWritten) {
    for (const std::string bad :
         {"--format=3", "--format=128", "--start=2013-02-29 10:00:00", "--duration=0",
          "--segments=1h,5m", "--serial=TOOLONGXX", "--flip-bit=1:4096", "--nibble-type=8",
          "--dual-chamber=1", "--seed", "--colour=red", "format=2"}) {
        std::string error;
        parse({bad}, &error);
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(CardsimOptions, HelpDocumentsEveryOptionAndTheIntendedFiles) {
    const std::string help = cardsim::help_text();
    for (const char* name :
         {"--card=", "--drive=", "--intended=", "--describe=", "--format=", "--segments=",
          "--samples=", "--pace-pattern", "--truncate-ecg=", "--conditioned", "--card-size="}) {
        EXPECT_NE(help.find(name), std::string::npos) << name;
    }
    for (const char* file : {"channel1.dat", "lead1.dat", "pace.dat", "events.txt"}) {
        EXPECT_NE(help.find(file), std::string::npos) << file;
    }
}
