#include "session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "app/messages.h"
#include "app/text_util.h"
#include "audio/check_vista_os.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/sim/sim_handset_pump.h"
#include "platform/skype_wire.h"

namespace vocastra::sim {
namespace {

constexpr uint32_t kPingPeriodMs = 3000;
const std::string kPagePrefix = "HANDSET <- PAGE ";

struct SettingField {
    const char* name;
    std::atomic<int32_t> Settings::*field;
};
constexpr SettingField kSettings[] = {
    {"VAL_ENABLE_KEYTONE", &Settings::VAL_ENABLE_KEYTONE},
    {"VAL_ENABLE_LCM", &Settings::VAL_ENABLE_LCM},
    {"VAL_AUDIO_OUT_VOLUME", &Settings::VAL_AUDIO_OUT_VOLUME},
    {"VAL_AUDIO_IN_VOLUME", &Settings::VAL_AUDIO_IN_VOLUME},
    {"VAL_LCM_CONTRAST", &Settings::VAL_LCM_CONTRAST},
    {"VAL_RINGTONE_VOLUME", &Settings::VAL_RINGTONE_VOLUME},
    {"VAL_LANGUAGE", &Settings::VAL_LANGUAGE},
};

}  // namespace

std::string ModeName(int mode) {
    static const char* kNames[] = {"MAIN",
                                   "CONTACTLIST",
                                   "RINGING",
                                   "TALKING",
                                   "NUMDIAL",
                                   "SETTINGMENU",
                                   "HISTORYMENU",
                                   "HISTORY_INCOMING",
                                   "HISTORY_OUTGOING",
                                   "HISTORY_MISSEDCALL",
                                   "HISTORY_VMAIL",
                                   "CONTACTDETAIL",
                                   "HISTORYDETAIL",
                                   "RESERVED",
                                   "VOLUMESETTING",
                                   "CONFERENCE",
                                   "UNCONNECTED",
                                   "BALANCE",
                                   "VOICEMAIL_PLAYING",
                                   "VOICEMAIL_PLAYEND",
                                   "SYSCONFIRM"};
    if (mode >= 0 && mode < MODE_COUNT)
        return kNames[mode];
    return "NONE";
}

Session::Session(const std::string& programDir) : m_sim(programDir), m_app(m_sim.MakePorts()) {
    // One thread runs everything, in a repeatable order.
    m_app.device.SetThreadsEnabled(false);
    m_app.skype.SetManualThreads(true);
    m_app.dialler.SetManualThreads(true);
    m_sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
        return m_app.HandleMessage(m, w, l) ? 1 : 0;
    });
    m_sim.hidBus.handset().SetTraceSink([this](const std::string& line) {
        // The flasher's own toggles would bury everything else, unless asked for.
        if (!m_inFlasher || m_ledTrace)
            Trace(line);
    });
    m_sim.logSink.SetObserver([this](const std::string& line) {
        if (!m_logTrace)
            return;
        std::string l = line;
        while (!l.empty() && (l.back() == '\n' || l.back() == '\r'))
            l.pop_back();
        Trace("LOG " + l);
    });
    m_sim.windows.SetObserver([this](const std::string& line) { Trace("WINDOW <- " + line); });
    m_sim.skypeClient.SetCommandObserver([this](const std::string& c) { Trace("CLIENT <- " + c); });
    m_sim.skypeClient.SetDeliveryObserver(
        [this](const std::string& t) { Trace("CLIENT -> " + t); });
    m_app.modes.m_onModeChanged = [this](int from, int to) {
        Trace("MODE " + std::to_string(from) + " -> " + std::to_string(to) + " (" + ModeName(from) +
              " -> " + ModeName(to) + ")");
    };
    m_sim.skypeClient.LoadDefaultSession();
    m_sim.skypeClient.LoadDefaultHistory();
    // A computer's own sound card, and the handset's: the program finds
    // the handset's by its name.
    m_sim.sound.AddCard(MakeStereoSoundCard("High Definition Audio"));
    m_sim.sound.AddCard(MakeHandsetSoundCard(kEarpieceCard));
    m_tones.AddFolder(programDir);
    m_sim.skypeClient.AttachDesktop(&m_sim.windows);
}

