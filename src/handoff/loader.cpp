#include "handoff/loader.h"

#include "support/exit_codes.h"
#include "support/file_finder.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/string_ids.h"
#include "support/trace.h"

namespace {

// The loader's development build, where its makers build it on drive C:.
constexpr const char* kDevelopmentLoaderFolder[] = {
    "C:",           "TFROOT",  "Root",    "Main",      "CorriePlugins", "Deliverables",
    "Applications", "Analyse", "Stratus", "ECGLoader", "bin",           "Debug"};
constexpr const char* kInstalledLoaderFolder = "StratusStandardECGLoader";
constexpr const char* kNoProcedureId = "<NONE>";

std::string development_loader_path() {
    std::string path;
    for (const char* part : kDevelopmentLoaderFolder)
        path = path.empty() ? part : join_path(path, part);
    return join_path(path, kLoaderFileName);
}

// The first .LDSC file of the folder, in the order the file system lists it; "" when none.
std::string find_loader_source(const std::string& folder) {
    const FileFinder finder(join_path(folder, "*.LDSC"), kFindFiles);
    return finder.done() ? "" : finder.path();
}

}  // namespace

bool has_loader_source(const std::string& folder) {
    return !find_loader_source(folder).empty() && !file_exists(join_path(folder, "ECG.DAT"));
}

std::string find_loader(const std::string& program_folder) {
    for (const std::string& path :
         {development_loader_path(),
          join_path(join_path(program_folder, kInstalledLoaderFolder), kLoaderFileName)})
        if (file_exists(path)) return path;
    return "";
}

std::optional<std::vector<CommandArgument>> loader_arguments(const LoaderRequest& request,
                                                             const std::string& source) {
    // The loader reads paths itself: on Linux they reach it with their drive text resolved.
    const CommandArgument source_path = native_path(source);
    const CommandArgument skip = bare_argument(std::to_string(request.skip_hours));
    const CommandArgument duration = bare_argument(std::to_string(request.duration_hours));
    const CommandArgument output = native_path(request.output_dir);
    if (request.mode == kModeReadPatPath)
        return {{bare_argument("getpat"), source_path, skip, duration, output}};
    if (request.mode != kModeReadEcgHide) return std::nullopt;
    if (request.output_format != kFormatPn12File)
        return {{bare_argument("getecg"), source_path, skip, duration}};
    return {{bare_argument("getecg12"), source_path, skip, duration, output,
             request.procedure_id.empty() ? kNoProcedureId : request.procedure_id}};
}

// The loader reports the channels it found (0 to 3), and 8 for a 12-lead recording.
int32_t loader_exit_to_code(int loader_exit_code) {
    if (loader_exit_code == 8) return kExitTwelveLeads;
    if (loader_exit_code < 0 || loader_exit_code > 3) return kExitEcgOutputFailed;
    return channel_exit_code(loader_exit_code);
}

int32_t run_loader(const LoaderRequest& request, const NamedEvent* terminator) {
    const std::string loader = find_loader(request.program_folder);
    if (loader.empty()) {
        show_string(kStringNoLoader, MessageButtons::kOk, MessageIcon::kStop);
        return kExitNoLoader;
    }
    const std::string source = find_loader_source(request.input_dir);
    if (source.empty()) {
        show_string_followed_by(kStringNoLoaderSource, "\n" + request.input_dir,
                                MessageButtons::kOk, MessageIcon::kStop);
        return kExitNoLoaderSource;
    }
    const std::optional<std::vector<CommandArgument>> arguments = loader_arguments(request, source);
    if (!arguments) return kExitBadCommandLine;
    const ProgramRun run = launch_process(native_path(loader), *arguments, terminator);
    if (run.outcome != ProgramRun::Outcome::kExited) {
        trace("loader %s\n",
              run.outcome == ProgramRun::Outcome::kStopped ? "stopped" : "not started");
        return kExitEcgOutputFailed;
    }
    trace("loader exit code : %i\n", run.exit_code);
    return loader_exit_to_code(run.exit_code);
}
