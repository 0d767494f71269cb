#include "playback/VlcPlayerSetup.h"

#include "playback/VideoFrameSink.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// libvlc receives a zero-filled array of this many argument argv.
constexpr std::size_t kArgumentSlots = 10;

}  // namespace

VlcPlayerHandles::VlcPlayerHandles(VlcFunctionExecutor& vlc, libvlc_instance_t* instance,
                                   libvlc_media_player_t* player)
    : vlc_(&vlc), instance_(instance), player_(player)
{
}

VlcPlayerHandles::~VlcPlayerHandles()
{
    reset();
}

VlcPlayerHandles::VlcPlayerHandles(VlcPlayerHandles&& other) noexcept
    : vlc_(std::exchange(other.vlc_, nullptr)),
      instance_(std::exchange(other.instance_, nullptr)),
      player_(std::exchange(other.player_, nullptr))
{
}

VlcPlayerHandles& VlcPlayerHandles::operator=(VlcPlayerHandles&& other) noexcept
{
    if (this != &other) {
        reset();
        vlc_ = std::exchange(other.vlc_, nullptr);
        instance_ = std::exchange(other.instance_, nullptr);
        player_ = std::exchange(other.player_, nullptr);
    }
    return *this;
}

void VlcPlayerHandles::reset()
{
    if (player_)
        vlc_->Functions().libvlc_media_player_release(std::exchange(player_, nullptr));
    if (instance_)
        vlc_->Functions().libvlc_release(std::exchange(instance_, nullptr));
}

VlcPlayerHandles SetUpVlcPlayer(VlcFunctionExecutor& vlc, const VlcPlayerSetup& setup)
{
    const VlcFunctionTable& f = vlc.Functions();

    const std::vector<std::string> arguments = MakeInstanceArguments(setup.vflip, setup.hflip, setup.programFolder);
    std::array<const char*, kArgumentSlots> argv{};
    const std::size_t count = std::min(arguments.size(), argv.size());
    for (std::size_t i = 0; i < count; ++i)
        argv[i] = arguments[i].c_str();

    libvlc_instance_t* instance = f.libvlc_new(static_cast<int>(count), argv.data());
    if (!instance) {
        VlcFunctionExecutor::LogCall("Instance Not Created", "libvlc_new");
        return {};
    }
    libvlc_media_player_t* player = f.libvlc_media_player_new(instance);
    if (!player) {
        VlcFunctionExecutor::LogCall("Player Not Created", "libvlc_media_player_new");
        f.libvlc_release(instance);
        return {};
    }
    VlcPlayerHandles handles(vlc, instance, player);

    // The video goes to the pane's sink instead of a window of libvlc's own.
    VlcFunctionExecutor::LogCall("Media Player Set Hwnd", "libvlc_media_player_set_hwnd");
    if (setup.sink) {
        f.libvlc_video_set_format_callbacks(player, &VideoFrameSink::Format, &VideoFrameSink::Cleanup);
        f.libvlc_video_set_callbacks(player, &VideoFrameSink::Lock, &VideoFrameSink::Unlock,
                                     &VideoFrameSink::Display, setup.sink);
    }

    VlcFunctionExecutor::LogCall("Event Manager", "libvlc_media_player_event_manager");
    libvlc_event_manager_t* events = f.libvlc_media_player_event_manager(player);
    for (const VlcEventHandler& handler : setup.events) {
        VlcFunctionExecutor::LogCall("Event Attach", "libvlc_event_attach");
        if (events)
            f.libvlc_event_attach(events, handler.event, handler.callback, handler.userData);
    }

    VlcFunctionExecutor::LogCall("Set Aspect Ratio", "libvlc_video_set_aspect_ratio");
    f.libvlc_video_set_aspect_ratio(player, "16:9");
    return handles;
}
