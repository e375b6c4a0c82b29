#pragma once
// The connection dialog's decisions, free of any widget: which typed values are refused and
// with which message, the order of the connection steps, and the controller state checks
// that follow the opening of the link. The Qt dialog only copies texts in and out.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tessivar {

class IOperatorPrompt;
class clsConnectionData;

inline constexpr const char* kMsgSerialPortText = "Invalid Serial Port Specified. (1-255)";
inline constexpr const char* kMsgSerialPortRange = "Invalid Serial Port Specified.  (1-255)";
inline constexpr const char* kMsgTelnetPort = "Invalid Telnet Port Specified. (1-32000)";
inline constexpr const char* kMsgIpAddress = "Invalid IP address.";
inline constexpr const char* kMsgNoData =
    "Cannot retrieve data.  Please check your settings and connections and try again.";
inline constexpr const char* kMsgTakeOver =
    "The connected controller is not active.  Do you want to make it active?";
inline constexpr const char* kMsgExitTitle = "Are you sure you want to exit?";
inline constexpr const char* kMsgExitText =
    "To continue the application, you must select a connection setting.  Select 'Back' to "
    "select a connection or 'Cancel' to shut down the application.";

inline constexpr int kSerialPollInterval = 75;
inline constexpr int kTelnetPollInterval = 200;

// The four address boxes as the dialog shows a stored "TelnetAddress": each part rewritten
// as a whole decimal number (leading zeros go). An address that is not four numbers shows
// four empty boxes rather than a half-filled, misleading one.
std::array<std::string, 4> addressBoxesFor(const std::string& storedAddress);

struct SerialChoice {
    std::int16_t comPort = 0;
};

struct TelnetChoice {
    std::int16_t port = 0;
    std::string address; // the four box texts joined with "." as typed
    std::string password;
};

// A refused value carries the message the operator is shown; an accepted one the value.
template <typename T> struct Checked {
    std::optional<T> value;
    std::string message;
};

Checked<SerialChoice> checkSerialFields(const std::string& comPortText);
Checked<TelnetChoice> checkTelnetFields(const std::string& portText,
                                        const std::array<std::string, 4>& addressTexts,
                                        const std::string& password);

// What the dialog's OK sequence needs of the program around it. The host owns the shared
// connection settings, the command channel and the card inventory.
class IConnectionHost {
public:
    virtual ~IConnectionHost() = default;
    // Replace the shared settings by a fresh instance that reads back what was just
    // committed.
    virtual void replaceSettings() = 0;
    // Throw away the command channel (closing its link) so a fresh one serves the new link.
    virtual void discardChannel() = 0;
    // openConnection with the shared settings; its failures were already shown.
    virtual bool openConnection() = 0;
    virtual void turnOffVerbose() = 0;
    virtual std::string getActiveStatus() = 0;
    virtual void doTakeOver() = 0;
    virtual void setPollInterval(int milliseconds) = 0;
    // Ends the dialog's modal display; it stays loaded, hidden, for the rest of the run.
    virtual void hideDialog() = 0;
    // The card inventory (InitCardArrays); starts the poll timer.
    virtual void runInventory() = 0;
};

// True when the controller answers the state query with a state word, asking twice.
bool checkControllerResponds(IConnectionHost& host);
// Asks twice for an active state and offers the takeover when neither answer has one.
void checkControllerActive(IConnectionHost& host, IOperatorPrompt& prompt);

enum class LinkKind { Local, Remote };

// The dialog's fields as typed.
struct ComSelectFields {
    LinkKind kind = LinkKind::Local;
    std::string comPort;
    std::array<std::string, 4> address;
    std::string telnetPort;
    std::string password;
};

// A link named on the command line: "serial:N" or "telnet://A.B.C.D[:PORT]". Only the
// fields it names; the access code stays as stored.
struct ConnectTarget {
    LinkKind kind = LinkKind::Local;
    std::string comPort;
    std::array<std::string, 4> address;
    std::string telnetPort = "23";
};
// The target, or the reason the text names none.
Checked<ConnectTarget> parseConnectTarget(const std::string& text);

// cmdOK: true when the link is open and the inventory taken (the dialog is done); false when
// the dialog stays open, a message having been shown where one is due. dialogData is the
// dialog's own settings instance: the choice is set on it and committed from it.
bool runConnect(const ComSelectFields& fields, clsConnectionData& dialogData, IConnectionHost& host,
                IOperatorPrompt& prompt);

// cmdCancel: true when the operator chose to end the program.
bool confirmExit(IOperatorPrompt& prompt);

} // namespace tessivar
