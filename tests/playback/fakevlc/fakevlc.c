/* A stand-in for libvlc.so.5: exports the functions the binding resolves,
 * journals every call with its arguments and answers as the test scripts.
 * Built without one function (FAKEVLC_WITHOUT_<name>) to show refusals. C,
 * with no static constructors, so that dlclose really unloads it.
 *
 * Instances, players and media are distinct objects that keep what was set
 * on them, so tests ask the fake what a pane did. Players keep their
 * attached handlers; fakevlc_fire calls them on the caller's thread, as
 * libvlc calls them on its own, and a release waits for those running, as
 * libvlc's does. Every call may come from any thread: the
 * state and the journal sit behind one mutex, which no handler runs under.
 * Objects are never freed (a pane may hold a player across a reset); a
 * reset starts a new count of players. */

#define _GNU_SOURCE
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <vlc/vlc.h>

#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef FAKEVLC_ID
#define FAKEVLC_ID 1
#endif

#define FAKE_API __attribute__((visibility("default")))
#define MAX_HANDLERS 16

typedef struct {
    char* arguments; /* tab-separated */
} FakeInstance;

typedef struct {
    char* path;
    char* options; /* tab-separated */
} FakeMedia;

typedef struct {
    libvlc_event_type_t type;
    libvlc_callback_t callback;
    void* data;
} FakeHandler;

typedef struct {
    int id; /* 1, 2, ... in creation order since the last reset */
    char eventManager; /* its address is the player's event manager */
    char* arguments; /* its instance's, tab-separated */
    int released;
    FakeHandler handlers[MAX_HANDLERS];
    int handlerCount;
    int handlersRunning; /* fakevlc_fire calls in progress */
    char* mediaPath;
    char* mediaOptions;
    int playing;
    int volume;
    float rate;
    float position;
    int track;
    int adjustEnabled;
    float brightness;
} FakePlayer;

static pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t handlersDone = PTHREAD_COND_INITIALIZER;
static __thread const FakePlayer* handlerOf; /* the player whose handler runs on this thread */

static char* journal;
static size_t journalLength, journalCapacity;
static char* detailed;
static size_t detailedLength, detailedCapacity;

static FakePlayer** players;
static size_t playerCount, playerCapacity, playerBase;

static int nullInstance;
static int nullPlayer;
static int trackResult;
static int trackRefusals;
static int snapshotWrites;

static char* Duplicate(const char* text)
{
    size_t length = strlen(text);
    char* copy = malloc(length + 1);
    memcpy(copy, text, length + 1);
    return copy;
}

static void Append(char** buffer, size_t* length, size_t* capacity, const char* text)
{
    size_t add = strlen(text);
    if (*length + add + 2 > *capacity) {
        size_t wanted = (*capacity ? *capacity * 2 : 65536);
        while (wanted < *length + add + 2)
            wanted *= 2;
        *buffer = realloc(*buffer, wanted);
        *capacity = wanted;
    }
    memcpy(*buffer + *length, text, add);
    *length += add;
    (*buffer)[(*length)++] = '\n';
    (*buffer)[*length] = '\0';
}

/* Instances and media the fake made, until released. The binding's tests
 * pass stand-ins of their own, which are never freed. */
static void** owned;
static size_t ownedCount, ownedCapacity;

static void Own(void* object)
{
    pthread_mutex_lock(&mutex);
    if (ownedCount == ownedCapacity) {
        ownedCapacity = ownedCapacity ? ownedCapacity * 2 : 64;
        owned = realloc(owned, ownedCapacity * sizeof *owned);
    }
    owned[ownedCount++] = object;
    pthread_mutex_unlock(&mutex);
}

/* True when the fake made object: the caller frees it. */
static int Disown(void* object)
{
    int found = 0;
    pthread_mutex_lock(&mutex);
    for (size_t i = 0; object && i < ownedCount && !found; ++i) {
        if (owned[i] == object) {
            owned[i] = owned[--ownedCount];
            found = 1;
        }
    }
    pthread_mutex_unlock(&mutex);
    return found;
}

/* Caller holds the mutex. */
static FakePlayer* FindPlayer(const void* handle)
{
    for (size_t i = 0; i < playerCount; ++i)
        if (players[i] == handle)
            return players[i];
    return NULL;
}

