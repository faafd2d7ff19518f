#include "shell/monitor_log.h"

#include <gtest/gtest.h>

TEST(MonitorLog, LineTexts) {
    struct Case {
        AccessKind kind;
        int dev, reg, data;
        const char* text;
    } cases[] = {
        {AccessKind::Read, 0x48, 0x3D, 0x41, "Read\tDev Addr=0x48\tAddr Ptr=0x3D\tData In=0x41"},
        {AccessKind::Read, 0x48, 5, 0, "Read\tDev Addr=0x48\tAddr Ptr=0x05\tData In=0x00"},
        {AccessKind::Write, 0x4A, 0x68, 0xA7, "Write\tDev Addr=0x4A\tAddr Ptr=0x68\tData Out=0xA7"},
        {AccessKind::Write, 5, 0xFF, 0xFF, "Write\tDev Addr=0x05\tAddr Ptr=0xFF\tData Out=0xFF"},
        // Values that do not fit the compact record come back whole.
        {AccessKind::Read, 0x12345, 0x10, 1, "Read\tDev Addr=0x12345\tAddr Ptr=0x10\tData In=0x01"},
        {AccessKind::Write, -1, 0x10, 1, "Write\tDev Addr=0xFFFFFFFF\tAddr Ptr=0x10\tData Out=0x01"},
        {AccessKind::Write, 0x48, 300, 0x1FF, "Write\tDev Addr=0x48\tAddr Ptr=0x12C\tData Out=0x1FF"},
    };
    MonitorLog log;
    for (const Case& c : cases) log.Append(c.kind, c.dev, c.reg, c.data);
    ASSERT_EQ(log.Size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(log.LineText(i), QString::fromLatin1(cases[i].text)) << i;
    EXPECT_EQ(log.LineText(std::size(cases)), QString());
}

TEST(MonitorLog, GrowsAcrossChunksAndClears) {
    MonitorLog log;
    const size_t n = MonitorLog::kChunkSize * 2 + 5;
    for (size_t i = 0; i < n; ++i) log.Append(i % 2 ? AccessKind::Write : AccessKind::Read, 0x48, int(i & 0xFF), int((i >> 8) & 0xFF));
    EXPECT_EQ(log.Size(), n);
    for (size_t i : {size_t{0}, MonitorLog::kChunkSize - 1, MonitorLog::kChunkSize, n - 1})
        EXPECT_EQ(log.LineText(i), MonitorLineText(i % 2 ? AccessKind::Write : AccessKind::Read, 0x48, int(i & 0xFF),
                                                   int((i >> 8) & 0xFF)))
            << i;
    EXPECT_LE(log.MemoryBytes(), n * 16);
    log.Clear();
    EXPECT_EQ(log.Size(), 0u);
    EXPECT_EQ(log.MemoryBytes(), 0u);
    log.Append(AccessKind::Read, 0x48, 1, 2);
    EXPECT_EQ(log.LineText(0), "Read\tDev Addr=0x48\tAddr Ptr=0x01\tData In=0x02");
}
