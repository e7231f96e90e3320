#include "app/tools.h"

#include "platform/Prozesse.h"

#include <QFileInfo>
#include <QProcess>

bool StarteUndWarte(const QString& programm, const QString& parameter, quint16 fensterart)
{
    // The window-show code has no counterpart for a program started here.
    Q_UNUSED(fensterart);
    const QStringList argumente = parameter.trimmed().isEmpty() ? QStringList() : QProcess::splitCommand(parameter);
    return platform::StarteUndWarte(programm, QFileInfo(programm).absolutePath(), argumente);
}
