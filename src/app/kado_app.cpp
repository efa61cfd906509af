#include "app/kado_app.h"

#include <utility>

#include "support/trace.h"

CKadoApp::CKadoApp(std::string command_line) : m_command_line(std::move(command_line)) {}

bool CKadoApp::start_instance() {
    m_exit_code = 100;
    trace("m_exit_code : %i\n", m_exit_code);
    return true;
}

int CKadoApp::end_instance() {
    return m_exit_code;
}
