#!/usr/bin/env bash
# A print system of the tests' own: a CUPS daemon with a private configuration, listening on a
# socket of its own, with PDF printers (cups-pdf), so that printing is tried through real
# queues without touching the machine's print system.
#
#   PrintQueue.sh start DIR   starts it. DIR/env then holds CUPS_SERVER and QUORVALE_PDF_DIR
#                             (where cups-pdf writes the jobs of this user); when it cannot
#                             start, DIR/skip says why and the printing tests skip.
#   PrintQueue.sh stop DIR    stops it and removes its files.
#
# Queues: QuorvalePDF (the default) and QuorvaleRefuses, which rejects every job. Both name the
# PDF file after the job's name.
set -u
what=${1:-}
dir=${2:-}
if [ -z "$what" ] || [ -z "$dir" ]; then
  echo "usage: PrintQueue.sh start|stop DIR" >&2
  exit 2
fi

stop() {
  if [ -f "$dir/pid" ]; then
    pid=$(cat "$dir/pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
    kill -9 "$pid" 2>/dev/null
  fi
  if [ -f "$dir/root" ]; then
    rm -rf "$(cat "$dir/root")"
  fi
  rm -f "$dir/pid" "$dir/root" "$dir/env"
}

skip() {
  echo "$1" > "$dir/skip"
  echo "the printing tests will skip: $1"
  exit 0
}

case $what in
  stop)
    stop
    exit 0
    ;;
  start) ;;
  *)
    echo "usage: PrintQueue.sh start|stop DIR" >&2
    exit 2
    ;;
esac

mkdir -p "$dir"
stop
rm -f "$dir/skip"

cupsd=/usr/sbin/cupsd
backend=/usr/lib/cups/backend/cups-pdf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -x "$cupsd" ] || skip "no print daemon (the cups package) is installed"
[ -e "$backend" ] && [ -f "$ppd" ] || skip "no PDF printer (printer-driver-cups-pdf) is installed"
for tool in lpadmin lpstat cupsreject cupsaccept; do
  command -v "$tool" >/dev/null || skip "$tool (the CUPS client tools) is missing"
done
# cups-pdf writes a user's files as that user, which it can do only when run as root, and
# the daemon runs it as its own user.
[ "$(id -u)" -eq 0 ] || skip "cups-pdf writes PDF files only under a print daemon run as root"

# A short path: the daemon's socket lives in it.
root=$(mktemp -d /tmp/quorvale-cups.XXXXXX) || skip "no temporary folder for the print daemon"
echo "$root" > "$dir/root"
# The filters run as the daemon's unprivileged user: they read the spool and write temporary
# files here.
chmod 755 "$root"
mkdir -p "$root/spool" "$root/cache" "$root/state" "$root/log" "$root/tmp"
chmod 1777 "$root/tmp"
socket=$root/cups.sock

cat > "$root/cups-files.conf" <<EOF
ServerRoot $root
RequestRoot $root/spool
TempDir $root/tmp
CacheDir $root/cache
StateDir $root/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Sandboxing Relaxed
SystemGroup root
EOF
cat > "$root/cupsd.conf" <<EOF
Listen $socket
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
# A job that fails is dropped, and the queue goes on with the next one.
ErrorPolicy abort-job
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF

"$cupsd" -f -c "$root/cupsd.conf" -s "$root/cups-files.conf" \
  </dev/null >"$root/log/cupsd.out" 2>&1 &
echo $! > "$dir/pid"
export CUPS_SERVER=$socket
for _ in $(seq 100); do
  LC_ALL=C lpstat -r 2>/dev/null | grep -q "scheduler is running" && break
  sleep 0.2
done
if ! LC_ALL=C lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
  reason="the print daemon did not start: $(tail -3 "$root/log/error_log" "$root/log/cupsd.out" 2>/dev/null | tr '\n' ' ')"
  stop
  skip "$reason"
fi

# TitlePref=1: cups-pdf names the file after the job's name rather than the PostScript title.
for queue in QuorvalePDF QuorvaleRefuses; do
  if ! lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o TitlePref=1 2>"$root/log/lpadmin"; then
    reason="the PDF printer could not be set up: $(cat "$root/log/lpadmin")"
    stop
    skip "$reason"
  fi
done
lpadmin -d QuorvalePDF
cupsreject QuorvaleRefuses

# Where cups-pdf puts this user's files: its Out setting, ${HOME}/PDF unless the machine says.
user=$(id -un)
home=$(getent passwd "$user" | cut -d: -f6)
out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -1)
out=${out:-'${HOME}/PDF'}
out=${out//'${HOME}'/$home}
out=${out//'${USER}'/$user}
{
  echo "CUPS_SERVER=$socket"
  echo "QUORVALE_PDF_DIR=$out"
} > "$dir/env"
echo "print daemon running at $socket; PDF files go to $out"
