// Environment variables that the code under test reads, set for the scope of one test, and the
// trace lines it writes while a test runs.
#pragma once

#include <cstdlib>
#include <string>

#include "test_folder.h"

// Sets the variable while it lives and removes it afterwards; an empty value removes it.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) { set(value); }
    ~ScopedEnv() { set(""); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void set(const std::string& value) const {
#if defined(_WIN32)
        _putenv_s(m_name, value.c_str());
#else
        if (value.empty())
            unsetenv(m_name);
        else
            setenv(m_name, value.c_str(), 1);
#endif
    }

  private:
    const char* m_name;
};

// Collects the trace lines written while it lives.
class TraceCapture {
  public:
    std::string text() const { return read_file(m_folder / "trace.txt"); }

  private:
    TestFolder m_folder;
    ScopedEnv m_trace{"KADO_TRACE", m_folder / "trace.txt"};
};
