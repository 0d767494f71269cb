#include "settings/DriveListEntries.h"

std::vector<DriveListEntry> DriveListEntries(const Drives& drives)
{
    std::vector<DriveListEntry> entries;
    for (DriveInfo& drive : drives.Listed()) {
        QString text = drive.label + u'(' + drive.root + u')';
        entries.push_back({std::move(text), std::move(drive)});
    }
    return entries;
}

QString DriveRootFromEntryText(const QString& text)
{
    const qsizetype open = text.indexOf(QStringLiteral("(/"));
    if (text.endsWith(u')') && open >= 0)
        return text.mid(open + 1, text.size() - open - 2);
    if (text.startsWith(u'/'))
        return text;
    return QString();
}
