#include "settings_ui/setting_dlg.h"

#include "app/messages.h"
#include "platform/main_window.h"
#include "settings_ui/language_text.h"
#include "settings_ui/setting_pages.h"
#include "version.h"

namespace vocastra {
namespace {

struct PageText {
    int page;
    int id;
    const char* key;
};

// Every control text of the pages, by page and control.
constexpr PageText kPageTexts[] = {
    {kAudioPage, IDC_GROUP_VOLUME, "Volume_Setting"},
    {kAudioPage, IDC_GROUP_DEVICES, "DefaultSoundDevice_Setting"},
    {kAudioPage, IDC_VOLUME_OUT_LABEL, "Audio_Out"},
    {kAudioPage, IDC_DEVICE_OUT_LABEL, "Audio_Out"},
    {kAudioPage, IDC_VOLUME_IN_LABEL, "Audio_In"},
    {kAudioPage, IDC_DEVICE_IN_LABEL, "Audio_In"},
    {kAudioPage, IDC_OUT_LOW, "Low"},
    {kAudioPage, IDC_IN_LOW, "Low"},
    {kAudioPage, IDC_OUT_HIGH, "High"},
    {kAudioPage, IDC_IN_HIGH, "High"},
    {kAudioPage, IDC_SET_PLAYBACK, "Button_Set"},
    {kAudioPage, IDC_SET_RECORD, "Button_Set"},
    {kPhonePage, IDC_LOW, "Low"},
    {kPhonePage, IDC_HIGH, "High"},
    {kPhonePage, IDC_GROUP_LCM, "LCM"},
    {kPhonePage, IDC_CONTRAST_LABEL, "Contrast"},
    {kPhonePage, IDC_GROUP_KEYTONE, "KeyTone"},
    {kPhonePage, IDC_ENABLE_KEYTONE, "Enable_KeyTone"},
    {kRingTonePage, IDC_LOW, "Low"},
    {kRingTonePage, IDC_HIGH, "High"},
    {kRingTonePage, IDC_GROUP_RINGTONE, "RingTone_Setting"},
    {kRingTonePage, IDC_RINGTONE_LABEL, "RingTone"},
    {kRingTonePage, IDC_RING_VOLUME_LABEL, "Ring_Volume"},
    {kRingTonePage, IDC_PLAY, "Button_Play"},
    {kRingTonePage, IDC_BROWSE, "Browse"},
    {kRingTonePage, IDC_RINGTONE_DEFAULT, "RingTone_1"},
    {kRingTonePage, IDC_RINGTONE_CUSTOM, "RingTone_2"},
    {kAdvancedPage, IDC_GROUP_LANGUAGE, "Language"},
    {kAdvancedPage, IDC_GROUP_STARTUP, "Startup"},
    {kAdvancedPage, IDC_AUTORUN, "Auto_Run"},
    {kAboutPage, IDC_COPYRIGHT, "Copyright_Info"},
};

constexpr const char* kTabTitleKeys[kSettingPageCount] = {
    "Page_Audio_Setting", "Page_Phone_Setting", "Page_RingTone_Setting", "Page_Advance_Setting",
    "Page_About"};

}  // namespace

std::string FormatVersionText(const std::string& format, const std::string& version) {
    std::string out;
    bool replaced = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 's' && !replaced) {
                out += version;
                replaced = true;
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

CSettingDlg::CSettingDlg(SheetServices& services) : m_s(services) {
    m_pages[kAudioPage] = std::make_unique<CAudioSettingPage>(*this, services);
    m_pages[kPhonePage] = std::make_unique<CPhoneSettingPage>(*this, services);
    m_pages[kRingTonePage] = std::make_unique<CRingTonePage>(*this, services);
    m_pages[kAdvancedPage] = std::make_unique<CAdvanceSettingPage>(*this, services);
    m_pages[kAboutPage] = std::make_unique<CAboutPage>(*this, services);
}

CSettingDlg::~CSettingDlg() = default;

void CSettingDlg::ApplyLanguageTexts() {
    const LanguageTexts& t = m_s.language;
    if (m_frame) {
        m_frame->SetCaption(t.GetLanguageText("Dlg_Caption"));
        for (int p = 0; p < kSettingPageCount; ++p)
            m_frame->SetTabTitle(p, t.GetLanguageText(kTabTitleKeys[p]));
    }
    for (const PageText& e : kPageTexts) {
        SettingPage& page = Page(e.page);
        if (page.Exists())
            page.Controls().SetText(e.id, t.GetLanguageText(e.key));
    }
    if (Page(kAboutPage).Exists())
        Page(kAboutPage)
            .Controls()
            .SetText(IDC_VERSION,
                     FormatVersionText(t.GetLanguageText("Version_Info"), VOCASTRA_VERSION_STR));
    if (m_frame) {
        m_frame->SetButtonText(IDOK_BUTTON, t.GetLanguageText("Button_OK"));
        m_frame->SetButtonText(IDCANCEL_BUTTON, t.GetLanguageText("Button_Cancel"));
        m_frame->SetButtonText(IDAPPLY_BUTTON, t.GetLanguageText("Button_Apply"));
    }
    m_s.mainWindow.Post(WM_UPDATE_TRAY, 0, 0);
}

void CSettingDlg::SelectLanguageEntry(int language) {
    SettingPage& advanced = Page(kAdvancedPage);
    if (advanced.Exists())
        advanced.Controls().SelectItem(IDC_LANGUAGE_LIST, language);
}

void CSettingDlg::OnSheetInit(SheetFrame& frame) {
    m_frame = &frame;
    ApplyLanguageTexts();
}

void CSettingDlg::OnPageInit(int page, DialogControls& controls) {
    if (!Valid(page))
        return;
    Page(page).m_controls = &controls;
    Page(page).OnInitDialog();
}

void CSettingDlg::OnPageEvent(int page, int controlId, ControlEvent event) {
    if (Valid(page) && Page(page).Exists())
        Page(page).OnEvent(controlId, event);
}

void CSettingDlg::OnPageApply(int page) {
    if (Valid(page) && Page(page).Exists())
        Page(page).OnApply();
}

void CSettingDlg::OnPageDestroy(int page) {
    if (!Valid(page) || !Page(page).Exists())
        return;
    Page(page).OnDestroy();
    Page(page).m_controls = nullptr;
}

}  // namespace vocastra
