// What a command costs the processor while it waits for a controller that does not answer:
// the console blocks for the whole silence time, and that wait must sleep on the link, not
// spin. Reported as cpu_percent: process CPU time (user + system, getrusage) over wall time
// while one command waits out the default 5 s, over the real Telnet client (loopback
// controller that logs in, then stays silent) and the real serial port (a pseudo-terminal
// nobody answers on). Target: under 2 % of one core.

#include "integration/ControllerPeers.h"
#include "link/clsConnectionData.h"
#include "link/frmDebug.h"
#include "platform/QtSerialPort.h"
#include "platform/QtTelnetClient.h"
#include "platform/QtTestApp.h"
#include "support/Fakes.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>

namespace tessivar {
namespace {

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the command once per iteration and reports the processor share of the wait.
template <typename Send> void measureSilentCommand(benchmark::State& state, Send send) {
    double cpu = 0;
    double wall = 0;
    std::size_t replyBytes = 0;
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        const std::string reply = send();
        wall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        cpu += cpuSeconds() - cpuBefore;
        replyBytes += reply.size();
        benchmark::DoNotOptimize(reply);
    }
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
    state.counters["wait_s"] = wall / static_cast<double>(state.iterations());
    state.counters["reply_bytes"] = static_cast<double>(replyBytes);
}

struct Shared {
    MemorySettingsStore store;
    testing::FakePrompt prompt;
    SystemClock clock;
    testing::MemoryFileSystem files;

    std::unique_ptr<frmDebug> channel() {
        return std::make_unique<frmDebug>(std::make_unique<QtSerialPort>(store),
                                          std::make_unique<QtTelnetClient>(), prompt, clock, files);
    }
};

void BM_SilentControllerTelnet(benchmark::State& state) {
    testing::ensureQtApplication();
    Shared shared;
    testing::TelnetController controller("code", [](testing::TelnetStream&, const std::string&) {
        return true; // never answers
    });
    shared.store.write("Parms", "ConnectType", "Telnet");
    shared.store.write("Parms", "TelnetAddress", "127.0.0.1");
    shared.store.write("Parms", "TelnetPort", std::to_string(controller.port()));
    shared.store.write("Parms", "TelnetPass", "code");
    {
        auto channel = shared.channel();
        if (!channel->openConnection(std::make_shared<clsConnectionData>(shared.store))) {
            state.SkipWithError("Telnet login failed");
            return;
        }
        measureSilentCommand(state, [&] { return channel->SendDEBUGCmd("RC I,"); });
    }
    controller.join();
}

void BM_SilentControllerSerial(benchmark::State& state) {
    testing::ensureQtApplication();
    Shared shared;
    testing::PtyPair pty;
    shared.store.write("Ports", "COM7", pty.slavePath());
    shared.store.write("Parms", "ConnectType", "Serial");
    shared.store.write("Parms", "COMPort", "7");
    auto channel = shared.channel();
    if (!channel->openConnection(std::make_shared<clsConnectionData>(shared.store))) {
        state.SkipWithError("serial port did not open");
        return;
    }
    measureSilentCommand(state, [&] { return channel->SendDEBUGCmd("RC I,"); });
}

BENCHMARK(BM_SilentControllerTelnet)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SilentControllerSerial)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
} // namespace tessivar

BENCHMARK_MAIN();
