// The virtual handset served on a named pipe, as vocastra.exe finds it when
// VOCASTRA_VIRTUAL_HANDSET names the pipe: one message per report, plug and
// unplug announced (src/platform/win32/virtual_handset_wire.h). The handset
// model decodes what the program writes and keeps the wire trace.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/sim/fake_clock.h"
#include "platform/sim/virtual_handset.h"

namespace e2e {

class HandsetServer {
  public:
    // Creates the pipe `\\.\pipe\<name>` and waits for the program in a
    // thread; `plugged`: whether the handset is present when it connects.
    HandsetServer(const std::wstring& name, bool plugged);
    ~HandsetServer();
    HandsetServer(const HandsetServer&) = delete;
    HandsetServer& operator=(const HandsetServer&) = delete;

    std::wstring PipePath() const { return m_path; }
    // "VOCASTRA_VIRTUAL_HANDSET=<pipe>", for Process::Start.
    std::wstring EnvEntry() const { return L"VOCASTRA_VIRTUAL_HANDSET=" + m_path; }

    bool Connected() const { return m_connected; }
    void Plug();
    void Unplug();
    vocastra::VirtualHandset& handset() { return m_handset; }

    // How many trace lines equal `line`.
    int Count(const std::string& line) const;
    // The trace, one line each, for failure messages.
    std::string TraceText() const;
    // The display once the program has stopped writing to it for `quietMs`
    // (a screen is sent a page at a time); at most ten seconds of waiting.
    std::string SettledFrame(DWORD quietMs = 200);
    // A frame as a PBM picture (one pixel a dot), to be looked at.
    static void SaveFrame(const std::string& frame, const std::wstring& path);

  private:
    void Serve();
    bool Send(const std::vector<uint8_t>& msg);

    std::wstring m_path;
    vocastra::SystemClock m_clock;
    vocastra::VirtualHandset m_handset{m_clock};
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
    HANDLE m_stop = nullptr;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_plugged;
    std::mutex m_writeMutex;
    std::thread m_thread;
};

}  // namespace e2e
