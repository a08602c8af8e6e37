// The known name an author most likely meant by one the format does not
// know: "postion" was meant as "position". For "did you mean" hints only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xmo {

// The candidate nearest to name by edits (insert, delete, replace, swap two
// neighbours; a change of case counts as half an edit), or an empty view
// when none is near enough to be a slip of the keyboard: at most one edit in
// a name of up to four letters, two up to eight, three beyond.
std::string_view closestName(std::string_view name, const std::vector<std::string_view>& candidates);

// The names an author most likely meant by a value that names nothing: the
// closest one, or else every candidate that holds the value whole, case
// aside, when it has four letters or more ("fadeout" in "blackfadeout" and
// "whitefadeout"). Empty when none fits.
std::vector<std::string_view> suggestNames(std::string_view name, const std::vector<std::string_view>& candidates);

// "; did you mean \"a\"?", "; did you mean \"a\" or \"b\"?"..., or nothing
// for no names.
std::string didYouMean(const std::vector<std::string_view>& names);

}  // namespace xmo
