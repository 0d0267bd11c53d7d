#include "storelocation.h"

#include <QFile>
#include <QStandardPaths>

namespace kelvane::app {

std::string defaultStorePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QFile::encodeName(folder + QStringLiteral("/kelvane/registry.reg")).toStdString();
}

} // namespace kelvane::app
