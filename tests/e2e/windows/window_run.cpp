#include "window_run.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "gui_prefix.h"

namespace {

std::string env_value(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) throw std::runtime_error(std::string(name) + " is not set");
    return value;
}

std::vector<std::string> kado_argv() {
    // winlaunch hands kado.exe the exact command-line text, which Wine would re-quote.
    return {env_value("KADO_WINE"), env_value("KADO_TOOLS_DIR") + "/winlaunch/winlaunch.exe",
            host_path(env_value("KADO_UNDER_TEST"))};
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

}  // namespace

WindowRun::WindowRun(const std::string& command_line, EnvList env)
    : m_program(kado_argv(), with_command_line(std::move(env), command_line)) {}

std::string WindowRun::drive(const std::vector<std::string>& commands) {
    const std::vector<std::string> argv = tool_argv("uidriver", commands);
    int output[2];
    if (pipe(output) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], 1);
        close(output[0]);
        close(output[1]);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(output[1]);
    // Wine's helper processes started with the driver inherit its output and outlive it, so the
    // report ends when the driver does, not at the end of the pipe.
    std::string report;
    int status = 0;
    for (bool ended = false; !ended;) {
        ended = waitpid(child, &status, WNOHANG) == child;
        char buffer[4096];
        for (pollfd ready{output[0], POLLIN, 0}; poll(&ready, 1, ended ? 0 : 20) > 0;) {
            const ssize_t got = read(output[0], buffer, sizeof buffer);
            if (got <= 0) break;
            report.append(buffer, static_cast<size_t>(got));
        }
    }
    close(output[0]);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

namespace {

class GuiPrefixForTheRun : public ::testing::Environment {
  public:
    void SetUp() override { make_gui_prefix(); }
};

const auto* const g_gui_prefix = ::testing::AddGlobalTestEnvironment(new GuiPrefixForTheRun);

}  // namespace
