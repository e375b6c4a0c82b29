#pragma once
// How a card record reaches the other records of the inventory without a global: the
// output option record takes its subtype from the output card with the same number, and
// the watchdog state of the frame record covers the valid matrix cards. The card inventory
// implements this.

#include <cstdint>

namespace tessivar {

class clsQuorvelBoard;

class ICardDirectory {
public:
    virtual ~ICardDirectory() = default;

    // nullptr when the frame has no such card record.
    virtual const clsQuorvelBoard* outputCard(std::int16_t number) const = 0;
    virtual const clsQuorvelBoard* matrixCard(std::int16_t number) const = 0;
    virtual std::int16_t matrixCount() const = 0;
};

} // namespace tessivar
