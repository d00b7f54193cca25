#!/usr/bin/env bash
# Writes the MimeType= line of quillet.desktop from the shared MIME database (shared-mime-info).
# Quillet takes every file and folder. File managers built on GIO (Thunar, Nautilus, Nemo,
# PCManFM) offer a program for a type only when it names that type or one of its declared
# parents; the implicit parent of every file, application/octet-stream, is not followed. So the
# entry names each type that declares no parent: every other type reaches one of them. Types
# that are not files on a disk (volumes' x-content/*, mail parts) are left out; of inode/* only
# folders are taken. The line is committed so that building needs no MIME database.
set -euo pipefail
cd "$(dirname "$0")"
mime=${MIME_DATABASE:-/usr/share/mime}
types=$(comm -23 <(sort -u "$mime/types") <(cut -d' ' -f1 "$mime/subclasses" | sort -u) |
          grep -v -E '^(inode|x-content|message|multipart|x-epoc)/' || true)
line="MimeType=$(printf '%s\n' application/octet-stream inode/directory $types | sort -u | tr '\n' ';')"
sed -i "s|^MimeType=.*|$line|" quillet.desktop
grep -q '^MimeType=' quillet.desktop || { echo "quillet.desktop has no MimeType= line" >&2; exit 1; }
desktop-file-validate quillet.desktop
