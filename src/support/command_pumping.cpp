#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "support/message_pump.h"
#include "support/program_run.h"

// The worker only starts the program and waits; it shares nothing with the window thread but the
// result, which is read after the worker has ended.
ProgramRun run_command_pumping(const std::string& program,
                               const std::vector<CommandArgument>& arguments,
                               const NamedEvent* stop, std::chrono::milliseconds poll) {
    std::packaged_task<ProgramRun()> task([&] { return launch_process(program, arguments, stop); });
    std::future<ProgramRun> result = task.get_future();
    std::thread worker;
    try {
        worker = std::thread(std::move(task));
    } catch (const std::system_error&) {
        return {};
    }
    do {
        pump_messages();
    } while (result.wait_for(poll) == std::future_status::timeout);
    worker.join();
    return result.get();
}
