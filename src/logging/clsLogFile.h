#pragma once

#include <string>
#include <vector>

namespace tessivar {

class IClock;
class IFileSystem;
class IOperatorPrompt;
class ISettingsStore;
class ITimeFormatter;
class clsQuorvelBoard;

// The simple event log and the detailed status log. Each line or block opens, appends and
// closes its file, so a run that ends abruptly loses nothing already reported.
class clsLogFile {
public:
    clsLogFile(IFileSystem& files, ISettingsStore& settings, IOperatorPrompt& prompt, IClock& clock,
               ITimeFormatter& formatter);

    bool SimpleLogEnable() const { return simpleEnabled_; }
    void SimpleLogEnable(bool on) { simpleEnabled_ = on; }
    bool DetailLogEnable() const { return detailEnabled_; }
    void DetailLogEnable(bool on) { detailEnabled_ = on; }
    bool TimeStamp() const { return timeStamp_; }
    void TimeStamp(bool on) { timeStamp_ = on; }
    bool DateStamp() const { return dateStamp_; }
    void DateStamp(bool on) { dateStamp_ = on; }

    // An empty name is refused: the call returns false and the previous name stays in use.
    bool setSimpleFileName(const std::string& name);
    bool setDetailFileName(const std::string& name);
    // The names as kept in the settings store ("" when never set), for the logging window.
    std::string SimpleLogFileName();
    std::string DetailLogFileName();

    // True when nothing had to be written or the line was written; false after a failure,
    // which has already been reported to the operator.
    bool addEntry(const std::string& text);
    // One comma-separated line from a card's last status command and its raw reply.
    bool addDetailEntry(const std::string& command, const std::string& response);
    // The same from the card's boardCommand and boardResponse.
    bool addDetailEntry(const clsQuorvelBoard& card);

    void addSimpleHeader();
    void addSimpleFooter();
    void addDetailHeader();
    void addDetailFooter();

    // The full paths the next line goes to: the name in the program's directory.
    std::string simpleFilePath();
    std::string detailFilePath();

    // The fields taken from a status reply: Total Errors, CRC Error, WC Error, LEN Error,
    // CRC, WC, then one per OD value in reply order.
    static std::vector<std::string> detailFields(const std::string& reply);

private:
    std::string stampLine();
    std::string block(const std::vector<std::string>& lines);
    bool append(const std::string& path, const std::string& text);
    std::string pathFor(const std::string& name);

    IFileSystem& files_;
    ISettingsStore& settings_;
    IOperatorPrompt& prompt_;
    IClock& clock_;
    ITimeFormatter& formatter_;

    std::string simpleName_;
    std::string detailName_;
    bool simpleEnabled_ = false;
    bool detailEnabled_ = false;
    bool timeStamp_ = true;
    bool dateStamp_ = true;
};

} // namespace tessivar
