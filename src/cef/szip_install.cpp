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
    // A folder candidate that is empty would search the root of the current drive: skipped.
    const auto in_folder = [](const std::string& folder) {
        return folder.empty() ? std::string() : join_path(folder, kSzipName);
    };
    const std::string candidates[] = {
        in_folder(module_folder()),
        read_registry_string(RegistryRoot::kLocalMachine, kSzipKey, kInstallPathValue),
        find_on_search_path(kSzipName),
        in_folder(folder_of(report_manager_path())),
        in_folder(folder_of(install_path())),
    };
    for (const std::string& candidate : candidates)
        if (!candidate.empty() && file_exists(candidate)) return candidate;
    return {};
}

bool write_szip_files(const std::string& folder, int tool_id, int readme_id) {
    if (!find_szip().empty()) return true;
    const std::optional<std::vector<uint8_t>> tool = load_binary_resource(tool_id);
    if (!tool || !write_bytes(join_path(folder, kSzipFileName), *tool)) return false;
    if (const auto readme = load_binary_resource(readme_id))
        write_bytes(join_path(folder, kReadmeFileName), *readme);
    // The search finds the copy through this value next time; a failed write changes nothing now.
    write_registry_string(RegistryRoot::kLocalMachine, kSzipKey, kInstallPathValue,
                          join_path(folder, kSzipFileName));
    return true;
}

bool install_szip(int tool_id, int readme_id) {
    if (!find_szip().empty()) return true;
    // A program that carries no tool (the Linux one) makes no folder for it either.
    if (!load_binary_resource(tool_id)) return false;
    const std::string programs = program_files_folder();
    const std::string folder = join_path(join_path(programs, "Vantorel"), "Common");
    if (!programs.empty() && make_directory_tree(folder))
        return write_szip_files(folder, tool_id, readme_id);
    return write_szip_files(module_folder(), tool_id, readme_id);
}
