#pragma once

#include "model/CardDirectory.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessivar {

class ICommandChannel;
class IPollTimer;
class clsControllerCommands;
class clsQuorvelBoard;

// The card records of the frame, one per slot the roll call reports, per category. The main
// window owns the one instance; every window reads it.
//
// Records are shared: a window that still holds a record of an earlier inventory keeps a
// live object, which is simply no longer refreshed.
class clsCardInventory : public ICardDirectory {
public:
    using CardPtr = std::shared_ptr<clsQuorvelBoard>;
    // Index 0 is an empty place; records are numbered from 1 like their boardIndex.
    using CardList = std::vector<CardPtr>;
    // Called before each status command of InitCardArrays: category word, card number,
    // number of slots of the category. Lets the caller show progress during this long,
    // blocking pass.
    using Progress =
        std::function<void(const std::string& category, std::int16_t card, std::int16_t count)>;

    clsCardInventory(ICommandChannel& channel, clsControllerCommands& commands, IPollTimer& timer);
    ~clsCardInventory() override;

    // Milliseconds between poll ticks and window refreshes: 75 on serial, 200 on Telnet.
    int pollInterval() const { return pollInterval_; }
    void pollInterval(int milliseconds) { pollInterval_ = milliseconds; }

    void setProgress(Progress progress) { progress_ = std::move(progress); }

    // Roll call and first poll of every slot, the frame type, then the poll timer starts.
    void InitCardArrays();

    std::int16_t inputCount() const { return inputCount_; }
    std::int16_t outputCount() const { return outputCount_; }
    std::int16_t matrixCount() const override { return matrixCount_; }
    std::int16_t powerCount() const { return powerCount_; }
    std::int16_t outputOptionCount() const { return outputOptionCount_; }

    const CardList& inputCards() const { return inputCards_; }
    const CardList& outputCards() const { return outputCards_; }
    const CardList& matrixCards() const { return matrixCards_; }
    const CardList& powerCards() const { return powerCards_; }
    const CardList& outputOptionCards() const { return outputOptionCards_; }

    // Record number n of a category word ("INPUT", ...), nullptr when there is none.
    clsQuorvelBoard* card(const std::string& category, std::int16_t number) const;
    clsQuorvelBoard* inputCard(std::int16_t number) const;
    clsQuorvelBoard* powerCard(std::int16_t number) const;
    clsQuorvelBoard* outputCard(std::int16_t number) const override;
    clsQuorvelBoard* matrixCard(std::int16_t number) const override;
    clsQuorvelBoard* outputOptionCard(std::int16_t number) const;

    // The record without category for the frame-wide queries; nullptr before the first
    // inventory.
    clsQuorvelBoard* frameRecord() const { return frameRecord_.get(); }
    CardPtr sharedFrameRecord() const { return frameRecord_; }

private:
    CardList takeCategory(const std::string& category, std::int16_t& count);

    ICommandChannel& channel_;
    clsControllerCommands& commands_;
    IPollTimer& timer_;
    int pollInterval_ = 75;
    Progress progress_;

    std::int16_t inputCount_ = 0;
    std::int16_t outputCount_ = 0;
    std::int16_t matrixCount_ = 0;
    std::int16_t powerCount_ = 0;
    std::int16_t outputOptionCount_ = 0;
    CardList inputCards_;
    CardList outputCards_;
    CardList matrixCards_;
    CardList powerCards_;
    CardList outputOptionCards_;
    CardPtr frameRecord_;
};

// Record n of a list, nullptr outside 1..size-1.
clsQuorvelBoard* cardAt(const clsCardInventory::CardList& list, std::int16_t number);

} // namespace tessivar
