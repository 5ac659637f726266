// The client's config.xml: the one option the program sets, edited in place,
// every other byte as the client wrote it, and nothing written when the file
// is not one the program understands.
#include "skype/skype_config.h"

#include <filesystem>

#include "app/log.h"
#include "platform/sim/host_file_system.h"
#include "platform/sim/memory_log_sink.h"
#include "test_support.h"

namespace vocastra {
namespace {

// As the client lays its file out: declaration, CRLF, tabs, attributes,
// comments, an entity, and the option's name inside a comment and an attribute.
const std::string kHead =
    "<?xml version=\"1.0\"?>\r\n"
    "<config version=\"1.0\" serial=\"27\" timestamp=\"1.6e9\">\r\n"
    "\t<!-- <ConfirmSkypeOutCallto>0</ConfirmSkypeOutCallto> -->\r\n"
    "\t<General>\r\n"
    "\t\t<Language note='a &amp; b > c'>en</Language>\r\n";
const std::string kTail =
    "\t\t<Volume x=\"/>\"/>\r\n"
    "\t</General>\r\n"
    "\t<UI><General>nested</General></UI>\r\n"
    "</config>\r\n";

struct ConfigFile : ::testing::Test {
    test::TempDir dir;
    HostFileSystem fs;
    MemoryLogSink log;
    std::string path = dir.File("config.xml");
    ConfigFile() { SetLogSink(&log); }
    ~ConfigFile() override { SetLogSink(nullptr); }
    std::string Edit(const std::string& bytes) {
        dir.Write("config.xml", bytes);
        EditSkypeConfig(fs, path);
        return dir.Read("config.xml");
    }
};

TEST_F(ConfigFile, TheOptionIsSetInPlaceAndEveryOtherByteIsKept) {
    const std::string option0 = "\t\t<ConfirmSkypeOutCallto>0</ConfirmSkypeOutCallto>\r\n";
    const std::string option1 = "\t\t<ConfirmSkypeOutCallto>1</ConfirmSkypeOutCallto>\r\n";
    EXPECT_EQ(Edit(kHead + option0 + kTail), kHead + option1 + kTail);
    EXPECT_TRUE(log.Contains("ModifyNode_Text success"));

    // Already "1": not written at all.
    log.Clear();
    dir.Write("config.xml", kHead + option1 + kTail);
    const auto before = std::filesystem::last_write_time(path);
    EditSkypeConfig(fs, path);
    EXPECT_EQ(dir.Read("config.xml"), kHead + option1 + kTail);
    EXPECT_EQ(std::filesystem::last_write_time(path), before);
    EXPECT_FALSE(log.Contains("ModifyNode_Text success"));

    // An empty or self-closed option gains its text.
    EXPECT_EQ(Edit(kHead + "\t\t<ConfirmSkypeOutCallto/>\r\n" + kTail), kHead + option1 + kTail);
    EXPECT_EQ(Edit(kHead + "\t\t<ConfirmSkypeOutCallto></ConfirmSkypeOutCallto>\r\n" + kTail),
              kHead + option1 + kTail);
}

TEST_F(ConfigFile, AMissingOptionBecomesTheLastChildOfTheFirstGeneral) {
    // Laid out like its siblings, before the parent's closing tag.
    EXPECT_EQ(Edit(kHead + kTail), kHead +
                                       "\t\t<Volume x=\"/>\"/>\r\n"
                                       "\t\t<ConfirmSkypeOutCallto>1</ConfirmSkypeOutCallto>\r\n"
                                       "\t</General>\r\n"
                                       "\t<UI><General>nested</General></UI>\r\n"
                                       "</config>\r\n");
    EXPECT_TRUE(log.Contains("AddNode_Text success"));

    EXPECT_EQ(
        Edit("<config><General/></config>"),
        "<config><General><ConfirmSkypeOutCallto>1</ConfirmSkypeOutCallto></General></config>");
    EXPECT_EQ(Edit("<config><General a=\"1\"></General></config>"),
              "<config><General a=\"1\"><ConfirmSkypeOutCallto>1</ConfirmSkypeOutCallto></General>"
              "</config>");
}

TEST(ConfigSearch, FindsTheFirstElementInDocumentOrderUnderTheFirstRoot) {
    const std::string xml =
        "<r><a><deep><X>first</X></deep></a><X>second</X></r><other><X>third</X></other>";
    EXPECT_EQ(XmlGetNodeText(xml, "X"), "first");
    EXPECT_EQ(XmlModifyNodeText(xml, "X", "1"),
              "<r><a><deep><X>1</X></deep></a><X>second</X></r><other><X>third</X></other>");
    // Only the first root is searched.
    EXPECT_FALSE(XmlNodeExists("<r/><X>1</X>", "X"));
    EXPECT_EQ(XmlModifyNodeText("<r/><X>1</X>", "X", "1"), std::nullopt);
    // Names are compared exactly.
    EXPECT_FALSE(XmlNodeExists(xml, "x"));
    // The text is escaped, and the element then holds exactly it.
    EXPECT_EQ(XmlModifyNodeText("<r><X>0</X></r>", "X", "a<&>b"), "<r><X>a&lt;&amp;&gt;b</X></r>");
}

TEST_F(ConfigFile, AFileThatDoesNotLoadIsNeverWritten) {
    const std::string cases[] = {
        "",
        "not xml at all",
        "<config><General>",                                        // cut short
        "<config><General></Genral></config>",                      // mismatched
        "<config><Other/></config>",                                // no General
        std::string("<config><General>\0</General></config>", 37),  // a NUL inside
        std::string("\xFF\xFE<\0c\0/\0>\0", 10),                    // UTF-16
    };
    for (const std::string& bytes : cases) {
        log.Clear();
        EXPECT_EQ(Edit(bytes), bytes) << bytes;
        EXPECT_TRUE(log.Contains("AddNode_Text failed")) << bytes;
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    }

    // Larger than any configuration: left alone, said once.
    log.Clear();
    std::string huge =
        "<config><General>" + std::string(kMaxSkypeConfigBytes, ' ') + "</General></config>";
    EXPECT_EQ(Edit(huge).size(), huge.size());
    EXPECT_TRUE(log.Contains("AddNode_Text failed"));

    // No file at all: nothing is created.
    std::filesystem::remove(path);
    EditSkypeConfig(fs, path);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace vocastra
