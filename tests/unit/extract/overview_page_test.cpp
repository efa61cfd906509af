#include "extract/overview_page.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Both scales draw 1 mV 10 mm above the strip's middle, and a no-data word breaks the trace.
TEST(OverviewPage, DrawsEachScaleAtTenMillimetresPerMillivoltUnderItsChannelNames) {
    const struct {
        int channels;
        std::array<uint16_t, 3> first_words;  // +1 mV, no data, -1 mV
        size_t svgs;
        const char* second_caption;
    } cases[] = {
        {3, {2048 + 410, 0, 2048 - 410}, 3, ", channel 2, from"},
        {12, {1638, kLeadNoData, static_cast<uint16_t>(-1638)}, 8, ", ECG II, from"},
    };
    for (const auto& c : cases) {
        OverviewContent content;
        content.channels = c.channels;
        OverviewStrip& strip = content.strips.emplace_back();
        strip.words.assign(kStripTimePoints, {});
        strip.paced.assign(kStripTimePoints, false);
        for (size_t t = 0; t < c.first_words.size(); ++t)
            strip.words[t][0] = c.first_words[t];
        const std::string page = overview_page({}, content);
        EXPECT_EQ(count(page, "<svg"), c.svgs) << c.channels;
        EXPECT_EQ(count(page, c.second_caption), 1u) << c.channels;
        EXPECT_EQ(count(page, "<path d=\"M0.00 5.00M0.39 25.00"), 1u) << c.channels;
    }
}

}  // namespace
