#include "settings_ui/setting_pages.h"

#include <algorithm>
#include <cstdlib>

#include "app/log.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "audio/check_vista_os.h"
#include "audio/tones.h"
#include "device/key_codes.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "settings_ui/language_text.h"

namespace vocastra {
namespace {

constexpr const char* kSettingSection = "SETTING";
// A settings file is edited by hand; the language list never grows past
// this, however many names it holds.
constexpr int kMaxLanguageNames = 100;

// Fills a list and selects the entry equal to `wanted`, else the
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

CRingTonePage::CRingTonePage(CSettingDlg& sheet, SheetServices& services)
    : SettingPage(sheet, services), m_preview(services.waveOut, services.fileSystem) {}

void CRingTonePage::OnInitDialog() {
    DialogControls& c = Controls();
    const Settings& s = m_s.store.settings();
    const auto names = ListShippedRingTones(m_s.fileSystem, m_s.store.GetModuleDirectory());
    FillDeviceList(c, IDC_RINGTONE_LIST, names, s.VAL_RINGTONE);
    c.SetRange(IDC_SLIDER_1, 0, 31);
    c.SetPos(IDC_SLIDER_1, s.VAL_RINGTONE_VOLUME);
    c.SetText(IDC_CUSTOM_PATH, s.Val_CustomRingTone);
    const bool custom = s.VAL_RingTone_Select != 0;
    c.SetCheck(IDC_RINGTONE_DEFAULT, !custom);
    c.SetCheck(IDC_RINGTONE_CUSTOM, custom);
    m_sheet.ApplyLanguageTexts();
}

std::string CRingTonePage::ShippedPathOfSelection() {
    DialogControls& c = Controls();
    return ShippedRingTonePath(m_s.store.GetModuleDirectory(),
                               c.ItemText(IDC_RINGTONE_LIST, c.SelectedItem(IDC_RINGTONE_LIST)));
}

void CRingTonePage::LevelToSlider(const char* logText) {
    LogRaw(logText);
    m_s.links.SetAudioOutLevel(Controls().GetPos(IDC_SLIDER_1));
    m_levelFromSlider = true;
}

void CRingTonePage::LevelBack(const char* logText) {
    LogRaw(logText);
    m_s.links.SetAudioOutLevel(m_s.store.settings().VAL_AUDIO_OUT_VOLUME);
    m_levelFromSlider = false;
}

void CRingTonePage::StopPreview() {
    m_preview.Stop();
}

void CRingTonePage::OnPlay() {
    DialogControls& c = Controls();
    LevelToSlider("g_AudioOutMixer.SetFaderValue 008");
    if (m_preview.IsPlaying()) {
        StopPreview();
        LevelBack("g_AudioOutMixer.SetFaderValue 009");
        return;
    }
    std::string path;
    if (c.IsChecked(IDC_RINGTONE_CUSTOM))
        path = CutUtf16Units(c.GetText(IDC_CUSTOM_PATH), kMaxRingTonePathChars);
    if (path.empty())
        path = ShippedPathOfSelection();
    m_preview.Play(path, m_s.links.GetOutDeviceName());
}

void CRingTonePage::OnBrowse() {
    const std::string dir = m_s.store.GetModuleDirectory();
    const auto chosen =
        m_s.fileDialog.OpenFile({dir + "IVR\\", "wav", "Wave Files (*.wav)", "*.wav"});
    if (!chosen)
        return;
    const std::string outDevice = m_s.links.GetOutDeviceName();
    m_preview.m_PreviewOut.m_Device.m_strName = outDevice;
    switch (CheckChosenRingTone(m_s.fileSystem, m_s.waveOut, *chosen, outDevice)) {
        case RingToneCheck::TooLarge:
            m_s.messageBoxes.ShowError(m_s.language.GetPopupMessage(4));
            return;
        case RingToneCheck::NotPlayable:
            m_s.messageBoxes.ShowError(m_s.language.GetPopupMessage(3));
            return;
        case RingToneCheck::Ok:
            Controls().SetText(IDC_CUSTOM_PATH, *chosen);
            // A new file is a change like any other: Apply takes it.
            Controls().SetModified();
            return;
    }
}

void CRingTonePage::OnEvent(int id, ControlEvent event) {
    DialogControls& c = Controls();
    if (event == ControlEvent::SliderReleased && id == IDC_SLIDER_1) {
        c.SetModified();
        LevelToSlider("g_AudioOutMixer.SetFaderValue 007");
    } else if (event == ControlEvent::SelectionChanged && id == IDC_RINGTONE_LIST) {
        if (m_preview.IsPlaying())
            StopPreview();
        c.SetModified();
    } else if (event == ControlEvent::Clicked &&
               (id == IDC_RINGTONE_DEFAULT || id == IDC_RINGTONE_CUSTOM)) {
        c.SetCheck(IDC_RINGTONE_DEFAULT, id == IDC_RINGTONE_DEFAULT);
        c.SetCheck(IDC_RINGTONE_CUSTOM, id == IDC_RINGTONE_CUSTOM);
        c.SetModified();
    } else if (event == ControlEvent::Clicked && id == IDC_PLAY) {
        OnPlay();
    } else if (event == ControlEvent::Clicked && id == IDC_STOP) {
        // Closing waits for the device to hand its buffers back, which a
        // short tone has done in moments: done here, not on a thread.
        StopPreview();
    } else if (event == ControlEvent::Clicked && id == IDC_BROWSE) {
        OnBrowse();
    }
}

void CRingTonePage::OnApply() {
    DialogControls& c = Controls();
    Settings& s = m_s.store.settings();
    if (m_preview.IsPlaying()) {
        StopPreview();
        LevelBack("g_AudioOutMixer.SetFaderValue 010");
    }
    s.VAL_RINGTONE = c.ItemText(IDC_RINGTONE_LIST, c.SelectedItem(IDC_RINGTONE_LIST));
    s.VAL_RINGTONE_VOLUME = std::clamp(c.GetPos(IDC_SLIDER_1), 0, 31);
    m_s.links.SetSkypeRingTone();
    s.Val_CustomRingTone = CutUtf16Units(c.GetText(IDC_CUSTOM_PATH), kMaxRingTonePathChars);
    s.VAL_RingTone_Select =
        c.IsChecked(IDC_RINGTONE_DEFAULT) || s.Val_CustomRingTone.empty() ? 0 : 1;
    m_s.store.SaveSettings();
    LevelBack("g_AudioOutMixer.SetFaderValue 011");
}

void CRingTonePage::OnDestroy() {
    if (m_preview.IsPlaying())
        StopPreview();
    // Leaving without Apply (Cancel) must not leave the handset at the
    // level the slider tried.
    if (m_levelFromSlider)
        LevelBack("Ring tone page closed: playback level back");
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
