// ModulePath port: the full path of the running program.
#pragma once
#include <string>

namespace vocastra {

class ModulePath {
  public:
    virtual ~ModulePath() = default;
    // Full path of the running module, at most `maxChars` characters; empty
    // when it cannot be obtained (or is longer than that).
    virtual std::string GetModuleFileName(std::size_t maxChars) = 0;
};

}  // namespace vocastra
