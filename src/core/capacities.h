#pragma once
// The program's fixed capacities. Every other limit in the program is one of these, and says so
// with a static_assert where it is defined.

namespace ringsmooth {

inline constexpr int MAX_YEARS = 10000;  // positions per series, and the longest spline
inline constexpr int MAX_SERIES = 700;   // table columns while the table is read, years included
inline constexpr int MAX_SERIES_COUNT = MAX_SERIES - 1;  // series once the year column is gone
inline constexpr int NAME_LENGTH = 20;                   // a series name, blank-padded
inline constexpr int FILE_NAME_LENGTH = 40;              // a file name typed at the console

}  // namespace ringsmooth
