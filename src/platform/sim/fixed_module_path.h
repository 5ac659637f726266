// A module path set by the test or the simulator.
#pragma once
#include "platform/module_path.h"

namespace vocastra {

class FixedModulePath : public ModulePath {
public:
    explicit FixedModulePath(std::string path) : m_path(std::move(path)) {}
    std::string GetModuleFileName(std::size_t maxChars) override {
        return m_path.size() < maxChars ? m_path : std::string();
    }
    void Set(std::string path) { m_path = std::move(path); }

private:
    std::string m_path;
};

}  // namespace vocastra
