#include "cef/cef_archive.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <optional>
#include <utility>

#include "support/byte_order.h"
#include "support/file_seek.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/program_run.h"
#include "support/string_ids.h"
#include "support/trace.h"

namespace {

constexpr size_t kCopyPiece = 32768;
constexpr size_t kShiftPiece = 131072;
// How long the window thread waits for szip between two rounds of its window messages.
constexpr std::chrono::milliseconds kSzipPumpInterval{500};
constexpr const char* kVersionText = "V8.006\n";
constexpr const char* kSummaryText = "CEF Report\n";

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Removes a temporary file on every road out of the scope that made it.
class TempFile {
  public:
    explicit TempFile(std::string path) : m_path(std::move(path)) {}
    ~TempFile() {
        if (!m_path.empty()) delete_file(m_path);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

}  // namespace

bool CCefArchive::fail(int error, const std::string& item) {
    m_error = error;
    m_error_item = item;
    trace("CCefArchive error %d: %s\n", error, item.c_str());
    return false;
}

bool CCefArchive::open(const std::string& szip_path, const std::string& archive_path,
                       const std::string& target_folder) {
    m_file.reset();
    m_error = kCefOk;
    m_szip_path = szip_path;
    m_target_folder = target_folder;
    if (!file_exists(szip_path)) return fail(kCefNoSzip, szip_path);
    if (!folder_exists(target_folder) && !make_directory_tree(target_folder))
        return fail(kCefNoTargetFolder, target_folder);
    std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(native_path(archive_path).c_str(), "rb"));
    if (!file) return fail(kCefOpenFailed, archive_path);
    CefHeaderBytes bytes;
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        return fail(kCefShortHeader, archive_path);
    if (!has_cef_magic(bytes)) return fail(kCefBadMagic, archive_path);
    m_header = decode_cef_header(bytes);
    const std::optional<uint64_t> size = stream_size(file.get());
    if (!size || !seek_file(file.get(), kCefChecksumOffset + 4) ||
        file_xor_checksum(file.get()) != m_header.checksum)
        return fail(kCefBadChecksum, archive_path);
    m_file = std::move(file);
    m_file_size = *size;
    // Every entry is checked here, so a malformed archive writes nothing at all.
    if (!read_member_table() || !check_patient_text() ||
        !for_each_further_file([](const std::string&, const CefMember&) { return true; })) {
        m_file.reset();
        return false;
    }
    return true;
}

bool CCefArchive::read_at(uint64_t offset, void* bytes, size_t count) {
    return offset <= m_file_size && count <= m_file_size - offset &&
           seek_file(m_file.get(), offset) && std::fread(bytes, 1, count, m_file.get()) == count;
}

// A u32 length, a u32 flag and the data, which must lie inside the file.
bool CCefArchive::read_member(uint64_t& position, CefMember& member, const std::string& name) {
    uint8_t fields[8];
    if (!read_at(position, fields, sizeof fields)) return fail(kCefInvalidEntry, name);
    member = {position + sizeof fields, get_u32le(fields), get_u32le(fields + 4)};
    if (member.flag > 1 || member.length > m_file_size - member.offset)
        return fail(kCefInvalidEntry, name);
    position = member.offset + member.length;
    return true;
}

bool CCefArchive::read_member_table() {
    m_channels.clear();
    if (m_header.channel_count > max_channels(m_header.kind))
        return fail(kCefInvalidEntry, "channel count");
    uint8_t field[4];
    uint64_t position = kCefHeaderSize;
    if (!read_at(position, field, sizeof field)) return fail(kCefInvalidEntry, "first block");
    position += sizeof field + get_u32le(field);
    if (position > m_file_size) return fail(kCefInvalidEntry, "first block");
    if (!read_member(position, m_patient_wav, "PATIENT.WAV") ||
        !read_member(position, m_patevent, "PATEVENT.DAT"))
        return false;
    for (uint32_t i = 0; i < m_header.channel_count; ++i) {
        const std::string name = channel_member_name(m_header.kind, i);
        CefChannel channel;
        uint8_t fields[16];
        if (!read_member(position, channel.member, name) ||
            !read_at(position, fields, sizeof fields))
            return fail(kCefInvalidEntry, name);
        channel.parameter_a = get_u32le(fields);
        channel.parameter_b = get_u32le(fields + 4);
        channel.shift = get_u32le(fields + 8);
        position += sizeof fields + get_u32le(fields + 12);
        if (channel.shift > kCefMaxShift || position > m_file_size)
            return fail(kCefInvalidEntry, name);
        m_channels.push_back(channel);
    }
    m_further_files_start = position;
    return true;
}

bool CCefArchive::check_patient_text() {
    uint8_t field[4];
    const uint64_t offset = m_header.patient_text_offset;
    if (!read_at(offset, field, sizeof field) || get_u32le(field) > m_file_size - offset - 4)
        return fail(kCefInvalidEntry, "PATIENT.TXT");
    return true;
}

bool CCefArchive::for_each_further_file(const FurtherFileVisit& visit) {
    uint64_t position = m_further_files_start;
    while (m_file_size - position >= 4) {
        uint8_t field[4];
        if (!read_at(position, field, sizeof field))
            return fail(kCefFurtherReadError, "further files");
        const uint32_t name_length = get_u32le(field);
        position += sizeof field;
        if (name_length > kCefMaxNameLength) return fail(kCefNameTooLong, "further files");
        char name_bytes[kCefMaxNameLength];
        if (!read_at(position, name_bytes, name_length))
            return fail(kCefNameTruncated, "further files");
        const auto* end = std::find(name_bytes, name_bytes + name_length, '\0');
        if (end == name_bytes + name_length) return fail(kCefNameTruncated, "further files");
        const std::string name(name_bytes, static_cast<size_t>(end - name_bytes));
        if (!is_safe_member_name(name)) return fail(kCefInvalidEntry, name);
        position += name_length;
        if (m_file_size - position < 8) return fail(kCefPatientText, name);
        CefMember data;
        if (!read_member(position, data, name)) return false;
        if (!visit(name, data)) break;
    }
    return true;
}

bool CCefArchive::copy_out(const CefMember& member, const std::string& path) {
    std::FILE* out = std::fopen(native_path(path).c_str(), "wb");
    if (out == nullptr) return false;
    std::vector<uint8_t> piece(kCopyPiece);
    bool ok = seek_file(m_file.get(), member.offset);
    for (uint64_t left = member.length; ok && left > 0;) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(left, piece.size()));
        ok = std::fread(piece.data(), 1, count, m_file.get()) == count &&
             std::fwrite(piece.data(), 1, count, out) == count;
        left -= count;
    }
    return std::fclose(out) == 0 && ok;
}

