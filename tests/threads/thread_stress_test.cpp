// The assembled program with its real threads (HID read, key processing, LED
// flasher, receive thread, command batches, the dialler's watchers) under a
// storm of handset keys and client events, sent by the test thread playing
// the UI thread: it also delivers the client's messages and the main
// window's posts and timers, plugs and unplugs the handset, lets the client
// quit and return, and switches the language. Time is the fake clock: the
// threads are real, their sleeps cost nothing.
//
// Seeded, so a failing sequence repeats (VOCASTRA_STRESS_SEED); the number
// of steps comes from VOCASTRA_STRESS_STEPS. At the end the program has to
// settle into a state the handset's keys can leave, with its lists matching
// what the client says. Under ThreadSanitizer every step is also checked for
// data races.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/messages.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "device/report_protocol.h"
#include "modes/mode_ids.h"
#include "modes/mode_table.h"
#include "platform/sim/sim_platform.h"
#include "skype/call_list.h"
#include "skype/contact_list.h"
#include "test_support.h"

namespace vocastra {
namespace {

constexpr int kDefaultSteps = 4000;
constexpr unsigned kDefaultSeed = 20261209;
// Queued behind everything else, it tells when the key thread has caught up;
// no key of the handset has this code.
constexpr int32_t kSentinelKey = 0x7ffe;
// The line the read thread logs for a one-byte report: it has caught up.
constexpr const char* kMarkerLine = "Input report of 1 byte ignored";

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

// A contact's place in the display order: online-ish first, then telephone
// numbers, then offline.
int StatusGroup(int status) {
    return status == kOnlineStatusOffline ? 2 : status == kOnlineStatusSkypeOut ? 1 : 0;
}

class ThreadStress : public ::testing::Test {
  protected:
    ThreadStress() {
        std::filesystem::copy(std::string(VOCASTRA_SOURCE_DIR) + "/data/Language",
                              dir.Path() + "Language");
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        sim.logSink.SetObserver([this](const std::string& line) {
            if (line.find(kMarkerLine) == std::string::npos)
                return;
            std::lock_guard lock(m_mutex);
            ++m_markersSeen;
            m_cv.notify_all();
        });
        // The keys still reach the modes as wired; only the sentinel stops here.
        app.device.keys.points.DispatchKeyToMode.Fill([this](int key) {
            if (key != kSentinelKey) {
                app.modes.DispatchKeyToMode(key);
                return;
            }
            std::lock_guard lock(m_mutex);
            ++m_sentinelsSeen;
            m_cv.notify_all();
        });
        sim.skypeClient.LoadDefaultSession();
        sim.skypeClient.LoadDefaultHistory();
        sim.skypeClient.AttachDesktop(&sim.windows);
        sim.sound.AddCard(MakeStereoSoundCard("High Definition Audio"));
        sim.sound.AddCard(MakeHandsetSoundCard("USB PHONE"));

        sim.hidBus.Plug();
        app.PrepareInstance();
        app.dlg.OnInitDialog();
        Settle();
        sim.hidBus.handset().Start();
        Settle();
    }
    int Mode() const { return app.modes.CurrentMode(); }

    // Waits for a thread to reach a point; a minute without it is a hang,
    // and ends the run at once rather than at the test's time-out.
    template <typename Pred>
    void WaitFor(Pred pred, const char* who) {
        std::unique_lock lock(m_mutex);
        if (!m_cv.wait_for(lock, std::chrono::minutes(1), pred)) {
            std::fprintf(stderr, "the %s did not catch up (mode %d): deadlocked?\n", who, Mode());
            std::abort();
        }
    }

    // Returns once the read thread has handled every report sent so far and
    // the key thread every key queued so far.
    void CatchUp() {
        if (sim.hidBus.IsPlugged() && app.device.transport.IsReadHandleValid()) {
            const int want = ++m_markersSent;
            sim.hidBus.handset().SendRaw({kKeyReportId});
            WaitFor([&] { return m_markersSeen >= want; }, "HID read thread");
        }
        const int want = ++m_sentinelsSent;
        app.device.keys.PushKey(kSentinelKey);
        WaitFor([&] { return m_sentinelsSeen >= want; }, "key thread");
    }

