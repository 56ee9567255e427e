#pragma once
// A Tree Report for an auditor: CSV (UTF-8 with its byte-order mark, a row
// per departing object and reason, with its entries) and a self-contained
// HTML summary.

#include <string>

#include "runner/tree_analysis.h"

// "12 of 1,812 objects depart from what their parents give; 1 could not be read"
std::string TreeSummary(const TreeReport& report);
// What the report does not evaluate.
inline constexpr const char* kTreeScope =
    "The report does not evaluate group membership, share permissions or effective access.";

std::string TreeCsv(const TreeReport& report);
// `object`: as the user named it; `when`: the listing's local time.
std::string TreeHtml(const TreeReport& report, const std::string& object, const std::string& when);
