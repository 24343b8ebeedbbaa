#!/bin/sh
# Runs ./test while two busy processes compete for the processor (one per
# core on the usual 2-core machine), to show that the suite waits for events
# rather than for the clock. Arguments are passed to ./test's environment
# unchanged; prints the time the run took.
#   tools/test-under-load.sh            the whole run, as CI does it
#   SKYLOOM_TEST_FAST=1 tools/test-under-load.sh   normal build only
set -u
cd "$(dirname "$0")/.."
busy=
stop_busy() {
    for p in $busy; do kill "$p" 2>/dev/null; done
}
trap stop_busy EXIT INT TERM
for _ in 1 2; do
    # A shell loop that never sleeps: a full core's worth of demand each.
    sh -c 'while :; do :; done' &
    busy="$busy $!"
done
echo "under load: busy processes$busy"
start=$(date +%s)
./test
status=$?
end=$(date +%s)
echo "./test under load: exit status $status after $((end - start)) s"
exit $status
