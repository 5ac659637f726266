#include "settings_ui/setting_pages.h"

#include <algorithm>
#include <cstdlib>

#include "app/settings.h"
#include "app/text_util.h"
#include "audio/check_vista_os.h"
#include "device/key_codes.h"

namespace vocastra {
namespace {

constexpr const char* kSettingSection = "SETTING";
// A settings file is edited by hand; the language list never grows past
// this, however many names it holds.
constexpr int kMaxLanguageNames = 100;

// Fills a device list and selects the entry equal to `wanted`, else the
// first one.
void FillDeviceList(DialogControls& c, int list, const std::vector<std::string>& names,
                    const std::string& wanted) {
    int select = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        c.InsertItem(list, static_cast<int>(i), names[i]);
        if (select < 0 && names[i] == wanted)
            select = static_cast<int>(i);
    }
    c.SelectItem(list, select < 0 ? 0 : select);
}

// The selected entry's text, or `otherwise` when nothing is selected.
std::string SelectedText(DialogControls& c, int list, const std::string& otherwise) {
    const int sel = c.SelectedItem(list);
    return sel < 0 ? otherwise : c.ItemText(list, sel);
}

}  // namespace

// --- Audio ---------------------------------------------------------------

void CAudioSettingPage::OnInitDialog() {
    DialogControls& c = Controls();
    Settings& s = m_s.store.settings();
    c.SetRange(IDC_SLIDER_1, 0, 31);
    c.SetPos(IDC_SLIDER_1, s.VAL_AUDIO_OUT_VOLUME);
    c.SetRange(IDC_SLIDER_2, 0, 31);
    c.SetPos(IDC_SLIDER_2, s.VAL_AUDIO_IN_VOLUME);
    m_initialDefaults = m_s.links.GetSystemDefaultSoundDevices();
    FillDeviceList(c, IDC_RECORD_LIST, m_s.links.GetWaveInDeviceNames(), m_initialDefaults.record);
    FillDeviceList(c, IDC_PLAYBACK_LIST, m_s.links.GetWaveOutDeviceNames(),
                   m_initialDefaults.playback);
    m_sheet.ApplyLanguageTexts();
    const bool vista = CheckIsVistaOs(m_s.osVersion) == 1;
    c.Show(IDC_PLAYBACK_LIST, !vista);
    c.Show(IDC_RECORD_LIST, !vista);
    c.Show(IDC_SET_PLAYBACK, vista);
    c.Show(IDC_SET_RECORD, vista);
}

void CAudioSettingPage::OnEvent(int id, ControlEvent event) {
    if (event == ControlEvent::Clicked && id == IDC_SET_PLAYBACK)
        m_s.links.OpenPlaybackDevicesPanel();
    else if (event == ControlEvent::Clicked && id == IDC_SET_RECORD)
        m_s.links.OpenRecordingDevicesPanel();
    else if ((event == ControlEvent::SliderReleased &&
              (id == IDC_SLIDER_1 || id == IDC_SLIDER_2)) ||
             (event == ControlEvent::SelectionChanged &&
              (id == IDC_PLAYBACK_LIST || id == IDC_RECORD_LIST)))
        Controls().SetModified();
}

void CAudioSettingPage::OnApply() {
    DialogControls& c = Controls();
    Settings& s = m_s.store.settings();
    // A list without a selection (no devices) keeps the system's setting
    // as it was rather than clearing it.
    m_s.links.SetSystemDefaultSoundDevices(
        SelectedText(c, IDC_PLAYBACK_LIST, m_initialDefaults.playback),
        SelectedText(c, IDC_RECORD_LIST, m_initialDefaults.record));
    s.VAL_AUDIO_OUT_VOLUME = c.GetPos(IDC_SLIDER_1);
    s.VAL_AUDIO_IN_VOLUME = c.GetPos(IDC_SLIDER_2);
    m_s.store.SaveSettings();
    m_s.links.SetAudioOutLevel(s.VAL_AUDIO_OUT_VOLUME);
    m_s.links.SetAudioInLevel(s.VAL_AUDIO_IN_VOLUME);
}

