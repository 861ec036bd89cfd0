#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tamsel::testing {

// The client area of a window as the screen shows it, 0x00RRGGBB per pixel, rows top down.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

Picture TakePicture(HWND window);

// Writes the picture as a PNG file (stored, not compressed); false when the file cannot be made.
bool WritePng(const Picture& picture, const std::string& path);

}  // namespace tamsel::testing
