// The hidden main dialog (resource 138, class "Vocastra.Class"): runs the
// modal loop, keeps itself invisible, and turns window messages into calls on
// the portable core (Application::HandleMessage) and on the hooks the Win32
// layers of the subsystems have filled.
#pragma once
#include <windows.h>

#include "platform/win32/dialog_hooks.h"

namespace vocastra {
class Application;
}

namespace vocastra::win32 {

class Win32MainWindow;

class MainDialog {
  public:
    MainDialog(HINSTANCE instance, Application& app, Win32MainWindow& mainWindow);
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Registers "Vocastra.Class" as a copy of the standard dialog class.
    bool RegisterWindowClass();
    // Creates the dialog and runs its modal loop; returns the EndDialog result
    // (in normal operation it does not return: the quit routine ends the
    // process).
    INT_PTR RunModal();

    HWND Handle() const { return m_hwnd; }
    HINSTANCE Instance() const { return m_instance; }
    HICON AppIcon() const { return m_bigIcon; }
    Application& App() { return m_app; }

    DialogHooks hooks;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialog(HWND hwnd);
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    bool PaintIconic();
    void SetResult(LRESULT result);

    HINSTANCE m_instance;
    Application& m_app;
    Win32MainWindow& m_mainWindow;
    HWND m_hwnd = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
};

}  // namespace vocastra::win32
