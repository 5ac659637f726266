// FileDialog port: the file-open dialog the ring-tone page browses with.
#pragma once
#include <optional>
#include <string>

namespace vocastra {

struct FileOpenRequest {
    std::string initialFolder;     // where the dialog starts
    std::string defaultExtension;  // added to a name typed without one, e.g. "wav"
    std::string filterName;        // e.g. "Wave Files (*.wav)"
    std::string filterPattern;     // e.g. "*.wav"
};

class FileDialog {
  public:
    virtual ~FileDialog() = default;
    // Shows an explorer-style file-open dialog owned by the program's active
    // window; only existing files can be chosen. Returns the chosen path, or
    // nothing when the user cancelled. UI thread.
    virtual std::optional<std::string> OpenFile(const FileOpenRequest& request) = 0;
};

}  // namespace vocastra
