#include "modes/handset_modes.h"

#include <algorithm>
#include <cstring>

#include "app/log.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "app/vocastra_dlg.h"
#include "device/key_codes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "platform/clock.h"
#include "settings_ui/language_text.h"

namespace vocastra {

HandsetModes::HandsetModes(Settings& settings, Clock& clock, CVirtualDisplay& display,
                           LanguageTexts& language, WindowAutomation& windows, AppFlags& flags,
                           ConnectionLog& log)
    : links({log, "modes.links"}),
      m_settings(settings),
      m_clock(clock),
      m_display(display),
      m_language(language),
      m_windows(windows),
      m_flags(flags) {}

bool HandsetModes::DisplayEnabled() const {
    return m_settings.VAL_ENABLE_LCM.load() != 0;
}

int HandsetModes::SwitchMode(int newMode) {
    LogPrintA("SwitchMode:%d", newMode);
    if (newMode == MODE_MAIN && !DisplayEnabled())
        ClearNoLcdNumber();
    const int cur = m_state.m_nCurMode.load();
    if (newMode == cur)
        return cur;
    if (newMode < 0 || newMode >= MODE_COUNT)
        return cur;  // not a mode: stay
    if (cur == -1) {
        m_state.m_nCurMode = newMode;
        m_state.m_nPrevMode = -1;
    } else {
        m_state.m_nPrevMode = cur;
        if (auto exit = GetModeHandlers(cur).Exit)
            exit(*this);
        m_state.m_nCurMode = newMode;
    }
    if (m_onModeChanged)
        m_onModeChanged(cur, newMode);
    if (auto init = GetModeHandlers(newMode).Init)
        init(*this);
    RefreshDisplay();
    // The refresh moves between a second and a minute. Its timer belongs to
    // the UI thread and this may be another: that thread re-arms it.
    if (ShowsMinutesOnly(cur) != ShowsMinutesOnly(newMode))
        links.RefreshTimingChanged();
    return m_state.m_nPrevMode.load();
}

void HandsetModes::RefreshDisplay() {
    std::lock_guard lock(m_state.m_csDisplay);
    const int mode = m_state.m_nCurMode.load();
    if (mode < 0 || mode >= MODE_COUNT)
        return;
    if (auto display = GetModeHandlers(mode).Display) {
        display(*this);
        // Every line goes out after a redraw; unchanged ones cost nothing.
        if (DisplayEnabled())
            m_display.FlushAllLines();
    }
}

void HandsetModes::DispatchKeyToMode(int32_t key) {
    const int mode = m_state.m_nCurMode.load();
    if (mode < 0 || mode >= MODE_COUNT)
        return;
    if (auto proc = GetModeHandlers(mode).Proc)
        proc(*this, key);
}

int HandsetModes::ModeForCurrentCalls() {
    std::vector<CallView> calls = Calls();
    // A call whose end is being handled right now is no longer one to show.
    std::erase_if(calls, [](const CallView& c) { return IsCallEndStatus(c.szStatus); });
    if (calls.empty())
        return MODE_MAIN;
    return IsCallSetUpStatus(calls.back().szStatus) ? MODE_RINGING : MODE_TALKING;
}

void HandsetModes::KeyToneDelay() {
    if (m_settings.VAL_ENABLE_KEYTONE.load() != 1)
        return;
    LogRaw("Start delay 500ms for key tone playing...");
    m_clock.Sleep(500);
}

void HandsetModes::OnRefreshTimer() {
    if (m_state.m_nCurMode.load() != MODE_CONTACTLIST)
        RefreshDisplay();
}

bool HandsetModes::ShowsMinutesOnly(int mode) {
    return mode == MODE_MAIN || mode == MODE_UNCONNECTED;
}

uint32_t HandsetModes::RefreshDelayMs() {
    if (!ShowsMinutesOnly(m_state.m_nCurMode.load()))
        return kDisplayRefreshMs;
    // The clock gives whole seconds: counted from the start of this one, the
    // redraw can come late by up to a second but never before the minute.
    const int second = std::clamp(m_clock.GetLocalTime().second, 0, 59);
    return static_cast<uint32_t>(60 - second) * 1000 + kMinuteRefreshMarginMs;
}

void HandsetModes::RefreshIdleScreen() {
    if (ShowsMinutesOnly(m_state.m_nCurMode.load()))
        RefreshDisplay();
}

void HandsetModes::OnHandsetStarted() {
    std::lock_guard lock(m_state.m_csDisplay);
    m_display.InvalidateLineCache();
}

void HandsetModes::BlankDisplay() {
    std::lock_guard lock(m_state.m_csDisplay);
    m_display.Blank();
}

bool HandsetModes::ForwardToNumberEntry(int32_t key) {
    if (!((key >= KEY_0 && key <= KEY_9) || key == KEY_SHARP || key == KEY_0_LONG))
        return false;
    SwitchMode(MODE_NUMDIAL);
    DispatchKeyToMode(key);
    return true;
}

void HandsetModes::Send(const std::string& command, std::size_t buffer) {
    // The command buffers hold buffer - 1 bytes of text; cut, never overrun.
    links.SendMessageToSkype(CutBytesUtf8(command, buffer - 1));
}

void HandsetModes::SendNumberByRule(const std::string& number, std::size_t buffer) {
    const bool asItStands = (!number.empty() && number[0] == '+') ||
                            (number.size() >= 2 && number.compare(0, 2, "00") == 0);
    Send(asItStands ? "CALL " + number : "CALL " + links.GetCountryPrefix() + number, buffer);
}

std::string HandsetModes::Text(int stringId) const {
    return m_language.DisplayText(stringId);
}

std::string HandsetModes::CurrentTimeText() {
    const LocalTime t = m_clock.GetLocalTime();
    return StrPrintf("%02d:%02d", t.hour, t.minute);
}

std::string HandsetModes::CurrentDateText() {
    const LocalTime t = m_clock.GetLocalTime();
    return StrPrintf("%04d/%02d/%02d", t.year, t.month, t.day);
}

void HandsetModes::ClearNoLcdNumber() {
    g_nNoLcdNumberLen = 0;
    g_NoLcdNumber.fill(0);
}

void HandsetModes::AppendNoLcdNumber(char c) {
    // 99 characters and the terminator: further characters still reach the
    // client's dial pad but are no longer remembered.
    if (g_nNoLcdNumberLen >= int(kNoLcdNumberSize) - 1)
        return;
    g_NoLcdNumber[g_nNoLcdNumberLen++] = c;
}

}  // namespace vocastra
