#pragma once
// The libvlc functions the viewer resolves, in resolution order. Every entry
// must be found, also those nothing calls, so that a partial or foreign
// library is refused as a whole.

#include "playback/VlcApi.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>

#define KESTROV_VLC_FUNCTIONS(X)           \
    X(libvlc_new)                          \
    X(libvlc_media_new_path)               \
    X(libvlc_media_new_fd)                 \
    X(libvlc_media_player_new)             \
    X(libvlc_media_player_new_from_media)  \
    X(libvlc_media_release)                \
    X(libvlc_media_player_play)            \
    X(libvlc_media_player_stop)            \
    X(libvlc_media_player_release)         \
    X(libvlc_release)                      \
    X(libvlc_media_player_set_hwnd)        \
    X(libvlc_media_player_set_media)       \
    X(libvlc_media_player_get_media)       \
    X(libvlc_media_player_set_pause)       \
    X(libvlc_media_event_manager)          \
    X(libvlc_media_player_is_playing)      \
    X(libvlc_media_player_event_manager)   \
    X(libvlc_event_attach)                 \
    X(libvlc_event_detach)                 \
    X(libvlc_media_parse)                  \
    X(libvlc_media_parse_async)            \
    X(libvlc_video_get_adjust_float)       \
    X(libvlc_video_set_adjust_float)       \
    X(libvlc_video_get_adjust_int)         \
    X(libvlc_video_set_adjust_int)         \
    X(libvlc_audio_get_volume)             \
    X(libvlc_audio_set_volume)             \
    X(libvlc_media_player_get_rate)        \
    X(libvlc_media_player_set_rate)        \
    X(libvlc_media_player_get_position)    \
    X(libvlc_media_player_set_position)    \
    X(libvlc_video_get_track_count)        \
    X(libvlc_video_get_track)              \
    X(libvlc_video_set_track)              \
    X(libvlc_video_take_snapshot)          \
    X(libvlc_video_get_aspect_ratio)       \
    X(libvlc_video_set_aspect_ratio)       \
    X(libvlc_media_add_option)             \
    X(libvlc_media_player_get_state)       \
    X(libvlc_video_get_scale)              \
    X(libvlc_video_set_crop_geometry)      \
    X(libvlc_video_get_crop_geometry)      \
    X(libvlc_video_set_format_callbacks)   \
    X(libvlc_video_set_callbacks)

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

struct VlcFunctionTable {
#define KESTROV_VLC_ENTRY(name) decltype(&::name) name = nullptr;
    KESTROV_VLC_FUNCTIONS(KESTROV_VLC_ENTRY)
#undef KESTROV_VLC_ENTRY

    // Finds a symbol by name; null when the library lacks it.
    using Resolver = std::function<void*(const char* name)>;

    // Fills every entry from resolver, in table order; a missing name leaves
    // its entry empty.
    void Resolve(const Resolver& resolver);
    std::size_t FilledCount() const;
    // The first name whose entry is empty, or an empty view.
    std::string_view FirstMissing() const;
    void Clear() { *this = VlcFunctionTable{}; }
};

#pragma GCC diagnostic pop

inline constexpr std::array<std::string_view, 44> kVlcFunctionNames = {
#define KESTROV_VLC_NAME(name) #name,
    KESTROV_VLC_FUNCTIONS(KESTROV_VLC_NAME)
#undef KESTROV_VLC_NAME
};