    // One round of the UI thread's own work.
    int PumpUi() {
        int n = sim.skypeClient.Deliver();
        n += sim.mainWindow.Pump();
        n += sim.sound.Pump();
        return n;
    }

    // Until every thread is idle and nothing is queued anywhere.
    void Settle() {
        for (int round = 0; round < 500; ++round) {
            CatchUp();
            app.skype.WaitUntilIdle();
            if (PumpUi() == 0)
                return;
        }
        ADD_FAILURE() << "the program never came to rest";
    }

    void Tap(int32_t key) {
        const int scan = KeyToScan(app.g_Settings, key);
        ASSERT_GT(scan, 0) << "key " << key << " has no scan code";
        sim.hidBus.handset().Press(scan);
        sim.hidBus.handset().Release();
    }

    void AdvanceClock(uint32_t ms) {
        sim.fakeClock.Advance(ms);
        // The link window's keep-alive, every three seconds.
        if (sim.fakeClock.GetTickCount() - m_lastPing >= 3000) {
            m_lastPing = sim.fakeClock.GetTickCount();
            sim.skypeClient.FireTimer();
        }
    }

    // A client event a user or a caller causes, as the client reports it.
    // Only while the program is attached: the client tells no one else, and
    // the program learns of no call that began before it attached.
    void ClientCallEvent(std::mt19937& rng) {
        if (!sim.skypeClient.IsRunning() || !app.skype.IsAttached())
            return;
        static const char* const kPartners[] = {"alice.w", "bob", "emma.k", "zoe", "+441632960123"};
        std::uniform_int_distribution<int> pick(0, 99);
        std::vector<std::pair<std::string, std::string>> live;
        for (const auto& [id, c] : sim.skypeClient.Calls())
            if (!IsCallEndStatus(c.status))
                live.emplace_back(id, c.status);
        if (live.size() < 3 && (live.empty() || pick(rng) < 40)) {
            const std::string partner = kPartners[pick(rng) % 5];
            sim.skypeClient.IncomingCall(partner, partner[0] == '+', pick(rng) < 10);
            return;
        }
        const auto& [id, status] = live[pick(rng) % live.size()];
        // Only what can follow the call's status: answered elsewhere, given
        // up, held, resumed, ended by the far end.
        std::vector<const char*> next;
        if (IsCallSetUpStatus(status))
            next = {"INPROGRESS", "MISSED", "CANCELLED", "BUSY", "FAILED", "REFUSED"};
        else if (status == "INPROGRESS")
            next = {"ONHOLD", "FINISHED"};
        else
            next = {"INPROGRESS", "FINISHED"};
        sim.skypeClient.SetCallStatus(id, next[pick(rng) % next.size()]);
    }

