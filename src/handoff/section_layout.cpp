#include "handoff/section_layout.h"

SectionNames card_road_names(const std::string& base_name) {
    SectionNames names;
    names.control = base_name + "ECGCTRL.MMF";
    for (int n = 0; n < kMappedChannels; ++n)
        names.samples[static_cast<size_t>(n)] =
            base_name + "RAWECG" + std::to_string(n + 1) + ".MMF";
    names.events = base_name + "Patient Events";
    return names;
}

SectionNames cef_road_names() {
    return card_road_names("");
}