static FakePlayer* FindByEventManager(const void* manager)
{
    for (size_t i = 0; i < playerCount; ++i)
        if (&players[i]->eventManager == manager)
            return players[i];
    return NULL;
}

/* One journal line: the call's name and arguments; the detailed journal
 * also names the player (0: none or unknown), the thread, and whether the
 * call ran inside one of that player's own handlers. Caller holds the
 * mutex. */
static void RecordLocked(const void* player, const char* format, va_list args)
{
    char line[4096];
    vsnprintf(line, sizeof line, format, args);
    Append(&journal, &journalLength, &journalCapacity, line);

    const FakePlayer* known = player ? FindPlayer(player) : NULL;
    char thread[32] = "";
    pthread_getname_np(pthread_self(), thread, sizeof thread);
    char full[4200];
    snprintf(full, sizeof full, "%d\t%s\t%d\t%s", known ? known->id : 0, thread,
             known && handlerOf == known ? 1 : 0, line);
    Append(&detailed, &detailedLength, &detailedCapacity, full);
}

static void Record(const void* player, const char* format, ...) __attribute__((format(printf, 2, 3)));
static void Record(const void* player, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    pthread_mutex_lock(&mutex);
    RecordLocked(player, format, args);
    pthread_mutex_unlock(&mutex);
    va_end(args);
}

/* Control functions for the tests ------------------------------------------ */

FAKE_API int fakevlc_id(void) { return FAKEVLC_ID; }

/* A copy of the journal (detailed or not); free it with fakevlc_free. */
FAKE_API char* fakevlc_journal_copy(int withDetails)
{
    pthread_mutex_lock(&mutex);
    char* copy = Duplicate(withDetails ? (detailed ? detailed : "") : (journal ? journal : ""));
    pthread_mutex_unlock(&mutex);
    return copy;
}

FAKE_API void fakevlc_free(char* text) { free(text); }

/* The fake's own records go with the library: after dlclose nothing could
 * reach them, and a leak check would count them against the caller. */
__attribute__((destructor)) static void ReleaseRecords(void)
{
    for (size_t i = 0; i < playerCount; ++i) {
        free(players[i]->arguments);
        free(players[i]->mediaPath);
        free(players[i]->mediaOptions);
        free(players[i]);
    }
    free(players);
    free(journal);
    free(detailed);
    free(owned);
}

FAKE_API void fakevlc_reset(void)
{
    pthread_mutex_lock(&mutex);
    journalLength = detailedLength = 0;
    if (journal)
        journal[0] = '\0';
    if (detailed)
        detailed[0] = '\0';
    nullInstance = nullPlayer = trackResult = trackRefusals = snapshotWrites = 0;
    playerBase = playerCount;
    pthread_mutex_unlock(&mutex);
}

FAKE_API void fakevlc_clear_journal(void)
{
    pthread_mutex_lock(&mutex);
    journalLength = detailedLength = 0;
    if (journal)
        journal[0] = '\0';
    if (detailed)
        detailed[0] = '\0';
    pthread_mutex_unlock(&mutex);
}

FAKE_API void fakevlc_script_null_instance(int on) { pthread_mutex_lock(&mutex); nullInstance = on; pthread_mutex_unlock(&mutex); }
FAKE_API void fakevlc_script_null_player(int on) { pthread_mutex_lock(&mutex); nullPlayer = on; pthread_mutex_unlock(&mutex); }
/* What libvlc_video_set_track answers once the refusals are used up. */
FAKE_API void fakevlc_script_track_result(int result) { pthread_mutex_lock(&mutex); trackResult = result; pthread_mutex_unlock(&mutex); }
/* The next `count` track requests are refused (-1). */
FAKE_API void fakevlc_script_track_refusals(int count) { pthread_mutex_lock(&mutex); trackRefusals = count; pthread_mutex_unlock(&mutex); }
/* Whether a snapshot writes its file (a PNG signature) and succeeds. */
FAKE_API void fakevlc_script_snapshot_writes(int on) { pthread_mutex_lock(&mutex); snapshotWrites = on; pthread_mutex_unlock(&mutex); }

/* Players made since the last reset, in creation order. */
FAKE_API int fakevlc_player_count(void)
{
    pthread_mutex_lock(&mutex);
    int count = (int)(playerCount - playerBase);
    pthread_mutex_unlock(&mutex);
    return count;
}

