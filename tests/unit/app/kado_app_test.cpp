#include "app/kado_app.h"

#include <gtest/gtest.h>

#include <string>

#include "test_env.h"

TEST(KadoApp, CalibrationFromTheCommandLineOverridesKadoCal) {
    TestFolder folder;
    const ScopedEnv config("XDG_CONFIG_HOME", folder.path());
    const ScopedEnv cal("KADO_CAL", "5");
    const auto calibration = [&](const std::string& options) {
        CKadoApp app("/write=stand " + options + " /dir=" + folder.path());
        app.start_instance();
        return app.disk() ? app.disk()->m_read_settings.calibration_seconds : -1;
    };
    EXPECT_EQ(calibration("/cal=7"), 7);
    EXPECT_EQ(calibration(""), 5);
    // A negative KADO_CAL leaves the default in force.
    cal.set("-4");
    EXPECT_EQ(calibration(""), 60);
}
