// Writing values into an INI file so that a crash, a kill or a full disk in
// the middle never costs the file: the whole new text is built from the file
// as it is, written beside it and moved over it in one step.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vocastra {

class FileSystem;

enum class IniSaveResult {
    Written,
    Unreadable,  // the file is there but cannot be read: writing would lose its lines
    TooLarge,    // larger than any settings file; left alone rather than cut
    NotWritten,  // the new text could not be written or moved into place
};

inline constexpr std::size_t kMaxIniFileBytes = 16u << 20;

// Sets `values` in `section` of the file at `path` (created when missing),
// every other line kept. Anything but Written leaves the file as it was.
// `plainText`, when given, turns UTF-8 names and values into the bytes a
// file without a byte-order mark holds (the reader's code page).
IniSaveResult SaveIniValues(FileSystem& files, const std::string& path, std::string_view section,
                            const std::vector<std::pair<std::string, std::string>>& values,
                            const std::function<std::string(std::string_view)>& plainText = {});

const char* IniSaveResultText(IniSaveResult r);

}  // namespace vocastra
