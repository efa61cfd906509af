#include "support/io_faults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io_fault_scope.h"
#include "support/card_file.h"
#include "support/file_utils.h"
#include "support/mapped_section.h"
#include "support/shared_objects.h"
#include "test_folder.h"

namespace {

std::span<const uint8_t> bytes_of(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

}  // namespace

// config.dat is the card's record of the recording: a write that fails at any step must leave
// the record the card had, and a file that did not exist must not appear half made.
TEST(WriteCardFile, AFailedStepLeavesTheOldFileOrNone) {
    for (const char* fault : {"create:1", "write:1", "flush:1"}) {
        TestFolder dir;
        write_file(dir / "config.dat", "the old record");
        for (const char* name : {"config.dat", "patsumm.dat"}) {
            const IoFaultScope scope(fault);
            EXPECT_FALSE(write_card_file(dir / name, bytes_of("new"))) << fault << " " << name;
        }
        EXPECT_EQ(read_file(dir / "config.dat"), "the old record") << fault;
        EXPECT_FALSE(std::filesystem::exists(dir / "patsumm.dat")) << fault;
    }
}

TEST(CopyFilePlain, AFailedStepLeavesTheSourceAndNoPartialTarget) {
    for (const char* fault : {"create:1", "write:1", "flush:1"}) {
        TestFolder dir;
        write_file(dir / "patient.wav", std::string(70000, 'w'));
        {
            const IoFaultScope scope(fault);
            EXPECT_FALSE(copy_file_plain(dir / "patient.wav", dir / "copy.wav")) << fault;
        }
        EXPECT_EQ(read_file(dir / "patient.wav"), std::string(70000, 'w')) << fault;
        EXPECT_FALSE(std::filesystem::exists(dir / "copy.wav")) << fault;
    }
}

TEST(MappedSection, AFailedMappingLeavesNoSection) {
    PrivateSharedObjects objects;
    const IoFaultScope scope("map:2");
    MappedSection first("kado unit faults 1", 4096, true);
    MappedSection second("kado unit faults 2", 4096, true);
    EXPECT_NE(first.view(), nullptr);
    EXPECT_EQ(second.view(), nullptr);
    EXPECT_EQ(second.size(), 0u);
    EXPECT_FALSE(second.open_existing("kado unit faults 2", true));
}