bool CCefArchive::extract_member(const std::string& name, const CefMember& member) {
    m_error_item = name;
    const std::string target = join_path(m_target_folder, name);
    if (!delete_file(target)) return fail(kCefWriteFailed, name);
    if (member.flag == 0) return copy_out(member, target) || fail(kCefWriteFailed, name);
    // A packed member waits in a file of its own, created exclusively under a unique name, so
    // that two runs never unpack each other's data and no planted link is written through.
    const TempFile packed(temp_file_name());
    if (packed.path().empty() || !copy_out(member, packed.path()))
        return fail(kCefWriteFailed, name);
    return unpack_with_szip(packed.path(), target);
}

bool CCefArchive::unpack_with_szip(const std::string& packed, const std::string& target) {
    const std::vector<CommandArgument> arguments{"-d", packed, target};
    for (;;) {
        const ProgramRun run =
            run_command_pumping(m_szip_path, arguments, m_terminator, kSzipPumpInterval);
        if (run.outcome == ProgramRun::Outcome::kNotStarted) return fail(kCefNoSzip, m_szip_path);
        if (run.outcome == ProgramRun::Outcome::kStopped) return fail(kCefStopped, m_szip_path);
        if (run.exit_code == 0) return true;
        // The tool creates its output exclusively; a failed run's leftovers must not stop a retry.
        delete_file(target);
        if (show_string_filled(kStringSzipRetry,
                               {{"%d", std::to_string(run.exit_code)},
                                {"%s", command_line_of(m_szip_path, arguments)}},
                               MessageButtons::kRetryCancel,
                               MessageIcon::kStop) != MessageAnswer::kRetry)
            return fail(kCefSzipCancelled, m_szip_path);
    }
}

bool CCefArchive::write_generated(const std::string& name, const std::string& bytes) {
    const std::string target = join_path(m_target_folder, name);
    std::FILE* out = delete_file(target) ? std::fopen(native_path(target).c_str(), "wb") : nullptr;
    if (out == nullptr) return fail(kCefWriteFailed, name);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return (std::fclose(out) == 0 && ok) || fail(kCefWriteFailed, name);
}

bool CCefArchive::extract_patient_text() {
    uint8_t field[4];
    const uint64_t offset = m_header.patient_text_offset;
    // open checked the block against the file, so its length is safe to allocate.
    if (!read_at(offset, field, sizeof field) || get_u32le(field) == 0)
        return fail(kCefPatientText, "PATIENT.TXT");
    std::string text(get_u32le(field), '\0');
    if (!read_at(offset + sizeof field, text.data(), text.size()))
        return fail(kCefPatientText, "PATIENT.TXT");
    for (char& c : text)
        c = static_cast<char>(patient_text_byte(static_cast<uint8_t>(c)));
    return write_generated("PATIENT.TXT", text);
}

bool CCefArchive::extract_patient_files() {
    if (!usable()) return false;
    return extract_patient_text() &&
           (m_patient_wav.length == 0 || extract_member("PATIENT.WAV", m_patient_wav)) &&
           write_generated("CEFDESC.TXT", m_header.description) &&
           write_generated("VERSION.TXT", kVersionText) &&
           write_generated("SUMMARY.TXT", kSummaryText);
}

bool CCefArchive::extract_patevent() {
    if (!usable()) return false;
    if (m_patevent.length == 0) return write_generated("PATEVENT.DAT", "");
    return extract_member("PATEVENT.DAT", m_patevent);
}

