// Key codes of the key queue and the handset's command codes: the only names
// by which the rest of the program speaks of keys and handset commands.
#pragma once
#include <cstdint>

namespace vocastra {

enum : int32_t {
    KEY_0 = 0,
    KEY_1,
    KEY_2,
    KEY_3,
    KEY_4,
    KEY_5,
    KEY_6,
    KEY_7,
    KEY_8,
    KEY_9,
    KEY_HOOKUP = 10,
    KEY_HOOKDOWN = 11,
    KEY_LEFT_FUNCTION = 12,
    KEY_RIGHT_FUNCTION = 13,
    KEY_HOTKEY_1 = 14,
    KEY_HOTKEY_2 = 15,
    KEY_HOTKEY_3 = 16,
    KEY_UP = 17,
    KEY_DOWN = 18,
    KEY_VOLUME_UP = 19,
    KEY_VOLUME_DOWN = 20,
    KEY_MUTE = 21,
    KEY_STAR = 22,
    KEY_SHARP = 23,
    KEY_CLEAR = 24,
    KEY_LONG_OFFSET = 100,
    KEY_DEVICE_START = 240,
};

enum : int {
    CMD_DEVICE_INIT = 4,
    CMD_RING = 5,
    CMD_RING_STOP = 6,
    CMD_LED_FLASH_100MS = 8,
    CMD_LED_FLASH_500MS = 9,
    CMD_LED_ON = 12,
    CMD_LED_OFF = 13,
    CMD_CONNECT = 15,
    CMD_SET_CONTRAST = 16,
};

}  // namespace vocastra
