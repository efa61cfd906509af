// Runs the program under test as a process: the native kado, or kado.exe under Wine (when
// KADO_WINE names the Wine runner). Command lines are given as the exact text the program
// receives; paths inside them go through host_path(). The end-to-end tests' one header: it brings
// GoogleTest, the standard strings, vectors, maps, algorithms and file system, and the common
// file helpers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "drive_map.h"
#include "output_files.h"
#include "test_folder.h"

using EnvList = std::vector<std::pair<std::string, std::string>>;

bool under_wine();

// The path as the program under test names it (Z:\... under Wine).
std::string host_path(const std::string& path);

// Runs the program with the command-line text and extra environment; returns its exit code, or
// -1 when it did not end within the timeout (it is then killed).
int run_kado(const std::string& command_line, const EnvList& env = {}, int timeout_seconds = 120);

// Runs the program answering its message boxes and console dialogs. On Linux each question (a
// prompt such as "[y/n] " or a dialog's "[p/e/x] " on standard error) gets the next of the answer
// lines on standard input, and end of input after the last; before_answer(i), when given, runs
// before the i-th question is answered; error_text, when given, receives all of standard error.
// Under Wine message boxes take their safe answer headless and dialogs end as Exit: answers and
// hook go unused and error_text stays empty.
int run_kado_answering(const std::string& command_line, const std::vector<std::string>& answers,
                       const EnvList& env = {},
                       const std::function<void(size_t)>& before_answer = {},
                       std::string* error_text = nullptr);

// Linux only: runs the program with standard error (and output) on a pseudo-terminal and the
// answer lines, all at once, on standard input; terminal_text receives what the terminal showed.
int run_kado_on_terminal(const std::string& command_line, const std::vector<std::string>& answers,
                         const EnvList& env, std::string& terminal_text);

// Runs any program (argv[0] is the file) with extra environment; same results as run_kado.
int run_program(const std::vector<std::string>& argv, const EnvList& env = {},
                int timeout_seconds = 120);

// Runs any program to its end and returns what it wrote on standard output; code receives its exit
// code. Wine's helper processes, which inherit the output and outlive the program, do not hold
// the answer back.
std::string run_program_output(const std::vector<std::string>& argv, int& code);

// The command that starts one of the build's tools ($KADO_TOOLS_DIR/<name>/<name>, or
// <name>.exe through the Wine runner) with the arguments.
std::vector<std::string> tool_argv(const std::string& name, const std::vector<std::string>& args);

// The build's szip (szip.exe under Wine), which the build puts beside the program rather than
// among the tools, and the command that runs it with the arguments.
std::string szip_file();
std::vector<std::string> szip_argv(const std::vector<std::string>& args);

// Whether the file exists within the timeout, looking every 10 ms.
bool wait_for_file(const std::string& path, int timeout_seconds);

// A program started like run_program that runs while the test goes on; killed when the object
// goes without having been waited for.
class BackgroundProgram {
  public:
    explicit BackgroundProgram(const std::vector<std::string>& argv, const EnvList& env = {});
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    // Its exit code, or -1 when it did not end within the timeout (it is then killed) or could
    // not be started.
    int wait(int timeout_seconds = 120);

  private:
    int m_pid = -1;
};

// The terminator event of a read instance, made and signalled by kadosignal before the read
// begins, so the read stops at its first sector however the machine schedules the two; held until
// the object goes.
class SignalledTerminator {
  public:
    SignalledTerminator(const std::string& instance, const std::string& marker);
    ~SignalledTerminator();

    // The event is signalled and stays so until the object goes.
    bool ready() const { return m_ready; }

  private:
    std::string m_marker;
    BackgroundProgram m_holder;
    bool m_ready = false;
};

// Under Wine: ends the prefix's server and starts one that stays for the run, so that changed
// dosdevices links are seen (Wine's mount manager reads them once, when it starts).
void restart_wine_server();

// The text with its lines ended the way the program under test writes text files (patevent.dat):
// LF from kado, CR LF from kado.exe.
std::string platform_text(const std::string& text);

// Names each instance of a parameterised test after its case's `name`.
inline constexpr auto case_name = [](const auto& info) { return std::string(info.param.name); };

// Fields of a card's config.dat.
inline constexpr size_t kRecordingNumOffset = 1;
inline constexpr size_t kPatientDataNumOffset = 10;
inline constexpr size_t kPatientNameOffset = 96;
inline constexpr size_t kPatientIdOffset = 256;

// A little-endian 16-bit field of the record, and a text field up to its terminator (the
// patient's name unless another offset is given).
inline int record_word(const std::string& record, size_t offset) {
    return static_cast<uint8_t>(record.at(offset)) | static_cast<uint8_t>(record.at(offset + 1))
                                                         << 8;
}
inline std::string record_text(const std::string& record, size_t offset = kPatientNameOffset) {
    return record.substr(offset, record.find('\0', offset) - offset);
}

// Writes a card with the build's own recorder simulator (cardsim, or cardsim.exe under Wine) and
// what a correct reader recovers into intended_folder (none when empty); options are cardsim's
// own ("--format=35", "--event=30"). True on success.
bool make_card(const std::string& card_folder, const std::string& intended_folder,
               const std::vector<std::string>& options);

// A work folder for reads of one card: a card copy that the build's own recorder simulator
// (cardsim, or cardsim.exe under Wine) writes, the recording it intended and an output folder.
class CardWork {
  public:
    // Writes a fresh card, and the intended recording when asked, with cardsim's options
    // ("--format=35", "--event=30"); true on success.
    bool make(const std::vector<std::string>& options, bool with_intended = false) {
        return make_card(card(), with_intended ? intended() : "", options);
    }
    // Runs the program with the arguments, the card as /ipdir= and a fresh, empty /dir=.
    int read(const std::string& arguments, EnvList env = {}, int timeout_seconds = 300);
    // The same into the output folder as it is.
    int run(const std::string& arguments, EnvList env = {}, int timeout_seconds = 300);

    std::string card() const { return m_work / "card"; }
    std::string intended() const { return m_work / "intended"; }
    std::string out() const { return m_work / "out"; }
    std::string out(const std::string& name) const { return out() + "/" + name; }
    std::string path() const { return m_work.path(); }

  private:
    TestFolder m_work;
};

// Drive letters for the program under test: on Linux a drive map folder of the set's own (handed
// to the program as KADO_DRIVES by env()), under Wine the prefix's dosdevices folder
// ($WINEPREFIX/dosdevices), where Wine maps its own drives; its C: and Z: cannot be mapped.
class TestDriveSet : public DriveMap {
  public:
    explicit TestDriveSet(const std::string& work_folder);
    ~TestDriveSet();
    // The environment the program needs to see these drives. Under Wine, when the drives changed
    // since the last call, it also restarts the prefix's server (restart_wine_server).
    EnvList env();
};

// A test with a work folder, an output folder in it and drive letters of its own.
class DriveTest : public ::testing::Test {
  protected:
    DriveTest() { std::filesystem::create_directory(out()); }
    std::string out() const { return m_work / "out"; }
    std::string card() const { return m_work / "card"; }
    // The drives' environment, and a profile folder of the work folder's own.
    EnvList env();
    // A card that cardsim writes with the options, copied into the root folder (a tmpfs of the
    // test's own) and mapped as E: with the card's label; `fill` then fills the rest of the root
    // with ecg.dat, as conditioning leaves a card.
    bool copy_card_into(const std::string& root, const std::vector<std::string>& options,
                        bool fill);

    TestFolder m_work;
    TestDriveSet m_drives{m_work.path()};
};
