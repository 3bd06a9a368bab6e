#pragma once
// Reads back what PLplot's "svg" device drew: the background, every polyline with its colour and
// width, and every text. Just enough SVG for these tests, written against the driver's output.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace svgpage {

struct Point {
  double x;
  double y;
};

struct Polyline {
  std::string stroke;  // "#RRGGBB"
  double width = 0.0;
  std::vector<Point> points;
};

struct Page {
  std::string background;  // fill of the first rectangle
  std::vector<Polyline> lines;
  std::vector<std::string> texts;  // decoded
};

// The value of attribute `name` of one element's text (attributes stand after white space).
inline std::string attribute(const std::string& element, const std::string& name) {
  const std::string key = name + "=\"";
  for (size_t at = element.find(key); at != std::string::npos; at = element.find(key, at + 1)) {
    if (at == 0 || !std::isspace(static_cast<unsigned char>(element[at - 1]))) continue;
    const size_t start = at + key.size();
    return element.substr(start, element.find('"', start) - start);
  }
  return "";
}

inline std::vector<Point> points(const std::string& text) {
  std::vector<Point> result;
  std::istringstream in(text);
  std::string pair;
  while (in >> pair) {
    const size_t comma = pair.find(',');
    result.push_back({std::strtod(pair.substr(0, comma).c_str(), nullptr),
                      std::strtod(pair.substr(comma + 1).c_str(), nullptr)});
  }
  return result;
}

// "&#x41;&#x42;" -> "AB" (the driver writes every character as a hexadecimal reference).
inline std::string decodeText(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size();) {
    if (text.compare(i, 3, "&#x") == 0) {
      const size_t end = text.find(';', i);
      result += static_cast<char>(std::strtol(text.substr(i + 3, end - i - 3).c_str(), nullptr,
                                              16));
      i = end + 1;
    } else {
      result += text[i++];
    }
  }
  return result;
}

inline Page readPage(const std::string& path) {
  std::ifstream file(path);
  std::stringstream buffer;
  buffer << file.rdbuf();
  const std::string svg = buffer.str();
  Page page;
  size_t at = svg.find("<rect");
  if (at != std::string::npos) {
    page.background = attribute(svg.substr(at, svg.find("/>", at) - at), "fill");
  }
  for (at = svg.find("<polyline"); at != std::string::npos; at = svg.find("<polyline", at + 1)) {
    const std::string element = svg.substr(at, svg.find("/>", at) - at);
    page.lines.push_back({attribute(element, "stroke"),
                          std::strtod(attribute(element, "stroke-width").c_str(), nullptr),
                          points(attribute(element, "points"))});
  }
  for (at = svg.find("<tspan"); at != std::string::npos; at = svg.find("<tspan", at + 1)) {
    const size_t start = svg.find('>', at) + 1;
    page.texts.push_back(decodeText(svg.substr(start, svg.find("</tspan>", start) - start)));
  }
  return page;
}

// All points of the lines drawn in `stroke` at `width`.
inline std::vector<Point> pointsOf(const Page& page, const std::string& stroke, double width) {
  std::vector<Point> result;
  for (const Polyline& line : page.lines) {
    if (line.stroke == stroke && line.width == width) {
      result.insert(result.end(), line.points.begin(), line.points.end());
    }
  }
  return result;
}

struct Box {
  double left = 1e300;
  double right = -1e300;
  double bottom = 1e300;
  double top = -1e300;
};

inline Box boxOf(const std::vector<Point>& points) {
  Box box;
  for (const Point& p : points) {
    if (p.x < box.left) box.left = p.x;
    if (p.x > box.right) box.right = p.x;
    if (p.y < box.bottom) box.bottom = p.y;
    if (p.y > box.top) box.top = p.y;
  }
  return box;
}

}  // namespace svgpage
