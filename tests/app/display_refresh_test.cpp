// The handset screen's timed redraw in the assembled program: every second
// on the call screens, once a minute on the idle screens, and at once when
// something an idle screen shows changes.
#include <filesystem>
#include <thread>

#include "app/application.h"
#include "app/messages.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "settings_ui/setting_ids.h"
#include "test_support.h"
#include "whole_program.h"

namespace vocastra {
namespace {

struct DisplayRefresh : test::WholeProgram {
    int refreshTicks = 0;  // TIMER_DISPLAY_REFRESH delivered

    DisplayRefresh() {
        std::filesystem::create_directories(dir.Path() + "Language");
        for (const char* f : {"Eng.ini", "Ita.ini"})
            std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/" + f,
                                       dir.Path() + "Language/" + f);
        std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Vocastra.ini",
                                   dir.Path() + "Vocastra.ini");
        sim.fakeClock.SetLocalTime({2026, 12, 8, 2, 8, 0, 0});
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            if (m == kMsgTimer && w == TIMER_DISPLAY_REFRESH)
                ++refreshTicks;
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        Start();
    }
    uint32_t Now() { return sim.fakeClock.GetTickCount(); }
    // The clock moved on by `ms`, with every timer that falls due on the way
    // delivered when it does, as the UI thread's loop would.
    void RunFor(uint32_t ms) {
        const uint32_t end = Now() + ms;
        for (;;) {
            const uint32_t left = end - Now();
            const uint32_t wait = sim.mainWindow.MsUntilNextTimer();
            sim.fakeClock.Advance(std::min(wait, left));
            Settle();
            if (wait >= left)
                return;
        }
    }
    SimMainWindow::Timer Refresh() {
        const auto timers = sim.mainWindow.SaveTimers();
        const auto it = timers.find(TIMER_DISPLAY_REFRESH);
        return it == timers.end() ? SimMainWindow::Timer{0, 0} : it->second;
    }
    uint32_t RefreshDueIn() { return Refresh().due - Now(); }
    // A redraw now would send nothing: the handset shows what is current.
    // (It leaves the screen current, so it is no help to the next check.)
    bool ScreenIsCurrent() {
        const int pages = sim.hidBus.handset().PagesWritten();
        app.modes.RefreshDisplay();
        return sim.hidBus.handset().PagesWritten() == pages;
    }
    int Pages() { return sim.hidBus.handset().PagesWritten(); }
    // The user sets the clock; Windows tells every top-level window.
    void SetClock(const LocalTime& t) {
        sim.fakeClock.SetLocalTime(t);
        sim.mainWindow.Post(kMsgTimeChange, 0, 0);
        Settle();
    }
};

