#include "playback/VlcFunctionExecutor.h"

#include "core/Logger.h"
#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <mutex>

namespace {

const QString kClassName = QStringLiteral("VlcFunctionExecutor");

void LogLoadFailure(const char* text, const std::string& detail)
{
    Logger::GetInstance().Log(QString::fromUtf8(text) + " (" + QString::fromLocal8Bit(detail.c_str()) + ")",
                              kClassName, kClassName, 3, 3);
}

std::mutex instanceMutex;
std::unique_ptr<VlcFunctionExecutor> instance;
bool instanceDestroyed = false;

}  // namespace

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

void VlcFunctionTable::Resolve(const Resolver& resolver)
{
    // dlsym hands out object pointers; POSIX guarantees they convert to
    // function pointers.
#define KESTROV_VLC_RESOLVE(name) name = reinterpret_cast<decltype(name)>(resolver(#name));
    KESTROV_VLC_FUNCTIONS(KESTROV_VLC_RESOLVE)
#undef KESTROV_VLC_RESOLVE
}

std::size_t VlcFunctionTable::FilledCount() const
{
    std::size_t count = 0;
#define KESTROV_VLC_COUNT(name) count += name != nullptr ? 1 : 0;
    KESTROV_VLC_FUNCTIONS(KESTROV_VLC_COUNT)
#undef KESTROV_VLC_COUNT
    return count;
}

std::string_view VlcFunctionTable::FirstMissing() const
{
#define KESTROV_VLC_MISSING(name) \
    if (name == nullptr)          \
        return #name;
    KESTROV_VLC_FUNCTIONS(KESTROV_VLC_MISSING)
#undef KESTROV_VLC_MISSING
    return {};
}

#pragma GCC diagnostic pop

VlcFunctionExecutor* VlcFunctionExecutor::GetInstance()
{
    std::lock_guard lock(instanceMutex);
    if (instanceDestroyed)
        return nullptr;
    if (!instance)
        instance = std::make_unique<VlcFunctionExecutor>();
    return instance.get();
}

void VlcFunctionExecutor::DestroyInstance()
{
    std::lock_guard lock(instanceMutex);
    instance.reset();
    instanceDestroyed = true;
}

std::vector<std::string> VlcFunctionExecutor::DefaultCandidates()
{
    std::vector<std::string> candidates;
    const std::string beside = GetModuleDirectory() + "/" + kLibraryName;
    if (QFileInfo::exists(QFile::decodeName(beside.c_str())))
        candidates.push_back(beside);
    candidates.push_back(kLibraryName);
    return candidates;
}

VlcFunctionExecutor::VlcFunctionExecutor(const std::vector<std::string>& candidates)
{
    std::string lastError = "no candidate";
    for (const std::string& candidate : candidates) {
        library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library)
            break;
        const char* error = dlerror();
        lastError = error ? error : candidate;
    }
    if (!library) {
        LogLoadFailure(kLibraryMissingText, lastError);
        throw VlcLoadError(kLibraryMissingText);
    }
    ImportFunctions();
    if (!IsImported()) {
        LogLoadFailure(kFunctionMissingText, std::string(functions.FirstMissing()));
        functions.Clear();
        dlclose(library);
        library = nullptr;
        throw VlcLoadError(kFunctionMissingText);
    }
}

VlcFunctionExecutor::~VlcFunctionExecutor()
{
    if (library)
        dlclose(library);
}

void VlcFunctionExecutor::ImportFunctions()
{
    void* handle = library;
    ImportFunctions([handle](const char* name) { return dlsym(handle, name); });
}

void VlcFunctionExecutor::ImportFunctions(const VlcFunctionTable::Resolver& resolver)
{
    functions.Resolve(resolver);
}

bool VlcFunctionExecutor::IsImported() const
{
    return functions.FilledCount() == kVlcFunctionNames.size();
}

void VlcFunctionExecutor::LogCall(const QString& message, const QString& method)
{
    Logger::GetInstance().Log(message, kClassName, method, 3, 3);
}

namespace {

// A logged operation: nothing at all without its handles, else one line and
// the call.
template <typename Call>
void Logged(bool handlesGiven, const char* message, const char* method, Call call)
{
    if (!handlesGiven)
        return;
    VlcFunctionExecutor::LogCall(message, method);
    call();
}

template <typename Call>
int Logged(bool handlesGiven, const char* message, const char* method, int none, Call call)
{
    if (!handlesGiven)
        return none;
    VlcFunctionExecutor::LogCall(message, method);
    return call();
}

}  // namespace

