#include "extract/edf_output.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/trace.h"
#include "test_folder.h"

// A damaged card can mark a pace on every time point, far more than a record's annotation signal
// carries: the excess is left out instead of queueing without end, and every record is written.
TEST(EdfOutputPaces, BeyondWhatTheRecordsCarryAreLeftOut) {
    constexpr int kSeconds = 600;
    TestFolder folder;
    EdfOutput output(OutputSettings{}, int64_t{kSeconds} * kSamplesPerBlock, folder.path(), {});
    ASSERT_TRUE(output.open());
    output.begin_recording({3, 0});
    DecodedBlock second;
    for (BlockSamples& channel : second.channels)
        channel.fill(2048);
    second.marks.fill(kPaceMark);
    HeldTraces traces;
    for (int s = 0; s < kSeconds; ++s)
        output.write_second(second);
    ASSERT_TRUE(output.finish(false));
    EXPECT_NE(traces.take().find("paces beyond 4096 waiting are left out"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(folder / "recording.edf"),
              256 * 5 + kSeconds * (3 * 2 * kSamplesPerBlock + kEdfAnnotationBytes));
}