FAKE_API libvlc_media_player_t* fakevlc_player(int index)
{
    pthread_mutex_lock(&mutex);
    FakePlayer* player = index >= 0 && (size_t)index < playerCount - playerBase ? players[playerBase + (size_t)index] : NULL;
    pthread_mutex_unlock(&mutex);
    return (libvlc_media_player_t*)player;
}

/* Calls the handlers the player has attached for event, on this thread, with
 * value as the new position of a position event. A released player has no
 * handlers any more. Returns how many ran. */
FAKE_API int fakevlc_fire(libvlc_media_player_t* handle, int event, float value)
{
    FakeHandler chosen[MAX_HANDLERS];
    int count = 0;
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindPlayer(handle);
    if (player && player->released)
        player = NULL;
    if (player) {
        for (int i = 0; i < player->handlerCount; ++i)
            if (player->handlers[i].type == event)
                chosen[count++] = player->handlers[i];
        ++player->handlersRunning;
    }
    pthread_mutex_unlock(&mutex);

    libvlc_event_t record;
    memset(&record, 0, sizeof record);
    record.type = event;
    record.p_obj = handle;
    if (event == libvlc_MediaPlayerPositionChanged)
        record.u.media_player_position_changed.new_position = value;
    const FakePlayer* outer = handlerOf;
    handlerOf = player;
    for (int i = 0; i < count; ++i)
        chosen[i].callback(&record, chosen[i].data);
    handlerOf = outer;
    if (player) {
        pthread_mutex_lock(&mutex);
        if (--player->handlersRunning == 0)
            pthread_cond_broadcast(&handlersDone);
        pthread_mutex_unlock(&mutex);
    }
    return count;
}

/* What was set on a player. Texts are copies: free them with fakevlc_free. */
#define FAKEVLC_GETTER(type, name, field, none)                         \
    FAKE_API type fakevlc_player_##name(libvlc_media_player_t* handle)  \
    {                                                                   \
        pthread_mutex_lock(&mutex);                                     \
        FakePlayer* player = FindPlayer(handle);                        \
        type value = player ? player->field : none;                     \
        pthread_mutex_unlock(&mutex);                                   \
        return value;                                                   \
    }
FAKEVLC_GETTER(int, id, id, 0)
FAKEVLC_GETTER(int, released, released, 1)
FAKEVLC_GETTER(int, playing, playing, 0)
FAKEVLC_GETTER(int, volume, volume, -1)
FAKEVLC_GETTER(float, rate, rate, 0)
FAKEVLC_GETTER(float, position, position, 0)
FAKEVLC_GETTER(int, track, track, 0)
FAKEVLC_GETTER(int, adjust_enabled, adjustEnabled, 0)
FAKEVLC_GETTER(float, brightness, brightness, 0)
#undef FAKEVLC_GETTER

static char* TextOf(libvlc_media_player_t* handle, int which)
{
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindPlayer(handle);
    const char* text = "";
    if (player && which == 0 && player->mediaPath)
        text = player->mediaPath;
    if (player && which == 1 && player->mediaOptions)
        text = player->mediaOptions;
    if (player && which == 2)
        text = player->arguments;
    char* copy = Duplicate(text);
    pthread_mutex_unlock(&mutex);
    return copy;
}

FAKE_API char* fakevlc_player_media(libvlc_media_player_t* handle) { return TextOf(handle, 0); }
FAKE_API char* fakevlc_player_media_options(libvlc_media_player_t* handle) { return TextOf(handle, 1); }
FAKE_API char* fakevlc_player_arguments(libvlc_media_player_t* handle) { return TextOf(handle, 2); }

FAKE_API int fakevlc_player_handlers(libvlc_media_player_t* handle, int event)
{
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindPlayer(handle);
    int count = 0;
    for (int i = 0; player && !player->released && i < player->handlerCount; ++i)
        count += player->handlers[i].type == event ? 1 : 0;
    pthread_mutex_unlock(&mutex);
    return count;
}

/* The functions the binding resolves --------------------------------------- */

