#include "app/ini_save.h"

#include <map>
#include <set>

#include "platform/file_system.h"
#include "platform/sim/host_file_system.h"
#include "test_support.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/win32/win32_file_system.h"
#endif

namespace vocastra {
namespace {

// Files in memory, each step able to fail as a disk or a locked file does.
class MemoryFiles : public FileSystem {
  public:
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    bool failWrites = false;
    int writes = 0;

    std::optional<uint64_t> FileSize(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end() || unreadable.count(path))
            return std::nullopt;
        return it->second.size();
    }
    std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes,
                                        uint64_t offset) override {
        const auto it = files.find(path);
        if (it == files.end() || unreadable.count(path) || offset > it->second.size())
            return std::nullopt;
        return it->second.substr(static_cast<std::size_t>(offset), maxBytes);
    }
    bool WriteWholeFile(const std::string& path, const std::string& bytes) override {
        ++writes;
        if (failWrites)
            return false;
        files[path] = bytes;
        return true;
    }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    bool DirectoryExists(const std::string&) override { return false; }
    std::vector<std::string> ListFiles(const std::string&, const std::string&) override {
        return {};
    }
};

std::string Utf16Le(const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

const std::string kHandWritten =
    "; my settings, do not lose\r\n"
    "[SETTING]\r\n"
    "  ; volume tuned for the kitchen\r\n"
    "VAL_AUDIO_OUT_VOLUME=17\r\n"
    "Language_0=English\r\n"
    "\r\n"
    "[LCM]\r\n"
    "VAL_CONTRAST_0A=150 ; brighter\r\n"
    "[Mine]\r\n"
    "note=keep me\r\n";

TEST(SaveIniValues, AllValuesInOneWriteWithEveryOtherLineKept) {
    MemoryFiles fs;
    fs.files["s.ini"] = kHandWritten;
    EXPECT_EQ(SaveIniValues(fs, "s.ini", "SETTING",
                            {{"VAL_AUDIO_OUT_VOLUME", "3"}, {"VAL_LANGUAGE", "2"}}),
              IniSaveResult::Written);
    EXPECT_EQ(fs.writes, 1);
    EXPECT_EQ(fs.files["s.ini"],
              "; my settings, do not lose\r\n"
              "[SETTING]\r\n"
              "  ; volume tuned for the kitchen\r\n"
              "VAL_AUDIO_OUT_VOLUME=3\r\n"
              "Language_0=English\r\n"
              "VAL_LANGUAGE=2\r\n"
              "\r\n"
              "[LCM]\r\n"
              "VAL_CONTRAST_0A=150 ; brighter\r\n"
              "[Mine]\r\n"
              "note=keep me\r\n");

    // A missing file is made; a line feed in a value cannot add a key.
    EXPECT_EQ(SaveIniValues(fs, "new.ini", "SETTING", {{"VAL_RINGTONE", "a\nVAL_LANGUAGE=4"}}),
              IniSaveResult::Written);
    EXPECT_EQ(fs.files["new.ini"], "[SETTING]\r\nVAL_RINGTONE=a VAL_LANGUAGE=4\r\n");
}

TEST(SaveIniValues, AFailureAnywhereLeavesTheFileAsItWas) {
    MemoryFiles fs;
    fs.files["s.ini"] = kHandWritten;
    fs.failWrites = true;
    EXPECT_EQ(SaveIniValues(fs, "s.ini", "SETTING", {{"VAL_LANGUAGE", "1"}}),
              IniSaveResult::NotWritten);
    EXPECT_EQ(fs.files["s.ini"], kHandWritten);

    // There but unreadable (locked, no access): a file made of the new values
    // alone would lose every line the person wrote.
    fs.failWrites = false;
    fs.writes = 0;
    fs.unreadable.insert("s.ini");
    EXPECT_EQ(SaveIniValues(fs, "s.ini", "SETTING", {{"VAL_LANGUAGE", "1"}}),
              IniSaveResult::Unreadable);
    EXPECT_EQ(fs.writes, 0);
    EXPECT_EQ(fs.files["s.ini"], kHandWritten);

    // Larger than the limit: never read in part and written back cut.
    const std::string huge = kHandWritten + std::string(kMaxIniFileBytes, ';');
    fs.files["big.ini"] = huge;
    EXPECT_EQ(SaveIniValues(fs, "big.ini", "SETTING", {{"VAL_LANGUAGE", "1"}}),
              IniSaveResult::TooLarge);
    EXPECT_EQ(fs.writes, 0);
    EXPECT_EQ(fs.files["big.ini"], huge);
}

TEST(SaveIniValues, ValuesTakeTheEncodingOfTheFile) {
    MemoryFiles fs;
    auto codePage = [](std::string_view s) { return "<" + std::string(s) + ">"; };
    // Without a byte-order mark the reader takes the system code page.
    fs.files["plain.ini"] = "[S]\r\nK=1\r\n";
    EXPECT_EQ(SaveIniValues(fs, "plain.ini", "S", {{"K", "2"}}, codePage), IniSaveResult::Written);
    EXPECT_EQ(fs.files["plain.ini"], "[S]\r\nK=1\r\n[<S>]\r\n<K>=<2>\r\n");
    // UTF-16 stays UTF-16, the value as it is.
    fs.files["u.ini"] = Utf16Le(u"[S]\r\nName=\u4F60\r\n");
    EXPECT_EQ(SaveIniValues(fs, "u.ini", "S", {{"Ring", "\xE9\x88\xB4.wav"}}, codePage),
              IniSaveResult::Written);
    EXPECT_EQ(fs.files["u.ini"], Utf16Le(u"[S]\r\nName=\u4F60\r\nRing=\u9234.wav\r\n"));
}

struct Impl {
    const char* name;
    std::function<std::unique_ptr<FileSystem>()> make;
};

std::vector<Impl> DiskImplementations() {
    std::vector<Impl> all{{"host", [] { return std::make_unique<HostFileSystem>(); }}};
#ifdef _WIN32
    all.push_back({"win32", [] { return std::make_unique<win32::Win32FileSystem>(); }});
#endif
    return all;
}

// What a save killed midway leaves beside the file is no settings file: the
// next save writes over it and leaves nothing behind; and a save that cannot
// put its file in place leaves the old one whole.
TEST(SaveIniValues, ATemporaryFileLeftByAKilledSaveIsNeverTakenForSettings) {
    for (const auto& impl : DiskImplementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto fs = impl.make();
        dir.Write("Vocastra.ini", kHandWritten);
        dir.Write("Vocastra.ini.tmp", "[SETTING]\r\nVAL_AUDIO_OUT_VOLUME=9\r\nVAL_LANG");
        EXPECT_EQ(SaveIniValues(*fs, dir.File("Vocastra.ini"), "SETTING", {{"VAL_LANGUAGE", "3"}}),
                  IniSaveResult::Written);
        const std::string text = dir.Read("Vocastra.ini");
        EXPECT_NE(text.find("VAL_AUDIO_OUT_VOLUME=17\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("VAL_LANGUAGE=3\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("note=keep me\r\n"), std::string::npos) << text;
        EXPECT_FALSE(std::filesystem::exists(dir.File("Vocastra.ini.tmp")));

        // The temporary name taken by a folder: the save fails, the file stays.
        std::filesystem::create_directory(dir.File("Vocastra.ini.tmp"));
        EXPECT_EQ(SaveIniValues(*fs, dir.File("Vocastra.ini"), "SETTING", {{"VAL_LANGUAGE", "4"}}),
                  IniSaveResult::NotWritten);
        EXPECT_EQ(dir.Read("Vocastra.ini"), text);
    }
}

#ifdef _WIN32
// A reader holding the file open without delete sharing (the profile
// functions of another program do) keeps it from being replaced: the save
// gives up with the old file whole and nothing beside it, and succeeds once
// the reader has let go.
TEST(SaveIniValues, AReaderHoldingTheFileOpenNeverCostsIt) {
    test::TempDir dir;
    win32::Win32FileSystem fs;
    dir.Write("Vocastra.ini", kHandWritten);
    const std::wstring path = std::filesystem::path(dir.File("Vocastra.ini")).wstring();
    HANDLE reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveIniValues(fs, dir.File("Vocastra.ini"), "SETTING", {{"VAL_LANGUAGE", "3"}}),
              IniSaveResult::NotWritten);
    EXPECT_EQ(dir.Read("Vocastra.ini"), kHandWritten);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Vocastra.ini.tmp")));
    ::CloseHandle(reader);
    EXPECT_EQ(SaveIniValues(fs, dir.File("Vocastra.ini"), "SETTING", {{"VAL_LANGUAGE", "3"}}),
              IniSaveResult::Written);
    EXPECT_NE(dir.Read("Vocastra.ini").find("VAL_LANGUAGE=3\r\n"), std::string::npos);
}
#endif

}  // namespace
}  // namespace vocastra
