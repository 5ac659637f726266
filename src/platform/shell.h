// Shell port: what the program asks of the Windows shell besides the tray
// icon: starting a program or document ("open"), and the user's folders.
#pragma once
#include <string>

namespace vocastra {

class Shell {
  public:
    virtual ~Shell() = default;
    // Asks the shell to "open" `file` with `parameters`, shown normally.
    // Does not wait for the program. False when the shell refused at once.
    virtual bool Open(const std::string& file, const std::string& parameters) = 0;
    // The user's application-data folder (roaming), without a trailing
    // separator; empty when the shell does not know it.
    virtual std::string GetAppDataFolder() = 0;
};

}  // namespace vocastra
