// One table of INI cases run against every Profile implementation: the
// portable one everywhere, and on Windows (under Wine) the profile functions
// themselves, so the portable one is checked against the real rules.
// Files without a byte-order mark hold ASCII only here: the profile functions
// read those in the system code page, the portable one as UTF-8.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/ini_profile.h"
#include "test_support.h"
#ifdef _WIN32
#include "platform/win32/win32_profile.h"
#endif

namespace vocastra {
namespace {

struct Impl {
    const char* name;
    std::function<std::unique_ptr<Profile>()> make;
};

std::vector<Impl> Implementations() {
    std::vector<Impl> all{{"portable", [] { return std::make_unique<IniProfile>(); }}};
#ifdef _WIN32
    all.push_back({"win32", [] { return std::make_unique<win32::Win32Profile>(); }});
#endif
    return all;
}

std::string Utf16Le(const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

TEST(ProfileConformance, Reads) {
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto p = impl.make();
        const std::string f = dir.File("a.ini");
        dir.Write("a.ini", "; comment\r\n[Setting]\r\nKey=value one\r\nEmpty=\r\nLong=" +
                               std::string(300, 'x') +
                               "\r\nA=42\r\nB=-7\r\nC=12abc\r\n[Other]\r\nkey=x\r\n");
        bool found = true;
        EXPECT_EQ(p->GetString(dir.File("none.ini"), "Setting", "Key", "dflt", 255, &found),
                  "dflt");
        EXPECT_FALSE(found);
        EXPECT_EQ(p->GetString(f, "Setting", "Missing", "dflt", 255, &found), "dflt");
        EXPECT_FALSE(found);
        EXPECT_EQ(p->GetString(f, "NoSection", "Key", "dflt", 255, &found), "dflt");
        EXPECT_FALSE(found);
        // Names are case-insensitive.
        EXPECT_EQ(p->GetString(f, "SETTING", "KEY", "", 255, &found), "value one");
        EXPECT_TRUE(found);
        EXPECT_EQ(p->GetString(f, "other", "KEY", "", 255), "x");
        EXPECT_EQ(p->GetString(f, "setting", "empty", "dflt", 255, &found), "");
        EXPECT_TRUE(found);
        // At most the buffer less one character.
        EXPECT_EQ(p->GetString(f, "Setting", "Long", "", 255), std::string(254, 'x'));
        EXPECT_EQ(p->GetString(f, "Setting", "Key", "", 4), "val");
        EXPECT_EQ(p->GetInt(f, "setting", "a", 9), 42);
        EXPECT_EQ(p->GetInt(f, "Setting", "B", 9), -7);
        EXPECT_EQ(p->GetInt(f, "Setting", "C", 9), 12);
        EXPECT_EQ(p->GetInt(f, "Setting", "Empty", 9), 9);
        EXPECT_EQ(p->GetInt(f, "Setting", "Missing", 9), 9);
        EXPECT_EQ(p->GetInt(dir.File("none.ini"), "Setting", "A", 9), 9);
    }
}

TEST(ProfileConformance, WritesKeepEverythingElse) {
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto p = impl.make();
        const std::string f = dir.File("a.ini");
        dir.Write("a.ini",
                  "[SETTING]\r\n; tuned by "
                  "hand\r\nVAL_A=1\r\nVAL_B=2\r\n[LCM]\r\nVAL_CONTRAST_0A=150\r\n");
        EXPECT_TRUE(p->WriteString(f, "setting", "val_a", "5"));
        EXPECT_TRUE(p->WriteString(f, "SETTING", "VAL_NEW", "7"));
        EXPECT_TRUE(p->WriteString(f, "Fresh", "K", "v"));
        EXPECT_EQ(p->GetString(f, "SETTING", "VAL_A", "", 255), "5");
        EXPECT_EQ(p->GetString(f, "SETTING", "VAL_B", "", 255), "2");
        EXPECT_EQ(p->GetString(f, "SETTING", "VAL_NEW", "", 255), "7");
        EXPECT_EQ(p->GetString(f, "LCM", "VAL_CONTRAST_0A", "", 255), "150");
        EXPECT_EQ(p->GetString(f, "Fresh", "K", "", 255), "v");
        const std::string text = dir.Read("a.ini");
        EXPECT_NE(text.find("; tuned by hand"), std::string::npos) << text;
        // The value is changed where it stands, not appended as a second key.
        EXPECT_EQ(text.find("VAL_A=1"), std::string::npos) << text;
        EXPECT_LT(text.find("=5"), text.find("VAL_B=2")) << text;

        // A missing file is created.
        EXPECT_TRUE(p->WriteString(dir.File("new.ini"), "S", "K", "value"));
        EXPECT_EQ(p->GetString(dir.File("new.ini"), "s", "k", "", 255), "value");
    }
}

TEST(ProfileConformance, Utf16FilesAndNonAsciiPaths) {
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto p = impl.make();
        dir.Write("u.ini", Utf16Le(u"[S]\r\nName=Gr\u00FC\u00DFe \u4F60\u597D\r\nN=3\r\n"));
        const std::string f = dir.File("u.ini");
        EXPECT_EQ(p->GetString(f, "s", "name", "", 255),
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xE4\xBD\xA0\xE5\xA5\xBD");
        EXPECT_EQ(p->GetInt(f, "S", "N", 0), 3);
        EXPECT_TRUE(p->WriteString(f, "S", "N", "4"));
        EXPECT_TRUE(p->WriteString(f, "S", "Ring", "\xE9\x88\xB4.wav"));
        const std::string bytes = dir.Read("u.ini");
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");  // stays UTF-16LE
        EXPECT_EQ(p->GetInt(f, "S", "N", 0), 4);
        EXPECT_EQ(p->GetString(f, "S", "Ring", "", 255), "\xE9\x88\xB4.wav");
        EXPECT_EQ(p->GetString(f, "S", "Name", "", 255),
                  "Gr\xC3\xBC\xC3\x9F"
                  "e \xE4\xBD\xA0\xE5\xA5\xBD");

        // A folder name outside ASCII reaches the file system intact.
        const std::string sub = dir.Path() +
                                "Pr\xC3\xBC"
                                "fung";
#ifdef _WIN32
        std::filesystem::create_directory(std::filesystem::path(
            std::u8string(reinterpret_cast<const char8_t*>(sub.data()), sub.size())));
#else
        std::filesystem::create_directory(sub);
#endif
        const std::string g = sub + "/Vocastra.ini";
        EXPECT_TRUE(p->WriteString(g, "SETTING", "VAL_LANGUAGE", "2"));
        EXPECT_EQ(p->GetInt(g, "SETTING", "VAL_LANGUAGE", 0), 2);
    }
}

// Language files as they may be found: empty, without the section, with
// a value of 10 000 characters (cut to 254, never inside a character), with
// a key of 10 000 characters, or without a byte-order mark.
TEST(ProfileConformance, HostileLanguageFilesGiveEmptyOrCutTexts) {
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto p = impl.make();
        dir.Write("empty.ini", "");
        dir.Write("bom.ini", "\xFF\xFE");
        for (const char* f : {"empty.ini", "bom.ini"})
            EXPECT_EQ(p->GetString(dir.File(f), "Language", "Button_OK", "", 255), "");
        // 253 ideographs, then characters outside the basic plane (a
        // surrogate pair each in UTF-16): the cut falls inside the first.
        std::u16string longValue(253, u'\u4E2D');
        for (int i = 0; i < 5000; ++i)
            longValue += u"\U0001F4DE";
        const std::u16string longKey(10000, u'K');
        dir.Write("long.ini", Utf16Le(u"[Language]\r\nDlg_Caption=" + longValue + u"\r\n" +
                                      longKey + u"=x\r\nButton_OK=OK\r\n"));
        const std::string f = dir.File("long.ini");
        std::string ideographs;
        for (int i = 0; i < 253; ++i)
            ideographs += "\xE4\xB8\xAD";
        EXPECT_EQ(p->GetString(f, "Language", "Dlg_Caption", "", 255), ideographs);
        EXPECT_EQ(p->GetString(f, "Language", "Button_OK", "", 255), "OK");
        EXPECT_EQ(p->GetString(f, "Language", "K", "", 255), "");
        // Without a mark, ASCII text reads the same either way.
        dir.Write("plain.ini", "[Language]\r\nButton_OK=OK\r\n");
        EXPECT_EQ(p->GetString(dir.File("plain.ini"), "Language", "Button_OK", "", 255), "OK");
    }
}

}  // namespace
}  // namespace vocastra
