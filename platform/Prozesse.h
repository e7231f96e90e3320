#pragma once
// Starting other programs.
#include <QString>
#include <QStringList>

namespace platform {

// Starts `programm` in `arbeitsordner` and waits, without a time limit, until
// it has ended. True when it could be started; its exit code is not looked at.
// A missing or non-executable program is simply not started.
bool StarteUndWarte(const QString& programm, const QString& arbeitsordner,
                    const QStringList& argumente = QStringList());

// Starts `programm` in `arbeitsordner` as a process of its own that outlives
// this one, and returns at once. True when it could be started; callers that
// fire and forget ignore it.
bool StarteLosgeloest(const QString& programm, const QString& arbeitsordner,
                      const QStringList& argumente = QStringList());

}  // namespace platform
