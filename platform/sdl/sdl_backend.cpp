#include "platform/sdl/sdl_backend.hpp"

#include <SDL.h>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/audio.hpp"
#include "platform/display_device.hpp"
#include "platform/interruption.hpp"
#include "platform/message_box.hpp"
#include "platform/resources.hpp"
#include "platform/sdl/deferred_text_rasteriser.hpp"
#include "platform/sdl/sdl_audio.hpp"
#include "platform/sdl/sdl_display.hpp"
#include "platform/sdl/sdl_host.hpp"
#include "platform/sdl/ttf_rasteriser.hpp"
#include "platform/sdl/window_layout.hpp"

namespace platform {
namespace {

constexpr int kIconResource = 131;
constexpr int kIconSize = 64;
constexpr int kDefaultRefreshRate = 60;
constexpr int kLargeBlock = 128 * 1024;  // bytes

void setIcon(SDL_Window* window) {
  const IconResource* icon = findIconResource(kIconResource, kIconSize);
  if (icon == nullptr || icon->rgba == nullptr) return;
  // SDL only reads the pixels; the surface borrows the embedded bytes.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(icon->rgba), icon->size,
                                                            icon->size, 32, icon->size * 4, SDL_PIXELFORMAT_RGBA32);
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

int refreshRate(SDL_Window* window) {
  SDL_DisplayMode mode{};
  const int index = SDL_GetWindowDisplayIndex(window);
  if (index < 0 || SDL_GetCurrentDisplayMode(index, &mode) != 0 || mode.refresh_rate <= 0) return kDefaultRefreshRate;
  return mode.refresh_rate;
}

class Backend : public SdlBackend {
 public:
  Backend(SDL_Window* window, const WindowSettings& settings, std::unique_ptr<SdlAudio> audio)
      : window_(window),
        display_(window, refreshRate(window)),
        audio_(std::move(audio)),
        text_(std::make_unique<DeferredTextRasteriser>(&createTtfRasteriser)),
        host_(window, display_, settings.instance, audio_ == nullptr),
        started_(std::chrono::steady_clock::now()) {
    setDisplayDevice(&display_);
    if (audio_) setAudioBackend(audio_.get());
    setTextRasteriser(text_.get());
    setMessageBoxHandler([window](std::string_view text, std::string_view caption) {
      const std::string textCopy(text);
      const std::string captionCopy(caption);
      if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, captionCopy.c_str(), textCopy.c_str(), window) != 0) {
        std::fprintf(stderr, "messagebox: %s | %s\n", textCopy.c_str(), captionCopy.c_str());
        std::fflush(stderr);
      }
    });
  }

  ~Backend() override {
    releaseInterruptions();
    reportStatistics();
    setMessageBoxHandler({});
    setTextRasteriser(nullptr);
    setAudioBackend(nullptr);
    setDisplayDevice(nullptr);
    text_.reset();
    audio_.reset();
    SDL_DestroyWindow(window_);
    SDL_Quit();
  }

  Host& host() override { return host_; }

 private:
  // ZEBROLITE_DISPLAY_STATS=1 prints how often the window was updated: the figure that sets
  // the game's CPU bill on a desktop.
  void reportStatistics() const {
    const char* wanted = std::getenv("ZEBROLITE_DISPLAY_STATS");
    if (wanted == nullptr || wanted[0] == '\0' || wanted[0] == '0') return;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const auto updates = static_cast<unsigned long long>(display_.windowUpdates());
    std::fprintf(stderr, "display: %llu window updates in %.1f s (%.1f a second)\n", updates, seconds,
                 seconds > 0 ? static_cast<double>(updates) / seconds : 0.0);
  }

  SDL_Window* window_;
  SdlDisplay display_;
  std::unique_ptr<SdlAudio> audio_;
  std::unique_ptr<DeferredTextRasteriser> text_;
  SdlHost host_;
  std::chrono::steady_clock::time_point started_;
};

