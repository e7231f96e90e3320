#pragma once
// Settings file of the sections-and-keys form ("[Abschnitt]", "Schluessel=Wert").
//
// Not QSettings: that one escapes backslashes and rewrites the whole file.
// Here writing a key changes exactly one line (or adds one), and every other
// byte of the file -- other sections, comments, blank lines, line endings,
// bytes in any encoding -- stays as it was.
#include <QString>

namespace platform {

class IniDatei {
public:
    explicit IniDatei(const QString& pfad);

    const QString& pfad() const { return m_pfad; }

    // The value of `schluessel` in section `abschnitt` (both compared without
    // regard to case), without surrounding blanks; `vorgabe` when the file,
    // the section or the key is missing.
    QString lesen(const QString& abschnitt, const QString& schluessel,
                  const QString& vorgabe = QString()) const;

    // Sets the key to `wert`: replaces the value on the key's line, or adds
    // the key at the end of its section, or adds the section at the end of the
    // file. The file is replaced atomically (temporary file in the same folder,
    // then rename); where the folder is not writable but the file is, the file
    // is rewritten in place. False when the file could not be written.
    bool schreiben(const QString& abschnitt, const QString& schluessel, const QString& wert);

private:
    QString m_pfad;
};

}  // namespace platform
