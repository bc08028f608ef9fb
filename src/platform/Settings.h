// The settings store: numbers and texts kept under the program's key, surviving a restart.
// The Qt layer installs one on QSettings (an INI file in the user's configuration folder);
// without it an in-memory store serves (tests, the batch tool).
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the value does not exist or is not of that kind; the output is then left alone.
    virtual bool ReadNumber(const std::string& name, std::uint32_t& value) = 0;
    virtual bool ReadText(const std::string& name, std::string& value) = 0;
    // False when the value could not be written.
    virtual bool WriteNumber(const std::string& name, std::uint32_t value) = 0;
    virtual bool WriteText(const std::string& name, const std::string& value) = 0;
    // Writes between these two reach the store's file together or not at all; EndBatch
    // says whether they did. A store in memory has nothing to wait for.
    virtual void BeginBatch() {}
    virtual bool EndBatch() { return true; }
};

// Values in memory only.
class MemorySettingsStore : public SettingsStore {
public:
    bool ReadNumber(const std::string& name, std::uint32_t& value) override;
    bool ReadText(const std::string& name, std::string& value) override;
    bool WriteNumber(const std::string& name, std::uint32_t value) override;
    bool WriteText(const std::string& name, const std::string& value) override;
    void Clear();
    bool Contains(const std::string& name) const;

private:
    std::map<std::string, std::uint32_t> numbers_;
    std::map<std::string, std::string> texts_;
};

// Installs the store used from now on; null returns to the process's in-memory store.
void SetSettingsStore(SettingsStore* store);
SettingsStore& Settings();

}  // namespace platform
