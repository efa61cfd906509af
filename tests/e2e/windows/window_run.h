// kado.exe running under Wine while a window test drives its dialogs and message boxes with the
// build's uidriver (tools/uidriver), in the window tests' own prefix (gui_prefix.h).
#pragma once

#include <string>
#include <vector>

#include "harness.h"

class WindowRun {
  public:
    // Starts the program with the exact command-line text and extra environment.
    explicit WindowRun(const std::string& command_line, EnvList env = {});

    // Runs uidriver with the commands, one per argument; its report, one line per answer, and
    // "driver exit N" as the last line when a command failed.
    std::string drive(const std::vector<std::string>& commands);

    // The program's exit code once it has ended; -1 when it did not end within the bound.
    int exit_code() { return m_program.wait(300); }

  private:
    BackgroundProgram m_program;
};

// Removes the default drive from the program's profile in the prefix's registry.
void clear_default_drive();

// The language the program starts in, set
// as the user's choice, and removed again at the end.
class UserLanguage {
  public:
    explicit UserLanguage(int primary_language);
    ~UserLanguage();
    UserLanguage(const UserLanguage&) = delete;
    UserLanguage& operator=(const UserLanguage&) = delete;
};
