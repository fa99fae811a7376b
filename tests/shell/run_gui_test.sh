#!/bin/sh
# Runs a command on the current X display with a window manager beside it:
# under a bare X server the GL viewer is never exposed and paints nothing.
# Use inside xvfb-run, e.g.
#   xvfb-run -a -s "-screen 0 1280x1024x24" run_gui_test.sh ./tw_shell_gui_tests
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Give the window manager a moment to take the screen.
if command -v xprop >/dev/null 2>&1; then
    i=0
    while [ $i -lt 30 ] && ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do
        sleep 0.1
        i=$((i + 1))
    done
else
    sleep 1
fi
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