libvlc_instance_t* libvlc_new(int argc, const char* const* argv)
{
    char line[4096];
    size_t used = (size_t)snprintf(line, sizeof line, "libvlc_new\t%d", argc);
    const size_t argumentsStart = used + 1;
    for (int i = 0; i < argc && used < sizeof line; ++i)
        used += (size_t)snprintf(line + used, sizeof line - used, "\t%s", argv[i] ? argv[i] : "(null)");
    Record(NULL, "%s", line);
    pthread_mutex_lock(&mutex);
    FakeInstance* instance = NULL;
    if (!nullInstance) {
        instance = calloc(1, sizeof *instance);
        instance->arguments = Duplicate(argc && argumentsStart < sizeof line ? line + argumentsStart : "");
    }
    pthread_mutex_unlock(&mutex);
    if (instance)
        Own(instance);
    return (libvlc_instance_t*)instance;
}

libvlc_media_player_t* libvlc_media_player_new(libvlc_instance_t* handle)
{
    Record(NULL, "libvlc_media_player_new");
    const FakeInstance* instance = (const FakeInstance*)handle;
    pthread_mutex_lock(&mutex);
    FakePlayer* player = NULL;
    if (!nullPlayer) {
        player = calloc(1, sizeof *player);
        player->arguments = Duplicate(instance ? instance->arguments : "");
        player->volume = -1;
        player->rate = 1.0f;
        if (playerCount == playerCapacity) {
            playerCapacity = playerCapacity ? playerCapacity * 2 : 64;
            players = realloc(players, playerCapacity * sizeof *players);
        }
        players[playerCount++] = player;
        player->id = (int)(playerCount - playerBase);
    }
    pthread_mutex_unlock(&mutex);
    return (libvlc_media_player_t*)player;
}

libvlc_event_manager_t* libvlc_media_player_event_manager(libvlc_media_player_t* handle)
{
    Record(handle, "libvlc_media_player_event_manager");
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindPlayer(handle);
    pthread_mutex_unlock(&mutex);
    /* A player the fake did not make (the binding's tests) gets a stand-in. */
    static char standIn;
    return (libvlc_event_manager_t*)(player ? &player->eventManager : &standIn);
}

libvlc_media_t* libvlc_media_new_path(libvlc_instance_t* instance, const char* path)
{
    (void)instance;
    Record(NULL, "libvlc_media_new_path\t%s", path);
    FakeMedia* media = calloc(1, sizeof *media);
    media->path = Duplicate(path);
    media->options = Duplicate("");
    Own(media);
    return (libvlc_media_t*)media;
}

int libvlc_event_attach(libvlc_event_manager_t* manager, libvlc_event_type_t event, libvlc_callback_t callback,
                        void* data)
{
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindByEventManager(manager);
    if (player && player->handlerCount < MAX_HANDLERS)
        player->handlers[player->handlerCount++] = (FakeHandler){event, callback, data};
    pthread_mutex_unlock(&mutex);
    Record(player, "libvlc_event_attach\t%d", event);
    return 0;
}

void libvlc_video_set_aspect_ratio(libvlc_media_player_t* player, const char* aspect)
{
    Record(player, "libvlc_video_set_aspect_ratio\t%s", aspect);
}

void libvlc_media_player_set_pause(libvlc_media_player_t* handle, int pause)
{
    Record(handle, "libvlc_media_player_set_pause\t%d", pause);
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindPlayer(handle);
    if (player && pause)
        player->playing = 0;
    pthread_mutex_unlock(&mutex);
}

int libvlc_video_take_snapshot(libvlc_media_player_t* player, unsigned num, const char* path, unsigned width,
                               unsigned height)
{
    Record(player, "libvlc_video_take_snapshot\t%u\t%s\t%u\t%u", num, path, width, height);
    pthread_mutex_lock(&mutex);
    int writes = snapshotWrites;
    pthread_mutex_unlock(&mutex);
    if (!writes)
        return 0;
    FILE* file = fopen(path, "wb");
    if (!file)
        return -1;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    fwrite(signature, 1, sizeof signature, file);
    fclose(file);
    return 0;
}

int libvlc_video_set_track(libvlc_media_player_t* handle, int track)
{
    Record(handle, "libvlc_video_set_track\t%d", track);
    pthread_mutex_lock(&mutex);
    int result = trackResult;
    if (trackRefusals > 0) {
        --trackRefusals;
        result = -1;
    }
    FakePlayer* player = FindPlayer(handle);
    if (player && result == 0)
        player->track = track;
    pthread_mutex_unlock(&mutex);
    return result;
}

