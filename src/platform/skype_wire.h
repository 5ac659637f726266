// SkypeWire port: the client's desktop API as window messages carry it.
// The OS side owns the link window, the two registered messages, the copy-data
// exchange and the keep-alive timer, and turns what arrives into plain calls
// on a SkypeWireListener, always on the user-interface thread.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vocastra {

// Identifies the client's API window; 0 means none.
using SkypePeer = uintptr_t;

// Attach statuses the client reports (the attach message's lParam).
inline constexpr uint32_t SKYPE_ATTACH_SUCCESS = 0;
inline constexpr uint32_t SKYPE_ATTACH_PENDING_AUTHORIZATION = 1;
inline constexpr uint32_t SKYPE_ATTACH_REFUSED = 2;
inline constexpr uint32_t SKYPE_ATTACH_NOT_AVAILABLE = 3;
inline constexpr uint32_t SKYPE_ATTACH_API_AVAILABLE = 0x8001;

// Keep-alive timer of the link window.
inline constexpr uint32_t TIMER_SKYPE_PING = 1001;
inline constexpr uint32_t kSkypePingPeriodMs = 3000;

// Longest notification or command carried; longer received texts are cut.
inline constexpr std::size_t kSkypeMaxText = 1 << 20;

class SkypeWireListener {
  public:
    virtual ~SkypeWireListener() = default;
    // The client answered the discovery: `peer` is its API window.
    virtual void OnAttachStatus(SkypePeer peer, uint32_t status) = 0;
    // One received text (already bounded, without its terminating NUL) and
    // the window that sent it.
    virtual void OnCopyData(SkypePeer sender, std::string_view text) = 0;
    // A timer of the link window fired.
    virtual void OnTimer(uint32_t id) = 0;
};

class SkypeWire {
  public:
    virtual ~SkypeWire() = default;
    // Creates the link window, registers the two API messages and starts the
    // keep-alive timer (TIMER_SKYPE_PING every kSkypePingPeriodMs). UI thread.
    // Returns false when the window cannot be created (nothing else is done).
    virtual bool Create(SkypeWireListener& listener) = 0;
    // Posts the discovery broadcast carrying the link window. Any thread.
    virtual void BroadcastDiscover() = 0;
    // Sends one command to `peer` and waits until it is taken. Any thread.
    // Returns false when the peer is gone (the send returned 0).
    virtual bool Send(SkypePeer peer, std::string_view command) = 0;
    // Stops the timer and destroys the link window. UI thread.
    virtual void Destroy() = 0;
};

}  // namespace vocastra
