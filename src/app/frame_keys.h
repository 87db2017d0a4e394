// Keys every screen shares without knowing of them: F11 (and Alt+Enter) for fullscreen, F12 for a
// screenshot, which a brief "Screenshot saved" confirms.
#pragma once

#include <ctime>
#include <string>

namespace dusk {

// Handles those keys at every frame's presentation, from now on.
void InstallFrameKeys();

// The file a screenshot taken at that time goes to: "screenshots\duskmarrow-YYYY-MM-DD-HH-MM-SS.png",
// with "-2", "-3", ... before the extension while the name is taken.
std::string ScreenshotPath(const std::tm& time);

// Writes the frame drawn so far (at the window's pixel size) as a PNG to ScreenshotPath of now; the path,
// or empty when there is no frame or it can't be written.
std::string SaveScreenshot();

}  // namespace dusk
