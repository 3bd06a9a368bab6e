#pragma once
// Burg's recursion as a textbook writes it, with fresh vectors at every order: forward errors f,
// backward errors b, coefficient vector a. Sums run in ascending index and with the same
// grouping as the program, so the program's filters must agree with it bit for bit (any
// reassociation would show). A zero denominator gives a reflection coefficient of 0.
#include <vector>

namespace textbook {

struct BurgResult {
  std::vector<double> coeff;  // coeff[0] multiplies the nearest value
  double meanSquare = 0.0;
};

inline BurgResult burg(const std::vector<float>& series, int order) {
  const std::size_t n = series.size();
  BurgResult r;
  double sumSquares = 0.0;
  for (float v : series) sumSquares += static_cast<double>(v) * static_cast<double>(v);
  r.meanSquare = n > 0 ? sumSquares / static_cast<double>(n) : 0.0;
  std::vector<double> f;
  std::vector<double> b;
  for (std::size_t j = 0; j + 1 < n; ++j) {
    f.push_back(series[j]);
    b.push_back(series[j + 1]);
  }
  std::vector<double> a;
  for (int k = 1; k <= order; ++k) {
    double num = 0.0;
    double den = 0.0;
    for (std::size_t j = 0; j < f.size(); ++j) {
      num += f[j] * b[j];
      den = (den + f[j] * f[j]) + b[j] * b[j];
    }
    const double reflection = den == 0.0 ? 0.0 : 2.0 * num / den;
    r.meanSquare *= 1.0 - reflection * reflection;
    std::vector<double> next;
    for (std::size_t i = 0; i < a.size(); ++i)
      next.push_back(a[i] - reflection * a[a.size() - 1 - i]);
    next.push_back(reflection);
    a = next;
    if (f.empty()) continue;
    std::vector<double> nf;
    std::vector<double> nb;
    for (std::size_t j = 0; j + 1 < f.size(); ++j) {
      nf.push_back(f[j] - reflection * b[j]);
      nb.push_back(b[j + 1] - reflection * f[j + 1]);
    }
    f = nf;
    b = nb;
  }
  r.coeff = a;
  return r;
}

}  // namespace textbook
