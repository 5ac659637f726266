// The handset's sound devices under Wine: "USB PHONE", a null ALSA device
// that scripts/wine-session.sh defines, listed through winealsa.drv's
// registry values while a UsbPhoneDevice lives.
#pragma once
#include <windows.h>

#include "harness.h"

namespace e2e {

// While it lives, Wine lists the "USB PHONE" ALSA device for playback and
// recording (each process reads the values when it first enumerates).
class UsbPhoneDevice {
  public:
    UsbPhoneDevice() {
        HKEY key = nullptr;
        E2E_CHECK(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    &key, nullptr) == ERROR_SUCCESS);
        static const wchar_t kList[] = L"USB PHONE\0";  // a multi-string: one name
        for (const wchar_t* value : {L"ALSAOutputDevices", L"ALSAInputDevices"})
            ::RegSetValueExW(key, value, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kList),
                             sizeof(kList));
        ::RegCloseKey(key);
    }
    ~UsbPhoneDevice() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        ::RegDeleteValueW(key, L"ALSAOutputDevices");
        ::RegDeleteValueW(key, L"ALSAInputDevices");
        ::RegCloseKey(key);
    }
    UsbPhoneDevice(const UsbPhoneDevice&) = delete;
    UsbPhoneDevice& operator=(const UsbPhoneDevice&) = delete;

  private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\Drivers\\winealsa.drv";
};

}  // namespace e2e
