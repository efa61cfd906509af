// KADO_DECODE_THREADS: a compressed card read decoding ahead (the default), on the reading thread
// alone (0) or with a value that is not a number of threads (ignored) leaves the same files.
#include "harness.h"

TEST(DecodeThreads, EverySettingLeavesTheSameFiles) {
    const EnvList settings[] = {{}, {{"KADO_DECODE_THREADS", "0"}}, {{"KADO_DECODE_THREADS", "x"}}};
    std::map<std::string, std::string> first;
    for (const EnvList& env : settings) {
        // A fresh copy of the same card each time: a read marks its card as read.
        CardWork work;
        ASSERT_TRUE(work.make({"--format=35", "--segments=25m,1m,15m", "--seek-interval=3m",
                               "--pace-pattern", "--event=100"}));
        ASSERT_EQ(work.read("/readecg=hide /opformat=archive /duration=1", env), 0);
        const std::map<std::string, std::string> files = folder_files(work.out());
        EXPECT_EQ(files.count("rawecg1.dat"), 1u);
        if (first.empty())
            first = files;
        else
            EXPECT_EQ(files, first) << env.front().second;
    }
}
