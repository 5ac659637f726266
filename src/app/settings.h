// The settings record, the settings file next to the program, and the INI
// accessor other parts use for files next to the program.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#ifndef VOCASTRA_HANDSET_VID
#define VOCASTRA_HANDSET_VID 0x1130
#endif
#ifndef VOCASTRA_HANDSET_PID
#define VOCASTRA_HANDSET_PID 0x0202
#endif

namespace vocastra {

// The handset's USB ids as built (a build option, see README); the settings
// file may name others.
inline constexpr uint16_t kHandsetVendorId = VOCASTRA_HANDSET_VID;
inline constexpr uint16_t kHandsetProductId = VOCASTRA_HANDSET_PID;

class Profile;
class ModulePath;
class Registry;

inline constexpr int kKeyScanCount = 25;
inline constexpr int kContrastLevels = 3;

// All user settings. Numeric fields are read from every thread and written
// whole from one thread at a time, hence atomics; the two strings are changed
// only by the settings pages on the user-interface thread.
struct Settings {
    std::string programDirectory;  // with trailing separator
    std::atomic<int32_t> VAL_AUTORUN_API{1};
    std::atomic<int32_t> VAL_ENABLE_KEYTONE{1};
    std::atomic<int32_t> VAL_ENABLE_LCM{1};
    std::atomic<int32_t> VAL_AUDIO_OUT_VOLUME{25};
    std::atomic<int32_t> VAL_AUDIO_IN_VOLUME{25};
    std::atomic<int32_t> VAL_AUDIO_OUT_MUTE{0};
    std::atomic<int32_t> VAL_AUDIO_IN_MUTE{0};
    std::atomic<int32_t> VAL_LCM_CONTRAST{1};  // always 0..2 once loaded
    std::string VAL_RINGTONE;
    std::string Val_CustomRingTone;
    std::atomic<int32_t> VAL_RingTone_Select{0};
    std::atomic<int32_t> VAL_RINGTONE_VOLUME{31};
    std::atomic<int32_t> VAL_LANGUAGE{0};
    // Section "LCM": level n uses VAL_CONTRAST[n][0..2] (keys nA, nB, nC).
    int32_t VAL_CONTRAST[kContrastLevels][3] = {{162, 35, 34}, {162, 35, 37}, {162, 35, 40}};
    // Section "KEY": the key code of scan codes 1..25 (index 0 is scan code 1).
    int32_t VAL_KEYSCAN[kKeyScanCount] = {10, 1,  4,  7,  22, 17, 2,  5,  8,  0,  18, 3, 6,
                                          9,  23, 11, 12, 14, 15, 19, 13, 24, 16, 21, 20};
    // Section "SETTING", optional and never written: the ids of the handset's
    // HID interface when they are not the build's (hexadecimal in the file).
    std::atomic<uint16_t> VAL_HANDSET_VID{kHandsetVendorId};
    std::atomic<uint16_t> VAL_HANDSET_PID{kHandsetProductId};
};

// The three contrast parameters of the selected level as the handset takes
// them: the low byte of each value, whatever the file holds.
std::array<uint8_t, 3> ContrastBytes(const Settings& s);

// A USB id as Device Manager shows it: one to four hexadecimal digits, "0x"
// allowed before them, blanks or a ";" comment after. False for anything else.
bool ParseUsbId(const std::string& text, uint16_t& id);

// Accessor for one INI file; remembers the result of its last call.
class CIniFile {
public:
    explicit CIniFile(Profile& profile) : m_profile(profile) {}
    void SetFileName(std::string path) { m_strFileName = std::move(path); }
    const std::string& GetFileName() const { return m_strFileName; }
    // At most 254 characters, empty default. Returns 1 with the value when it
    // is not empty, 0 and an empty string otherwise.
    int ReadString(const std::string& key, const std::string& section, std::string& out);
    // Writes `value` formatted with "%ld"; returns the write's result (1/0).
    int WriteInt(long value, const std::string& key, const std::string& section);
    int GetLastResult() const { return m_nLastResult; }

private:
    Profile& m_profile;
    std::string m_strFileName;
    int m_nLastResult = 0;
};

inline constexpr const char* kSettingsFileName = "Vocastra.ini";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr const char* kAutorunValue = "ORMA_VOCASTRA";

// Loads and saves `Settings` in the settings file beside the program.
class SettingsStore {
public:
    SettingsStore(Settings& settings, Profile& profile, ModulePath& modulePath,
                  Registry& registry);

    // Directory of the running program including its trailing separator;
    // empty when the path is unknown or has no separator.
    std::string GetModuleDirectory();
    std::string SettingsFilePath();

    void LoadSettings();
    // Writes the thirteen "SETTING" keys; never the "LCM" or "KEY" sections
    // nor the handset ids.
    void SaveSettings();
    // Stores `language`, writes it at once, sets or deletes the Run value,
    // then saves everything.
    void SetAutorun(bool on, int language);

    // The program-wide accessor of the settings file.
    CIniFile& Ini() { return m_ini; }
    Settings& settings() { return m_settings; }

private:
    Settings& m_settings;
    Profile& m_profile;
    ModulePath& m_modulePath;
    Registry& m_registry;
    CIniFile m_ini;
};

}  // namespace vocastra
