#!/usr/bin/env bash
# Runs a command on the X display of the caller (xvfb-run) with the openbox
# window manager framing its windows. A manager that does not come up leaves
# the windows unframed, which the window tests report.
set -u
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$@"
status=$?
kill "$manager" 2>/dev/null
wait "$manager" 2>/dev/null
exit "$status"
