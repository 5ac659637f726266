#include "platform/win32/win32_tray_icon.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include "app/messages.h"
#include "app/text_util.h"

namespace vocastra {

namespace {

constexpr UINT kTrayId = 130;

struct LoadedIcon {
    HICON icon = nullptr;
    bool owned = false;  // loaded from our resources: destroyed after use
    ~LoadedIcon() {
        if (owned && icon)
            DestroyIcon(icon);
    }
};

void Load(TrayImage image, LoadedIcon& out) {
    switch (image) {
        case TrayImage::Application:
            out.icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                     MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0,
                                                     0, LR_DEFAULTSIZE));
            out.owned = out.icon != nullptr;
            if (!out.icon)
                out.icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
            break;
        case TrayImage::Error:
            out.icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32513));
            break;  // IDI_HAND
        case TrayImage::Information:
            out.icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));
            break;  // IDI_ASTERISK
    }
}

NOTIFYICONDATAW Record(void* owner) {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = sizeof(nid);
    nid.hWnd = static_cast<HWND>(owner);
    nid.uID = kTrayId;
    return nid;
}

void CopyTip(NOTIFYICONDATAW& nid, const std::string& tip) {
    // Cut by whole characters: half a surrogate pair is no text.
    const std::u16string w = Utf8ToUtf16(CutUtf16Units(tip, 127));
    const size_t n = std::min<size_t>(w.size(), 127);
    for (size_t i = 0; i < n; ++i)
        nid.szTip[i] = static_cast<wchar_t>(w[i]);
    nid.szTip[n] = L'\0';
}

}  // namespace

bool Win32TrayIcon::Add(TrayImage image, const std::string& tip) {
    LoadedIcon icon;
    Load(image, icon);
    NOTIFYICONDATAW nid = Record(Owner());
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAY_NOTIFY;
    nid.hIcon = icon.icon;
    CopyTip(nid, tip);
    return Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
}

bool Win32TrayIcon::SetImage(TrayImage image) {
    LoadedIcon icon;
    Load(image, icon);
    NOTIFYICONDATAW nid = Record(Owner());
    nid.uFlags = NIF_ICON;
    nid.hIcon = icon.icon;
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

bool Win32TrayIcon::SetTip(const std::string& tip) {
    NOTIFYICONDATAW nid = Record(Owner());
    nid.uFlags = NIF_TIP;
    CopyTip(nid, tip);
    return Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

bool Win32TrayIcon::Remove() {
    NOTIFYICONDATAW nid = Record(Owner());
    return Shell_NotifyIconW(NIM_DELETE, &nid) != FALSE;
}

}  // namespace vocastra
