#include "link/frmDebug.h"

#include "common/FileSystem.h"
#include "common/OperatorPrompt.h"
#include "link/clsConnectionData.h"
#include "link/modUtilities.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessivar {

namespace {

constexpr char kVerboseOff = 20;
constexpr char kVerboseOn = 22;
constexpr const char* kLoginMarker = "Enter access code";
// The login waits are bounded in time (100 and 1000 pauses of 100 ms), not in reads: a
// controller whose banner comes in many small packets must not use up the attempts before
// its login text arrives.
constexpr IClock::Millis kLoginPause{100};
constexpr IClock::Millis kLoginWait = 100 * kLoginPause;
constexpr IClock::Millis kPromptWait = 1000 * kLoginPause;

std::string defaultTimeOfDay(const LocalDateTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

IClock::Millis silenceFor(float& timeout) {
    if (!(timeout > 0)) // also catches NaN
        timeout = 5.0F;
    double ms = std::ceil(static_cast<double>(timeout) * 1000.0);
    // Beyond the whole-command limit the silence limit no longer matters.
    ms = std::min(ms, static_cast<double>(frmDebug::kMaxCommandWait.count()));
    return IClock::Millis(static_cast<long long>(ms));
}

// Reads and drops what is already waiting, bounded so a controller that never stops
// talking cannot hold the console here.
template <typename Read> void discardPending(Read read) {
    for (std::size_t drained = 0; drained < frmDebug::kMaxReplyBytes;) {
        std::size_t got = read().size();
        if (got == 0)
            break;
        drained += got;
    }
}

} // namespace

bool replyHasPrompt(const std::string& reply, std::size_t from) {
    std::size_t start = from == 0 ? 0 : from - 1;
    return reply.find("\n>", start) != std::string::npos;
}

frmDebug::frmDebug(std::unique_ptr<ISerialPort> serial, std::unique_ptr<ITelnetClient> telnet,
                   IOperatorPrompt& prompt, IClock& clock, IFileSystem& files)
    : serial_(std::move(serial)), telnet_(std::move(telnet)), prompt_(prompt), clock_(clock),
      files_(files), formatTime_(defaultTimeOfDay) {}

frmDebug::~frmDebug() {
    if (!settings_)
        return;
    if (usesSerial())
        closeSerialPort();
    else
        telnet_->disconnect();
}

bool frmDebug::usesSerial() const {
    return settings_ && settings_->ConnectionType() == "Serial";
}

bool frmDebug::openConnection(std::shared_ptr<clsConnectionData> settings) {
    settings_ = std::move(settings);
    if (!settings_)
        return false;
    if (settings_->ConnectionType() == "Telnet")
        return openTelnetSession();
    return openSerialPort();
}

bool frmDebug::openSerialPort() {
    // A second attempt from the dialog must not fail because the first left the port open.
    if (serial_->isOpen())
        closeSerialPort();
    std::string line = std::to_string(settings_->baudRate()) + ",N,8,1";
    SerialOpenResult result = serial_->open(settings_->ComPort(), line);
    if (result.platformError) {
        prompt_.tell("DEBUG Serial COM Port Error.\rError # " + std::to_string(result.errorNumber) +
                         "\r" + result.errorDescription,
                     PromptIcon::Exclamation);
        return false;
    }
    if (serial_->isOpen())
        return true;
    prompt_.tell("DEBUG Serial COM Port Error.\rUnable to open DEBUG COM" +
                     std::to_string(settings_->ComPort()),
                 PromptIcon::Exclamation);
    closeSerialPort();
    return false;
}

void frmDebug::closeSerialPort() {
    serial_->clearInput();
    serial_->close();
}

template <typename Found> bool frmDebug::readUntil(IClock::Millis budget, Found found) {
    IClock::Millis deadline = clock_.monotonicNow() + budget;
    for (;;) {
        if (found(telnet_->read(kReadChunk)))
            return true;
        IClock::Millis now = clock_.monotonicNow();
        if (now >= deadline)
            return false;
        telnet_->waitForData(std::min(kLoginPause, deadline - now));
    }
}

bool frmDebug::openTelnetSession() {
    int code = telnet_->connect(settings_->TelnetAddress(), settings_->TelnetPort());
    if (code != 0) {
        prompt_.tell("Unable to connect.  Error " + std::to_string(code));
        return false;
    }

    // The login text is searched in everything read so far, so a marker split across two
    // network reads is still recognised.
    std::string login;
    bool sawLogin = readUntil(kLoginWait, [&login](const std::string& chunk) {
        login += chunk;
        if (login.find(kLoginMarker) != std::string::npos)
            return true;
        if (login.size() > kReadChunk) // keep only a tail long enough to hold the marker
            login.erase(0, login.size() - kReadChunk);
        return false;
    });
    if (!sawLogin) {
        prompt_.tell("Timeout waiting for Telnet Client");
        settings_->commitParameters();
        return false;
    }

    if (settings_->TelnetPassword().empty())
        telnet_->send("\r\n");
    else
        telnet_->send(settings_->TelnetPassword());

    // A missing command prompt is not a failure: the next command's reply will tell.
    readUntil(kPromptWait,
              [](const std::string& chunk) { return chunk.find('>') != std::string::npos; });
    return true;
}

void frmDebug::sendAlone(char control) {
    if (!settings_)
        return;
    if (usesSerial())
        serial_->write(std::string(1, control));
    else
        telnet_->send(std::string(1, control));
}

void frmDebug::turnOffVerbose() {
    sendAlone(kVerboseOff);
}

void frmDebug::turnOnVerbose() {
    sendAlone(kVerboseOn);
}

void frmDebug::setPortLogging(bool activate, const std::string& path, bool clean) {
    if (!path.empty() && activate) {
        if (clean)
            deleteFile(files_, path);
        portLogPath_ = path;
        portLogging_ = true;
    } else {
        portLogging_ = false;
    }
}

bool frmDebug::statusCOMPort() {
    return serial_->isOpen();
}

std::string frmDebug::sendCommand(const std::string& command, float& timeout) {
    IClock::Millis silence = silenceFor(timeout);
    if (!settings_)
        return {};
    std::string line = command + "\r";
    return usesSerial() ? sendSerial(line, silence) : sendTelnet(line, silence);
}

template <typename Port>
bool frmDebug::waitForMore(Port& port, IClock::Millis lastData, IClock::Millis began,
                           IClock::Millis silence) {
    IClock::Millis now = clock_.monotonicNow();
    IClock::Millis deadline = std::min(lastData + silence, began + kMaxCommandWait);
    if (now >= deadline)
        return false;
    port.waitForData(deadline - now);
    return true;
}

template <typename Port, typename Read>
std::string frmDebug::collectReply(Port& port, Read readSome, IClock::Millis began,
                                   IClock::Millis silence) {
    IClock::Millis lastData = began;
    std::string reply;
    for (;;) {
        std::string chunk = readSome();
        if (!chunk.empty()) {
            std::size_t from = reply.size();
            reply += chunk;
            if (reply.size() >= kMaxReplyBytes) {
                reply.resize(kMaxReplyBytes);
                break;
            }
            if (replyHasPrompt(reply, from))
                break;
            lastData = clock_.monotonicNow();
            continue; // more may already be waiting
        }
        if (!waitForMore(port, lastData, began, silence))
            break;
    }
    return reply;
}

std::string frmDebug::sendSerial(const std::string& line, IClock::Millis silence) {
    auto readSerial = [this] { return serial_->bytesWaiting() > 0 ? serial_->readAll() : ""; };
    // Late replies and unsolicited text must never be read as this command's reply.
    discardPending(readSerial);
    serial_->clearInput();

    serial_->write(line);
    IClock::Millis began = clock_.monotonicNow();
    if (portLogging_)
        appendLineToFile(files_, prompt_, formatTime_(clock_.localNow()) + "#CMD# " + line,
                         portLogPath_);

    std::string reply = collectReply(*serial_, readSerial, began, silence);

    if (portLogging_)
        appendLineToFile(files_, prompt_, "#RSP# " + reply, portLogPath_);
    return reply;
}

std::string frmDebug::sendTelnet(const std::string& line, IClock::Millis silence) {
    if (telnet_->isClosed()) {
        telnet_->disconnect();
        openTelnetSession();
    }
    // Whatever arrived before the command (a late reply to an earlier one that timed out)
    // is not this command's reply.
    auto readTelnet = [this] { return telnet_->read(kReadChunk); };
    discardPending(readTelnet);

    telnet_->send(line);
    IClock::Millis began = clock_.monotonicNow();
    return collectReply(*telnet_, readTelnet, began, silence);
}

} // namespace tessivar
