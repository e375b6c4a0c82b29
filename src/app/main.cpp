// tessivar: the console program. Without arguments it starts as the operator knows it: splash,
// connection dialog, main window. The command line adds a self-contained demo on a simulated
// frame and a way to connect without typing into the dialog.

#include "common/Clock.h"
#include "common/FileSystem.h"
#include "link/ComSelect.h"
#include "link/serialDevicePath.h"
#include "platform/QtOperatorPrompt.h"
#include "platform/QtSerialPort.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtTelnetClient.h"
#include "sim/FrameSimulator.h"
#include "ui/Console.h"
#include "ui/DemoFrame.h"
#include "ui/Pictures.h"
#include "ui/QtTimeFormatter.h"
#include "ui/ScreenshotJob.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace tessivar;

// The log files live in the program's directory; an installed program's directory is not
// the operator's to write, so they go to the per-user data folder then.
std::string logDirectory() {
    const QString programDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(programDir).isWritable())
        return programDir.toStdString();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return data.toStdString();
}

std::string readDemoFrame(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

[[noreturn]] void fail(const QString& text) {
    std::fprintf(stderr, "tessivar: %s\n", qPrintable(text));
    std::exit(2);
}

// --help and --version must work without a display.
bool wantsTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h" || a == "--version" || a == "-v" || a == "--help-all")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> application;
    if (wantsTextOnly(argc, argv))
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);
    QCoreApplication& app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("Tessivar"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessivar"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSIVAR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Monitoring and control console for one Quorvel routing switcher frame."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption demo(QStringLiteral("demo"),
                            QStringLiteral("Start a simulated frame in this process and connect to "
                                           "it over Telnet, without the connection dialog."));
    QCommandLineOption frame(QStringLiteral("frame"),
                             QStringLiteral("Frame description for --demo (JSON) instead of the "
                                            "built-in demo frame."),
                             QStringLiteral("FILE"));
    QCommandLineOption connectTo(
        QStringLiteral("connect"),
        QStringLiteral("Fill the connection dialog with LINK and press OK: serial:N or "
                       "telnet://HOST[:PORT]."),
        QStringLiteral("LINK"));
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of the main window and quit."),
                                  QStringLiteral("FILE"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({demo, frame, connectTo, screenshot});
    parser.process(app);
    QApplication::setWindowIcon(ui::programIcon());

    if (parser.isSet(demo) && parser.isSet(connectTo))
        fail(QStringLiteral("--demo and --connect cannot be combined"));
    if (parser.isSet(frame) && !parser.isSet(demo))
        fail(QStringLiteral("--frame needs --demo"));

    ui::StartOptions options;
    std::unique_ptr<sim::FrameSimulator> simulator;
    // The demo keeps its settings in memory: its loopback address must not replace the
    // operator's stored connection.
    std::unique_ptr<ISettingsStore> store;
    if (parser.isSet(demo)) {
        const QString path =
            parser.isSet(frame) ? parser.value(frame) : QStringLiteral(":/frames/demo.json");
        const std::string json = readDemoFrame(path);
        if (json.empty())
            fail(QStringLiteral("cannot read the frame description %1").arg(path));
        try {
            simulator = std::make_unique<sim::FrameSimulator>(sim::FrameSimulator::fromJson(json));
            const auto endpoints = ui::startOnLowPort(*simulator);
            // The engineer rehearses faults against the demo through its control port
            // (e.g. "offline output 3"; "help" lists the drills).
            std::printf("demo frame: telnet port %u, control port %u\n",
                        static_cast<unsigned>(endpoints.telnetPort),
                        static_cast<unsigned>(endpoints.controlPort));
            std::fflush(stdout);
            ConnectTarget target;
            target.kind = LinkKind::Remote;
            target.address = {"127", "0", "0", "1"};
            target.telnetPort = std::to_string(endpoints.telnetPort);
            options.connect = target;
            options.silentConnect = true;
        } catch (const std::exception& e) {
            fail(QStringLiteral("the simulated frame did not start: %1").arg(e.what()));
        }
        store = std::make_unique<MemorySettingsStore>();
    } else {
        store = std::make_unique<QtSettingsStore>();
    }
    if (parser.isSet(connectTo)) {
        const auto target = parseConnectTarget(parser.value(connectTo).toStdString());
        if (!target.value)
            fail(QString::fromStdString(target.message));
        options.connect = *target.value;
    }
    if (parser.isSet(screenshot))
        options.showSplash = false;

    QtOperatorPrompt prompt;
    StdFileSystem files(logDirectory());
    SystemClock clock;
    ui::QtTimeFormatter formatter;
    ISettingsStore& settings = *store;
    ui::Console::Services services{
        settings,
        prompt,
        files,
        clock,
        formatter,
        [&]() {
            auto channel = std::make_unique<frmDebug>(std::make_unique<QtSerialPort>(settings),
                                                      std::make_unique<QtTelnetClient>(), prompt,
                                                      clock, files);
            channel->setTimeOfDayFormatter(
                [&formatter](const LocalDateTime& at) { return formatter.timeOfDay(at); });
            return channel;
        },
        [&settings](int comPort) {
            return serialDevicePath(settings, static_cast<std::int16_t>(comPort));
        },
        // Settings are written through at once and every log line is closed after it, so
        // ending here loses nothing.
        [] {
            std::fflush(nullptr);
            std::_Exit(0);
        },
    };
    ui::Console console(services);
    if (!console.Main(options))
        return 0;
    if (parser.isSet(screenshot))
        ui::scheduleScreenshot(console, parser.value(screenshot));
    return QApplication::exec();
}
