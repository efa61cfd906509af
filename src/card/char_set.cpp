#include "card/char_set.h"

#include <algorithm>
#include <array>
#include <utility>

#include "support/code_page.h"

uint8_t char_set_of_code_page(std::optional<unsigned> code_page) {
    if (!code_page) return kCharSetDefault;
    switch (*code_page) {
        case 1250:
        case 28592:
            return kCharSetCentralEuropean;
        case 1255:
        case 862:
        case 28598:
            return kCharSetHebrew;
        default:
            return kCharSetDefault;
    }
}

uint8_t system_char_set() {
    return char_set_of_code_page(system_ansi_code_page());
}

namespace {

// Byte values the recorder treats as right-to-left: the Hebrew letters and points of its code
// pages and the punctuation that sits among them. Everything up to 0x80 is left-to-right.
constexpr std::array<bool, 256> make_rtl_table() {
    std::array<bool, 256> table{};
    constexpr std::pair<int, int> kRanges[] = {{0x81, 0x82}, {0x84, 0x89}, {0x8B, 0x8B},
                                               {0x8D, 0x99}, {0x9B, 0x9B}, {0x9D, 0x9E},
                                               {0xA0, 0xBB}, {0xBF, 0xFB}, {0xFD, 0xFE}};
    for (const auto& [first, last] : kRanges) {
        for (int b = first; b <= last; ++b)
            table[static_cast<size_t>(b)] = true;
    }
    return table;
}

constexpr std::array<bool, 256> kRtlTable = make_rtl_table();

bool is_rtl(char c) {
    return kRtlTable[static_cast<uint8_t>(c)];
}

}  // namespace

std::string reverse_rtl_runs(std::string_view text) {
    std::string result(text);
    auto run = result.begin();
    while (run != result.end()) {
        run = std::find_if(run, result.end(), is_rtl);
        const auto end = std::find_if_not(run, result.end(), is_rtl);
        std::reverse(run, end);
        run = end;
    }
    return result;
}