Session::~Session() {
    m_sim.hidBus.handset().SetTraceSink(nullptr);
    m_sim.logSink.SetObserver(nullptr);
    m_sim.windows.SetObserver(nullptr);
    m_sim.skypeClient.AttachDesktop(nullptr);
    m_sim.skypeClient.SetCommandObserver(nullptr);
    m_sim.skypeClient.SetDeliveryObserver(nullptr);
    m_app.modes.m_onModeChanged = nullptr;
}

void Session::Trace(std::string line) {
    // Display writes arrive page by page; shown as the display lines they
    // complete, consecutive lines on one trace line.
    if (line.rfind(kPagePrefix, 0) == 0) {
        const int page = std::atoi(line.c_str() + kPagePrefix.size());
        if (page % 2 == 0) {
            m_pendingPage = page;
            return;
        }
        if (m_pendingPage == page - 1) {
            m_pendingPage = -1;
            m_pendingLines.push_back(page / 2);
            return;
        }
    }
    FlushDisplayLines();
    Emit(std::move(line));
}

void Session::FlushDisplayLines() {
    if (m_pendingPage >= 0)
        Emit(kPagePrefix + std::to_string(std::exchange(m_pendingPage, -1)));
    if (m_pendingLines.empty())
        return;
    std::string l = m_pendingLines.size() == 1 ? "HANDSET <- LINE" : "HANDSET <- LINES";
    for (int n : m_pendingLines)
        l += " " + std::to_string(n);
    m_pendingLines.clear();
    Emit(std::move(l));
}

void Session::Emit(std::string line) {
    if (m_observer)
        m_observer(line);
    m_trace.push_back(std::move(line));
}

std::vector<std::string> Session::TakeTrace() {
    FlushDisplayLines();
    std::vector<std::string> t;
    t.swap(m_trace);
    return t;
}

void Session::Start() {
    m_sim.hidBus.Plug();
    m_plugged = true;
    m_app.PrepareInstance();
    m_app.dlg.OnInitDialog();
    m_nextPing = Now() + kPingPeriodMs;
    Settle();
    m_sim.hidBus.handset().Start();
    Settle();
}

int Session::Settle() {
    int total = 0;
    for (int round = 0; round < 10000; ++round) {
        int done = PumpHandset(m_app, m_sim);
        done += m_sim.sound.Pump();
        done += m_sim.skypeClient.Deliver();
        while (m_app.skype.ProcessNotification())
            ++done;
        NoteFlashChanges();
        if (done == 0)
            break;
        total += done;
    }
    FlushDisplayLines();
    return total;
}

void Session::NoteFlashChanges() {
    const int period = LedFlashPeriod();
    if (period == m_lastFlashPeriod)
        return;
    m_lastFlashPeriod = period;
    Trace(period > 0 ? "LED flashing " + std::to_string(period) + " ms" : "LED flashing stopped");
    // The first toggle is due at once.
    m_inFlasher = true;
    m_app.device.flasher.PollFlasher(Now());
    m_inFlasher = false;
}

void Session::AdvanceTo(uint32_t target) {
    Settle();
    while (static_cast<int32_t>(target - Now()) > 0) {
        const uint32_t now = Now();
        uint32_t step = target - now;
        step = std::min(step, m_sim.mainWindow.MsUntilNextTimer());
        m_inFlasher = true;
        step = std::min(step, m_app.device.flasher.PollFlasher(now));
        m_inFlasher = false;
        if (m_app.skype.Exists())
            step = std::min<uint32_t>(step, static_cast<uint32_t>(std::max<int32_t>(
                                                0, static_cast<int32_t>(m_nextPing - now))));
        step = std::min(step, m_sim.skypeClient.MsUntilNextDuration());
        step = std::min(step, m_sim.sound.MsUntilNextDone());
        step = std::min(step, m_app.dialler.PollWatchers(now));
        m_sim.fakeClock.Advance(std::max<uint32_t>(step, 1));
        if (m_app.skype.Exists() && static_cast<int32_t>(Now() - m_nextPing) >= 0) {
            m_nextPing = Now() + kPingPeriodMs;
            m_sim.skypeClient.FireTimer();
        }
        m_inFlasher = true;
        m_app.device.flasher.PollFlasher(Now());
        m_inFlasher = false;
        m_app.dialler.PollWatchers(Now());
        Settle();
    }
}

