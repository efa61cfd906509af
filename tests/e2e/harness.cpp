#include "harness.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <thread>

namespace {

std::string env_or_empty(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Standard input from /dev/null; redirect, when given, then sets up the standard streams in the
// child.
pid_t start_program(const std::vector<std::string>& argv, const EnvList& env,
                    const std::function<void()>& redirect = {}) {
    const pid_t child = fork();
    if (child != 0) return child;
    // The program speaks the locale's language; the tests read English unless they ask otherwise.
    if (!under_wine()) setenv("LC_ALL", "C.UTF-8", 1);
    for (const auto& [name, value] : env)
        setenv(name.c_str(), value.c_str(), 1);
    if (const int devnull = open("/dev/null", O_RDONLY); devnull >= 0) dup2(devnull, 0);
    if (redirect) redirect();
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

// In the child: the descriptor becomes each of the standard streams given, and all of the
// descriptors are closed.
void redirect_streams(std::initializer_list<std::pair<int, int>> targets,
                      std::initializer_list<int> to_close) {
    for (const auto& [fd, stream] : targets)
        dup2(fd, stream);
    for (const int fd : to_close)
        close(fd);
}

// The end of the first prompt in the text: single lower-case letters joined by "/" in brackets,
// then a blank ("[y/n] ", "[p/e/x] "); npos when none has arrived whole.
size_t prompt_end(const std::string& text) {
    for (size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
        for (size_t i = at + 1;
             i + 2 < text.size() && std::islower(static_cast<unsigned char>(text[i])); i += 2) {
            if (text.compare(i + 1, 2, "] ") == 0) return i + 3;
            if (text[i + 1] != '/') break;
        }
    }
    return std::string::npos;
}

// Hands each piece the descriptor delivers to `take` until it ends (or nothing comes for two
// minutes).
void read_until_end(int fd, const std::function<void(const std::string&)>& take) {
    for (char buffer[4096];;) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 120000) <= 0) return;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return;
        take(std::string(buffer, static_cast<size_t>(got)));
    }
}

int wait_for_program(pid_t child, int timeout_seconds) {
    if (child < 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The file with the arguments, started through the Wine runner under Wine.
std::vector<std::string> wine_argv(const std::string& file, const std::vector<std::string>& args) {
    std::vector<std::string> argv{file};
    if (under_wine()) argv.insert(argv.begin(), env_or_empty("KADO_WINE"));
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

std::string drive_map_folder(const std::string& work_folder) {
    if (!under_wine()) return work_folder + "/drives";
    const std::string prefix = env_or_empty("WINEPREFIX");
    if (prefix.empty()) throw std::runtime_error("WINEPREFIX is not set");
    return prefix + "/dosdevices";
}

class WineServerForTheRun : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!under_wine()) return;
        // The prefix is made on first use, and making it waits for its server to end.
        run_program({env_or_empty("KADO_WINE"), "cmd", "/c", "exit"}, {}, 300);
        restart_wine_server();
    }
    void TearDown() override {
        if (under_wine()) run_program({"/bin/sh", "-c", "wineserver -k; wineserver -w"}, {}, 60);
    }
};

const auto* const g_wine_server = ::testing::AddGlobalTestEnvironment(new WineServerForTheRun);

}  // namespace

bool under_wine() {
    return !env_or_empty("KADO_WINE").empty();
}

std::string host_path(const std::string& path) {
    if (!under_wine()) return path;
    std::string windows = "Z:" + path;
    std::ranges::replace(windows, '/', '\\');
    return windows;
}

int run_program(const std::vector<std::string>& argv, const EnvList& env, int timeout_seconds) {
    return wait_for_program(start_program(argv, env), timeout_seconds);
}

