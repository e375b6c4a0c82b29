#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessivar {

// The per-user settings store: text values by section and key (application "Tessivar").
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual std::optional<std::string> read(const std::string& section, const std::string& key) = 0;
    virtual void write(const std::string& section, const std::string& key,
                       const std::string& value) = 0;

    std::string get(const std::string& section, const std::string& key,
                    const std::string& fallback) {
        return read(section, key).value_or(fallback);
    }
};

// A store held in memory; it remembers the order of writes so callers that must write keys
// in a given order can be checked.
class MemorySettingsStore : public ISettingsStore {
public:
    std::optional<std::string> read(const std::string& section, const std::string& key) override {
        auto it = values_.find({section, key});
        if (it == values_.end())
            return std::nullopt;
        return it->second;
    }
    void write(const std::string& section, const std::string& key,
               const std::string& value) override {
        values_[{section, key}] = value;
        writes_.push_back(section + "/" + key);
    }
    const std::vector<std::string>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    std::vector<std::string> writes_;
};

} // namespace tessivar
