// The texts as each program really holds them: the Linux table, or under Wine the test program's
// own string resources built from the same sources. The build itself refuses differing
// placeholders (the text_check test proves it).
#include "support/string_table.h"

#include <gtest/gtest.h>

#include "support/messages.h"
#include "support/string_ids.h"
#include "support/text_catalogue.h"
#include "support/text_format.h"

TEST(Texts, EveryIdExistsInAllNineLanguages) {
    ASSERT_EQ(kTextLanguages.size(), 9u);
    for (const LanguageId language : kTextLanguages)
        for (const int id : kTextIds)
            EXPECT_NE(find_text(id, language).value_or(""), "") << language << " " << id;
}

TEST(Texts, MissingLanguagesFallBackToTheirPrimaryLanguageThenEnglish) {
    const std::pair<LanguageId, LanguageId> asked_shown[] = {
        {1034, 3082},  // Spanish, traditional sort
        {2058, 3082},  // Spanish (Mexico)
        {2055, 1031},  // German (Switzerland)
        {2057, 1033},  // English (United Kingdom)
        {1041, 1033},  // Japanese: no texts
        {0, 1033},
    };
    for (const auto& [asked, shown] : asked_shown) {
        EXPECT_FALSE(find_text(kStringEcgRead, asked).has_value()) << asked;
        EXPECT_EQ(load_text(kStringEcgRead, asked), *find_text(kStringEcgRead, shown)) << asked;
    }
    EXPECT_EQ(load_text(140, 1031), "") << "an id no language holds";
}

TEST(Texts, MessagesShowEnglishUntilAnotherLanguageIsChosen) {
    std::string shown;
    set_message_hook([&](int, const std::string& text, MessageButtons) {
        shown = text;
        return MessageAnswer::kOk;
    });
    show_string_with_number(kStringConditionCard, 512);
    EXPECT_TRUE(shown.starts_with("This 512MB card is not conditioned.\n")) << shown;
    set_text_language(1031);
    show_string_with_number(kStringConditionCard, 512);
    EXPECT_TRUE(shown.starts_with("Diese 512-MB-Karte ist nicht konditioniert.\n")) << shown;
    // Text beyond Latin-1 comes back as UTF-8 on both programs.
    EXPECT_EQ(load_text(kStringRecoveryFailed, 1049), "Не удалось восстановить ЭКГ.");
    EXPECT_EQ(load_text(kTextNoDrive, 1035), "Ei ole");
    set_text_language(kLanguageEnglish);
    set_message_hook({});
}

TEST(Texts, FormattedTextsFollowTheLanguageAndStopAt2047Characters) {
    set_text_language(1031);
    EXPECT_EQ(format_resource(kStringAppTitleVersion, "3.42"),
              load_string(kStringAppTitle) + " 3.42");
    set_text_language(kLanguageEnglish);
    EXPECT_EQ(format_resource(140, "3.42"), "") << "an id no language holds";
    EXPECT_EQ(format_text("%s!", std::string(3000, 'x').c_str()), std::string(2047, 'x'));
}
