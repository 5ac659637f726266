// The FileSystem implementations against one set of cases: the host one
// everywhere, and on Windows (under Wine) the Win32 one.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/check_vista_os.h"
#include "platform/sim/host_file_system.h"
#include "platform/sim/sim_os_version.h"
#include "test_support.h"
#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#endif

namespace vocastra {
namespace {

struct Impl {
    const char* name;
    std::function<std::unique_ptr<FileSystem>()> make;
};

std::vector<Impl> Implementations() {
    std::vector<Impl> all{{"host", [] { return std::make_unique<HostFileSystem>(); }}};
#ifdef _WIN32
    all.push_back({"win32", [] { return std::make_unique<win32::Win32FileSystem>(); }});
#endif
    return all;
}

TEST(FileSystemConformance, ReadsSizesAndLists) {
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto fs = impl.make();
        dir.Write("a.wav", "RIFF0123WAVEfmt ");
        dir.Write("B.WAV", "x");
        dir.Write("c.txt", "y");
        std::filesystem::create_directory(dir.File("d.wav"));  // a folder is not a file

        EXPECT_EQ(fs->FileSize(dir.File("a.wav")), 16u);
        EXPECT_FALSE(fs->FileSize(dir.File("missing.wav")));
        EXPECT_EQ(fs->ReadFile(dir.File("a.wav"), 4), "RIFF");
        EXPECT_EQ(fs->ReadFile(dir.File("a.wav"), 100, 8), "WAVEfmt ");
        EXPECT_EQ(fs->ReadFile(dir.File("a.wav"), 100, 16),
                  "");  // at the end: empty, not a failure
        EXPECT_EQ(fs->ReadFile(dir.File("a.wav"), 100, 1000), "");
        EXPECT_FALSE(fs->ReadFile(dir.File("missing.wav"), 100));
        EXPECT_FALSE(fs->ReadFile(dir.File("d.wav"), 100));
        EXPECT_TRUE(fs->FileExists(dir.File("a.wav")));
        EXPECT_FALSE(fs->FileExists(dir.File("d.wav")));
        EXPECT_TRUE(fs->DirectoryExists(dir.File("d.wav")));

        auto names = fs->ListFiles(dir.Path(), ".wav");
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"B.WAV", "a.wav"}));
        EXPECT_TRUE(fs->ListFiles(dir.File("nowhere"), ".wav").empty());
    }
}

TEST(FileSystemConformance, WriteIsWholeOrNothing) {
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto fs = impl.make();
        dir.Write("config.xml", "old");
        EXPECT_TRUE(fs->WriteWholeFile(dir.File("config.xml"), "new contents"));
        EXPECT_EQ(dir.Read("config.xml"), "new contents");
        EXPECT_FALSE(std::filesystem::exists(dir.File("config.xml.tmp")));
        // A folder that does not exist: refused, nothing created.
        EXPECT_FALSE(fs->WriteWholeFile(dir.File("none") + "/x.xml", "data"));
        EXPECT_FALSE(std::filesystem::exists(dir.File("none")));
        // Windows-style separators reach the same file.
        std::filesystem::create_directory(dir.File("sub"));
        EXPECT_TRUE(fs->WriteWholeFile(dir.Path() + "sub\\n.xml", "n"));
        EXPECT_EQ(dir.Read("sub/n.xml"), "n");
    }
}

TEST(FileSystemConformance, ReadOnlyFileIsNotReplaced) {
    namespace sfs = std::filesystem;
    for (const auto& impl : Implementations()) {
        SCOPED_TRACE(impl.name);
        test::TempDir dir;
        auto fs = impl.make();
        dir.Write("config.xml", "kept");
        const sfs::path file = dir.File("config.xml");
        sfs::permissions(file, sfs::perms::owner_write | sfs::perms::group_write |
                                   sfs::perms::others_write,
                         sfs::perm_options::remove);
        EXPECT_FALSE(fs->WriteWholeFile(dir.File("config.xml"), "new"));
        EXPECT_EQ(dir.Read("config.xml"), "kept");
        EXPECT_FALSE(sfs::exists(dir.File("config.xml.tmp")));
        sfs::permissions(file, sfs::perms::owner_write, sfs::perm_options::add);
    }
}

TEST(CheckIsVistaOs, MajorVersionAboveFive) {
    SimOsVersion os;
    EXPECT_EQ(CheckIsVistaOs(os), 1);
    os.SetWindowsXp();
    EXPECT_EQ(CheckIsVistaOs(os), 0);
    os.Set(std::nullopt);
    EXPECT_EQ(CheckIsVistaOs(os), 0);
}

}  // namespace
}  // namespace vocastra
