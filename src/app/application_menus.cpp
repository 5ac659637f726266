// Wiring of the handset's menus and lists: the call history, the contacts
// and the client-side state they show, and what the client link asks of
// the menus.
#include <algorithm>

#include "app/application.h"
#include "platform/clock.h"

namespace vocastra {

void Application::ConnectMenus() {
    ModeLinks& l = modes.links;
    l.GetCallHistory.Fill([this](int list) {
        std::vector<CCallObject> out;
        switch (list) {
            case HISTORY_INCOMING:
                skype.m_CallList.GetIncomingCallList(out);
                break;
            case HISTORY_OUTGOING:
                skype.m_CallList.GetOutgoingCallList(out);
                break;
            case HISTORY_MISSED:
                skype.m_CallList.GetMissedCallList(out);
                break;
            case HISTORY_VOICEMAIL:
                skype.m_CallList.GetVoiceMailList(out);
                break;
            default:
                break;
        }
        return out;
    });
    l.FindHistoryCall.Fill([this](std::string id) -> std::optional<CCallObject> {
        for (CCallObject& r : skype.m_CallList.Snapshot())
            if (r.szCallId == id)
                return std::move(r);
        return std::nullopt;
    });
    l.GetContacts.Fill([this] {
        std::vector<CContactInfo> out;
        skype.m_ContactList.CopyContactList(out);
        return out;
    });
    l.SetFocusedContact.Fill([this](std::string handle) { skype.SetFocusedContact(handle); });
    l.GetPstnBalance.Fill([this] { return skype.PstnBalance(); });
    l.GetPstnBalanceCurrency.Fill([this] { return skype.PstnBalanceCurrency(); });
    l.SetVoiceMailPlayTick.Fill([this](uint32_t tick) { skype.g_dwVoiceMailPlayTick = tick; });
    l.EndVoiceMailFromHandset.Fill([this] { skype.g_bVoiceMailFromHandset = false; });
    l.GetSelectedVoiceMailId.Fill([this] {
        const auto data = modes.m_MenuList.SelectedData();
        return data ? data->record : std::string();
    });
    skype.points.IsMenuListEmpty.Fill([this] { return modes.m_MenuList.Count() == 0; });
}

}  // namespace vocastra
