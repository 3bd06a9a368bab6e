#pragma once
// Names of the files a run writes, made from the names it was given.
#include <string>

namespace ringsmooth {

// `path` without the extension of its last component: the part from that component's last dot
// on, unless the component starts with its only dot (".lst" is a name, not an extension). A dot
// in a folder name never counts. Trailing blanks are dropped first.
std::string withoutExtension(const std::string& path);

}  // namespace ringsmooth
