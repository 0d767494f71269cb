#pragma once
// The viewer's only way to libvlc: loads the library at run time, resolves
// its functions into a table and offers the logged operations the channel
// panes drive their players with.

#include "playback/VlcFunctionTable.h"

#include <QString>
#include <stdexcept>
#include <string>
#include <vector>

// The library or one of its functions is missing; what() is the text the
// user is shown at start-up.
class VlcLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class VlcFunctionExecutor {
public:
    static constexpr const char* kLibraryMissingText = "libvlc.dll or libvlccore.dll file is not exist.";
    static constexpr const char* kFunctionMissingText = "Vlc Function is not imported.";
    static constexpr const char* kLibraryName = "libvlc.so.5";

    // The process-wide binding, built with the default candidates on first
    // use. Throws VlcLoadError and keeps nothing when that fails, so the next
    // call tries again; null for the rest of the process after
    // DestroyInstance().
    static VlcFunctionExecutor* GetInstance();
    static void DestroyInstance();

    // The library files tried in order: the program folder's copy when it
    // exists, then the plain name (the system's search).
    static std::vector<std::string> DefaultCandidates();

    // Loads the first candidate that opens, resolves and tests the table.
    // Throws VlcLoadError; nothing stays loaded then.
    explicit VlcFunctionExecutor(const std::vector<std::string>& candidates = DefaultCandidates());
    ~VlcFunctionExecutor();
    VlcFunctionExecutor(const VlcFunctionExecutor&) = delete;
    VlcFunctionExecutor& operator=(const VlcFunctionExecutor&) = delete;

    // Resolves every entry from the loaded library (or from resolver).
    void ImportFunctions();
    void ImportFunctions(const VlcFunctionTable::Resolver& resolver);
    bool IsImported() const;

    const VlcFunctionTable& Functions() const { return functions; }
    // The dlopen handle, for looking up what the library exports beyond
    // the table.
    void* LibraryHandle() const { return library; }

    // Logged operations: one log line, then the call. A null player or
    // media calls and logs nothing.
    int libvlc_media_player_play(libvlc_media_player_t* player);
    void libvlc_media_player_stop(libvlc_media_player_t* player);
    void libvlc_media_player_set_media(libvlc_media_player_t* player, libvlc_media_t* media);
    // Always pauses, never resumes.
    void libvlc_media_player_set_pause(libvlc_media_player_t* player);
    int libvlc_media_player_is_playing(libvlc_media_player_t* player);
    void libvlc_audio_set_volume(libvlc_media_player_t* player, int volume);
    void libvlc_media_player_set_rate(libvlc_media_player_t* player, float rate);
    void libvlc_media_player_set_position(libvlc_media_player_t* player, float position);
    // 0 accepted, -1 refused.
    int libvlc_video_set_track(libvlc_media_player_t* player, int track);
    // The first video output, at the video's own size.
    void libvlc_video_take_snapshot(libvlc_media_player_t* player, const std::string& utf8Path);

    // One line of the binding's shape: class "VlcFunctionExecutor", the
    // libvlc function as the method, type 3, level 3.
    static void LogCall(const QString& message, const QString& method);

private:
    void* library = nullptr;
    VlcFunctionTable functions;
};

// The program's folder (no trailing '/').
std::string GetModuleDirectory();
// "--plugin-path=<folder>/plugins".
std::string MakePluginPathArgument(const std::string& folder);
// The fixed arguments and the transform filter of the flips.
std::vector<std::string> MakeVlcArguments(bool vflip, bool hflip);
// MakeVlcArguments, then the plugin path when programFolder has a plugins
// folder: the whole vector a player instance is created with.
std::vector<std::string> MakeInstanceArguments(bool vflip, bool hflip, const std::string& programFolder);
// The native file-name bytes of path into out. False, out untouched, when
// they exceed PATH_MAX - 1 bytes or the path holds U+0000.
bool ConvertToUtf8Path(std::string& out, const QString& path);
