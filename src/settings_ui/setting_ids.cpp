#include "settings_ui/setting_ids.h"

namespace vocastra {
namespace {

using K = ControlKind;

constexpr PageControl kAudio[] = {
    {IDC_GROUP_VOLUME, K::Group, true},     {IDC_VOLUME_OUT_LABEL, K::Label, true},
    {IDC_VOLUME_IN_LABEL, K::Label, true},  {IDC_SLIDER_1, K::Slider, true},
    {IDC_SLIDER_2, K::Slider, true},        {IDC_OUT_LOW, K::Label, true},
    {IDC_IN_LOW, K::Label, true},           {IDC_OUT_HIGH, K::Label, true},
    {IDC_IN_HIGH, K::Label, true},          {IDC_GROUP_DEVICES, K::Group, true},
    {IDC_DEVICE_OUT_LABEL, K::Label, true}, {IDC_DEVICE_IN_LABEL, K::Label, true},
    {IDC_PLAYBACK_LIST, K::DropList, true}, {IDC_RECORD_LIST, K::DropList, true},
    {IDC_SET_PLAYBACK, K::Button, true},    {IDC_SET_RECORD, K::Button, true},
};
constexpr PageControl kPhone[] = {
    {IDC_GROUP_LCM, K::Group, true},
    {IDC_CONTRAST_LABEL, K::Label, true},
    {IDC_SLIDER_1, K::Slider, true},
    {IDC_LOW, K::Label, true},
    {IDC_HIGH, K::Label, true},
    {IDC_GROUP_KEYTONE, K::Group, true},
    {IDC_ENABLE_KEYTONE, K::CheckBox, true},
};
constexpr PageControl kRingTone[] = {
    {IDC_GROUP_RINGTONE, K::Group, true},
    {IDC_RINGTONE_LABEL, K::Label, false},
    {IDC_RINGTONE_DEFAULT, K::Radio, true},
    {IDC_RINGTONE_CUSTOM, K::Radio, true},
    {IDC_RINGTONE_LIST, K::DropList, true},
    {IDC_CUSTOM_PATH, K::Edit, true},
    {IDC_BROWSE, K::Button, true},
    {IDC_RING_VOLUME_LABEL, K::Label, true},
    {IDC_SLIDER_1, K::Slider, true},
    {IDC_LOW, K::Label, true},
    {IDC_HIGH, K::Label, true},
    {IDC_PLAY, K::Button, true},
    {IDC_STOP, K::Button, false},
};
constexpr PageControl kAdvanced[] = {
    {IDC_GROUP_LANGUAGE, K::Group, true},
    {IDC_LANGUAGE_LIST, K::DropList, true},
    {IDC_GROUP_STARTUP, K::Group, true},
    {IDC_AUTORUN, K::CheckBox, true},
};
constexpr PageControl kAbout[] = {
    {IDC_VERSION, K::Label, true},
    {IDC_COPYRIGHT, K::Label, true},
};

}  // namespace

std::span<const PageControl> PageControls(int page) {
    switch (page) {
        case kAudioPage:
            return kAudio;
        case kPhonePage:
            return kPhone;
        case kRingTonePage:
            return kRingTone;
        case kAdvancedPage:
            return kAdvanced;
        case kAboutPage:
            return kAbout;
        default:
            return {};
    }
}

}  // namespace vocastra
