#pragma once
// A second, deliberately plain computation of what the listing must hold for one series, written
// from the arithmetic of the method (1-based arrays, one step per line, no shared code with the
// program). The end-to-end tests compare the program's listing with it byte for byte.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "support/textbook_burg.h"

namespace reference {

using Floats = std::vector<float>;    // index 0 unused
using Doubles = std::vector<double>;  // index 0 unused

inline void meanAndDeviation(const Floats& x, int n, float& mean, float& sd) {
  float s = 0.0f;
  for (int i = 1; i <= n; ++i) s = s + x[i];
  mean = s / static_cast<float>(n);
  float q = 0.0f;
  for (int i = 1; i <= n; ++i) {
    const float d = x[i] - mean;
    const float dd = d * d;
    q = dd + q;
  }
  const float divisor = static_cast<float>(n) + -1.0f;
  sd = std::sqrt(q / divisor);
}

// Burg's recursion (the textbook one), 1-based.
inline Doubles burg(const Floats& x, int n, int order) {
  const textbook::BurgResult r = textbook::burg(std::vector<float>(x.begin() + 1, x.begin() + 1 + n), order);
  Doubles coeff(order + 1, 0.0);
  for (int k = 1; k <= order; ++k) coeff[k] = r.coeff[k - 1];
  return coeff;
}

// Both ends, `pad` predicted values each, reading only inside the array.
inline void extendBothEnds(Floats& s, int n, int pad, const Doubles& coeff, int order) {
  const int total = n + 2 * pad;
  for (int i = 1; i <= pad; ++i) {
    const int fwd = pad + n + i, bwd = pad - i + 1;
    double forward = 0.0, backward = 0.0;
    for (int k = 1; k <= order; ++k) {
      if (fwd - k >= 1) forward = forward + coeff[k] * static_cast<double>(s[fwd - k]);
      if (bwd + k <= total) backward = backward + coeff[k] * static_cast<double>(s[bwd + k]);
    }
    s[fwd] = static_cast<float>(forward);
    s[bwd] = static_cast<float>(backward);
  }
}

// The smoothing spline by a band Cholesky factorization, step by step.
inline Floats smooth(const Floats& series, int n, int cutoff) {
  const double pi = 3.1415926535897936;
  const double c2[4] = {0, 0.0, 0.33333333333333, 1.33333333333333};
  const double c1[4] = {0, 1.0, -4.0, 6.0};
  const int m = n - 2;
  const double w = (2.0 * pi) / static_cast<double>(cutoff);
  const double c = std::cos(w);
  const double cm1 = c - 1.0;
  const double p = (6.0 * (cm1 * cm1)) / (c + 2.0);
  std::vector<std::vector<double>> a(m + 1, std::vector<double>(4, 0.0));
  Doubles y(m + 1, 0.0);
  for (int i = 1; i <= m; ++i) {
    for (int j = 1; j <= 3; ++j) a[i][j] = p * c2[j] + c1[j];
    y[i] = (-2.0 * static_cast<double>(series[i + 1]) + static_cast<double>(series[i])) +
           static_cast<double>(series[i + 2]);
  }
  a[1][1] = a[1][2] = 0.0;
  if (m >= 2) a[2][1] = 0.0;
  for (int i = 1; i <= m; ++i) {
    const int jstart = i == 1 ? 3 : (i == 2 ? 2 : 1);
    for (int j = jstart; j <= 3; ++j) {
      const int q = i - 3 + j;
      double s = a[i][j];
      for (int k = 1; k <= j - 1; ++k) s = s - a[i][k] * a[q][3 - j + k];
      a[i][j] = j < 3 ? s * a[q][3] : 1.0 / std::sqrt(s);
    }
  }
  bool started = false;
  int kk = 0;
  for (int i = 1; i <= m; ++i) {
    double s = y[i];
    if (started) {
      kk = std::min(kk + 1, 2);
      for (int back = kk; back >= 1; --back) s = s - a[i][3 - back] * y[i - back];
    } else if (s != 0.0 || std::isnan(s)) {
      started = true;
    }
    y[i] = s * a[i][3];
  }
  y[m] = y[m] * a[m][3];
  for (int r = m - 1; r >= 1; --r) {
    double s = y[r];
    for (int j = r + 1; j <= std::min(m, r + 2); ++j) s = s - a[j][3 - (j - r)] * y[j];
    y[r] = s * a[r][3];
  }
  Floats qu(n + 1);
  qu[1] = static_cast<float>(y[1]);
  qu[2] = static_cast<float>(-2.0 * y[1] + y[2]);
  for (int k = 3; k <= m; ++k) qu[k] = static_cast<float>((-2.0 * y[k - 1] + y[k - 2]) + y[k]);
  qu[n - 1] = static_cast<float>(-2.0 * y[m] + y[m - 1]);
  qu[n] = static_cast<float>(y[m]);
  Floats out(n + 1);
  for (int k = 1; k <= n; ++k) out[k] = series[k] - qu[k];
  return out;
}

inline std::string field(double v) {
  char text[64];
  if (std::isnan(v)) return "     NaN";
  const int length = std::snprintf(text, sizeof text, "%8.3f", v);
  return length > 8 ? std::string(8, '*') : std::string(text);
}

inline std::string name20(const std::string& name) {
  std::string s = name.substr(0, 20);
  s.resize(20, ' ');
  return s;
}

// One series through the pipeline: `raw` holds its cells over its span (missing cells equal to
// `flag`, or NaN). The years cut at its ends, its level, and the listed and spline values of its
// own years at full precision.
struct Result {
  int lead = 0, trail = 0, n = 0;
  float mean = 0.0f;  // the level added back: 0 when standardized
  std::vector<float> listed, spline;  // n values each
  std::string echo;                   // the filter echo on the console
};

inline Result compute(const std::vector<double>& raw, float flag, int cutoff, bool standardize) {
  Result r;
  auto missing = [&](float v) { return v == flag || std::isnan(v); };
  int n = static_cast<int>(raw.size());
  while (r.lead < n && missing(static_cast<float>(raw[r.lead]))) ++r.lead;
  while (r.trail < n - r.lead && missing(static_cast<float>(raw[n - 1 - r.trail]))) ++r.trail;
  n -= r.lead + r.trail;
  r.n = n;
  Floats x(n + 1), valid(1);
  for (int i = 1; i <= n; ++i) x[i] = static_cast<float>(raw[r.lead + i - 1]);
  for (int i = 1; i <= n; ++i)
    if (!missing(x[i])) valid.push_back(x[i]);
  float mean, sd;
  meanAndDeviation(valid, static_cast<int>(valid.size()) - 1, mean, sd);
  for (int i = 1; i <= n; ++i) {
    if (missing(x[i])) x[i] = 0.0f;
    else x[i] = standardize ? (x[i] - mean) / sd : x[i] - mean;
  }
  if (standardize) mean = 0.0f;
  r.mean = mean;
  const Doubles coeff = burg(x, n, cutoff);
  char count[16];  // the filter length in 3 columns, or 3 asterisks
  const int width = std::snprintf(count, sizeof count, "%3d", cutoff);
  const std::string length = width > 3 ? "***" : count;
  r.echo = "\n *** Computing prediction error filter (length " + length +
           ") for extrapolation\n\n ip: " + length + "\n";
  for (int k = 1; k <= cutoff; ++k) {
    if ((k - 1) % 10 == 0) r.echo += " ";
    r.echo += field(coeff[k]);
    if (k % 10 == 0 || k == cutoff) r.echo += "\n";
  }
  const int total = n + 2 * cutoff;
  if (total > 10000) return r;  // the spline's length stop: nothing listed
  Floats ext(total + 1, 0.0f);
  for (int i = 1; i <= n; ++i) ext[cutoff + i] = x[i];
  extendBothEnds(ext, n, cutoff, coeff, cutoff);
  const Floats sm = smooth(ext, total, cutoff);
  for (int i = 1; i <= n; ++i) {
    r.listed.push_back(mean + ext[cutoff + i]);
    r.spline.push_back(mean + sm[cutoff + i]);
  }
  return r;
}

// The listing block of one series (see compute), `firstYear` the year of raw[0].
inline std::string block(const std::string& name, int firstYear, const std::vector<double>& raw,
                         float flag, int cutoff, bool standardize, std::string* echo = nullptr) {
  const Result r = compute(raw, flag, cutoff, standardize);
  if (echo) *echo = r.echo;
  std::string out = "\n Input series is: " + name20(name) + "\n year  unfilt  spline  resids\n";
  for (std::size_t i = 0; i < r.listed.size(); ++i) {
    const float resid = r.listed[i] - r.spline[i];
    char year[16];
    std::snprintf(year, sizeof year, "%5d", firstYear + r.lead + static_cast<int>(i));
    out += year + field(r.listed[i]) + field(r.spline[i]) + field(resid) + "\n";
  }
  return out;
}

}  // namespace reference
