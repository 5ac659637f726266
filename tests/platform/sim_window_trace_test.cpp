// What the simulated desktop tells its observer: the lines a script's trace shows.
#include "platform/sim/sim_window_automation.h"
#include "test_support.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

TEST(SimWindowTrace, ClicksCarryTheirPointAndAltDigitsTheirKey) {
    SimWindowAutomation desktop;
    std::vector<std::string> lines;
    desktop.SetObserver([&](const std::string& l) { lines.push_back(l); });
    const WindowId w = desktop.AddWindow("TPanel", "", true);
    desktop.PostWindowMessage(w, kWmLButtonDown, 1, (20 << 16) | 35);
    // Points left of or above the window are negative in their 16-bit words.
    desktop.SendWindowMessage(w, kWmLButtonUp, 0, static_cast<intptr_t>(0xFFF6FFFEu));
    desktop.PostWindowMessage(w, kWmSysKeyDown, '2', 0x20000001);
    desktop.PostWindowMessage(w, kWmKeyDown, '2', 1);
    EXPECT_THAT(lines, ElementsAre("POST TPanel WM_LBUTTONDOWN 0x1 0x140023 (at 35,20)",
                                   "SEND TPanel WM_LBUTTONUP 0x0 0xfff6fffe (at -2,-10)",
                                   "POST TPanel WM_SYSKEYDOWN 0x32 0x20000001 (Alt+2)",
                                   "POST TPanel WM_KEYDOWN 0x32 0x1"));
}

}  // namespace
}  // namespace vocastra
