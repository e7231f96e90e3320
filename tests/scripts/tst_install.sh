#!/usr/bin/env bash
# scripts/install into a HOME of its own, with the programs already built:
# installing again updates the programs and keeps database and settings byte
# for byte; removing takes programs and menu entry and keeps the data.
#   tst_install.sh <Quellordner> <Bauordner>
set -euo pipefail
quelle="$1"; export ORDAVO_BAUORDNER="$2"
export HOME; HOME="$(mktemp -d)"
trap 'rm -rf "$HOME"' EXIT
unset XDG_DATA_HOME
fehler() { echo "FEHLER: $*" >&2; exit 1; }
ziel="$HOME/Ordavo"
menue="$HOME/.local/share/applications/ordavo.desktop"

"$quelle/scripts/install" >/dev/null
for f in ordavo datensicherung datenuebernahme leere_datenbank ordavo_neu.mdb; do [ -f "$ziel/$f" ] || fehler "$f fehlt"; done
[ -x "$ziel/ordavo" ] && [ -x "$ziel/datensicherung" ] || fehler "Programme nicht ausführbar"
[ -e "$ziel/ordavo_tab.mdb" ] && fehler "ordavo_tab.mdb angelegt"
grep -qxF "Path=$ziel" "$menue" || fehler "Arbeitsordner im Menüeintrag falsch"
grep -qxF "Exec=\"$ziel/ordavo\"" "$menue" || fehler "Exec im Menüeintrag falsch"
grep -qxF "Icon=ordavo" "$menue" || fehler "Icon im Menüeintrag falsch"
[ -s "$HOME/.local/share/icons/hicolor/scalable/apps/ordavo.svg" ] || fehler "Symbol fehlt"

# The first start took the empty database over and the user worked with it.
mv "$ziel/ordavo_neu.mdb" "$ziel/ordavo_tab.mdb"
printf 'geänderte Daten' >> "$ziel/ordavo_tab.mdb"
printf '[Einstellungen]\r\nDesktopIcon=true\r\n[Datensicherung]\r\nZiel=/anderswo/\r\n' > "$ziel/Ordavo.ini"
cp "$ziel/ordavo_tab.mdb" "$HOME/db.vorher"; cp "$ziel/Ordavo.ini" "$HOME/ini.vorher"
printf 'alt' > "$ziel/ordavo"  # an older program

"$quelle/scripts/install" >/dev/null
cmp -s "$ziel/ordavo" "$ORDAVO_BAUORDNER/bin/ordavo" || fehler "Programm nicht erneuert"
cmp "$ziel/ordavo_tab.mdb" "$HOME/db.vorher" || fehler "Datenbank verändert"
cmp "$ziel/Ordavo.ini" "$HOME/ini.vorher" || fehler "Einstellungen verändert"
[ -e "$ziel/ordavo_neu.mdb" ] && fehler "ordavo_neu.mdb neben vorhandener Datenbank angelegt"

"$quelle/scripts/install" --entfernen >/dev/null
[ -e "$ziel/ordavo" ] || [ -e "$ziel/datensicherung" ] || [ -e "$ziel/leere_datenbank" ] && fehler "Programme nicht entfernt"
[ -e "$menue" ] && fehler "Menüeintrag nicht entfernt"
cmp "$ziel/ordavo_tab.mdb" "$HOME/db.vorher" || fehler "Datenbank beim Entfernen verändert"
cmp "$ziel/Ordavo.ini" "$HOME/ini.vorher" || fehler "Einstellungen beim Entfernen verändert"
echo "PASS"
