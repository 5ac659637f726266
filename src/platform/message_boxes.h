// MessageBoxes port: the program's modal message boxes, each with one OK
// button. UI thread; a call returns once the user has closed the box.
#pragma once
#include <string>

namespace vocastra {

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // An error that ends the program: stop icon, over the main window.
    virtual void ShowError(const std::string& text) = 0;
    // A warning: warning icon, owned by no window.
    virtual void ShowWarning(const std::string& text) = 0;
};

}  // namespace vocastra
