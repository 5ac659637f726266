#include "platform/win32/main_dialog.h"

#include "app/application.h"
#include "app/messages.h"
#include "platform/win32/win32_main_window.h"
#include "resource.h"

namespace vocastra::win32 {

static_assert(RES_DIALOG_MAIN == IDD_VOCASTRA_DIALOG && RES_ICON_MAINFRAME == IDR_MAINFRAME &&
              RES_STR_OPTIONS == IDS_OPTIONS && RES_CMD_EXIT == ID_APP_EXIT_CMD);
static_assert(WM_TIMECHANGE == kMsgTimeChange);
static_assert(RES_CMD_LANGUAGE_0 == ID_LANGUAGE_COMMANDS[0] &&
              RES_CMD_LANGUAGE_1 == ID_LANGUAGE_COMMANDS[1] &&
              RES_CMD_LANGUAGE_2 == ID_LANGUAGE_COMMANDS[2] &&
              RES_CMD_LANGUAGE_3 == ID_LANGUAGE_COMMANDS[3] &&
              RES_CMD_LANGUAGE_4 == ID_LANGUAGE_COMMANDS[4]);
static_assert(RES_CMD_SETTING_AUDIO == ID_SETTING_PAGE_COMMANDS[0] &&
              RES_CMD_SETTING_PHONE == ID_SETTING_PAGE_COMMANDS[1] &&
              RES_CMD_SETTING_RINGTONE == ID_SETTING_PAGE_COMMANDS[2] &&
              RES_CMD_SETTING_ADVANCED == ID_SETTING_PAGE_COMMANDS[3] &&
              RES_CMD_SETTING_ABOUT == ID_SETTING_PAGE_COMMANDS[4]);

namespace {

constexpr wchar_t kTitle[] = L"ORMA-VOCASTRA";
constexpr wchar_t kClassName[] = L"Vocastra.Class";
constexpr wchar_t kStandardDialogClass[] = L"#32770";

// The main window's private messages, which the portable core routes.
bool IsCoreMessage(UINT msg) {
    switch (msg) {
        case WM_UPDATE_TRAY:
        case WM_START_RING:
        case WM_STOP_RING:
        case WM_UNSUPPORTED_SKYPE:
        case WM_REARM_DISPLAY_REFRESH:
        case WM_TIMECHANGE:
        case WM_QUIT_REQUEST:
        case WM_TRAY_NOTIFY:
        case kMsgMixerControlChange:
            return true;
        default:
            return false;
    }
}

}  // namespace

MainDialog::MainDialog(HINSTANCE instance, Application& app, Win32MainWindow& mainWindow)
    : m_instance(instance), m_app(app), m_mainWindow(mainWindow) {}

bool MainDialog::RegisterWindowClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(nullptr, kStandardDialogClass, &wc))
        return false;
    wc.hInstance = m_instance;
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

INT_PTR MainDialog::RunModal() {
    return ::DialogBoxParamW(m_instance, MAKEINTRESOURCEW(RES_DIALOG_MAIN), nullptr,
                             &MainDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Never visible, also not when the dialog manager or anyone else asks to
    // show it (and even before initialisation).
    if (msg == WM_WINDOWPOSCHANGING) {
        reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return FALSE;
    }
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<MainDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return self->OnInitDialog(hwnd);
    }
    auto* self = reinterpret_cast<MainDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    return self ? self->OnMessage(msg, wParam, lParam) : FALSE;
}

INT_PTR MainDialog::OnInitDialog(HWND hwnd) {
    m_hwnd = hwnd;
    m_mainWindow.SetHandle(hwnd);
    m_bigIcon = static_cast<HICON>(::LoadImageW(m_instance, MAKEINTRESOURCEW(RES_ICON_MAINFRAME),
                                                IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                ::GetSystemMetrics(SM_CYICON), 0));
    m_smallIcon = static_cast<HICON>(::LoadImageW(m_instance, MAKEINTRESOURCEW(RES_ICON_MAINFRAME),
                                                  IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    // The title a second instance looks for.
    ::SetWindowTextW(hwnd, kTitle);
    for (auto& f : hooks.onDialogCreated)
        f(hwnd);
    m_app.dlg.OnInitDialog();
    return TRUE;
}

void MainDialog::SetResult(LRESULT result) {
    ::SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
}

bool MainDialog::PaintIconic() {
    if (!::IsIconic(m_hwnd))
        return false;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hwnd, &ps);
    ::SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc;
    ::GetClientRect(m_hwnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_bigIcon);
    ::EndPaint(m_hwnd, &ps);
    return true;
}

INT_PTR MainDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_mainWindow.HandleTimerRequest(msg, wParam, lParam))
        return TRUE;
    switch (msg) {
        case WM_PAINT:
            return PaintIconic() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_bigIcon);
        case WM_DEVICECHANGE:
            if (!hooks.onDeviceChange)
                return FALSE;
            SetResult(hooks.onDeviceChange(m_hwnd, wParam, lParam));
            return TRUE;
        case WM_TIMER:
            return m_app.HandleMessage(msg, wParam, lParam) ? TRUE : FALSE;
        case WM_COMMAND:
            if (m_app.HandleMessage(msg, wParam, lParam))
                return TRUE;
            // As a dialog does by default: OK and Cancel (also what WM_CLOSE
            // becomes) end the modal loop.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(m_hwnd, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_ENDSESSION:
            // The session ends without the quit routine: keep what the user
            // changed since the last save.
            if (wParam)
                m_app.settingsStore.SaveSettings();
            return FALSE;
        default:
            break;
    }
    if (IsCoreMessage(msg)) {
        m_app.HandleMessage(msg, wParam, lParam);
        return FALSE;  // then on to default processing
    }
    for (auto& r : hooks.registeredMessages) {
        if (r.id != 0 && r.id == msg && r.handler) {
            r.handler(m_hwnd, wParam, lParam);
            return FALSE;
        }
    }
    return FALSE;
}

}  // namespace vocastra::win32
