#pragma once
// The fake libvlc builds and the control functions each one exports.

#include "playback/VlcFunctionExecutor.h"

#include <QString>
#include <QStringList>
#include <dlfcn.h>
#include <string>

namespace fakevlc {

// The folders the fakes were built into, each holding a libvlc.so.5.
inline std::string Library(const char* variant)
{
    return std::string(FAKEVLC_DIR) + "/" + variant + "/libvlc.so.5";
}

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
    void TrackResult(int result) const { Get<void (*)(int)>("fakevlc_script_track_result")(result); }
    void Reset() const { Get<void (*)()>("fakevlc_reset")(); }
    // One entry per call: the function's name, then its arguments, tab-separated.
    QStringList Journal() const
    {
        return QString::fromUtf8(Get<const char* (*)()>("fakevlc_journal")()).split('\n', Qt::SkipEmptyParts);
    }
    // Just the names called.
    QStringList Calls() const
    {
        QStringList names;
        for (const QString& entry : Journal())
            names << entry.section('\t', 0, 0);
        return names;
    }

private:
    template <typename Function>
    Function Get(const char* name) const
    {
        return reinterpret_cast<Function>(dlsym(handle, name));
    }
    void* handle;
};

}  // namespace fakevlc
