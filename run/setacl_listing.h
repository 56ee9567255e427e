#pragma once
// SetACL.exe's listing in SDDL, as -actn list -lst "f:sddl;..." writes it to
// the screen: an object a line, its quoted path, the system's number for its
// type and its quoted SDDL. Other lines (messages) stand before and after.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/setacl_choices.h"

struct ListedObject {
  std::string path;
  int type = 0;
  std::string sddl;
};

// A line of a listing as it stands in the text, for reading large ones.
struct ListedView {
  std::string_view path;
  int type = 0;
  std::string_view sddl;
};

// The objects of a listing, in order.
std::vector<ListedObject> ReadListing(std::string_view text);
std::vector<ListedView> ReadListingViews(std::string_view text);
// A line of the listing, when it is one.
std::optional<ListedObject> ReadListingLine(std::string_view line);
// The line the tool writes for an object.
std::string ListingLine(const ListedObject& object);

// The system's numbers for the object types the tool lists.
int ListedTypeNumber(ObjectType type);
std::optional<ObjectType> ListedType(int number);
