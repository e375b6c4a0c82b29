#pragma once
// The frame controller's command set: one operation per query or command. Each builds the
// command text, sends it through the command channel with the default timeout (5 s of
// silence) and reads the reply. Queries give a defined value (empty text, 0, or the
// documented default) when the reply lacks what they look for; commands ignore the reply.
// Nothing here shows a message or throws.

#include "link/CommandChannel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessivar {

class clsControllerCommands {
public:
    explicit clsControllerCommands(ICommandChannel& channel) : channel_(&channel) {}

    // --- Inventory and status queries ---

    // Number of slots of the category ("INPUT", "OUTPUT", ... in any letter case): the
    // entries ("0x") of the "B" roll call reply. 0 for an unknown category (nothing sent).
    std::int16_t getRollCall(const std::string& category);
    // Per-slot presence from the last roll call (entry 0 unused): a slot is present when
    // its code in either the "A" or the "B" reply is below FF.
    const std::vector<bool>& rollCallPresence() const { return presence_; }

    std::string getActiveStatus();
    std::string getSyncStatus(std::int16_t syncNumber);
    std::string getAlarm();
    // The input routed to the output ("SS n", ",M" for the monitor's own crosspoint).
    std::int16_t getStatus(std::int16_t output, bool monitor);
    std::int32_t getFCTemp();
    std::int32_t getMonitorTemp();
    std::string getFCVersion();
    // field: "MACAddress", "IPAddress", "SubnetMask" or "DHCP".
    std::string getEthernetConfig(const std::string& field);
    // "YES", "NO" or "CAPABLE".
    std::string isRedundantFrame();
    std::int16_t hasFanControllers();
    std::string getConverterCardOptions(std::int16_t output);
    std::string getPowerManagement(const std::string& powerLetter, std::int16_t card);

    // --- Control commands ---

    void doSwitch(std::int16_t output, std::int16_t input, bool monitor, std::int16_t sync);
    void doClearErrors(const std::string& category, std::int16_t card);
    void doPowerManagement(const std::string& powerLetter, std::int16_t card,
                           const std::string& state);
    void doTakeOver();
    void doSetPort(const std::string& port);
    void doVT(const std::string& port);
    void doManualReclock(std::int16_t card, std::int16_t output, const std::string& rateCode);
    void doSetConverterCardOptions(const std::string& option);
    void doSetConvOptions(const std::string& option);
    void doReset();

private:
    std::string send(const std::string& command);
    std::string stateQuery(const std::string& command, const std::string& stateMarker,
                           const std::string& echoMarker);
    std::int32_t temperatureAfter(const std::string& marker);

    ICommandChannel* channel_;
    std::vector<bool> presence_;
};

} // namespace tessivar
