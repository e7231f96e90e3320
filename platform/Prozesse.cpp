#include "platform/Prozesse.h"

#include <QProcess>

namespace platform {

bool StarteUndWarte(const QString& programm, const QString& arbeitsordner, const QStringList& argumente)
{
    QProcess prozess;
    prozess.setProgram(programm);
    prozess.setArguments(argumente);
    prozess.setWorkingDirectory(arbeitsordner);
    // The program talks to the user itself; nothing is read from it, so its
    // output must not pile up in pipes nobody empties.
    prozess.setProcessChannelMode(QProcess::ForwardedChannels);
    prozess.setStandardInputFile(QProcess::nullDevice());
    prozess.start();
    if (!prozess.waitForStarted(-1)) return false;
    prozess.waitForFinished(-1);
    return true;
}

bool StarteLosgeloest(const QString& programm, const QString& arbeitsordner, const QStringList& argumente)
{
    return QProcess::startDetached(programm, argumente, arbeitsordner);
}

}  // namespace platform
