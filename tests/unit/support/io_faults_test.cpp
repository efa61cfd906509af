#include "support/io_faults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "io_fault_scope.h"
#include "support/card_file.h"
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
