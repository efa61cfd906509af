// The texts as each program really holds them: the Linux table, or under Wine the test program's
// own string resources built from the same sources.
#include "support/string_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "support/messages.h"
#include "support/string_ids.h"
#include "support/text_catalogue.h"

namespace {

constexpr LanguageId kGerman = 1031;
constexpr LanguageId kRussian = 1049;
constexpr LanguageId kSpanish = 3082;

// The printf-style placeholders in order, and the bare "%" that message 152 fills.
std::vector<std::string> placeholders(const std::string& text) {
    auto digits_from = [&](size_t at) {
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
            ++at;
        return at;
    };
    std::vector<std::string> found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
        size_t end = at + 1;
        while (end < text.size() && std::string_view("-+#0").find(text[end]) != std::string::npos)
            ++end;
        end = digits_from(end);
        if (end + 1 < text.size() && text[end] == '.' &&
            std::isdigit(static_cast<unsigned char>(text[end + 1])))
            end = digits_from(end + 1);
        if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
        found.push_back(text.substr(at, end - at));
        at = end - 1;
    }
    return found;
}

class TextLanguage : public ::testing::Test {
  protected:
    ~TextLanguage() override {
        set_text_language(kLanguageEnglish);
        set_message_hook({});
    }
};

}  // namespace

TEST(Texts, EveryIdExistsInAllNineLanguagesWithTheEnglishPlaceholders) {
    ASSERT_EQ(kTextLanguages.size(), 9u);
    for (const LanguageId language : kTextLanguages)
        for (const int id : kTextIds) {
            const auto text = find_text(id, language);
            ASSERT_TRUE(text.has_value()) << "language " << language << " id " << id;
            EXPECT_FALSE(text->empty()) << "language " << language << " id " << id;
            EXPECT_EQ(placeholders(*text), placeholders(*find_text(id, kLanguageEnglish)))
                << "language " << language << " id " << id << ": " << *text;
        }
}

TEST(Texts, LookupsReturnTheLanguagesOwnTextInUtf8) {
    EXPECT_EQ(load_text(kStringCardInitialised, kLanguageEnglish),
              "The card has now been initialised.");
    EXPECT_EQ(load_text(kStringCardInitialised, kGerman), "Die Karte wurde initialisiert.");
    EXPECT_EQ(load_text(kStringRecoveryFailed, kRussian), "Не удалось восстановить ЭКГ.");
    EXPECT_EQ(load_text(kTextNoDrive, 1035), "Ei ole");
    EXPECT_TRUE(load_text(kStringTwoCardsWarning, 1045).starts_with("Wybrano literę dysku %.\n"));
}

TEST(Texts, MissingLanguagesFallBackToTheirPrimaryLanguageThenEnglish) {
    struct Case {
        LanguageId asked;
        LanguageId shown;
    };
    const Case cases[] = {
        {1034, kSpanish},          // Spanish, traditional sort
        {2058, kSpanish},          // Spanish (Mexico)
        {2055, kGerman},           // German (Switzerland)
        {3084, 1036},              // French (Canada)
        {2057, kLanguageEnglish},  // English (United Kingdom)
        {1041, kLanguageEnglish},  // Japanese: no texts
        {0, kLanguageEnglish},
        {0xFFFF, kLanguageEnglish},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(find_text(kStringEcgRead, c.asked).has_value()) << c.asked;
        EXPECT_EQ(load_text(kStringEcgRead, c.asked), *find_text(kStringEcgRead, c.shown))
            << c.asked;
    }
    EXPECT_EQ(load_text(140, kGerman), "") << "an id no language holds";
}

TEST_F(TextLanguage, MessagesShowEnglishUntilAnotherLanguageIsChosen) {
    std::string shown;
    set_message_hook([&](int, const std::string& text, MessageButtons) {
        shown = text;
        return MessageAnswer::kOk;
    });
    EXPECT_EQ(text_language(), kLanguageEnglish);
    show_string_with_number(kStringConditionCard, 512);
    EXPECT_TRUE(shown.starts_with("This 512MB card is not conditioned.\n")) << shown;
    set_text_language(kGerman);
    show_string_with_number(kStringConditionCard, 512);
    EXPECT_TRUE(shown.starts_with("Diese 512-MB-Karte ist nicht konditioniert.\n")) << shown;
    set_text_language(1034);
    EXPECT_EQ(load_string(kStringCefInvalid), "El archivo CEF no es válido.");
}
