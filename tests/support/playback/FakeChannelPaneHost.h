#pragma once
// The player pane as a channel pane sees it, with flips the test sets. The
// flags are read on whatever thread sets a player up, so they are atomics.

#include "playback/PlayerPaneSeams.h"

#include <atomic>

namespace testsupport {

class FakeChannelPaneHost : public ChannelPaneHost {
public:
    bool IsCh1VerticalFlip() const override { return ch1Vertical; }
    bool IsCh1HorizontalFlip() const override { return ch1Horizontal; }
    bool IsCh2VerticalFlip() const override { return ch2Vertical; }
    bool IsCh2HorizontalFlip() const override { return ch2Horizontal; }

    std::atomic<bool> ch1Vertical{false};
    std::atomic<bool> ch1Horizontal{false};
    std::atomic<bool> ch2Vertical{false};
    std::atomic<bool> ch2Horizontal{false};
};

}  // namespace testsupport
