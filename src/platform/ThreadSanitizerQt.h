#pragma once
// Under the thread sanitizer: Qt's raster engine spreads large fills over
// threads of its own, synchronised inside the uninstrumented Qt libraries,
// which the sanitizer cannot follow. A program that paints names this once
// at file scope to leave out the sanitizer's reports from inside Qt; our own
// code stays checked.
//
// libpng16 is neither Qt nor ours: when Qt saves a picture as PNG (skingen's
// images, the suites' screenshots), libpng reads the pixels that Qt's fill
// threads wrote. Those threads handed the picture over inside Qt, where the
// sanitizer sees no synchronisation, so it reports that read as a race from
// inside libpng. The write and the hand-over are Qt's; no code of ours runs
// on either side of it.

#if defined(__SANITIZE_THREAD__)
#define KESTROV_TSAN_IGNORE_QT_INTERNALS()                        \
    extern "C" const char* __tsan_default_suppressions()          \
    {                                                             \
        return "called_from_lib:libQt6Core.so\n"                  \
               "called_from_lib:libQt6Gui.so\n"                   \
               "called_from_lib:libQt6Widgets.so\n"               \
               "called_from_lib:libpng16.so\n";                   \
    }
#else
#define KESTROV_TSAN_IGNORE_QT_INTERNALS()
#endif
