// Fuzz target: a config.xml as the client may have left it, searched and
// edited as the program does; nothing may crash, an edit must read back, and
// an added element must leave every byte of the file around it as it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skype/skype_config.h"

namespace {

std::size_t CommonPrefix(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

std::size_t CommonSuffix(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[a.size() - 1 - n] == b[b.size() - 1 - n])
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vocastra;
    const std::string xml(reinterpret_cast<const char*>(data), size);
    const std::string name = "ConfirmSkypeOutCallto";
    XmlNodeExists(xml, name);
    XmlGetNodeText(xml, "General");
    if (const auto edited = XmlModifyNodeText(xml, name, "1")) {
        if (XmlGetNodeText(*edited, name) != std::optional<std::string>("1"))
            __builtin_trap();
    }
    if (const auto added = XmlAddNodeText(xml, "General", name, "1")) {
        // The file is the old one with the new element put in at one place
        // (a parent written "<General/>" is opened and closed around it).
        if (added->size() <= xml.size() ||
            CommonPrefix(xml, *added) + CommonSuffix(xml, *added) + 16 < xml.size())
            __builtin_trap();
        if (!XmlNodeExists(*added, name))
            __builtin_trap();
    }
    return 0;
}
