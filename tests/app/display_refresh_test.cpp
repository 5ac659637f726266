// The handset screen's redraw in the assembled program: the idle screens
// are drawn again at once when something they show changes.
#include <filesystem>

#include "app/application.h"
#include "app/messages.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/sim/sim_platform.h"
#include "settings_ui/setting_ids.h"
#include "test_support.h"

namespace vocastra {
namespace {

struct DisplayRefresh : ::testing::Test {
    test::TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};

    DisplayRefresh() {
        std::filesystem::create_directories(dir.Path() + "Language");
        for (const char* f : {"Eng.ini", "Ita.ini"})
            std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/" + f,
                                       dir.Path() + "Language/" + f);
        std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Vocastra.ini",
                                   dir.Path() + "Vocastra.ini");
        sim.fakeClock.SetLocalTime({2026, 12, 8, 2, 8, 0, 0});
        app.device.SetThreadsEnabled(false);
        app.skype.SetManualThreads(true);
        app.dialler.SetManualThreads(true);
        sim.hidBus.SetBlockingReads(false);
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        sim.skypeClient.LoadDefaultSession();
        sim.hidBus.Plug();
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        Settle();
        sim.hidBus.handset().Start();
        Settle();
    }
    void Settle() {
        for (int done = 1; done > 0;) {
            done = PumpHandset(app, sim) + sim.skypeClient.Deliver();
            while (app.skype.ProcessNotification())
                ++done;
        }
    }
    // A redraw now would send nothing: the handset shows what is current.
    // (It leaves the screen current, so it is no help to the next check.)
    bool ScreenIsCurrent() {
        const int pages = sim.hidBus.handset().PagesWritten();
        app.modes.RefreshDisplay();
        return sim.hidBus.handset().PagesWritten() == pages;
    }
    int Pages() { return sim.hidBus.handset().PagesWritten(); }
};

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
    EXPECT_TRUE(ScreenIsCurrent());
    sim.skypeClient.Restart();
    Settle();
    ASSERT_EQ(app.modes.CurrentMode(), MODE_MAIN);
    EXPECT_TRUE(ScreenIsCurrent());
}

}  // namespace
}  // namespace vocastra
