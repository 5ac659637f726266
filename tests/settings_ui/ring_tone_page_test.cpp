// The ring-tone page through the assembled program: its list from the
// RingTone folder, the preview on the handset, the browser's checks and
// what Apply stores.
#include <filesystem>

#include "audio/wave.h"
#include "sheet_fixture.h"

namespace vocastra {
namespace {

using ::testing::ElementsAre;

std::string WaveFile(uint32_t frames, char fill, uint16_t tag = 1, uint16_t bits = 16) {
    CWave w;
    const uint16_t align = bits / 8;
    w.m_Format = WaveFormat{tag, 1, 8000, 8000u * align, align, bits, 0};
    w.Allocate(frames, align);
    std::fill(w.m_pSamples.begin(), w.m_pSamples.end(), static_cast<uint8_t>(fill));
    return w.Store();
}

class RingTonePage : public test::SheetFixture {
  protected:
    RingTonePage() {
        std::filesystem::create_directories(dir.Path() + "RingTone");
        dir.Write("RingTone/Chime.wav", WaveFile(800, 'c'));
        dir.Write("RingTone/Bell.wav", WaveFile(800, 'b'));
        dir.Write("RingTone/Marimba.WAV", WaveFile(800, 'm'));
        dir.Write("RingTone/notes.txt", "not a tone");
        sim.sound.AddCard(MakeStereoSoundCard("Realtek HD Audio"));
        sim.sound.AddCard(MakeHandsetSoundCard("USB Phone"));
        SetInFile("VAL_AUDIO_OUT_VOLUME", "20");
    }
    SimDialogControls& Page(SimSettingSheet& s) { return *s.Page(kRingTonePage); }
    int Level() { return app.audio.mixers.GetAudioOutVolume(); }
    std::vector<SimPlayback> Playing() {
        std::vector<SimPlayback> out;
        for (const auto& p : sim.sound.Playbacks())
            if (!p.stopped && p.endTick > sim.fakeClock.GetTickCount())
                out.push_back(p);
        return out;
    }
};

TEST_F(RingTonePage, ListsTheShippedTonesSortedWithTheStoredOneSelected) {
    SetInFile("VAL_RINGTONE", "Chime.wav");
    SetInFile("VAL_RINGTONE_VOLUME", "12");
    SetInFile("Val_CustomRingTone", "C:\\Tones\\mine.wav");
    SetInFile("VAL_RingTone_Select", "1");
    Start();
    OpenSheet(kRingTonePage, [&](SimSettingSheet& s) {
        SimControl& list = *Page(s).Find(IDC_RINGTONE_LIST);
        EXPECT_THAT(list.items, ElementsAre("Bell.wav", "Chime.wav", "Marimba.WAV"));
        EXPECT_EQ(list.selection, 1);
        EXPECT_EQ(Page(s).GetPos(IDC_SLIDER_1), 12);
        EXPECT_EQ(Page(s).Find(IDC_SLIDER_1)->max, 31);
        EXPECT_EQ(Page(s).GetText(IDC_CUSTOM_PATH), "C:\\Tones\\mine.wav");
        EXPECT_TRUE(Page(s).IsChecked(IDC_RINGTONE_CUSTOM));
        EXPECT_FALSE(Page(s).IsChecked(IDC_RINGTONE_DEFAULT));
    });
    // A stored name the folder does not hold selects the first; an empty
    // folder leaves the list empty, and Apply then stores no name.
    app.g_Settings.VAL_RINGTONE = "Gone.wav";
    OpenSheet(kRingTonePage,
              [&](SimSettingSheet& s) { EXPECT_EQ(Page(s).SelectedItem(IDC_RINGTONE_LIST), 0); });
    std::filesystem::remove_all(dir.Path() + "RingTone");
    OpenSheet(kRingTonePage, [&](SimSettingSheet& s) {
        EXPECT_EQ(Page(s).ItemCount(IDC_RINGTONE_LIST), 0);
        EXPECT_EQ(Page(s).SelectedItem(IDC_RINGTONE_LIST), -1);
        s.PressOk();
    });
    EXPECT_EQ(app.g_Settings.VAL_RINGTONE, "");
}

TEST_F(RingTonePage, PlayTogglesAPreviewOnTheHandsetAtTheSliderLevel) {
    SetInFile("VAL_RINGTONE", "Bell.wav");
    Start();
    ASSERT_EQ(Level(), 20);
    OpenSheet(kRingTonePage, [&](SimSettingSheet& s) {
        s.SelectEntry(IDC_RINGTONE_LIST, 1);  // Chime
        s.MoveSlider(IDC_SLIDER_1, 7);        // heard at once while choosing
        EXPECT_EQ(Level(), 7);
        EXPECT_TRUE(s.ApplyEnabled());
        s.Click(IDC_PLAY);
        auto p = Playing();
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].deviceName, "USB Phone");
        EXPECT_FALSE(p[0].looped);
        EXPECT_EQ(p[0].bytes, WaveFile(800, 'c').substr(44));
        s.Click(IDC_PLAY);  // playing: the second press stops it
        EXPECT_TRUE(Playing().empty());
        EXPECT_EQ(sim.sound.OpenWaveOuts(), 0);
        EXPECT_EQ(Level(), 20);

        // Once a preview has ended by itself, Play plays again.
        s.Click(IDC_PLAY);
        sim.fakeClock.Advance(1000);
        sim.sound.Pump();
        EXPECT_TRUE(Playing().empty());
        sim.sound.ClearPlaybacks();
        s.Click(IDC_PLAY);
        EXPECT_EQ(Playing().size(), 1u);
        s.SelectEntry(IDC_RINGTONE_LIST, 2);  // another choice stops the preview
        EXPECT_TRUE(Playing().empty());

        // The self-chosen file plays when its radio is checked; with no
        // path the list's entry plays.
        dir.Write("mine.wav", WaveFile(800, 'x'));
        s.Click(IDC_RINGTONE_CUSTOM);
        EXPECT_FALSE(Page(s).IsChecked(IDC_RINGTONE_DEFAULT));
        sim.sound.ClearPlaybacks();
        s.Click(IDC_PLAY);
        ASSERT_EQ(Playing().size(), 1u);
        EXPECT_EQ(Playing()[0].bytes, WaveFile(800, 'm').substr(44));
        s.Click(IDC_PLAY);
        Page(s).SetText(IDC_CUSTOM_PATH, dir.File("mine.wav"));
        s.Click(IDC_PLAY);
        ASSERT_EQ(Playing().size(), 1u);
        EXPECT_EQ(Playing()[0].bytes, WaveFile(800, 'x').substr(44));
        // Cancel while it plays: the preview stops and the level is the
        // stored one again.
        s.MoveSlider(IDC_SLIDER_1, 3);
    });
    EXPECT_TRUE(Playing().empty());
    EXPECT_EQ(sim.sound.OpenWaveOuts(), 0);
    EXPECT_EQ(Level(), 20);
    EXPECT_EQ(app.g_Settings.VAL_RINGTONE_VOLUME, 31);  // Cancel stored nothing
    EXPECT_TRUE(sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 008"));
    EXPECT_TRUE(sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 009"));
}

TEST_F(RingTonePage, BrowseTakesOnlyAPlayableWaveWithinTheSizeLimit) {
    Start();
    dir.Write("big.wav", WaveFile(3'200'000, 'b'));  // 6.4 MB
    dir.Write("float.wav", WaveFile(800, 'f', 3, 32));
    dir.Write("small8.wav", WaveFile(800, 's', 1, 8));
    sim.fileDialog.QueueAnswer(dir.File("big.wav"));
    sim.fileDialog.QueueAnswer(dir.File("float.wav"));
    sim.fileDialog.QueueAnswer(std::nullopt);
    sim.fileDialog.QueueAnswer(dir.File("small8.wav"));
    OpenSheet(kRingTonePage, [&](SimSettingSheet& s) {
        s.Click(IDC_BROWSE);
        EXPECT_THAT(sim.messageBoxes.Shown(), ElementsAre("ERROR " + Text(0, "Popup_Message_4")));
        // Refused on its size alone, before it was read as a wave.
        EXPECT_FALSE(sim.logSink.Contains("IsValidWavFile: (DeviceID"));
        s.Click(IDC_BROWSE);
        EXPECT_EQ(sim.messageBoxes.Shown().back(), "ERROR " + Text(0, "Popup_Message_3"));
        EXPECT_TRUE(
            sim.logSink.Contains("IsValidWavFile  return FALSE because not PCM format wav"));
        s.Click(IDC_BROWSE);  // cancelled
        EXPECT_EQ(sim.messageBoxes.Shown().size(), 2u);
        EXPECT_EQ(Page(s).GetText(IDC_CUSTOM_PATH), "");
        s.Click(IDC_BROWSE);
        EXPECT_EQ(sim.messageBoxes.Shown().size(), 2u);
        EXPECT_EQ(Page(s).GetText(IDC_CUSTOM_PATH), dir.File("small8.wav"));
        // Checked on the handset's own device (id 1: after the built-in card).
        EXPECT_TRUE(sim.logSink.Contains("IsValidWavFile: (DeviceID = 1)"));
    });
    ASSERT_EQ(sim.fileDialog.Requests().size(), 4u);
    const FileOpenRequest& r = sim.fileDialog.Requests()[0];
    EXPECT_EQ(r.initialFolder, dir.Path() + "IVR\\");
    EXPECT_EQ(r.defaultExtension, "wav");
    EXPECT_EQ(r.filterName, "Wave Files (*.wav)");
    EXPECT_EQ(r.filterPattern, "*.wav");
    // Cancelled: the path chosen was never stored.
    EXPECT_EQ(app.g_Settings.Val_CustomRingTone, "");
}

TEST_F(RingTonePage, ApplyStoresTheChoiceAndTheClientHearsTheNewShippedName) {
    SetInFile("VAL_RINGTONE", "Bell.wav");
    Start();
    std::vector<std::string> client;
    app.settingsUi.links.SetSkypeRingTone.Fill([&] {
        const Settings& g = app.g_Settings;
        client.push_back(g.VAL_RINGTONE + "|" + g.Val_CustomRingTone + "|" +
                         std::to_string(g.VAL_RingTone_Select.load()));
    });
    dir.Write("mine.wav", WaveFile(800, 'x'));
    sim.fileDialog.QueueAnswer(dir.File("mine.wav"));
    OpenSheet(kRingTonePage, [&](SimSettingSheet& s) {
        s.SelectEntry(IDC_RINGTONE_LIST, 2);
        s.MoveSlider(IDC_SLIDER_1, 9);
        s.Click(IDC_RINGTONE_CUSTOM);
        s.Click(IDC_BROWSE);
        s.Click(IDC_PLAY);
        s.PressApply();
        EXPECT_TRUE(Playing().empty());  // applying stops the preview
        EXPECT_EQ(Level(), 20);
        // Self-chosen but with no path: the shipped tone it is.
        Page(s).SetText(IDC_CUSTOM_PATH, "");
        s.PressOk();
    });
    EXPECT_THAT(client,
                ElementsAre("Marimba.WAV||0", "Marimba.WAV|" + dir.File("mine.wav") + "|1"));
    EXPECT_EQ(app.g_Settings.VAL_RingTone_Select, 0);
    EXPECT_EQ(app.g_Settings.Val_CustomRingTone, "");
    EXPECT_EQ(app.g_Settings.VAL_RINGTONE_VOLUME, 9);
    const std::string file = SettingsFile();
    EXPECT_NE(file.find("VAL_RINGTONE=Marimba.WAV"), std::string::npos) << file;
    EXPECT_NE(file.find("VAL_RINGTONE_VOLUME=9"), std::string::npos) << file;
    EXPECT_NE(file.find("VAL_RingTone_Select=0"), std::string::npos) << file;
    EXPECT_TRUE(sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 010"));
    EXPECT_TRUE(sim.logSink.Contains("g_AudioOutMixer.SetFaderValue 011"));
}

}  // namespace
}  // namespace vocastra
