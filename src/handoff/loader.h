// Recordings of the other cardiology system: a folder with a ".LDSC" description and no card ECG
// goes to that system's loader program, which writes its results into the output folder itself
// and reports the recording through its exit code. The main flow hands such folders here before
// every mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/named_event.h"
#include "support/program_run.h"
#include "support/run_mode.h"

inline constexpr const char* kLoaderFileName = "StratusStandardECGLoader.exe";

struct LoaderRequest {
    RunMode mode = kModeNone;
    OutputFormat output_format = kFormatNone;
    std::string input_dir;
    std::string output_dir;
    std::string procedure_id;
    int32_t skip_hours = 0;
    int32_t duration_hours = 0;  // as given on the command line; 0 when it was not
    // Where the installed loader lives beside the program: the running program's folder.
    std::string program_folder;
};

// A .LDSC file in the folder and no ECG.DAT beside it.
bool has_loader_source(const std::string& folder);

// The development build's loader when it exists, else the one installed in its own folder below
// the program folder; "" when neither file exists.
std::string find_loader(const std::string& program_folder);

// The loader's arguments for the source: getpat in mode 7, getecg or getecg12 in mode 10 (the
// 12-lead form for the pn12file output); nothing for the other modes.
std::optional<std::vector<CommandArgument>> loader_arguments(const LoaderRequest& request,
                                                             const std::string& source);

// The exit code that reports the loader's exit code.
int32_t loader_exit_to_code(int loader_exit_code);

// Finds the loader and the source, shows why when either is missing, and runs the loader hidden
// until it ends or the terminator is signalled. Returns the exit code of the run.
int32_t run_loader(const LoaderRequest& request, const NamedEvent* terminator);
