#pragma once
// Stand-ins for the platform services, for the tests, the benchmarks and the fuzz harnesses: message
// boxes that record what is shown and answer from a script, and a registry held in memory.
#include <cctype>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/Registry.h"

namespace kv::platform {

// Records every message and answers questions from a queue (No when it is empty).
class ScriptedMessageBoxes : public MessageBoxes {
public:
    Answer Show(const Message& message) override {
        shown_.push_back(message);
        if (message.buttons == Buttons::Ok) return Answer::Ok;
        if (answers_.empty()) return Answer::No;
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    void QueueAnswer(Answer a) { answers_.push_back(a); }
    const std::vector<Message>& shown() const { return shown_; }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : shown_) out.push_back(m.text);
        return out;
    }
    void clear() { shown_.clear(); }

private:
    std::vector<Message> shown_;
    std::deque<Answer> answers_;
};

// Key and value names compare without regard to case, as the Windows registry does.
class MemoryRegistry : public RegistryReader {
public:
    std::optional<std::string> ReadString(Hive hive, const std::string& key, const std::string& valueName) const override {
        const auto it = values_.find(Id(hive, key, valueName));
        if (it == values_.end() || !it->second.isText) return std::nullopt;
        return it->second.text;
    }
    void SetString(Hive hive, const std::string& key, const std::string& valueName, std::string value) {
        values_[Id(hive, key, valueName)] = Entry{true, std::move(value)};
    }
    // Stores a value of another type (a number, binary data): it reads as missing.
    void SetNonText(Hive hive, const std::string& key, const std::string& valueName) {
        values_[Id(hive, key, valueName)] = Entry{false, {}};
    }

private:
    struct Entry {
        bool isText = true;
        std::string text;
    };
    static std::string Id(Hive hive, const std::string& key, const std::string& valueName) {
        std::string id = std::to_string(static_cast<uint32_t>(hive)) + "|" + key + "|" + valueName;
        for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return id;
    }
    std::map<std::string, Entry> values_;
};

}  // namespace kv::platform
