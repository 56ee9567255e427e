#include "runner/tree_export.h"

#include "runner/run_status.h"
#include "setacl/arguments.h"

namespace {

// A field as RFC 4180 has it: quoted, its quotes doubled; one that a
// spreadsheet would take for a formula (a damaged line's text) led by an
// apostrophe, so it stays text.
std::string Field(const std::string& text) {
  std::string out = "\"";
  if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) out += '\'';
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string TreeSummary(const TreeReport& r) {
  std::string out = Grouped(r.departing) + " of " + Grouped(r.objects) +
                    (r.objects == 1 ? " object departs" : " objects depart") + " from what their parents give";
  if (r.unreadable) out += "; " + Grouped(r.unreadable) + " could not be read";
  if (r.rootUnreadable) out += "; " + r.rootPath + " could not be read, so what it gives is not known";
  return out;
}

std::string TreeCsv(const TreeReport& r) {
  std::string out = "\xEF\xBB\xBF" "Path,Reason,Entries\r\n";
  for (const Departure& d : r.departures)
    for (Departs reason : d.reasons)
      out += Field(d.path) + "," + Field(DepartsWords(reason)) + "," + Field(Joined(d.entries, "\n")) + "\r\n";
  return out;
}

std::string TreeHtml(const TreeReport& r, const std::string& object, const std::string& when) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Tree Report: " +
      Escaped(object) +
      "</title>\n<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
      "td,th{border:1px solid #999;padding:.3em .5em;vertical-align:top;text-align:left}"
      "td.entries{white-space:pre-wrap;font-family:monospace}</style></head><body>\n"
      "<h1>Tree Report: " + Escaped(object) + "</h1>\n<p>Listed " + Escaped(when) + ". " +
      Escaped(TreeSummary(r)) + ".</p>\n<p>" + Escaped(kTreeScope) + "</p>\n"
      "<table><tr><th>Path</th><th>Reasons</th><th>Entries</th></tr>\n";
  for (const Departure& d : r.departures)
    out += "<tr><td>" + Escaped(d.path) + "</td><td>" + Escaped(ReasonsWords(d)) +
           "</td><td class=\"entries\">" + Escaped(Joined(d.entries, "\n")) + "</td></tr>\n";
  return out + "</table>\n</body></html>\n";
}
