// Fuzz target: what the client sends, one notification per line (a NUL
// inside a line is kept: the link must cut there), through the queue,
// ParseSkypeMessage and the lists, with the stand-in client replying to the
// commands the program sends. A line "!EXIT" makes the client vanish and
// the keep-alive notice it. Nothing may crash, and the lists must stay
// consistent: every current call is in the call list, field sizes hold, and
// contacts stay in their status groups with unique handles.
//
// The program is built once: between inputs the client quits, the
// keep-alive notices (the program forgets it), and a fresh client attaches
// again, so every input starts from the same attached state and a finding
// reproduces from its file alone. With VOCASTRA_FUZZ_DIGEST set, a digest of
// what each input made the program log and keep goes to stderr: the same
// file must give the same digest alone and after any other.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/application.h"
#include "common/digest.h"
#include "platform/sim/sim_platform.h"

namespace {

using namespace vocastra;

int Group(int status) {
    if (status == kOnlineStatusOffline)
        return 2;
    if (status == kOnlineStatusSkypeOut)
        return 1;
    return 0;
}

bool ListsConsistent(CSkypeMonitor& skype) {
    const auto calls = skype.m_CallList.Snapshot();
    std::set<std::string> ids;
    for (const auto& c : calls) {
        if (c.szCallId.size() > kCallFieldMax || c.szPartnerHandle.size() > kCallFieldMax ||
            c.szPartnerDispName.size() > kCallFieldMax || c.szConfId.size() > kCallFieldMax ||
            c.szStatus.size() > kCallFieldMax)
            return false;
        ids.insert(c.szCallId);
    }
    for (const auto& c : skype.m_CurrCallList.Snapshot())
        if (!ids.count(c.szCallId))
            return false;
    std::vector<CContactInfo> contacts;
    skype.m_ContactList.CopyContactList(contacts);
    std::set<std::string> handles;
    int lastGroup = 0;
    for (const auto& c : contacts) {
        const int g = Group(c.nOnlineStatus);
        if (g < lastGroup || !handles.insert(c.strHandle).second)
            return false;
        lastGroup = g;
    }
    return true;
}

class Harness {
  public:
    Harness() : app(sim.MakePorts()), skype(app.skype) {
        skype.SetManualThreads(true);
        skype.points.GetAudioOutVolume.Fill([] { return 20; });
        skype.Create();
        if (const char* how = std::getenv("VOCASTRA_FUZZ_DIGEST")) {
            const bool lines = std::string_view(how) == "lines";
            sim.logSink.SetObserver([this, lines](const std::string& line) {
                digest.Add(line);
                if (lines)
                    std::fprintf(stderr, "log %s\n", line.c_str());
            });
        }
        Attach();
    }

    void Run(std::string_view input) {
        digest = Digest();
        int steps = 0;
        for (std::size_t pos = 0; pos <= input.size() && steps < 2000;) {
            std::size_t end = input.find('\n', pos);
            if (end == std::string_view::npos)
                end = input.size();
            const std::string_view line = input.substr(pos, end - pos);
            pos = end + 1;
            if (line == "!EXIT") {
                sim.skypeClient.Exit();
                skype.OnTimer(TIMER_SKYPE_PING);
                skype.OnTimer(TIMER_SKYPE_PING);
                sim.skypeClient.Restart();
            } else {
                skype.OnCopyData(sim.skypeClient.Peer(), line);
            }
            Settle(steps);
            if (!ListsConsistent(skype))
                __builtin_trap();
        }
        if (std::getenv("VOCASTRA_FUZZ_DIGEST")) {
            for (const auto& c : skype.m_CallList.Snapshot())
                digest.Add(c.szCallId + ' ' + c.szStatus + ' ' + c.szPartnerHandle);
            std::vector<CContactInfo> contacts;
            skype.m_ContactList.CopyContactList(contacts);
            for (const auto& c : contacts)
                digest.Add(c.strHandle + ' ' + std::to_string(c.nOnlineStatus));
            digest.Add(std::to_string(app.modes.CurrentMode()));
            std::fprintf(stderr, "digest %016llx\n", static_cast<unsigned long long>(digest.h));
        }
        Reset();
    }

  private:
    // The client's replies come back as notifications too.
    void Settle(int& steps) {
        do {
            sim.skypeClient.Deliver();
            ++steps;
        } while (skype.ProcessNotification() && steps < 2000);
        sim.mainWindow.Pump();
    }

    void Attach() {
        skype.BroadcastDiscover();
        int steps = 0;
        Settle(steps);
    }

    void Reset() {
        // The client quits and the keep-alive finds it gone: the program
        // forgets it as it does in use.
        sim.skypeClient.Exit();
        skype.OnTimer(TIMER_SKYPE_PING);
        // A freshly started client, known to the link window as at its creation.
        sim.skypeClient.Reset();
        sim.skypeClient.Create(skype);
        sim.fakeClock.SetTick(0);
        Attach();
        sim.logSink.Clear();
    }

  public:
    SimPlatform sim{"/nonexistent-vocastra-fuzz/"};
    Application app;
    CSkypeMonitor& skype;
    Digest digest;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Harness* harness = new Harness();
    harness->Run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
