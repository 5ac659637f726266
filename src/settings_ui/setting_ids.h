// The settings sheet's pages and the ids of their controls. The dialog
// resources (res/settings.rc) carry the same ids; a unit test keeps the two
// in step.
#pragma once
#include <span>

namespace vocastra {

enum SettingPageIndex : int {
    kAudioPage = 0,
    kPhonePage = 1,
    kRingTonePage = 2,
    kAdvancedPage = 3,
    kAboutPage = 4,
    kSettingPageCount = 5,
};

// Dialog resources of the pages, in page order.
inline constexpr int kPageDialogIds[kSettingPageCount] = {132, 133, 134, 137, 136};

// The sheet's own buttons.
inline constexpr int IDOK_BUTTON = 1;
inline constexpr int IDCANCEL_BUTTON = 2;
inline constexpr int IDAPPLY_BUTTON = 12321;

// Controls. An id names one control on each page that has it.
enum : int {
    IDC_SLIDER_1 = 1003,  // audio out level / contrast / ring volume
    IDC_SLIDER_2 = 1004,  // audio in level
    IDC_ENABLE_KEYTONE = 1005,
    IDC_LANGUAGE_LIST = 1007,
    IDC_RINGTONE_LIST = 1008,
    IDC_BUTTON_1 = 1009,  // audio: playback "Set"; ring tone: "Play"
    IDC_PLAYBACK_LIST = 1010,
    IDC_RECORD_LIST = 1011,
    IDC_SET_RECORD = 1012,
    IDC_GROUP_VOLUME = 1023,
    IDC_GROUP_DEVICES = 1024,
    IDC_DEVICE_OUT_LABEL = 1025,
    IDC_VOLUME_OUT_LABEL = 1026,
    IDC_VOLUME_IN_LABEL = 1027,
    IDC_DEVICE_IN_LABEL = 1028,
    IDC_OUT_LOW = 1029,
    IDC_IN_LOW = 1030,
    IDC_OUT_HIGH = 1031,
    IDC_IN_HIGH = 1032,
    IDC_GROUP_LCM = 1033,
    IDC_CONTRAST_LABEL = 1034,
    IDC_GROUP_KEYTONE = 1035,
    IDC_LOW = 1036,
    IDC_HIGH = 1037,
    IDC_GROUP_RINGTONE = 1038,
    IDC_RINGTONE_LABEL = 1039,
    IDC_RING_VOLUME_LABEL = 1040,
    IDC_GROUP_LANGUAGE = 1041,
    IDC_GROUP_STARTUP = 1042,
    IDC_AUTORUN = 1043,
    IDC_COPYRIGHT = 1044,
    IDC_VERSION = 1045,
    IDC_STOP = 1046,
    IDC_BROWSE = 1047,
    IDC_CUSTOM_PATH = 1048,
    IDC_RINGTONE_DEFAULT = 1049,
    IDC_RINGTONE_CUSTOM = 1050,
};
inline constexpr int IDC_PLAY = IDC_BUTTON_1;
inline constexpr int IDC_SET_PLAYBACK = IDC_BUTTON_1;

enum class ControlKind { Label, Group, Slider, DropList, Button, CheckBox, Radio, Edit };

struct PageControl {
    int id;
    ControlKind kind;
    bool visible;  // as the resource shows it
};

// Every control of each page that the program addresses, in page order.
std::span<const PageControl> PageControls(int page);

}  // namespace vocastra
