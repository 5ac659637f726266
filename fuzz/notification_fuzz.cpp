// Fuzz target: what the client sends, one notification per line (a NUL
// inside a line is kept: the link must cut there), through the queue,
// ParseSkypeMessage and the lists, with the stand-in client replying to the
// commands the program sends. A line "!EXIT" makes the client vanish and
// the keep-alive notice it. Nothing may crash, and the lists must stay
// consistent: every current call is in the call list, field sizes hold, and
// contacts stay in their status groups with unique handles.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "app/application.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SimPlatform* sim = new SimPlatform("/nonexistent-vocastra-fuzz/");
    sim->skypeClient.Reset();
    sim->logSink.Clear();
    Application app(sim->MakePorts());
    CSkypeMonitor& skype = app.skype;
    skype.SetManualThreads(true);
    skype.points.GetAudioOutVolume.Fill([] { return 20; });
    skype.Create();
    skype.BroadcastDiscover();
    sim->skypeClient.Deliver();

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    int steps = 0;
    for (std::size_t pos = 0; pos <= input.size() && steps < 2000;) {
        std::size_t end = input.find('\n', pos);
        if (end == std::string_view::npos)
            end = input.size();
        const std::string_view line = input.substr(pos, end - pos);
        pos = end + 1;
        if (line == "!EXIT") {
            sim->skypeClient.Exit();
            skype.OnTimer(TIMER_SKYPE_PING);
            skype.OnTimer(TIMER_SKYPE_PING);
            sim->skypeClient.Restart();
        } else {
            skype.OnCopyData(sim->skypeClient.Peer(), line);
        }
        // The client's replies come back as notifications too.
        do {
            sim->skypeClient.Deliver();
            ++steps;
        } while (skype.ProcessNotification() && steps < 2000);
        sim->mainWindow.Pump();
        if (!ListsConsistent(skype))
            __builtin_trap();
    }
    skype.Stop();
    // What the run left in the simulated world goes now, not at the start of
    // the next run: a run that keeps more than it frees looks like a leak to
    // libFuzzer, which then runs it again under the leak checker.
    sim->skypeClient.Reset();
    sim->logSink.Clear();
    return 0;
}
