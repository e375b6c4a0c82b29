#pragma once
// The command channel as every caller holds it. The connection dialog throws the channel
// away before each Telnet attempt; callers keep this slot, so none of them is left holding
// a discarded channel.

#include "link/frmDebug.h"

#include <functional>
#include <memory>

namespace tessivar {

class ChannelSlot : public ICommandChannel {
public:
    using Factory = std::function<std::unique_ptr<frmDebug>()>;

    explicit ChannelSlot(Factory factory) : factory_(std::move(factory)) {}

    // The channel now in use, created on first use.
    frmDebug& channel() {
        if (!current_)
            current_ = factory_();
        return *current_;
    }
    // Discards the channel (closing its link); the next use creates a fresh one.
    void discard() { current_.reset(); }

    void turnOffVerbose() override { channel().turnOffVerbose(); }
    void turnOnVerbose() override { channel().turnOnVerbose(); }

protected:
    std::string sendCommand(const std::string& command, float& timeout) override {
        return channel().SendDEBUGCmd(command, timeout);
    }

private:
    Factory factory_;
    std::unique_ptr<frmDebug> current_;
};

} // namespace tessivar
