#include "ui/MapPaneServices.h"

#include "platform/Paths.h"
#include "ui/CExplorer1.h"

#include <QFileInfo>
#include <QUrl>

QString MapTileUrl()
{
    if (qEnvironmentVariableIsSet("KESTROV_MAP_TILE_URL"))
        return qEnvironmentVariable("KESTROV_MAP_TILE_URL");
    return QString::fromLatin1(kDefaultTileUrl);
}

QString MapPagePath()
{
    const QString inWorkingFolder = Paths::Join(Paths::WorkingFolder(), QStringLiteral("map.htm"));
    if (QFileInfo::exists(inWorkingFolder))
        return inWorkingFolder;
    return Paths::Join(Paths::ProgramFolder(), QStringLiteral("map.htm"));
}

std::optional<ProbeAddress> ProbeAddressOf(const QString& tileUrl)
{
    if (tileUrl.isEmpty())
        return std::nullopt;
    const QUrl url(tileUrl);
    const QString scheme = url.scheme().toLower();
    const int defaultPort = scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1;
    const int port = url.port(defaultPort);
    if (!url.isValid() || url.host().isEmpty() || port <= 0)
        return std::nullopt;
    return ProbeAddress{url.host(), port};
}

MapPaneServices MapPaneServices::ForProgram(std::function<void(const GpsFix&)> positionChange)
{
    const QString tileUrl = MapTileUrl();
    const ProbeAddress address = ProbeAddressOf(tileUrl).value_or(ProbeAddress{});
    auto probe = std::make_shared<SystemNetProbe>(address.host, address.port);
    MapPaneServices services{*probe, std::move(positionChange), ImageSource::Resources(), MapPagePath(), tileUrl,
                             CExplorer1::Make};
    services.ownedProbe = std::move(probe);
    return services;
}
