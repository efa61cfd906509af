// Gives a test its own folder of shared-memory objects on Linux (KADO_SHM_DIR), so that it can
// plant what a killed process leaves behind and never meets the objects of other test runs on
// the machine. Windows keeps named objects in the kernel and leaves the folder unused.
#pragma once

#include <string>

#include "test_folder.h"

class PrivateSharedObjects {
  public:
    // Where the Linux backend keeps the object of this name.
    std::string file(const std::string& name) const { return m_folder.file(name); }

  private:
    TestFolder m_folder;
    ScopedEnv m_shm_dir{"KADO_SHM_DIR", m_folder.path()};
};
