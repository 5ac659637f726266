// The call and voicemail history: the four lists, the detail of one record
// and the playback of a voicemail started from the handset.
#include <algorithm>

#include "app/log.h"
#include "app/text_util.h"
#include "device/key_codes.h"
#include "modes/handset_modes.h"
#include "modes/menu_modes.h"
#include "modes/mode_table.h"
#include "modes/virtual_display.h"
#include "platform/clock.h"
#include "settings_ui/display_strings.h"

namespace vocastra {

namespace {

struct HistoryKind {
    int list;  // HistoryList
    int mode;
    int icon;
    MenuItemPainter painter;
};

constexpr HistoryKind kHistoryKinds[] = {
    {HISTORY_INCOMING, MODE_HISTORY_INCOMING, kIconIncoming, PaintIncomingItem},
    {HISTORY_OUTGOING, MODE_HISTORY_OUTGOING, kIconOutgoing, PaintOutgoingItem},
    {HISTORY_MISSED, MODE_HISTORY_MISSEDCALL, kIconMissed, PaintMissedItem},
    {HISTORY_VOICEMAIL, MODE_HISTORY_VMAIL, kIconVoiceMail, PaintVoiceMailItem},
};

const HistoryKind* KindOfMode(int mode) {
    for (const auto& k : kHistoryKinds)
        if (k.mode == mode)
            return &k;
    return nullptr;
}

// The list is rebuilt from the call history at every entry, newest first.
void BuildHistoryList(HandsetModes& m, const HistoryKind& kind) {
    MenuList& l = m.m_MenuList;
    l.Clear();
    l.SetPainter(kind.painter);
    std::vector<CallView> records = m.links.GetCallHistory(kind.list);
    std::stable_sort(records.begin(), records.end(), [](const CallView& a, const CallView& b) {
        return a.nTimestamp > b.nTimestamp;
    });
    for (const CallView& r : records)
        l.Add(r.szPartnerDispName, {0, r.szCallId});
}

// The record of the selected item, as the call history holds it now (the
// detail queries' answers land there).
std::optional<CallView> SelectedRecord(HandsetModes& m) {
    const auto data = m.m_MenuList.SelectedData();
    if (!data || data->record.empty())
        return std::nullopt;
    return m.links.FindHistoryCall(data->record);
}

void CallSelectedPartner(HandsetModes& m) {
    const auto r = SelectedRecord(m);
    if (!r || r->szPartnerHandle.empty())
        return;  // nothing to dial
    m.KeyToneDelay();
    m.Send("CALL " + r->szPartnerHandle);
}

void HistoryListProc(HandsetModes& m, int32_t key, bool voiceMails) {
    if (voiceMails)
        m.g_bVoiceMailDetail = false;
    if (m.ForwardToNumberEntry(key) || MoveMenuSelection(m, key))
        return;
    switch (key) {
        case KEY_HOOKUP:
            if (!voiceMails)
                CallSelectedPartner(m);
            break;
        case KEY_HOOKDOWN:
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_LEFT_FUNCTION:
            if (m.m_MenuList.Count() == 0)
                break;
            // A voicemail detail left by a call must not make this a voicemail.
            m.g_bVoiceMailDetail = voiceMails;
            m.SwitchMode(MODE_HISTORYDETAIL);
            break;
        case KEY_RIGHT_FUNCTION:
            m.SwitchMode(MODE_HISTORYMENU);
            break;
        default:
            break;
    }
}

void RequestVoiceMailPlayback(HandsetModes& m, const std::string& id) {
    if (id.empty())
        return;
    m.Send("OPEN VOICEMAIL " + id);
    m.links.SetVoiceMailPlayTick(m.m_clock.GetTickCount());
}

std::string SelectedRecordId(HandsetModes& m) {
    const auto data = m.m_MenuList.SelectedData();
    return data ? data->record : std::string();
}

}  // namespace

void Mode_HistoryIncoming_Init(HandsetModes& m) {
    LogRaw("***Mode_HistoryIncoming_Init***");
    BuildHistoryList(m, kHistoryKinds[0]);
}
void Mode_HistoryOutgoing_Init(HandsetModes& m) {
    LogRaw("***Mode_HistoryOutgoing_Init***");
    BuildHistoryList(m, kHistoryKinds[1]);
}
void Mode_HistoryMissedcall_Init(HandsetModes& m) {
    LogRaw("***Mode_HistoryMissedcall_Init***");
    BuildHistoryList(m, kHistoryKinds[2]);
}
void Mode_HistoryVMail_Init(HandsetModes& m) {
    BuildHistoryList(m, kHistoryKinds[3]);
}

void Mode_HistoryIncoming_Proc(HandsetModes& m, int32_t key) {
    HistoryListProc(m, key, false);
}
void Mode_HistoryOutgoing_Proc(HandsetModes& m, int32_t key) {
    HistoryListProc(m, key, false);
}
void Mode_HistoryMissedcall_Proc(HandsetModes& m, int32_t key) {
    HistoryListProc(m, key, false);
}
void Mode_HistoryVMail_Proc(HandsetModes& m, int32_t key) {
    HistoryListProc(m, key, true);
}

void Mode_HistoryList_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    const HistoryKind* kind = KindOfMode(m.CurrentMode());
    d.ClearScreen();
    if (m.m_MenuList.Count() > 0)
        DrawMenuList(d, m.m_MenuList);
    else
        d.DrawLineText(0, 1, "<Empty>", ALIGN_CENTER);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_DETAIL), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
    if (kind)
        d.DrawLineIcon(3, kind->icon, 56);
}

