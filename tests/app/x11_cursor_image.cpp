// Reads the cursor picture the X server shows at the pointer now, as a
// person sees it, for the desktop scenario (launcher_desktop.sh):
//   x11_cursor_image [OUT.pam]
// prints one line
//   WIDTH HEIGHT TRANSPARENT OPAQUE_BLACK OPAQUE_WHITE CORNER_ALPHA HASH
// the counts of fully transparent, opaque black and opaque white pixels, the
// highest alpha of the four corner pixels, and a hash of the picture and its
// hot spot that tells one cursor from another. With OUT.pam it also writes
// the picture there (RGBA, which ImageMagick reads), to look at when a check
// fails. Status 0 done, 1 no display or no XFixes, 2 a usage error.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: x11_cursor_image [OUT.pam]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "x11_cursor_image: cannot open the display\n");
    return 1;
  }
  int eventBase = 0, errorBase = 0, major = 2, minor = 0;
  // The server answers cursor requests only after the version is agreed.
  if (!XFixesQueryExtension(display, &eventBase, &errorBase) ||
      !XFixesQueryVersion(display, &major, &minor) || major < 1) {
    std::fprintf(stderr, "x11_cursor_image: the display has no XFixes cursor images\n");
    XCloseDisplay(display);
    return 1;
  }
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (!image) {
    std::fprintf(stderr, "x11_cursor_image: the server gave no cursor image\n");
    XCloseDisplay(display);
    return 1;
  }

  const int width = image->width, height = image->height;
  long transparent = 0, black = 0, white = 0;
  unsigned cornerAlpha = 0;
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  auto mix = [&hash](uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      hash ^= (value >> shift) & 0xFF;
      hash *= 1099511628211ull;
    }
  };
  mix(static_cast<uint32_t>(width));
  mix(static_cast<uint32_t>(height));
  mix(image->xhot);
  mix(image->yhot);
  // Premultiplied ARGB, one pixel in each unsigned long.
  std::vector<uint8_t> rgba;
  rgba.reserve(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t argb = static_cast<uint32_t>(image->pixels[y * width + x] & 0xFFFFFFFFu);
      const unsigned alpha = argb >> 24;
      mix(argb);
      if (alpha == 0) ++transparent;
      if (argb == 0xFF000000u) ++black;
      if (argb == 0xFFFFFFFFu) ++white;
      if ((x == 0 || x == width - 1) && (y == 0 || y == height - 1) && alpha > cornerAlpha)
        cornerAlpha = alpha;
      for (int shift : {16, 8, 0}) {
        const unsigned channel = (argb >> shift) & 0xFF;
        rgba.push_back(static_cast<uint8_t>(alpha ? channel * 255 / alpha : 0));
      }
      rgba.push_back(static_cast<uint8_t>(alpha));
    }
  XFree(image);
  XCloseDisplay(display);

  std::printf("%d %d %ld %ld %ld %u %016llx\n", width, height, transparent, black, white,
              cornerAlpha, static_cast<unsigned long long>(hash));
  if (argc == 2) {
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
      std::perror(argv[1]);
      return 1;
    }
    std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 width, height);
    const bool written = std::fwrite(rgba.data(), 1, rgba.size(), out) == rgba.size();
    if (std::fclose(out) != 0 || !written) {
      std::perror(argv[1]);
      return 1;
    }
  }
  return 0;
}
