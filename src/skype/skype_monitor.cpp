#include "skype/skype_monitor.h"

#include "app/log.h"
#include "app/messages.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "app/vocastra_dlg.h"
#include "modes/mode_ids.h"
#include "platform/clock.h"
#include "platform/main_window.h"
#include "skype/skype_words.h"

namespace vocastra {

SkypePoints::SkypePoints(const ConnectionOwner& log)
    : SwitchMode(log, "SwitchMode"),
      RefreshDisplay(log, "RefreshDisplay"),
      GetCurrentMode(log, "GetCurrentMode"),
      OpenSkypeContacts(log, "OpenSkypeContacts"),
      IsMenuListEmpty(log, "IsMenuListEmpty"),
      NewWriteCmd(log, "NewWriteCmd"),
      IsWriteHandleValid(log, "IsWriteHandleValid"),
      SetLedFlashPeriod(log, "SetLedFlashPeriod"),
      SetFaderValue(log, "SetFaderValue"),
      GetAudioOutVolume(log, "GetAudioOutVolume"),
      SetSkypeAudioDevices(log, "SetSkypeAudioDevices"),
      GetSkypeConfigPath(log, "GetSkypeConfigPath"),
      EditSkypeConfig(log, "EditSkypeConfig"),
      GetSkypeDataPath(log, "GetSkypeDataPath"),
      SetSkypeRingTone(log, "SetSkypeRingTone"),
      DialCall(log, "DialCall"),
      GetPopupMessage(log, "GetPopupMessage"),
      ShowWarningBox(log, "ShowWarningBox") {}

CSkypeMonitor::CSkypeMonitor(const Deps& d)
    : points({d.log, "skype.points"}),
      m_ContactList(d.collator),
      m_wire(d.wire),
      m_mainWindow(d.mainWindow),
      m_clock(d.clock),
      m_profile(d.profile),
      m_settings(d.settings),
      m_flags(d.flags) {}

CSkypeMonitor::~CSkypeMonitor() {
    Stop();
    if (m_bCreated)
        m_wire.Destroy();
}

bool CSkypeMonitor::Create() {
    if (m_bCreated)
        return true;
    if (!m_wire.Create(*this))
        return false;
    m_bCreated = true;
    if (!m_bManualThreads && m_bReceiveThread)
        m_receiveThread = std::thread([this] { ReceiveThreadProc(); });
    return true;
}

void CSkypeMonitor::Stop() {
    {
        std::lock_guard lock(m_csQueue);
        m_bStop = 1;
    }
    m_queueCv.notify_all();
    if (m_receiveThread.joinable())
        m_receiveThread.join();
    // Batch threads read this object: it must outlive them.
    std::unique_lock lock(m_batchMutex);
    m_batchCv.wait(lock, [this] { return m_runningBatches == 0; });
}

void CSkypeMonitor::BroadcastDiscover() {
    m_wire.BroadcastDiscover();
}

// ---- attach ----

void CSkypeMonitor::OnAttachStatus(SkypePeer peer, uint32_t status) {
    switch (status) {
        case SKYPE_ATTACH_SUCCESS: {
            LogRaw("SKYPECONTROLAPI_ATTACH_SUCCESS..................\n");
            if (peer == 0)
                return;  // one without a window is no attach
            {
                std::lock_guard lock(m_attachMutex);
                const SkypePeer current = m_hSkype.load();
                // The same window again (a repeated discovery) changes nothing.
                if (current == peer)
                    return;
                // A new window while attached: the client restarted before the
                // keep-alive noticed, and what the old one told us is void.
                if (current != 0)
                    ForgetClientData();
                m_hSkype = peer;
            }
            m_mainWindow.Send(WM_UPDATE_TRAY, 0, 0);
            AttachSequence();
            return;
        }
        case SKYPE_ATTACH_PENDING_AUTHORIZATION:
            LogRaw("SKYPECONTROLAPI_ATTACH_PENDING_AUTHORIZATION..................\n");
            return;
        case SKYPE_ATTACH_REFUSED:
            LogRaw("SKYPECONTROLAPI_ATTACH_REFUSED..................\n");
            if (!m_bRefusedShown) {
                m_bRefusedShown = true;
                points.ShowWarningBox(points.GetPopupMessage(1));
            }
            return;
        case SKYPE_ATTACH_NOT_AVAILABLE:
            LogRaw("SKYPECONTROLAPI_ATTACH_NOT_AVAILABLE..................\n");
            // The user signed out: the attached client stays but its user,
            // calls and contacts are gone. Detached, the sign-in's SUCCESS
            // attaches afresh and asks for everything again.
            if (peer != 0 && ForgetPeer(peer)) {
                m_mainWindow.Send(WM_UPDATE_TRAY, 0, 0);
                m_lastSeenSkype = 0;
            }
            return;
        case SKYPE_ATTACH_API_AVAILABLE:
            LogRaw("SKYPECONTROLAPI_ATTACH_API_AVAILABLE..................\n");
            LogRaw("Continue BroadCast attach request to Skype Start\n");
            BroadcastDiscover();
            LogRaw("Continue BroadCast attach request to Skype End\n");
            return;
        default:
            return;
    }
}

void CSkypeMonitor::AttachSequence() {
    points.SetSkypeAudioDevices();
    for (const char* cmd :
         {"GET UI_LANGUAGE", "GET PROFILE PSTN_BALANCE", "GET CURRENTUSERHANDLE",
          "GET SKYPEVERSION", "GET PREDICTIVE_DIALER_COUNTRY", "SET RINGTONE 1 STATUS OFF"})
        SendMessageToSkype(cmd);
    points.OpenSkypeContacts();
}

// ---- sending ----

int CSkypeMonitor::SendMessageToSkype(std::string_view command) {
    if (command.substr(0, 5) == "CALL ") {
        if (points.DialCall.IsFilled()) {
            if (points.DialCall(std::string(command)))
                return 1;
        } else {
            SetLastCallTarget(command.substr(5));
            points.SwitchMode(MODE_RINGING);
        }
    }
    if (command != "PING")
        LogPrintA("SendMessageToSkype:  %s\n", std::string(command).c_str());
    SkypePeer peer = m_hSkype.load();
    if (peer == 0)
        return 0;
    if (command.empty())
        return 1;
    if (m_wire.Send(peer, command))
        return 1;
    // The client is gone. Only this peer is forgotten: a client that
    // attached again meanwhile is kept.
    ForgetPeer(peer);
    return 0;
}

void CSkypeMonitor::StartCommandBatch(std::vector<std::string>& commands) {
    std::vector<std::string> mine;
    mine.swap(commands);
    if (m_bManualThreads) {
        RunBatch(std::move(mine));
        return;
    }
    {
        std::lock_guard lock(m_batchMutex);
        ++m_runningBatches;
    }
    std::thread([this, list = std::move(mine)]() mutable {
        RunBatch(std::move(list));
        std::lock_guard lock(m_batchMutex);
        --m_runningBatches;
        m_batchCv.notify_all();
    }).detach();
}

void CSkypeMonitor::RunBatch(std::vector<std::string> commands) {
    for (const auto& cmd : commands) {
        if (m_bStop.load())
            break;
        SendMessageToSkype(cmd);
        m_clock.Sleep(1);
    }
}

void CSkypeMonitor::ResetSkypeState() {
    std::lock_guard lock(m_attachMutex);
    m_hSkype = 0;
    ForgetClientData();
}

bool CSkypeMonitor::ForgetPeer(SkypePeer gone) {
    std::lock_guard lock(m_attachMutex);
    if (!m_hSkype.compare_exchange_strong(gone, 0))
        return false;
    ForgetClientData();
    return true;
}

void CSkypeMonitor::ForgetClientData() {
    {
        std::lock_guard lock(m_csStrings);
        m_strFocusedContact.clear();
        // The signed-in user's own data: the next attach asks for it again,
        // and it may be another user then.
        m_strCurrentUser.clear();
        m_strCurrentUserFullName.clear();
        m_strPstnBalance.clear();
        m_strPstnBalanceCurrency.clear();
        // Call ids are the old process's: a new one numbers its calls afresh.
        g_KnownCallIds.clear();
    }
    m_bMute = 0;
    // Its ringer and its voicemail playback went with it; the attach
    // sequence takes the handset as the ringer again.
    m_bRingerIsHandset = 1;
    g_bVoiceMailFromHandset = false;
    m_nSavedVolume = -1;  // saved for calls that are gone
    m_ContactList.Clear();
    m_CallList.Clear();
    m_CurrCallList.Clear();
    std::lock_guard lock(m_csQueue);
    m_MsgQueue.clear();
    m_queuedBytes = 0;
    // The stop flag is left alone: it belongs to shutdown, and clearing it
    // here would revive threads that are being ended.
}

// ---- keep-alive ----

void CSkypeMonitor::OnTimer(uint32_t id) {
    if (!m_lastSeenSkype)
        m_lastSeenSkype = m_hSkype.load();
    if (id != TIMER_SKYPE_PING)
        return;
    SendMessageToSkype("PING");
    const SkypePeer now = m_hSkype.load();
    if (now != *m_lastSeenSkype) {
        m_mainWindow.Send(WM_UPDATE_TRAY, 0, 0);
        m_lastSeenSkype = now;
    }
}

// ---- receiving ----

void CSkypeMonitor::OnCopyData(SkypePeer sender, std::string_view text) {
    if (sender == 0 || sender != m_hSkype.load())
        return;
    std::string clean = SanitizeReceivedText(text, kSkypeMaxText);
    {
        std::lock_guard lock(m_csQueue);
        if (m_MsgQueue.size() >= kMaxQueuedNotifications ||
            m_queuedBytes + clean.size() > kMaxQueuedBytes) {
            // A client flooding faster than we handle: drop rather than
            // exhaust memory, and say so once per episode.
            if (!m_bQueueOverflow)
                LogRaw("Skype notification queue full: dropping notifications");
            m_bQueueOverflow = true;
            return;
        }
        m_bQueueOverflow = false;
        m_queuedBytes += clean.size();
        m_MsgQueue.push_back(std::move(clean));
    }
    m_queueCv.notify_all();
}

std::size_t CSkypeMonitor::QueuedCount() const {
    std::lock_guard lock(m_csQueue);
    return m_MsgQueue.size();
}

bool CSkypeMonitor::ProcessNotification() {
    std::string text;
    {
        std::lock_guard lock(m_csQueue);
        if (m_MsgQueue.empty())
            return false;
        text = std::move(m_MsgQueue.front());
        m_MsgQueue.pop_front();
        m_queuedBytes -= std::min(m_queuedBytes, text.size());
        m_bParsing = true;
    }
    LogPrintA("Received skype message: %s", text.c_str());
    ParseSkypeMessage(text);
    {
        std::lock_guard lock(m_csQueue);
        m_bParsing = false;
    }
    m_queueCv.notify_all();
    return true;
}

void CSkypeMonitor::WaitUntilIdle() {
    {
        std::unique_lock lock(m_csQueue);
        m_queueCv.wait(lock, [this] {
            return (m_MsgQueue.empty() && !m_bParsing) || m_bStop.load() ||
                   (!m_receiveThread.joinable() && m_bReceiveThread);
        });
    }
    std::unique_lock lock(m_batchMutex);
    m_batchCv.wait(lock, [this] { return m_runningBatches == 0; });
}

void CSkypeMonitor::ReceiveThreadProc() {
    for (;;) {
        {
            std::unique_lock lock(m_csQueue);
            m_queueCv.wait(lock, [this] { return m_bStop.load() || !m_MsgQueue.empty(); });
            if (m_bStop.load())
                return;
        }
        ProcessNotification();
    }
}

// ---- strings ----

#define VOCASTRA_STRING_GETTER(Name, member)  \
    std::string CSkypeMonitor::Name() const { \
        std::lock_guard lock(m_csStrings);    \
        return member;                        \
    }
VOCASTRA_STRING_GETTER(FocusedContact, m_strFocusedContact)
VOCASTRA_STRING_GETTER(PstnBalance, m_strPstnBalance)
VOCASTRA_STRING_GETTER(PstnBalanceCurrency, m_strPstnBalanceCurrency)
VOCASTRA_STRING_GETTER(CurrentUser, m_strCurrentUser)
VOCASTRA_STRING_GETTER(CurrentUserFullName, m_strCurrentUserFullName)
VOCASTRA_STRING_GETTER(MainDbPath, m_strMainDbPath)
VOCASTRA_STRING_GETTER(LastCallTarget, m_szLastCallTarget)
VOCASTRA_STRING_GETTER(SkypeVersion, g_szSkypeVersion)
VOCASTRA_STRING_GETTER(CountryPrefix, g_szCountryPrefix)
#undef VOCASTRA_STRING_GETTER

std::vector<std::string> CSkypeMonitor::KnownCallIds() const {
    std::lock_guard lock(m_csStrings);
    return g_KnownCallIds;
}

void CSkypeMonitor::SetFocusedContact(std::string_view handle) {
    std::lock_guard lock(m_csStrings);
    m_strFocusedContact = handle;
}

void CSkypeMonitor::SetLastCallTarget(std::string_view target) {
    std::lock_guard lock(m_csStrings);
    m_szLastCallTarget = CutBytesUtf8(target, kLastCallTargetMax);
}

bool CSkypeMonitor::IsKnownCall(std::string_view id) const {
    std::lock_guard lock(m_csStrings);
    for (const auto& k : g_KnownCallIds)
        if (k == id)
            return true;
    return false;
}

}  // namespace vocastra
