#include "run/setacl_listing.h"

#include <charconv>

#include "run/arguments.h"

namespace {

constexpr std::pair<ObjectType, int> kTypeNumbers[] = {
    {ObjectType::File, 1}, {ObjectType::Service, 2}, {ObjectType::Printer, 3},
    {ObjectType::Registry, 4}, {ObjectType::Share, 5}};

}  // namespace

namespace {

std::optional<ListedView> ReadView(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  // The SDDL holds no quote: its own quotes are the last two of the line.
  if (line.size() < 6 || line.front() != '"' || line.back() != '"') return std::nullopt;
  std::size_t sddl = line.rfind(",\"", line.size() - 2);
  if (sddl == std::string_view::npos || sddl == 0) return std::nullopt;
  std::size_t pathEnd = line.rfind("\",", sddl - 1);
  if (pathEnd == std::string_view::npos || pathEnd == 0) return std::nullopt;
  ListedView object;
  std::string_view number = line.substr(pathEnd + 2, sddl - pathEnd - 2);
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), object.type);
  if (error != std::errc{} || end != number.data() + number.size()) return std::nullopt;
  object.path = line.substr(1, pathEnd - 1);
  object.sddl = line.substr(sddl + 2, line.size() - sddl - 3);
  return object;
}

}  // namespace

std::optional<ListedObject> ReadListingLine(std::string_view line) {
  auto view = ReadView(line);
  if (!view) return std::nullopt;
  return ListedObject{std::string(view->path), view->type, std::string(view->sddl)};
}

std::vector<ListedView> ReadListingViews(std::string_view text) {
  std::vector<ListedView> objects;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    if (auto object = ReadView(line)) objects.push_back(*object);
  });
  return objects;
}

std::vector<ListedObject> ReadListing(std::string_view text) {
  std::vector<ListedObject> objects;
  for (const ListedView& view : ReadListingViews(text))
    objects.push_back({std::string(view.path), view.type, std::string(view.sddl)});
  return objects;
}

std::string ListingLine(const ListedObject& object) {
  return "\"" + object.path + "\"," + std::to_string(object.type) + ",\"" + object.sddl + "\"";
}

int ListedTypeNumber(ObjectType type) {
  for (auto [t, number] : kTypeNumbers)
    if (t == type) return number;
  return 0;
}

std::optional<ObjectType> ListedType(int number) {
  for (auto [type, n] : kTypeNumbers)
    if (n == number) return type;
  return std::nullopt;
}
