// Gives a test its own folder of shared-memory objects on Linux (KADO_SHM_DIR), so that it can
// plant what a killed process leaves behind and never meets the objects of other test runs on
// the machine. Windows keeps named objects in the kernel and needs no such folder.
#pragma once

#include <cstdlib>
#include <string>

#include "test_folder.h"

class PrivateSharedObjects {
  public:
#if defined(_WIN32)
    // Declared, so that a scope holding one is not taken for an unused variable.
    PrivateSharedObjects() {}
    ~PrivateSharedObjects() {}
#else
    PrivateSharedObjects() {
        setenv("KADO_SHM_DIR", m_folder.path().c_str(), 1);
    }
    ~PrivateSharedObjects() {
        unsetenv("KADO_SHM_DIR");
    }
    // Where the backend keeps the object of this name.
    std::string file(const std::string& name) const {
        return m_folder.file(name);
    }
#endif
    PrivateSharedObjects(const PrivateSharedObjects&) = delete;
    PrivateSharedObjects& operator=(const PrivateSharedObjects&) = delete;

#if !defined(_WIN32)
  private:
    TestFolder m_folder;
#endif
};
