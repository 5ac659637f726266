// The settings sheet on the simulated platform: pages whose controls are
// plain records (text, visibility, check, slider, list), created from the
// page tables as the dialog resources would create them. A "user" function
// runs while the sheet is open, as the modal loop would: it shows pages,
// moves sliders, picks entries and presses OK, Apply or Cancel. Records every
// step as a line ("SHEET open 1", "SHEET apply", ...).
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/setting_sheet.h"
#include "settings_ui/setting_ids.h"

namespace vocastra {

struct SimControl {
    ControlKind kind = ControlKind::Label;
    std::string text;
    bool visible = true;
    bool checked = false;
    int min = 0, max = 100, pos = 0;
    std::vector<std::string> items;
    int selection = -1;
};

class SimDialogControls : public DialogControls {
  public:
    SimDialogControls(int page, std::function<void()> onModified);

    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) override;
    void Show(int id, bool visible) override;
    bool IsVisible(int id) override;
    void SetCheck(int id, bool checked) override;
    bool IsChecked(int id) override;
    void SetRange(int id, int min, int max) override;
    void SetPos(int id, int pos) override;
    int GetPos(int id) override;
    void ResetItems(int id) override;
    void InsertItem(int id, int index, const std::string& text) override;
    int ItemCount(int id) override;
    std::string ItemText(int id, int index) override;
    void SelectItem(int id, int index) override;
    int SelectedItem(int id) override;
    void SetModified() override;

    // The control, or nullptr when the page has no such id.
    SimControl* Find(int id);
    const std::map<int, SimControl>& All() const { return m_controls; }

  private:
    std::map<int, SimControl> m_controls;
    std::function<void()> m_onModified;
};

class SimSettingSheet : public SettingSheetHost, public SheetFrame {
  public:
    using User = std::function<void(SimSettingSheet&)>;
    // Runs while a sheet is open; when it returns without closing the sheet,
    // the sheet is cancelled. Without one, a sheet is cancelled at once.
    void SetUser(User user) { m_user = std::move(user); }

    // SettingSheetHost
    void Run(SettingSheetEvents& events, int startPage) override;
    void SetActivePage(int page) override;
    void PressCancel() override;
    // SheetFrame
    void SetCaption(const std::string& text) override;
    void SetTabTitle(int page, const std::string& text) override;
    void SetButtonText(int id, const std::string& text) override;

    // The user's actions on the open sheet; each does nothing when no sheet
    // is open. A slider move ends with the release notification.
    void ShowPage(int page);
    void Click(int id);
    void SelectEntry(int id, int index);
    void MoveSlider(int id, int pos);
    void SetCheckBox(int id, bool checked);  // clicks when it changes
    void PressApply();
    void PressOk();

    bool IsOpen() const { return m_events != nullptr; }
    int ActivePage() const { return m_active; }
    bool PageExists(int page) const;
    bool ApplyEnabled() const { return m_applyEnabled; }
    // The controls of an existing page, or nullptr.
    SimDialogControls* Page(int page);
    std::string Caption() const { return m_caption; }
    std::string TabTitle(int page) const;
    std::string ButtonText(int id) const;
    std::vector<std::string> Records() const { return m_records; }
    int RunCount() const { return m_runs; }

  private:
    void Close();
    void ApplyAll();

    SettingSheetEvents* m_events = nullptr;
    User m_user;
    std::unique_ptr<SimDialogControls> m_pages[kSettingPageCount];
    int m_active = -1;
    bool m_applyEnabled = false;
    std::string m_caption;
    std::string m_tabs[kSettingPageCount];
    std::map<int, std::string> m_buttons;
    std::vector<std::string> m_records;
    int m_runs = 0;
};

}  // namespace vocastra
