#include "cef/szip_install.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "support/file_utils.h"
#include "support/machine_registry.h"
#include "support/program_files.h"

namespace {

#if defined(_WIN32)
constexpr const char* kSzipName = "szip.exe";
constexpr const char* kSzipFileName = "SZIP.EXE";
#else
constexpr const char* kSzipName = "szip";
constexpr const char* kSzipFileName = "szip";
#endif
constexpr const char* kReadmeFileName = "szip.readme.txt";
constexpr const char* kSzipKey = "SOFTWARE\\Vantorel\\SZIP";
constexpr const char* kInstallPathValue = "Install Path";

bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    // An existing read-only copy is not replaced: the installation then fails, as it should.
    if (file_exists(path) && is_read_only(path)) return false;
    std::FILE* file = std::fopen(native_path(path).c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

std::string find_szip() {
    const std::string folder = module_folder();
    if (const std::string beside = join_path(folder, kSzipName);
        !folder.empty() && file_exists(beside))
        return beside;
    if (const std::string installed = read_machine_string(kSzipKey, kInstallPathValue);
        !installed.empty() && file_exists(installed))
        return installed;
    return find_on_search_path(kSzipName);
}

bool write_szip_files(const std::string& folder, int tool_id, int readme_id) {
    if (!find_szip().empty()) return true;
    const std::optional<std::vector<uint8_t>> tool = load_binary_resource(tool_id);
    if (!tool || !write_bytes(join_path(folder, kSzipFileName), *tool)) return false;
    if (const auto readme = load_binary_resource(readme_id))
        write_bytes(join_path(folder, kReadmeFileName), *readme);
    // The search finds the copy through this value next time; a failed write changes nothing now.
    write_machine_string(kSzipKey, kInstallPathValue, join_path(folder, kSzipFileName));
    return true;
}

bool install_szip(int tool_id, int readme_id) {
    if (!find_szip().empty()) return true;
    const std::string programs = program_files_folder();
    const std::string folder = join_path(join_path(programs, "Vantorel"), "Common");
    if (!programs.empty() && make_directory_tree(folder))
        return write_szip_files(folder, tool_id, readme_id);
    return write_szip_files(module_folder(), tool_id, readme_id);
}
