#pragma once
// Test doubles for core's outside interfaces: a clock that moves only when told, a prompt
// that records boxes and plays scripted answers, and a command channel that records
// commands and plays scripted replies.

#include "common/Clock.h"
#include "common/FileSystem.h"
#include "common/OperatorPrompt.h"
#include "link/CommandChannel.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tessivar::testing {

class FakeClock : public IClock {
public:
    Millis monotonicNow() override { return now; }
    void sleepFor(Millis duration) override {
        sleeps.push_back(duration);
        now += duration;
    }
    LocalDateTime localNow() override { return local; }
    void advance(Millis by) { now += by; }

    Millis now{1'000'000};
    LocalDateTime local{2026, 12, 11, 9, 30, 5};
    std::vector<Millis> sleeps;
};

struct PromptRecord {
    std::string message;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    std::string title;
    // For choose(): the two captions.
    std::string first;
    std::string second;
};

class FakePrompt : public IOperatorPrompt {
public:
    PromptAnswer ask(const std::string& message, PromptButtons buttons, PromptIcon icon,
                     const std::string& title) override {
        boxes.push_back({message, buttons, icon, title, {}, {}});
        if (onBox)
            onBox(boxes.back());
        if (!answers.empty()) {
            PromptAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (buttons) {
        case PromptButtons::YesNo:
            return PromptAnswer::No;
        case PromptButtons::OkCancel:
            return PromptAnswer::Cancel;
        default:
            return PromptAnswer::Ok;
        }
    }
    int choose(const std::string& title, const std::string& message, const std::string& first,
               const std::string& second) override {
        boxes.push_back({message, PromptButtons::Ok, PromptIcon::None, title, first, second});
        if (onBox)
            onBox(boxes.back());
        if (!choices.empty()) {
            int c = choices.front();
            choices.pop_front();
            return c;
        }
        return -1;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const auto& b : boxes)
            out.push_back(b.message);
        return out;
    }

    std::vector<PromptRecord> boxes;
    std::deque<PromptAnswer> answers;
    std::deque<int> choices;
    std::function<void(const PromptRecord&)> onBox;
};

// Replies are looked up by the exact command text first, then taken from the queue, else
// the default reply (empty: a controller that did not answer).
class FakeCommandChannel : public ICommandChannel {
public:
    void turnOffVerbose() override { commands.push_back(std::string(1, '\x14')); }
    void turnOnVerbose() override { commands.push_back(std::string(1, '\x16')); }

    std::vector<std::string> commands;
    std::map<std::string, std::string> replies;
    std::map<std::string, std::deque<std::string>> replySequences;
    std::deque<std::string> queue;
    std::string defaultReply;
    std::vector<float> timeoutsSeen;

protected:
    std::string sendCommand(const std::string& command, float& timeout) override {
        timeoutsSeen.push_back(timeout);
        if (timeout <= 0)
            timeout = 5.0F;
        commands.push_back(command);
        if (auto seq = replySequences.find(command);
            seq != replySequences.end() && !seq->second.empty()) {
            std::string r = seq->second.front();
            seq->second.pop_front();
            return r;
        }
        if (auto it = replies.find(command); it != replies.end())
            return it->second;
        if (!queue.empty()) {
            std::string r = queue.front();
            queue.pop_front();
            return r;
        }
        return defaultReply;
    }
};

// Files in memory, for exact-bytes checks of what was written.
class MemoryFileSystem : public IFileSystem {
public:
    bool appendText(const std::string& path, const std::string& text) override {
        if (failing.count(path))
            return false;
        files[path] += text;
        return true;
    }
    bool writeText(const std::string& path, const std::string& text) override {
        if (failing.count(path))
            return false;
        files[path] = text;
        return true;
    }
    std::optional<std::string> readText(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    bool remove(const std::string& path) override { return files.erase(path) > 0; }
    bool exists(const std::string& path) override { return files.count(path) > 0; }
    std::string programDirectory() override { return directory; }

    std::map<std::string, std::string> files;
    std::map<std::string, bool> failing;
    std::string directory = "/opt/tessivar";
};

} // namespace tessivar::testing
