// A program with its client link on the simulated platform, and a trace of
// everything that crosses its edges, in order: commands to the client
// ("CLIENT <- ..."), mode switches ("MODE n"), handset commands
// ("HANDSET <- cmd a b c"), fader changes ("FADER level type") and the
// messages the link posts to the main window ("MAIN <- START_RING").
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/messages.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra::test {

class SkypeFixture : public ::testing::Test {
  protected:
    SkypeFixture() {
        app.PrepareInstance();
        app.settingsStore.LoadSettings();
        skype.SetManualThreads(true);
        app.dialler.SetManualThreads(true);
        client.SetCommandObserver([this](const std::string& c) { Add("CLIENT <- " + c); });
        app.dlg.points.SwitchMode.Fill([this](int m) {
            mode = m;
            Add("MODE " + std::to_string(m));
        });
        app.dlg.points.NewWriteCmd.Fill([this](int c, int a, int b, int d) {
            Add("HANDSET <- " + std::to_string(c) + " " + std::to_string(a) + " " +
                std::to_string(b) + " " + std::to_string(d));
        });
        skype.points.SetFaderValue.Fill([this](int level, int type) {
            Add("FADER " + std::to_string(level) + " " + std::to_string(type));
        });
        skype.points.GetAudioOutVolume.Fill([] { return 17; });
        skype.points.GetCurrentMode.Fill([this] { return mode; });
        // The link's calls into the modes are recorded here rather than run:
        // these tests look at the link alone.
        skype.points.RefreshDisplay.Fill([this] { app.connectionLog.Record("RefreshDisplay"); });
        skype.points.OpenSkypeContacts.Fill(
            [this] { app.connectionLog.Record("OpenSkypeContacts"); });
        sim.mainWindow.SetHandler([this](uint32_t msg, uintptr_t, intptr_t) -> intptr_t {
            switch (msg) {
                case WM_START_RING:
                    Add("MAIN <- START_RING");
                    break;
                case WM_STOP_RING:
                    Add("MAIN <- STOP_RING");
                    break;
                case WM_UPDATE_TRAY:
                    Add("MAIN <- UPDATE_TRAY");
                    break;
                case WM_UNSUPPORTED_SKYPE:
                    Add("MAIN <- UNSUPPORTED_SKYPE");
                    break;
                default:
                    break;
            }
            return 1;
        });
        EXPECT_TRUE(skype.Create());
    }

    // Discovery answered with SUCCESS; the attach sequence's replies are
    // handled, then the trace starts afresh.
    void Attach() {
        skype.BroadcastDiscover();
        Pump();
        Clear();
    }
    // Everything the client has queued is delivered and handled.
    void Pump() {
        do {
            client.Deliver();
            sim.mainWindow.Pump();
        } while (skype.ProcessNotification() || client.Deliver() > 0);
        sim.mainWindow.Pump();
    }
    // One notification from the client, handled without auto replies
    // getting in the way of the trace.
    void Receive(const std::string& text) {
        client.Notify(text);
        Pump();
    }
    void Add(std::string line) {
        std::lock_guard lock(m_mutex);
        m_trace.push_back(std::move(line));
    }
    std::vector<std::string> Trace() {
        std::lock_guard lock(m_mutex);
        return m_trace;
    }
    void Clear() {
        std::lock_guard lock(m_mutex);
        m_trace.clear();
    }
    int Count(const std::string& line) {
        int n = 0;
        for (const auto& l : Trace())
            n += l == line;
        return n;
    }

    TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    CSkypeMonitor& skype = app.skype;
    SimSkypeClient& client = sim.skypeClient;
    int mode = 0;

  private:
    std::mutex m_mutex;
    std::vector<std::string> m_trace;
};

}  // namespace vocastra::test
