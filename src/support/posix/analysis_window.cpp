#include "support/analysis_window.h"

void minimise_window_titled(const std::string&) {}
void send_to_window_titled(const std::string&, const std::string&) {}
