#include "app/kado_app.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_folder.h"

namespace {

// An empty value removes the variable.
void set_env(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    if (value.empty())
        unsetenv(name);
    else
        setenv(name, value.c_str(), 1);
#endif
}

}  // namespace

TEST(KadoApp, CalibrationFromTheCommandLineOverridesKadoCal) {
    TestFolder folder;
    set_env("XDG_CONFIG_HOME", folder.path());
    set_env("KADO_CAL", "5");
    CKadoApp overridden("/write=stand /cal=7 /dir=" + folder.path());
    overridden.start_instance();
    ASSERT_NE(overridden.disk(), nullptr);
    EXPECT_EQ(overridden.disk()->m_read_settings.calibration_seconds, 7);

    CKadoApp from_environment("/write=stand /dir=" + folder.path());
    from_environment.start_instance();
    EXPECT_EQ(from_environment.disk()->m_read_settings.calibration_seconds, 5);

    // A negative KADO_CAL leaves the default in force.
    set_env("KADO_CAL", "-4");
    CKadoApp negative("/write=stand /dir=" + folder.path());
    negative.start_instance();
    EXPECT_EQ(negative.disk()->m_read_settings.calibration_seconds, 60);

    // So does one above an hour, which would otherwise write calibration for days.
    set_env("KADO_CAL", "2000000000");
    CKadoApp excessive("/write=stand /dir=" + folder.path());
    excessive.start_instance();
    EXPECT_EQ(excessive.disk()->m_read_settings.calibration_seconds, 60);
    set_env("KADO_CAL", "");
    set_env("XDG_CONFIG_HOME", "");
}
