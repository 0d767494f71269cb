#pragma once
// The fake libvlc builds and the control functions each one exports.

#include "playback/VlcFunctionExecutor.h"

#include <QString>
#include <QStringList>
#include <dlfcn.h>
#include <string>
#include <vector>

namespace fakevlc {

// The folders the fakes were built into, each holding a libvlc.so.5.
inline std::string Library(const char* variant)
{
    return std::string(FAKEVLC_DIR) + "/" + variant + "/libvlc.so.5";
}

// One call as the fake journaled it.
struct Call {
    int player = 0;         // 1, 2, ... in creation order since the reset; 0: none
    QString thread;         // the calling thread's name
    bool inHandler = false; // inside one of that player's own event handlers
    QString name;
    QStringList arguments;

    QString Line() const { return (QStringList{name} + arguments).join('\t'); }
};

// The control functions of the fake that executor loaded.
class Control {
public:
    explicit Control(const VlcFunctionExecutor& executor) : handle(executor.LibraryHandle())
    {
        Get<void (*)()>("fakevlc_reset")();
    }
    int Id() const { return Get<int (*)()>("fakevlc_id")(); }
    void NullInstance(bool on) const { Get<void (*)(int)>("fakevlc_script_null_instance")(on ? 1 : 0); }
    void NullPlayer(bool on) const { Get<void (*)(int)>("fakevlc_script_null_player")(on ? 1 : 0); }
    // What a track request answers once the refusals are used up.
    void TrackResult(int result) const { Get<void (*)(int)>("fakevlc_script_track_result")(result); }
    void TrackRefusals(int count) const { Get<void (*)(int)>("fakevlc_script_track_refusals")(count); }
    // A snapshot writes its file (and succeeds) or writes nothing.
    void SnapshotWrites(bool on) const { Get<void (*)(int)>("fakevlc_script_snapshot_writes")(on ? 1 : 0); }
    // Scripts back to their defaults, the journal emptied, players counted
    // afresh.
    void Reset() const { Get<void (*)()>("fakevlc_reset")(); }
    void ClearJournal() const { Get<void (*)()>("fakevlc_clear_journal")(); }

    // One entry per call: the function's name, then its arguments, tab-separated.
    QStringList Journal() const { return Text("fakevlc_journal_copy", 0).split('\n', Qt::SkipEmptyParts); }
    // Just the names called.
    QStringList Calls() const
    {
        QStringList names;
        for (const QString& entry : Journal())
            names << entry.section('\t', 0, 0);
        return names;
    }
    // Every call with its player, thread and handler flag.
    std::vector<Call> Records() const
    {
        std::vector<Call> calls;
        for (const QString& line : Text("fakevlc_journal_copy", 1).split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split('\t');
            calls.push_back({fields.value(0).toInt(), fields.value(1), fields.value(2) == "1", fields.value(3),
                             fields.mid(4)});
        }
        return calls;
    }
    // The lines ("name\targs") of one player's calls.
    QStringList JournalOf(int player) const
    {
        QStringList lines;
        for (const Call& call : Records())
            if (call.player == player)
                lines << call.Line();
        return lines;
    }

    // Players made since the reset, in creation order (index 0 is player 1).
    int PlayerCount() const { return Get<int (*)()>("fakevlc_player_count")(); }
    libvlc_media_player_t* Player(int index) const
    {
        return Get<libvlc_media_player_t* (*)(int)>("fakevlc_player")(index);
    }
    libvlc_media_player_t* LastPlayer() const { return Player(PlayerCount() - 1); }

    // Calls the player's handlers for event on this thread; how many ran.
    int Fire(libvlc_media_player_t* player, int event, float value = 0) const
    {
        return Get<int (*)(libvlc_media_player_t*, int, float)>("fakevlc_fire")(player, event, value);
    }

    // What was set on a player.
    int IdOf(libvlc_media_player_t* p) const { return Int("fakevlc_player_id", p); }
    // The lines ("name\targs") of one player's calls.
    QStringList JournalOf(libvlc_media_player_t* p) const { return JournalOf(IdOf(p)); }
    bool Released(libvlc_media_player_t* p) const { return Int("fakevlc_player_released", p) != 0; }
    bool Playing(libvlc_media_player_t* p) const { return Int("fakevlc_player_playing", p) != 0; }
    int Volume(libvlc_media_player_t* p) const { return Int("fakevlc_player_volume", p); }
    int Track(libvlc_media_player_t* p) const { return Int("fakevlc_player_track", p); }
    bool AdjustEnabled(libvlc_media_player_t* p) const { return Int("fakevlc_player_adjust_enabled", p) != 0; }
    float Rate(libvlc_media_player_t* p) const { return Float("fakevlc_player_rate", p); }
    float Position(libvlc_media_player_t* p) const { return Float("fakevlc_player_position", p); }
    float Brightness(libvlc_media_player_t* p) const { return Float("fakevlc_player_brightness", p); }
    QString Media(libvlc_media_player_t* p) const { return Text("fakevlc_player_media", p); }
    QStringList MediaOptions(libvlc_media_player_t* p) const
    {
        return Text("fakevlc_player_media_options", p).split('\t', Qt::SkipEmptyParts);
    }
    // The arguments its instance was created with.
    QStringList Arguments(libvlc_media_player_t* p) const
    {
        return Text("fakevlc_player_arguments", p).split('\t', Qt::SkipEmptyParts);
    }
    int Handlers(libvlc_media_player_t* p, int event) const
    {
        return Get<int (*)(libvlc_media_player_t*, int)>("fakevlc_player_handlers")(p, event);
    }

private:
    template <typename Function>
    Function Get(const char* name) const
    {
        return reinterpret_cast<Function>(dlsym(handle, name));
    }
    template <typename Argument>
    QString Text(const char* name, Argument argument) const
    {
        char* text = Get<char* (*)(Argument)>(name)(argument);
        const QString copy = QString::fromUtf8(text);
        Get<void (*)(char*)>("fakevlc_free")(text);
        return copy;
    }
    int Int(const char* name, libvlc_media_player_t* p) const { return Get<int (*)(libvlc_media_player_t*)>(name)(p); }
    float Float(const char* name, libvlc_media_player_t* p) const
    {
        return Get<float (*)(libvlc_media_player_t*)>(name)(p);
    }
    void* handle;
};

}  // namespace fakevlc
