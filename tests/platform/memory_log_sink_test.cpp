#include "platform/sim/memory_log_sink.h"

#include <gtest/gtest.h>

namespace vocastra {
namespace {

using Lines = std::vector<std::string>;

// The sink keeps the newest lines, oldest first, however often it wraps or is
// cleared in between.
TEST(MemoryLogSink, KeepsTheNewestLinesInOrderAcrossWrapsAndClears) {
    MemoryLogSink sink(3);
    for (const char* l : {"a", "b", "c", "d", "e"})
        sink.Write(l);
    EXPECT_EQ(sink.Lines(), (Lines{"c", "d", "e"}));
    EXPECT_EQ(sink.LastLines(2), (Lines{"d", "e"}));
    EXPECT_EQ(sink.LastLines(9), (Lines{"c", "d", "e"}));
    EXPECT_TRUE(sink.Contains("d"));
    EXPECT_FALSE(sink.Contains("b"));

    sink.Clear();
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_FALSE(sink.Contains("e"));
    sink.Write("a much longer line than any before");
    sink.Write("f");
    EXPECT_EQ(sink.Lines(), (Lines{"a much longer line than any before", "f"}));
    for (const char* l : {"g", "h"})
        sink.Write(l);
    EXPECT_EQ(sink.Lines(), (Lines{"f", "g", "h"}));
}

}  // namespace
}  // namespace vocastra