#define FAKEVLC_SET(handle, statement)              \
    do {                                            \
        pthread_mutex_lock(&mutex);                 \
        FakePlayer* player = FindPlayer(handle);    \
        if (player) {                               \
            statement;                              \
        }                                           \
        pthread_mutex_unlock(&mutex);               \
    } while (0)

int libvlc_media_player_play(libvlc_media_player_t* handle)
{
    Record(handle, "libvlc_media_player_play");
    FAKEVLC_SET(handle, player->playing = 1);
    return 0;
}

void libvlc_media_player_stop(libvlc_media_player_t* handle)
{
    Record(handle, "libvlc_media_player_stop");
    FAKEVLC_SET(handle, player->playing = 0);
}

void libvlc_media_player_set_media(libvlc_media_player_t* handle, libvlc_media_t* handleOfMedia)
{
    Record(handle, "libvlc_media_player_set_media");
    const FakeMedia* media = (const FakeMedia*)handleOfMedia;
    FAKEVLC_SET(handle, player->playing = 0; free(player->mediaPath); free(player->mediaOptions);
                player->mediaPath = Duplicate(media->path); player->mediaOptions = Duplicate(media->options));
}

/* Known players answer their state; one the fake did not make plays. */
int libvlc_media_player_is_playing(libvlc_media_player_t* handle)
{
    Record(handle, "libvlc_media_player_is_playing");
    int playing = 1;
    FAKEVLC_SET(handle, playing = player->playing);
    return playing;
}

int libvlc_audio_set_volume(libvlc_media_player_t* handle, int volume)
{
    Record(handle, "libvlc_audio_set_volume\t%d", volume);
    FAKEVLC_SET(handle, player->volume = volume);
    return 0;
}

int libvlc_media_player_set_rate(libvlc_media_player_t* handle, float rate)
{
    Record(handle, "libvlc_media_player_set_rate\t%.2f", (double)rate);
    FAKEVLC_SET(handle, player->rate = rate);
    return 0;
}

void libvlc_media_player_set_position(libvlc_media_player_t* handle, float position)
{
    Record(handle, "libvlc_media_player_set_position\t%.3f", (double)position);
    FAKEVLC_SET(handle, player->position = position);
}

/* As libvlc joins its threads, a release waits for the handlers running. */
void libvlc_media_player_release(libvlc_media_player_t* handle)
{
    Record(handle, "libvlc_media_player_release");
    pthread_mutex_lock(&mutex);
    FakePlayer* player = FindPlayer(handle);
    if (player) {
        player->released = 1;
        player->playing = 0;
        while (player->handlersRunning > 0)
            pthread_cond_wait(&handlersDone, &mutex);
    }
    pthread_mutex_unlock(&mutex);
}

void libvlc_release(libvlc_instance_t* handle)
{
    Record(NULL, "libvlc_release");
    FakeInstance* instance = (FakeInstance*)handle;
    if (Disown(instance)) {
        free(instance->arguments);
        free(instance);
    }
}

void libvlc_media_release(libvlc_media_t* handle)
{
    Record(NULL, "libvlc_media_release");
    FakeMedia* media = (FakeMedia*)handle;
    if (Disown(media)) {
        free(media->path);
        free(media->options);
        free(media);
    }
}

void libvlc_media_add_option(libvlc_media_t* handle, const char* option)
{
    Record(NULL, "libvlc_media_add_option\t%s", option);
    FakeMedia* media = (FakeMedia*)handle;
    if (!media)
        return;
    pthread_mutex_lock(&mutex);
    size_t length = strlen(media->options) + strlen(option) + 2;
    char* joined = malloc(length);
    snprintf(joined, length, "%s%s%s", media->options, media->options[0] ? "\t" : "", option);
    free(media->options);
    media->options = joined;
    pthread_mutex_unlock(&mutex);
}

void libvlc_video_set_adjust_int(libvlc_media_player_t* handle, unsigned option, int value)
{
    Record(handle, "libvlc_video_set_adjust_int\t%u\t%d", option, value);
    FAKEVLC_SET(handle, if (option == libvlc_adjust_Enable) player->adjustEnabled = value);
}

