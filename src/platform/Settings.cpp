#include "platform/Settings.h"

namespace platform {

namespace {
SettingsStore* g_store = nullptr;
}

bool MemorySettingsStore::ReadNumber(const std::string& name, std::uint32_t& value) {
    auto it = numbers_.find(name);
    if (it == numbers_.end()) return false;
    value = it->second;
    return true;
}

bool MemorySettingsStore::ReadText(const std::string& name, std::string& value) {
    auto it = texts_.find(name);
    if (it == texts_.end()) return false;
    value = it->second;
    return true;
}

bool MemorySettingsStore::WriteNumber(const std::string& name, std::uint32_t value) {
    texts_.erase(name);
    numbers_[name] = value;
    return true;
}

bool MemorySettingsStore::WriteText(const std::string& name, const std::string& value) {
    numbers_.erase(name);
    texts_[name] = value;
    return true;
}

void MemorySettingsStore::Clear() {
    numbers_.clear();
    texts_.clear();
}

bool MemorySettingsStore::Contains(const std::string& name) const {
    return numbers_.count(name) != 0 || texts_.count(name) != 0;
}

void SetSettingsStore(SettingsStore* store) { g_store = store; }

SettingsStore& Settings() {
    if (g_store) return *g_store;
    static MemorySettingsStore process;
    return process;
}

}  // namespace platform
