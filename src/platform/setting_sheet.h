// SettingSheet port: the settings property sheet as a modal window with
// five pages, each a dialog whose controls are reached by their resource
// ids. The portable sheet model (settings_ui/) gets every page and sheet
// event through SettingSheetEvents and changes the controls through
// DialogControls and SheetFrame. Everything runs on the user-interface
// thread.
#pragma once
#include <string>

namespace vocastra {

// The controls of one page that exists (from its initialisation until it is
// destroyed). An id the page does not have is ignored: setters do nothing,
// getters return an empty text, false, 0 or -1.
class DialogControls {
  public:
    virtual ~DialogControls() = default;
    virtual void SetText(int id, const std::string& text) = 0;
    virtual std::string GetText(int id) = 0;
    virtual void Show(int id, bool visible) = 0;
    virtual bool IsVisible(int id) = 0;
    // Check boxes and radio buttons.
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool IsChecked(int id) = 0;
    // Sliders.
    virtual void SetRange(int id, int min, int max) = 0;
    virtual void SetPos(int id, int pos) = 0;
    virtual int GetPos(int id) = 0;
    // Drop-down lists; a selection of -1 is none. Selecting an index the
    // list does not have selects none.
    virtual void ResetItems(int id) = 0;
    virtual void InsertItem(int id, int index, const std::string& text) = 0;
    virtual int ItemCount(int id) = 0;
    virtual std::string ItemText(int id, int index) = 0;
    virtual void SelectItem(int id, int index) = 0;
    virtual int SelectedItem(int id) = 0;
    // Marks the page changed, which enables the sheet's Apply button.
    virtual void SetModified() = 0;
};

// The sheet's own window: caption, tab titles, and its buttons by id
// (1 OK, 2 Cancel, 12321 Apply).
class SheetFrame {
  public:
    virtual ~SheetFrame() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetTabTitle(int page, const std::string& text) = 0;
    virtual void SetButtonText(int id, const std::string& text) = 0;
};

// What a control did, as far as the pages care.
enum class ControlEvent {
    Clicked,           // button, check box or radio button
    SelectionChanged,  // drop-down list
    SliderReleased,    // the user let go of a slider
};

// The sheet model's side, called by the host while the sheet runs.
class SettingSheetEvents {
  public:
    virtual ~SettingSheetEvents() = default;
    // The sheet window exists; `frame` stays valid until Run returns.
    virtual void OnSheetInit(SheetFrame& frame) = 0;
    // Page `page` was created (the first time it is shown).
    virtual void OnPageInit(int page, DialogControls& controls) = 0;
    virtual void OnPageEvent(int page, int controlId, ControlEvent event) = 0;
    // OK or Apply: called for every page that exists, in page order.
    virtual void OnPageApply(int page) = 0;
    // The page's window goes away (the sheet closes).
    virtual void OnPageDestroy(int page) = 0;
};

class SettingSheetHost {
  public:
    virtual ~SettingSheetHost() = default;
    // Shows the sheet modally on the main window, starting at `startPage`,
    // and returns when it was closed (OK or Cancel).
    virtual void Run(SettingSheetEvents& events, int startPage) = 0;
    // While Run runs (from inside it): makes `page` the shown page.
    virtual void SetActivePage(int page) = 0;
    // While Run runs: as if the user pressed Cancel.
    virtual void PressCancel() = 0;
};

}  // namespace vocastra
