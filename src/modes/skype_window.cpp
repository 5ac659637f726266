// Driving the client's own main window and forms: where the API has no
// command for something (the contact tabs, closing leftover call forms), the
// modes post the keys or messages a user's clicks would produce.
#include "app/log.h"
#include "modes/handset_modes.h"
#include "modes/mode_ids.h"
#include "platform/clock.h"

namespace vocastra {

namespace {

constexpr const char* kMainWindowClasses[] = {"tSkMainForm.UnicodeClass", "tSkMainForm",
                                              "TZapMainForm.UnicodeClass", "TZapMainForm"};
constexpr const char* kConversationsClasses[] = {"TConversationsControl.UnicodeClass",
                                                 "TConversationsControl"};
constexpr const char* kCallForms[] = {"TConversationForm.UnicodeClass",
                                      "TConversationForm",
                                      "TCallPhonesForm.UnicodeClass",
                                      "TCallPhonesForm",
                                      "TskCallPhonesForm.UnicodeClass",
                                      "TskCallPhonesForm",
                                      "THomeForm",
                                      "THomeForm.UnicodeClass",
                                      "TMyselfProfileForm",
                                      "TMyselfProfileForm.UnicodeClass",
                                      "TFeedbackForm",
                                      "TFeedbackForm.UnicodeClass",
                                      "TCallFailureForm",
                                      "TCallFailureForm.UnicodeClass"};
constexpr const char* kCallQualityForms[] = {"TskCallQualityForm.UnicodeClass",
                                             "TskCallQualityForm", "TCallQualityForm.UnicodeClass",
                                             "TCallQualityForm"};

constexpr intptr_t kAltDownLParam = 0x20000000;
constexpr intptr_t kAltUpLParam = static_cast<intptr_t>(0xE0000000u);
constexpr uint8_t kVkBack = 8;

WindowId FindConversations(WindowAutomation& windows, WindowId main) {
    for (const char* cls : kConversationsClasses)
        if (WindowId w = windows.FindChildWindow(main, cls))
            return w;
    return 0;
}

// Alt+<digit> to the conversations control selects one of the two list tabs.
void PostAltDigit(WindowAutomation& windows, WindowId target, uint8_t digitKey) {
    windows.PostWindowMessage(target, kWmSysKeyDown, digitKey, kAltDownLParam);
    windows.PostWindowMessage(target, kWmSysKeyUp, digitKey, kAltUpLParam);
}

bool OlderClient(int major) {
    return major == 2 || major == 3;
}

}  // namespace

WindowId HandsetModes::FindSkypeMainWindow() {
    for (const char* cls : kMainWindowClasses)
        if (WindowId w = m_windows.FindTopLevelWindow(cls))
            return w;
    return 0;
}

int HandsetModes::SkypeWindowState() {
    const WindowId main = FindSkypeMainWindow();
    if (!main)
        return 0;
    return m_windows.IsWindowVisible(main) ? 1 : 2;
}

void HandsetModes::ClearSkypeDialPad() {
    Send("BTN_PRESSED NO");
    Send("BTN_RELEASED NO");
    m_clock.Sleep(100);
}

void HandsetModes::HangUpByButton(const char* tag) {
    LogPrintA("UseOtherWayHangupCall %s", tag);
    Send("BTN_PRESSED NO");
    Send("BTN_RELEASED NO");
    SwitchMode(MODE_MAIN);
}

void HandsetModes::OpenSkypeContacts() {
    LogRaw("OpenSkypeContacts");
    if (OlderClient(links.GetSkypeMajorVersion())) {
        Send("Open Contacts");
    } else if (const WindowId main = FindSkypeMainWindow()) {
        Send("SET WINDOWSTATE NORMAL");
        m_clock.Sleep(50);
        if (const WindowId conv = FindConversations(m_windows, main))
            PostAltDigit(m_windows, conv, 0x31);
    }
    g_nContactsTab = 0;
}

void HandsetModes::ToggleSkypeFocus() {
    const WindowId main = FindSkypeMainWindow();
    if (!main)
        return;
    if (!m_windows.IsWindowVisible(main)) {
        OpenSkypeContacts();
        g_nContactsTab = 0;
        return;
    }
    Send("SET WINDOWSTATE NORMAL");
    m_clock.Sleep(100);
    if (OlderClient(links.GetSkypeMajorVersion())) {
        Send("BTN_PRESSED SKYPE");
        Send("BTN_RELEASED SKYPE");
        return;
    }
    const WindowId conv = FindConversations(m_windows, main);
    if (!conv)
        return;
    if (g_nContactsTab == 0) {
        PostAltDigit(m_windows, conv, 0x32);
        g_nContactsTab = 1;
    } else if (g_nContactsTab == 1) {
        PostAltDigit(m_windows, conv, 0x31);
        g_nContactsTab = 0;
    }
}

void HandsetModes::CloseSkypeCallForms() {
    // Forms can reappear while a call winds down, so sweep for two seconds.
    // The keys wait meanwhile: the sweep ends at two seconds however slow
    // the window searches are (a loaded machine made 100 passes last 20 s).
    constexpr uint32_t kSweepMs = 2000;
    const uint32_t start = m_clock.GetTickCount();
    for (int pass = 0; pass < 100 && m_clock.GetTickCount() - start < kSweepMs; ++pass) {
        for (const char* cls : kCallForms)
            for (WindowId w : m_windows.FindTopLevelWindows(cls))
                m_windows.PostWindowMessage(w, kWmClose, 0, 0);
        m_clock.Sleep(20);
    }
    for (const char* cls : kCallQualityForms)
        if (WindowId w = m_windows.FindTopLevelWindow(cls))
            m_windows.PostWindowMessage(w, kWmClose, 0, 0);
}

void HandsetModes::PressBackspaceInSkype() {
    m_windows.SendKeyInput(kVkBack, kVkBack, false);
    m_clock.Sleep(33);
    m_windows.SendKeyInput(kVkBack, kVkBack, true);
}

}  // namespace vocastra
