#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/program_run.h"

namespace {

// How often the stop event is polled while the program runs.
constexpr DWORD kPollMilliseconds = 50;

}  // namespace

ProgramRun launch_process(const std::string& program, const std::vector<CommandArgument>& arguments,
                          const NamedEvent* stop) {
    std::optional<std::string> line = launchable_command_line(program, arguments);
    if (!line) return {};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    // The application name is given, so CreateProcess never tries the prefixes of an unquoted
    // path ("C:\Program.exe" for "C:\Program Files\...").
    if (!CreateProcessA(program.c_str(), line->data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    ProgramRun run{ProgramRun::Outcome::kExited, -1};
    while (WaitForSingleObject(process.hProcess, kPollMilliseconds) == WAIT_TIMEOUT) {
        if (stop != nullptr && stop->is_signalled()) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, INFINITE);
            run.outcome = ProgramRun::Outcome::kStopped;
            break;
        }
    }
    DWORD code = 0;
    if (run.outcome == ProgramRun::Outcome::kExited) {
        if (GetExitCodeProcess(process.hProcess, &code))
            run.exit_code = static_cast<int>(code);
        else
            run.outcome = ProgramRun::Outcome::kNotStarted;
    }
    CloseHandle(process.hProcess);
    return run;
}
