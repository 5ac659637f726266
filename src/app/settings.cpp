#include "app/settings.h"

#include <algorithm>
#include <cctype>

#include "app/log.h"
#include "app/text_util.h"
#include "platform/module_path.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace vocastra {
namespace {

constexpr const char* kSection = "SETTING";
constexpr std::size_t kModulePathChars = 2048;
constexpr std::size_t kRingToneChars = 260;

// The integer keys of section "SETTING", in file order.
struct IntKey {
    const char* name;
    std::atomic<int32_t> Settings::*field;
};
constexpr IntKey kLeadingInts[] = {
    {"VAL_AUTORUN_API", &Settings::VAL_AUTORUN_API},
    {"VAL_ENABLE_KEYTONE", &Settings::VAL_ENABLE_KEYTONE},
    {"VAL_ENABLE_LCM", &Settings::VAL_ENABLE_LCM},
    {"VAL_AUDIO_OUT_VOLUME", &Settings::VAL_AUDIO_OUT_VOLUME},
    {"VAL_AUDIO_IN_VOLUME", &Settings::VAL_AUDIO_IN_VOLUME},
    {"VAL_AUDIO_OUT_MUTE", &Settings::VAL_AUDIO_OUT_MUTE},
    {"VAL_AUDIO_IN_MUTE", &Settings::VAL_AUDIO_IN_MUTE},
    {"VAL_LCM_CONTRAST", &Settings::VAL_LCM_CONTRAST},
};
constexpr IntKey kTrailingInts[] = {
    {"VAL_RingTone_Select", &Settings::VAL_RingTone_Select},
    {"VAL_RINGTONE_VOLUME", &Settings::VAL_RINGTONE_VOLUME},
    {"VAL_LANGUAGE", &Settings::VAL_LANGUAGE},
};

// Reads one optional handset id; `source` says where the id in use came from.
uint16_t ReadHandsetId(Profile& profile, const std::string& file, const char* key, uint16_t def,
                       std::string& source) {
    const std::string text = profile.GetString(file, kSection, key, "", 64);
    uint16_t id = def;
    if (text.empty())
        source = "built in";
    else if (ParseUsbId(text, id))
        source = kSettingsFileName;
    else
        source = StrPrintf("built in, %s \"%s\" is not a hexadecimal id", key, text.c_str());
    return id;
}

std::string DirectoryOf(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

bool ParseUsbId(const std::string& text, uint16_t& id) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t i = 0;
    while (i < text.size() && blank(text[i]))
        ++i;
    if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0)
        i += 2;
    const std::size_t start = i;
    while (i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])))
        ++i;
    if (i == start || i - start > 4)
        return false;
    const auto value = std::stoul(text.substr(start, i - start), nullptr, 16);
    while (i < text.size() && blank(text[i]))
        ++i;
    if (i < text.size() && text[i] != ';')
        return false;
    id = static_cast<uint16_t>(value);
    return true;
}

int CIniFile::ReadString(const std::string& key, const std::string& section, std::string& out) {
    out = m_profile.GetString(m_strFileName, section, key, "", 255);
    m_nLastResult = static_cast<int>(CodePointCount(out));
    return out.empty() ? 0 : 1;
}

int CIniFile::WriteInt(long value, const std::string& key, const std::string& section) {
    m_nLastResult = m_profile.WriteString(m_strFileName, section, key, StrPrintf("%ld", value));
    if (!m_nLastResult)
        LogPrintA("CIniFile: %s not written to %s", key.c_str(), m_strFileName.c_str());
    return m_nLastResult;
}

SettingsStore::SettingsStore(Settings& settings, Profile& profile, ModulePath& modulePath,
                             Registry& registry)
    : m_settings(settings),
      m_profile(profile),
      m_modulePath(modulePath),
      m_registry(registry),
      m_ini(profile) {}

std::string SettingsStore::GetModuleDirectory() {
    return DirectoryOf(m_modulePath.GetModuleFileName(kModulePathChars));
}

std::string SettingsStore::SettingsFilePath() {
    return GetModuleDirectory() + kSettingsFileName;
}

std::array<uint8_t, 3> ContrastBytes(const Settings& s) {
    const int level = std::clamp(s.VAL_LCM_CONTRAST.load(), 0, kContrastLevels - 1);
    std::array<uint8_t, 3> out{};
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<uint8_t>(static_cast<uint32_t>(s.VAL_CONTRAST[level][i]) & 0xFF);
    return out;
}

