// The client's desktop API over window messages: the link window
// "Skype_Monitor" (a child of the main dialog, id 100), the two registered
// API messages, WM_COPYDATA both ways and the keep-alive timer.
#pragma once
#include <windows.h>

#include "platform/skype_wire.h"

namespace vocastra::win32 {

class Win32SkypeWire : public SkypeWire {
  public:
    // The dialog the link window is a child of; set before Create.
    void SetParent(HWND parent) { m_parent = parent; }
    HWND Handle() const { return m_hwnd; }
    // The attach message's id (registered on first use).
    static UINT AttachMessage();
    // How long a send waits for the client before counting it as gone.
    static constexpr UINT kSendTimeoutMs = 5000;
    void SetSendTimeout(UINT ms) { m_sendTimeoutMs = ms; }

    bool Create(SkypeWireListener& listener) override;
    void BroadcastDiscover() override;
    bool Send(SkypePeer peer, std::string_view command) override;
    void Destroy() override;

  private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_parent = nullptr;
    HWND m_hwnd = nullptr;
    UINT m_uAttachMsg = 0;
    UINT m_uDiscoverMsg = 0;
    UINT m_sendTimeoutMs = kSendTimeoutMs;
    SkypeWireListener* m_listener = nullptr;
};

}  // namespace vocastra::win32
