#pragma once
#include <QFile>
#include <QString>
#include <climits>
#include <string>
inline bool ToAnsiPath(const QString& path, std::string& native)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.isEmpty() || bytes.contains('\0') || bytes.size() >= PATH_MAX)
        return false;
    native = bytes.toStdString();
    return true;
}