    // One step of the storm, chosen by `rng`.
    void Step(std::mt19937& rng) {
        static const char* const kStatusWords[] = {"ONLINE",  "AWAY",    "NA",     "DND",
                                                   "OFFLINE", "SKYPEME", "UNKNOWN"};
        std::uniform_int_distribution<int> pick(0, 999);
        VirtualHandset& handset = sim.hidBus.handset();
        const int what = pick(rng);
        if (what < 500) {
            handset.Press(1 + pick(rng) % kKeyScanCount);
            if (pick(rng) < 200) {
                // Held: the long-press timer runs out while the read thread works.
                AdvanceClock(1200 + pick(rng) % 300);
                sim.mainWindow.Pump();
            }
            handset.Release();
        } else if (what < 560) {
            handset.HookDown();
        } else if (what < 700) {
            ClientCallEvent(rng);
        } else if (what < 740) {
            const auto contacts = sim.skypeClient.Contacts();
            if (!contacts.empty())
                sim.skypeClient.SetContactStatus(contacts[pick(rng) % contacts.size()].handle,
                                                 kStatusWords[pick(rng) % 7]);
        } else if (what < 760) {
            const auto contacts = sim.skypeClient.Contacts();
            if (!contacts.empty())
                sim.skypeClient.Notify("CONTACTS FOCUSED " +
                                       contacts[pick(rng) % contacts.size()].handle);
        } else if (what < 790) {
            sim.skypeClient.Notify(pick(rng) < 500 ? "MUTE ON" : "MUTE OFF");
        } else if (what < 800) {
            sim.skypeClient.Notify(std::string("VOICEMAIL ") + (pick(rng) < 500 ? "7" : "9") +
                                   (pick(rng) < 500 ? " STATUS PLAYING" : " STATUS PLAYED"));
        } else if (what < 810) {
            sim.skypeClient.SetOutgoingOutcome(static_cast<SimSkypeClient::Outcome>(pick(rng) % 5));
        } else if (what < 900) {
            AdvanceClock(static_cast<uint32_t>(pick(rng) * 4));
        } else if (what < 915) {
            // The handset comes and goes; one plugged in announces its start.
            if (sim.hidBus.IsPlugged()) {
                sim.hidBus.Unplug();
            } else {
                sim.hidBus.Plug();
                handset.Start();
            }
        } else if (what < 920) {
            if (sim.skypeClient.IsRunning())
                sim.skypeClient.Exit();
            else
                sim.skypeClient.Restart();
        } else if (what < 925) {
            app.HandleMessage(kMsgCommand, ID_LANGUAGE_COMMANDS[pick(rng) % 5], 0);
        } else if (what < 935) {
            app.HandleMessage(WM_UPDATE_TRAY, 0, 0);
        } else {
            // The UI thread lets the others catch up.
            CatchUp();
        }
        PumpUi();
    }

    // The keys that lead home: hook down, and in voicemail playback stop
    // and back first.
    bool LeaveToMain() {
        for (int step = 0; step < 12 && Mode() != MODE_MAIN; ++step) {
            if (Mode() == MODE_VOICEMAIL_PLAYING)
                Tap(app.skype.g_bVoiceMailFromHandset ? KEY_LEFT_FUNCTION : KEY_RIGHT_FUNCTION);
            else
                sim.hidBus.handset().HookDown();
            Settle();
        }
        return Mode() == MODE_MAIN;
    }

    // The program's contacts are the client's, with the client's statuses,
    // in display order.
    void ExpectContactsAsTheClientHasThem() {
        std::map<std::string, std::string> theirs;
        for (const auto& c : sim.skypeClient.Contacts())
            theirs[c.handle] = c.onlineStatus;
        std::vector<CContactInfo> ours;
        app.skype.m_ContactList.CopyContactList(ours);
        std::map<std::string, std::string> mine;
        for (const auto& c : ours)
            mine[c.strHandle] = kOnlineStatusWords[c.nOnlineStatus];
        EXPECT_EQ(mine, theirs);
        for (std::size_t i = 1; i < ours.size(); ++i) {
            const int a = StatusGroup(ours[i - 1].nOnlineStatus);
            const int b = StatusGroup(ours[i].nOnlineStatus);
            EXPECT_LE(a, b) << ours[i - 1].strHandle << " before " << ours[i].strHandle;
            if (a != b)
                continue;
            EXPECT_LE(sim.collator->Compare(Utf8ToUtf16(ours[i - 1].strDisplayName),
                                            Utf8ToUtf16(ours[i].strDisplayName)),
                      0)
                << ours[i - 1].strDisplayName << " before " << ours[i].strDisplayName;
        }
    }

