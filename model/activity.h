// ActivityFlags: one bit per running logger task; zero means idle.
#pragma once

#include <atomic>
#include <cstdint>

namespace corvina {

enum ActivityBit : uint32_t {
    kActivityRetrieve = 0x01,
    kActivitySend = 0x02,
    kActivityLive = 0x04,
    kActivityReset = 0x10,
};

extern std::atomic<uint32_t> ActivityFlags;

// True while no retrieve, send or reset task may be changing the model
// (the live view only listens and leaves the model alone).
inline bool ModelIsQuiet() {
    const uint32_t flags = ActivityFlags.load();
    return flags == 0 || flags == kActivityLive;
}

} // namespace corvina
