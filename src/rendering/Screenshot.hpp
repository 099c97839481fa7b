#pragma once

#include <string>

namespace vorn::rendering {

// Saves what has been drawn into the current framebuffer (the back buffer of the window, before
// it is displayed) as a PNG file of the given size; false when reading or writing failed.
bool saveScreenshot(const std::string& path, unsigned width, unsigned height);

} // namespace vorn::rendering
