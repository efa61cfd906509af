#include "card/file_set.h"

namespace {

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool accepts_short_cnav(RunMode mode, bool on_card) {
    switch (mode) {
        case kModeReadPatCnav:
        case kModeReadPatPath:
        case kModeReadPatStand:
        case kModeReadPatScan:
        case kModeReadEcgHide:
        case kModeReadEcgStand:
        case kModeWav:
            return true;
        case kModeSetPat:
            return on_card;
        default:
            return false;
    }
}

bool prepares_card(RunMode mode) {
    return mode >= kModeWriteCnav && mode <= kModeWriteWestbury;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
    return true;
}
