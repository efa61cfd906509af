#include "window_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "gui_prefix.h"

namespace {

std::string env_value(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

EnvList with_command_line(EnvList env, const std::string& command_line) {
    env.emplace_back("KADO_COMMAND_LINE", command_line);
    return env;
}

const char* const kLanguageKey = "HKCU\\Software\\Vantorel\\Language\\KADO";

void reg(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{env_value("KADO_WINE"), "reg"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    run_program(argv, {}, 300);
}

class GuiPrefixForTheRun : public ::testing::Environment {
  public:
    void SetUp() override { make_gui_prefix(); }
};

const auto* const g_gui_prefix = ::testing::AddGlobalTestEnvironment(new GuiPrefixForTheRun);

}  // namespace

// winlaunch hands kado.exe the exact command-line text, which Wine would re-quote.
WindowRun::WindowRun(const std::string& command_line, EnvList env)
    : m_program({env_value("KADO_WINE"), env_value("KADO_TOOLS_DIR") + "/winlaunch/winlaunch.exe",
                 host_path(env_value("KADO_UNDER_TEST"))},
                with_command_line(std::move(env), command_line)) {}

std::string WindowRun::drive(const std::vector<std::string>& commands) {
    int code = 0;
    std::string report = run_program_output(tool_argv("uidriver", commands), code);
    if (code != 0) report += "driver exit " + std::to_string(code) + "\n";
    return report;
}

void clear_default_drive() {
    reg({"delete", "HKCU\\Software\\Vantorel\\KADO\\Settings", "/v", "Default Drive", "/f"});
}

UserLanguage::UserLanguage(int primary_language) {
    reg({"add", kLanguageKey, "/v", "PrimaryLanguage", "/t", "REG_DWORD", "/d",
         std::to_string(primary_language), "/f"});
}

UserLanguage::~UserLanguage() {
    reg({"delete", kLanguageKey, "/f"});
}
