// The INI profile with its files in memory: the same reading and writing of
// the text, without a disk in every run.
#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/sim/ini_profile.h"

namespace vocastra {

class MemoryIniProfile : public IniProfile {
  public:
    std::map<std::string, std::string> files;

  protected:
    std::optional<std::string> ReadBytes(const std::string& path) override {
        const auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    const std::string* PeekBytes(const std::string& path) override {
        const auto it = files.find(path);
        return it == files.end() ? nullptr : &it->second;
    }
    bool ReplaceBytes(const std::string& path, const std::string& bytes) override {
        files[path] = bytes;
        return true;
    }
};

}  // namespace vocastra
