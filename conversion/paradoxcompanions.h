#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace kelvane::conversion {

/// The companion files of one table, as named in the directory listing.
struct ParadoxCompanions {
    std::string primaryIndex;                  ///< the .PX file, empty when there is none
    std::string validity;                      ///< the .VAL file, empty when there is none
    std::vector<std::string> secondaryIndexes; ///< .Xhh and .XGn files, by upper-cased extension

    bool operator==(const ParadoxCompanions&) const = default;
};

/// A directory listing grouped by file stem without regard to ASCII case, so that the
/// companions of many tables of one folder are found without a pass over the listing each.
class CompanionIndex {
  public:
    /// Groups the entries of one listing that can be companions (.PX, .VAL, .Xhh, .XGn).
    explicit CompanionIndex(const std::vector<std::string>& entries);

    /// The companions of the table file `tableFileName` (e.g. "ORDERS.DB").
    ParadoxCompanions companionsOf(const std::string& tableFileName) const;

    /// The same selection with a single pass over `entries`, without building an index.
    static ParadoxCompanions select(const std::string& tableFileName,
                                    const std::vector<std::string>& entries);

  private:
    std::unordered_map<std::string, std::vector<std::string>> byStem_;
};

} // namespace kelvane::conversion