void libvlc_video_set_adjust_float(libvlc_media_player_t* handle, unsigned option, float value)
{
    Record(handle, "libvlc_video_set_adjust_float\t%u\t%.2f", option, (double)value);
    FAKEVLC_SET(handle, if (option == libvlc_adjust_Brightness) player->brightness = value);
}

void libvlc_video_set_format_callbacks(libvlc_media_player_t* player, libvlc_video_format_cb setup,
                                       libvlc_video_cleanup_cb cleanup)
{
    (void)setup; (void)cleanup;
    Record(player, "libvlc_video_set_format_callbacks");
}
#ifndef FAKEVLC_WITHOUT_libvlc_video_set_callbacks
void libvlc_video_set_callbacks(libvlc_media_player_t* player, libvlc_video_lock_cb lock,
                                libvlc_video_unlock_cb unlock, libvlc_video_display_cb display, void* opaque)
{
    (void)lock; (void)unlock; (void)display; (void)opaque;
    Record(player, "libvlc_video_set_callbacks");
}
#endif

/* Resolved but never called by the viewer. */
libvlc_media_t* libvlc_media_new_fd(libvlc_instance_t* i, int fd) { (void)i; (void)fd; Record(NULL, "libvlc_media_new_fd"); return NULL; }
libvlc_media_player_t* libvlc_media_player_new_from_media(libvlc_media_t* m) { (void)m; Record(NULL, "libvlc_media_player_new_from_media"); return NULL; }
void libvlc_media_player_set_hwnd(libvlc_media_player_t* p, void* d) { (void)d; Record(p, "libvlc_media_player_set_hwnd"); }
libvlc_media_t* libvlc_media_player_get_media(libvlc_media_player_t* p) { Record(p, "libvlc_media_player_get_media"); return NULL; }
libvlc_event_manager_t* libvlc_media_event_manager(libvlc_media_t* m) { (void)m; Record(NULL, "libvlc_media_event_manager"); return NULL; }
void libvlc_event_detach(libvlc_event_manager_t* e, libvlc_event_type_t t, libvlc_callback_t c, void* d) { (void)e; (void)t; (void)c; (void)d; Record(NULL, "libvlc_event_detach"); }
void libvlc_media_parse(libvlc_media_t* m) { (void)m; Record(NULL, "libvlc_media_parse"); }
void libvlc_media_parse_async(libvlc_media_t* m) { (void)m; Record(NULL, "libvlc_media_parse_async"); }
float libvlc_video_get_adjust_float(libvlc_media_player_t* p, unsigned o) { (void)o; Record(p, "libvlc_video_get_adjust_float"); return 0; }
int libvlc_video_get_adjust_int(libvlc_media_player_t* p, unsigned o) { (void)o; Record(p, "libvlc_video_get_adjust_int"); return 0; }
int libvlc_audio_get_volume(libvlc_media_player_t* p) { Record(p, "libvlc_audio_get_volume"); return 0; }
float libvlc_media_player_get_rate(libvlc_media_player_t* p) { Record(p, "libvlc_media_player_get_rate"); return 0; }
float libvlc_media_player_get_position(libvlc_media_player_t* p) { Record(p, "libvlc_media_player_get_position"); return 0; }
int libvlc_video_get_track_count(libvlc_media_player_t* p) { Record(p, "libvlc_video_get_track_count"); return 0; }
int libvlc_video_get_track(libvlc_media_player_t* p) { Record(p, "libvlc_video_get_track"); return 0; }
char* libvlc_video_get_aspect_ratio(libvlc_media_player_t* p) { Record(p, "libvlc_video_get_aspect_ratio"); return NULL; }
libvlc_state_t libvlc_media_player_get_state(libvlc_media_player_t* p) { Record(p, "libvlc_media_player_get_state"); return libvlc_NothingSpecial; }
float libvlc_video_get_scale(libvlc_media_player_t* p) { Record(p, "libvlc_video_get_scale"); return 0; }
void libvlc_video_set_crop_geometry(libvlc_media_player_t* p, const char* g) { (void)g; Record(p, "libvlc_video_set_crop_geometry"); }
#ifndef FAKEVLC_WITHOUT_libvlc_video_get_crop_geometry
char* libvlc_video_get_crop_geometry(libvlc_media_player_t* p) { Record(p, "libvlc_video_get_crop_geometry"); return NULL; }
#endif
