#include "standin/server/dispids.hpp"

#include <map>
#include <mutex>
#include <vector>

#include "standin/model/state.hpp"

namespace quarnel::standin::server {
namespace {

constexpr DISPID kFirst = 1;

struct Table {
  std::mutex lock;
  std::map<std::string, DISPID, std::less<>> ids;
  std::vector<std::string> names;  // index + kFirst is the DISPID
};

Table& Names() {
  static Table table;
  return table;
}

}  // namespace

DISPID DispIdOf(std::string_view member) {
  std::string folded = FoldCase(member);
  if (folded.empty() || folded == "_default") return DISPID_VALUE;
  Table& table = Names();
  const std::scoped_lock guard(table.lock);
  if (auto it = table.ids.find(folded); it != table.ids.end()) return it->second;
  const auto id = static_cast<DISPID>(table.names.size()) + kFirst;
  table.names.push_back(folded);
  table.ids.emplace(std::move(folded), id);
  return id;
}

std::optional<std::string> MemberOf(DISPID id) {
  // The model answers the default member under the empty name.
  if (id == DISPID_VALUE) return std::string();
  Table& table = Names();
  const std::scoped_lock guard(table.lock);
  if (id < kFirst || static_cast<std::size_t>(id - kFirst) >= table.names.size()) return std::nullopt;
  return table.names[static_cast<std::size_t>(id - kFirst)];
}

}  // namespace quarnel::standin::server
