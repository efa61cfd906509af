#include "card/char_set.h"

#include <gtest/gtest.h>

#include <random>

#include "support/code_page.h"

TEST(ReverseRtlRuns, ReversesOnlyRunsOfRightToLeftBytes) {
    EXPECT_EQ(reverse_rtl_runs("\x41\xE0\xE1\xE2\x20\xE3\x42"), "\x41\xE2\xE1\xE0\x20\xE3\x42");
    EXPECT_EQ(reverse_rtl_runs("\xE0\xE1\xE2\x20\xE3\x42"), "\xE2\xE1\xE0\x20\xE3\x42");
    EXPECT_EQ(reverse_rtl_runs(""), "");
}

TEST(ReverseRtlRuns, MarksExactlyTheRecordersRightToLeftBytes) {
    // The byte ranges the recorder treats as right-to-left, written out independently of the
    // implementation's table.
    const auto rtl = [](int b) {
        return (b >= 0x81 && b <= 0x82) || (b >= 0x84 && b <= 0x89) || b == 0x8B ||
               (b >= 0x8D && b <= 0x99) || b == 0x9B || (b >= 0x9D && b <= 0x9E) ||
               (b >= 0xA0 && b <= 0xBB) || (b >= 0xBF && b <= 0xFB) || (b >= 0xFD && b <= 0xFE);
    };
    for (int b = 0; b < 256; ++b) {
        const std::string pair{static_cast<char>(b), '\xE0'};
        const std::string expected = rtl(b) ? std::string{'\xE0', static_cast<char>(b)} : pair;
        EXPECT_EQ(reverse_rtl_runs(pair), expected) << "byte " << b;
    }
}

TEST(ReverseRtlRuns, IsItsOwnInverse) {
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        std::string text(random() % 64, '\0');
        for (char& c : text)
            c = static_cast<char>(random());
        EXPECT_EQ(reverse_rtl_runs(reverse_rtl_runs(text)), text);
        EXPECT_EQ(reverse_rtl_runs(text).size(), text.size());
    }
}

TEST(SystemCharSet, CodePagesMapToTheRecordsCharacterSetCodes) {
    EXPECT_EQ(char_set_of_code_page(1250), kCharSetCentralEuropean);
    EXPECT_EQ(char_set_of_code_page(28592), kCharSetCentralEuropean);
    EXPECT_EQ(char_set_of_code_page(1255), kCharSetHebrew);
    EXPECT_EQ(char_set_of_code_page(862), kCharSetHebrew);
    EXPECT_EQ(char_set_of_code_page(28598), kCharSetHebrew);
    EXPECT_EQ(char_set_of_code_page(1252), kCharSetDefault);
    EXPECT_EQ(char_set_of_code_page(65001), kCharSetDefault);
    EXPECT_EQ(char_set_of_code_page(std::nullopt), kCharSetDefault);
}

TEST(SystemCharSet, LocaleCodeSetNamesMapToTheirCodePages) {
    EXPECT_EQ(code_page_of_codeset("ISO-8859-2"), 28592u);
    EXPECT_EQ(code_page_of_codeset("iso88592"), 28592u);
    EXPECT_EQ(code_page_of_codeset("CP1250"), 1250u);
    EXPECT_EQ(code_page_of_codeset("ISO-8859-8"), 28598u);
    EXPECT_EQ(code_page_of_codeset("ISO_8859-8"), 28598u);
    EXPECT_EQ(code_page_of_codeset("CP1255"), 1255u);
    EXPECT_EQ(code_page_of_codeset("UTF-8"), 65001u);
    EXPECT_EQ(code_page_of_codeset("ISO-8859-15"), std::nullopt);
    EXPECT_EQ(code_page_of_codeset(""), std::nullopt);
}