std::string run_program_output(const std::vector<std::string>& argv, int& code) {
    int output[2];
    if (pipe(output) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = start_program(argv, {}, [&] {
        redirect_streams({{output[1], 1}}, {output[0], output[1]});
    });
    close(output[1]);
    std::string text;
    int status = 0;
    for (bool ended = false; !ended;) {
        ended = waitpid(child, &status, WNOHANG) == child;
        char buffer[4096];
        for (pollfd ready{output[0], POLLIN, 0}; poll(&ready, 1, ended ? 0 : 20) > 0;) {
            const ssize_t got = read(output[0], buffer, sizeof buffer);
            if (got <= 0) break;
            text.append(buffer, static_cast<size_t>(got));
        }
    }
    close(output[0]);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return text;
}

std::vector<std::string> tool_argv(const std::string& name, const std::vector<std::string>& args) {
    const std::string file = env_or_empty("KADO_TOOLS_DIR") + "/" + name + "/" + name;
    return wine_argv(under_wine() ? file + ".exe" : file, args);
}

std::string szip_file() {
    return std::filesystem::path(env_or_empty("KADO_TOOLS_DIR")).parent_path() /
           (under_wine() ? "szip.exe" : "szip");
}

std::vector<std::string> szip_argv(const std::vector<std::string>& args) {
    return wine_argv(szip_file(), args);
}

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& argv, const EnvList& env)
    : m_pid(start_program(argv, env)) {}

BackgroundProgram::~BackgroundProgram() {
    if (m_pid > 0) wait_for_program(m_pid, 0);
}

int BackgroundProgram::wait(int timeout_seconds) {
    return wait_for_program(std::exchange(m_pid, -1), timeout_seconds);
}

