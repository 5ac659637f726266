// The client's per-user configuration file (config.xml): finding an element
// by name, reading its text, and the two edits the program makes. The file is
// the client's: an edit changes the bytes of the one element it touches and
// leaves every other byte as the client wrote it, and a file that does not
// load is never written.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vocastra {

class FileSystem;

// Larger files are not the client's configuration; they are left alone.
inline constexpr std::size_t kMaxSkypeConfigBytes = 16u << 20;

// In-memory forms of the operations, on the file's bytes. The search starts
// at the document's root element and visits elements depth-first in
// document order, the root first; the first element named `name` (exactly)
// is the match.
bool XmlNodeExists(std::string_view xml, const std::string& name);
// The value of the match's first child node, empty when it has none; empty
// optional when there is no match or the text does not load.
std::optional<std::string> XmlGetNodeText(std::string_view xml, const std::string& name);
// The document with the match's children replaced by one text node; empty
// when there is no match or the text does not load.
std::optional<std::string> XmlModifyNodeText(std::string_view xml, const std::string& name,
                                             const std::string& text);
// The document with a new element `name` holding `text` appended as the last
// child of `parentName`; empty when there is no parent or the text does not load.
std::optional<std::string> XmlAddNodeText(std::string_view xml, const std::string& parentName,
                                          const std::string& name, const std::string& text);

// The same on a file, each loading it anew; the two edits save through the
// file system's replace-as-one-step. Each returns success.
bool NodeExists(FileSystem& fs, const std::string& path, const std::string& name);
bool GetNodeText(FileSystem& fs, const std::string& path, const std::string& name,
                 std::string& text);
bool ModifyNode_Text(FileSystem& fs, const std::string& path, const std::string& name,
                     const std::string& text);
bool AddNode_Text(FileSystem& fs, const std::string& path, const std::string& parentName,
                  const std::string& name, const std::string& text);

// Makes the client ask before an outgoing telephone call ("ConfirmSkypeOutCallto"
// = "1"); writes only when the option is missing or differs.
void EditSkypeConfig(FileSystem& fs, const std::string& path);

}  // namespace vocastra
