#include "extract/sector_types.h"

#include <gtest/gtest.h>

TEST(RecordingFormat, ChannelCountsAndEventTableFormats) {
    struct Row {
        uint8_t format;
        int channels;
        bool event_table;
    };
    const Row rows[] = {{1, 2, false},   {4, 2, false},  {34, 2, true},  {2, 3, false},
                        {5, 3, false},   {35, 3, true},  {48, 3, true},  {33, 1, true},
                        {64, 12, true},  {65, 12, true}, {0, 0, false},  {3, 0, false},
                        {0x30, 3, true}, {66, 0, false}, {127, 0, false}};
    for (const Row& row : rows) {
        EXPECT_EQ(channels_of_format(row.format), row.channels) << int{row.format};
        EXPECT_EQ(is_event_table_format(row.format), row.event_table) << int{row.format};
        // The top bit of the stored byte is not part of the format.
        const auto flagged = static_cast<uint8_t>(row.format | 0x80);
        EXPECT_EQ(channels_of_format(flagged), row.channels) << int{flagged};
        EXPECT_EQ(is_event_table_format(flagged), row.event_table) << int{flagged};
    }
}

TEST(SectorType, KindAndChecksumVariantOfEveryTypeByte) {
    using K = SectorKind;
    using V = ChecksumVariant;
    struct Row {
        uint8_t type;
        K kind;
        V checksum;
    };
    const Row rows[] = {
        {0x81, K::start, V::a},           {0x82, K::start, V::b},
        {0x83, K::start, V::b},           {0x01, K::packed, V::a},
        {0x02, K::packed, V::a},          {0x30, K::packed, V::b},
        {0x04, K::delta, V::b},           {0x05, K::delta, V::b},
        {0x21, K::compressed, V::none},   {0x22, K::compressed, V::none},
        {0x23, K::compressed, V::none},   {0x40, K::twelve_lead, V::b},
        {0x41, K::twelve_lead_aux, V::b}, {0x20, K::event, V::none},
        {0x31, K::event, V::none},        {0x42, K::event, V::none},
        {0x00, K::end, V::none},          {0x03, K::end, V::none},
        {0x84, K::end, V::none},          {0xFF, K::end, V::none},
    };
    for (const Row& row : rows) {
        const SectorType t = sector_type_of(row.type);
        EXPECT_EQ(t.kind, row.kind) << int{row.type};
        EXPECT_EQ(t.checksum, row.checksum) << int{row.type};
    }
}
