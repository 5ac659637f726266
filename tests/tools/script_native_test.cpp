#include "script.h"

#include "device/key_codes.h"
#include "test_support.h"

namespace vocastra::sim {
namespace {

TEST(SimScript, ParsesEveryStepKind) {
    const auto r = ParseScript(
        "# a call\n"
        "plug\r\n"
        "press 5\n"
        "press STAR 1400\n"
        "down #\n"
        "up\n"
        "hook up\n"
        "notify CALL 12 STATUS RINGING\n"
        "client ring pstn +4930123\n"
        "wait 1000\n"
        "set VAL_ENABLE_LCM 0\n"
        "display\n"
        "expect CLIENT <- SET CALL 12 STATUS INPROGRESS\n"
        "unplug\n");
    ASSERT_TRUE(r.errors.empty()) << r.errors.front();
    ASSERT_EQ(r.steps.size(), 13u);
    EXPECT_EQ(r.steps[1].key, "5");
    EXPECT_EQ(r.steps[1].ms, 100);
    EXPECT_EQ(r.steps[2].key, "*");
    EXPECT_EQ(r.steps[2].ms, 1400);
    EXPECT_EQ(r.steps[3].key, "#");
    EXPECT_EQ(r.steps[5].text, "up");
    EXPECT_EQ(r.steps[6].text, "CALL 12 STATUS RINGING");
    EXPECT_EQ(r.steps[7].args, (std::vector<std::string>{"ring", "pstn", "+4930123"}));
    EXPECT_EQ(r.steps[8].ms, 1000);
    EXPECT_EQ(r.steps[11].text, "CLIENT <- SET CALL 12 STATUS INPROGRESS");
    EXPECT_EQ(r.steps[12].line, 14);
}

TEST(SimScript, ReportsEveryBadLineAndKeepsTheRest) {
    const auto r = ParseScript(
        "press\npress nokey\npress 5 abc\nhook sideways\nwait\nwait -5\nclient dance\n"
        "client ring p2p\nset x\nfly away\nnotify\npress 7\n");
    EXPECT_EQ(r.errors.size(), 11u);
    ASSERT_EQ(r.steps.size(), 1u);
    EXPECT_EQ(r.steps[0].key, "7");
    EXPECT_EQ(r.errors[1], "line 2: unknown key 'nokey'");
}

TEST(SimScript, KeyNamesRoundTrip) {
    for (const auto& k : KeyNames())
        EXPECT_EQ(KeyCodeFromName(k.name), k.code) << k.name;
    EXPECT_EQ(KeyCodeFromName("Sharp"), KEY_SHARP);
    EXPECT_EQ(KeyCodeFromName("VOL+"), KEY_VOLUME_UP);
    EXPECT_FALSE(KeyCodeFromName("hook"));
}

}  // namespace
}  // namespace vocastra::sim
