#!/bin/sh
# A real print queue for the real-print test. Run as root:
#   scripts/print-queue.sh setup      installs CUPS and the cups-pdf driver,
#                                     starts the print server when none
#                                     answers, adds the queue and makes it the
#                                     default printer
#   scripts/print-queue.sh completed  the number of jobs the queue completed,
#                                     once the jobs in it are done
# The queue writes each job as a PDF file into its output folder. The
# commands talk to the print server CUPS_SERVER names, else the system's.
set -e
QUEUE=${ARVALEN_PRINT_QUEUE:-ArvalenPDF}
OUTPUT=${ARVALEN_PRINT_OUTPUT:-/var/spool/cups-pdf-arvalen}

server_up() {
  LC_ALL=C lpstat -r 2>/dev/null | grep -qx "scheduler is running"
}

case "$1" in
setup)
  missing=""
  for p in cups cups-client printer-driver-cups-pdf; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing="$missing $p"
    fi
  done
  if [ -n "$missing" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
  fi
  if ! server_up; then
    cupsd
    tries=0
    until server_up; do
      tries=$((tries + 1))
      [ "$tries" -le 50 ] || { echo "the print server did not start"; exit 1; }
      sleep 0.2
    done
  fi
  # The queue's own cups-pdf settings (cups-pdf:/arvalen reads
  # cups-pdf-arvalen.conf): every file named after its job's title and
  # number, all in one folder whoever printed.
  mkdir -p "$OUTPUT"
  cat >/etc/cups/cups-pdf-arvalen.conf <<EOF
Out $OUTPUT
AnonDirName $OUTPUT
Label 2
EOF
  # (lpadmin warns that printer drivers are deprecated; only a failure is told.)
  if ! said=$(lpadmin -p "$QUEUE" -E -v cups-pdf:/arvalen \
    -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>&1); then
    echo "$said"
    exit 1
  fi
  lpadmin -d "$QUEUE"
  ;;
completed)
  # Jobs still in the queue are waited for (a minute at most) first.
  tries=0
  while [ -n "$(lpstat -o "$QUEUE" 2>/dev/null)" ] && [ "$tries" -lt 300 ]; do
    tries=$((tries + 1))
    sleep 0.2
  done
  lpstat -W completed -o "$QUEUE" | wc -l
  ;;
*)
  echo "usage: $0 setup|completed" >&2
  exit 2
  ;;
esac
