// The handset's state machine: the current mode, the transition operation,
// the routing of keys and redraws to the current mode's handlers, and the
// state the modes share. Key handlers run on the key thread; Display
// handlers run under m_csDisplay on whichever thread asks for a redraw.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "modes/menu_list.h"
#include "modes/mode_links.h"
#include "platform/window_automation.h"

namespace vocastra {

class Clock;
class CVirtualDisplay;
class LanguageTexts;
struct AppFlags;
struct Settings;

// Period of the main-window timer TIMER_DISPLAY_REFRESH that redraws the
// current screen. The idle screens show nothing that changes faster than a
// minute: for them the timer falls just after the next minute of the local
// time instead, late enough to land in the new minute.
inline constexpr uint32_t kDisplayRefreshMs = 1000;
inline constexpr uint32_t kMinuteRefreshMarginMs = 50;

inline constexpr int32_t KEY_0_LONG = 0 + 100;          // KEY_0 + KEY_LONG_OFFSET
inline constexpr int32_t KEY_HOTKEY_1_LONG = 14 + 100;  // KEY_HOTKEY_1 + KEY_LONG_OFFSET

// Command buffers of the call modes: a formatted command is cut to fit.
inline constexpr std::size_t kCommandBuffer = 100;
inline constexpr std::size_t kLongCommandBuffer = 200;
inline constexpr std::size_t kNoLcdNumberSize = 100;

struct ModeState {
    std::atomic<int32_t> m_nCurMode{-1};
    std::atomic<int32_t> m_nPrevMode{-1};
    // Recursive: a Display handler may switch modes, which redraws.
    std::recursive_mutex m_csDisplay;
};

class HandsetModes {
  public:
    HandsetModes(Settings& settings, Clock& clock, CVirtualDisplay& display,
                 LanguageTexts& language, WindowAutomation& windows, AppFlags& flags,
                 ConnectionLog& log);
    HandsetModes(const HandsetModes&) = delete;
    HandsetModes& operator=(const HandsetModes&) = delete;

    // Returns the mode that was current before the call.
    int SwitchMode(int newMode);
    void RefreshDisplay();
    void DispatchKeyToMode(int32_t key);
    void KeyToneDelay();
    // The refresh timer's tick: redraws every mode but the contact list.
    void OnRefreshTimer();
    // The idle screens (main, unconnected): nothing on them changes between
    // two minutes unless an input they show does.
    static bool ShowsMinutesOnly(int mode);
    // Milliseconds until the current screen's next timed redraw: a second,
    // or for an idle screen until just after the next minute of the clock.
    uint32_t RefreshDelayMs();
    // An input the idle screens show changed: redrawn now if one is up.
    void RefreshIdleScreen();
    // The handset announced its start: its screen is empty, whatever was sent.
    void OnHandsetStarted();
    // At quit: the handset display goes blank.
    void BlankDisplay();

    int CurrentMode() const { return m_state.m_nCurMode.load(); }
    // The mode that shows the client's calls as they are now: ringing while
    // the current call rings or is being set up, talking while it is in
    // progress or held, idle without one.
    int ModeForCurrentCalls();
    int PreviousMode() const { return m_state.m_nPrevMode.load(); }
    bool DisplayEnabled() const;

    // The client's window, driven from outside.
    WindowId FindSkypeMainWindow();
    void ClearSkypeDialPad();
    void HangUpByButton(const char* tag);
    void OpenSkypeContacts();
    void ToggleSkypeFocus();
    void CloseSkypeCallForms();
    void PressBackspaceInSkype();
    // 0: no main window; 1: found and visible; 2: found and hidden.
    int SkypeWindowState();

    // Helpers for the handlers.
    // Number-entry forwarding: a digit, # or long 0 opens MODE_NUMDIAL and is
    // handed on to it. Returns false for other keys.
    bool ForwardToNumberEntry(int32_t key);
    void Send(const std::string& command, std::size_t buffer = kCommandBuffer);
    void Cmd(int cmd, int p1 = 0, int p2 = 0, int p3 = 0) { links.NewWriteCmd(cmd, p1, p2, p3); }
    std::vector<CallView> Calls() { return links.GetCurrentCalls(); }
    // Dials a typed number: as it stands after "+" or "00", else after the
    // country prefix. The command is cut to `buffer` - 1 bytes.
    void SendNumberByRule(const std::string& number, std::size_t buffer);
    std::string Text(int stringId) const;
    std::string CurrentTimeText();
    std::string CurrentDateText();
    void ClearNoLcdNumber();
    void AppendNoLcdNumber(char c);
    std::string NoLcdNumber() const { return std::string(g_NoLcdNumber.data(), g_nNoLcdNumberLen); }

    ModeLinks links;
    // Told of every transition (old mode, new mode) before the new mode's
    // entry handler runs; for the simulator's view and the traces of tests.
    std::function<void(int, int)> m_onModeChanged;
    Settings& m_settings;
    Clock& m_clock;
    CVirtualDisplay& m_display;
    LanguageTexts& m_language;
    WindowAutomation& m_windows;
    AppFlags& m_flags;

    ModeState m_state;
    // State the modes own.
    std::string m_DialNumber;  // typed in MODE_NUMDIAL; under m_state.m_csDisplay
    std::array<char, kNoLcdNumberSize> g_NoLcdNumber{};  // typed into the client's pad
    int g_nNoLcdNumberLen = 0;
    std::atomic<int> g_nContactsTab{0};
    std::atomic<bool> g_bVoiceMailDetail{false};  // the history detail shows a voicemail
    MenuList m_MenuList;                          // the menus' and history lists' model
    int m_nIncomingFrame = 0;                     // ringing animations, advanced per redraw
    int m_nOutgoingFrame = 0;
};

}  // namespace vocastra
