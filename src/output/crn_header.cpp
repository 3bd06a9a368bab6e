#include "output/crn_header.h"

#include <algorithm>
#include <string_view>

#include "core/text_field.h"

namespace ringsmooth {
namespace {

constexpr std::size_t YEARS_END = 76;  // the last column of the first and last years

// A header line built from the left, its columns counted in characters (of UTF-8), so that an
// editor and this program's reader see each field in its columns.
class HeaderLine {
 public:
  HeaderLine(std::string_view id, char number) {
    put(1, id, 6);
    put(8, std::string_view(&number, 1), 1);
  }

  // `text` from `column` (counted from 1), at most `width` characters.
  void put(std::size_t column, std::string_view text, std::size_t width) {
    if (columns_ < column - 1) text_.append(column - 1 - columns_, ' ');
    columns_ = std::max(columns_, column - 1);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0, placed = 0; at < text.size() && placed < width; ++placed) {
      const std::size_t length = utf8Length(bytes + at, text.size() - at);
      if (length <= 1) {
        text_ += bytes[at] < 0x20 || bytes[at] == 0x7f || bytes[at] >= 0x80 ? '?' : text[at];
      } else {
        text_.append(text.substr(at, length));
      }
      at += std::max<std::size_t>(length, 1);
      ++columns_;
    }
  }

  std::string text() const {
    const std::size_t end = text_.find_last_not_of(' ');
    return text_.substr(0, end == std::string::npos ? 0 : end + 1) + "\n";
  }

 private:
  std::string text_;
  std::size_t columns_ = 0;
};

}  // namespace

std::string crnHeader(const SiteHeader& site, const std::string& id, int firstYear, int lastYear) {
  HeaderLine name(id, '1');
  name.put(10, site.siteName.empty() ? std::string_view(id) : site.siteName, 52);
  name.put(62, site.speciesCode, 4);

  HeaderLine place(id, '2');
  place.put(10, site.stateCountry, 13);
  place.put(23, site.species, 18);
  place.put(41, site.elevation, 5);
  place.put(48, site.coordinates, 10);
  const std::string years = std::to_string(firstYear) + " " + std::to_string(lastYear);
  place.put(YEARS_END + 1 - years.size(), years, years.size());

  HeaderLine people(id, '3');
  people.put(10, site.investigators, 63);
  people.put(73, site.completionDate, 8);
  return name.text() + place.text() + people.text();
}

}  // namespace ringsmooth
