#include "platform/sim/ini_profile.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace vocastra {
namespace {

TEST(IniProfile, NamesAreCaseInsensitiveAndFirstSectionWins) {
    test::TempDir dir;
    dir.Write("a.ini",
              "[Setting]\r\nKey = value one \r\n[other]\r\nkey=x\r\n[SETTING]\r\nkey=late\r\n");
    IniProfile p;
    EXPECT_EQ(p.GetString(dir.File("a.ini"), "SETTING", "KEY", "d", 255), "value one");
    EXPECT_EQ(p.GetString(dir.File("a.ini"), "setting", "missing", "d", 255), "d");
    EXPECT_EQ(p.GetString(dir.File("none.ini"), "setting", "key", "dflt", 255), "dflt");
    EXPECT_EQ(p.GetString(dir.File("a.ini"), "OTHER", "Key", "", 255), "x");
}

TEST(IniProfile, EveryLookupSeesTheFileAsItIsNow) {
    // Parses are kept between lookups; a file changed behind the profile's
    // back (same size, other bytes), removed, or one of more files than are
    // kept must still read as it is on disk.
    test::TempDir dir;
    IniProfile p;
    for (int i = 0; i < 20; ++i)
        dir.Write("f" + std::to_string(i) + ".ini", "[s]\nk=" + std::to_string(i) + "\n");
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 20; ++i)
            EXPECT_EQ(p.GetInt(dir.File("f" + std::to_string(i) + ".ini"), "s", "k", -1), i);
    // A file read in several blocks reads whole.
    dir.Write("big.ini", "[s]\n" + std::string(40000, ';') + "\n[t]\nlast=yes\n");
    EXPECT_EQ(p.GetString(dir.File("big.ini"), "t", "last", "", 255), "yes");
    const auto f = dir.File("f0.ini");
    dir.Write("f0.ini", "[s]\nk=7\n");
    EXPECT_EQ(p.GetInt(f, "s", "k", -1), 7);
    ASSERT_TRUE(p.WriteString(f, "s", "k", "8"));
    EXPECT_EQ(p.GetInt(f, "s", "k", -1), 8);
    std::filesystem::remove(f);
    EXPECT_EQ(p.GetInt(f, "s", "k", -1), -1);
}

TEST(IniProfile, AValueReadIsWrittenBackUnchanged) {
    // Found by fuzzing the settings round trip: a lone carriage return inside
    // a value was written back as a blank, so saving changed the setting.
    test::TempDir dir;
    dir.Write("a.ini", "[s]\r\nk=a\rb\r\n");
    IniProfile p;
    const auto f = dir.File("a.ini");
    const std::string v = p.GetString(f, "s", "k", "", 255);
    EXPECT_EQ(v, "a\rb");
    ASSERT_TRUE(p.WriteString(f, "s", "k", v));
    EXPECT_EQ(p.GetString(f, "s", "k", "", 255), "a\rb");
    // A line feed still cannot smuggle in a key.
    ASSERT_TRUE(p.WriteString(f, "s", "k", "x\nevil=1"));
    EXPECT_EQ(p.GetString(f, "s", "evil", "none", 255), "none");
}

TEST(IniProfile, ReadsAreCutToTheBuffer) {
    test::TempDir dir;
    dir.Write("a.ini", "[s]\nk=" + std::string(300, 'x') + "\nu=\xC3\xA4\xC3\xB6\xC3\xBC\n");
    IniProfile p;
    EXPECT_EQ(p.GetString(dir.File("a.ini"), "s", "k", "", 255).size(), 254u);
    // Cut by characters, never inside one.
    EXPECT_EQ(p.GetString(dir.File("a.ini"), "s", "u", "", 3), "\xC3\xA4\xC3\xB6");
}

TEST(IniProfile, IntegersParseLikeTheProfileFunctions) {
    test::TempDir dir;
    dir.Write("a.ini", "[s]\na=42\nb=-7\nc=12abc\nd=abc\ne=\n");
    IniProfile p;
    const auto f = dir.File("a.ini");
    EXPECT_EQ(p.GetInt(f, "s", "a", 9), 42);
    EXPECT_EQ(p.GetInt(f, "s", "b", 9), -7);
    EXPECT_EQ(p.GetInt(f, "s", "c", 9), 12);
    EXPECT_EQ(p.GetInt(f, "s", "d", 9), 0);
    EXPECT_EQ(p.GetInt(f, "s", "e", 9), 9);
    EXPECT_EQ(p.GetInt(f, "s", "zz", 9), 9);
}

TEST(IniProfile, WritesInPlaceKeepingEveryOtherLine) {
    test::TempDir dir;
    dir.Write("a.ini", "; comment\r\n[SETTING]\r\nA=1\r\nb=2\r\n\r\n[LCM]\r\nx=hand edited\r\n");
    IniProfile p;
    const auto f = dir.File("a.ini");
    ASSERT_TRUE(p.WriteString(f, "setting", "B", "20"));
    ASSERT_TRUE(p.WriteString(f, "SETTING", "new", "n"));
    ASSERT_TRUE(p.WriteString(f, "KEY", "k", "v"));
    EXPECT_EQ(dir.Read("a.ini"),
              "; comment\r\n[SETTING]\r\nA=1\r\nB=20\r\nnew=n\r\n\r\n[LCM]\r\nx=hand "
              "edited\r\n[KEY]\r\nk=v\r\n");
    // A value cannot smuggle in a second key.
    ASSERT_TRUE(p.WriteString(f, "SETTING", "A", "1\r\nevil=1"));
    EXPECT_EQ(p.GetString(f, "SETTING", "evil", "none", 255), "none");
}

