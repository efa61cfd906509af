// Arms the I/O fault seam for one scope of a test and disarms it at the end, however the scope
// ends.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/io_faults.h"

class IoFaultScope {
  public:
    explicit IoFaultScope(const std::string& text) {
        EXPECT_TRUE(arm_io_fault_from_text(text)) << text;
    }
    ~IoFaultScope() { disarm_io_fault(); }
    IoFaultScope(const IoFaultScope&) = delete;
    IoFaultScope& operator=(const IoFaultScope&) = delete;
};
