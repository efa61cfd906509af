// Registry values as the program reads them: typed, unexpanded, whole. Windows stores them with
// the system's reg.exe (under Wine the prefix's registry), Linux in the INI stand-in files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/machine_registry.h"
#include "support/program_files.h"
#include "support/program_run.h"
#include "test_folder.h"
#include "test_registry.h"

namespace {

using enum RegistryRoot;

constexpr const char* kTestKey = "Software\\Vantorel\\KadoRegistryTest";
constexpr const char* kInstallKey = "Software\\Vantorel\\Pulsenote CF Interface Program";

struct StoredValue {
    RegistryRoot root;
    const char* key;
    const char* name;
    const char* type;  // REG_SZ, REG_EXPAND_SZ or REG_DWORD
    std::string data;
};

class StoredValues {
  public:
    explicit StoredValues(const TestFolder& work) : m_registry(work) {}
#if defined(_WIN32)
    ~StoredValues() {
        for (const char* key : {kTestKey, kInstallKey})
            for (const char* root : {"HKCU\\", "HKLM\\"})
                reg({"delete", root + std::string(key), "/f", "/reg:32"});
    }
    void store(const std::vector<StoredValue>& values) const {
        for (const StoredValue& v : values)
            ASSERT_EQ(
                reg({"add", (v.root == kLocalMachine ? "HKLM\\" : "HKCU\\") + std::string(v.key),
                     "/v", v.name, "/t", v.type, "/d", v.data, "/f", "/reg:32"}),
                0);
    }

  private:
    static int reg(const std::vector<std::string>& words) {
        std::vector<CommandArgument> arguments(words.begin(), words.end());
        return launch_process("C:\\windows\\system32\\reg.exe", arguments, nullptr).exit_code;
    }
#else
    void store(const std::vector<StoredValue>& values) const {
        std::string ini;
        std::string section;
        for (const StoredValue& v : values) {
            const std::string header =
                std::string("[") +
                (v.root == kLocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") + v.key +
                "]\n";
            if (header != section) ini += section = header;
            // The stand-in has no expandable type: any string is returned as stored.
            const bool dword = std::string(v.type) == "REG_DWORD";
            ini += std::string(v.name) + (dword ? "=dword:" : "=") + v.data + "\n";
        }
        m_registry.write(ini);
    }
#endif

  private:
    TestRegistry m_registry;
};

}  // namespace

TEST(Registry, ValuesComeBackTypedUnexpandedAndWhole) {
    const TestFolder work;
    const StoredValues values(work);
    const std::string long_text(1500, 'x');
    values.store({{kCurrentUser, kTestKey, "Number", "REG_SZ", "7"},
                  {kCurrentUser, kTestKey, "Count", "REG_DWORD", "00000009"},
                  {kCurrentUser, kTestKey, "Folder", "REG_EXPAND_SZ", "%SystemRoot%\\kado"},
                  {kCurrentUser, kTestKey, "Long", "REG_SZ", long_text}});
    EXPECT_EQ(read_registry_dword(kCurrentUser, kTestKey, "Number", -1), -1);
    EXPECT_EQ(read_registry_dword(kCurrentUser, kTestKey, "Count", -1), 9);
    EXPECT_EQ(read_registry_string(kCurrentUser, kTestKey, "Count"), "");
    EXPECT_EQ(read_registry_string(kCurrentUser, kTestKey, "Folder"), "%SystemRoot%\\kado");
    EXPECT_EQ(read_registry_string(kCurrentUser, kTestKey, "Long"), long_text);
    // The user's values are not the machine's.
    EXPECT_EQ(read_registry_string(kLocalMachine, kTestKey, "Long"), "");
}

TEST(Registry, InstallPathOnlyWhenItNamesAnExistingFile) {
    const TestFolder work;
    write_file(work / "kado.exe", "program");
    for (const auto& [file, expected] : {std::pair{work / "kado.exe", work / "kado.exe"},
                                         std::pair{work / "missing.exe", std::string()}}) {
        const StoredValues values(work);
        values.store({{kLocalMachine, kInstallKey, "Install Path", "REG_SZ", file}});
        EXPECT_EQ(install_path(), expected) << file;
    }
}
