#pragma once
// Where the plots go: a PLplot screen or file device, chosen once per run, and the file names.
#include "core/notes.h"

namespace ringsmooth {

struct PlotDevice {
  char name[64];        // a PLplot device name: "xwin", "pngcairo", "svg", ...
  char extension[8];    // file extension for a file device ("png", "svg", ...); "" for a screen
  bool interactive;     // a screen device that waits for the user before plend returns
};

// Picks the device: `requested` (the user's choice; null or empty for none) if known to PLplot
// and usable here (a screen device also needs a reachable X display); none requested, "xwin"
// when an X display is reachable, otherwise "pngcairo". A name that cannot be used gets a
// one-line note, as it stands, and plots go to PNG files ("pngcairo"; "svg" or "psc" if the cairo
// driver is missing). Never lets PLplot ask on standard input.
void choosePlotDevice(PlotDevice& device, const char* requested, Notes& notes);

// The device that plots asked for on `requested` go to, as choosePlotDevice picks it, without
// its note.
PlotDevice namedPlotDevice(const char* requested);

// The file a plot of series `seriesNumber` (from 1) goes to on a file device: the listing name
// without its extension, "-", the number, ".", the device's extension. Empty for a screen.
// Writes at most `size` bytes including the terminating zero.
void plotFileName(const PlotDevice& device, const char* listingName, int seriesNumber,
                  char* fileName, int size);

}  // namespace ringsmooth
