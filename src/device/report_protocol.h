// The handset's report formats and key tables: the input report that carries
// a scan code, the scan table, the key names the key thread logs, and the
// command and display reports the host writes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "device/key_codes.h"
#include "device/usb_hid_device.h"

namespace vocastra {

struct Settings;

inline constexpr uint8_t kKeyReportId = 0x03;
inline constexpr int kScanRelease = 0;
inline constexpr int kScanStart = 240;
inline constexpr int kScanHotKey3 = 241;
inline constexpr int kScanHookDown = 242;

// Key code for scan codes 1..25 from the settings' scan table; -1 when the
// scan code is outside 1..25 or the table names no key (0..24).
int ScanToKey(const Settings& settings, int scanCode);

// The scan code (1..25) whose scan table entry is `key`; -1 when none is.
// Simulators use it to press a key by its code.
int KeyToScan(const Settings& settings, int key);

// The line the key thread logs for key code `key` ("5 pressed\n",
// "HOOK UP pressed\n", "0 LONG pressed\n"); empty for codes without a name.
std::string KeyLogText(int key);

// A command report: header, command code and its three parameters.
void BuildCommandReport(uint8_t (&report)[kOutputReportSize], uint8_t cmd, uint8_t wp1, uint8_t wp2,
                        uint8_t wp3);
// The header that announces display page `page` (0..7).
void BuildPageHeader(uint8_t (&report)[kOutputReportSize], int page);
// Data report `part` (0..3) of a page: the page's bytes 32*part .. 32*part+31.
void BuildPageData(uint8_t (&report)[kOutputReportSize], const uint8_t* page, int part);

}  // namespace vocastra
