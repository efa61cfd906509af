#include "cardsim/lib/recording_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "test_folder.h"

TEST(CardsimOptions, DescriptionFileLinesAreOptionsWithoutDashesAndLaterOptionsWin) {
    TestFolder folder;
    std::ofstream(folder.file("card.txt"))
        << "# a paced recording\nformat=35\n\npacing=75\ndual-chamber\r\n";
    cardsim::ToolRequest r;
    std::string error;
    ASSERT_TRUE(cardsim::parse_arguments({"--describe=" + folder.file("card.txt"), "--format=34"},
                                         r, error))
        << error;
    EXPECT_EQ(r.description.format, 34);
    EXPECT_EQ(r.description.synth.pacing_rate, 75);
    EXPECT_TRUE(r.description.synth.dual_chamber);
}

TEST(CardsimOptions, RefusesWhatCannotBeWritten) {
    for (const std::string bad :
         {"--format=3", "--format=128", "--start=2013-02-29 10:00:00", "--duration=0",
          "--segments=1h,5m", "--serial=TOOLONGXX", "--flip-bit=1:4096", "--nibble-type=8",
          "--dual-chamber=1", "--seed", "--colour=red", "format=2"}) {
        cardsim::ToolRequest r;
        std::string error;
        EXPECT_FALSE(cardsim::parse_arguments({bad}, r, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}
