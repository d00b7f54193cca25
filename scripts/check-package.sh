#!/usr/bin/env bash
# Builds the Debian package, installs it (into the system when run as root, otherwise unpacked
# into a scratch folder), checks its files, and starts the installed Quillet offscreen: the
# main window opens, a polite SIGTERM closes it, and the close saves the remembered values
# into the data folder the installed program uses.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --build --preset default --target package >/dev/null
deb=$(ls -t build/default/quillet_*.deb | head -n 1)
scratch=$(mktemp -d)
installed_by_dpkg=no
cleanup() {
  [ "$installed_by_dpkg" = yes ] && dpkg -r quillet >/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W -f='${Status}' quillet 2>/dev/null | grep -q 'install ok'; then
  dpkg -i "$deb" >/dev/null
  installed_by_dpkg=yes
  root=/
else
  dpkg -x "$deb" "$scratch/root"
  root="$scratch/root"
fi

for file in usr/bin/quillet usr/share/applications/quillet.desktop \
            usr/share/icons/hicolor/scalable/apps/quillet.svg \
            usr/share/icons/hicolor/48x48/apps/quillet.png \
            usr/share/icons/hicolor/256x256/apps/quillet.png; do
  [ -e "$root/$file" ] || { echo "package check: $file is missing"; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/quillet.desktop"

# File managers offer Quillet for any file and folder. GIO reads the desktop database
# (mimeinfo.cache), which the package's triggers refresh when dpkg installs the entry; an
# unpacked copy gets a database of its own.
if [ "$installed_by_dpkg" = yes ]; then
  data_dirs=/usr/share
else
  update-desktop-database "$root/usr/share/applications"
  data_dirs="$root/usr/share:/usr/share"
fi
offered_for() {
  env -u XDG_CURRENT_DESKTOP PATH="$root/usr/bin:$PATH" XDG_DATA_DIRS="$data_dirs" \
      XDG_DATA_HOME="$scratch/nowhere" XDG_CONFIG_HOME="$scratch/nowhere" gio mime "$1" 2>/dev/null |
    sed -n '/^Registered applications:/,/^[^\t]/p' | grep -qx $'\tquillet.desktop'
}
# The four types any user meets, and a few more across the families of the MIME database.
for type in application/octet-stream text/plain video/x-matroska inode/directory \
            application/pdf application/zip image/png audio/mpeg video/mp4 text/x-csrc; do
  offered_for "$type" || { echo "package check: GIO does not offer Quillet for $type"; exit 1; }
done

home="$scratch/home"
mkdir -p "$home" "$scratch/run"
chmod 700 "$scratch/run"
# A runtime folder of its own: a Quillet open elsewhere must not take this start's request.
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$scratch/run" \
  QT_QPA_PLATFORM=offscreen "$root/usr/bin/quillet" &
pid=$!
sleep 3
kill -0 "$pid" || { echo "package check: Quillet ended by itself"; exit 1; }
kill -TERM "$pid"
wait "$pid" || { echo "package check: Quillet did not close cleanly"; exit 1; }

if [ "$installed_by_dpkg" = yes ]; then
  expected="$home/.config/Quillet/AutoComplete.txt"   # installed under /usr: per-user folder
else
  expected="$root/usr/bin/AutoComplete.txt"           # unpacked where it can write: portable
fi
[ -f "$expected" ] || { echo "package check: no $expected"; exit 1; }
if [ "$installed_by_dpkg" = yes ]; then
  # Removal refreshes the database too: no file manager offers a program that is gone.
  dpkg -r quillet >/dev/null
  installed_by_dpkg=no
  ! grep -q quillet.desktop /usr/share/applications/mimeinfo.cache ||
    { echo "package check: the desktop database still offers Quillet after removal"; exit 1; }
fi
echo "package check: $(basename "$deb") installed, offered for files and folders, started," \
  "closed and saved to $expected"
