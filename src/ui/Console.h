#pragma once
// The console as one object: the shared objects every window uses, the start-up routine and
// the host of the connection dialog's sequence. The program's main() only reads the command
// line and hands it here.

#include "commands/clsControllerCommands.h"
#include "link/ChannelSlot.h"
#include "link/ComSelect.h"
#include "link/clsConnectionData.h"
#include "logging/clsLogFile.h"
#include "logging/clsLogging.h"
#include "model/clsVoltages.h"
#include "monitor/MonitorPorts.h"
#include "monitor/clsCardInventory.h"
#include "monitor/clsPollCycle.h"
#include "ui/frmCOMSelect.h"
#include "ui/frmTree.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QProgressDialog;

namespace tessivar {
class IClock;
class IFileSystem;
class IOperatorPrompt;
class ISettingsStore;
class ITimeFormatter;
} // namespace tessivar

namespace tessivar::ui {

class mdiMain;

struct StartOptions {
    // Fill the dialog with these and press OK for the operator.
    std::optional<ConnectTarget> connect;
    // Connect without showing the dialog at all (the demo); the dialog appears only when
    // that fails.
    bool silentConnect = false;
    bool showSplash = true;
};

class Console : public QObject, private IConnectionHost {
    Q_OBJECT
public:
    struct Services {
        ISettingsStore& store;
        IOperatorPrompt& prompt;
        IFileSystem& files;
        IClock& clock;
        ITimeFormatter& formatter;
        ChannelSlot::Factory channelFactory;
        // The serial device a COM number maps to, shown in the dialog.
        std::function<std::string(int)> devicePathFor;
        // Ends the program at once (the dialog's close box, "Cancel", "&Exit").
        std::function<void()> endProgram;
    };

    explicit Console(Services services);
    ~Console() override;

    // Start-up: splash, the main window's load handler (the connection dialog and the
    // shared objects), the main window, the tree. False when the program ended before a
    // link was open.
    bool Main(const StartOptions& options);

    mdiMain& main() { return *main_; }
    frmTree* tree() { return tree_; }
    frmCOMSelect* dialog() { return dialog_; }
    ChannelSlot& channel() { return channel_; }
    clsControllerCommands& commands() { return commands_; }
    clsCardInventory& inventory() { return *inventory_; }
    clsPollCycle& pollCycle() { return *poll_; }
    clsLogFile* logFile() { return logFile_.get(); }
    clsLogging* logging() { return logging_.get(); }
    clsVoltages* voltages() { return voltages_.get(); }
    std::shared_ptr<clsConnectionData> connectionSettings() { return connectionSettings_; }
    std::int16_t& selectedCardNumber() { return selectedCardNumber_; }
    ISettingsStore& store() { return s_.store; }
    IOperatorPrompt& prompt() { return s_.prompt; }

    // Builds the tree again from the inventory (after "&Reinitialize").
    void loadTree();

private:
    // IConnectionHost
    void replaceSettings() override;
    void discardChannel() override;
    bool openConnection() override;
    void turnOffVerbose() override;
    std::string getActiveStatus() override;
    void doTakeOver() override;
    void setPollInterval(int milliseconds) override;
    void hideDialog() override;
    void runInventory() override;

    bool loadMainWindow(const StartOptions& options);
    void registerWindows();
    void showProgress(const std::string& category, std::int16_t card, std::int16_t count);

    class PollTimer;
    class WatchdogItem;
    class TreePainter;

    Services s_;
    std::shared_ptr<clsConnectionData> connectionSettings_;
    ChannelSlot channel_;
    clsControllerCommands commands_;
    std::unique_ptr<mdiMain> main_;
    std::unique_ptr<PollTimer> timer_;
    std::unique_ptr<WatchdogItem> watchdogItem_;
    std::unique_ptr<TreePainter> treePainter_;
    std::unique_ptr<clsCardInventory> inventory_;
    std::unique_ptr<clsPollCycle> poll_;
    std::unique_ptr<clsLogFile> logFile_;
    std::unique_ptr<clsLogging> logging_;
    std::unique_ptr<clsVoltages> voltages_;
    QPointer<frmCOMSelect> dialog_;
    QPointer<frmTree> tree_;
    QPointer<QProgressDialog> progress_;
    std::int16_t selectedCardNumber_ = 0;
};

} // namespace tessivar::ui
