#!/usr/bin/env python3
"""Draws the updater's Windows icon from its SVG icon: one PNG image per size, in an .ico file.

Usage: scripts/make-icon.py [SVG] [ICO]
(defaults: tools/tamsel-install/tamsel-updater.svg and src/win32/tamsel-updater.ico).
Renders with the system's librsvg and cairo (Debian librsvg2-2), so nothing is installed for it.
"""
import ctypes
import os
import struct
import sys
import tempfile

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)


def render(svg_path, size, png_path):
    rsvg = ctypes.CDLL("librsvg-2.so.2")
    cairo = ctypes.CDLL("libcairo.so.2")
    rsvg.rsvg_handle_new_from_file.restype = ctypes.c_void_p
    cairo.cairo_image_surface_create.restype = ctypes.c_void_p
    cairo.cairo_create.restype = ctypes.c_void_p
    error = ctypes.c_void_p()
    handle = rsvg.rsvg_handle_new_from_file(svg_path.encode(), ctypes.byref(error))
    if not handle:
        sys.exit(f"cannot read {svg_path}")
    surface = cairo.cairo_image_surface_create(0, size, size)  # ARGB32
    context = cairo.cairo_create(ctypes.c_void_p(surface))

    class Viewport(ctypes.Structure):
        _fields_ = [("x", ctypes.c_double), ("y", ctypes.c_double),
                    ("width", ctypes.c_double), ("height", ctypes.c_double)]

    viewport = Viewport(0, 0, size, size)
    if not rsvg.rsvg_handle_render_document(ctypes.c_void_p(handle), ctypes.c_void_p(context),
                                            ctypes.byref(viewport), ctypes.byref(error)):
        sys.exit(f"cannot draw {svg_path}")
    cairo.cairo_surface_write_to_png(ctypes.c_void_p(surface), png_path.encode())
    cairo.cairo_destroy(ctypes.c_void_p(context))
    cairo.cairo_surface_destroy(ctypes.c_void_p(surface))


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    svg = sys.argv[1] if len(sys.argv) > 1 else os.path.join(top, "tools/tamsel-install/tamsel-updater.svg")
    ico = sys.argv[2] if len(sys.argv) > 2 else os.path.join(top, "src/win32/tamsel-updater.ico")
    images = []
    with tempfile.TemporaryDirectory() as folder:
        for size in SIZES:
            png = os.path.join(folder, f"{size}.png")
            render(svg, size, png)
            with open(png, "rb") as file:
                images.append((size, file.read()))
    # ICONDIR, then one ICONDIRENTRY per image (a size of 256 is written as 0), then the PNGs.
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        edge = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(ico, "wb") as file:
        file.write(out)
    print(f"wrote {ico}: {', '.join(str(s) for s in SIZES)} pixels")


if __name__ == "__main__":
    main()
