#!/bin/sh
# Runs the command on the current X display with openbox managing its windows, as on a desktop.
openbox >/dev/null 2>&1 &
manager=$!
# The manager announces itself on the root window once it manages the display.
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
  sleep 0.2
done
"$@"
status=$?
kill "$manager" 2>/dev/null
exit $status
