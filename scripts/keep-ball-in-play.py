#!/usr/bin/env python3
"""Plays Zebrolite as a mouse player would, for measuring: holds the left button, keeps the
paddle under the lowest ball it sees in the window (read with xwd) and presses Space once a
second to launch a resting ball. Needs xdotool and xwd; assumes the picture fills the window.

    keep-ball-in-play.py SECONDS
"""
import struct
import subprocess
import sys
import time


def window_id():
    return subprocess.check_output(["xdotool", "search", "--name", "^Zebrolite$"]).split()[0].decode()


def grab(window):
    raw = subprocess.check_output(["xwd", "-id", window, "-silent"])
    header_size, = struct.unpack(">I", raw[0:4])
    width, height = struct.unpack(">II", raw[16:24])
    bytes_per_line, = struct.unpack(">I", raw[48:52])
    colours, = struct.unpack(">I", raw[76:80])
    return raw, header_size + colours * 12, width, height, bytes_per_line


def lowest_ball_x(raw, offset, width, height, bytes_per_line):
    """Picture x of the lowest near-white blob between the bricks and the paddle, or None."""
    scale = max(1, min(width // 240, height // 320))
    left = (width - 240 * scale) // 2
    top = (height - 320 * scale) // 2
    hits = []
    for y in range(175, 285, 2):
        row = offset + (top + y * scale + scale // 2) * bytes_per_line
        for x in range(240):
            i = row + (left + x * scale + scale // 2) * 4
            blue, green, red = raw[i], raw[i + 1], raw[i + 2]
            if red > 200 and green > 200 and blue > 225:
                hits.append((y, x))
    if not hits:
        return None, scale, left, top
    lowest = max(y for y, _ in hits)
    xs = [x for y, x in hits if y >= lowest - 12]
    return sum(xs) // len(xs), scale, left, top


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 20
    window = window_id()
    end = time.time() + seconds
    _, scale, left, top = lowest_ball_x(*grab(window))
    paddle_y = str(top + 300 * scale)
    subprocess.run(["xdotool", "mousemove", "--window", window, str(left + 120 * scale), paddle_y, "mousedown", "1"])
    last_launch = 0.0
    looks = seen = 0
    while time.time() < end:
        looks += 1
        x, scale, left, top = lowest_ball_x(*grab(window))
        if x is not None:
            seen += 1
            subprocess.run(["xdotool", "mousemove", "--window", window, str(left + x * scale), paddle_y])
        if time.time() - last_launch > 1.0:
            subprocess.run(["xdotool", "key", "space"])
            last_launch = time.time()
        time.sleep(0.01)
    subprocess.run(["xdotool", "mouseup", "1"])
    print(f"keep-ball-in-play: {looks} looks, the ball seen in {seen}", file=sys.stderr)


if __name__ == "__main__":
    main()
