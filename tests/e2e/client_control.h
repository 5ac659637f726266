// Talking to the stand-in client (tools/skype-sim) from a scenario.
#pragma once
#include <windows.h>

#include <string>

#include "harness.h"

namespace e2e {

inline HWND ClientWindow() {
    return ::FindWindowW(L"tSkMainForm", nullptr);
}

// One control line (ring, answer, hangup, quit, return, form …).
inline void Control(const std::string& line) {
    constexpr ULONG_PTR kControlTag = 0x53494D43;
    HWND client = ClientWindow();
    E2E_CHECK_MSG(client != nullptr, "the stand-in client is gone");
    std::string z = line;
    COPYDATASTRUCT cds{kControlTag, static_cast<DWORD>(z.size() + 1), z.data()};
    DWORD_PTR result = 0;
    E2E_CHECK_MSG(::SendMessageTimeoutW(client, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                        SMTO_ABORTIFHUNG, 5000, &result) &&
                      result == TRUE,
                  "the stand-in client did not take \"" << line << "\"");
}

}  // namespace e2e
