#include "ScopedLocale.h"

#include <clocale>

namespace testsupport {

ScopedLocale::ScopedLocale(const char* name)
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    previous = current ? current : "C";
    active = std::setlocale(LC_ALL, name) != nullptr;
    if (active) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section(u'.', 0, 0)));
    }
}

ScopedLocale::~ScopedLocale()
{
    std::setlocale(LC_ALL, previous.c_str());
    QLocale::setDefault(previousQt);
}

}  // namespace testsupport
