#include "cardsim/lib/step_codes.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <utility>

namespace cardsim {
namespace {

constexpr int kMaxStep = 100;

// The fields that select a code form, concatenated first bit first.
struct Prefix {
    uint32_t bits = 0;
    int width = 0;

    Prefix then(uint32_t value, int field_width) const {
        return {bits | (value << width), width + field_width};
    }
};

Prefix fields(std::initializer_list<std::pair<uint32_t, int>> list) {
    Prefix out;
    for (const auto& [value, width] : list)
        out = out.then(value, width);
    return out;
}

// Steps lo..hi are coded as the prefix, then the value (step − lo + value_at_lo) in value_width
// bits.
struct CodeForm {
    int lo;
    int hi;
    Prefix lead;
    int value_width;
    int value_at_lo;
};

using Forms = std::initializer_list<CodeForm>;

class CodeTable {
  public:
    CodeTable() {
        add(0,
            {{-2, 2, {}, 3, 0}, {-6, -3, fields({{5, 3}}), 3, 0}, {3, 6, fields({{5, 3}}), 3, 4}});
        add_long_forms(0, fields({{6, 3}}), fields({{7, 3}}));

        add(1,
            {{-3, 3, {}, 3, 0}, {-6, -4, fields({{7, 3}}), 3, 0}, {4, 6, fields({{7, 3}}), 3, 3}});
        add_long_forms(1, fields({{7, 3}, {6, 3}}), fields({{7, 3}, {7, 3}}));

        add(2, {{-6, 6, {}, 4, 0},
                {-14, -7, fields({{13, 4}}), 4, 0},
                {7, 14, fields({{13, 4}}), 4, 8},
                {-30, -15, fields({{14, 4}}), 5, 0},
                {15, 30, fields({{14, 4}}), 5, 16},
                {-45, -31, fields({{15, 4}}), 5, 0},
                {31, 45, fields({{15, 4}}), 5, 15},
                {-53, -46, fields({{15, 4}, {30, 5}}), 4, 0},
                {46, 53, fields({{15, 4}, {30, 5}}), 4, 8},
                {-68, -54, fields({{15, 4}, {31, 5}}), 5, 0},
                {54, 68, fields({{15, 4}, {31, 5}}), 5, 15},
                {69, 100, fields({{15, 4}, {31, 5}, {30, 5}}), 5, 0},
                {-100, -69, fields({{15, 4}, {31, 5}, {31, 5}}), 5, 0}});

        for (int type : {4, 5}) {
            add(type, {{-6, 6, {}, 4, 0},
                       {-14, -7, fields({{13, 4}}), 4, 0},
                       {7, 14, fields({{13, 4}}), 4, 8}});
        }
        add(4, {{15, 45, fields({{14, 4}}), 5, 0},
                {46, 61, fields({{14, 4}, {31, 5}}), 4, 0},
                {-45, -15, fields({{15, 4}}), 5, 0},
                {-61, -46, fields({{15, 4}, {31, 5}}), 4, 0}});
        add(5, {{15, 29, fields({{14, 4}}), 4, 0},
                {30, 45, fields({{14, 4}, {15, 4}}), 4, 0},
                {-29, -15, fields({{15, 4}}), 4, 0},
                {-45, -30, fields({{15, 4}, {15, 4}}), 4, 0}});

        add(6, {{-6, 6, {}, 4, 0},
                {-10, -7, fields({{13, 4}}), 3, 0},
                {7, 10, fields({{13, 4}}), 3, 4},
                {-14, -11, fields({{14, 4}}), 3, 0},
                {11, 14, fields({{14, 4}}), 3, 4},
                {-21, -15, fields({{15, 4}}), 4, 0},
                {15, 21, fields({{15, 4}}), 4, 7},
                {22, 29, fields({{15, 4}, {14, 4}}), 3, 0},
                {-29, -22, fields({{15, 4}, {15, 4}}), 3, 0}});

        add(7, {{-7, 7, {}, 4, 0},
                {-23, -8, fields({{15, 4}}), 5, 0},
                {8, 23, fields({{15, 4}}), 5, 16}});
    }

    const StepCode* row(int type) const {
        return m_codes[static_cast<std::size_t>(type)].data() + kMaxStep;
    }

  private:
    void add(int type, Forms forms) {
        for (const CodeForm& form : forms) {
            for (int d = form.lo; d <= form.hi; ++d) {
                const Prefix code = form.lead.then(
                    static_cast<uint32_t>(d - form.lo + form.value_at_lo), form.value_width);
                m_codes[static_cast<std::size_t>(type)][static_cast<std::size_t>(d + kMaxStep)] = {
                    code.bits, code.width};
            }
        }
    }

    // The long forms of types 0 and 1: after the prefix that selects the positive or negative
    // form, a 5-bit value whose 31 escapes to the next, wider range: 7..37, 38..68, 69..100.
    void add_long_forms(int type, Prefix up, Prefix down) {
        for (int escapes = 0; escapes < 3; ++escapes) {
            const int lo = 7 + 31 * escapes;
            const int hi = escapes == 2 ? 100 : lo + 30;
            add(type, {{lo, hi, up, 5, 0}, {-hi, -lo, down, 5, 0}});
            up = up.then(31, 5);
            down = down.then(31, 5);
        }
    }

    std::array<std::array<StepCode, 2 * kMaxStep + 1>, kNibbleTypes> m_codes{};
};

const CodeTable& code_table() {
    static const CodeTable table;
    return table;
}

}  // namespace

int step_factor(int nibble_type) {
    static constexpr std::array<int, kNibbleTypes> kFactors{3, 3, 3, 3, 5, 7, 11, 15};
    return kFactors[static_cast<std::size_t>(nibble_type)];
}

int step_range(int nibble_type) {
    static constexpr std::array<int, kNibbleTypes> kRanges{100, 100, 100, 100, 61, 45, 29, 23};
    return kRanges[static_cast<std::size_t>(nibble_type)];
}

StepCode step_code(int nibble_type, int step) {
    if (nibble_type < 0 || nibble_type >= kNibbleTypes || step < -kMaxStep || step > kMaxStep)
        return {};
    return step_codes(nibble_type)[step];
}

const StepCode* step_codes(int nibble_type) {
    return code_table().row(nibble_type);
}

}  // namespace cardsim
