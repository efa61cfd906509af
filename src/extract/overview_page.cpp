#include "extract/overview_page.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "extract/code_points.h"
#include "format/recording_time.h"

namespace {

// Paper speed and gain of the strips, and the height of one channel's strip.
constexpr double kMillimetresPerSecond = 25;
constexpr double kMillimetresPerMillivolt = 10;
constexpr int kStripHeight = 30;
constexpr int kStripWidth = static_cast<int>(kStripSeconds * kMillimetresPerSecond);
// The 12-bit scale: the calibration's 410 steps are 1 mV around 2048.
constexpr double kBaseline = 2048;
constexpr double kStepsPerMillivolt = kCalibrationHigh - kCalibrationLow;

constexpr const char* kStyle =
    "@page{size:A4 landscape;margin:10mm}"
    "body{font-family:sans-serif;font-size:10pt;margin:0}"
    "h1{font-size:14pt;margin:0 0 2mm}"
    "table{border-collapse:collapse;margin-bottom:3mm}"
    "td,th{border:0.2mm solid #888;padding:0.5mm 2mm;text-align:left}"
    ".strip{break-inside:avoid;page-break-inside:avoid;margin-bottom:2mm}"
    ".strip p{margin:0}";

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : utf8_text(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string number(double value) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.2f", value);
    return text.data();
}

std::string clock_text(int64_t seconds) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%lld:%02lld:%02lld",
                  static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    return text.data();
}

void add_row(std::string& page, const char* name, const std::string& value) {
    page += "<tr><th>";
    page += name;
    page += "</th><td>" + value + "</td></tr>";
}

// The millimetre grid, darker every 5 mm, as two paths.
void add_grid(std::string& page) {
    std::string fine;
    std::string coarse;
    for (int x = 0; x <= kStripWidth; ++x)
        (x % 5 == 0 ? coarse : fine) +=
            "M" + std::to_string(x) + " 0V" + std::to_string(kStripHeight);
    for (int y = 0; y <= kStripHeight; ++y)
        (y % 5 == 0 ? coarse : fine) +=
            "M0 " + std::to_string(y) + "H" + std::to_string(kStripWidth);
    page += "<path d=\"" + fine + "\" stroke=\"#f4c7c7\" stroke-width=\"0.1\"/>";
    page += "<path d=\"" + coarse + "\" stroke=\"#e89a9a\" stroke-width=\"0.2\"/>";
}

// A word in millivolts on its recording's scale; nothing for a no-data word.
std::optional<double> millivolts(uint16_t word, bool twelve_lead) {
    if (twelve_lead)
        return word == kLeadNoData
                   ? std::nullopt
                   : std::optional(static_cast<int16_t>(word) / kLeadStepsPerMillivolt);
    return word == 0 ? std::nullopt : std::optional((word - kBaseline) / kStepsPerMillivolt);
}

// One channel's 10 s; no-data samples break the trace, pace pulses are marked at the top.
void add_strip_svg(std::string& page, const OverviewStrip& strip, size_t channel,
                   bool twelve_lead) {
    page += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kStripWidth) +
            "mm\" height=\"" + std::to_string(kStripHeight) + "mm\" viewBox=\"0 0 " +
            std::to_string(kStripWidth) + " " + std::to_string(kStripHeight) + "\">";
    page += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>";
    add_grid(page);
    std::string trace;
    std::string paces;
    bool drawing = false;
    for (size_t t = 0; t < strip.words.size(); ++t) {
        const double x = static_cast<double>(t) * kMillimetresPerSecond / kSamplesPerSecond;
        if (strip.paced[t]) paces += "M" + number(x) + " 0v4";
        const std::optional<double> mv = millivolts(strip.words[t][channel], twelve_lead);
        if (!mv) {
            drawing = false;
            continue;
        }
        const double y = kStripHeight / 2.0 - *mv * kMillimetresPerMillivolt;
        trace += (drawing ? "L" : "M") + number(x) + " " + number(std::clamp(y, 0.0, 30.0));
        drawing = true;
    }
    if (!trace.empty())
        page += "<path d=\"" + trace + "\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.3\"/>";
    if (!paces.empty())
        page += "<path d=\"" + paces + "\" stroke=\"#0050d0\" stroke-width=\"0.4\"/>";
    page += "</svg>";
}

}  // namespace

std::string overview_page(const RecordingDetails& details, const OverviewContent& content) {
    std::string page =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\"><head><meta charset=\"UTF-8\"/>"
        "<title>ECG overview</title><style>";
    page += kStyle;
    page += "</style></head><body><h1>ECG overview</h1><table>";
    add_row(page, "Patient", escaped(details.patient_name));
    add_row(page, "Patient ID", escaped(details.patient_id));
    add_row(page, "Recorder serial", escaped(details.recorder_text));
    add_row(page, "Start", escaped(seconds_display_text(content.output_start_seconds)));
    add_row(page, "Duration", clock_text(content.time_points / kSamplesPerSecond));
    add_row(page, "Channels", std::to_string(content.channels));
    page += "</table><table class=\"events\"><tr><th>Event</th><th>Second</th><th>Time</th></tr>";
    for (size_t i = 0; i < content.events.size(); ++i) {
        const int32_t s = content.events[i];
        page += "<tr><td>" + std::to_string(i + 1) + "</td><td>" + std::to_string(s) + "</td><td>" +
                seconds_display_text(content.output_start_seconds + s) + "</td></tr>";
    }
    page += "</table>";
    std::vector<const OverviewStrip*> strips;
    for (const OverviewStrip& s : content.strips)
        strips.push_back(&s);
    std::stable_sort(
        strips.begin(), strips.end(),
        [](const OverviewStrip* a, const OverviewStrip* b) { return a->start < b->start; });
    const bool twelve_lead = content.channels == 12;
    for (const OverviewStrip* s : strips) {
        for (size_t c = 0; c < static_cast<size_t>(strip_channels(content.channels)); ++c) {
            page += "<div class=\"strip\"><p>";
            page += s->event_seconds < 0
                        ? std::string("First seconds")
                        : "Patient event at second " + std::to_string(s->event_seconds);
            // The leads are named as the EDF+ export names its signals.
            page += twelve_lead ? std::string(", ECG ") + kStoredLeadNames[c]
                                : ", channel " + std::to_string(c + 1);
            page +=
                ", from " +
                seconds_display_text(content.output_start_seconds + s->start / kSamplesPerSecond) +
                "</p>";
            add_strip_svg(page, *s, c, twelve_lead);
            page += "</div>";
        }
    }
    page += "<p>25 mm/s, 10 mm/mV; blue marks are pacemaker pulses.</p></body></html>\n";
    return page;
}
