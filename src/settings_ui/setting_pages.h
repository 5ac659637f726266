// The five pages of the settings sheet.
#pragma once
#include <string>

#include "audio/ring_tone_choice.h"
#include "settings_ui/setting_dlg.h"
#include "settings_ui/settings_links.h"

namespace vocastra {

// Handset volume and the system's default sound devices. On Vista and later
// the device lists give way to buttons that open the Sound control panel.
class CAudioSettingPage : public SettingPage {
  public:
    using SettingPage::SettingPage;
    void OnInitDialog() override;
    void OnEvent(int controlId, ControlEvent event) override;
    void OnApply() override;

  private:
    SoundDeviceNames m_initialDefaults;  // as read when the page was shown
};

// Display contrast and key tones.
class CPhoneSettingPage : public SettingPage {
  public:
    using SettingPage::SettingPage;
    void OnInitDialog() override;
    void OnEvent(int controlId, ControlEvent event) override;
    void OnApply() override;
};

// Ring tone and ring volume, with a preview on the handset.
class CRingTonePage : public SettingPage {
  public:
    CRingTonePage(CSettingDlg& sheet, SheetServices& services);
    void OnInitDialog() override;
    void OnEvent(int controlId, ControlEvent event) override;
    void OnApply() override;
    void OnDestroy() override;

  private:
    std::string ShippedPathOfSelection();
    // The handset's playback level: the slider's while choosing, the
    // stored one otherwise.
    void LevelToSlider(const char* logText);
    void LevelBack(const char* logText);
    void OnPlay();
    void OnBrowse();
    void StopPreview();

    RingTonePreview m_preview;
    bool m_levelFromSlider = false;  // the level is the slider's, not the stored one
};

// Language and start at log-on.
class CAdvanceSettingPage : public SettingPage {
  public:
    using SettingPage::SettingPage;
    void OnInitDialog() override;
    void OnEvent(int controlId, ControlEvent event) override;
    void OnApply() override;
};

// Version and copyright; nothing to apply.
class CAboutPage : public SettingPage {
  public:
    using SettingPage::SettingPage;
    void OnInitDialog() override;
};

}  // namespace vocastra
