#include "link/modUtilities.h"

#include "common/FileSystem.h"
#include "common/OperatorPrompt.h"

#include <cctype>
#include <cstdlib>

namespace tessivar {

void appendLineToFile(IFileSystem& files, IOperatorPrompt& prompt, const std::string& text,
                      const std::string& path) {
    if (!files.appendText(path, text + "\r\n"))
        prompt.tell("Error in Writing to log file: " + path + "\r");
}

bool deleteFile(IFileSystem& files, const std::string& path) {
    return files.remove(path);
}

std::string trimSpaces(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::int32_t parseHexValue(const std::string& text) {
    std::string rest = text;
    if (std::size_t prefix = rest.find("0x"); prefix != std::string::npos)
        rest = rest.substr(prefix + 2);
    rest = trimSpaces(rest);
    constexpr std::int64_t kMax = 0x7FFFFFFF;
    std::int64_t value = 0;
    for (char c : rest) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            break;
        value = value * 16 + digit;
        if (value > kMax)
            value = kMax; // saturate; further digits keep it there
    }
    return static_cast<std::int32_t>(value);
}

std::string findKeyValue(const std::string& key, const std::string& reply) {
    std::size_t at = reply.find(key);
    if (at == std::string::npos)
        return {};
    std::size_t from = at + key.size() + 1;
    if (from >= reply.size())
        return {};
    std::string rest = reply.substr(from);
    std::size_t equals = rest.find('=');
    if (equals == std::string::npos)
        return {};
    std::string value = trimSpaces(rest.substr(equals + 1));
    std::size_t end = value.find_first_of(" \r");
    if (end == std::string::npos)
        return {};
    return trimSpaces(value.substr(0, end));
}

std::vector<std::string> splitCommaList(std::string& text) {
    std::vector<std::string> fields;
    std::size_t comma;
    while ((comma = text.find(',')) != std::string::npos) {
        fields.push_back(trimSpaces(text.substr(0, comma)));
        text = trimSpaces(text.substr(comma + 1));
    }
    fields.push_back(text);
    return fields;
}

bool isAllDigits(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::string trimNonPrintable(const std::string& text) {
    auto printable = [](char c) {
        auto u = static_cast<unsigned char>(c);
        return u >= 32 && u <= 126;
    };
    std::size_t first = 0;
    while (first < text.size() && !printable(text[first]))
        ++first;
    std::size_t last = text.size();
    while (last > first && !printable(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::optional<double> leadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digitsStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    bool intDigits = i > digitsStart;
    bool fracDigits = false;
    if (i < text.size() && text[i] == '.') {
        std::size_t f = i + 1;
        while (f < text.size() && std::isdigit(static_cast<unsigned char>(text[f])))
            ++f;
        fracDigits = f > i + 1;
        if (fracDigits || intDigits)
            i = f;
    }
    if (!intDigits && !fracDigits)
        return std::nullopt;
    return std::strtod(text.substr(start, i - start).c_str(), nullptr);
}

} // namespace tessivar
