// Calls the client's API cannot place, dialled from the handset under Wine:
// through the stand-in client's own windows (its dial pad and country popup,
// a conversation's call button and number popup), through its call URI (the
// registered client program started by the shell), and through the API for
// a client that still takes calls there. Also what the program sets in the
// client at attach: the handset's sound devices and one option of the
// profile's config.xml.
#include <windows.h>
// After windows.h, which it builds on.
#include <shlobj.h>

#include <sqlite3.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "client_control.h"
#include "device/key_codes.h"
#include "handset_server.h"
#include "harness.h"
#include "usb_phone_device.h"

namespace {

using e2e::ClientWindow;
using e2e::Control;

constexpr const wchar_t* kClientKey = L"Software\\Skype\\Phone";
// The stand-in client signs in as this user; its profile folder is named so.
constexpr const wchar_t* kUser = L"echo123";

// While it lives, the stand-in client is the registered client program
// (HKEY_CURRENT_USER, the first place the program looks).
class RegisteredClient {
  public:
    explicit RegisteredClient(const std::wstring& exe) {
        HKEY key = nullptr;
        E2E_CHECK(::RegCreateKeyExW(HKEY_CURRENT_USER, kClientKey, 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &key, nullptr) == ERROR_SUCCESS);
        const LONG r = ::RegSetValueExW(key, L"SkypePath", 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(exe.c_str()),
                                        static_cast<DWORD>((exe.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
        E2E_CHECK(r == ERROR_SUCCESS);
    }
    ~RegisteredClient() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kClientKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        ::RegDeleteValueW(key, L"SkypePath");
        ::RegCloseKey(key);
    }
    RegisteredClient(const RegisteredClient&) = delete;
    RegisteredClient& operator=(const RegisteredClient&) = delete;
};

// The signed-in user's profile folder of the client (application data,
// "Skype\echo123"), fresh for one scenario and removed after it.
class Profile {
  public:
    Profile() {
        wchar_t appData[MAX_PATH] = {};
        E2E_CHECK(SUCCEEDED(
            ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)));
        m_base = e2e::Join(appData, L"Skype");
        m_dir = e2e::Join(m_base, kUser);
        Clear();
        ::CreateDirectoryW(m_base.c_str(), nullptr);
        E2E_CHECK_MSG(::CreateDirectoryW(m_dir.c_str(), nullptr),
                      "cannot make the profile folder " << e2e::Narrow(m_dir));
    }
    ~Profile() { Clear(); }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    std::wstring Path(const wchar_t* name) const { return e2e::Join(m_dir, name); }
    // The names of the files in the folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW(e2e::Join(m_dir, L"*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(e2e::Narrow(fd.cFileName));
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
        return names;
    }

