#!/usr/bin/env bash
# Runs a command beside a CUPS scheduler of its own, which the command reaches
# through CUPS_SERVER, with two raw queues that throw what they print away:
# "menuvera-accepts" takes jobs, "menuvera-refuses" refuses them with the
# reason "Wartung bis Montag". MENUVERA_PRINT_QUEUES=1 tells the command that
# they are there. The scheduler ends with the command.
# Usage: print_queues.sh COMMAND [ARGUMENTS...]
set -euo pipefail
export PATH=$PATH:/usr/sbin:/sbin
for tool in cupsd lpadmin cupsreject lpstat; do
    command -v $tool >/dev/null || { echo "missing $tool (cups-daemon, cups-client)"; exit 1; }
done

work=$(mktemp -d)
# The scheduler's helpers run as the user lp when it runs as root.
chmod 755 "$work"
scheduler=
cleanup() {
    if [ -n "$scheduler" ]; then
        kill "$scheduler" 2>/dev/null || true
        wait "$scheduler" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/spool/tmp" "$work/cache" "$work/state" "$work/log" "$work/ppd"
cat >"$work/cupsd.conf" <<CONF
Listen $work/cups.sock
Browsing No
WebInterface No
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$work/cups-files.conf" <<CONF
ServerRoot $work
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
FileDevice Yes
CONF

cupsd -f -c "$work/cupsd.conf" -s "$work/cups-files.conf" &
scheduler=$!
export CUPS_SERVER=$work/cups.sock
# lpstat -r exits 0 also while the scheduler is not running yet: its words tell.
running() { lpstat -r 2>/dev/null | grep -qx 'scheduler is running'; }
for _ in $(seq 200); do running && break; sleep 0.05; done
running || { echo "cupsd did not start"; cat "$work/log/error_log" 2>/dev/null; exit 1; }

lpadmin -p menuvera-accepts -E -v file:///dev/null 2>/dev/null
lpadmin -p menuvera-refuses -E -v file:///dev/null 2>/dev/null
cupsreject -r "Wartung bis Montag" menuvera-refuses

export MENUVERA_PRINT_QUEUES=1
status=0
"$@" || status=$?
[ $status -ne 0 ] && [ -s "$work/log/error_log" ] && sed 's/^/cupsd: /' "$work/log/error_log" >&2
exit $status
