// The fullscreen and screenshot keys, handled once for every screen just before its frame is shown.
#include "app/frame_keys.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "display/display_state.h"
#include "display/draw.h"
#include "display/fullscreen.h"
#include "display/text.h"
#include "display/tilemap.h"
#include "files/png_image.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/window.h"

namespace dusk {

namespace {

constexpr const char* kScreenshotFolder = "screenshots";
constexpr const char* kSavedText = "Screenshot saved";
constexpr const char* kFailedText = "Screenshot failed";
constexpr int kNoticeMs = 1500;
constexpr int kNoticeForeground = 3;
constexpr int kNoticeBackground = 48;
constexpr int kPngCompression = 6;

struct notice_state {
  std::string text;
  int shown_at = 0;
};

notice_state& Notice() {
  static notice_state notice;
  return notice;
}

// The notice on a strip of its own across the top row, centred, so it covers nothing a screen keeps.
void DrawNotice() {
  notice_state& notice = Notice();
  if (notice.text.empty()) return;
  if (ClockMs() - notice.shown_at >= kNoticeMs) {
    notice.text.clear();
    return;
  }
  const int width = display.displaywidth > 0 ? display.displaywidth : 20;
  tilemap strip = tilemap::Create(width, 1);
  strip.Fill(' ', kNoticeForeground, kNoticeBackground, 1);
  const int length = static_cast<int>(notice.text.size());
  InsertString(strip, std::max(0, (width - length) / 2), 0, notice.text, kNoticeForeground, kNoticeBackground);
  Draw(strip, 0, 0);
}

void BeforePresent() {
  if (KeyHits(key::kF12)) {
    // Taken before the notice is drawn, so the picture shows the screen alone.
    Notice().text = SaveScreenshot().empty() ? kFailedText : kSavedText;
    Notice().shown_at = ClockMs();
  }
  DrawNotice();
  if (KeyHits(key::kF11)) ToggleFullscreen();
}

}  // namespace

void InstallFrameKeys() { SetBeforePresentHook(BeforePresent); }

std::string ScreenshotPath(const std::tm& time) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "duskmarrow-%04d-%02d-%02d-%02d-%02d-%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  const std::string base = std::string(kScreenshotFolder) + "\\" + stamp;
  std::string path = base + ".png";
  for (int n = 2; PathKind(path) != 0 && n < 1000; ++n) path = base + "-" + std::to_string(n) + ".png";
  return path;
}

std::string SaveScreenshot() {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels = ReadFramePixels(width, height);
  if (pixels.empty()) return {};
  picture image;
  image.width = width;
  image.height = height;
  image.pixels = std::move(pixels);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  if (PathKind(kScreenshotFolder) != 2) MakeFolder(kScreenshotFolder);
  const std::string path = ScreenshotPath(local);
  return SavePngFile(image, png_channels::rgb, kPngCompression, path) ? path : std::string{};
}

}  // namespace dusk
