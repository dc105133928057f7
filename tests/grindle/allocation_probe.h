// Watches the largest single allocation while a probe is alive, to show that counts read from a
// file never size an allocation by themselves.
#pragma once

#include <cstddef>

class AllocationProbe {
public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe &) = delete;
    AllocationProbe &operator=(const AllocationProbe &) = delete;

    std::size_t largest() const;
};
