// A handset-modes rig for scenario tests: the whole application on the sim
// platform, with a stand-in client (call list, mute, version, prefix) and a
// trace of what crosses each edge, as lines like
//   "MODE 2 -> 3", "HANDSET <- CMD_LED_ON", "CLIENT <- SET CALL 12 STATUS INPROGRESS",
//   "HANDSET <- LINE 0".
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "app/application.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_platform.h"
#include "test_support.h"

namespace vocastra::test {

inline std::string CommandName(int cmd) {
    switch (cmd) {
        case CMD_DEVICE_INIT:
            return "CMD_DEVICE_INIT";
        case CMD_RING:
            return "CMD_RING";
        case CMD_RING_STOP:
            return "CMD_RING_STOP";
        case CMD_LED_FLASH_100MS:
            return "CMD_LED_FLASH_100MS";
        case CMD_LED_FLASH_500MS:
            return "CMD_LED_FLASH_500MS";
        case CMD_LED_ON:
            return "CMD_LED_ON";
        case CMD_LED_OFF:
            return "CMD_LED_OFF";
        case CMD_CONNECT:
            return "CMD_CONNECT";
        case CMD_SET_CONTRAST:
            return "CMD_SET_CONTRAST";
        default:
            return "CMD " + std::to_string(cmd);
    }
}

class ModeHarness {
  public:
    explicit ModeHarness(bool withDisplay = true) {
        std::filesystem::create_directories(dir.Path() + "Language");
        std::filesystem::copy_file(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language/Eng.ini",
                                   dir.Path() + "Language/Eng.ini");
        app.g_Settings.programDirectory = dir.Path();
        app.g_Settings.VAL_ENABLE_LCM = withDisplay ? 1 : 0;
        app.g_Settings.VAL_ENABLE_KEYTONE = 0;
        sim.fakeClock.SetLocalTime({2026, 12, 8, 2, 14, 5, 0});
        ModeLinks& l = app.modes.links;
        l.NewWriteCmd.Fill([this](int cmd, int a, int b, int c) {
            if (cmd == CMD_SET_CONTRAST)
                Trace("HANDSET <- CMD_SET_CONTRAST " + std::to_string(a) + " " + std::to_string(b) +
                      " " + std::to_string(c));
            else
                Trace("HANDSET <- " + CommandName(cmd));
        });
        l.SendMessageToSkype.Fill([this](std::string cmd) { Trace("CLIENT <- " + cmd); });
        l.GetCurrentCalls.Fill([this] { return calls; });
        l.RotateCalls.Fill([this] {
            if (calls.size() >= 2)
                std::rotate(calls.begin(), calls.begin() + 1, calls.end());
        });
        l.GetMute.Fill([this] { return mute; });
        l.GetSkypeMajorVersion.Fill([this] { return skypeVersion; });
        l.GetCountryPrefix.Fill([this] { return countryPrefix; });
        l.GetFocusedContact.Fill([this] { return focusedContact; });
        l.SetFocusedContact.Fill([this](std::string handle) { focusedContact = handle; });
        l.GetLastCallTarget.Fill([this] { return lastCallTarget; });
        l.GetCurrentUserFullName.Fill([this] { return fullName; });
        l.GetContactCount.Fill([this] { return contactCount; });
        l.IsSkypeAttached.Fill([this] { return attached; });
        l.SetAudioOutFaderValue.Fill([this](int level, int type) {
            Trace("MIXER <- out " + std::to_string(level) + " type " + std::to_string(type));
        });
        l.RememberAudioOutLevel.Fill([](int) {});
        app.display.points.IsWriteHandleValid.Fill([] { return true; });
        app.display.points.NewWriteDevice.Fill(
            [this](int line, const PageBytes&, const PageBytes&) {
                if (traceLines)
                    Trace("HANDSET <- LINE " + std::to_string(line));
            });
        app.modes.m_onModeChanged = [this](int from, int to) {
            Trace("MODE " + std::to_string(from) + " -> " + std::to_string(to));
        };
        app.display.Create();
    }

    // The state after start-up with handset and client present: idle.
    void StartIdle() {
        app.flags.g_bDeviceStarted = 1;
        app.modes.SwitchMode(MODE_UNCONNECTED);
        app.modes.SwitchMode(MODE_MAIN);
        trace.clear();
    }

    void Trace(std::string line) { trace.push_back(std::move(line)); }
    std::vector<std::string> TakeTrace() {
        std::vector<std::string> t;
        t.swap(trace);
        return t;
    }

    void Press(int32_t key) { app.modes.DispatchKeyToMode(key); }
    void Tick() {
        sim.fakeClock.Advance(1000);
        app.modes.OnRefreshTimer();
    }

    // What the client's notification handling does for a call's life.
    CallView& AddCall(const std::string& id, int32_t type, const std::string& name,
                      const std::string& status = "RINGING") {
        CallView c;
        c.szCallId = id;
        c.nType = type;
        c.szPartnerDispName = name;
        c.szPartnerHandle = name;
        c.szStatus = status;
        calls.push_back(c);
        return calls.back();
    }
    CallView* Find(const std::string& id) {
        for (auto& c : calls)
            if (c.szCallId == id)
                return &c;
        return nullptr;
    }
    void ClientRings(const std::string& id, int32_t type, const std::string& name) {
        AddCall(id, type, name);
        app.modes.SwitchMode(MODE_RINGING);
    }
    void ClientInProgress(const std::string& id) {
        if (CallView* c = Find(id))
            c->szStatus = "INPROGRESS";
        app.modes.SwitchMode(MODE_TALKING);
    }
    void ClientFinished(const std::string& id) {
        std::erase_if(calls, [&](const CallView& c) { return c.szCallId == id; });
        if (calls.empty())
            app.modes.SwitchMode(MODE_MAIN);
    }

    TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    std::vector<std::string> trace;
    bool traceLines = false;

    std::vector<CallView> calls;
    int mute = 0;
    int skypeVersion = 5;
    std::string countryPrefix = "+44";
    std::string focusedContact;
    std::string lastCallTarget;
    std::string fullName = "Maria Smith";
    int contactCount = 0;
    bool attached = true;
};

}  // namespace vocastra::test
