// The installed client as the program finds and adjusts it: its program path
// from the registry, its per-user profile folder, the commands that give it
// the handset as audio device and the program's ring tone, and the few places
// where the program behaves differently for different client versions.
#pragma once
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vocastra {

class FileSystem;
class Registry;
struct Settings;
class Shell;

// Longest client program path taken from the registry (a longer value is no
// path the shell could open).
inline constexpr std::size_t kMaxSkypePathBytes = 1024;
inline constexpr std::size_t kMaxAudioDeviceNameBytes = 254;
inline constexpr std::size_t kMaxRingToneCommandBytes = 1024;
inline constexpr const char* kSkypeUiKey = "Software\\Skype\\Phone\\UI";

class CSkypeEnvironment {
  public:
    CSkypeEnvironment(Registry& registry, FileSystem& fs, Shell& shell);

    // Looks for the client's "SkypePath" in its four registry places; the
    // first value found is kept (g_strSkypePath) and is the answer only when
    // that file exists. 1 found, 0 not found.
    int GetSkypePath(std::string& path);
    // The path GetSkypePath found (empty when none). Any thread.
    std::string SkypePath() const;

    // "<application data>\Skype\<folder>\" and "...\<folder>\config.xml";
    // empty when the shell does not know the application-data folder.
    std::string GetSkypeDataPath(const std::string& folder);
    std::string GetSkypeConfigPath(const std::string& folder);
    void EditSkypeConfig(const std::string& configPath);

  private:
    Registry& m_registry;
    FileSystem& m_fs;
    Shell& m_shell;
    mutable std::mutex m_mutex;
    std::string g_strSkypePath;
};

// The commands that make the handset the client's microphone, speaker and
// ringer: on Vista and later by the handset's device names (a name not found
// is left out, so the user's own choice stays; without a playback name the
// ringer is asked for instead); on older Windows by "USB PHONE".
std::vector<std::string> SkypeAudioDeviceCommands(bool vistaOrLater, const std::string& inDevice,
                                                  const std::string& outDevice);

// "SET RINGTONE 1 <path>" with the ring tone the settings choose; empty when
// the command would not fit (a cut path names another file).
std::optional<std::string> SkypeRingToneCommand(const Settings& settings,
                                                const std::string& moduleDirectory);

// Client versions the program refuses to work with.
bool IsRefusedSkypeVersion(int major, int minor);
// Versions whose API cannot place calls: "CALL " goes through its windows.
bool DialsThroughSkypeWindow(int major, int minor);

}  // namespace vocastra
