#!/usr/bin/env python3
"""flowball-settings end to end: the window on headless sway, run as an
ordinary user (as root the test makes one and removes it at the end), in a
D-Bus session of its own with the accessibility bus, driven by
settings_window_driver.py through its accessible names and the keyboard.

  run_settings_window_test.py FLOWBALL FLOWBALL_SETTINGS SHOTS_DIR

Screenshots of the window (grim) and the preview's last frame are kept in
SHOTS_DIR.
"""

import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SUPPORT = os.path.join(os.path.dirname(HERE), "support")
sys.path.insert(0, SUPPORT)
import wayland_testing  # noqa: E402
from wayland_testing import KeyHolder  # noqa: E402

# The four cases with their bounded waits: a minute on an idle machine, and
# several on a loaded one, where every call on the accessibility bus waits.
DRIVER_TIMEOUT = 1500


def main():
    flowball, settings, shots = sys.argv[1:4]
    os.makedirs(shots, exist_ok=True)
    context = wayland_testing.Context(shots)
    keys = None
    try:
        # The window finds the saver beside itself.
        context.install(flowball, "flowball")
        program = context.install(settings, "flowball-settings")
        driver = context.install(os.path.join(HERE, "settings_window_driver.py"), "settings_window_driver.py")
        context.install(os.path.join(SUPPORT, "flowball_testing.py"), "flowball_testing.py")
        user_shots = context.user.folder("shots")
        sway = context.sway({"HEADLESS-1": (1280, 800)})
        keys = KeyHolder(sway)
        # GTK draws with cairo: headless sway's pixman renderer takes no GL
        # buffers. sway is named so that the window shows sway's line.
        result = sway.run(["dbus-run-session", "--", "python3", driver, program, user_shots],
                          {"GSK_RENDERER": "cairo", "XDG_CURRENT_DESKTOP": "sway", "NO_AT_BRIDGE": "0"},
                          capture_output=True, text=True, timeout=DRIVER_TIMEOUT)
        print(result.stdout)
        if result.returncode != 0:
            print("the driver's errors:\n" + result.stderr[-6000:])
        for name in os.listdir(user_shots):
            shutil.copy(os.path.join(user_shots, name), os.path.join(shots, name))
        print("screenshots in %s" % shots)
        return 0 if result.returncode == 0 else 1
    except subprocess.TimeoutExpired:
        print("FAIL the driver did not end within %d s" % DRIVER_TIMEOUT)
        return 1
    finally:
        if keys:
            keys.stop()
        context.close()


if __name__ == "__main__":
    sys.exit(main())
