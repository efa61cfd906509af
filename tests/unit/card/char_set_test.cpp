#include "card/char_set.h"

#include <gtest/gtest.h>

#include "support/code_page.h"

TEST(ReverseRtlRuns, ReversesOnlyRunsOfRightToLeftBytes) {
    EXPECT_EQ(reverse_rtl_runs("\x41\xE0\xE1\xE2\x20\xE3\x42"), "\x41\xE2\xE1\xE0\x20\xE3\x42");
    EXPECT_EQ(reverse_rtl_runs("\xE0\xE1\xE2\x20\xE3\x42"), "\xE2\xE1\xE0\x20\xE3\x42");
    EXPECT_EQ(reverse_rtl_runs(""), "");
}

TEST(SystemCharSet, LocaleCodeSetNamesGiveTheRecordsCharacterSet) {
    const std::pair<const char*, uint8_t> cases[] = {{"ISO-8859-2", kCharSetCentralEuropean},
                                                     {"iso88592", kCharSetCentralEuropean},
                                                     {"CP1250", kCharSetCentralEuropean},
                                                     {"ISO_8859-8", kCharSetHebrew},
                                                     {"CP1255", kCharSetHebrew},
                                                     {"UTF-8", kCharSetDefault},
                                                     {"ISO-8859-15", kCharSetDefault},
                                                     {"", kCharSetDefault}};
    for (const auto& [name, char_set] : cases)
        EXPECT_EQ(char_set_of_code_page(code_page_of_codeset(name)), char_set) << name;
}
