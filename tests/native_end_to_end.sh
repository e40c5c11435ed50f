#!/bin/bash
# Runs the native launcher for real under personalised names, in a scratch
# HOME, with stand-in cmdkey and mstsc on PATH, and checks what it did.
# Usage: native_end_to_end.sh LAUNCHER PERSONALIZE SERVER1
set -u
launcher=$1
personalize=$2
server1=$3
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kobax-e2e.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
failures=0

check() {  # check DESCRIPTION EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    echo "ok: $1"
  else
    echo "FAIL: $1"; echo "  expected: $(printf '%q' "$2")"; echo "  actual:   $(printf '%q' "$3")"
    failures=$((failures + 1))
  fi
}

# launch NAME [FILE]: runs a copy of FILE (the launcher by default) called
# NAME in a fresh HOME; sets status, stderr_text, record, desktop.
launch() {
  local run="$scratch/run$((++runs))"
  mkdir -p "$run/home/Desktop" "$run/Downloads \$x\$y\$"
  # An issued copy is a file to hand out, written without execute permission.
  install -m 755 "${2:-$launcher}" "$run/Downloads \$x\$y\$/$1"
  record="$run/record"
  desktop="$run/home/Desktop"
  [ -n "${prepare:-}" ] && "$prepare" "$desktop"
  HOME="$run/home" KOBAX_RECORD="$record" PATH="$here/standins:$PATH" XDG_DESKTOP_DIR= \
    "$run/Downloads \$x\$y\$/$1" 2> "$run/stderr" < /dev/null
  status=$?
  stderr_text=$(cat "$run/stderr")
}
runs=0

launch 'KOBAX_8$anna$p w$ (2).exe'
check "valid launcher exits 0" 0 "$status"
check "cmdkey then the client, with their arguments" \
  "cmdkey [/delete:termsrv/$server1]
cmdkey [/generic:termsrv/$server1] [/user:anna] [/pass:p w]
mstsc [$desktop/КОВАХ 8.rdp]" "$(cat "$record")"
check "the client found the complete file" 56 "$(grep -c $'\r$' "$record.rdp")"
check "the file stays on the Desktop" "$(cat "$record.rdp")" "$(cat "$desktop/КОВАХ 8.rdp")"
check "the file names the server" "full address:s:$server1"$'\r' "$(sed -n 21p "$desktop/КОВАХ 8.rdp")"
check "nothing else on the Desktop" "КОВАХ 8.rdp" "$(ls "$desktop")"
check "no message" "" "$stderr_text"

for name in 'KOBAX_8$anna$secret.exe' 'KOBAX_8.exe' 'kobax_8$anna$secret$.exe' '$anna$secret$.exe'; do
  launch "$name"
  check "$name: exit 0" 0 "$status"
  check "$name: only the rename message" \
    $'Удаленное подключение: Пожалуйста не переименовывайте файл!\n\rСкачайте файл заново.' "$stderr_text"
  check "$name: nothing run" "no" "$([ -e "$record" ] && echo yes || echo no)"
  check "$name: nothing written" "" "$(ls "$desktop")"
done

block_file() { mkdir "$1/КОВАХ 8.rdp"; }
prepare=block_file launch 'KOBAX_8$anna$secret$.exe'
check "unwritable file: exit 1" 1 "$status"
check "unwritable file: the fatal-error text" \
  "Application Error: Exception EInOutError in module KOBAX_8\$anna\$secret\$.exe at X.
File access denied." "$(printf '%s' "$stderr_text" | tr -d '\r' | sed -E 's/at [0-9A-F]{8}\./at X./')"
check "unwritable file: credentials stored, client never started" \
  "cmdkey [/delete:termsrv/$server1]
cmdkey [/generic:termsrv/$server1] [/user:anna] [/pass:secret]" "$(cat "$record")"
check "unwritable file: nothing left behind" "КОВАХ 8.rdp" "$(ls "$desktop")"

# A copy issued by kobax-personalize runs as the name it was issued for.
issued="$scratch/issued"
mkdir -p "$issued"
check "kobax-personalize prints the copy's path" "$issued/KOBAX_TM_Free\$Ольга\$p w 1\$.exe" \
  "$("$personalize" --launcher "$launcher" --product KOBAX_TM_Free --user 'Ольга' --password 'p w 1' --out "$issued")"
check "the copy is byte-identical" "" "$(cmp "$launcher" "$issued/KOBAX_TM_Free\$Ольга\$p w 1\$.exe" 2>&1)"
launch 'KOBAX_TM_Free$Ольга$p w 1$.exe' "$issued/KOBAX_TM_Free\$Ольга\$p w 1\$.exe"
check "the issued copy stores exactly the given credentials" \
  "[/user:Ольга] [/pass:p w 1]" "$(sed -n 2p "$record" | grep -o '\[/user:.*')"

echo "$((runs)) launches, $failures failed checks"
[ "$failures" -eq 0 ]
