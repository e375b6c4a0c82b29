#include "logging/clsLogFile.h"

#include "common/Clock.h"
#include "common/FileSystem.h"
#include "common/OperatorPrompt.h"
#include "common/SettingsStore.h"
#include "common/TimeFormatter.h"
#include "link/modUtilities.h"
#include "model/clsQuorvelBoard.h"

#include <cerrno>

namespace tessivar {

namespace {

constexpr const char* kSection = "Parms";
constexpr const char* kSimpleKey = "SimpleLogFileName";
constexpr const char* kDetailKey = "DetailLogFileName";
constexpr const char* kLineEnd = "\r\n";

// 1-based piece of a text; a piece running past the end is cut short and a start beyond the
// end gives an empty piece. The reply layouts below are written in these terms.
std::string mid(const std::string& text, std::size_t start, std::size_t length) {
    if (start < 1 || start > text.size())
        return {};
    return text.substr(start - 1, length);
}

std::string mid(const std::string& text, std::size_t start) {
    return mid(text, start, std::string::npos);
}

// 1-based position of the first occurrence, 0 when absent.
std::size_t position(const std::string& text, const std::string& label) {
    std::size_t at = text.find(label);
    return at == std::string::npos ? 0 : at + 1;
}

std::string rule() {
    return std::string(106, '*');
}

} // namespace

clsLogFile::clsLogFile(IFileSystem& files, ISettingsStore& settings, IOperatorPrompt& prompt,
                       IClock& clock, ITimeFormatter& formatter)
    : files_(files), settings_(settings), prompt_(prompt), clock_(clock), formatter_(formatter) {}

bool clsLogFile::setSimpleFileName(const std::string& name) {
    if (name.empty())
        return false;
    simpleName_ = name;
    settings_.write(kSection, kSimpleKey, name);
    return true;
}

bool clsLogFile::setDetailFileName(const std::string& name) {
    if (name.empty())
        return false;
    detailName_ = name;
    settings_.write(kSection, kDetailKey, name);
    return true;
}

std::string clsLogFile::SimpleLogFileName() {
    return settings_.get(kSection, kSimpleKey, "");
}

std::string clsLogFile::DetailLogFileName() {
    return settings_.get(kSection, kDetailKey, "");
}

std::string clsLogFile::pathFor(const std::string& name) {
    std::string directory = files_.programDirectory();
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

std::string clsLogFile::simpleFilePath() {
    return pathFor(simpleName_);
}

std::string clsLogFile::detailFilePath() {
    return pathFor(detailName_);
}

bool clsLogFile::append(const std::string& path, const std::string& text) {
    errno = 0;
    if (files_.appendText(path, text))
        return true;
    int code = errno;
    prompt_.tell("Error in Writing to log file: " + path + kLineEnd + std::to_string(code));
    return false;
}

std::string clsLogFile::stampLine() {
    LocalDateTime now = clock_.localNow();
    std::string line;
    if (dateStamp_)
        line += formatter_.monthDayYear(now) + ": ";
    if (timeStamp_)
        line += formatter_.timeOfDay(now);
    return line;
}

std::string clsLogFile::block(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + kLineEnd;
    return text;
}

bool clsLogFile::addEntry(const std::string& text) {
    if (!simpleEnabled_)
        return true;
    LocalDateTime now = clock_.localNow();
    std::string line;
    if (dateStamp_)
        line += formatter_.monthDayYear(now) + " : ";
    if (timeStamp_)
        line += formatter_.timeOfDay(now) + ": ";
    line += text;
    return append(simpleFilePath(), line + kLineEnd);
}

bool clsLogFile::addDetailEntry(const std::string& command, const std::string& response) {
    if (!detailEnabled_)
        return true;
    LocalDateTime now = clock_.localNow();
    std::string line;
    if (dateStamp_)
        line += formatter_.monthDayYear(now) + ",";
    if (timeStamp_)
        line += formatter_.timeOfDay(now) + ",";
    line += command;
    for (const auto& field : detailFields(response))
        line += "," + field;
    return append(detailFilePath(), line + kLineEnd);
}

bool clsLogFile::addDetailEntry(const clsQuorvelBoard& card) {
    return addDetailEntry(card.boardCommand(), card.boardResponse());
}

std::vector<std::string> clsLogFile::detailFields(const std::string& reply) {
    std::vector<std::string> fields;
    fields.push_back(mid(reply, position(reply, "Total Errors = ") + 15, 1));
    fields.push_back(mid(reply, position(reply, "CRC Error = ") + 12, 1));
    fields.push_back(mid(reply, position(reply, "WC Error = ") + 11, 1));
    fields.push_back(mid(reply, position(reply, "LEN Error = ") + 12, 1));
    fields.push_back(mid(reply, position(reply, "CRC = ") + 8, 4));
    std::size_t wc = position(reply, "WC = ");
    fields.push_back(trimSpaces(mid(reply, wc + 7, 4)));

    // Each OD value is written as 0x and four digits; every pass drops at least five
    // characters, so the loop ends on any reply.
    std::string rest = trimSpaces(mid(reply, wc + 13));
    while (rest.find("OD") != std::string::npos) {
        std::size_t x = position(rest, "x");
        fields.push_back(trimSpaces(mid(rest, x + 1, 4)));
        rest = trimSpaces(mid(rest, x + 6));
    }
    return fields;
}

void clsLogFile::addSimpleHeader() {
    append(simpleFilePath(), block({rule(), "START Logging", stampLine(), "", rule()}));
}

void clsLogFile::addSimpleFooter() {
    append(simpleFilePath(), block({rule(), "STOP Logging", stampLine(), "", rule()}));
}

void clsLogFile::addDetailHeader() {
    append(detailFilePath(),
           block({rule(), "START Logging", stampLine(), "", "File Format",
                  "Date, Time, Command, Total Errors, CRC Error, WC Error, LEN Error, CRC, WC, "
                  "OD1...last OD for that command",
                  "", rule()}));
}

void clsLogFile::addDetailFooter() {
    append(detailFilePath(), block({rule(), "STOP Logging", stampLine(), "", rule()}));
}

} // namespace tessivar
