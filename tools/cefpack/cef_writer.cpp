#include "cefpack/cef_writer.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "cef/cef_format.h"
#include "support/byte_order.h"
#include "szip/gzip_codec.h"

namespace cefpack {

namespace {

void append_u32(std::string& bytes, uint32_t value) {
    uint8_t field[4];
    put_u32le(field, value);
    bytes.append(reinterpret_cast<const char*>(field), sizeof field);
}

void append_member(std::string& bytes, const std::string& data, bool pack,
                   uint32_t flag_fault = 0) {
    const std::string stored = pack ? szip::pack_bytes(data) : data;
    append_u32(bytes, static_cast<uint32_t>(stored.size()));
    append_u32(bytes, flag_fault != 0 ? flag_fault : pack ? 1 : 0);
    bytes += stored;
}

std::string shifted_down(const std::string& bytes, uint32_t kind, uint32_t shift) {
    std::string stored = bytes;
    size_t from = 0;
    if (kind == kCefTwelveLeadKind && stored.size() >= kCefLeadHeaderMinimum)
        from = get_u16le(reinterpret_cast<const uint8_t*>(stored.data()) + 1);
    for (size_t i = from; shift != 0 && i + 1 < stored.size(); i += 2) {
        auto* p = reinterpret_cast<uint8_t*>(stored.data() + i);
        put_u16le(p, static_cast<uint16_t>(get_u16le(p) >> shift));
    }
    return stored;
}

void append_further(std::string& bytes, const std::string& name, const std::string& data, bool pack,
                    bool with_nul = true) {
    append_u32(bytes, static_cast<uint32_t>(name.size() + (with_nul ? 1 : 0)));
    bytes += name;
    if (with_nul) bytes += '\0';
    append_member(bytes, data, pack);
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string build_archive(const Archive& archive) {
    const Fault fault = archive.fault;
    CefHeader header;
    header.patient_text_offset = kCefHeaderSize + 4;
    header.version = 1;
    header.description = archive.description;
    header.kind = archive.kind;
    header.channel_count = fault == Fault::kHugeChannels
                               ? 0x7FFFFFFFu
                               : static_cast<uint32_t>(archive.channels.size());
    header.parameter = archive.parameter;
    std::string body;
    // The patient text block lives inside the first block, which the reader skips.
    std::string text_block;
    append_u32(text_block, static_cast<uint32_t>(archive.patient_text.size()));
    for (const char c : archive.patient_text)
        text_block += static_cast<char>(stored_patient_byte(static_cast<uint8_t>(c)));
    append_u32(body, static_cast<uint32_t>(text_block.size()));
    body += text_block;
    append_member(body, archive.patient_wav, archive.pack);
    if (fault == Fault::kPastEnd) {
        append_u32(body, 0x7FFFFFF0u);
        append_u32(body, 0);
    } else {
        append_member(body, archive.patevent, archive.pack, fault == Fault::kBadFlag ? 2 : 0);
    }
    for (size_t i = 0; i < archive.channels.size(); ++i) {
        const Channel& channel = archive.channels[i];
        append_member(body, shifted_down(channel.bytes, archive.kind, archive.shift), archive.pack);
        append_u32(body, channel.parameter_a);
        append_u32(body, channel.parameter_b);
        append_u32(body, fault == Fault::kShift16 && i == 0 ? 16 : archive.shift);
        append_u32(body, 4);
        append_u32(body, 0xC0FFEEu);  // the second block, not interpreted
    }
    for (const FurtherFile& file : archive.further_files)
        append_further(body, file.name, file.bytes, archive.pack && !file.bytes.empty());
    if (fault == Fault::kEscapingName) append_further(body, "../escaped.txt", "escaped", false);
    if (fault == Fault::kLongName) append_further(body, std::string(261, 'L'), "long", false);
    if (fault == Fault::kMissingNul) append_further(body, "NONUL.DAT", "no zero", false, false);
    if (fault == Fault::kOddLength) body += "odd";

    CefHeaderBytes head = encode_cef_header(header);
    std::string bytes(head.begin(), head.end());
    bytes += body;
    if (fault == Fault::kMagic) bytes[kCefMagicOffset + 13] = 'X';
    // The checksum covers every word from offset 4, a short last word padded with zeros.
    std::string padded = bytes + std::string((4 - bytes.size() % 4) % 4, '\0');
    uint32_t checksum = 0;
    for (size_t i = 4; i < padded.size(); i += 4)
        checksum ^= get_u32le(reinterpret_cast<const uint8_t*>(padded.data() + i));
    if (fault == Fault::kChecksum) checksum ^= 1;
    put_u32le(reinterpret_cast<uint8_t*>(bytes.data()), checksum);
    return bytes;
}

bool read_folder(const std::string& folder, Archive& archive, std::string& error) {
    namespace fs = std::filesystem;
    std::map<std::string, fs::path> files;  // by upper-case name, so sorted alike everywhere
    std::error_code failure;
    for (const auto& entry : fs::directory_iterator(folder, failure)) {
        if (!entry.is_regular_file()) continue;
        std::string key = entry.path().filename().string();
        std::transform(key.begin(), key.end(), key.begin(), ::toupper);
        files[key] = entry.path();
    }
    if (failure) {
        error = "cannot list " + folder;
        return false;
    }
    const auto take = [&](const std::string& key) {
        const auto found = files.find(key);
        if (found == files.end()) return std::string();
        std::string bytes = read_file(found->second);
        files.erase(found);
        return bytes;
    };
    archive.patient_text = take("PATIENT.TXT");
    archive.patient_wav = take("PATIENT.WAV");
    archive.patevent = take("PATEVENT.DAT");
    for (uint32_t i = 0; i < max_channels(archive.kind); ++i) {
        std::string key = channel_member_name(archive.kind, i);
        std::transform(key.begin(), key.end(), key.begin(), ::toupper);
        if (!files.contains(key)) break;
        archive.channels.push_back({take(key), i + 1, 100 + i});
    }
    for (const char* generated : {"CEFDESC.TXT", "VERSION.TXT", "SUMMARY.TXT", "RECORDING.DAT"})
        files.erase(generated);
    for (const auto& [key, path] : files)
        archive.further_files.push_back({path.filename().string(), read_file(path)});
    return true;
}

bool parse_fault(const std::string& name, Fault& fault) {
    static const std::map<std::string, Fault> kFaults{
        {"magic", Fault::kMagic},
        {"checksum", Fault::kChecksum},
        {"odd-length", Fault::kOddLength},
        {"past-end", Fault::kPastEnd},
        {"escaping-name", Fault::kEscapingName},
        {"long-name", Fault::kLongName},
        {"missing-nul", Fault::kMissingNul},
        {"huge-channels", Fault::kHugeChannels},
        {"shift16", Fault::kShift16},
        {"bad-flag", Fault::kBadFlag},
    };
    const auto found = kFaults.find(name);
    if (found == kFaults.end()) return false;
    fault = found->second;
    return true;
}

}  // namespace cefpack