bool CCefArchive::extract_channel(uint32_t index) {
    const std::string name = channel_member_name(m_header.kind, index);
    if (index >= m_channels.size()) return fail(kCefAbsent, name);
    const CefChannel& channel = m_channels[index];
    if (!extract_member(name, channel.member)) return false;
    return channel.shift == 0 || restore_shift(join_path(m_target_folder, name), channel.shift);
}

// Stored channel words were shifted right to pack better; every word after a 12-lead member's
// header goes back left by the same count.
bool CCefArchive::restore_shift(const std::string& path, uint32_t shift) {
    const std::string name = file_name_of(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(native_path(path).c_str(), "r+b"));
    const std::optional<uint64_t> size = file ? stream_size(file.get()) : std::nullopt;
    if (!size) return fail(kCefWriteFailed, name);
    uint64_t position = 0;
    if (m_header.kind == kCefTwelveLeadKind) {
        uint8_t head[kCefLeadHeaderMinimum];
        if (std::fread(head, 1, sizeof head, file.get()) != sizeof head)
            return fail(kCefInvalidEntry, name);
        position = get_u16le(head + 1);
        if (position < kCefLeadHeaderMinimum || position > *size)
            return fail(kCefInvalidEntry, name);
    }
    std::vector<uint8_t> piece(kShiftPiece);
    while (*size - position >= 2) {
        const size_t count =
            static_cast<size_t>(std::min<uint64_t>(*size - position, kShiftPiece)) & ~size_t{1};
        if (!seek_file(file.get(), position) ||
            std::fread(piece.data(), 1, count, file.get()) != count)
            return fail(kCefWriteFailed, name);
        for (size_t i = 0; i < count; i += 2)
            put_u16le(piece.data() + i,
                      static_cast<uint16_t>(get_u16le(piece.data() + i) << shift));
        if (!seek_file(file.get(), position) ||
            std::fwrite(piece.data(), 1, count, file.get()) != count)
            return fail(kCefWriteFailed, name);
        position += count;
    }
    return std::fclose(file.release()) == 0 || fail(kCefWriteFailed, name);
}

bool CCefArchive::extract_channels() {
    if (!usable()) return false;
    for (uint32_t i = 0; i < m_channels.size(); ++i)
        if (!extract_channel(i)) return false;
    return true;
}

bool CCefArchive::write_recording_file() {
    std::string bytes((3 + 3 * m_channels.size()) * 4, '\0');
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    for (const uint32_t value : {m_header.kind, m_header.parameter, m_header.channel_count}) {
        put_u32le(p, value);
        p += 4;
    }
    for (const CefChannel& channel : m_channels)
        for (const uint32_t value : {channel.parameter_a, channel.parameter_b, channel.shift}) {
            put_u32le(p, value);
            p += 4;
        }
    return write_generated("RECORDING.DAT", bytes);
}

// An empty further file is created as such, whatever its flag says.
bool CCefArchive::extract_further(const std::string& name) {
    bool found = false;
    const bool listed = for_each_further_file([&](const std::string& entry, const CefMember& data) {
        if (upper(entry) != upper(name)) return true;
        found = data.length == 0 ? write_generated(entry, "") : extract_member(entry, data);
        return false;
    });
    return listed && (found || (m_error == kCefOk && fail(kCefAbsent, name)));
}

bool CCefArchive::extract_by_name(const std::string& name) {
    if (!m_file) return false;
    if (m_error == kCefAbsent) m_error = kCefOk;
    if (m_error != kCefOk) return false;
    const std::string key = upper(name);
    bool done = false;
    if (key == "PATEVENT.DAT")
        done = extract_patevent();
    else if (key == "PATIENT.TXT")
        done = extract_patient_text();
    else if (key == "PATIENT.WAV")
        done = m_patient_wav.length == 0 ? fail(kCefAbsent, name)
                                         : extract_member("PATIENT.WAV", m_patient_wav);
    else if (key == "CEFDESC.TXT")
        done = write_generated("CEFDESC.TXT", m_header.description);
    else if (key == "VERSION.TXT")
        done = write_generated("VERSION.TXT", kVersionText);
    else if (key == "SUMMARY.TXT")
        done = write_generated("SUMMARY.TXT", kSummaryText);
    else if (key == "RECORDING.DAT")
        done = write_recording_file();
    else {
        const uint32_t limit = max_channels(m_header.kind);
        uint32_t index = 0;
        while (index < limit && key != upper(channel_member_name(m_header.kind, index)))
            ++index;
        done = index < limit ? extract_channel(index) : extract_further(name);
    }
    if (done && !file_exists(join_path(m_target_folder, name))) return fail(kCefAbsent, name);
    return done;
}

bool CCefArchive::extract_all() {
    return extract_patient_files() && extract_patevent() && extract_channels() &&
           for_each_further_file([&](const std::string& name, const CefMember& data) {
               return data.length == 0 ? write_generated(name, "") : extract_member(name, data);
           }) &&
           m_error == kCefOk && write_recording_file();
}
