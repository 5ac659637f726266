#include "app/ini_save.h"

#include "app/ini_document.h"
#include "platform/file_system.h"

namespace vocastra {
namespace {

// Names and values are one line each: a line feed would start a new key. A
// lone carriage return ends no line in the reader, so it is kept.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        if (c == '\n')
            c = ' ';
    return out;
}

}  // namespace

IniSaveResult SaveIniValues(FileSystem& files, const std::string& path, std::string_view section,
                            const std::vector<std::pair<std::string, std::string>>& values,
                            const std::function<std::string(std::string_view)>& plainText) {
    IniDocument doc;
    if (files.FileExists(path)) {
        const auto size = files.FileSize(path);
        if (!size)
            return IniSaveResult::Unreadable;
        if (*size > kMaxIniFileBytes)
            return IniSaveResult::TooLarge;
        const auto bytes = files.ReadFile(path, kMaxIniFileBytes + 1);
        if (!bytes)
            return IniSaveResult::Unreadable;
        // Grown past the limit between the two looks: still not ours to cut.
        if (bytes->size() > kMaxIniFileBytes)
            return IniSaveResult::TooLarge;
        doc = IniDocument::FromBytes(*bytes);
    }
    auto text = [&](std::string_view s) {
        std::string line = OneLine(s);
        return plainText && !doc.HasByteOrderMark() ? plainText(line) : line;
    };
    const std::string sectionText = text(section);
    for (const auto& [key, value] : values)
        doc.Set(sectionText, text(key), text(value));
    return files.WriteWholeFile(path, doc.ToBytes()) ? IniSaveResult::Written
                                                     : IniSaveResult::NotWritten;
}

const char* IniSaveResultText(IniSaveResult r) {
    switch (r) {
        case IniSaveResult::Written:
            return "written";
        case IniSaveResult::Unreadable:
            return "the file cannot be read";
        case IniSaveResult::TooLarge:
            return "the file is too large";
        case IniSaveResult::NotWritten:
            return "the new file could not be written";
    }
    return "?";
}

}  // namespace vocastra