int VlcFunctionExecutor::libvlc_media_player_play(libvlc_media_player_t* player)
{
    return Logged(player, "Media Player Play", "libvlc_media_player_play", -1,
                  [&] { return functions.libvlc_media_player_play(player); });
}

void VlcFunctionExecutor::libvlc_media_player_stop(libvlc_media_player_t* player)
{
    Logged(player, "Media Player Stop", "libvlc_media_player_stop",
           [&] { functions.libvlc_media_player_stop(player); });
}

void VlcFunctionExecutor::libvlc_media_player_set_media(libvlc_media_player_t* player, libvlc_media_t* media)
{
    Logged(player && media, "Media Player Set Media", "libvlc_media_player_set_media",
           [&] { functions.libvlc_media_player_set_media(player, media); });
}

void VlcFunctionExecutor::libvlc_media_player_set_pause(libvlc_media_player_t* player)
{
    Logged(player, "Media Player Set Pause", "libvlc_media_player_set_pause",
           [&] { functions.libvlc_media_player_set_pause(player, 1); });
}

int VlcFunctionExecutor::libvlc_media_player_is_playing(libvlc_media_player_t* player)
{
    return Logged(player, "Media Player is Playing", "libvlc_media_player_is_playing", 0,
                  [&] { return functions.libvlc_media_player_is_playing(player); });
}

void VlcFunctionExecutor::libvlc_audio_set_volume(libvlc_media_player_t* player, int volume)
{
    Logged(player, "Audio Set Volume", "libvlc_audio_set_volume",
           [&] { functions.libvlc_audio_set_volume(player, volume); });
}

void VlcFunctionExecutor::libvlc_media_player_set_rate(libvlc_media_player_t* player, float rate)
{
    Logged(player, "Media Player Set Rate", "libvlc_media_player_set_rate",
           [&] { functions.libvlc_media_player_set_rate(player, rate); });
}

void VlcFunctionExecutor::libvlc_media_player_set_position(libvlc_media_player_t* player, float position)
{
    Logged(player, "Media Player Set Position", "libvlc_media_player_set_position",
           [&] { functions.libvlc_media_player_set_position(player, position); });
}

int VlcFunctionExecutor::libvlc_video_set_track(libvlc_media_player_t* player, int track)
{
    return Logged(player, "Set Track", "libvlc_video_set_track", -1,
                  [&] { return functions.libvlc_video_set_track(player, track); });
}

void VlcFunctionExecutor::libvlc_video_take_snapshot(libvlc_media_player_t* player, const std::string& utf8Path)
{
    Logged(player, "Snap Shot", "libvlc_video_take_snapshot",
           [&] { functions.libvlc_video_take_snapshot(player, 0, utf8Path.c_str(), 0, 0); });
}

std::string GetModuleDirectory()
{
    return QFile::encodeName(Paths::ProgramFolder()).toStdString();
}

std::string MakePluginPathArgument(const std::string& folder)
{
    return "--plugin-path=" + folder + "/plugins";
}

std::vector<std::string> MakeVlcArguments(bool vflip, bool hflip)
{
    std::vector<std::string> arguments = {"-I", "dummy", "--ignore-config", "--no-osd", "--disable-screensaver",
                                          "--no-snapshot-preview"};
    if (!vflip && !hflip)
        return arguments;
    arguments.push_back("--video-filter=transform");
    // The transform filter keeps only its last type, so both flips together
    // are the half turn.
    if (vflip && hflip)
        arguments.push_back("--transform-type=180");
    else
        arguments.push_back(hflip ? "--transform-type=hflip" : "--transform-type=vflip");
    return arguments;
}

std::vector<std::string> MakeInstanceArguments(bool vflip, bool hflip, const std::string& programFolder)
{
    std::vector<std::string> arguments = MakeVlcArguments(vflip, hflip);
    if (QFileInfo(QFile::decodeName((programFolder + "/plugins").c_str())).isDir())
        arguments.push_back(MakePluginPathArgument(programFolder));
    return arguments;
}

bool ConvertToUtf8Path(std::string& out, const QString& path)
{
    if (path.contains(QChar(u'\0')))
        return false;
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() > PATH_MAX - 1)
        return false;
    out.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}
