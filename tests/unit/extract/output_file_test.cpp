#include "extract/output_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io_fault_scope.h"
#include "test_folder.h"

// A read's output file that loses any step must say so when it is closed, so that the read
// fails instead of presenting a short file as complete.
TEST(OutputFile, EveryFailedStepIsReportedByClose) {
    // 40000 words: one buffer written while filling, the rest when closing.
    for (const char* fault : {"write:1", "write:2", "flush:1"}) {
        TestFolder dir;
        const IoFaultScope scope(fault);
        OutputFile file;
        ASSERT_TRUE(file.create(dir / "rawecg1.dat")) << fault;
        file.put_repeated_u16(0x0801, 40000);
        EXPECT_FALSE(file.close()) << fault;
    }
    TestFolder dir;
    const IoFaultScope scope("create:1");
    OutputFile file;
    EXPECT_FALSE(file.create(dir / "rawecg1.dat"));
    EXPECT_TRUE(file.create(dir / "rawecg1.dat"));
    file.put_repeated_u16(0x0801, 40000);
    EXPECT_TRUE(file.close());
    EXPECT_EQ(read_bytes(dir / "rawecg1.dat").size(), 80000u);
}
