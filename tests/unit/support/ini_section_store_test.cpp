// The INI store over the platform's profile calls: the Windows build reads through the real
// GetPrivateProfileSection (under Wine in the tests), the Linux build through its own parser, and
// both must give the same values for the same files.
#include "support/ini_section_store.h"

#include <gtest/gtest.h>

#include <string>

#include "test_folder.h"

namespace {

// Options: 'c' strip comments, 't' trim values.
struct IniCase {
    const char* name;
    const char* text;  // lines end in CR LF, as Windows programs write them
    const char* options;
    const char* section;
    const char* key;
    const char* value;
};

TEST(IniSectionStore, ReadsValuesAsTheProfileCallsDeliverThem) {
    const char* smith = "[Patient Details]\r\nPatientName=Smith ; ward list\r\n";
    const IniCase cases[] = {
        {"comment cut, blank kept", smith, "c", "Patient Details", "PatientName", "Smith "},
        {"comment cut and trimmed", smith, "ct", "Patient Details", "PatientName", "Smith"},
        {"comment kept", smith, "", "Patient Details", "PatientName", "Smith ; ward list"},
        {"cut at the last semicolon", "[P]\r\nId=A;B;C\r\n", "c", "P", "Id", "A;B"},
        {"later equals signs kept", "[P]\r\nId=a=b=c\r\n", "c", "P", "Id", "a=b=c"},
        {"other letter case", "[patient details]\r\npatientname=Jo\r\n", "c", "Patient Details",
         "PatientName", "Jo"},
        {"missing key", "[P]\r\nK=v\r\n", "c", "P", "Id", ""},
        {"missing section", "[Other]\r\nK=v\r\n", "c", "P", "K", ""},
        {"first of two keys", "[P]\r\nK=one\r\nk=two\r\n", "", "P", "K", "one"},
        {"line ends trimmed", "  [P]  \r\n   K=v  \r\n", "", "P", "K", "v"},
        {"comment line skipped", "[P]\r\n;K=no\r\nK=yes\r\n", "", "P", "K", "yes"},
        {"loose entries ignored", "K=no\r\n[P]\r\nK=yes\r\n", "", "P", "K", "yes"},
        {"line without equals sign", "[P]\r\nplain\r\nK=v\r\n", "", "P", "", "lain"},
        {"later section", "[A]\r\nK=a\r\n[B]\r\nK=b\r\n", "", "B", "K", "b"},
        {"Unix line ends", "[P]\nK=v\n", "", "P", "K", "v"},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder dir;
        write_file(dir / "patient.ini", c.text);
        IniSectionStore store;
        store.set_strip_comments(std::string(c.options).find('c') != std::string::npos);
        store.set_trim_values(std::string(c.options).find('t') != std::string::npos);
        ASSERT_GT(store.load(dir / "patient.ini"), 0);
        EXPECT_EQ(store.get(c.section, c.key), c.value);
    }
}

// The count is of the last section's entries; the data of earlier sections stays readable.
TEST(IniSectionStore, CountsTheCharactersOfTheLastSection) {
    const struct {
        const char* name;
        const char* text;
        int32_t count;
        const char* patient_name;
    } cases[] = {
        // "PatientName=Jones\0PatientId=7\0": each entry with its NUL, not the list's final one.
        {"two entries", "[Patient Details]\r\nPatientName=Jones\r\nPatientId=7\r\n", 30, "Jones"},
        {"empty last section", "[Patient Details]\r\nPatientName=Jones\r\n[Empty]\r\n", 0, "Jones"},
        // Entries before any header form an unnamed section, which is the first and only one.
        {"no sections", "PatientName=Jones\r\n", 18, ""},
        {"empty file", "", 0, ""},
        {"missing file", nullptr, 0, ""},
    };
    for (const auto& c : cases) {
        TestFolder dir;
        if (c.text != nullptr) write_file(dir / "patient.ini", c.text);
        IniSectionStore store;
        EXPECT_EQ(store.load(dir / "patient.ini"), c.count) << c.name;
        EXPECT_EQ(store.get("Patient Details", "PatientName"), c.patient_name) << c.name;
    }
}

// Blanks around the equals sign are where the platforms part: Windows delivers the entry as
// written, so the key keeps its trailing blank and no longer matches; Wine trims both sides.
TEST(IniSectionStore, BlankBeforeTheEqualsSignFollowsThePlatform) {
    TestFolder dir;
    write_file(dir / "patient.ini", "[Patient Details]\r\nPatientName = Smith\r\n");
    IniSectionStore store;
    ASSERT_GT(store.load(dir / "patient.ini"), 0);
#if defined(_WIN32)
    const std::string delivered = store.sections()[0].keys[0];
    EXPECT_TRUE(delivered == "PatientName " || delivered == "PatientName") << delivered;
#else
    EXPECT_EQ(store.sections()[0].keys[0], "PatientName ");
    EXPECT_EQ(store.get("Patient Details", "PatientName"), "");
#endif
}

}  // namespace
