// The application object: start-up, the choice of run mode, and the exit code the process returns.
#pragma once

#include <string>

class CKadoApp {
  public:
    explicit CKadoApp(std::string command_line);
    CKadoApp(const CKadoApp&) = delete;
    CKadoApp& operator=(const CKadoApp&) = delete;

    bool start_instance();
    int end_instance();

  private:
    std::string m_command_line;
    int m_exit_code = 0;
};
