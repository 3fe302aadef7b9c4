#!/usr/bin/env bash
# Shows Zapnix killing a pop-up, with no display of your own: a scratch folder with one rule, a window
# of Internet Explorer's frame class titled "Win a Prize!", Zapnix checking every second, and the kill
# log printed afterwards.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1
scripts/build.sh win || exit 1

demo=build/demo
rm -rf "$demo" && mkdir -p "$demo"
cp build/win/src/Zapnix.exe build/win/tests/e2e/PopupHost.exe "$demo/"
printf '[Windows]\r\nTotal=1\r\nTitle   1=win a prize!\r\nActive  1=Yes\r\nMatch   1=Exact\r\nCase    1=No\r\n[Settings]\r\nEnabled=1\r\nInterval=1\r\n' >"$demo/quorb.ini"

echo "== quorb.ini (the rule: close browser windows titled \"win a prize!\", any letter case)"
tr -d '\r' <"$demo/quorb.ini"

export ZAPNIX_PRIVATE_DISPLAY=1
scripts/with-wine.sh bash -c '
  cd build/demo
  wine PopupHost.exe "IEFrame|shown|Win a Prize!" "Notepad|shown|Win a Prize!" &
  sleep 2
  echo "== a browser window and a notepad window, both titled \"Win a Prize!\"; starting Zapnix"
  wine Zapnix.exe &
  for i in $(seq 1 30); do
    [ -f poplog.ini ] && break
    sleep 0.5
  done
  sleep 1.5
  echo "== poplog.ini (the kill log): only the browser window was closed"
  [ -f poplog.ini ] && tr -d "\r" <poplog.ini || echo "(no kill recorded)"
'
