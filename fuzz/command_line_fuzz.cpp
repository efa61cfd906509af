// Fuzzes the command line: the tokenizer, the parser, and the whole start-up that a caller's
// command line drives, which ends in an exit code of the table. The run's working folder is a
// sandbox; lines whose folders point out of it are not run, since a successful parse creates the
// output folder and a folder read marks a card as read. The run may create the output folder and
// files inside it, nothing else.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/kado_app.h"
#include "fuzz_scratch.h"
#include "support/exit_codes.h"

namespace {

void set_environment(const char* name, const std::string& value) {
#if defined(_WIN32)
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

struct Sandbox {
    fuzz::ScratchFolder scratch{"command-line"};
    std::string work = scratch.folder("work");

    Sandbox() {
        // The profile and the drive map of the run live in the scratch folder too; no drive
        // letter resolves.
        set_environment("XDG_CONFIG_HOME", scratch.folder("config"));
        set_environment("KADO_DRIVES", scratch.folder("drives"));
        fuzz::fs::current_path(work);
        fuzz::silence_message_boxes();
    }
};

bool starts_with_no_case(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if ((text[i] | 0x20) != (prefix[i] | 0x20)) return false;
    return true;
}

// A folder value that stays inside the working folder: relative, never climbing out.
bool stays_inside(const std::vector<std::string>& arguments) {
    for (const std::string& arg : arguments) {
        for (const std::string_view option : {"/dir=", "/ipdir="}) {
            if (!starts_with_no_case(arg, option)) continue;
            std::string value;
            for (const char c : arg.substr(option.size()))
                if (c != '"') value += c;
            if (!value.empty() && (value[0] == '/' || value[0] == '\\' || value[0] == '~'))
                return false;
            if (value.find("..") != std::string::npos) return false;
        }
    }
    return true;
}

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void check_tokens(const std::string& text, const std::vector<std::string>& tokens) {
    // The tokens are the text's characters in order, less delimiters and blanks between tokens.
    size_t at = 0;
    for (const std::string& token : tokens) {
        fuzz::require(!token.empty(), "an empty token");
        for (const char c : token) {
            while (at < text.size() && text[at] != c)
                ++at;
            fuzz::require(at < text.size(), "a token character that is not in the text");
            ++at;
        }
    }
    if (text.find('"') != std::string::npos) return;
    // Without quotes, a token runs from its first non-blank character to the next blank.
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ' ') continue;
        size_t first = start;
        while (first < i && is_space(text[first]))
            ++first;
        if (first < i) pieces.push_back(text.substr(first, i - first));
        start = i + 1;
    }
    fuzz::require(pieces == tokens, "unquoted text split other than at its blanks");
}

bool holds_quote(const std::string& text) {
    return text.find('"') != std::string::npos;
}

void check_request(const RunRequest& request, const OutputSettings& output,
                   const ReadSettings& reader) {
    const RunMode mode = request.m_mode;
    fuzz::require(mode != kModeNone, "an accepted line without a mode");
    fuzz::require(request.m_procedure_id.size() <= kProcedureIdMaxLength, "procedure id length");
    fuzz::require(!holds_quote(request.m_output_dir) && !holds_quote(request.m_input_dir) &&
                      !holds_quote(request.m_patient_file) &&
                      !holds_quote(request.m_procedure_id) && !holds_quote(output.mmf_instance) &&
                      !holds_quote(output.mmf_base_name),
                  "a value keeps a double quote");
    fuzz::require(output.resolution_bits >= 8 && output.resolution_bits <= 12 &&
                      output.resolution_shift == 12 - output.resolution_bits,
                  "resolution out of range");
    fuzz::require(reader.skip_hours >= 0 && reader.calibration_seconds >= 0, "negative setting");
    const bool prepares = mode == kModeWriteCnav || mode == kModeWritePath ||
                          mode == kModeWriteScan || mode == kModeWriteWestbury;
    const bool reads = mode >= kModeReadPatCnav && mode <= kModeReadEcgStand;
    fuzz::require(!((prepares || reads) && request.m_fir), "FIR accepted in a mode without it");
    fuzz::require(mode != kModeWav || request.m_input_dir.empty(), "/wav with an input folder");
    if (mode == kModeReadEcgStand)
        fuzz::require(request.m_output_format == kFormatArchive, "mode 11 not archive");
    if (mode != kModeReadEcgHide && mode != kModeReadEcgStand) return;
    const OutputFormat format = request.m_output_format;
    fuzz::require(format != kFormatNone, "an ECG read without an output format");
    if (format == kFormatCnav) return;
    fuzz::require(reader.record_length_hours >= 1, "an ECG read without a record length");
    if (format == kFormatPath || format == kFormatPn12File)
        fuzz::require(reader.record_length_hours <= 28, "a file read longer than 28 hours");
}

bool in_exit_code_table(int code) {
    for (const ExitCodeInfo& info : kExitCodes)
        if (info.code == code) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Sandbox sandbox;
    // A command line is a C string on every platform: it ends at its first NUL.
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    std::vector<std::string> arguments;
    tokenize_command_line(text, arguments);
    check_tokens(text, arguments);
    if (!stays_inside(arguments)) return 0;

    RunRequest request;
    OutputSettings output;
    ReadSettings reader;
    const bool accepted = parse_command_line(request, arguments, output, reader);
    if (accepted) check_request(request, output, reader);

    CKadoApp app(text);
    app.start_instance();
    const int code = app.end_instance();
    fuzz::require(in_exit_code_table(code), "an exit code outside the table", std::to_string(code));
    if (!accepted)
        fuzz::require(code == kExitBadCommandLine || code == kExitNoOutputFolder ||
                          code == kExitNoInputFolder,
                      "a refused line ran", std::to_string(code));
    else
        fuzz::require(code != kExitBadCommandLine, "an accepted line refused");

    // Only the output folder may have appeared; the next run starts from an empty sandbox.
    std::string out = fuzz::fs::path(request.m_output_dir).lexically_normal().generic_string();
    if (!out.empty() && out.back() == '/') out.pop_back();
    for (const auto& [path, bytes] : fuzz::file_set(sandbox.work))
        fuzz::require(out == "." || path == out || path.starts_with(out + "/"),
                      "the run wrote outside its output folder", path);
    std::error_code ignored;
    for (const auto& entry : fuzz::fs::directory_iterator(sandbox.work, ignored))
        fuzz::fs::remove_all(entry.path(), ignored);
    return 0;
}
