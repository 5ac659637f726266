// Fuzz target: a settings file as a person may have edited it, loaded, saved
// and loaded again. Nothing may crash; what was loaded must load again the
// same after the save, and the sections the save never writes ("LCM",
// "KEY") must read exactly as before.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"
#include "common/memory_ini_profile.h"
#include "platform/sim/fixed_module_path.h"
#include "platform/sim/memory_registry.h"

namespace {

using namespace vocastra;

bool SameNumbers(const Settings& a, const Settings& b) {
    if (a.VAL_AUTORUN_API != b.VAL_AUTORUN_API || a.VAL_ENABLE_KEYTONE != b.VAL_ENABLE_KEYTONE ||
        a.VAL_ENABLE_LCM != b.VAL_ENABLE_LCM || a.VAL_AUDIO_OUT_VOLUME != b.VAL_AUDIO_OUT_VOLUME ||
        a.VAL_AUDIO_IN_VOLUME != b.VAL_AUDIO_IN_VOLUME ||
        a.VAL_AUDIO_OUT_MUTE != b.VAL_AUDIO_OUT_MUTE ||
        a.VAL_AUDIO_IN_MUTE != b.VAL_AUDIO_IN_MUTE || a.VAL_LCM_CONTRAST != b.VAL_LCM_CONTRAST ||
        a.VAL_RINGTONE != b.VAL_RINGTONE || a.Val_CustomRingTone != b.Val_CustomRingTone ||
        a.VAL_RingTone_Select != b.VAL_RingTone_Select ||
        a.VAL_RINGTONE_VOLUME != b.VAL_RINGTONE_VOLUME || a.VAL_LANGUAGE != b.VAL_LANGUAGE ||
        a.VAL_HANDSET_VID != b.VAL_HANDSET_VID || a.VAL_HANDSET_PID != b.VAL_HANDSET_PID)
        return false;
    for (int l = 0; l < kContrastLevels; ++l)
        for (int i = 0; i < 3; ++i)
            if (a.VAL_CONTRAST[l][i] != b.VAL_CONTRAST[l][i])
                return false;
    for (int i = 0; i < kKeyScanCount; ++i)
        if (a.VAL_KEYSCAN[i] != b.VAL_KEYSCAN[i])
            return false;
    return true;
}

// What the sections the save never writes hold, key by key: every key the
// program reads there and a few past them.
std::string Unsaved(Profile& profile, const std::string& file) {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (int i = 0; i <= kKeyScanCount + 4; ++i)
            k.push_back("VAL_KEYSCAN_" + std::to_string(i));
        for (int level = 0; level <= kContrastLevels; ++level)
            for (char c : {'A', 'B', 'C'})
                k.push_back("VAL_CONTRAST_" + std::to_string(level) + c);
        return k;
    }();
    std::string out;
    for (const char* section : {"LCM", "KEY"})
        for (const std::string& key : keys)
            out += profile.GetString(file, section, key, "\x01", 255) + '\n';
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string kDir = "/vocastra-fuzz/";
    MemoryIniProfile profile;
    MemoryRegistry registry;
    FixedModulePath modulePath(kDir + "Vocastra.exe");
    const std::string file = kDir + kSettingsFileName;
    profile.files[file] = std::string(reinterpret_cast<const char*>(data), size);

    Settings first;
    SettingsStore store(first, profile, modulePath, registry);
    store.LoadSettings();
    const std::string untouched = Unsaved(profile, file);
    store.SaveSettings();

    Settings second;
    SettingsStore again(second, profile, modulePath, registry);
    again.LoadSettings();
    if (!SameNumbers(first, second))
        __builtin_trap();
    if (Unsaved(profile, file) != untouched)
        __builtin_trap();
    return 0;
}
