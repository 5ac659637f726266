#include "platform/win32/win32_setting_sheet.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "settings_ui/setting_ids.h"

namespace vocastra::win32 {
namespace {

// The sheet being run; one at a time, on the user-interface thread. The
// sheet callback gets no context of its own.
Win32SettingSheet* g_running = nullptr;

struct PageContext {
    SettingSheetEvents* events = nullptr;
    int page = 0;
    std::unique_ptr<DialogControls> controls;  // while the page's window exists
};

std::wstring WindowText(HWND w) {
    if (!w)
        return {};
    const int n = ::GetWindowTextLengthW(w);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(w, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

class PageControls : public DialogControls {
  public:
    explicit PageControls(HWND page) : m_page(page) {}

    void SetText(int id, const std::string& text) override {
        if (HWND w = Item(id))
            ::SetWindowTextW(w, Wide(text).c_str());
    }
    std::string GetText(int id) override { return Narrow(WindowText(Item(id))); }
    void Show(int id, bool visible) override {
        if (HWND w = Item(id))
            ::ShowWindow(w, visible ? SW_SHOW : SW_HIDE);
    }
    bool IsVisible(int id) override {
        HWND w = Item(id);
        return w && (::GetWindowLongW(w, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    void SetCheck(int id, bool checked) override {
        if (HWND w = Item(id))
            ::SendMessageW(w, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool IsChecked(int id) override {
        HWND w = Item(id);
        return w && ::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void SetRange(int id, int min, int max) override {
        if (HWND w = Item(id)) {
            ::SendMessageW(w, TBM_SETRANGEMIN, FALSE, min);
            ::SendMessageW(w, TBM_SETRANGEMAX, TRUE, max);
        }
    }
    void SetPos(int id, int pos) override {
        if (HWND w = Item(id))
            ::SendMessageW(w, TBM_SETPOS, TRUE, pos);
    }
    int GetPos(int id) override {
        HWND w = Item(id);
        return w ? static_cast<int>(::SendMessageW(w, TBM_GETPOS, 0, 0)) : 0;
    }
    void ResetItems(int id) override {
        if (HWND w = Item(id))
            ::SendMessageW(w, CB_RESETCONTENT, 0, 0);
    }
    void InsertItem(int id, int index, const std::string& text) override {
        if (HWND w = Item(id))
            ::SendMessageW(w, CB_INSERTSTRING, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }
    int ItemCount(int id) override {
        HWND w = Item(id);
        const LRESULT n = w ? ::SendMessageW(w, CB_GETCOUNT, 0, 0) : 0;
        return n > 0 ? static_cast<int>(n) : 0;
    }
    std::string ItemText(int id, int index) override {
        HWND w = Item(id);
        if (!w || index < 0)
            return {};
        const LRESULT n = ::SendMessageW(w, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (n == CB_ERR || n < 0)
            return {};
        std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
        const LRESULT got = ::SendMessageW(w, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return Narrow(text);
    }
    void SelectItem(int id, int index) override {
        if (HWND w = Item(id))
            ::SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    int SelectedItem(int id) override {
        HWND w = Item(id);
        const LRESULT sel = w ? ::SendMessageW(w, CB_GETCURSEL, 0, 0) : CB_ERR;
        return sel == CB_ERR ? -1 : static_cast<int>(sel);
    }
    void SetModified() override {
        ::SendMessageW(::GetParent(m_page), PSM_CHANGED, reinterpret_cast<WPARAM>(m_page), 0);
    }

  private:
    HWND Item(int id) const { return ::GetDlgItem(m_page, id); }
    HWND m_page;
};

class Frame : public SheetFrame {
  public:
    explicit Frame(HWND sheet) : m_sheet(sheet) {}
    void SetCaption(const std::string& text) override {
        ::SetWindowTextW(m_sheet, Wide(text).c_str());
    }
    void SetTabTitle(int page, const std::string& text) override {
        HWND tab = reinterpret_cast<HWND>(::SendMessageW(m_sheet, PSM_GETTABCONTROL, 0, 0));
        if (!tab)
            return;
        std::wstring w = Wide(text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = w.data();
        ::SendMessageW(tab, TCM_SETITEMW, static_cast<WPARAM>(page),
                       reinterpret_cast<LPARAM>(&item));
    }
    void SetButtonText(int id, const std::string& text) override {
        if (HWND w = ::GetDlgItem(m_sheet, id))
            ::SetWindowTextW(w, Wide(text).c_str());
    }

  private:
    HWND m_sheet;
};

// The dialog template's style, also in its extended form.
DWORD* TemplateStyle(LPARAM tmpl) {
    auto* words = reinterpret_cast<WORD*>(tmpl);
    if (words[0] == 1 && words[1] == 0xFFFF)  // DLGTEMPLATEEX: version, signature
        return reinterpret_cast<DWORD*>(words + 6);
    return &reinterpret_cast<DLGTEMPLATE*>(tmpl)->style;
}

// A dialog's icon control shows the icon the size it was loaded at; the
// system's icon size follows the DPI, so the program icon is loaded anew at
// that size (scaled by the system where the resource has none so large).
void ShowIconsAtSystemSize(HWND page) {
    // Loaded once for the process (a shared icon would come back at the
    // size it was first loaded at).
    static HANDLE icon =
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_ICON_MAINFRAME), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0);
    for (HWND child = ::GetWindow(page, GW_CHILD); child && icon;
         child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            ::SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

}  // namespace

int CALLBACK Win32SettingSheet::SheetCallback(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == PSCB_PRECREATE && lParam) {
        // No "?" button in the caption.
        *TemplateStyle(lParam) &= ~static_cast<DWORD>(DS_CONTEXTHELP);
    } else if (msg == PSCB_INITIALIZED && g_running) {
        g_running->m_sheet = hwnd;
        HICON icon = static_cast<HICON>(::LoadImageW(
            ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_ICON_MAINFRAME), IMAGE_ICON,
            ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        g_running->m_frame = std::make_unique<Frame>(hwnd);
        g_running->m_events->OnSheetInit(*g_running->m_frame);
        // Its owner is the hidden main window in a corner of the screen:
        // centred on that, the sheet would hang off the corner. It goes to
        // the middle of the screen the user clicked on, and to the front.
        RECT sheet{};
        ::GetWindowRect(hwnd, &sheet);
        POINT at{};
        ::GetCursorPos(&at);
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (::GetMonitorInfoW(::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &mi)) {
            const RECT& work = mi.rcWork;
            const int w = sheet.right - sheet.left, h = sheet.bottom - sheet.top;
            ::SetWindowPos(hwnd, nullptr,
                           work.left + std::max(0L, (work.right - work.left - w) / 2),
                           work.top + std::max(0L, (work.bottom - work.top - h) / 2), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ::SetForegroundWindow(hwnd);
    }
    return 0;
}

INT_PTR CALLBACK Win32SettingSheet::PageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
        auto* ctx = reinterpret_cast<PageContext*>(psp->lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(ctx));
        ctx->controls = std::make_unique<PageControls>(hwnd);
        ctx->events->OnPageInit(ctx->page, *ctx->controls);
        ShowIconsAtSystemSize(hwnd);
        return TRUE;
    }
    auto* ctx = reinterpret_cast<PageContext*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!ctx)
        return FALSE;
    switch (msg) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (code == BN_CLICKED && lParam)
                ctx->events->OnPageEvent(ctx->page, id, ControlEvent::Clicked);
            else if (code == CBN_SELCHANGE)
                ctx->events->OnPageEvent(ctx->page, id, ControlEvent::SelectionChanged);
            return TRUE;
        }
        case WM_HSCROLL:
            // The end of every change the user makes to a slider, by mouse or
            // by keys; the release-capture notification misses page clicks
            // (under some common-control versions) and keys.
            if (LOWORD(wParam) == TB_ENDTRACK && lParam)
                ctx->events->OnPageEvent(ctx->page, ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)),
                                         ControlEvent::SliderReleased);
            return TRUE;
        case WM_NOTIFY: {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (hdr->code == static_cast<UINT>(PSN_APPLY)) {
                ctx->events->OnPageApply(ctx->page);
                ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, PSNRET_NOERROR);
                return TRUE;
            }
            return FALSE;
        }
        case WM_DESTROY: {
            ctx->events->OnPageDestroy(ctx->page);
            ctx->controls.reset();
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            return FALSE;
        }
        default:
            return FALSE;
    }
}

void Win32SettingSheet::Run(SettingSheetEvents& events, int startPage) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    PageContext contexts[kSettingPageCount];
    PROPSHEETPAGEW pages[kSettingPageCount] = {};
    for (int i = 0; i < kSettingPageCount; ++i) {
        contexts[i].events = &events;
        contexts[i].page = i;
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(kPageDialogIds[i]);
        pages[i].pfnDlgProc = &Win32SettingSheet::PageProc;
        pages[i].lParam = reinterpret_cast<LPARAM>(&contexts[i]);
    }
    wchar_t caption[128] = L"Options";
    ::LoadStringW(instance, RES_STR_OPTIONS, caption, 128);

    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOCONTEXTHELP | PSH_USEHICON;
    header.hwndParent = m_owner.Handle();
    header.hInstance = instance;
    header.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(RES_ICON_MAINFRAME),
                                                   IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    header.pszCaption = caption;
    header.nPages = kSettingPageCount;
    header.nStartPage = static_cast<UINT>(startPage);
    header.ppsp = pages;
    header.pfnCallback = &Win32SettingSheet::SheetCallback;

    m_events = &events;
    g_running = this;
    ::PropertySheetW(&header);
    g_running = nullptr;
    m_events = nullptr;
    m_sheet = nullptr;
    m_frame.reset();
}

void Win32SettingSheet::SetActivePage(int page) {
    if (m_sheet)
        ::SendMessageW(m_sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
}

void Win32SettingSheet::PressCancel() {
    if (m_sheet)
        ::SendMessageW(m_sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

}  // namespace vocastra::win32
