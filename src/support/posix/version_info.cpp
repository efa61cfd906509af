// Linux program files have no version resource; the running program's block is compiled in from
// the same definition the Windows resource script uses.
#include "support/version_info.h"

#include <array>
#include <utility>

#include "support/version.h"

namespace {

#define KADO_VERSION_PAIR(name, value) std::pair<const char*, const char*>{name, value},
constexpr std::array kOwnStrings{KADO_VERSION_STRINGS(KADO_VERSION_PAIR)};
#undef KADO_VERSION_PAIR

}  // namespace

VersionInfo::VersionInfo()
    : m_translation("040904b0"), m_language(0x409), m_has_translation(true) {}

VersionInfo::VersionInfo(const std::string&) {}

std::string VersionInfo::string_value(const std::string& name) const {
    if (m_has_translation)
        for (const auto& [key, value] : kOwnStrings)
            if (name == key) return value;
    return {};
}
