#pragma once
// libvlc's declarations and the values the panes use. Only the declarations
// are taken from the header: nothing links libvlc, the binding resolves the
// functions at run time.

// Two of the resolved functions are deprecated in libvlc 3; naming them is
// all the binding does, so their warnings say nothing useful here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <vlc/vlc.h>
#pragma GCC diagnostic pop

namespace vlc {

constexpr int MediaPlayerOpening = 0x102;
constexpr int MediaPlayerPlaying = 0x104;
constexpr int MediaPlayerPaused = 0x105;
constexpr int MediaPlayerEndReached = 0x109;
constexpr int MediaPlayerEncounteredError = 0x10A;
constexpr int MediaPlayerPositionChanged = 0x10C;
constexpr unsigned AdjustEnable = 0;
constexpr unsigned AdjustBrightness = 2;

static_assert(MediaPlayerOpening == libvlc_MediaPlayerOpening);
static_assert(MediaPlayerPlaying == libvlc_MediaPlayerPlaying);
static_assert(MediaPlayerPaused == libvlc_MediaPlayerPaused);
static_assert(MediaPlayerEndReached == libvlc_MediaPlayerEndReached);
static_assert(MediaPlayerEncounteredError == libvlc_MediaPlayerEncounteredError);
static_assert(MediaPlayerPositionChanged == libvlc_MediaPlayerPositionChanged);
static_assert(AdjustEnable == libvlc_adjust_Enable);
static_assert(AdjustBrightness == libvlc_adjust_Brightness);

}  // namespace vlc