void Session::Advance(uint32_t ms) {
    AdvanceTo(Now() + ms);
}

std::string Session::MixerLine() {
    AudioMixers& mx = m_app.audio.mixers;
    int in = 0;
    if (CheckIsVistaOs(m_sim.osVersion) == 1) {
        in = GetVistaVolume(m_app.audio.ctx, mx.g_AudioInMixer.m_pEndpointVolume);
    } else if (const auto v = mx.g_AudioInMixer.ReadFirstValue()) {
        in = static_cast<int>(std::clamp<int64_t>((31 * int64_t(*v) + 32767) / 65535, 0, 31));
    }
    const auto onOff = [](uint32_t v) { return v ? "on" : "off"; };
    char gain[32];
    std::snprintf(gain, sizeof gain, "%.3f", m_sim.sound.Gain(kEarpieceCard));
    return "MIXER playback " + std::to_string(mx.GetAudioOutVolume()) + " mute " +
           onOff(mx.g_AudioOutMute.GetSwitchValue()) + ", recording " + std::to_string(in) +
           " mute " + onOff(mx.g_AudioInMute.GetSwitchValue()) + ", earpiece gain " + gain;
}

std::string Session::PlayingTone() {
    const uint32_t now = Now();
    std::string out;
    for (const SimPlayback& p : m_sim.sound.Playbacks()) {
        if (p.deviceName != kEarpieceCard || p.startTick > now || p.endTick <= now)
            continue;
        out = m_tones.NameOf(p) + (p.looped ? " (looped)" : "");
    }
    return out;
}

std::string Session::EarpieceWave(uint32_t from) {
    return RenderEarpiece(m_sim.sound.Playbacks(), m_sim.sound.LevelChanges(), kEarpieceCard, from,
                          Now());
}

int Session::ScanCodeOf(int keyCode) const {
    const Settings& s = m_app.g_Settings;
    for (int i = 0; i < kKeyScanCount; ++i)
        if (s.VAL_KEYSCAN[i] == keyCode)
            return i + 1;
    return -1;
}

void Session::KeyDown(int keyCode) {
    const int scan = ScanCodeOf(keyCode);
    if (scan < 0) {
        Trace("(no scan code gives key " + std::to_string(keyCode) + ")");
        return;
    }
    m_sim.hidBus.handset().Press(scan);
    Settle();
}

void Session::KeyUp() {
    m_sim.hidBus.handset().Release();
    Settle();
}

void Session::PressKey(int keyCode, uint32_t holdMs) {
    KeyDown(keyCode);
    Advance(holdMs);
    KeyUp();
}

void Session::Plug() {
    if (m_plugged)
        return;
    m_sim.hidBus.Plug();
    m_plugged = true;
    Settle();
    // A freshly powered handset announces itself.
    m_sim.hidBus.handset().Start();
    Settle();
}

void Session::Unplug() {
    if (!m_plugged)
        return;
    m_sim.hidBus.Unplug();
    m_plugged = false;
    Settle();
}

void Session::ClientNotify(const std::string& text) {
    m_sim.skypeClient.Notify(text);
    Settle();
}

std::string Session::ClientRing(bool pstn, const std::string& who, bool cancelledAtOnce) {
    const std::string id = m_sim.skypeClient.IncomingCall(who, pstn, cancelledAtOnce);
    Settle();
    return id;
}

std::string Session::FindCall(const std::vector<std::string>& statuses, bool outgoing) const {
    for (const auto& [id, c] : m_sim.skypeClient.Calls()) {
        const bool isOut = c.type.rfind("OUTGOING", 0) == 0;
        if (isOut == outgoing &&
            std::find(statuses.begin(), statuses.end(), c.status) != statuses.end())
            return id;
    }
    return {};
}

bool Session::ClientAnswer() {
    const std::string id = FindCall({"RINGING", "ROUTING"}, true);
    if (id.empty()) {
        Trace("(no outgoing call is ringing)");
        return false;
    }
    m_sim.skypeClient.SetCallStatus(id, "INPROGRESS");
    Settle();
    return true;
}

