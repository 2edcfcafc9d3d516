#!/usr/bin/env bash
# The lyrics file types share the desktop: a text .kra is karaoke lyrics, a
# painting saved as .kra (a zip container) keeps the painting program's type,
# both when the types are installed for everyone and for the current user only.
# Usage: check-lyrics-types.sh MIME_TYPE_OF_PROGRAM SOURCE_DIR
set -euo pipefail
type_of="$1"
source_dir="$2"
system_types=/usr/share/mime/packages/freedesktop.org.xml
if ! command -v update-mime-database >/dev/null || [ ! -f "$system_types" ]; then
  echo "SKIPPED: shared-mime-info is not installed"
  exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# A painting: a zip whose first entry is the stored name "mimetype" holding its type.
{
  printf 'PK\003\004\012\000\000\000\000\000\000\000\000\000\000\000\000\000'
  printf '\023\000\000\000\023\000\000\000\010\000\000\000mimetype'
  printf 'application/x-krita'
} >painting.kra
printf '[00:01:00]\x82\xa0\x82\xa2[00:02:00]\x82\xa4\r\n@Title=\x89\xcc\r\n' >song.kra
printf '[ti:Song]\r\n[00:01.00]hello\r\n' >song.lrc
printf '[00:01.00]\xe3\x81\x82\r\n' >utf8.kra

# For everyone: the system's types and ours in one database.
mkdir -p system/mime/packages empty
cp "$system_types" "$source_dir/desktop/verselet.xml" system/mime/packages/
update-mime-database system/mime >/dev/null 2>&1
# For the current user: ours alone in the user's database, beside the system's.
mkdir -p user/mime/packages
cp "$source_dir/desktop/verselet.xml" user/mime/packages/
update-mime-database user/mime >/dev/null 2>&1

expected=$'application/x-krita\napplication/x-verselet-kra\napplication/x-verselet-lrc\napplication/x-verselet-kra'
status=0
for install in system user; do
  if [ "$install" = system ]; then
    got="$(XDG_DATA_HOME="$work/empty" XDG_DATA_DIRS="$work/system" "$type_of" painting.kra song.kra song.lrc utf8.kra)"
  else
    got="$(XDG_DATA_HOME="$work/user" XDG_DATA_DIRS=/usr/share "$type_of" painting.kra song.kra song.lrc utf8.kra)"
  fi
  if [ "$got" != "$expected" ]; then
    echo "installed for the $install: painting.kra song.kra song.lrc utf8.kra are typed" >&2
    printf '  %s\n' $got >&2
    echo "  expected" >&2
    printf '  %s\n' $expected >&2
    status=1
  fi
done
exit "$status"
