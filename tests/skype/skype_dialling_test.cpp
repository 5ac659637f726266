// Calls the client's API cannot place: by its URI, through its dial pad and
// country popup, or through a conversation's call button and number popup,
// on a simulated desktop of the client's windows and the fake clock.
#include <sqlite3.h>

#include <algorithm>

#include "modes/mode_ids.h"
#include "skype_fixture.h"

namespace vocastra::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kEnterDown = "WINDOW <- POST TAccessibleEdit WM_KEYDOWN 0xd 0x1c0001";

struct Dialling : SkypeFixture {
    SimWindowAutomation& desk = sim.windows;
    WindowId field = 0;

    Dialling() {
        desk.SetObserver([this](const std::string& l) { Add("WINDOW <- " + l); });
        Attach();
        SetVersion(7, 40);
    }
    ~Dialling() override { desk.SetObserver(nullptr); }

    void SetVersion(int major, int minor) {
        skype.g_nSkypeMajor = major;
        skype.g_nSkypeMinor = minor;
    }
    // The dial pad as the client opens it: form, header, number field.
    void OpenDialPad() {
        const WindowId form = desk.AddWindow("TCallPhonesForm");
        const WindowId header = desk.AddWindow("TCallPhonesHeader", "", true, form);
        field = desk.AddWindow("TAccessibleEdit", "", true, header);
    }
    WindowId OpenPopup(const char* cls, WindowRect rect) {
        const WindowId popup = desk.AddWindow(cls);
        const WindowId container = desk.AddWindow("TPopupContainer", "", true, popup);
        desk.SetRect(container, rect);
        return popup;
    }
    // Runs the watchers on the fake clock until every one has ended; the
    // time that took.
    uint32_t RunWatchers() {
        const uint32_t start = sim.fakeClock.GetTickCount();
        for (int i = 0; i < 100000; ++i) {
            const uint32_t wait = app.dialler.PollWatchers(sim.fakeClock.GetTickCount());
            if (wait == CSkypeDialler::kIdle)
                break;
            sim.fakeClock.Advance(std::max<uint32_t>(wait, 1));
        }
        return sim.fakeClock.GetTickCount() - start;
    }
    std::vector<std::string> Lines(const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& l : Trace())
            if (l.rfind(prefix, 0) == 0)
                out.push_back(l);
        return out;
    }
    bool Logged(const std::string& line) { return sim.logSink.Contains(line); }
};

TEST_F(Dialling, ANumberWithZeroZeroIsTypedWithPlusAndTheCountryPopupIsClickedThenSixEnters) {
    OpenDialPad();
    WindowId popup = 0;
    bool placed = false;
    desk.SetReaction([&](const SimWindowAutomation::Delivery& d) {
        if (d.className == "TAccessibleEdit" && d.msg == kWmKeyDown) {
            if (!popup && !placed) {
                popup = OpenPopup("TCountryCodePopup", {100, 100, 401, 251});
            } else if (!desk.Exists(popup) && !placed) {
                placed = true;  // the number is taken: the dial pad goes
                desk.SetVisible(field, false);
            }
        }
        if (d.className == "TPopupContainer" && d.msg == kWmLButtonUp)
            desk.RemoveWindow(popup);
    });

    EXPECT_EQ(skype.SendMessageToSkype("CALL 00493012345"), 1);
    EXPECT_THAT(Lines("CLIENT <- "), ElementsAre("CLIENT <- OPEN DIALPAD"));
    EXPECT_THAT(Trace(), Contains("WINDOW <- SETTEXT TAccessibleEdit +493012345"));
    EXPECT_EQ(mode, MODE_RINGING);
    EXPECT_EQ(skype.LastCallTarget(), "00493012345");

    RunWatchers();
    const auto t = Trace();
    const auto click = std::find(t.begin(), t.end(),
                                 "WINDOW <- POST TPopupContainer WM_LBUTTONDOWN 0x1 0x4b0096 "
                                 "(at 150,75)");
    ASSERT_NE(click, t.end());
    EXPECT_EQ(std::count(t.begin(), click, std::string(kEnterDown)), 1);
    EXPECT_EQ(std::count(click, t.end(), std::string(kEnterDown)), 6);
    EXPECT_TRUE(placed);
    EXPECT_TRUE(
        Logged("CheckCountryCodeSettingWindowPopThread found country code setting wnd,set ok"));
    EXPECT_TRUE(
        Logged("CheckCallIfSuccessThread:Call Edit Window Visible=0, call should be successful"));
    EXPECT_EQ(app.dialler.WatcherCount(), 0u);
}

