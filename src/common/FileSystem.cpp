#include "common/FileSystem.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace tessivar {

StdFileSystem::StdFileSystem(std::string programDirectory)
    : programDirectory_(std::move(programDirectory)) {}

bool StdFileSystem::appendText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

bool StdFileSystem::writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

std::optional<std::string> StdFileSystem::readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return text;
}

bool StdFileSystem::remove(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(path, error) && !error;
}

bool StdFileSystem::exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.empty())
        lines.push_back(std::move(current));
    return lines;
}

} // namespace tessivar
