// The overview page of a read, checked with real tools: xmllint parses it, rsvg-convert draws
// every strip (and the trace changes the picture), and its events table is patevent.dat.
#include <regex>

#include "harness.h"

namespace {

std::vector<std::string> matches(const std::string& text, const std::regex& pattern, int group) {
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.push_back((*it)[group].str());
    return found;
}

struct OverviewCase {
    const char* name;
    std::string read;
    std::vector<std::string> card;
    size_t strips;  // one per drawn channel for the first seconds and each event, at most 50
};

class OverviewPage : public ::testing::TestWithParam<OverviewCase> {};

using Options = std::vector<std::string>;

std::vector<std::string> many_events(int format, int count) {
    std::vector<std::string> options = {"--format=" + std::to_string(format), "--duration=3m"};
    for (int i = 0; i < count; ++i)
        options.push_back("--event=" + std::to_string(5 + 8 * i));
    return options;
}

const OverviewCase kCases[] = {
    {"EdfReadOfAPacedTableFormat", "/opformat=edf",
     Options{"--format=35", "--duration=2m", "--event=30.5", "--event=75", "--pacing=75"}, 3 * 3},
    {"ArchiveReadOfSectorEvents", "/opformat=archive /overview",
     Options{"--format=5", "--duration=2m", "--event=20", "--event=90"}, 3 * 3},
    {"TwoChannelsWithAnEarlyEvent", "/opformat=archive /overview",
     Options{"--format=34", "--duration=1m", "--event=1"}, 2 * 2},
    {"TwentyEventsStopAtFiftyStrips", "/opformat=edf", many_events(35, 20), 16 * 3},
    // Eight stored leads a window: the first seconds and five events fill the page.
    {"TwelveLeadsDrawTheirEightStoredLeads", "/opformat=pn12file /overview", many_events(64, 20),
     6 * 8}};

}  // namespace

TEST_P(OverviewPage, ParsesListsThePatientEventsAndDrawsEveryStrip) {
    const OverviewCase& c = GetParam();
    CardWork work;
    ASSERT_TRUE(work.make(c.card));
    ASSERT_EQ(work.read("/readecg=hide /duration=1 " + c.read), 0);
    const std::string page_path = work.out("overview.html");
    const std::string page = read_file(page_path);
    EXPECT_EQ(run_program({"/usr/bin/xmllint", "--noout", page_path}), 0);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("href="), std::string::npos);

    std::vector<std::string> written;
    for (const double t : read_events(work.out("patevent.dat")))
        written.push_back(std::to_string(static_cast<int>(t)));
    EXPECT_EQ(matches(page, std::regex("<tr><td>[0-9]+</td><td>(-?[0-9]+)</td>"), 1), written);

    const std::vector<std::string> strips = matches(page, std::regex("<svg[^]*?</svg>"), 0);
    ASSERT_EQ(strips.size(), c.strips);
    // The first strip and the last: rendered, and the trace is there to see.
    for (const size_t i : {size_t{0}, strips.size() - 1}) {
        const std::string svg = work.path() + "/strip.svg";
        const std::string bare = work.path() + "/bare.svg";
        write_file(svg, strips[i]);
        write_file(bare, std::regex_replace(
                             strips[i], std::regex("<path d=\"[^\"]*\" fill=\"none\"[^>]*/>"), ""));
        ASSERT_EQ(run_program({"/usr/bin/rsvg-convert", svg, "-o", svg + ".png"}), 0);
        ASSERT_EQ(run_program({"/usr/bin/rsvg-convert", bare, "-o", bare + ".png"}), 0);
        EXPECT_NE(read_file(svg + ".png"), read_file(bare + ".png")) << "strip " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Reads, OverviewPage, ::testing::ValuesIn(kCases), case_name);