TEST_F(Dialling, AFieldThatKeepsTheNumberGetsEnterAgainAndTheWatchersEndInTime) {
    OpenDialPad();
    EXPECT_EQ(skype.SendMessageToSkype("CALL +3725551234"), 1);
    EXPECT_THAT(Trace(), Contains("WINDOW <- SETTEXT TAccessibleEdit +3725551234"));
    // Five checks a second apart press Enter again; the country watcher gives up at 10 s.
    EXPECT_EQ(RunWatchers(), 10000u);
    const auto t = Trace();
    EXPECT_EQ(std::count(t.begin(), t.end(), std::string(kEnterDown)), 1 + 5);
    EXPECT_TRUE(Logged("CheckCountryCodeSettingWindowPopThread break ,timeout"));
}

TEST_F(Dialling, UriTargetsNeverGoThroughTheApiWhateverTheVersion) {
    dir.Write("Skype.exe", "MZ");
    sim.registry.CreateKey(RegistryRoot::CurrentUser, "Software\\Skype\\Phone");
    sim.registry.SetString(RegistryRoot::CurrentUser, "Software\\Skype\\Phone", "SkypePath",
                           dir.File("Skype.exe"));
    std::string path;
    ASSERT_EQ(app.skypeEnv.GetSkypePath(path), 1);
    for (int minor : {5, 40}) {
        SetVersion(7, minor);
        Clear();
        EXPECT_EQ(skype.SendMessageToSkype("CALL 1:alice"), 1);
        EXPECT_THAT(Lines("CLIENT <- "), ElementsAre());
        EXPECT_EQ(mode, MODE_RINGING);
    }
    EXPECT_THAT(sim.shell.Opened(),
                ElementsAre(dir.File("Skype.exe") + " /uri:skype:1:alice?call",
                            dir.File("Skype.exe") + " /uri:skype:1:alice?call"));

    // A quote or blank would give the client arguments of the caller's making.
    EXPECT_EQ(skype.SendMessageToSkype("CALL 1:a\" /evil"), 1);
    EXPECT_EQ(sim.shell.Opened().size(), 2u);
}

TEST_F(Dialling, OlderClientsDialThroughTheApiAfterTheHandsetRings) {
    SetVersion(7, 5);
    client.AddContact({"bob", "Bob Smith", "Bobby"});
    Receive("USER bob DISPLAYNAME Bobby");
    Clear();
    EXPECT_EQ(skype.SendMessageToSkype("CALL bob"), 1);
    EXPECT_THAT(Trace(), ElementsAre("MODE 2", "CLIENT <- CALL bob"));
    EXPECT_EQ(skype.LastCallTarget(), "Bobby");
}

struct DiallingWithDatabase : Dialling {
    DiallingWithDatabase() {
        skype.points.GetSkypeDataPath.Fill([this](std::string) { return dir.Path(); });
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(dir.File("main.db").c_str(), &db), SQLITE_OK);
        sqlite3_exec(db,
                     "create table Contacts (is_permanent integer, type integer, isauthorized "
                     "integer, skypename text, displayname text, phone_home text, phone_office "
                     "text, phone_mobile text, assigned_phone1 text, assigned_phone2 text, "
                     "assigned_phone3 text);"
                     "insert into Contacts values (1,1,1,'carol','Carol K',NULL,NULL,'+4917',"
                     "NULL,NULL,NULL);"
                     "insert into Contacts values (1,1,1,'dave','Dave',NULL,NULL,NULL,NULL,"
                     "NULL,NULL);",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
        Receive("CURRENTUSERHANDLE echo123");
        Clear();
    }
};

TEST_F(DiallingWithDatabase, AContactWithoutPhonesIsDialledByNameOnTheDialPad) {
    OpenDialPad();
    EXPECT_EQ(skype.SendMessageToSkype("CALL dave"), 1);
    EXPECT_THAT(Lines("CLIENT <- "), ElementsAre("CLIENT <- OPEN DIALPAD"));
    EXPECT_THAT(Trace(), Contains("WINDOW <- SETTEXT TAccessibleEdit dave"));
    EXPECT_EQ(mode, MODE_RINGING);
}

