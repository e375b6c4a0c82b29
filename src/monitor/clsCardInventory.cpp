#include "monitor/clsCardInventory.h"

#include "commands/CardCategories.h"
#include "commands/clsControllerCommands.h"
#include "model/clsQuorvelBoard.h"
#include "monitor/MonitorPorts.h"

namespace tessivar {

clsQuorvelBoard* cardAt(const clsCardInventory::CardList& list, std::int16_t number) {
    if (number < 1 || static_cast<std::size_t>(number) >= list.size())
        return nullptr;
    return list[static_cast<std::size_t>(number)].get();
}

clsCardInventory::clsCardInventory(ICommandChannel& channel, clsControllerCommands& commands,
                                   IPollTimer& timer)
    : channel_(channel), commands_(commands), timer_(timer) {}

clsCardInventory::~clsCardInventory() {
    // Records that outlive the inventory in a window must not reach back into it.
    for (CardList* list :
         {&inputCards_, &outputCards_, &matrixCards_, &powerCards_, &outputOptionCards_})
        for (auto& record : *list)
            if (record)
                record->setCardDirectory(nullptr);
    if (frameRecord_)
        frameRecord_->setCardDirectory(nullptr);
}

clsCardInventory::CardList clsCardInventory::takeCategory(const std::string& category,
                                                          std::int16_t& count) {
    std::int16_t n = commands_.getRollCall(category);
    if (n < 0)
        n = 0;
    count = n;
    CardList list(1);
    list.reserve(static_cast<std::size_t>(n) + 1);
    for (std::int16_t i = 1; i <= n; ++i) {
        auto record = std::make_shared<clsQuorvelBoard>(channel_, this);
        record->boardType(category);
        record->boardIndex(i);
        list.push_back(record);
        if (progress_)
            progress_(category, i, n);
        record->updateStatus();
    }
    return list;
}

void clsCardInventory::InitCardArrays() {
    // The lists are replaced whole, each with its count, so a reader between two categories
    // never sees a count that does not match its list.
    inputCards_.assign(1, nullptr);
    outputCards_.assign(1, nullptr);
    matrixCards_.assign(1, nullptr);
    powerCards_.assign(1, nullptr);
    inputCount_ = outputCount_ = matrixCount_ = powerCount_ = 0;

    channel_.turnOffVerbose();

    std::int16_t count = 0;
    CardList list = takeCategory(std::string(kCategoryInput), count);
    inputCards_ = std::move(list);
    inputCount_ = count;
    list = takeCategory(std::string(kCategoryOutput), count);
    outputCards_ = std::move(list);
    outputCount_ = count;
    list = takeCategory(std::string(kCategoryMatrix), count);
    matrixCards_ = std::move(list);
    matrixCount_ = count;
    list = takeCategory(std::string(kCategoryPower), count);
    powerCards_ = std::move(list);
    powerCount_ = count;
    list = takeCategory(std::string(kCategoryOutputOption), count);
    outputOptionCards_ = std::move(list);
    outputOptionCount_ = count;

    auto frame = std::make_shared<clsQuorvelBoard>(channel_, this);
    frame->getFrameTypeInfo();
    frameRecord_ = std::move(frame);

    timer_.setInterval(pollInterval_);
    timer_.start(pollInterval_);
}

clsQuorvelBoard* clsCardInventory::card(const std::string& category, std::int16_t number) const {
    const CardCategoryInfo* info = findCardCategory(category);
    if (!info)
        return nullptr;
    if (info->word == kCategoryInput)
        return cardAt(inputCards_, number);
    if (info->word == kCategoryOutput)
        return cardAt(outputCards_, number);
    if (info->word == kCategoryMatrix)
        return cardAt(matrixCards_, number);
    if (info->word == kCategoryPower)
        return cardAt(powerCards_, number);
    return cardAt(outputOptionCards_, number);
}

clsQuorvelBoard* clsCardInventory::inputCard(std::int16_t number) const {
    return cardAt(inputCards_, number);
}
clsQuorvelBoard* clsCardInventory::outputCard(std::int16_t number) const {
    return cardAt(outputCards_, number);
}
clsQuorvelBoard* clsCardInventory::matrixCard(std::int16_t number) const {
    return cardAt(matrixCards_, number);
}
clsQuorvelBoard* clsCardInventory::powerCard(std::int16_t number) const {
    return cardAt(powerCards_, number);
}
clsQuorvelBoard* clsCardInventory::outputOptionCard(std::int16_t number) const {
    return cardAt(outputOptionCards_, number);
}

} // namespace tessivar