TEST_F(DisplayRefresh, TheIdleScreenIsRedrawnJustAfterEachMinuteAndAtOnceWhenTheClockIsSet) {
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_GT(RefreshDueIn(), kDisplayRefreshMs);

    SetClock({2026, 12, 8, 2, 9, 30, 20});
    EXPECT_TRUE(ScreenIsCurrent()) << "the new time waits for the next redraw";
    EXPECT_EQ(RefreshDueIn(), 40'000 + kMinuteRefreshMarginMs);

    RunFor(39'999);  // 09:30:59
    EXPECT_EQ(refreshTicks, 0);
    EXPECT_TRUE(ScreenIsCurrent());
    int pages = Pages();
    RunFor(kMinuteRefreshMarginMs + 1);
    EXPECT_EQ(refreshTicks, 1);
    EXPECT_GT(Pages(), pages) << "09:31 is not shown";
    EXPECT_TRUE(ScreenIsCurrent());
    // Counted afresh from the clock: a whole minute from just after one.
    EXPECT_EQ(RefreshDueIn(), 60'000 + kMinuteRefreshMarginMs);
    pages = Pages();
    RunFor(60'000 + kMinuteRefreshMarginMs);
    EXPECT_EQ(refreshTicks, 2);
    EXPECT_GT(Pages(), pages) << "09:32 is not shown";
    EXPECT_TRUE(ScreenIsCurrent());

    // Set back to a minute's last second: the next redraw follows the clock.
    SetClock({2026, 12, 8, 2, 23, 59, 59});
    EXPECT_TRUE(ScreenIsCurrent());
    EXPECT_EQ(RefreshDueIn(), 1'000 + kMinuteRefreshMarginMs);
    pages = Pages();
    RunFor(1'000 + kMinuteRefreshMarginMs);
    EXPECT_GT(Pages(), pages) << "the new day is not shown";
    EXPECT_TRUE(ScreenIsCurrent());
}

TEST_F(DisplayRefresh, CallScreensTickEverySecondAndTheEndOfTheCallGoesBackToTheMinute) {
    const std::string call = sim.skypeClient.IncomingCall("alice.w");
    Settle();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_RINGING);
    EXPECT_EQ(Refresh().period, kDisplayRefreshMs);
    EXPECT_LE(RefreshDueIn(), kDisplayRefreshMs);
    refreshTicks = 0;
    RunFor(3 * kDisplayRefreshMs);
    EXPECT_EQ(refreshTicks, 3);

    sim.skypeClient.SetCallStatus(call, "INPROGRESS");
    Settle();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_TALKING);
    EXPECT_EQ(Refresh().period, kDisplayRefreshMs);

    sim.skypeClient.SetCallStatus(call, "FINISHED");
    Settle();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_GT(RefreshDueIn(), kDisplayRefreshMs);
    EXPECT_LE(RefreshDueIn(), 60'000 + kMinuteRefreshMarginMs);
}

TEST_F(DisplayRefresh, ASwitchOnAnotherThreadLeavesTheTimerToTheUiThread) {
    const SimMainWindow::Timer idle = Refresh();
    ASSERT_GT(idle.period, kDisplayRefreshMs);
    // A digit typed at idle opens the number entry, on the key thread.
    std::thread([&] { app.modes.DispatchKeyToMode(KEY_5); }).join();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_NUMDIAL);
    EXPECT_EQ(Refresh().period, idle.period) << "the timer was set off the UI thread";
    EXPECT_EQ(Refresh().due, idle.due);
    Settle();
    EXPECT_EQ(Refresh().period, kDisplayRefreshMs);
}

TEST_F(DisplayRefresh, WhatTheIdleScreensShowIsDrawnAsItChanges) {
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    ASSERT_TRUE(ScreenIsCurrent());

    int pages = Pages();
    sim.skypeClient.Notify("USER echo123 FULLNAME Echo Tester-Jones");
    Settle();
    EXPECT_GT(Pages(), pages);
    EXPECT_TRUE(ScreenIsCurrent()) << "the new name waits for the next redraw";

    // Another language from the tray menu, then back from the settings sheet.
    pages = Pages();
    app.HandleMessage(kMsgCommand, ID_LANGUAGE_COMMANDS[4], 0);
    Settle();
    EXPECT_GT(Pages(), pages);
    EXPECT_TRUE(ScreenIsCurrent()) << "the soft keys' captions wait for the next redraw";
    pages = Pages();
    sim.settingSheet.SetUser([&](SimSettingSheet& s) {
        s.SelectEntry(IDC_LANGUAGE_LIST, 0);
        s.PressOk();
        Settle();
    });
    app.HandleMessage(kMsgCommand, ID_SETTING_PAGE_COMMANDS[kAdvancedPage], 0);
    Settle();
    ASSERT_EQ(app.g_Settings.VAL_LANGUAGE, 0);
    EXPECT_GT(Pages(), pages);
    EXPECT_TRUE(ScreenIsCurrent());

    // The client gone, and back: the unconnected screen is idle too.
    sim.skypeClient.Exit();
    sim.skypeClient.FireTimer();
    Settle();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_UNCONNECTED);
    EXPECT_GT(RefreshDueIn(), kDisplayRefreshMs);
    EXPECT_TRUE(ScreenIsCurrent());
    sim.skypeClient.Restart();
    Settle();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_TRUE(ScreenIsCurrent());
}

}  // namespace
}  // namespace vocastra
