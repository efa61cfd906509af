#include "app/command_line.h"

#include <cctype>
#include <climits>
#include <cstddef>
#include <optional>
#include <string_view>

#include "support/file_utils.h"

void tokenize_command_line(const std::string& text, std::vector<std::string>& arguments) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        while (i < n && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i >= n) break;
        char delimiter = ' ';
        if (text[i] == '"') {
            delimiter = '"';
            ++i;
        }
        std::string token;
        while (i < n && text[i] != delimiter) {
            if (text[i] == '"') delimiter = '"';
            token += text[i];
            ++i;
        }
        if (i < n) ++i;  // the closing delimiter
        if (!token.empty()) arguments.push_back(token);
    }
}

int32_t parse_decimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<int64_t>(INT32_MAX) + 1)
            value = static_cast<int64_t>(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

namespace {

bool starts_with_no_case(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string without_quotes(std::string_view value) {
    std::string result;
    for (char c : value)
        if (c != '"') result += c;
    return result;
}

// The value must begin with one of the words, tried in order; trailing characters are ignored.
template <size_t N>
std::optional<size_t> match_word(std::string_view value, const char* const (&words)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (starts_with_no_case(value, words[i])) return i;
    return std::nullopt;
}

struct ParseState {
    bool skip24 = false;
    bool skip_given = false;
    int32_t skip_hours = 0;
    bool duration_given = false;
    bool salvage = false;
};

// Handles one argument; false when it matches no option or its value is refused.
bool parse_argument(std::string_view arg, RunRequest& request, OutputSettings& output,
                    ReadSettings& reader, ParseState& state) {
    std::string_view value;
    auto option = [&](std::string_view text) {
        if (!starts_with_no_case(arg, text)) return false;
        value = arg.substr(text.size());
        return true;
    };

    if (option("/dir=")) {
        request.m_output_dir = without_quotes(value);
    } else if (option("/fir")) {
        request.m_fir = true;
    } else if (option("/nofir")) {
        request.m_fir = false;
    } else if (option("/opformat=")) {
        static const char* const kWords[] = {"path",     "archive",  "cnav", "mmf",
                                             "pn12file", "pn12arch", "edf"};
        const auto word = match_word(value, kWords);
        if (!word) return false;
        request.m_output_format = static_cast<OutputFormat>(*word + 1);
    } else if (option("/ipdir=")) {
        request.m_input_dir = without_quotes(value);
    } else if (option("/write=")) {
        static const char* const kWords[] = {"cnav", "corrie", "path", "stand", "scan", "westbury"};
        static const RunMode kModes[] = {kModeWriteCnav,  kModeWriteCnav, kModeWritePath,
                                         kModeWriteStand, kModeWriteScan, kModeWriteWestbury};
        const auto word = match_word(value, kWords);
        if (!word) return false;
        request.m_mode = kModes[*word];
        if (*word == 1) request.m_not_corrie = false;
    } else if (option("/readpat=")) {
        static const char* const kWords[] = {"cnav", "path", "status", "stand", "scan", "corrie"};
        static const RunMode kModes[] = {kModeReadPatCnav,  kModeReadPatPath, kModeReadPatStatus,
                                         kModeReadPatStand, kModeReadPatScan, kModeReadPatPath};
        const auto word = match_word(value, kWords);
        if (!word) return false;
        request.m_mode = kModes[*word];
        if (*word == 5) request.m_read_corrie = true;
    } else if (option("/readecg=")) {
        static const char* const kWords[] = {"hide", "stand"};
        const auto word = match_word(value, kWords);
        if (!word) return false;
        request.m_mode = *word == 0 ? kModeReadEcgHide : kModeReadEcgStand;
    } else if (option("/skip24")) {
        state.skip24 = true;
    } else if (option("/skip=")) {
        state.skip_hours = parse_decimal(std::string(value));
        state.skip_given = true;
        if (state.skip_hours < 0) return false;
    } else if (option("/duration=")) {
        output.duration_hours = parse_decimal(std::string(value));
        state.duration_given = true;
        if (output.duration_hours < 1) return false;
    } else if (option("/cal=")) {
        const int32_t seconds = parse_decimal(std::string(value));
        if (seconds < 0 || !reader.set_calibration_seconds(seconds)) return false;
    } else if (option("/wav")) {
        request.m_mode = kModeWav;
    } else if (option("/changepat=")) {
        static const char* const kWords[] = {"cnav"};
        if (!match_word(value, kWords)) return false;
        request.m_mode = kModeChangePat;
    } else if (option("/confirmed")) {
        request.m_confirmed = true;
    } else if (option("/setpat=")) {
        request.m_mode = kModeSetPat;
        request.m_patient_file = without_quotes(value);
    } else if (option("/procedure_id=")) {
        request.m_procedure_id = without_quotes(value);
        if (request.m_procedure_id.size() > kProcedureIdMaxLength) return false;
    } else if (option("/resolution=")) {
        const int32_t bits = parse_decimal(std::string(value));
        if (bits < 8 || bits > 12) return false;
        output.set_resolution_bits(bits);
    } else if (option("/overview")) {
        output.overview = true;
    } else if (option("/salvage")) {
        state.salvage = true;
    } else if (option("/instance=")) {
        output.mmf_instance = without_quotes(value);
    } else if (option("/basemmfname=")) {
        output.mmf_base_name = without_quotes(value);
    } else {
        return false;
    }
    return true;
}

// The record-length limit of the ECG reads in the output format; false when the format refuses
// it.
bool hand_over_record_length(OutputFormat format, const OutputSettings& output,
                             const ParseState& state, ReadSettings& reader) {
    constexpr int32_t kFileLimitHours = 28;
    constexpr int32_t kMappedLimitHours = 192;
    switch (format) {
        case kFormatPath:
        case kFormatPn12File:
            if (state.duration_given && output.duration_hours > kFileLimitHours) return false;
            reader.record_length_hours =
                state.duration_given ? output.duration_hours : kFileLimitHours;
            return true;
        case kFormatArchive:
        case kFormatPn12Arch:
        case kFormatEdf:
            reader.record_length_hours =
                state.duration_given ? output.duration_hours : kFileLimitHours;
            return true;
        case kFormatMmf:
            reader.record_length_hours =
                state.duration_given ? output.duration_hours : kMappedLimitHours;
            return true;
        case kFormatCnav:
            return true;
        case kFormatNone:
            break;
    }
    return false;
}

// Salvage changes how samples are recovered, so only the ECG reads that write samples take it.
// The standard read always writes an archive.
bool takes_salvage(const RunRequest& request) {
    if (request.m_mode == kModeReadEcgStand) return true;
    return request.m_mode == kModeReadEcgHide && request.m_output_format != kFormatCnav;
}

bool validate_by_mode(RunRequest& request, const OutputSettings& output, const ParseState& state,
                      ReadSettings& reader) {
    const RunMode mode = request.m_mode;
    if (state.salvage && !takes_salvage(request)) return false;
    reader.salvage = state.salvage;
    switch (mode) {
        case kModeNone:
            return false;
        case kModeWriteCnav:
        case kModeWritePath:
        case kModeWriteScan:
        case kModeWriteWestbury:
            return !request.m_fir;
        case kModeWriteStand:
        case kModeChangePat:
        case kModeSetPat:
        case kModeReadPatStatus:
            return true;
        case kModeWav:
            return request.m_input_dir.empty();
        default:
            break;
    }
    bool ok = true;
    if (mode == kModeReadEcgStand) request.m_output_format = kFormatArchive;
    if (mode == kModeReadEcgHide || mode == kModeReadEcgStand)
        ok = hand_over_record_length(request.m_output_format, output, state, reader);
    // The Read dialog of the patient read reads the ECG as an archive too; without the archive's
    // limit that read would end after its first sector and still report success.
    if (mode == kModeReadPatStand) hand_over_record_length(kFormatArchive, output, state, reader);
    reader.skip_hours = state.skip_given ? state.skip_hours : (state.skip24 ? 24 : 0);
    return ok && !request.m_fir;
}

}  // namespace

bool parse_command_line(RunRequest& request, const std::vector<std::string>& arguments,
                        OutputSettings& output, ReadSettings& reader) {
    if (arguments.empty()) {
        request.m_mode = kModeWriteStand;
        request.m_output_dir = temp_folder();
        return true;
    }
    request.m_input_dir.clear();
    request.m_confirmed = false;

    ParseState state;
    for (const std::string& arg : arguments)
        if (!parse_argument(arg, request, output, reader, state)) return false;

    if (!validate_by_mode(request, output, state, reader)) return false;

    if (!request.m_output_dir.empty() && !folder_exists(request.m_output_dir))
        create_folder(request.m_output_dir);
    return true;
}
