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

ProgramRun run_program(const std::string& program, const std::vector<std::string>& arguments,
                       const NamedEvent* stop) {
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
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
