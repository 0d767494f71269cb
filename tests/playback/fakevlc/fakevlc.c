/* A stand-in for libvlc.so.5: exports the functions the binding resolves,
 * journals every call with its arguments and answers as the test scripts.
 * Built without one function (FAKEVLC_WITHOUT_<name>) to show refusals. C,
 * with no static constructors, so that dlclose really unloads it. */

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <vlc/vlc.h>

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#ifndef FAKEVLC_ID
#define FAKEVLC_ID 1
#endif

#define FAKE_API __attribute__((visibility("default")))

static char journal[65536];
static size_t journalLength;
static int nullInstance;
static int nullPlayer;
static int trackResult;
static char dummy[4];

static void Record(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    if (journalLength < sizeof journal) {
        int written = vsnprintf(journal + journalLength, sizeof journal - journalLength, format, args);
        if (written > 0)
            journalLength += (size_t)written;
        if (journalLength < sizeof journal - 1)
            journal[journalLength++] = '\n';
        journal[journalLength < sizeof journal ? journalLength : sizeof journal - 1] = '\0';
    }
    va_end(args);
}

FAKE_API int fakevlc_id(void) { return FAKEVLC_ID; }
FAKE_API const char* fakevlc_journal(void) { return journal; }
FAKE_API void fakevlc_reset(void)
{
    journalLength = 0;
    journal[0] = '\0';
    nullInstance = nullPlayer = trackResult = 0;
}
FAKE_API void fakevlc_script_null_instance(int on) { nullInstance = on; }
FAKE_API void fakevlc_script_null_player(int on) { nullPlayer = on; }
FAKE_API void fakevlc_script_track_result(int result) { trackResult = result; }

libvlc_instance_t* libvlc_new(int argc, const char* const* argv)
{
    char line[4096];
    size_t used = (size_t)snprintf(line, sizeof line, "libvlc_new\t%d", argc);
    for (int i = 0; i < argc && used < sizeof line; ++i)
        used += (size_t)snprintf(line + used, sizeof line - used, "\t%s", argv[i] ? argv[i] : "(null)");
    Record("%s", line);
    return nullInstance ? NULL : (libvlc_instance_t*)&dummy[0];
}

libvlc_media_player_t* libvlc_media_player_new(libvlc_instance_t* instance)
{
    (void)instance;
    Record("libvlc_media_player_new");
    return nullPlayer ? NULL : (libvlc_media_player_t*)&dummy[1];
}

libvlc_event_manager_t* libvlc_media_player_event_manager(libvlc_media_player_t* player)
{
    (void)player;
    Record("libvlc_media_player_event_manager");
    return (libvlc_event_manager_t*)&dummy[2];
}

libvlc_media_t* libvlc_media_new_path(libvlc_instance_t* instance, const char* path)
{
    (void)instance;
    Record("libvlc_media_new_path\t%s", path);
    return (libvlc_media_t*)&dummy[3];
}

int libvlc_event_attach(libvlc_event_manager_t* manager, libvlc_event_type_t event, libvlc_callback_t callback,
                        void* data)
{
    (void)manager; (void)callback; (void)data;
    Record("libvlc_event_attach\t%d", event);
    return 0;
}

void libvlc_video_set_aspect_ratio(libvlc_media_player_t* player, const char* aspect)
{
    (void)player;
    Record("libvlc_video_set_aspect_ratio\t%s", aspect);
}

void libvlc_media_player_set_pause(libvlc_media_player_t* player, int pause)
{
    (void)player;
    Record("libvlc_media_player_set_pause\t%d", pause);
}

int libvlc_video_take_snapshot(libvlc_media_player_t* player, unsigned num, const char* path, unsigned width,
                               unsigned height)
{
    (void)player;
    Record("libvlc_video_take_snapshot\t%u\t%s\t%u\t%u", num, path, width, height);
    return 0;
}

int libvlc_video_set_track(libvlc_media_player_t* player, int track)
{
    (void)player;
    Record("libvlc_video_set_track\t%d", track);
    return trackResult;
}

