// Lets a step through at most once per interval of a millisecond clock that
// wraps, like GetTickCount's. Loops that step at every 4096-byte block use it
// to pump messages and repaint at a rate the eye can follow: under Wine each
// queue check or repaint costs more than copying the block.
#pragma once
#include <cstdint>

class IntervalGate {
public:
    explicit IntervalGate(uint32_t intervalMs) : interval_(intervalMs) {}

    // True at the first call, then once intervalMs has passed since the last true.
    bool Due(uint32_t nowMs)
    {
        if (opened_ && nowMs - last_ < interval_) return false; // unsigned: survives the wrap
        opened_ = true;
        last_ = nowMs;
        return true;
    }

private:
    uint32_t interval_;
    uint32_t last_ = 0;
    bool opened_ = false;
};
