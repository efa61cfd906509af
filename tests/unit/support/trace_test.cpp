#include "support/trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

TEST(Trace, AppendsFormattedLinesToTheFileNamedByKadoTrace) {
    const std::string path = ::testing::TempDir() + "trace_test.txt";
    std::remove(path.c_str());
#if defined(_WIN32)
    _putenv_s("KADO_TRACE", path.c_str());
#else
    setenv("KADO_TRACE", path.c_str(), 1);
#endif
    trace("m_exit_code : %i\n", 101);
    trace("mode %i not available\n", 7);
#if defined(_WIN32)
    _putenv_s("KADO_TRACE", "");
#else
    unsetenv("KADO_TRACE");
#endif
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "m_exit_code : 101\nmode 7 not available\n");
}
