// The stand-in client's own windows, as the program finds and drives them
// from outside when the API cannot place a call.
#include "platform/sim/sim_skype_client.h"

namespace vocastra {

namespace {
constexpr uintptr_t kVkReturn = 13;
}  // namespace

void SimSkypeClient::AttachDesktop(SimWindowAutomation* desk) {
    std::lock_guard lock(m_winMutex);
    m_desk = desk;
    if (!desk)
        return;
    desk->SetReaction([this](const SimWindowAutomation::Delivery& d) { OnWindowDelivery(d); });
    // The client's main window, as it runs: hidden to its tray until shown,
    // its tab control of contacts and recent conversations inside.
    m_mainForm = desk->FindTopLevelWindow("tSkMainForm", "");
    if (!m_mainForm) {
        m_mainForm = desk->AddWindow("tSkMainForm", "Skype", false);
        desk->AddWindow("TConversationsControl", "", true, m_mainForm);
    }
}

void SimSkypeClient::SetCountryPopup(bool on) {
    std::lock_guard lock(m_winMutex);
    m_countryPopup = on;
}

void SimSkypeClient::OnWindowCommand(const std::string& command) {
    std::lock_guard lock(m_winMutex);
    if (!m_desk)
        return;
    if (command == "SET WINDOWSTATE NORMAL") {
        m_desk->SetVisible(m_mainForm, true);
    } else if (command == "MINIMIZE") {
        m_desk->SetVisible(m_mainForm, false);  // to its tray
    } else if (command == "OPEN DIALPAD") {
        if (!m_desk->Exists(m_dialPad)) {
            m_dialPad = m_desk->AddWindow("TCallPhonesForm");
            const WindowId header = m_desk->AddWindow("TCallPhonesHeader", "", true, m_dialPad);
            m_field = m_desk->AddWindow("TAccessibleEdit", "", true, header);
        }
        m_desk->SetVisible(m_dialPad, true);
        m_desk->SetVisible(m_field, true);
        m_number.clear();
        m_countryChosen = false;
    } else if (command.rfind("OPEN IM ", 0) == 0) {
        m_convTarget = command.substr(8);
        const std::string title = ConversationTitle(m_convTarget);
        if (m_desk->Exists(m_conv))
            m_desk->RemoveWindow(m_conv);
        m_conv = m_desk->AddWindow("TConversationForm", title);
        m_convHeader = m_desk->AddWindow("TConversationHeader", "", true, m_conv);
        m_desk->SetRect(m_convHeader, {0, 0, 600, 60});
    }
}

void SimSkypeClient::OnWindowDelivery(const SimWindowAutomation::Delivery& d) {
    std::unique_lock lock(m_winMutex);
    if (!m_desk)
        return;
    if (d.window == m_field && d.msg == SimWindowAutomation::kWmSetText) {
        m_number = d.text;
    } else if (d.window == m_field && d.msg == kWmKeyDown && d.wParam == kVkReturn &&
               m_desk->IsWindowVisible(m_field) && !m_number.empty()) {
        if (m_desk->Exists(m_countryPopupWnd))
            return;  // the popup has the focus
        if (m_countryPopup && !m_countryChosen && m_number[0] == '+') {
            m_countryPopupWnd = m_desk->AddWindow("TCountryCodePopup");
            const WindowId c = m_desk->AddWindow("TPopupContainer", "", true, m_countryPopupWnd);
            m_desk->SetRect(c, {0, 0, 240, 160});
            return;
        }
        // The number is taken: the dial pad closes and the call goes out.
        const std::string number = m_number;
        m_number.clear();
        m_desk->SetVisible(m_field, false);
        m_desk->SetVisible(m_dialPad, false);
        lock.unlock();
        PlaceWindowCall(number);
    } else if (d.msg == kWmLButtonUp && m_desk->Exists(m_countryPopupWnd) &&
               m_desk->FindChildWindow(m_countryPopupWnd, "TPopupContainer") == d.window) {
        m_desk->RemoveWindow(m_countryPopupWnd);
        m_countryPopupWnd = 0;
        m_countryChosen = true;
    } else if (d.window == m_convHeader && d.msg == kWmLButtonUp && !m_desk->Exists(m_callPopup)) {
        m_callPopup = m_desk->AddWindow("TCallPopup");
        const WindowId c = m_desk->AddWindow("TPopupContainer", "", true, m_callPopup);
        m_desk->SetRect(c, {0, 0, 200, 80});
    } else if (d.msg == kWmLButtonUp && m_desk->Exists(m_callPopup) &&
               m_desk->FindChildWindow(m_callPopup, "TPopupContainer") == d.window) {
        m_desk->RemoveWindow(m_callPopup);
        m_callPopup = 0;
        const std::string target = m_convTarget;
        lock.unlock();
        PlaceWindowCall(target);
    }
}

void SimSkypeClient::PlaceWindowCall(const std::string& target) {
    DialFromWindow(target);
}

std::string SimSkypeClient::DialFromWindow(const std::string& target) {
    std::lock_guard lock(m_mutex);
    if (!m_running || target.empty())
        return {};
    return NewCall(target);
}

std::string SimSkypeClient::ConversationTitle(const std::string& handle) const {
    std::lock_guard lock(m_mutex);
    return DisplayNameOf(handle);
}

}  // namespace vocastra