// --- Phone ---------------------------------------------------------------

void CPhoneSettingPage::OnInitDialog() {
    DialogControls& c = Controls();
    const Settings& s = m_s.store.settings();
    c.SetRange(IDC_SLIDER_1, 0, kContrastLevels - 1);
    c.SetPos(IDC_SLIDER_1, s.VAL_LCM_CONTRAST);
    c.SetCheck(IDC_ENABLE_KEYTONE, s.VAL_ENABLE_KEYTONE == 1);
    m_sheet.ApplyLanguageTexts();
    if (s.VAL_ENABLE_LCM == 0) {
        for (int id : {IDC_SLIDER_1, IDC_GROUP_LCM, IDC_CONTRAST_LABEL, IDC_LOW, IDC_HIGH})
            c.Show(id, false);
    }
}

void CPhoneSettingPage::OnEvent(int id, ControlEvent event) {
    if ((event == ControlEvent::SliderReleased && id == IDC_SLIDER_1) ||
        (event == ControlEvent::Clicked && id == IDC_ENABLE_KEYTONE))
        Controls().SetModified();
}

void CPhoneSettingPage::OnApply() {
    DialogControls& c = Controls();
    Settings& s = m_s.store.settings();
    const int n = std::clamp(c.GetPos(IDC_SLIDER_1), 0, kContrastLevels - 1);
    s.VAL_LCM_CONTRAST = n;
    const auto contrast = ContrastBytes(s);
    m_s.links.NewWriteCmd(CMD_SET_CONTRAST, contrast[0], contrast[1], contrast[2]);
    s.VAL_ENABLE_KEYTONE = c.IsChecked(IDC_ENABLE_KEYTONE) ? 1 : 0;
}

// --- Ring tone -----------------------------------------------------------

void CRingTonePage::OnInitDialog() {
    m_sheet.ApplyLanguageTexts();
}

// --- Advanced ------------------------------------------------------------

void CAdvanceSettingPage::OnInitDialog() {
    DialogControls& c = Controls();
    CIniFile& ini = m_s.store.Ini();
    std::string text;
    ini.ReadString("VAL_LANGUAGE", kSettingSection, text);
    const int language = std::atoi(text.c_str());
    for (int n = 0; n < kMaxLanguageNames; ++n) {
        if (!ini.ReadString(StrPrintf("Language_%d", n), kSettingSection, text))
            break;
        c.InsertItem(IDC_LANGUAGE_LIST, n, text);
    }
    c.SelectItem(IDC_LANGUAGE_LIST, language);
    c.SetCheck(IDC_AUTORUN, m_s.store.settings().VAL_AUTORUN_API == 1);
    m_sheet.ApplyLanguageTexts();
}

void CAdvanceSettingPage::OnEvent(int id, ControlEvent event) {
    if ((event == ControlEvent::SelectionChanged && id == IDC_LANGUAGE_LIST) ||
        (event == ControlEvent::Clicked && id == IDC_AUTORUN))
        Controls().SetModified();
}

void CAdvanceSettingPage::OnApply() {
    DialogControls& c = Controls();
    // An empty list (no language names installed) has no selection: the
    // language stays what it is instead of becoming "none".
    const int sel = c.SelectedItem(IDC_LANGUAGE_LIST);
    const int language = sel >= 0 ? sel : m_s.store.settings().VAL_LANGUAGE.load();
    m_s.store.SetAutorun(c.IsChecked(IDC_AUTORUN), language);
    m_sheet.ApplyLanguageTexts();
}

// --- About ---------------------------------------------------------------

void CAboutPage::OnInitDialog() {
    m_sheet.ApplyLanguageTexts();
}

}  // namespace vocastra
