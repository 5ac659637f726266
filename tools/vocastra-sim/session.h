// One simulated telephone: the program's real core on the simulated
// platform, with a virtual handset and a stand-in client, run on one thread
// on the fake clock so that a run is exactly repeatable. The interactive
// front end, the script mode and the demo all drive it.
//
// Everything that crosses an edge is traced as one line:
//   HANDSET <- CMD_LED_ON        a report the program wrote to the handset
//   HANDSET -> SCAN 5            a report the handset sent
//   HANDSET <- LINES 0 1         display lines written to the handset
//   CLIENT <- SET CALL 12 ...    a command the client received
//   CLIENT -> CALL 12 STATUS ... a notification the client sent
//   MODE 0 -> 2 (MAIN -> RINGING) a mode switch
//   LED flashing 100 ms / LED flashing stopped
//   WINDOW <- POST ...            a message or key sent to the client's windows
//   LOG ...                       a program log line (SetLogTrace)
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/application.h"
#include "earpiece.h"
#include "platform/sim/sim_platform.h"

namespace vocastra::sim {

std::string ModeName(int mode);

// The handset's sound card: its playback device is the earpiece.
inline constexpr const char* kEarpieceCard = "USB PHONE";

class Session {
  public:
    // `programDir` holds the data files (Language\, CountryCode.ini) and
    // receives Vocastra.ini; it ends with a separator.
    explicit Session(const std::string& programDir);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Boots the program with the handset plugged in and the client signed
    // in, and lets the handset announce itself.
    void Start();
    // Sets the wall clock shown at the current tick.
    void SetLocalTime(const LocalTime& t) { m_sim.fakeClock.SetLocalTime(t); }

    // Runs everything that is ready now: reports, messages, keys,
    // notifications. Returns how much was done.
    int Settle();
    // Moves the clock on by `ms`, running every timer, LED toggle and
    // keep-alive when it falls due.
    void Advance(uint32_t ms);
    // Moves the clock on to `tick` (never back).
    void AdvanceTo(uint32_t tick);

    // The handset.
    void KeyDown(int keyCode);
    void KeyUp();
    void PressKey(int keyCode, uint32_t holdMs = 100);
    void Plug();
    void Unplug();
    bool Plugged() const { return m_plugged; }

    // The client's side. Each returns false (and traces why) when the action
    // has nothing to act on.
    void ClientNotify(const std::string& text);
    // `cancelledAtOnce`: the caller hangs up at once (CANCELLED after RINGING).
    std::string ClientRing(bool pstn, const std::string& who, bool cancelledAtOnce = false);
    bool ClientAnswer();  // the ringing call is answered by the far end
    bool ClientHangUp();  // the far end ends the call in progress
    bool ClientBusy();
    bool ClientGiveUp();  // the caller of the ringing call gives up: a missed call
    // Whether the client's next sign-in names the contacts' display names.
    // The client shows its country popup before it takes a "+" number.
    void ClientCountryPopup(bool on);
    void ClientSignInDisplayNames(bool on);
    bool ClientRefuse();
    void ClientExit();
    void ClientReturn();
    bool ClientSetStatus(const std::string& handle, const std::string& status);

    // Changes a setting in memory, as the settings pages would. False for an
    // unknown name or a value that is not a number.
    bool SetSetting(const std::string& name, const std::string& value);

    // Looking inside. Each traces its findings.
    void SetLogTrace(bool on) { m_logTrace = on; }
    // On: the flasher's own LED writes are traced too.
    void SetLedTrace(bool on) { m_ledTrace = on; }
    // "SETTING NAME = value"; false (and "(no setting NAME)") for an unknown name.
    bool ShowSetting(const std::string& name);
    // "CONTACT n HANDLE [STATUS] NAME" for each, in the program's display order.
    void TraceContacts();
    // "MIXER playback N mute on|off, recording N mute on|off, earpiece gain
    // G": the levels 0..31 as the program reads them back, the mute
    // switches, and what the earpiece hears of full scale.
    std::string MixerLine();
    // The tone the earpiece plays now ("RingTone/Bell.wav (looped)"), empty
    // when it is silent.
    std::string PlayingTone();
    // The earpiece's stream from tick `from` until now, as a wave file.
    std::string EarpieceWave(uint32_t from);

    // The handset display as the handset shows it (from the pages it
    // received), four pixels per character: 16 lines of 64 characters.
    std::string DisplayArt() const;
    // The same in braille dots, eight pixels per character: 16 lines of 64.
    std::string DisplayArtBraille() const;
    std::vector<std::string> TakeTrace();
    void SetTraceObserver(std::function<void(const std::string&)> fn) {
        m_observer = std::move(fn);
    }
    void Trace(std::string line);

    bool Ended() const { return m_sim.mainWindow.Terminated(); }
    SimPlatform& sim() { return m_sim; }
    Application& app() { return m_app; }
    uint32_t Now() { return m_sim.fakeClock.GetTickCount(); }
    bool LedOn() const;
    int LedFlashPeriod() const;

  private:
    int ScanCodeOf(int keyCode) const;
    std::string FindCall(const std::vector<std::string>& statuses, bool outgoing) const;
    void NoteFlashChanges();
    void FlushDisplayLines();
    void Emit(std::string line);

    SimPlatform m_sim;
    Application m_app;
    ToneNames m_tones;
    std::vector<std::string> m_trace;
    std::function<void(const std::string&)> m_observer;
    bool m_inFlasher = false;
    bool m_logTrace = false;
    bool m_ledTrace = false;
    int m_pendingPage = -1;           // an even page written, its odd partner not yet
    std::vector<int> m_pendingLines;  // display lines written since the last other line
    bool m_plugged = false;
    int m_lastFlashPeriod = 0;
    uint32_t m_nextPing = 0;
};

}  // namespace vocastra::sim
