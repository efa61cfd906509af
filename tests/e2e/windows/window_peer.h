// windowpeer (tools/windowpeer) in the window prefix, playing the analysis application: what
// happened to its window, the program's boxes it saw, and the program's main window.
#pragma once

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

// One windowpeer in the window prefix, its log in the work folder.
class WindowPeer {
  public:
    WindowPeer(const std::string& log, const std::vector<std::string>& options) : m_log(log) {
        std::vector<std::string> args{host_path(log)};
        args.insert(args.end(), options.begin(), options.end());
        m_program = std::make_unique<BackgroundProgram>(tool_argv("windowpeer", args));
        // Its window must exist before the program under test looks for it.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (lines().empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    ~WindowPeer() { restart_wine_server(); }
    WindowPeer(const WindowPeer&) = delete;
    WindowPeer& operator=(const WindowPeer&) = delete;

    std::vector<std::string> lines() const {
        std::vector<std::string> all;
        std::istringstream text(std::filesystem::exists(m_log) ? read_file(m_log) : "");
        // The peer writes Windows text lines.
        for (std::string line; std::getline(text, line);)
            all.push_back(line.substr(0, line.find('\r')));
        return all;
    }

    // What happened to the peer's own window and the boxes it answered, in order. The program
    // asks for the minimise without waiting for it (a hung window must not hold the program), so
    // the peer may handle it after it has seen the box; a minimise before any notification counts
    // as the first step.
    std::vector<std::string> steps() const {
        std::vector<std::string> kept;
        for (const std::string& line : lines()) {
            const bool notified = std::find(kept.begin(), kept.end(), "notify") != kept.end();
            if (line == "minimise")
                kept.insert(notified ? kept.end() : kept.begin(), line);
            else if (line == "box" || line == "notify")
                kept.push_back(line);
        }
        return kept;
    }

    std::vector<std::string> frames() const {
        std::vector<std::string> kept;
        for (const std::string& line : lines())
            if (line.starts_with("frame ")) kept.push_back(line);
        return kept;
    }

  private:
    std::string m_log;
    std::unique_ptr<BackgroundProgram> m_program;
};