bool Session::ClientHangUp() {
    std::string id = FindCall({"INPROGRESS", "ONHOLD", "LOCALHOLD", "REMOTEHOLD"}, false);
    if (id.empty())
        id = FindCall({"INPROGRESS", "ONHOLD", "LOCALHOLD", "REMOTEHOLD", "RINGING", "ROUTING"},
                      true);
    if (!id.empty()) {
        m_sim.skypeClient.SetCallStatus(id, "FINISHED");
        Settle();
        return true;
    }
    // A caller who gives up before the call is answered leaves a missed call.
    id = FindCall({"RINGING"}, false);
    if (id.empty()) {
        Trace("(no call to hang up)");
        return false;
    }
    m_sim.skypeClient.SetCallStatus(id, "MISSED");
    Settle();
    return true;
}

bool Session::ClientBusy() {
    const std::string id = FindCall({"RINGING", "ROUTING"}, true);
    if (id.empty()) {
        Trace("(no outgoing call is ringing)");
        return false;
    }
    // The client ends a busy call with BUSY alone.
    m_sim.skypeClient.SetCallStatus(id, "BUSY");
    Settle();
    return true;
}

bool Session::ClientGiveUp() {
    const std::string id = FindCall({"RINGING"}, false);
    if (id.empty()) {
        Trace("(no incoming call is ringing)");
        return false;
    }
    m_sim.skypeClient.SetCallStatus(id, "MISSED");
    Settle();
    return true;
}

void Session::ClientCountryPopup(bool on) {
    m_sim.skypeClient.SetCountryPopup(on);
}

void Session::ClientSignInDisplayNames(bool on) {
    m_sim.skypeClient.SetSignInDisplayNames(on);
}

bool Session::ClientRefuse() {
    const std::string id = FindCall({"RINGING", "ROUTING"}, true);
    if (id.empty()) {
        Trace("(no outgoing call is ringing)");
        return false;
    }
    m_sim.skypeClient.SetCallStatus(id, "REFUSED");
    Settle();
    return true;
}

void Session::ClientExit() {
    m_sim.skypeClient.Exit();
    Trace("CLIENT exits");
    Settle();
}

void Session::ClientReturn() {
    m_sim.skypeClient.Restart();
    Trace("CLIENT comes back");
    Settle();
}

bool Session::ClientSetStatus(const std::string& handle, const std::string& status) {
    for (const auto& c : m_sim.skypeClient.Contacts()) {
        if (c.handle == handle) {
            m_sim.skypeClient.SetContactStatus(handle, status);
            Settle();
            return true;
        }
    }
    Trace("(no contact " + handle + ")");
    return false;
}

bool Session::SetSetting(const std::string& name, const std::string& value) {
    char* end = nullptr;
    const long v = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0')
        return false;
    for (const auto& s : kSettings) {
        if (name == s.name) {
            (m_app.g_Settings.*s.field) = static_cast<int32_t>(v);
            m_app.modes.RefreshDisplay();
            Settle();
            return true;
        }
    }
    return false;
}

