#include "device/report_protocol.h"

#include <cstring>

#include "app/settings.h"

namespace vocastra {
namespace {

void BuildHeader(uint8_t (&r)[kOutputReportSize], uint8_t b2, uint8_t b3) {
    std::memset(r, 0, sizeof r);
    r[1] = 0x08;
    r[2] = b2;
    r[3] = b3;
    r[4] = 0x40;
    r[5] = 0xF1;
    r[6] = 0xF2;
    r[7] = 0xF3;
}

}  // namespace

int ScanToKey(const Settings& settings, int scanCode) {
    if (scanCode < 1 || scanCode > kKeyScanCount)
        return -1;
    const int key = settings.VAL_KEYSCAN[scanCode - 1];
    return key >= KEY_0 && key <= KEY_CLEAR ? key : -1;
}

int KeyToScan(const Settings& settings, int key) {
    for (int n = 1; n <= kKeyScanCount; ++n)
        if (settings.VAL_KEYSCAN[n - 1] == key)
            return n;
    return -1;
}

std::string KeyLogText(int key) {
    static constexpr const char* kNames[] = {
        "HOOK UP pressed\n",        "HOOK DOWN pressed\n",   "Left Function pressed\n",
        "Right Function pressed\n", "HOT KEY 1 pressed\n",   "HOT KEY 2 pressed\n",
        "HOT KEY 3 pressed\n",      "KEY UP pressed\n",      "KEY DOWN pressed\n",
        "Volume  Up pressed\n",     "Volume Down pressed\n", "Mute pressed\n",
        "STAR pressed\n",           "SHARP pressed\n",       "Clear pressed\n",
    };
    if (key >= KEY_0 && key <= KEY_9)
        return std::to_string(key) + " pressed\n";
    if (key >= KEY_HOOKUP && key <= KEY_CLEAR)
        return kNames[key - KEY_HOOKUP];
    if (key == KEY_0 + KEY_LONG_OFFSET)
        return "0 LONG pressed\n";
    return {};
}

void BuildCommandReport(uint8_t (&r)[kOutputReportSize], uint8_t cmd, uint8_t wp1, uint8_t wp2,
                        uint8_t wp3) {
    BuildHeader(r, 0x20, 0x00);
    r[8] = cmd;
    r[10] = wp1;
    r[11] = wp2;
    r[12] = wp3;
}

void BuildPageHeader(uint8_t (&r)[kOutputReportSize], int page) {
    BuildHeader(r, 0xA0, static_cast<uint8_t>(0xB8 + (page & 7)));
    r[8] = 0x01;
}

void BuildPageData(uint8_t (&r)[kOutputReportSize], const uint8_t* page, int part) {
    r[0] = 0x00;
    std::memcpy(r + 1, page + 32 * part, 32);
}

}  // namespace vocastra