int libvlc_media_player_play(libvlc_media_player_t* player) { (void)player; Record("libvlc_media_player_play"); return 0; }
void libvlc_media_player_stop(libvlc_media_player_t* player) { (void)player; Record("libvlc_media_player_stop"); }
void libvlc_media_player_set_media(libvlc_media_player_t* player, libvlc_media_t* media)
{
    (void)player; (void)media;
    Record("libvlc_media_player_set_media");
}
int libvlc_media_player_is_playing(libvlc_media_player_t* player) { (void)player; Record("libvlc_media_player_is_playing"); return 1; }
int libvlc_audio_set_volume(libvlc_media_player_t* player, int volume)
{
    (void)player;
    Record("libvlc_audio_set_volume\t%d", volume);
    return 0;
}
int libvlc_media_player_set_rate(libvlc_media_player_t* player, float rate)
{
    (void)player;
    Record("libvlc_media_player_set_rate\t%.2f", (double)rate);
    return 0;
}
void libvlc_media_player_set_position(libvlc_media_player_t* player, float position)
{
    (void)player;
    Record("libvlc_media_player_set_position\t%.3f", (double)position);
}
void libvlc_media_player_release(libvlc_media_player_t* player) { (void)player; Record("libvlc_media_player_release"); }
void libvlc_release(libvlc_instance_t* instance) { (void)instance; Record("libvlc_release"); }
void libvlc_media_release(libvlc_media_t* media) { (void)media; Record("libvlc_media_release"); }
void libvlc_media_add_option(libvlc_media_t* media, const char* option)
{
    (void)media;
    Record("libvlc_media_add_option\t%s", option);
}
void libvlc_video_set_adjust_int(libvlc_media_player_t* player, unsigned option, int value)
{
    (void)player;
    Record("libvlc_video_set_adjust_int\t%u\t%d", option, value);
}
void libvlc_video_set_adjust_float(libvlc_media_player_t* player, unsigned option, float value)
{
    (void)player;
    Record("libvlc_video_set_adjust_float\t%u\t%.2f", option, (double)value);
}
void libvlc_video_set_format_callbacks(libvlc_media_player_t* player, libvlc_video_format_cb setup,
                                       libvlc_video_cleanup_cb cleanup)
{
    (void)player; (void)setup; (void)cleanup;
    Record("libvlc_video_set_format_callbacks");
}
#ifndef FAKEVLC_WITHOUT_libvlc_video_set_callbacks
void libvlc_video_set_callbacks(libvlc_media_player_t* player, libvlc_video_lock_cb lock,
                                libvlc_video_unlock_cb unlock, libvlc_video_display_cb display, void* opaque)
{
    (void)player; (void)lock; (void)unlock; (void)display; (void)opaque;
    Record("libvlc_video_set_callbacks");
}
#endif

/* Resolved but never called by the viewer. */
libvlc_media_t* libvlc_media_new_fd(libvlc_instance_t* i, int fd) { (void)i; (void)fd; Record("libvlc_media_new_fd"); return NULL; }
libvlc_media_player_t* libvlc_media_player_new_from_media(libvlc_media_t* m) { (void)m; Record("libvlc_media_player_new_from_media"); return NULL; }
void libvlc_media_player_set_hwnd(libvlc_media_player_t* p, void* d) { (void)p; (void)d; Record("libvlc_media_player_set_hwnd"); }
libvlc_media_t* libvlc_media_player_get_media(libvlc_media_player_t* p) { (void)p; Record("libvlc_media_player_get_media"); return NULL; }
libvlc_event_manager_t* libvlc_media_event_manager(libvlc_media_t* m) { (void)m; Record("libvlc_media_event_manager"); return NULL; }
void libvlc_event_detach(libvlc_event_manager_t* e, libvlc_event_type_t t, libvlc_callback_t c, void* d) { (void)e; (void)t; (void)c; (void)d; Record("libvlc_event_detach"); }
void libvlc_media_parse(libvlc_media_t* m) { (void)m; Record("libvlc_media_parse"); }
void libvlc_media_parse_async(libvlc_media_t* m) { (void)m; Record("libvlc_media_parse_async"); }
float libvlc_video_get_adjust_float(libvlc_media_player_t* p, unsigned o) { (void)p; (void)o; Record("libvlc_video_get_adjust_float"); return 0; }
int libvlc_video_get_adjust_int(libvlc_media_player_t* p, unsigned o) { (void)p; (void)o; Record("libvlc_video_get_adjust_int"); return 0; }
int libvlc_audio_get_volume(libvlc_media_player_t* p) { (void)p; Record("libvlc_audio_get_volume"); return 0; }
float libvlc_media_player_get_rate(libvlc_media_player_t* p) { (void)p; Record("libvlc_media_player_get_rate"); return 0; }
float libvlc_media_player_get_position(libvlc_media_player_t* p) { (void)p; Record("libvlc_media_player_get_position"); return 0; }
int libvlc_video_get_track_count(libvlc_media_player_t* p) { (void)p; Record("libvlc_video_get_track_count"); return 0; }
int libvlc_video_get_track(libvlc_media_player_t* p) { (void)p; Record("libvlc_video_get_track"); return 0; }
char* libvlc_video_get_aspect_ratio(libvlc_media_player_t* p) { (void)p; Record("libvlc_video_get_aspect_ratio"); return NULL; }
libvlc_state_t libvlc_media_player_get_state(libvlc_media_player_t* p) { (void)p; Record("libvlc_media_player_get_state"); return libvlc_NothingSpecial; }
float libvlc_video_get_scale(libvlc_media_player_t* p) { (void)p; Record("libvlc_video_get_scale"); return 0; }
void libvlc_video_set_crop_geometry(libvlc_media_player_t* p, const char* g) { (void)p; (void)g; Record("libvlc_video_set_crop_geometry"); }
#ifndef FAKEVLC_WITHOUT_libvlc_video_get_crop_geometry
char* libvlc_video_get_crop_geometry(libvlc_media_player_t* p) { (void)p; Record("libvlc_video_get_crop_geometry"); return NULL; }
#endif
