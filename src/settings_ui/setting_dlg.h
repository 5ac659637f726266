// CSettingDlg: the settings property sheet's model, with its five pages.
// The host (SettingSheet port) shows the sheet and reports what the user
// does; the pages read and apply the settings. One CSettingDlg lives while
// one sheet is open.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/setting_sheet.h"
#include "settings_ui/setting_ids.h"

namespace vocastra {

class FileDialog;
class FileSystem;
class LanguageTexts;
class MainWindow;
class MessageBoxes;
class OsVersion;
class SettingsStore;
class WaveOut;
struct SettingsLinks;

// What the pages use, shared by all of them.
struct SheetServices {
    LanguageTexts& language;
    SettingsStore& store;
    MainWindow& mainWindow;
    OsVersion& osVersion;
    SettingsLinks& links;
    // The ring-tone page's: its file checks, preview, browser and error boxes.
    FileSystem& fileSystem;
    WaveOut& waveOut;
    FileDialog& fileDialog;
    MessageBoxes& messageBoxes;
};

class CSettingDlg;

// One page: created when first shown, applied on OK and Apply, destroyed
// with the sheet.
class SettingPage {
  public:
    SettingPage(CSettingDlg& sheet, SheetServices& services) : m_sheet(sheet), m_s(services) {}
    virtual ~SettingPage() = default;
    virtual void OnInitDialog() = 0;
    virtual void OnEvent(int /*controlId*/, ControlEvent /*event*/) {}
    virtual void OnApply() {}
    virtual void OnDestroy() {}

    bool Exists() const { return m_controls != nullptr; }
    DialogControls& Controls() { return *m_controls; }

  protected:
    CSettingDlg& m_sheet;
    SheetServices& m_s;

  private:
    friend class CSettingDlg;
    DialogControls* m_controls = nullptr;
};

class CSettingDlg : public SettingSheetEvents {
  public:
    explicit CSettingDlg(SheetServices& services);
    ~CSettingDlg() override;
    CSettingDlg(const CSettingDlg&) = delete;
    CSettingDlg& operator=(const CSettingDlg&) = delete;

    // Puts every text of the sheet and of each page that exists in place
    // from the current language file, then asks the main window to refresh
    // the tray texts.
    void ApplyLanguageTexts();

    // A language chosen from the tray while the sheet is open: the
    // Advanced page's list follows (when that page exists).
    void SelectLanguageEntry(int language);

    SettingPage& Page(int page) { return *m_pages[static_cast<std::size_t>(page)]; }

    // SettingSheetEvents
    void OnSheetInit(SheetFrame& frame) override;
    void OnPageInit(int page, DialogControls& controls) override;
    void OnPageEvent(int page, int controlId, ControlEvent event) override;
    void OnPageApply(int page) override;
    void OnPageDestroy(int page) override;

  private:
    bool Valid(int page) const { return page >= 0 && page < kSettingPageCount; }

    SheetServices& m_s;
    SheetFrame* m_frame = nullptr;
    std::array<std::unique_ptr<SettingPage>, kSettingPageCount> m_pages;
};

// "Version_Info" takes the version text in place of its "%s". The text
// comes from a language file, so it is never used as a printf format: only
// the first "%s" is replaced and "%%" becomes "%"; anything else stays.
std::string FormatVersionText(const std::string& format, const std::string& version);

}  // namespace vocastra
