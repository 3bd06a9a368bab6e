// Choosing where plots go (a window or files) and naming the files.
#include <dlfcn.h>
#include <plplot/plplot.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/file_names.h"
#include "plot/plot_device.h"

namespace ringsmooth {

namespace {

// The PLplot devices the program can drive: screen devices that hold the page until the user
// dismisses it, file devices with the extension of their files, and "null" (draws nothing).
// Left out: devices that need a memory buffer or a host window of the caller (mem, memcairo,
// extcairo, extqt, memqt), and every Qt and wxWidgets device: Qt ends the whole process when it
// finds no display, even for its file devices.
struct DeviceKind {
  const char* name;
  const char* extension;
  bool screen;
};

constexpr DeviceKind USABLE_DEVICES[] = {
    {"xwin", "", true},         {"xcairo", "", true},      {"null", "", false},
    {"pngcairo", "png", false}, {"svg", "svg", false},     {"svgcairo", "svg", false},
    {"pdfcairo", "pdf", false}, {"pdf", "pdf", false},     {"psc", "ps", false},
    {"ps", "ps", false},        {"pscairo", "ps", false},  {"epscairo", "eps", false},
    {"xfig", "fig", false},
};

// File devices tried in turn when the plots cannot go to the screen.
constexpr const char* FALLBACK_FILE_DEVICES[] = {"pngcairo", "svg", "psc"};

constexpr int MAX_PLPLOT_DEVICES = 128;

const DeviceKind* usableDevice(const char* name) {
  for (const DeviceKind& kind : USABLE_DEVICES) {
    if (std::strcmp(kind.name, name) == 0) return &kind;
  }
  return nullptr;
}

// True when the installed PLplot has a driver of this name (plgDevs reads the driver list,
// it opens no device).
bool knownToPlplot(const char* name) {
  const char* menuTexts[MAX_PLPLOT_DEVICES] = {};
  const char* deviceNames[MAX_PLPLOT_DEVICES] = {};
  const char** menuList = menuTexts;
  const char** nameList = deviceNames;
  int count = MAX_PLPLOT_DEVICES;
  plgDevs(&menuList, &nameList, &count);
  for (int i = 0; i < count; ++i) {
    if (nameList[i] != nullptr && std::strcmp(nameList[i], name) == 0) return true;
  }
  return false;
}

// True when an X server answers on $DISPLAY. libX11 is opened at run time: the program does
// not need it for anything else, and without it there is no X screen to use anyway.
bool xDisplayReachable() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || display[0] == '\0') return false;
  void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
  if (x11 == nullptr) return false;
  using OpenDisplay = void* (*)(const char*);
  using CloseDisplay = int (*)(void*);
  auto openDisplay = reinterpret_cast<OpenDisplay>(dlsym(x11, "XOpenDisplay"));
  auto closeDisplay = reinterpret_cast<CloseDisplay>(dlsym(x11, "XCloseDisplay"));
  bool reachable = false;
  if (openDisplay != nullptr && closeDisplay != nullptr) {
    void* connection = openDisplay(display);
    if (connection != nullptr) {
      reachable = true;
      closeDisplay(connection);
    }
  }
  // libX11 stays loaded: the xwin driver loads it again for the plots.
  return reachable;
}

void setDevice(PlotDevice& device, const DeviceKind& kind) {
  std::memset(&device, 0, sizeof device);
  std::strncpy(device.name, kind.name, sizeof device.name - 1);
  std::strncpy(device.extension, kind.extension, sizeof device.extension - 1);
  device.interactive = kind.screen;
}

void setFileFallback(PlotDevice& device) {
  for (const char* name : FALLBACK_FILE_DEVICES) {
    if (knownToPlplot(name)) {
      setDevice(device, *usableDevice(name));
      return;
    }
  }
  setDevice(device, *usableDevice("null"));
}

const char* fallbackDescription(const PlotDevice& device) {
  if (std::strcmp(device.extension, "png") == 0) return "PNG files";
  if (std::strcmp(device.extension, "svg") == 0) return "SVG files";
  if (std::strcmp(device.extension, "ps") == 0) return "PostScript files";
  return "nowhere (no file device is installed)";
}

// The device named in RINGSMOOTH_PLOT_DEVICE, or the fallback; returns why the named one could
// not be used, or null.
const char* pickRequestedDevice(PlotDevice& device, const char* requested) {
  const DeviceKind* kind = usableDevice(requested);
  const char* problem = nullptr;
  if (!knownToPlplot(requested)) {
    problem = "is not known to PLplot";
  } else if (kind == nullptr) {
    problem = "cannot be used by ringsmooth";
  } else if (kind->screen && !xDisplayReachable()) {
    problem = "needs an X display and none is reachable";
  }
  if (problem == nullptr) {
    setDevice(device, *kind);
  } else {
    setFileFallback(device);
  }
  return problem;
}

// The same, with a note saying why when the fallback is taken.
void chooseRequestedDevice(PlotDevice& device, const char* requested, Notes& notes) {
  const char* problem = pickRequestedDevice(device, requested);
  if (problem == nullptr) return;
  char text[256];
  std::snprintf(text, sizeof text, " Plot device \"%.60s\" %s; plots go to %s instead.\n",
                requested, problem, fallbackDescription(device));
  notes.asItStands(text);
}

}  // namespace

void choosePlotDevice(PlotDevice& device, const char* requested, Notes& notes) {
  if (requested != nullptr && requested[0] != '\0') {
    chooseRequestedDevice(device, requested, notes);
  } else if (knownToPlplot("xwin") && xDisplayReachable()) {
    setDevice(device, *usableDevice("xwin"));
  } else {
    setFileFallback(device);
  }
}

PlotDevice namedPlotDevice(const char* requested) {
  PlotDevice device{};
  pickRequestedDevice(device, requested);
  return device;
}

void plotFileName(const PlotDevice& device, const char* listingName, int seriesNumber,
                  char* fileName, int size) {
  if (fileName == nullptr || size <= 0) return;
  fileName[0] = '\0';
  if (device.extension[0] == '\0' || listingName == nullptr) return;
  // Listing names may come blank-padded from a fixed-length field.
  const std::string stem = withoutExtension(listingName);
  const int written = std::snprintf(fileName, static_cast<size_t>(size), "%s-%d.%s",
                                    stem.c_str(), seriesNumber, device.extension);
  // A cut-off name would be some other file: give none instead.
  if (written < 0 || written >= size) fileName[0] = '\0';
}

}  // namespace ringsmooth
