#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessivar {

// Files as core uses them: every log line is written by opening, appending and closing, so
// nothing is held open across a run.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    // Appends the bytes as they are; creates the file when missing. False on any failure.
    virtual bool appendText(const std::string& path, const std::string& text) = 0;
    // Replaces the file's whole content. False on any failure.
    virtual bool writeText(const std::string& path, const std::string& text) = 0;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> readText(const std::string& path) = 0;
    virtual bool remove(const std::string& path) = 0;
    virtual bool exists(const std::string& path) = 0;
    // The folder the program runs from; log files live there.
    virtual std::string programDirectory() = 0;
};

// The machine's file system through the standard library.
class StdFileSystem : public IFileSystem {
public:
    explicit StdFileSystem(std::string programDirectory);
    bool appendText(const std::string& path, const std::string& text) override;
    bool writeText(const std::string& path, const std::string& text) override;
    std::optional<std::string> readText(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::string programDirectory() override { return programDirectory_; }

private:
    std::string programDirectory_;
};

// Splits a text into lines at CR LF, LF or CR; a final line end adds no empty line.
std::vector<std::string> splitLines(const std::string& text);

} // namespace tessivar