TEST(IniProfile, Utf16FilesStayUtf16) {
    test::TempDir dir;
    std::string bytes = "\xFF\xFE";
    for (char c : std::string("[s]\r\nk=v\r\n")) {
        bytes += c;
        bytes += '\0';
    }
    dir.Write("w.ini", bytes);
    IniProfile p;
    const auto f = dir.File("w.ini");
    EXPECT_EQ(p.GetString(f, "s", "k", "", 255), "v");
    ASSERT_TRUE(p.WriteString(f, "s", "k", "\xE4\xB8\xAD"));  // U+4E2D
    const std::string out = dir.Read("w.ini");
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(out.find(std::string("=\0\x2D\x4E", 4)), std::string::npos);
    EXPECT_EQ(p.GetString(f, "s", "k", "", 255), "\xE4\xB8\xAD");
}

TEST(IniProfile, HostileBytesNeverCrash) {
    test::TempDir dir;
    dir.Write("odd.ini", std::string("\xFF\xFE[\0s\0]", 8) + "\xFF");
    dir.Write("bad.ini", "[s\n=\n[]\nk\n\xC3\n[s]\nk=\xF0\x9F\n");
    IniProfile p;
    p.GetString(dir.File("odd.ini"), "s", "k", "", 255);
    EXPECT_EQ(p.GetString(dir.File("bad.ini"), "s", "k", "", 255), "\xF0\x9F");
}

TEST(IniIndex, FindsWhatTheWalkOverTheLinesFinds) {
    // The index answers the profile's lookups; every rule of the walk must
    // hold in it: the first of duplicate sections (even an empty one) and
    // keys, ASCII-only case folding, trimming, quotes, keys before any
    // section, comments, and names no line can hold.
    const IniDocument doc = IniDocument::FromBytes(
        "top=before\r\n[Empty]\r\n[s]\r\n Key = one \r\nkey=two\r\n;c=comment\r\n"
        "q=\"quoted\"\r\nhalf=\"x\r\n=nokey\r\nsp ace=v\r\n\xC3\x84=upper\r\n"
        "[EMPTY]\r\nk=late\r\n[ S ]\r\nkey=second\r\nnew=in second\r\n[]\r\nk=blank\r\n"
        "[x\r\nk=open\r\nk2=a=b\r\n");
    const IniIndex index(doc);
    const std::vector<std::string> names{
        "",    "s",   "S", "empty", "Empty", "key",    "KEY",      "k",        "q",      "half",
        "new", "top", "c", ";c",    "k2",    "sp ace", "\xC3\x84", "\xC3\xA4", "s\nkey", "x"};
    for (const auto& section : names)
        for (const auto& key : names) {
            const std::optional<std::string> walked = doc.Get(section, key);
            const std::string* found = index.Find(section, key);
            ASSERT_EQ(walked.has_value(), found != nullptr) << section << "/" << key;
            if (found) {
                EXPECT_EQ(*found, *walked) << section << "/" << key;
            }
        }
    // A few answers spelled out, so a walk and an index wrong alike fail too.
    EXPECT_EQ(*index.Find("S", "KEY"), "one");
    EXPECT_EQ(*index.Find("s", "q"), "quoted");
    EXPECT_EQ(index.Find("s", "new"), nullptr);
    EXPECT_EQ(index.Find("empty", "k"), nullptr);
    EXPECT_EQ(*index.Find("", "k"), "blank");
}

// Files in memory, handed over without a copy as the fuzz targets do.
class InMemoryProfile : public IniProfile {
  public:
    std::map<std::string, std::string> files;
    int reads = 0;

  protected:
    std::optional<std::string> ReadBytes(const std::string& path) override {
        ++reads;
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    const std::string* PeekBytes(const std::string& path) override {
        const auto it = files.find(path);
        return it == files.end() ? nullptr : &it->second;
    }
    bool Exists(const std::string& path) override { return files.count(path) != 0; }
    bool ReplaceBytes(const std::string& path, const std::string& bytes) override {
        files[path] = bytes;
        return true;
    }
};

TEST(IniProfile, FilesHandedOverInPlaceReadAsTheyAreNow) {
    InMemoryProfile p;
    p.files["a.ini"] = "[s]\nk=1\n";
    EXPECT_EQ(p.GetInt("a.ini", "s", "k", -1), 1);
    p.files["a.ini"] = "[s]\nk=2\n";  // same size, other bytes
    EXPECT_EQ(p.GetInt("a.ini", "s", "k", -1), 2);
    ASSERT_TRUE(p.WriteString("a.ini", "s", "k", "3"));
    EXPECT_EQ(p.GetInt("a.ini", "s", "k", -1), 3);
    EXPECT_EQ(p.files["a.ini"], "[s]\nk=3\n");
    p.files.erase("a.ini");
    EXPECT_EQ(p.GetInt("a.ini", "s", "k", -1), -1);
    // A file only ReadBytes knows is still read through it.
    EXPECT_EQ(p.GetInt("none.ini", "s", "k", -1), -1);
    EXPECT_GT(p.reads, 0);
}

}  // namespace
}  // namespace vocastra
