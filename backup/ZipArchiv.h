#pragma once
// The backup archive: one file, deflated at the strongest level, written on
// every core.
#include <QString>

#include <functional>

namespace backup {

// Bytes compressed in one piece. Smaller pieces give finer progress and more
// work to share out, each costs a few bytes of archive.
constexpr qint64 kZipBlockgroesse = qint64(1) << 20;

// Writes a new zip archive `archiv` (an existing file is overwritten) holding
// `quelle` as its only entry, under the name `eintrag`, deflated at level 9.
//
// The file is compressed in blocks of `blockgroesse` bytes on `faeden`
// threads (0: one per core). Each block is primed with the last 32 KiB of the
// block before it, so the archive is hardly larger than a single-threaded
// one, and the blocks join into one ordinary deflate stream that any unzip
// tool reads.
//
// `fortschritt` (if given) gets the share of the file packed so far, from the
// calling thread. False on failure, with the reason in `fehler`; a partly
// written `archiv` is then left for the caller to remove.
bool ZipSchreiben(const QString& quelle, const QString& eintrag, const QString& archiv, QString* fehler,
                  const std::function<void(double)>& fortschritt = {}, qint64 blockgroesse = kZipBlockgroesse,
                  int faeden = 0);

}  // namespace backup
