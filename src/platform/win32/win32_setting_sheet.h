// The settings sheet as a Win32 property sheet: five pages from the dialog
// resources, run modally on the main dialog. Page and sheet messages become
// calls on the portable sheet model (SettingSheetEvents).
#pragma once
#include <windows.h>

#include <memory>

#include "platform/setting_sheet.h"

namespace vocastra::win32 {

class Win32MainWindow;

class Win32SettingSheet : public SettingSheetHost {
  public:
    // The sheet is modal on the main dialog.
    explicit Win32SettingSheet(Win32MainWindow& owner) : m_owner(owner) {}

    void Run(SettingSheetEvents& events, int startPage) override;
    void SetActivePage(int page) override;
    void PressCancel() override;

    HWND Handle() const { return m_sheet; }

  private:
    static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    Win32MainWindow& m_owner;
    SettingSheetEvents* m_events = nullptr;
    HWND m_sheet = nullptr;
    std::unique_ptr<SheetFrame> m_frame;  // while the sheet's window exists
};

}  // namespace vocastra::win32
