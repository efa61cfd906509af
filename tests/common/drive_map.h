// Drive letters as the Linux program and Wine both find them: links named "e:" in a drive map
// folder that point at the folders standing for the drives' roots, each root's label in its
// ".windows-label" file. The links go when the map does; the folders stay with their owner.
// Header-only, for the unit and end-to-end suites.
#pragma once

#include <cctype>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "output_files.h"

class DriveMap {
  public:
    // Letters in `reserved` (lower case) belong to someone else and are never linked.
    explicit DriveMap(std::string folder, std::string reserved = "")
        : m_folder(std::move(folder)), m_reserved(std::move(reserved)) {
        std::filesystem::create_directories(m_folder);
    }
    ~DriveMap() { unmap_all(); }
    DriveMap(const DriveMap&) = delete;
    DriveMap& operator=(const DriveMap&) = delete;

    // Makes drive X: point at the folder (created when missing) with the label, or without a
    // label file when the label is empty.
    void map(char letter, const std::string& folder, const std::string& label) {
        std::filesystem::create_directories(folder);
        std::error_code ignored;
        if (label.empty())
            std::filesystem::remove(folder + "/.windows-label", ignored);
        else
            write_file(folder + "/.windows-label", label);
        link(letter, folder);
    }
    // Makes drive X: point at any path, existing or not.
    void link(char letter, const std::string& target) {
        unmap(letter);
        std::filesystem::create_symlink(target, link_path(letter));
        m_changed = true;
        m_letters.push_back(letter);
    }
    void unmap(char letter) {
        std::error_code ignored;
        if (std::filesystem::remove(link_path(letter), ignored)) m_changed = true;
    }
    void unmap_all() {
        for (const char letter : m_letters)
            unmap(letter);
    }
    const std::string& folder() const { return m_folder; }
    // Whether links came or went since the last call.
    bool changed() { return std::exchange(m_changed, false); }

  private:
    std::string link_path(char letter) const {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
        if (m_reserved.find(lower) != std::string::npos)
            throw std::runtime_error(std::string("drive ") + letter + ": is reserved");
        return m_folder + "/" + lower + ":";
    }

    std::string m_folder;
    std::string m_reserved;
    std::vector<char> m_letters;
    bool m_changed = false;
};
