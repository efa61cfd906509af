#include "support/machine_registry.h"

std::string read_machine_string(const std::string&, const std::string&) {
    return {};
}

bool write_machine_string(const std::string&, const std::string&, const std::string&) {
    return false;
}
