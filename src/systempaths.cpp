#include "systempaths.h"

#include <QCoreApplication>

SystemPaths& systemPaths()
{
    static SystemPaths paths;
    return paths;
}

QString programDirectory()
{
    const QString& configured = systemPaths().programDir;
    return configured.isEmpty() ? QCoreApplication::applicationDirPath() : configured;
}