bool wait_for_file(const std::string& path, int timeout_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    while (!std::filesystem::exists(path) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists(path);
}

SignalledTerminator::SignalledTerminator(const std::string& instance, const std::string& marker)
    : m_marker(marker),
      m_holder(tool_argv("kadosignal",
                         {instance + ".terminator.signal", "--hold=" + host_path(marker)})),
      m_ready(wait_for_file(marker, 120)) {}

SignalledTerminator::~SignalledTerminator() {
    std::error_code ignored;
    std::filesystem::remove(m_marker, ignored);
    m_holder.wait();
}

int run_kado(const std::string& command_line, const EnvList& env, int timeout_seconds) {
    const std::string program = env_or_empty("KADO_UNDER_TEST");
    if (program.empty()) throw std::runtime_error("KADO_UNDER_TEST is not set");
    EnvList all = env;
    if (!under_wine()) return run_program({program, command_line}, all, timeout_seconds);
    // Wine would re-quote arguments; winlaunch hands kado.exe the exact text instead.
    all.emplace_back("KADO_COMMAND_LINE", command_line);
    const std::string launcher = env_or_empty("KADO_TOOLS_DIR") + "/winlaunch/winlaunch.exe";
    return run_program(wine_argv(launcher, {host_path(program)}), all, timeout_seconds);
}

int run_kado_answering(const std::string& command_line, const std::vector<std::string>& answers,
                       const EnvList& env, const std::function<void(size_t)>& before_answer,
                       std::string* error_text) {
    if (under_wine()) return run_kado(command_line, env);
    const std::string program = env_or_empty("KADO_UNDER_TEST");
    int input[2];
    int error[2];
    if (program.empty() || pipe(input) != 0 || pipe(error) != 0)
        throw std::runtime_error("cannot start the program with pipes");
    const pid_t child = start_program({program, command_line}, env, [&] {
        redirect_streams({{input[0], 0}, {error[1], 2}}, {input[0], input[1], error[0], error[1]});
    });
    close(input[0]);
    close(error[1]);
    std::string seen;
    size_t asked = 0;
    read_until_end(error[0], [&](const std::string& piece) {
        if (error_text != nullptr) *error_text += piece;
        seen += piece;
        // Each prompt ends a message box or a dialog; its text goes to the test's log.
        for (size_t end; (end = prompt_end(seen)) != std::string::npos; ++asked) {
            std::fprintf(stderr, "%s\n", seen.substr(0, end).c_str());
            seen.erase(0, end);
            if (before_answer) before_answer(asked);
            if (input[1] < 0) continue;
            const std::string line = asked < answers.size() ? answers[asked] + "\n" : "";
            if (line.empty() || write(input[1], line.data(), line.size()) < 0) {
                close(input[1]);
                input[1] = -1;
            }
        }
    });
    if (input[1] >= 0) close(input[1]);
    close(error[0]);
    return wait_for_program(child, 10);
}

int run_kado_on_terminal(const std::string& command_line, const std::vector<std::string>& answers,
                         const EnvList& env, std::string& terminal_text) {
    const std::string program = env_or_empty("KADO_UNDER_TEST");
    int input[2];
    int terminal = -1;
    int program_side = -1;
    if (program.empty() || pipe(input) != 0 ||
        openpty(&terminal, &program_side, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("cannot start the program on a terminal");
    // The few answer lines fit the pipe's buffer, so they are all there before the program starts.
    std::string lines;
    for (const std::string& answer : answers)
        lines += answer + "\n";
    if (write(input[1], lines.data(), lines.size()) != static_cast<ssize_t>(lines.size()))
        throw std::runtime_error("cannot write the answers");
    close(input[1]);
    const pid_t child = start_program({program, command_line}, env, [&] {
        redirect_streams({{input[0], 0}, {program_side, 1}, {program_side, 2}},
                         {input[0], program_side, terminal});
    });
    close(input[0]);
    close(program_side);
    // The terminal reports an error instead of its end once the program has closed its side.
    terminal_text.clear();
    read_until_end(terminal, [&](const std::string& piece) { terminal_text += piece; });
    close(terminal);
    return wait_for_program(child, 10);
}

std::string platform_text(const std::string& text) {
    if (!under_wine()) return text;
    std::string windows;
    for (const char c : text) {
        if (c == '\n') windows += '\r';
        windows += c;
    }
    return windows;
}

bool make_card(const std::string& card_folder, const std::string& intended_folder,
               const std::vector<std::string>& options) {
    std::filesystem::remove_all(card_folder);
    std::vector<std::string> argv = tool_argv("cardsim", {"--card=" + host_path(card_folder)});
    if (!intended_folder.empty()) argv.push_back("--intended=" + host_path(intended_folder));
    argv.insert(argv.end(), options.begin(), options.end());
    return run_program(argv, {}, 300) == 0;
}

int CardWork::read(const std::string& arguments, EnvList env, int timeout_seconds) {
    std::filesystem::remove_all(out());
    return run(arguments, std::move(env), timeout_seconds);
}

int CardWork::run(const std::string& arguments, EnvList env, int timeout_seconds) {
    std::filesystem::create_directory(out());
    env.emplace_back("XDG_CONFIG_HOME", path());
    return run_kado(arguments + " /ipdir=" + host_path(card()) + " /dir=" + host_path(out()), env,
                    timeout_seconds);
}

EnvList DriveTest::env() {
    EnvList all = m_drives.env();
    all.emplace_back("XDG_CONFIG_HOME", m_work.path());
    return all;
}

bool DriveTest::copy_card_into(const std::string& root, const std::vector<std::string>& options,
                               bool fill) {
    const std::string made = m_work / "made";
    if (!make_card(made, "", options)) return false;
    m_drives.map('E', root, "VNT_CFR");  // the label first: a filled card has no room for it
    for (const auto& entry : std::filesystem::directory_iterator(made))
        std::filesystem::copy(entry.path(), root + "/" + entry.path().filename().string(),
                              std::filesystem::copy_options::overwrite_existing);
    if (!fill) return true;
    std::ofstream ecg(root + "/ecg.dat", std::ios::binary | std::ios::app);
    const std::string sector(512, '\0');
    while (ecg.write(sector.data(), sector.size()) && ecg.flush()) {
    }
    return true;
}

// C: and Z: are the Wine prefix's own drives.
TestDriveSet::TestDriveSet(const std::string& work_folder)
    : DriveMap(drive_map_folder(work_folder), "cz") {}

TestDriveSet::~TestDriveSet() {
    unmap_all();
    env();  // later tests must not see these drives
}

EnvList TestDriveSet::env() {
    if (!under_wine()) return {{"KADO_DRIVES", folder()}};
    if (changed()) restart_wine_server();
    return {};
}

// Debian's wineserver leaves as soon as its last program ends, so a program started in that
// moment fails with "Connection reset by peer". One server for the whole run leaves no such
// moment; 900 s outlasts any gap between two programs and still ends a run that was killed.
void restart_wine_server() {
    run_program({"/bin/sh", "-c", "wineserver -k; wineserver -w"}, {}, 60);
    run_program({"/bin/sh", "-c", "wineserver -p900 </dev/null >/dev/null 2>&1"}, {}, 60);
}