    // Every call the program holds as current is one the client has going,
    // once, with the client's status.
    void ExpectCurrentCallsAsTheClientHasThem() {
        const auto theirs = sim.skypeClient.Calls();
        std::set<std::string> seen;
        for (const CCallObject& c : app.skype.m_CurrCallList.Snapshot()) {
            EXPECT_TRUE(seen.insert(c.szCallId).second) << "call " << c.szCallId << " twice";
            const auto it = theirs.find(c.szCallId);
            ASSERT_NE(it, theirs.end()) << "call " << c.szCallId << " unknown to the client";
            EXPECT_EQ(c.szStatus, it->second.status) << "call " << c.szCallId;
            EXPECT_FALSE(IsCallEndStatus(c.szStatus)) << "call " << c.szCallId;
        }
    }

    test::TempDir dir;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_markersSent = 0, m_markersSeen = 0;
    int m_sentinelsSent = 0, m_sentinelsSeen = 0;
    uint32_t m_lastPing = 0;
    SimPlatform sim{dir.Path()};  // the fake clock; the threads are real
    Application app{sim.MakePorts()};
};

TEST_F(ThreadStress, RandomKeysAndClientEventsLeaveAProgramTheKeysCanStillLead) {
    const int steps = EnvInt("VOCASTRA_STRESS_STEPS", kDefaultSteps);
    const auto seed = static_cast<unsigned>(EnvInt("VOCASTRA_STRESS_SEED", kDefaultSeed));
    SCOPED_TRACE("VOCASTRA_STRESS_SEED=" + std::to_string(seed) +
                 " VOCASTRA_STRESS_STEPS=" + std::to_string(steps));
    ASSERT_TRUE(app.device.keys.ThreadsRunning());
    ASSERT_EQ(Mode(), MODE_MAIN);

    std::mt19937 rng(seed);
    for (int i = 0; i < steps; ++i) {
        Step(rng);
        ASSERT_GE(Mode(), 0) << "step " << i;
        ASSERT_LT(Mode(), MODE_COUNT) << "step " << i;
        if (i % 256 == 255) {
            // What the ends record would otherwise grow without bound.
            sim.hidBus.handset().ClearTrace();
            sim.skypeClient.ClearCommands();
            sim.skypeClient.ForgetEndedCalls();
        }
    }

    // The storm is over: the handset plugged in, the client back.
    if (!sim.hidBus.IsPlugged()) {
        sim.hidBus.Plug();
        sim.hidBus.handset().Start();
    }
    if (!sim.skypeClient.IsRunning())
        sim.skypeClient.Restart();
    Settle();
    ASSERT_TRUE(app.skype.IsAttached());
    ASSERT_NE(GetModeHandlers(Mode()).Proc, nullptr) << "mode " << Mode();
    ExpectContactsAsTheClientHasThem();
    ExpectCurrentCallsAsTheClientHasThem();

    // The user can still go home, and the keys still work there.
    ASSERT_TRUE(LeaveToMain()) << "stuck in mode " << Mode();
    EXPECT_EQ(app.skype.m_CurrCallList.GetCount(), 0);
    for (const auto& [id, c] : sim.skypeClient.Calls()) {
        std::string known = "unknown to the program";
        for (const CCallObject& r : app.skype.m_CallList.Snapshot())
            if (r.szCallId == id)
                known = "the program has it " + r.szStatus;
        EXPECT_TRUE(IsCallEndStatus(c.status))
            << "call " << id << " " << c.type << " still " << c.status << "; " << known;
    }
    Tap(KEY_LEFT_FUNCTION);
    Settle();
    EXPECT_EQ(Mode(), MODE_SETTINGMENU);
    sim.hidBus.handset().HookDown();
    Settle();
    EXPECT_EQ(Mode(), MODE_MAIN);
    EXPECT_TRUE(app.device.keys.QueuedKeys().empty());
    EXPECT_EQ(app.skype.QueuedCount(), 0u);
    EXPECT_EQ(sim.hidBus.PendingInputReports(), 0u);
}

}  // namespace
}  // namespace vocastra