TEST_F(DiallingWithDatabase, AContactWithPhonesIsCalledFromItsConversation) {
    const WindowId form = desk.AddWindow("TConversationForm", "Carol K");
    const WindowId header = desk.AddWindow("TConversationHeader", "", true, form);
    desk.SetRect(header, {0, 0, 500, 61});
    WindowId popup = 0;
    int popupClicks = 0;
    desk.SetReaction([&](const SimWindowAutomation::Delivery& d) {
        if (d.className == "TConversationHeader" && d.msg == kWmLButtonUp && !popup)
            popup = OpenPopup("TCallPopup", {0, 0, 200, 80});
        // The first entry is taken on the second click.
        if (d.className == "TPopupContainer" && d.msg == kWmLButtonUp && ++popupClicks == 2)
            desk.RemoveWindow(popup);
    });

    EXPECT_EQ(skype.SendMessageToSkype("CALL carol"), 1);
    EXPECT_THAT(Lines("CLIENT <- "), ElementsAre("CLIENT <- OPEN IM carol"));
    EXPECT_EQ(mode, MODE_RINGING);
    RunWatchers();
    EXPECT_THAT(Lines("WINDOW <- "),
                ElementsAre("WINDOW <- POST TConversationHeader WM_LBUTTONDOWN 0x1 0x190190 "
                            "(at 400,25)",
                            "WINDOW <- POST TConversationHeader WM_LBUTTONUP 0x0 0x190190 "
                            "(at 400,25)",
                            "WINDOW <- POST TPopupContainer WM_LBUTTONDOWN 0x1 0x140014 (at 20,20)",
                            "WINDOW <- POST TPopupContainer WM_LBUTTONUP 0x0 0x140014 (at 20,20)",
                            "WINDOW <- POST TPopupContainer WM_LBUTTONDOWN 0x1 0x140014 (at 20,20)",
                            "WINDOW <- POST TPopupContainer WM_LBUTTONUP 0x0 0x140014 (at 20,20)"));
    EXPECT_TRUE(Logged("CheckPopupCallWindowThread break,because click success"));
}

TEST_F(Dialling, WithoutTheClientsWindowsTheCallFailsAfterSixTriesAndTheHandsetStays) {
    const uint32_t start = sim.fakeClock.GetTickCount();
    const int before = mode;
    EXPECT_EQ(skype.SendMessageToSkype("CALL +123"), 1);
    EXPECT_EQ(mode, before);
    EXPECT_THAT(Trace(), Not(Contains(HasSubstr("MODE "))));
    EXPECT_TRUE(Logged("GUI Way failed, call failed"));
    EXPECT_EQ(sim.fakeClock.GetTickCount() - start, 6u * (100 + 500));
    EXPECT_THAT(Lines("CLIENT <- CALL"), ElementsAre());
}

TEST_F(Dialling, WindowsThatVanishEndTheWatchersAndQuittingDropsThem) {
    // The conversation's header goes before its first click.
    const WindowId form = desk.AddWindow("TConversationForm", "erin");
    desk.AddWindow("TConversationHeader", "", true, form);
    ASSERT_EQ(app.dialler.CallFromIM("erin"), 1);
    desk.RemoveWindow(form);
    RunWatchers();
    EXPECT_THAT(Lines("WINDOW <- "), ElementsAre());

    // The country popup goes between find and click: the Enters still follow.
    OpenDialPad();
    const WindowId popup = OpenPopup("TCountryCodePopup", {0, 0, 10, 10});
    ASSERT_EQ(app.dialler.DialByDialPad("+1"), 1);
    app.dialler.PollWatchers(sim.fakeClock.GetTickCount());
    desk.RemoveWindow(popup);
    RunWatchers();
    EXPECT_THAT(Lines("WINDOW <- POST TPopupContainer"), ElementsAre());

    // After the quit no watcher touches a window.
    ASSERT_EQ(app.dialler.DialByDialPad("+1"), 1);
    Clear();
    app.dialler.Stop();
    EXPECT_EQ(app.dialler.PollWatchers(sim.fakeClock.GetTickCount()), CSkypeDialler::kIdle);
    EXPECT_EQ(app.dialler.DialByDialPad("+1"), 0);
    EXPECT_EQ(app.dialler.WatcherCount(), 0u);
    sim.fakeClock.Advance(20000);
    app.dialler.PollWatchers(sim.fakeClock.GetTickCount());
    EXPECT_THAT(Lines("WINDOW <- "), ElementsAre());
}

}  // namespace
}  // namespace vocastra::test