void SettingsStore::LoadSettings() {
    Settings& s = m_settings;
    s.programDirectory = GetModuleDirectory();
    const std::string file = s.programDirectory + kSettingsFileName;
    auto readInt = [&](const char* section, const char* key, int32_t def) {
        return static_cast<int32_t>(m_profile.GetInt(file, section, key, def));
    };
    for (const auto& k : kLeadingInts)
        (s.*k.field) = readInt(kSection, k.name, (s.*k.field).load());
    // A path cut at its buffer may end in blanks, which the reader drops
    // once the path is saved and read again: dropped now, what is saved
    // reads back the same.
    auto readPath = [&](const char* key) {
        return std::string(TrimAscii(m_profile.GetString(file, kSection, key, "", kRingToneChars)));
    };
    s.VAL_RINGTONE = readPath("VAL_RINGTONE");
    s.Val_CustomRingTone = readPath("Val_CustomRingTone");
    for (const auto& k : kTrailingInts)
        (s.*k.field) = readInt(kSection, k.name, (s.*k.field).load());
    for (int level = 0; level < kContrastLevels; ++level) {
        for (int i = 0; i < 3; ++i) {
            const std::string key = StrPrintf("VAL_CONTRAST_%d%c", level, "ABC"[i]);
            s.VAL_CONTRAST[level][i] = readInt("LCM", key.c_str(), s.VAL_CONTRAST[level][i]);
        }
    }
    for (int i = 0; i < kKeyScanCount; ++i) {
        const std::string key = StrPrintf("VAL_KEYSCAN_%d", i + 1);
        s.VAL_KEYSCAN[i] = readInt("KEY", key.c_str(), s.VAL_KEYSCAN[i]);
    }
    // A handset whose ids differ from the build's is named in the file; one
    // line tells which ids the walk looks for, and why.
    std::string vidSource, pidSource;
    s.VAL_HANDSET_VID =
        ReadHandsetId(m_profile, file, "VAL_HANDSET_VID", kHandsetVendorId, vidSource);
    s.VAL_HANDSET_PID =
        ReadHandsetId(m_profile, file, "VAL_HANDSET_PID", kHandsetProductId, pidSource);
    LogPrintA("LoadSettings: handset VID_%04X (%s), PID_%04X (%s)",
              unsigned{s.VAL_HANDSET_VID.load()}, vidSource.c_str(),
              unsigned{s.VAL_HANDSET_PID.load()}, pidSource.c_str());
    // The level indexes a three-entry table: a hand-edited value outside it
    // would read past the table, so it is brought into range here.
    const int32_t level = s.VAL_LCM_CONTRAST;
    if (level < 0 || level >= kContrastLevels) {
        s.VAL_LCM_CONTRAST = std::clamp<int32_t>(level, 0, kContrastLevels - 1);
        LogPrintA("LoadSettings: VAL_LCM_CONTRAST %d out of range, using %d", level,
                  s.VAL_LCM_CONTRAST.load());
    }
    // The modes take any value but 0 for a display and the drawing only 1:
    // anything else would leave the handset blank, without "NO LCD" either.
    const int32_t lcm = s.VAL_ENABLE_LCM;
    if (lcm != 0 && lcm != 1) {
        s.VAL_ENABLE_LCM = std::clamp<int32_t>(lcm, 0, 1);
        LogPrintA("LoadSettings: VAL_ENABLE_LCM %d out of range, using %d", lcm,
                  s.VAL_ENABLE_LCM.load());
    }
}

void SettingsStore::SaveSettings() {
    const Settings& s = m_settings;
    const std::string file = SettingsFilePath();
    // One change of the file for all thirteen keys: a process ended midway
    // leaves the file as it was or as saved, never a mix cut short.
    Profile::Entries entries;
    for (const auto& k : kLeadingInts)
        entries.emplace_back(k.name, StrPrintf("%d", (s.*k.field).load()));
    entries.emplace_back("VAL_RINGTONE", s.VAL_RINGTONE);
    entries.emplace_back("Val_CustomRingTone", s.Val_CustomRingTone);
    for (const auto& k : kTrailingInts)
        entries.emplace_back(k.name, StrPrintf("%d", (s.*k.field).load()));
    if (!m_profile.WriteStrings(file, kSection, entries))
        LogPrintA("SaveSettings: %s could not be written, the settings are not saved",
                  file.c_str());
}

void SettingsStore::SetAutorun(bool on, int language) {
    m_settings.VAL_LANGUAGE = language;
    m_ini.WriteInt(language, "VAL_LANGUAGE", kSection);
    const bool keyOpen = m_registry.KeyExists(RegistryRoot::CurrentUser, kRunKey);
    if (on) {
        m_settings.VAL_AUTORUN_API = 1;
        const std::string path = m_modulePath.GetModuleFileName(2000);
        if (keyOpen)
            m_registry.SetString(RegistryRoot::CurrentUser, kRunKey, kAutorunValue, path);
    } else {
        m_settings.VAL_AUTORUN_API = 0;
        if (keyOpen)
            m_registry.DeleteValue(RegistryRoot::CurrentUser, kRunKey, kAutorunValue);
    }
    SaveSettings();
}

}  // namespace vocastra
