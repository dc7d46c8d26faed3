#include "standin/server/dispids.hpp"

#include <cstdint>
#include <map>
#include <mutex>

#include "standin/model/state.hpp"

namespace quarnel::standin::server {
namespace {

// Positive, and clear of the numbers COM gives meanings to.
constexpr std::uint32_t kRange = 0x3FFFFFFE;

struct Table {
  std::mutex lock;
  std::map<std::string, DISPID, std::less<>> ids;
  std::map<DISPID, std::string> names;
};

Table& Names() {
  static Table table;
  return table;
}

// FNV-1a of the folded name.
DISPID NumberOf(std::string_view folded) {
  std::uint32_t hash = 2166136261u;
  for (const char c : folded) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return static_cast<DISPID>(hash % kRange + 1);
}

}  // namespace

DISPID DispIdOf(std::string_view member) {
  std::string folded = FoldCase(member);
  if (folded.empty() || folded == "_default") return DISPID_VALUE;
  Table& table = Names();
  const std::scoped_lock guard(table.lock);
  if (auto it = table.ids.find(folded); it != table.ids.end()) return it->second;
  DISPID id = NumberOf(folded);
  // Two names of one number: the later one takes the next free number.
  while (table.names.contains(id)) id = static_cast<DISPID>(static_cast<std::uint32_t>(id) % kRange + 1);
  table.names.emplace(id, folded);
  table.ids.emplace(std::move(folded), id);
  return id;
}

std::optional<std::string> MemberOf(DISPID id) {
  // The model answers the default member under the empty name.
  if (id == DISPID_VALUE) return std::string();
  Table& table = Names();
  const std::scoped_lock guard(table.lock);
  const auto it = table.names.find(id);
  if (it == table.names.end()) return std::nullopt;
  return it->second;
}

}  // namespace quarnel::standin::server
