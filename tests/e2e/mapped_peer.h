// Runs the mmfpeer test tool beside a read: the receiving analysis application of the hand-off
// through named memory-mapped sections.
#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <memory>

#include "harness.h"

// A base name that no other test or test run uses.
inline std::string unique_section_base() {
    static int serial = 0;
    return "kado-e2e-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + "-";
}

class MappedPeer {
  public:
    // options: mmfpeer's own ("--create=...", "--base=...", "--channels=2"); env: extra
    // environment. Returns once the peer has made its sections, or has begun to wait for the
    // program's.
    MappedPeer(const std::string& work_folder, std::vector<std::string> options,
               const EnvList& env = {})
        : m_out(work_folder + "/peer") {
        // A work folder may serve several peers in turn; each starts clean.
        std::filesystem::remove_all(m_out);
        std::filesystem::create_directory(m_out);
        const std::string ready = work_folder + "/peer.ready";
        std::filesystem::remove(ready);
        options.insert(options.end(), {"--out=" + host_path(m_out), "--ready=" + host_path(ready),
                                       "--timeout=600"});
        m_program = std::make_unique<BackgroundProgram>(tool_argv("mmfpeer", options), env);
        // A peer that is not ready would let the program make the sections itself and change
        // what the test measures: say so instead of going on.
        if (!wait_for_file(ready, 300)) ADD_FAILURE() << "mmfpeer not ready within 300 s";
    }

    // The peer's exit code once every channel is finished: 0 when all its checks passed.
    int wait() { return m_program->wait(600); }
    std::string channel_file(int channel) const {
        return m_out + "/channel" + std::to_string(channel) + ".dat";
    }
    std::string events_file() const { return m_out + "/events.txt"; }

  private:
    std::string m_out;
    std::unique_ptr<BackgroundProgram> m_program;
};

// The CEF road's section names carry no base name, so they are the same for every run on this
// machine; tests that use them take turns across processes.
class PlainSectionTurn {
  public:
    PlainSectionTurn() : m_fd(open("/tmp/kado-e2e-plain-sections.lock", O_RDWR | O_CREAT, 0666)) {
        if (m_fd >= 0) flock(m_fd, LOCK_EX);
    }
    ~PlainSectionTurn() {
        if (m_fd >= 0) close(m_fd);
    }
    PlainSectionTurn(const PlainSectionTurn&) = delete;
    PlainSectionTurn& operator=(const PlainSectionTurn&) = delete;

  private:
    int m_fd;
};
