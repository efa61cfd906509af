// The Linux program's registry files for one test: the machine's (KADO_REGISTRY) and the user's
// ($XDG_CONFIG_HOME/kado/registry.ini) are the one file of the test's folder, whose sections name
// their root.
#pragma once

#include <filesystem>
#include <string>

#include "test_folder.h"

class TestRegistry {
  public:
    explicit TestRegistry(const TestFolder& work)
        : m_file(work / "kado/registry.ini"),
          m_machine("KADO_REGISTRY", m_file),
          m_user("XDG_CONFIG_HOME", work.path()) {
        std::filesystem::create_directories(work / "kado");
    }

    void write(const std::string& text) const { write_file(m_file, text); }

  private:
    std::string m_file;
    ScopedEnv m_machine;
    ScopedEnv m_user;
};
