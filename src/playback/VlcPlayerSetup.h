#pragma once
// The one player set-up both channel panes perform: an instance with the
// flip arguments, a player painting into the pane's sink, the pane's event
// handlers attached, the display aspect fixed.

#include "playback/VlcFunctionExecutor.h"

#include <string>
#include <vector>

class VideoFrameSink;

// An event handler runs on libvlc's event thread: it records and hands off,
// never blocks on the UI thread or the hub worker and never calls libvlc on
// its own player.
struct VlcEventHandler {
    libvlc_event_type_t event;
    libvlc_callback_t callback;
    void* userData = nullptr;
};

struct VlcPlayerSetup {
    bool vflip = false;
    bool hflip = false;
    VideoFrameSink* sink = nullptr;
    std::vector<VlcEventHandler> events;  // attached in this order
    std::string programFolder = GetModuleDirectory();
};

// The instance and player of one set-up. Releases the player, then the
// instance. Must be released before the sink it paints into.
class VlcPlayerHandles {
public:
    VlcPlayerHandles() = default;
    VlcPlayerHandles(VlcFunctionExecutor& vlc, libvlc_instance_t* instance, libvlc_media_player_t* player);
    ~VlcPlayerHandles();
    VlcPlayerHandles(VlcPlayerHandles&& other) noexcept;
    VlcPlayerHandles& operator=(VlcPlayerHandles&& other) noexcept;
    VlcPlayerHandles(const VlcPlayerHandles&) = delete;
    VlcPlayerHandles& operator=(const VlcPlayerHandles&) = delete;

    bool ready() const { return player_ != nullptr; }
    libvlc_instance_t* instance() const { return instance_; }
    libvlc_media_player_t* player() const { return player_; }
    void reset();

private:
    VlcFunctionExecutor* vlc_ = nullptr;
    libvlc_instance_t* instance_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
};

// Empty (ready() false) when libvlc gives no instance or no player.
VlcPlayerHandles SetUpVlcPlayer(VlcFunctionExecutor& vlc, const VlcPlayerSetup& setup);
