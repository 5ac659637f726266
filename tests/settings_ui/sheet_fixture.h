// The whole program on the simulated platform with the shipped language
// files, for the tray menu and the settings sheet: the main window's
// messages are delivered by Pump, as its message loop would.
#pragma once
#include <algorithm>
#include <filesystem>

#include "app/application.h"
#include "app/messages.h"
#include "app/text_util.h"
#include "platform/sim/sim_platform.h"
#include "settings_ui/setting_ids.h"
#include "test_support.h"

namespace vocastra::test {

inline std::string ShippedFile(const std::string& rel) {
    return std::string(VOCASTRA_SOURCE_DIR) + "/data/" + rel;
}

class SheetFixture : public ::testing::Test {
  protected:
    SheetFixture() {
        std::filesystem::create_directories(dir.Path() + "Language");
        for (const char* f : {"Eng.ini", "Chs.ini", "Cht.ini", "Pol.ini", "Ita.ini"})
            std::filesystem::copy_file(ShippedFile(std::string("Language/") + f),
                                       dir.Path() + "Language/" + f);
        std::filesystem::copy_file(ShippedFile("Vocastra.ini"), dir.Path() + "Vocastra.ini");
        app.device.SetThreadsEnabled(false);
        app.skype.SetManualThreads(true);
        sim.mainWindow.SetHandler([this](uint32_t m, uintptr_t w, intptr_t l) -> intptr_t {
            return app.HandleMessage(m, w, l) ? 1 : 0;
        });
        app.PrepareInstance();
    }
    void Start() {
        sim.hidBus.Plug();
        app.dlg.OnInitDialog();
        sim.mainWindow.Pump();
    }
    // Opens the sheet at `page` as the tray menu does; `user` acts while it
    // is open.
    void OpenSheet(int page, SimSettingSheet::User user) {
        sim.settingSheet.SetUser(std::move(user));
        app.HandleMessage(kMsgCommand, static_cast<uintptr_t>(ID_SETTING_PAGE_COMMANDS[page]), 0);
        sim.mainWindow.Pump();
    }
    bool HandsetGot(const std::string& line) {
        const auto t = sim.hidBus.handset().Trace();
        return std::find(t.begin(), t.end(), line) != t.end();
    }
    // The settings file's text (the shipped file is UTF-16LE).
    std::string SettingsFile() {
        const std::string bytes = dir.Read("Vocastra.ini");
        if (bytes.rfind("\xFF\xFE", 0) != 0)
            return bytes;
        std::u16string w;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            w += char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
        return Utf16ToUtf8(w);
    }
    // A setting as the file holds it before the program starts.
    void SetInFile(const std::string& key, const std::string& value) {
        sim.profile.WriteString(dir.Path() + "Vocastra.ini", "SETTING", key, value);
    }
    std::string Text(int language, const std::string& key) {
        static const char* kFiles[] = {"Eng.ini", "Chs.ini", "Cht.ini", "Pol.ini", "Ita.ini"};
        return sim.profile.GetString(ShippedFile(std::string("Language/") + kFiles[language]),
                                     "Language", key, "", 255);
    }

    TempDir dir;
    SimPlatform sim{dir.Path()};
    Application app{sim.MakePorts()};
    SimSettingSheet& sheet = sim.settingSheet;
};

}  // namespace vocastra::test
