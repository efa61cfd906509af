#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/system_info.h"

extern char** environ;

namespace {

// How often the stop event is polled while the program runs; waitpid cannot wait for both.
constexpr uint32_t kPollMilliseconds = 20;

int exit_code_of(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

ProgramRun launch_process(const std::string& program, const std::vector<CommandArgument>& arguments,
                          const NamedEvent* stop) {
    // The line itself is only measured: the program gets the arguments as they are.
    if (!launchable_command_line(program, arguments)) return {};
    std::vector<std::string> texts{program};
    for (const CommandArgument& argument : arguments)
        texts.push_back(argument.text);
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    // glibc reports a program that cannot be executed as a failure of posix_spawn itself.
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return {};
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return {ProgramRun::Outcome::kExited, exit_code_of(status)};
        if (done < 0) return {};
        if (stop != nullptr && stop->is_signalled()) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return {ProgramRun::Outcome::kStopped, -1};
        }
        sleep_milliseconds(kPollMilliseconds);
    }
}
