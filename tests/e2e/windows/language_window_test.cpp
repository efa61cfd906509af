// The windows in the language the user chose: dialog and message texts read back from the
// screen, so the wide-character path from the text sources to the controls is what is tested.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "harness.h"
#include "window_run.h"

TEST(LanguageWindows, GermanAndFinnishChoicesShowTheirTexts) {
    const TestFolder work;
    std::filesystem::create_directory(work / "out");
    const std::string dir = " /dir=" + host_path(work / "out");
    ASSERT_TRUE(make_card(work / "card", "", {"--duration=2m", "--state=read"}));
    {
        const UserLanguage german(7);
        WindowRun run("/readpat=stand /ipdir=" + host_path(work / "card") + dir);
        EXPECT_EQ(run.drive({"window 1000", "text 1015", "click 1015", "box", "answer ok",
                             "click 1", "gone"}),
                  "window: Pulsenote CF Schnittstellenprogramm 3.42\n"
                  "text 1015: Patient lesen\n"
                  "box: Keine Karte gefunden.\\nPrüfen Sie, ob die Karte richtig im Kartenleser "
                  "steckt.\n");
        EXPECT_EQ(run.exit_code(), 0);
    }
    const UserLanguage finnish(11);
    WindowRun run("/write=stand" + dir);
    const std::string report =
        run.drive({"window 1000", "text 1004", "items 1023", "click 1", "gone"});
    EXPECT_EQ(report.substr(0, report.find(" A B ")),
              "window: Pulsenote CF -liitäntäohjelma 3.42\n"
              "text 1004: Alusta kortti\n"
              "items 1023: *Ei ole");
    EXPECT_EQ(run.exit_code(), 0);
}
