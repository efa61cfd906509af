// Directory enumeration on Windows: the find calls, whose first entry arrives with the search.
#include <windows.h>

#include <string>

#include "support/file_finder.h"

struct FileFinder::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data{};
    bool data_pending = false;  // the entry that FindFirstFile returned has not been read yet
    ~State() {
        if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
    }
};

void FileFinder::StateCloser::operator()(State* state) const {
    delete state;
}

bool FileFinder::open(const std::string& pattern) {
    std::unique_ptr<State, StateCloser> state(new State);
    state->handle = FindFirstFileA(pattern.c_str(), &state->data);
    if (state->handle == INVALID_HANDLE_VALUE) {
        // No matching entry is an empty result, anything else a failed search.
        const DWORD error = GetLastError();
        m_failed = error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES;
        return false;
    }
    state->data_pending = true;
    m_state = std::move(state);
    return true;
}

bool FileFinder::read_entry() {
    if (!m_state->data_pending && !FindNextFileA(m_state->handle, &m_state->data)) return false;
    m_state->data_pending = false;
    m_name = m_state->data.cFileName;
    m_attributes = m_state->data.dwFileAttributes;
    m_size =
        (static_cast<uint64_t>(m_state->data.nFileSizeHigh) << 32) | m_state->data.nFileSizeLow;
    return true;
}