  private:
    void Clear() {
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW(e2e::Join(m_dir, L"*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    continue;
                const std::wstring f = e2e::Join(m_dir, fd.cFileName);
                ::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(f.c_str());
            } while (::FindNextFileW(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryW(m_dir.c_str());
        ::RemoveDirectoryW(m_base.c_str());  // only when nothing else is in it
    }
    std::wstring m_base, m_dir;
};

// The client's contacts database with the columns the program reads; each
// row: handle, display name, mobile number (may be empty: no numbers).
void WriteContactsDb(const std::wstring& path,
                     const std::vector<std::vector<std::string>>& contacts) {
    sqlite3* db = nullptr;
    E2E_CHECK(sqlite3_open16(path.c_str(), &db) == SQLITE_OK);
    const char* schema =
        "CREATE TABLE Contacts (id INTEGER NOT NULL PRIMARY KEY, is_permanent INTEGER, type "
        "INTEGER, skypename TEXT, fullname TEXT, displayname TEXT, isauthorized INTEGER, "
        "phone_home TEXT, phone_office TEXT, phone_mobile TEXT, assigned_phone1 TEXT, "
        "assigned_phone2 TEXT, assigned_phone3 TEXT)";
    char* err = nullptr;
    const int rc = sqlite3_exec(db, schema, nullptr, nullptr, &err);
    const std::string why = err ? err : "";
    sqlite3_free(err);
    E2E_CHECK_MSG(rc == SQLITE_OK, "cannot make the contacts table: " << why);
    sqlite3_stmt* st = nullptr;
    E2E_CHECK(
        sqlite3_prepare_v2(db,
                           "INSERT INTO Contacts (is_permanent, type, skypename, "
                           "displayname, isauthorized, phone_mobile) VALUES (1, 1, ?, ?, 1, ?)",
                           -1, &st, nullptr) == SQLITE_OK);
    for (const auto& c : contacts) {
        sqlite3_bind_text(st, 1, c[0].c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, c[1].c_str(), -1, SQLITE_TRANSIENT);
        if (c[2].empty())
            sqlite3_bind_null(st, 3);
        else
            sqlite3_bind_text(st, 3, c[2].c_str(), -1, SQLITE_TRANSIENT);
        E2E_CHECK(sqlite3_step(st) == SQLITE_DONE);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    E2E_CHECK(sqlite3_close(db) == SQLITE_OK);
}

int ScanCodeOf(int keyCode) {
    const vocastra::Settings defaults;
    for (int i = 0; i < vocastra::kKeyScanCount; ++i)
        if (defaults.VAL_KEYSCAN[i] == keyCode)
            return i + 1;
    throw e2e::Failure{"no scan code gives key " + std::to_string(keyCode)};
}

std::vector<std::string> Lines(const std::wstring& path) {
    std::vector<std::string> out;
    std::istringstream in(e2e::FileExists(path) ? e2e::ReadFileBytes(path) : std::string());
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

struct Session {
    std::wstring dir;
    std::wstring commands;  // what the client received and its windows were given
    std::wstring log;       // the program's log
    e2e::Process client;
    e2e::Process program;

    std::string Text(const std::wstring& path) const {
        return e2e::FileExists(path) ? e2e::ReadFileBytes(path) : std::string();
    }
    std::string Report() const {
        return "the client saw:\n" + Text(commands) + "\nlog:\n" + Text(log);
    }
    int Count(const std::string& line) const {
        int n = 0;
        for (const auto& l : Lines(commands))
            n += l == line;
        return n;
    }
    // Lines beginning with `prefix`.
    int CountPrefix(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : Lines(commands))
            n += l.rfind(prefix, 0) == 0;
        return n;
    }
    bool LogHas(const std::string& text) const { return Text(log).find(text) != std::string::npos; }
    void WaitLine(const std::string& line, int count = 1) const {
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return Count(line) >= count; }, 20000),
                      "the client never saw \"" << line << "\" x" << count << "; " << Report());
    }
    int LogCount(const std::string& text) const {
        const std::string l = Text(log);
        int n = 0;
        for (auto at = l.find(text); at != std::string::npos; at = l.find(text, at + 1))
            ++n;
        return n;
    }
    void WaitLog(const std::string& text, int count = 1) const {
        E2E_CHECK_MSG(e2e::WaitUntil([&] { return LogCount(text) >= count; }, 20000),
                      "the program never logged \"" << text << "\" x" << count << "; " << Report());
    }
};

// The stand-in client with `clientArgs`, then the program with a started
// handset, once the sign-in is through and the handset shows its main screen.
void StartSignedIn(const e2e::Context& ctx, const wchar_t* name, const std::wstring& clientArgs,
                   e2e::HandsetServer& server, Session& s) {
    E2E_CHECK_MSG(e2e::FindMainWindow() == nullptr, "a Vocastra window is already open");
    E2E_CHECK_MSG(ClientWindow() == nullptr, "a stand-in client is already running");
    const std::wstring exe = e2e::PrepareInstall(ctx, name);
    s.dir = exe.substr(0, exe.find_last_of(L'\\'));
    s.commands = e2e::Join(s.dir, L"client-commands.txt");
    s.log = e2e::Join(s.dir, L"vocastra.log");
    s.client = e2e::Process::Start(
        ctx.skypeSimExe, L"--attach success --log " + e2e::Quote(s.commands) + L" " + clientArgs,
        s.dir);
    E2E_CHECK_MSG(e2e::WaitUntil([] { return ClientWindow() != nullptr; }, 20000),
                  "the stand-in client's window did not appear");
    s.program =
        e2e::Process::Start(exe, L"", s.dir, {L"VOCASTRA_LOG_FILE=" + s.log, server.EnvEntry()});
    E2E_CHECK_MSG(e2e::WaitForMainWindow(s.program.Id(), 20000) != nullptr,
                  "the main window did not appear");
    E2E_CHECK(e2e::WaitUntil([&] { return server.Count("HANDSET <- CMD_CONNECT") > 0; }, 20000));
    server.handset().Start();
    s.WaitLine("SET RINGTONE 1 STATUS OFF");
    s.WaitLog("PSTN_BALANCE_CURRENCY EUR");
    s.WaitLog("SwitchMode:0\n");
}

void PressKey(e2e::HandsetServer& server, int keyCode) {
    server.handset().Press(ScanCodeOf(keyCode));
    server.handset().Release();
}

// Digits typed on the main screen, then the handset lifted: the number is called.
void DialDigits(e2e::HandsetServer& server, const std::string& digits) {
    for (char c : digits)
        PressKey(server, vocastra::KEY_0 + (c - '0'));
    PressKey(server, vocastra::KEY_HOOKUP);
}

// The contact list opened at `handle` (the client focuses it), its detail,
// and the call from there.
void CallContact(e2e::HandsetServer& server, Session& s, const std::string& handle) {
    const int lists = s.LogCount("SwitchMode:1\n"), details = s.LogCount("SwitchMode:11");
    Control("notify CONTACTS FOCUSED " + handle);
    s.WaitLog("SwitchMode:1\n", lists + 1);
    PressKey(server, vocastra::KEY_LEFT_FUNCTION);
    s.WaitLog("SwitchMode:11", details + 1);
    PressKey(server, vocastra::KEY_LEFT_FUNCTION);
}

// Index of the first line equal to `line` at or after `from`, or -1.
int Find(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (lines[i] == line)
            return i;
    return -1;
}

}  // namespace

// A client whose API places no calls, and a number with its international
// prefix: the dial pad gets it with "+" and Enter; the client asks for the
// country first, so its popup is clicked in the centre of its list and Enter
// follows six times; the client places the call itself.
E2E_SCENARIO(dialling_number_through_the_dial_pad) {
    e2e::HandsetServer server(L"vocastra-e2e-dialpad-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_dial_pad", L"--version 7.40.0.103 --countrypopup on", server, s);
    DialDigits(server, "004930123456");
    s.WaitLine("WINDOW call +4930123456 1000");
    s.WaitLog("CheckCountryCodeSettingWindowPopThread found country code setting wnd,set ok");

    const std::string enter = "WINDOW <- KEYDOWN TAccessibleEdit 13";
    // The six Enters after the pick arrive after the call went out.
    E2E_CHECK_MSG(e2e::WaitUntil(
                      [&] {
                          const auto l = Lines(s.commands);
                          const int click = Find(l, "WINDOW <- LBUTTONUP TPopupContainer 120,80");
                          int after = 0;
                          for (int i = click + 1; click >= 0 && i < static_cast<int>(l.size()); ++i)
                              after += l[i] == enter;
                          return after >= 6;
                      },
                      20000),
                  "no six Enters after the country was picked; " << s.Report());
    const auto l = Lines(s.commands);
    const int open = Find(l, "OPEN DIALPAD");
    const int set = Find(l, "WINDOW <- SETTEXT TAccessibleEdit +4930123456");
    const int first = Find(l, enter);
    const int popup = Find(l, "WINDOW shown TCountryCodePopup");
    const int down = Find(l, "WINDOW <- LBUTTONDOWN TPopupContainer 120,80");
    E2E_CHECK_MSG(
        open >= 0 && open < set && set < first && first < popup && popup < down,
        "not dial pad, number, Enter, country popup, click in that order; " << s.Report());
    // The number never went through the API.
    E2E_CHECK_MSG(s.CountPrefix("CALL ") == 0, "a CALL reached the API; " << s.Report());
    s.WaitLog("SwitchMode:2\n");
    E2E_CHECK(s.program.Running());
}

// A contact with telephone numbers in the client's database: the program
// opens a conversation with it, clicks the call button in the conversation's
// header and then the first number the client offers. A contact with only a
// client name goes to the dial pad.
E2E_SCENARIO(dialling_contact_through_the_conversation) {
    Profile profile;
    WriteContactsDb(profile.Path(L"main.db"),
                    {{"alice.w", "Alice Walker", "+3725550101"}, {"bob", "Bob Smith", ""}});
    e2e::HandsetServer server(L"vocastra-e2e-conv-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_conversation", L"--version 7.40.0.103 --outgoing refuse", server,
                  s);
    const int mainScreens = s.LogCount("SwitchMode:0\n");
    CallContact(server, s, "alice.w");
    s.WaitLine("WINDOW call alice.w 1000");
    const auto l = Lines(s.commands);
    const int open = Find(l, "OPEN IM alice.w");
    const int shown = Find(l, "WINDOW shown TConversationForm Alice Walker");
    // The header is 600 x 60: the button at (600 - 100, 60 / 2 - 5).
    const int header = Find(l, "WINDOW <- LBUTTONDOWN TConversationHeader 500,25");
    const int popup = Find(l, "WINDOW shown TCallPopup");
    const int entry = Find(l, "WINDOW <- LBUTTONDOWN TPopupContainer 20,20");
    E2E_CHECK_MSG(
        open >= 0 && open < shown && shown < header && header < popup && popup < entry,
        "not conversation, call button, popup, first number in that order; " << s.Report());
    E2E_CHECK_MSG(s.Count("OPEN DIALPAD") == 0 && s.CountPrefix("CALL ") == 0,
                  "the contact was dialled another way too; " << s.Report());
    s.WaitLog("CheckPopupCallWindowThread break,because click success");
    s.WaitLog("SwitchMode:2\n");

    // The call is refused; bob has no numbers: his name goes into the dial pad.
    s.WaitLog("SwitchMode:0\n", mainScreens + 1);
    CallContact(server, s, "bob");
    s.WaitLine("WINDOW <- SETTEXT TAccessibleEdit bob");
    s.WaitLine("WINDOW call bob 1001");
    E2E_CHECK_MSG(s.Count("OPEN IM bob") == 0, "bob's conversation was opened; " << s.Report());
}

// A client that still places calls through its API gets the CALL there, and
// its windows are left alone.
E2E_SCENARIO(dialling_through_the_api_for_an_older_client) {
    e2e::HandsetServer server(L"vocastra-e2e-api-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_api", L"--version 7.5.0.102", server, s);
    DialDigits(server, "004930123456");
    s.WaitLine("CALL 004930123456");
    s.WaitLog("SwitchMode:2\n");
    // Typing the digits opened the client's dial pad; nothing was typed into it.
    E2E_CHECK_MSG(s.CountPrefix("WINDOW <- SETTEXT") == 0 &&
                      s.CountPrefix("WINDOW <- KEYDOWN") == 0 && s.CountPrefix("WINDOW call") == 0,
                  "the client's windows were driven; " << s.Report());
}

// A "1:" target is never called through the API: the shell opens the
// registered client program with the call URI, and the client (already
// running) takes it from the new start.
E2E_SCENARIO(dialling_uri_target_opens_the_client) {
    RegisteredClient registered(ctx.skypeSimExe);
    e2e::HandsetServer server(L"vocastra-e2e-uri-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_uri", L"--version 7.40.0.103", server, s);
    Control("notify USER 1:carol ONLINESTATUS ONLINE");
    CallContact(server, s, "1:carol");
    s.WaitLine("URI skype:1:carol?call");
    s.WaitLine("WINDOW call 1:carol");
    s.WaitLog("Call [1:carol] By URI Way");
    s.WaitLog("SwitchMode:2\n");
    E2E_CHECK_MSG(s.CountPrefix("CALL ") == 0 && s.Count("OPEN DIALPAD") == 0,
                  "the target was dialled another way too; " << s.Report());
}

// At attach the client is given the handset's sound devices by their names
// (recording, playback, and the playback device as its ringer), and the
// profile's config.xml gets its outgoing-call option set; every byte of the
// file outside that element's text stays as the client wrote it.
E2E_SCENARIO(attach_sets_sound_devices_and_client_option) {
    e2e::UsbPhoneDevice usb;
    Profile profile;
    const std::string head =
        "<?xml version=\"1.0\"?>\n"
        "<config version=\"1.0\" serial=\"28\" timestamp=\"1796688000.5\">\n"
        "  <Lib>\n"
        "    <Account>\n"
        "      <IdleTimeForAway>300000</IdleTimeForAway>\n"
        "    </Account>\n"
        "  </Lib>\n"
        "  <UI>\n"
        "\t<General>\r\n"
        "      <Language>en</Language>  <!-- the user's own -->\n"
        "      <ConfirmSkypeOutCallto>";
    const std::string tail =
        "</ConfirmSkypeOutCallto>\n"
        "      <Empty/>\n"
        "    </General>\n"
        "  </UI>\n"
        "</config>\n";
    const std::wstring config = profile.Path(L"config.xml");
    e2e::WriteFileBytes(config, head + "0" + tail);

    e2e::HandsetServer server(L"vocastra-e2e-attach-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"attach_sets_devices", L"", server, s);
    s.WaitLog("ModifyNode_Text success");
    const std::string after = e2e::ReadFileBytes(config);
    E2E_CHECK_MSG(after == head + "1" + tail, "config.xml is not the same but for the option:\n"
                                                  << after);

    // Each name is the handset's, never empty. (Wine opens the mixer of a
    // wave-in id as that of the wave-out id, so the recording device is
    // named "Out: USB PHONE" too.)
    for (const char* prefix : {"SET AUDIO_IN ", "SET AUDIO_OUT ", "SET RINGER "}) {
        std::string found;
        for (const auto& l : Lines(s.commands))
            if (l.rfind(prefix, 0) == 0)
                found = l.substr(std::string(prefix).size());
        E2E_CHECK_MSG(found.find("USB PHONE") != std::string::npos,
                      "\"" << prefix << "\" did not name the handset's device; " << s.Report());
    }
    E2E_CHECK(s.Count("SET AUDIO_OUT Out: USB PHONE") == 1);
    E2E_CHECK(s.Count("SET RINGER Out: USB PHONE") == 1);
}

// A client that keeps its dial pad and conversations inside its main window:
// the program finds them there (the main window is shown with them).
E2E_SCENARIO(dialling_into_the_docked_client_windows) {
    Profile profile;
    // A name beyond ASCII: the database's text and the window's title meet in UTF-16.
    WriteContactsDb(profile.Path(L"main.db"), {{"emile.z", "\xc3\x89mile Zola", "+3725550102"}});
    e2e::HandsetServer server(L"vocastra-e2e-docked-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_docked", L"--version 8.30.0.50 --docked on --outgoing refuse",
                  server, s);
    const int mainScreens = s.LogCount("SwitchMode:0\n");
    DialDigits(server, "0044207946");
    s.WaitLine("WINDOW <- SETTEXT TAccessibleEdit +44207946");
    s.WaitLine("WINDOW call +44207946 1000");
    E2E_CHECK(s.Count("WINDOW shown TCallPhonesForm") == 0);
    E2E_CHECK(::FindWindowW(L"TCallPhonesForm", nullptr) == nullptr);  // none of its own
    // Refused by the far end: the handset is back on its main screen (still
    // lifted: put down now, the key would reach whatever screen comes next).
    s.WaitLog("SwitchMode:0\n", mainScreens + 1);

    CallContact(server, s, "emile.z");
    s.WaitLine("WINDOW shown TConversationForm docked \xc3\x89mile Zola");
    s.WaitLine("WINDOW <- LBUTTONDOWN TConversationHeader 500,25");
    s.WaitLine("WINDOW <- LBUTTONDOWN TPopupContainer 20,20");
    s.WaitLine("WINDOW call emile.z 1001");
    E2E_CHECK_MSG(s.CountPrefix("CALL ") == 0, "a CALL reached the API; " << s.Report());
}

// A dial pad that never takes the number: Enter is pressed again while the
// number field stays open, then the program gives up on it; the handset,
// showing the call, goes back to its main screen when it is put down.
E2E_SCENARIO(dialling_pad_that_never_takes_the_number) {
    e2e::HandsetServer server(L"vocastra-e2e-stuck-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_stuck", L"--version 7.40.0.103 --dialpad ignore", server, s);
    const int mainScreens = s.LogCount("SwitchMode:0\n");
    DialDigits(server, "123456");
    // A number without a country code is given the client's country's.
    s.WaitLine("WINDOW <- SETTEXT TAccessibleEdit +49123456");
    s.WaitLog("CheckCallIfSuccessThread:Call Edit Window Visible=1, retry to send call command", 5);
    // One Enter with the number, one for each retry.
    s.WaitLine("WINDOW <- KEYDOWN TAccessibleEdit 13", 6);
    E2E_CHECK_MSG(s.CountPrefix("WINDOW call") == 0 && s.CountPrefix("CALL ") == 0,
                  "a call was placed; " << s.Report());
    server.handset().HookDown();
    s.WaitLog("SwitchMode:0\n", mainScreens + 1);
    E2E_CHECK(s.program.Running());
}

// The program quits while its watchers still press Enter into a dial pad
// that never takes the number: it ends at once, as asked, and cleanly.
E2E_SCENARIO(dialling_watchers_end_with_the_program) {
    e2e::HandsetServer server(L"vocastra-e2e-quitdial-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"dialling_quit", L"--version 7.40.0.103 --dialpad ignore", server, s);
    DialDigits(server, "123456");
    s.WaitLog("CheckCallIfSuccessThread:Call Edit Window Visible=1, retry to send call command");
    E2E_CHECK(e2e::RunHelper(ctx.probeExe, L"quit") == 0);
    E2E_CHECK_MSG(s.program.WaitExit(20000), "the program did not end; " << s.Report());
    E2E_CHECK_MSG(s.program.ExitCode() == 0,
                  "the program ended with " << s.program.ExitCode() << "; " << s.Report());
}

// A config.xml the user made read-only is left as it is: the edit fails and
// says so, no byte changes, and no temporary file is left beside it.
E2E_SCENARIO(attach_leaves_a_read_only_client_config_alone) {
    Profile profile;
    const std::string text =
        "<?xml version=\"1.0\"?>\n<config version=\"1.0\">\n  <UI>\n    <General>\n"
        "      <ConfirmSkypeOutCallto>0</ConfirmSkypeOutCallto>\n    </General>\n  </UI>\n"
        "</config>\n";
    const std::wstring config = profile.Path(L"config.xml");
    e2e::WriteFileBytes(config, text);
    E2E_CHECK(::SetFileAttributesW(config.c_str(), FILE_ATTRIBUTE_READONLY));
    e2e::HandsetServer server(L"vocastra-e2e-roconfig-" + std::to_wstring(::GetCurrentProcessId()),
                              /*plugged=*/true);
    Session s;
    StartSignedIn(ctx, L"attach_read_only_config", L"", server, s);
    s.WaitLog("ModifyNode_Text failed");
    E2E_CHECK_MSG(e2e::ReadFileBytes(config) == text, "config.xml changed:\n"
                                                          << e2e::ReadFileBytes(config));
    const auto files = profile.Files();
    E2E_CHECK_MSG(files.size() == 1 && files[0] == "config.xml",
                  "the profile folder holds " << files.size() << " files");
    E2E_CHECK(s.program.Running());
}
