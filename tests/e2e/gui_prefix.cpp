#include "gui_prefix.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

std::string gui_prefix_path() {
    const char* main_prefix = std::getenv("WINEPREFIX");
    if (main_prefix == nullptr || *main_prefix == '\0')
        throw std::runtime_error("WINEPREFIX is not set");
    return std::string(main_prefix) + "-gui";
}

bool g_server_started = false;

// Ends the window prefix's server with the test run, as the harness does for the main prefix.
class GuiServerForTheRun : public ::testing::Environment {
  public:
    void TearDown() override {
        if (g_server_started)
            run_program({"/bin/sh", "-c", "wineserver -k; wineserver -w"},
                        {{"WINEPREFIX", gui_prefix_path()}}, 60);
    }
};

const auto* const g_gui_server = ::testing::AddGlobalTestEnvironment(new GuiServerForTheRun);

}  // namespace

void end_gui_prefix_programs() {
    const EnvList env = gui_prefix_env();
    run_program({"/bin/sh", "-c", "wineserver -k; wineserver -w"}, env, 60);
    g_server_started = false;
    gui_prefix_env();
}

EnvList gui_prefix_env() {
    const std::string prefix = gui_prefix_path();
    const EnvList env{{"WINEPREFIX", prefix}};
    if (g_server_started) return env;
    const std::string ready = prefix + "/.kado-gui-ready";
    if (!std::filesystem::exists(ready)) {
        // The runner makes the prefix on first use; the driver setting is read when a program
        // starts, so it is written with the server ended afterwards to reach the disk.
        const char* wine = std::getenv("KADO_WINE");
        if (run_program({wine, "reg", "add", "HKCU\\Software\\Wine\\Drivers", "/v", "Graphics",
                         "/d", "null", "/f"},
                        env, 300) != 0)
            throw std::runtime_error("cannot make the window prefix");
        run_program({"/bin/sh", "-c", "wineserver -w"}, env, 60);
        write_file(ready, "");
    }
    // One server for the run, as for the main prefix: no program starts while one is leaving.
    run_program({"/bin/sh", "-c", "wineserver -p900 </dev/null >/dev/null 2>&1"}, env, 60);
    g_server_started = true;
    return env;
}