bool Session::ShowSetting(const std::string& name) {
    const Settings& st = m_app.g_Settings;
    const std::string key = ToLowerAscii(name);
    struct IntField {
        const char* name;
        const std::atomic<int32_t> Settings::*field;
    };
    static constexpr IntField kInts[] = {
        {"VAL_AUTORUN_API", &Settings::VAL_AUTORUN_API},
        {"VAL_ENABLE_KEYTONE", &Settings::VAL_ENABLE_KEYTONE},
        {"VAL_ENABLE_LCM", &Settings::VAL_ENABLE_LCM},
        {"VAL_AUDIO_OUT_VOLUME", &Settings::VAL_AUDIO_OUT_VOLUME},
        {"VAL_AUDIO_IN_VOLUME", &Settings::VAL_AUDIO_IN_VOLUME},
        {"VAL_AUDIO_OUT_MUTE", &Settings::VAL_AUDIO_OUT_MUTE},
        {"VAL_AUDIO_IN_MUTE", &Settings::VAL_AUDIO_IN_MUTE},
        {"VAL_LCM_CONTRAST", &Settings::VAL_LCM_CONTRAST},
        {"VAL_RingTone_Select", &Settings::VAL_RingTone_Select},
        {"VAL_RINGTONE_VOLUME", &Settings::VAL_RINGTONE_VOLUME},
        {"VAL_LANGUAGE", &Settings::VAL_LANGUAGE},
    };
    std::string shown, value;
    for (const auto& f : kInts)
        if (key == ToLowerAscii(f.name)) {
            shown = f.name;
            value = std::to_string((st.*f.field).load());
        }
    if (key == "val_ringtone") {
        shown = "VAL_RINGTONE";
        value = st.VAL_RINGTONE;
    } else if (key == "val_customringtone") {
        shown = "Val_CustomRingTone";
        value = st.Val_CustomRingTone;
    } else if (key == "val_contrast") {
        shown = "VAL_CONTRAST";
        for (int level = 0; level < kContrastLevels; ++level)
            value += StrPrintf("%s%d %d %d", level ? ", " : "", st.VAL_CONTRAST[level][0],
                               st.VAL_CONTRAST[level][1], st.VAL_CONTRAST[level][2]);
    } else if (key == "val_keyscan") {
        shown = "VAL_KEYSCAN";
        for (int i = 0; i < kKeyScanCount; ++i)
            value += (i ? " " : "") + std::to_string(st.VAL_KEYSCAN[i]);
    } else if (key == "val_handset_vid" || key == "val_handset_pid") {
        const bool vid = key == "val_handset_vid";
        shown = vid ? "VAL_HANDSET_VID" : "VAL_HANDSET_PID";
        value = StrPrintf("0x%04x", static_cast<unsigned>(
                                        (vid ? st.VAL_HANDSET_VID : st.VAL_HANDSET_PID).load()));
    }
    if (shown.empty()) {
        Trace("(no setting " + name + ")");
        return false;
    }
    Trace("SETTING " + shown + " = " + value);
    return true;
}

void Session::TraceContacts() {
    std::vector<CContactInfo> contacts;
    m_app.skype.m_ContactList.CopyContactList(contacts);
    if (contacts.empty())
        Trace("(no contacts)");
    constexpr int kWords = static_cast<int>(std::size(kOnlineStatusWords));
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        const CContactInfo& c = contacts[i];
        const int st = c.nOnlineStatus;
        Trace("CONTACT " + std::to_string(i + 1) + " " + c.strHandle + " [" +
              (st >= 0 && st < kWords ? kOnlineStatusWords[st] : std::to_string(st)) + "] " +
              c.strDisplayName);
    }
}

std::string Session::DisplayArt() const {
    // Quadrant blocks: bit 1 top-left, 2 top-right, 4 bottom-left, 8 bottom-right.
    static const char* kQuad[16] = {" ", "▘", "▝", "▀", "▖", "▌", "▞", "▛",
                                    "▗", "▚", "▐", "▜", "▄", "▙", "▟", "█"};
    const VirtualHandset& h = const_cast<SimPlatform&>(m_sim).hidBus.handset();
    std::string out;
    for (int y = 0; y < VirtualHandset::kHeight; y += 2) {
        for (int x = 0; x < VirtualHandset::kWidth; x += 2) {
            const int q = (h.Pixel(x, y) ? 1 : 0) | (h.Pixel(x + 1, y) ? 2 : 0) |
                          (h.Pixel(x, y + 1) ? 4 : 0) | (h.Pixel(x + 1, y + 1) ? 8 : 0);
            out += kQuad[q];
        }
        out += '\n';
    }
    return out;
}

std::string Session::DisplayArtBraille() const {
    const VirtualHandset& h = const_cast<SimPlatform&>(m_sim).hidBus.handset();
    // Dot bits of a braille cell, by row (0..3) and column (0..1).
    static const int kDot[4][2] = {{0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}};
    std::string out;
    for (int y = 0; y < VirtualHandset::kHeight; y += 4) {
        for (int x = 0; x < VirtualHandset::kWidth; x += 2) {
            int bits = 0;
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 2; ++c)
                    if (h.Pixel(x + c, y + r))
                        bits |= kDot[r][c];
            const char32_t cp = 0x2800 + bits;
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
        out += '\n';
    }
    return out;
}

bool Session::LedOn() const {
    return const_cast<SimPlatform&>(m_sim).hidBus.handset().LedOn();
}

int Session::LedFlashPeriod() const {
    return m_app.device.commands.FlashPeriod();
}

}  // namespace vocastra::sim
