#include "playback/CFirstChannelVideoPane.h"
#include "playback/CSecondChannelVideoPane.h"
#include "playback/CVideoPlayerPane.h"
#include "playback/GyroscopePaneStub.h"
#include "playback/PlayerPaneSeams.h"

PlayerPaneParts PlayerPaneParts::Defaults(VlcFunctionExecutor& binding)
{
    PlayerPaneParts parts;
    parts.channel1 = [&binding](CVideoPlayerPane& pane) -> IChannelView* {
        auto* channel = new CFirstChannelVideoPane(&pane, pane, pane.Hub(), binding, pane.Images());
        channel->OnInitDialog();
        return channel;
    };
    parts.channel2 = [&binding](CVideoPlayerPane& pane) -> IChannelView* {
        auto* channel = new CSecondChannelVideoPane(&pane, pane, pane.Hub(), binding);
        channel->OnInitDialog();
        return channel;
    };
    parts.gyroscope = [](CVideoPlayerPane& pane) -> IGyroscopePane* { return new GyroscopePaneStub(&pane); };
    return parts;
}
