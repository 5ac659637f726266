#include "handset_terminal.h"

#include "device/key_codes.h"
#include "test_support.h"

namespace vocastra::sim {
namespace {

using ::testing::ElementsAre;

int CodeOf(const std::string& key) {
    const auto a = MapTerminalKey(key);
    return a && a->kind == TerminalAction::Kind::Key ? a->keyCode : -1;
}

TEST(HandsetTerminal, TypedKeysMapToHandsetKeys) {
    // Typed fast, several keys arrive in one read.
    const auto keys = SplitKeys("l0\x1b[A\x1bOP#\x7f\x1b[3~+");
    EXPECT_THAT(keys, ElementsAre("l", "0", "\x1b[A", "\x1bOP", "#", "\x7f", "\x1b[3~", "+"));
    EXPECT_EQ(MapTerminalKey("l")->kind, TerminalAction::Kind::LongNext);
    EXPECT_EQ(CodeOf("0"), KEY_0);
    EXPECT_EQ(CodeOf("9"), KEY_9);
    EXPECT_EQ(CodeOf("\x1b[A"), KEY_UP);
    EXPECT_EQ(CodeOf("\x1bOP"), KEY_HOTKEY_1);
    EXPECT_EQ(CodeOf("#"), KEY_SHARP);
    EXPECT_EQ(CodeOf("\x7f"), KEY_CLEAR);
    EXPECT_EQ(CodeOf("\x1b[3~"), KEY_CLEAR);
    EXPECT_EQ(CodeOf("+"), KEY_VOLUME_UP);
    EXPECT_EQ(CodeOf("u"), KEY_HOOKUP);
    EXPECT_EQ(CodeOf("d"), KEY_HOOKDOWN);
    EXPECT_FALSE(MapTerminalKey("\x1b[Z"));  // unmapped keys do nothing
    EXPECT_THAT(SplitKeys("\x1b"), ElementsAre("\x1b"));  // a lone Escape stays one key
}

}  // namespace
}  // namespace vocastra::sim
