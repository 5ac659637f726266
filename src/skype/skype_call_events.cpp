// ParseSkypeMessage for CALL and VOICEMAIL notifications: the call records,
// the current calls, and what the handset does as a call rings, is answered
// and ends.
#include "app/log.h"
#include "app/messages.h"
#include "app/settings.h"
#include "app/vocastra_dlg.h"
#include "device/key_codes.h"
#include "modes/mode_ids.h"
#include "platform/clock.h"
#include "platform/main_window.h"
#include "skype/skype_monitor.h"
#include "skype/skype_words.h"

namespace vocastra {

void CSkypeMonitor::OnCall(const std::vector<std::string_view>& words) {
    if (words.size() < 3)
        return;
    const std::string_view id = words[1];
    const std::string_view p = words[2];
    const bool hasValue = words.size() >= 4;
    m_CallList.Enter(id);  // any mention enters the call into the history

    if (p == "TIMESTAMP") {
        if (!hasValue)
            return;
        const int32_t t = ParseDecimal(words[3]);
        m_CallList.Modify(id, [t](CCallObject& r) { r.nTimestamp = t; });
        m_CurrCallList.SetTimestamp(id, t);
    } else if (p == "PARTNER_HANDLE") {
        if (!hasValue) {
            LogRaw(
                "*****************************Get PARTNER_HANDLE "
                "failed************************");
            return;
        }
        const std::string h = CallField(words[3]);
        m_CallList.Modify(id, [&](CCallObject& r) { r.szPartnerHandle = h; });
        m_CurrCallList.SetPartnerHandle(id, h);
    } else if (p == "PARTNER_DISPNAME") {
        const std::string name = CallField(JoinWords(words, 3));
        m_CallList.Modify(id, [&](CCallObject& r) { r.szPartnerDispName = name; });
        m_CurrCallList.SetPartnerDispName(id, name);
    } else if (p == "CONF_ID") {
        if (!hasValue)
            return;
        const std::string c = CallField(words[3]);
        m_CallList.Modify(id, [&](CCallObject& r) { r.szConfId = c; });
        m_CurrCallList.SetConfId(id, c);
    } else if (p == "TYPE") {
        if (hasValue)
            OnCallType(id, words[3]);
    } else if (p == "STATUS") {
        if (hasValue)
            OnCallStatus(id, words[3]);
    } else if (p == "DURATION" || p == "VM_DURATION") {
        if (!hasValue)
            return;
        m_CallList.SetDuration(id, words[3]);
        m_CurrCallList.SetDuration(id, words[3]);
    }
}

void CSkypeMonitor::OnCallType(std::string_view id, std::string_view type) {
    m_CallList.ModifyCallType(id, type);
    m_CurrCallList.SetType(id, type);
    LogRaw("TYPE 001");
    const bool incomingP2p = type == "INCOMING_P2P";
    int32_t typeCounts = 0;
    std::string strangeId;  // wanted only for the line about a strange call
    bool strange = false;
    m_CallList.Modify(id, [&](CCallObject& c) {
        typeCounts = ++c.m_nReceivedTypeCounts;
        strange = c.bRouted == 1 && incomingP2p;
        if (strange)
            strangeId = c.szCallId;
    });
    LogPrintA("TYPE 002 m_nReceivedTypeCounts=%ld", static_cast<long>(typeCounts));
    if (strange) {
        // An incoming call cannot have been routed by us: the client mixed
        // up two calls. Drop it rather than ring for it.
        LogPrintA(
            "Call[%s] is strange call, Routing and INCOMING_P2P is conflict, so ignore this call",
            strangeId.c_str());
        m_CurrCallList.DeleteCallObject(id);
        m_CallList.DeleteCallObject(id);
        return;
    }
    if (typeCounts == 2 && incomingP2p) {
        LogRaw("TYPE 003");
        const int count = m_CurrCallList.GetCount();
        LogPrintA("TYPE 004 (m_CurrCallList.GetCount()=%ld", static_cast<long>(count));
        if (count == 1) {
            LogRaw("TYPE 005");
            LogRaw("g_AudioOutMixer.SetFaderValue 013");
            if (m_bRingerIsHandset == 1) {
                points.SetFaderValue(m_settings.settings().VAL_RINGTONE_VOLUME, 4);
                m_mainWindow.Post(WM_START_RING, 0, 0);
            }
        }
    }
}

void CSkypeMonitor::OnCallStatus(std::string_view id, std::string_view status) {
    const std::string s = CallField(status);
    m_CallList.Modify(id, [&](CCallObject& r) { r.szStatus = s; });
    m_CurrCallList.SetStatus(id, s);

    if (status == "RINGING" || status == "ROUTING") {
        OnCallStarts(id, status);
    } else if (status == "PLAYING") {
        OnVoiceMailPlaying();
    } else if (status == "PLAYED") {
        if (g_bVoiceMailFromHandset && points.GetCurrentMode() == MODE_VOICEMAIL_PLAYING) {
            g_bVoiceMailFromHandset = false;
            points.SwitchMode(MODE_VOICEMAIL_PLAYING);
        }
    } else if (status == "INPROGRESS") {
        m_mainWindow.Post(WM_STOP_RING, 0, 0);
        if (!IsKnownCall(id)) {
            // A call never seen ringing has no level saved: the handset's
            // playback level stays as it is rather than going to 0.
            if (m_nSavedVolume >= 0) {
                LogRaw("g_AudioOutMixer.SetFaderValue 015");
                points.SetFaderValue(m_nSavedVolume, 2);
            }
            points.SwitchMode(MODE_TALKING);
        }
        if (m_flags.g_bExiting)
            SendMessageToSkype("SET WINDOWSTATE NORMAL");
    } else if (IsCallEndStatus(status)) {
        OnCallEnds(id);
    }
}

void CSkypeMonitor::OnCallStarts(std::string_view id, std::string_view status) {
    const Settings& settings = m_settings.settings();
    if (m_CurrCallList.GetCount() == 0) {
        // The first call: remember the playback level to restore afterwards.
        LogRaw("g_AudioOutMixer.SetFaderValue 012");
        points.SetFaderValue(settings.VAL_AUDIO_OUT_VOLUME, 4);
        m_nSavedVolume = points.GetAudioOutVolume();
    }
    const bool ringing = status == "RINGING";
    CCallObject record = m_CallList.Update(id, [&](CCallObject& r) {
        if (!ringing)
            r.bRouted = 1;
    });
    if (m_CurrCallList.IsCallInList(id))
        return;
    LogPrintA("****m_CurrCallList.AddCallObject 0x%x****",
              static_cast<unsigned>(m_CallList.GetCount()));
    m_CurrCallList.AddCallObject(record);
    bool listed = false;
    if (ringing) {
        if (m_CurrCallList.GetCount() <= 1) {
            LogRaw("g_AudioOutMixer.SetFaderValue 014");
            points.SetFaderValue(settings.VAL_RINGTONE_VOLUME, 4);
        }
        listed = IsKnownCall(id);
    }
    const std::string& cid = record.szCallId;
    std::vector<std::string> batch{
        "GET CALL " + cid + " TIMESTAMP",
        "GET CALL " + cid + " PARTNER_HANDLE",
        "GET CALL " + cid + " PARTNER_DISPNAME",
        "GET CALL " + cid + " CONF_ID",
    };
    // The type is asked many times: its second answer is what starts the
    // ring tone (see OnCallType).
    for (int i = 0; i < 11; ++i)
        batch.push_back("GET CALL " + cid + " TYPE");
    StartCommandBatch(batch);
    if (!listed)
        points.SwitchMode(MODE_RINGING);
    if (m_flags.g_bExiting)
        SendMessageToSkype("SET WINDOWSTATE NORMAL");
}

void CSkypeMonitor::OnCallEnds(std::string_view id) {
    // A call never current here ended before we saw it alive (the client
    // names its past calls at sign-in): raising the client for each of them
    // would only steal the focus and hold up the notifications behind.
    if (!m_CurrCallList.IsCallInList(id))
        return;
    points.OpenSkypeContacts();
    const CCallObject record = m_CallList.GetCallObject(id);
    // An outgoing call that went through ROUTING never rang the handset.
    const bool routedOutgoing = record.bRouted == 1 && record.nType != E_TYPE_INCOMING_PSTN &&
                                record.nType != E_TYPE_INCOMING_P2P;
    if (!routedOutgoing)
        m_mainWindow.Post(WM_STOP_RING, 0, 0);
    m_CurrCallList.DeleteCallObject(id);
    if (m_CurrCallList.GetCount() == 0) {
        points.SwitchMode(MODE_MAIN);
    } else if (auto last = m_CurrCallList.GetLastCall();
               last && IsCallSetUpStatus(last->szStatus)) {
        // The call left still rings (or is being set up): only the user may
        // answer it, so the handset rings for it again.
        points.SwitchMode(MODE_RINGING);
        points.RefreshDisplay();
    } else if (last) {
        // Resume the call that was waiting.
        LogPrintA("%s", last->szCallId.c_str());
        SendMessageToSkype("SET CALL " + last->szCallId + " STATUS INPROGRESS");
        points.SwitchMode(MODE_TALKING);
        LogRaw("CMD_LED_ON 008");
        points.NewWriteCmd(CMD_LED_ON, 0, 0, 0);
    }
    if (m_nSavedVolume >= 0) {
        LogRaw("g_AudioOutMixer.SetFaderValue 016");
        points.SetFaderValue(m_nSavedVolume, 4);
    }
    // Restored after the last call: the next first call saves it anew.
    if (m_CurrCallList.GetCount() == 0)
        m_nSavedVolume = -1;
    m_CallList.DeleteCallObject(id);
}

void CSkypeMonitor::OnVoiceMailPlaying() {
    if (points.IsMenuListEmpty()) {
        LogRaw("VoiceMail playing by mouse 001");
        return;
    }
    const uint32_t asked = g_dwVoiceMailPlayTick;
    if (asked == 0) {
        LogRaw("VoiceMail playing by mouse 002");
        return;
    }
    if (m_clock.GetTickCount() - asked > 3000) {
        LogRaw("VoiceMail playing by mouse 003");
        return;
    }
    g_bVoiceMailFromHandset = true;
    points.SwitchMode(MODE_VOICEMAIL_PLAYING);
}

}  // namespace vocastra
