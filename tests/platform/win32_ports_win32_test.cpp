// The Win32 ports against the real API (Wine's, in the test run).
#include <windows.h>
// The port's method shares its name with the API's A/W macro.
#undef GetModuleFileName

#include <string>
#include <thread>

#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_module_path.h"
#include "platform/win32/win32_registry.h"
#include "test_support.h"

namespace vocastra {
namespace {

// A key of our own under HKCU, removed afterwards.
class TestKey {
  public:
    TestKey() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path = std::string("Software\\VocastraTests\\") + info->name();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path).c_str());
        HKEY k = nullptr;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, &k, nullptr);
        ::RegCloseKey(k);
    }
    ~TestKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VocastraTests"); }
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

    // The raw type and size of a value, as another program reads it.
    bool Query(const std::string& name, DWORD* type, DWORD* bytes) const {
        HKEY k = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &k))
            return false;
        const bool ok =
            ::RegQueryValueExW(k, Wide(name).c_str(), nullptr, type, nullptr, bytes) == 0;
        ::RegCloseKey(k);
        return ok;
    }
    void SetRaw(const std::string& name, DWORD type, const void* data, DWORD bytes) const {
        HKEY k = nullptr;
        ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_SET_VALUE, &k);
        ::RegSetValueExW(k, Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
        ::RegCloseKey(k);
    }

    std::string path;
};

constexpr auto kUser = RegistryRoot::CurrentUser;

TEST(Win32Registry, StringsAndDwordsUnderExistingKeys) {
    TestKey key;
    win32::Win32Registry reg;
    EXPECT_TRUE(reg.KeyExists(kUser, key.path));
    // The Run key is named with a trailing separator.
    EXPECT_TRUE(reg.KeyExists(kUser, key.path + "\\"));

    const std::string path = "C:\\Program Files\\Vocastra \xE6\x89\x8B\\vocastra.exe";
    EXPECT_TRUE(reg.SetString(kUser, key.path + "\\", "ORMA_VOCASTRA", path));
    EXPECT_EQ(reg.GetString(kUser, key.path, "ORMA_VOCASTRA"), path);
    DWORD type = 0, bytes = 0;
    ASSERT_TRUE(key.Query("ORMA_VOCASTRA", &type, &bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // Counted in UTF-16 units with the terminating zero: 48 characters.
    EXPECT_EQ(bytes,
              (std::u16string(u"C:\\Program Files\\Vocastra \u624B\\vocastra.exe").size() + 1) *
                  sizeof(wchar_t));

    EXPECT_TRUE(reg.SetDword(kUser, key.path, "APITimeoutDisabled", 1));
    EXPECT_EQ(reg.GetDword(kUser, key.path, "APITimeoutDisabled"), 1u);
    // Another type is no value of the asked one.
    EXPECT_EQ(reg.GetString(kUser, key.path, "APITimeoutDisabled"), std::nullopt);
    EXPECT_EQ(reg.GetDword(kUser, key.path, "ORMA_VOCASTRA"), std::nullopt);
    EXPECT_EQ(reg.GetString(kUser, key.path, "Missing"), std::nullopt);

    EXPECT_TRUE(reg.DeleteValue(kUser, key.path, "ORMA_VOCASTRA"));
    EXPECT_EQ(reg.GetString(kUser, key.path, "ORMA_VOCASTRA"), std::nullopt);
    EXPECT_FALSE(reg.DeleteValue(kUser, key.path, "ORMA_VOCASTRA"));
}

TEST(Win32Registry, NeverCreatesKeys) {
    TestKey key;
    win32::Win32Registry reg;
    const std::string missing = key.path + "\\Missing\\Deeper";
    EXPECT_FALSE(reg.KeyExists(kUser, missing));
    EXPECT_FALSE(reg.SetDword(kUser, missing, "APITimeoutDisabled", 1));
    EXPECT_FALSE(reg.SetString(kUser, missing, "x", "y"));
    EXPECT_FALSE(reg.DeleteValue(kUser, missing, "x"));
    EXPECT_FALSE(reg.KeyExists(kUser, key.path + "\\Missing"));
    EXPECT_EQ(reg.GetDword(kUser, missing, "APITimeoutDisabled"), std::nullopt);
}

TEST(Win32Registry, StringsWrittenByOthersWithoutTerminator) {
    TestKey key;
    win32::Win32Registry reg;
    key.SetRaw("NoZero", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    EXPECT_EQ(reg.GetString(kUser, key.path, "NoZero"), "abc");
    key.SetRaw("Odd", REG_SZ, "abc", 3);  // half a character at the end
    EXPECT_TRUE(reg.GetString(kUser, key.path, "Odd").has_value());
    key.SetRaw("Inner", REG_SZ, L"ab\0cd", 6 * sizeof(wchar_t));
    EXPECT_EQ(reg.GetString(kUser, key.path, "Inner"), "ab");
    const BYTE shortDword[2] = {1, 0};
    key.SetRaw("Short", REG_DWORD, shortDword, 2);
    EXPECT_EQ(reg.GetDword(kUser, key.path, "Short"), std::nullopt);
}

TEST(Win32ModulePath, FullPathOrNothing) {
    win32::Win32ModulePath mp;
    const std::string path = mp.GetModuleFileName(260);
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".exe");
    EXPECT_NE(path.find('\\'), std::string::npos);
    // A buffer too small for the path gives nothing rather than a cut path.
    EXPECT_EQ(mp.GetModuleFileName(5), "");
}

// The next message for `hwnd` whatever it is, left in the queue.
UINT PeekNext(HWND hwnd) {
    MSG m{};
    return ::PeekMessageW(&m, hwnd, 0, 0, PM_NOREMOVE) ? m.message : 0;
}

TEST(Win32MainWindow, TimersFromAnotherThreadAreCarriedOutByTheWindowsThread) {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(hwnd, nullptr);
    win32::Win32MainWindow window;
    window.SetHandle(hwnd);

    // The handset's read thread presses a key: the request waits in the
    // window's queue, and the window's thread arms the timer from it.
    std::thread([&] { window.SetTimer(1001, 1); }).join();
    MSG m{};
    ASSERT_TRUE(::GetMessageW(&m, hwnd, 0, 0));
    ASSERT_EQ(m.message, win32::kMsgSetTimerRequest);
    EXPECT_TRUE(window.HandleTimerRequest(m.message, m.wParam, m.lParam));
    ASSERT_TRUE(::GetMessageW(&m, hwnd, 0, 0));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(m.wParam, 1001u);

    // Its release kills it the same way.
    std::thread([&] { window.KillTimer(1001); }).join();
    ASSERT_TRUE(::GetMessageW(&m, hwnd, 0, 0));
    ASSERT_EQ(m.message, win32::kMsgKillTimerRequest);
    EXPECT_TRUE(window.HandleTimerRequest(m.message, m.wParam, m.lParam));
    EXPECT_FALSE(::KillTimer(hwnd, 1001));  // already gone

    // The window's own thread needs no request.
    window.SetTimer(1002, 60000);
    EXPECT_EQ(PeekNext(hwnd), 0u);
    EXPECT_TRUE(::KillTimer(hwnd, 1002));
    EXPECT_FALSE(window.HandleTimerRequest(WM_TIMER, 1002, 0));
    ::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace vocastra