// False when SDL, finding no display, fell back to a driver that shows nothing: a game
// running in an invisible window would only look hung. Chosen on purpose (SDL_VIDEODRIVER),
// such a driver is welcome.
bool realDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  const std::string name(driver);
  if (name != "offscreen" && name != "dummy" && name != "evdev") return true;
  const char* wanted = std::getenv("SDL_VIDEODRIVER");
  return wanted != nullptr && std::string(wanted).find(name) != std::string::npos;
}

// Opens the video subsystem and the window. With `ownSurface` the window surface is plain
// memory of ours; without, SDL backs it with a texture (slower, but it works everywhere).
// `scale` gets the window's scale.
SDL_Window* openWindow(const WindowSettings& settings, bool ownSurface, int& scale, std::string& error) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, ownSurface ? "0" : "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("cannot open a window: ") + SDL_GetError();
    return nullptr;
  }
  if (!realDisplay()) {
    error = "cannot open a window: no display to show it on (is DISPLAY or WAYLAND_DISPLAY set?)";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  SDL_Rect usable{0, 0, 0, 0};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, 0, 0};
  // In full screen too: the window gets this size back when the player leaves full screen.
  scale = chooseWindowScale(settings.scale, usable.w, usable.h);
  Uint32 flags = SDL_WINDOW_RESIZABLE;
  if (settings.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_Window* window = SDL_CreateWindow("Zebrolite", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        kScreenWidth * scale, kScreenHeight * scale, flags);
  if (window != nullptr && SDL_GetWindowSurface(window) != nullptr) return window;
  error = std::string("cannot open a window: ") + SDL_GetError();
  if (window != nullptr) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return nullptr;
}

}  // namespace

std::unique_ptr<SdlBackend> SdlBackend::create(const WindowSettings& settings, std::string& error) {
  // SIGINT and SIGTERM are ours from the start: they end the loop through the same orderly
  // shutdown, even when they come while the game is still loading.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  catchInterruptions();
  // The game reads keys as keys and never takes composed text (the name entry too types by
  // key), but SDL opens an X input method all the same, which parses the locale's whole
  // compose table: some 600 kB of memory for nothing. An empty table keeps it idle.
  ::setenv("XCOMPOSEFILE", "/dev/null", 1);
  // Blocks of 128 kB and more (pictures, canvases, sound files) go straight to the system and
  // back when freed, instead of leaving holes in the heap that stay resident.
  mallopt(M_MMAP_THRESHOLD, kLargeBlock);
  // The window surface should be ours, not a texture of SDL's OpenGL renderer: that costs a
  // millisecond a frame and some ninety megabytes for a 240 x 320 picture. A video driver
  // that has no such surface (some Wayland set-ups) gets the texture after all.
  int scale = 0;
  SDL_Window* window = openWindow(settings, true, scale, error);
  if (window == nullptr) window = openWindow(settings, false, scale, error);
  if (window == nullptr) {
    releaseInterruptions();
    SDL_Quit();
    return nullptr;
  }
  if (settings.scale > 0 && scale != settings.scale) {
    std::fprintf(stderr, "zebrolite: --scale %d does not fit this desktop; using %d\n", settings.scale, scale);
  }
  SDL_SetWindowMinimumSize(window, kScreenWidth, kScreenHeight);
  setIcon(window);
  // Keys are read as keys; no text input method in between.
  SDL_StopTextInput();
  // Without a sound device the game plays silently; one line says why.
  std::string whyNoSound;
  auto audio = SdlAudio::open(&whyNoSound);
  if (audio == nullptr) std::fprintf(stderr, "zebrolite: no sound: %s\n", whyNoSound.c_str());
  return std::make_unique<Backend>(window, settings, std::move(audio));
}

std::unique_ptr<TextRasteriser> createTtfRasteriser() { return TtfRasteriser::open(findTextFont()); }

void showErrorBox(std::string_view text, std::string_view caption) {
  const std::string textCopy(text);
  const std::string captionCopy(caption);
  // Needs no SDL_Init: SDL opens what the box needs and closes it again.
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, captionCopy.c_str(), textCopy.c_str(), nullptr) != 0) {
    std::fprintf(stderr, "messagebox: %s | %s\n", textCopy.c_str(), captionCopy.c_str());
    std::fflush(stderr);
  }
}

}  // namespace platform
