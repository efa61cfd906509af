// The language choice from the registry (the Linux program's INI stand-in) and the locale.
#include <gtest/gtest.h>

#include <string>

#include "support/language_choice.h"
#include "support/string_ids.h"
#include "support/string_table.h"
#include "test_folder.h"
#include "test_registry.h"

#if !defined(_WIN32)

namespace {

// The shared language key and the program's own, of the user and of the machine.
const std::string kUserShared = "[HKEY_CURRENT_USER\\SOFTWARE\\Vantorel\\Language]\n";
const std::string kUserOwn = "[HKEY_CURRENT_USER\\SOFTWARE\\Vantorel\\Language\\KADO]\n";
const std::string kMachineShared = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantorel\\Language]\n";
const std::string kMachineOwn = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantorel\\Language\\KADO]\n";

}  // namespace

TEST(SelectLanguage, OwnKeyBeforeSharedUserBeforeMachineNumbersOnly) {
    const struct {
        const char* name;
        std::string registry;
        int32_t chosen;
    } cases[] = {
        {"nothing stored", "", -1},
        {"no sub-language means 1", kMachineShared + "PrimaryLanguage=dword:00000007\n", 1031},
        {"the user's own key wins",
         kMachineOwn + "PrimaryLanguage=dword:00000007\n" + kUserOwn +
             "PrimaryLanguage=dword:0000000c\nSubLanguage=dword:00000001\n",
         1036},
        {"per-program keys ignored",
         kUserShared + "IgnorePerAppSettings=dword:00000001\n" + kUserOwn +
             "PrimaryLanguage=dword:0000000c\n" + kMachineOwn + "PrimaryLanguage=dword:00000019\n" +
             kMachineShared + "PrimaryLanguage=dword:00000015\n",
         1045},
        {"a number stored as text is absent",
         kUserOwn + "PrimaryLanguage=7\n" + kMachineShared +
             "PrimaryLanguage=dword:0000000a\nSubLanguage=dword:00000003\n",
         3082},
        {"a malformed number is absent", kMachineShared + "PrimaryLanguage=dword:7g\n", -1},
    };
    const TestFolder work;
    const TestRegistry registry(work);
    for (const auto& c : cases) {
        registry.write(c.registry);
        EXPECT_EQ(select_language("KADO"), c.chosen) << c.name;
    }
}

TEST(SystemLanguage, FirstSetLocaleVariableNamesTheLanguage) {
    const struct {
        const char* all;
        const char* messages;
        const char* lang;
        LanguageId language;
    } cases[] = {
        {"de_DE.UTF-8", "fr_FR", "it_IT", 1031}, {"", "C", "pl_PL.UTF-8", kLanguageEnglish},
        {"", "", "ru_RU@cyrillic", 1049},        {"", "", "pt_BR", kLanguageEnglish},
        {"", "", "", kLanguageEnglish},
    };
    for (const auto& c : cases) {
        const ScopedEnv all("LC_ALL", c.all);
        const ScopedEnv messages("LC_MESSAGES", c.messages);
        const ScopedEnv lang("LANG", c.lang);
        EXPECT_EQ(system_language(), c.language) << c.all << c.messages << c.lang;
    }
}

// The choice is shown in its nearest texts: Spanish (traditional sort) in the modern sort's.
TEST(ApplyLanguageChoice, RegistryChoiceOutranksTheLocaleAndShowsItsNearestTexts) {
    const TestFolder work;
    const TestRegistry registry(work);
    const ScopedEnv lang("LC_ALL", "fr_FR.UTF-8");
    registry.write(kUserShared + "PrimaryLanguage=dword:0000000a\nSubLanguage=dword:00000001\n");
    apply_language_choice("KADO");
    EXPECT_EQ(text_language(), 1034);
    EXPECT_EQ(load_string(kStringCardInitialised), *find_text(kStringCardInitialised, 3082));
    set_text_language(kLanguageEnglish);
}

#endif
