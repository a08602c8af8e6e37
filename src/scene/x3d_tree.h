// An X3D file (XML encoding) as a tree of elements, for the standard reading
// (scene/x3d_standard.h), which needs the whole file at hand: a USE names a
// node written earlier, a Switch chooses among its children, and an
// element's role can depend on its containerField.
//
// Only the structure is kept: each element's name, its file line, its
// attributes as written and its children in order. Nothing is interpreted
// here. Elements nested deeper than kMaxX3dDepth are left out (with a
// report), so that no file can exhaust the stack of a later walk. Depends on
// expat (through base/xml_front_end.h) and base/ only.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/diagnostics.h"

namespace xmo {

inline constexpr int kMaxX3dDepth = 1000;

struct X3dElement {
    std::string name;
    int line = 0;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<X3dElement>> children;

    // The value of the attribute, or null when it is not written.
    const std::string* attribute(std::string_view key) const;
};

struct X3dTree {
    std::unique_ptr<X3dElement> root;  // the document element; null when the file held none
    std::optional<std::string> syntaxError;  // "<text> at line N" when the XML broke off
};

// Reads the file. A file that cannot be read throws LoadError; XML that
// breaks off keeps the elements read before the error (reported in
// diagnostics, as the subset reading does).
X3dTree readX3dTree(const std::string& fileName, Diagnostics& diagnostics);
X3dTree readX3dText(std::string_view text, const std::string& fileName, Diagnostics& diagnostics);

}  // namespace xmo
