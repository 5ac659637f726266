#include "skype/skype_environment.h"

#include "app/log.h"
#include "app/settings.h"
#include "app/text_util.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "skype/skype_config.h"

namespace vocastra {

namespace {

struct RegistryPlace {
    RegistryRoot root;
    const char* key;
};
// Per-user first, then the machine's, then the 32-bit views.
constexpr RegistryPlace kSkypePathPlaces[] = {
    {RegistryRoot::CurrentUser, "Software\\Skype\\Phone"},
    {RegistryRoot::LocalMachine, "Software\\Skype\\Phone"},
    {RegistryRoot::LocalMachine, "Software\\Wow6432Node\\Skype\\Phone"},
    {RegistryRoot::CurrentUser, "Software\\Wow6432Node\\Skype\\Phone"},
};

}  // namespace

CSkypeEnvironment::CSkypeEnvironment(Registry& registry, FileSystem& fs, Shell& shell)
    : m_registry(registry), m_fs(fs), m_shell(shell) {}

int CSkypeEnvironment::GetSkypePath(std::string& path) {
    for (const RegistryPlace& place : kSkypePathPlaces) {
        auto value = m_registry.GetString(place.root, place.key, "SkypePath");
        if (!value)
            continue;
        // A value that does not fit is not cut: a cut path names another file.
        if (value->size() > kMaxSkypePathBytes || value->empty()) {
            LogPrintA("SkypePath under %s is not a usable path", place.key);
            path.clear();
        } else {
            path = *value;
        }
        {
            std::lock_guard lock(m_mutex);
            g_strSkypePath = path;
        }
        if (path.empty() || !m_fs.FileExists(path))
            return 0;
        if (place.root == RegistryRoot::CurrentUser)
            LogRaw("Found Skype registry key.\n");
        return 1;
    }
    LogRaw("Can not find Skype registry key.\n");
    return 0;
}

std::string CSkypeEnvironment::SkypePath() const {
    std::lock_guard lock(m_mutex);
    return g_strSkypePath;
}

std::string CSkypeEnvironment::GetSkypeDataPath(const std::string& folder) {
    const std::string appData = m_shell.GetAppDataFolder();
    const std::string path =
        appData.empty() ? std::string() : appData + "\\Skype\\" + folder + "\\";
    LogPrintA("Skype Data Path = [%s]", path.c_str());
    return path;
}

std::string CSkypeEnvironment::GetSkypeConfigPath(const std::string& folder) {
    const std::string appData = m_shell.GetAppDataFolder();
    const std::string path =
        appData.empty() ? std::string() : appData + "\\Skype\\" + folder + "\\config.xml";
    LogPrintA("Skype config = [%s]", path.c_str());
    return path;
}

void CSkypeEnvironment::EditSkypeConfig(const std::string& configPath) {
    vocastra::EditSkypeConfig(m_fs, configPath);
}

std::vector<std::string> SkypeAudioDeviceCommands(bool vistaOrLater, const std::string& inDevice,
                                                  const std::string& outDevice) {
    if (!vistaOrLater)
        return {"SET AUDIO_IN USB PHONE", "SET AUDIO_OUT USB PHONE", "SET RINGER USB PHONE"};
    // An empty name would clear the user's own choice in the client; the
    // client's RINGER answer then still decides who rings.
    const std::string in = CutBytesUtf8(inDevice, kMaxAudioDeviceNameBytes);
    const std::string out = CutBytesUtf8(outDevice, kMaxAudioDeviceNameBytes);
    std::vector<std::string> cmds;
    if (!in.empty())
        cmds.push_back("SET AUDIO_IN " + in);
    if (!out.empty()) {
        cmds.push_back("SET AUDIO_OUT " + out);
        cmds.push_back("SET RINGER " + out);
    } else {
        cmds.push_back("GET RINGER");
    }
    return cmds;
}

std::optional<std::string> SkypeRingToneCommand(const Settings& settings,
                                                const std::string& moduleDirectory) {
    const std::string file = settings.VAL_RingTone_Select.load() != 0
                                 ? settings.Val_CustomRingTone
                                 : moduleDirectory + "RingTone\\" + settings.VAL_RINGTONE;
    // No file chosen: a bare folder is no ring tone.
    if ((settings.VAL_RingTone_Select.load() != 0 ? settings.Val_CustomRingTone
                                                  : settings.VAL_RINGTONE)
            .empty()) {
        LogRaw("No ring tone chosen, none sent to the client");
        return std::nullopt;
    }
    std::string cmd = "SET RINGTONE 1 " + file;
    if (cmd.size() > kMaxRingToneCommandBytes) {
        LogPrintA("Ring tone path too long for the client, not sent: %s", file.c_str());
        return std::nullopt;
    }
    return cmd;
}

bool IsRefusedSkypeVersion(int major, int minor) {
    return (major == 6 && minor == 22) || (major == 7 && minor == 0);
}

bool DialsThroughSkypeWindow(int major, int minor) {
    return major > 7 || (major == 7 && minor >= 9);
}

}  // namespace vocastra