void Mode_HistoryDetail_Init(HandsetModes& m) {
    {
        // The notification thread may be redrawing the canvas meanwhile.
        std::lock_guard lock(m.m_state.m_csDisplay);
        m.m_display.ClearScreen();
    }
    const std::string id = SelectedRecordId(m);
    if (id.empty())
        return;
    // The answers complete the record, and the screen with it.
    const char* object = m.g_bVoiceMailDetail ? "VOICEMAIL" : "CALL";
    for (const char* property : {"TIMESTAMP", "PARTNER_HANDLE", "CONF_ID", "DURATION"})
        m.Send(StrPrintf("GET %s %s %s", object, id.c_str(), property), kLongCommandBuffer);
}

void Mode_HistoryDetail_Proc(HandsetModes& m, int32_t key) {
    if (m.ForwardToNumberEntry(key))
        return;
    const bool voiceMail = m.g_bVoiceMailDetail;
    switch (key) {
        case KEY_HOOKDOWN:
            m.g_bVoiceMailDetail = false;
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_LEFT_FUNCTION:
            if (voiceMail)
                RequestVoiceMailPlayback(m, SelectedRecordId(m));
            else
                CallSelectedPartner(m);
            break;
        case KEY_HOOKUP:
            CallSelectedPartner(m);
            break;
        case KEY_RIGHT_FUNCTION: {
            if (voiceMail) {
                m.SwitchMode(MODE_HISTORY_VMAIL);
                break;
            }
            // Back to the list it came from, rebuilt, on the same record.
            const auto data = m.m_MenuList.SelectedData();
            const int prev = m.PreviousMode();
            const HistoryKind* kind = KindOfMode(prev);
            m.SwitchMode(kind ? prev : MODE_HISTORYMENU);
            if (kind && data) {
                m.m_MenuList.SelectData(*data);
                m.RefreshDisplay();
            }
            break;
        }
        default:
            break;
    }
}

void Mode_HistoryDetail_Display(HandsetModes& m) {
    LogRaw("Mode_HistoryDetail_Display entering");
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    const auto r = SelectedRecord(m);
    if (!r) {
        m.SwitchMode(MODE_MAIN);
        return;
    }
    const bool voiceMail = m.g_bVoiceMailDetail;
    const LocalTime t = m.m_clock.ToLocalTime(r->nTimestamp);
    d.DrawLineText(0, 0, StrPrintf("%04d/%02d/%02d", t.year, t.month, t.day), ALIGN_LEFT);
    d.DrawLineText(0, 0, StrPrintf("%02d:%02d", t.hour, t.minute), ALIGN_RIGHT);
    d.DrawLineText(0, 1, r->szPartnerDispName, ALIGN_LEFT);
    const int s = std::max(r->nDuration, 0);
    d.DrawLineText(0, 2, StrPrintf("%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60), ALIGN_CENTER);
    d.DrawLineText(0, 3, m.Text(voiceMail ? IDS_SCREEN_VOICEMAIL : IDS_SCREEN_CALL), ALIGN_LEFT);
    d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
    const HistoryKind* kind = voiceMail ? &kHistoryKinds[3] : KindOfMode(m.PreviousMode());
    if (kind)
        d.DrawLineIcon(3, kind->icon, 56);
}

void Mode_VoiceMailPlaying_Proc(HandsetModes& m, int32_t key) {
    const bool playing = m.links.IsVoiceMailPlaying();
    const std::string id = SelectedRecordId(m);
    switch (key) {
        case KEY_LEFT_FUNCTION:
            if (playing)
                m.Send("ALTER VOICEMAIL " + id + " STOPPLAYBACK ");
            else
                RequestVoiceMailPlayback(m, id);
            break;
        case KEY_RIGHT_FUNCTION:
            if (!playing)
                m.SwitchMode(MODE_HISTORYDETAIL);
            break;
        case KEY_HOOKDOWN:
            // Putting the handset down always leaves: the client may never
            // report the end of the playback.
            if (playing)
                m.Send("ALTER VOICEMAIL " + id + " STOPPLAYBACK ");
            m.links.EndVoiceMailFromHandset();
            m.g_bVoiceMailDetail = false;
            m.SwitchMode(MODE_MAIN);
            break;
        case KEY_UP:
        case KEY_VOLUME_UP:
            if (playing)
                StepAudioOutVolume(m, true, "005");
            break;
        case KEY_DOWN:
        case KEY_VOLUME_DOWN:
            if (playing)
                StepAudioOutVolume(m, false, "006");
            break;
        default:
            break;
    }
}

void Mode_VoiceMailPlaying_Display(HandsetModes& m) {
    CVirtualDisplay& d = m.m_display;
    d.ClearScreen();
    if (m.links.IsVoiceMailPlaying()) {
        d.DrawLineText(0, 1, m.Text(IDS_SCREEN_PLAYING), ALIGN_CENTER);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_STOP), ALIGN_LEFT);
    } else {
        d.DrawLineText(0, 1, m.Text(IDS_SCREEN_PLAYEND), ALIGN_CENTER);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_PLAY), ALIGN_LEFT);
        d.DrawLineText(0, 3, m.Text(IDS_SCREEN_BACK), ALIGN_RIGHT);
    }
}

}  // namespace vocastra
