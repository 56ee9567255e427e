#include "runner/journal.h"

#include <cstdint>
#include <cstdio>
#include <map>

#include "setacl/arguments.h"

namespace {

std::string Escaped(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return std::nullopt;
    }
  }
  return out;
}

// FNV-1a: enough to tell a record cut short or written over from a whole one.
std::string Checksum(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", hash);
  return hex;
}

std::string Record(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (std::string_view field : fields) (line += Escaped(field)) += '\t';
  return line + "#" + Checksum(line) + "\r\n";
}

// A line's fields, when it is a whole record.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
  std::size_t mark = line.rfind("\t#");
  if (mark == std::string_view::npos || line.substr(mark + 2) != Checksum(line.substr(0, mark + 1)))
    return std::nullopt;
  std::vector<std::string> fields = Split(line.substr(0, mark), '\t');
  for (std::string& field : fields) {
    auto plain = Unescaped(field);
    if (!plain) return std::nullopt;
    field = std::move(*plain);
  }
  return fields;
}

// How the journal writes an outcome, and reads it back.
std::string OutcomeText(const RunOutcome& outcome) {
  switch (outcome.kind) {
    case RunOutcome::Kind::Exited: return "exit " + std::to_string(outcome.exitCode);
    case RunOutcome::Kind::Stopped: return "stopped";
    case RunOutcome::Kind::Ended: return "ended";
    case RunOutcome::Kind::NotRun: break;
  }
  return "not run";
}

std::optional<RunOutcome> ReadOutcome(std::string_view text) {
  using Kind = RunOutcome::Kind;
  if (text == "stopped") return RunOutcome{Kind::Stopped};
  if (text == "ended") return RunOutcome{Kind::Ended};
  if (text == "not run") return RunOutcome{Kind::NotRun};
  if (!text.starts_with("exit ")) return std::nullopt;
  auto code = WholeNumber(text.substr(5));
  if (!code || *code > UINT32_MAX) return std::nullopt;
  return RunOutcome{Kind::Exited, static_cast<std::uint32_t>(*code)};
}

// A file name the journal gives, when it is the one its run's id names;
// else it is refused, and never deleted or restored from.
bool Usable(const std::string& name, const std::string& expected, Journal& journal) {
  if (name == expected && PlainFileName(name)) return true;
  journal.refused.push_back(name);
  return false;
}

// A record read into the run it belongs to; false when it does not fit.
bool Apply(const std::vector<std::string>& f, std::map<std::string, std::size_t>& byId,
           Journal& journal) {
  std::vector<JournalRun>& runs = journal.runs;
  const std::string& kind = f[0];
  if (kind == "started") {
    if (f.size() != 6 || byId.contains(f[1])) return false;
    auto scope = ReadScope(f[4]);
    if (!scope) return false;
    byId[f[1]] = runs.size();
    runs.push_back({f[1], f[2], f[3], std::move(*scope), f[5]});
    return true;
  }
  if (f.size() < 2 || !byId.contains(f[1])) return false;
  JournalRun& run = runs[byId[f[1]]];
  if (kind == "snapshot" && f.size() == 4 && (f[3] == "0" || f[3] == "1")) {
    if (!Usable(f[2], BeforeFile(run.id), journal)) return true;
    run.snapshot = f[2];
    run.snapshotHasSacl = f[3] == "1";
    return true;
  }
  if (kind == "finished" && f.size() == 4) {
    auto outcome = ReadOutcome(f[2]);
    auto ms = WholeNumber(f[3]);
    if (!outcome || !ms) return false;
    run.finished = JournalRun::Finished{*outcome, *ms};
    return true;
  }
  if (kind == "changed" && f.size() == 6) {
    auto changed = WholeNumber(f[3]), objects = WholeNumber(f[4]), unreadable = WholeNumber(f[5]);
    if (!changed || !objects || !unreadable) return false;
    if (!Usable(f[2], AfterFile(run.id), journal)) return true;
    run.changed = JournalRun::Changed{f[2], *changed, *objects, *unreadable};
    return true;
  }
  return false;
}

}  // namespace

std::string BeforeFile(const std::string& id) { return id + " before.txt"; }
std::string AfterFile(const std::string& id) { return id + " after.txt"; }

bool PlainFileName(std::string_view name) {
  if (name.empty() || name.find("..") != std::string_view::npos) return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || std::string_view("\\/:\"*?<>|").find(c) != std::string_view::npos)
      return false;
  return true;
}

std::string StartedRecord(const JournalRun& r) {
  return Record({"started", r.id, r.time, r.undoOf, ScopeArguments(r.scope), r.commandLine});
}

std::string SnapshotRecord(const JournalRun& r) {
  return Record({"snapshot", r.id, r.snapshot, r.snapshotHasSacl ? "1" : "0"});
}

std::string FinishedRecord(const JournalRun& r) {
  return Record({"finished", r.id, OutcomeText(r.finished->outcome), std::to_string(r.finished->milliseconds)});
}

std::string ChangedRecord(const JournalRun& r) {
  const JournalRun::Changed& c = *r.changed;
  return Record({"changed", r.id, c.after, std::to_string(c.changed), std::to_string(c.objects),
                 std::to_string(c.unreadable)});
}

Journal ReadJournal(std::string_view text) {
  Journal journal;
  std::map<std::string, std::size_t> byId;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    if (line.empty()) return;
    auto fields = Fields(line);
    if (fields && fields->size() >= 2) journal.ids.insert((*fields)[1]);
    if (!fields || !Apply(*fields, byId, journal)) ++journal.damaged;
  });
  return journal;
}

// A run with no end recorded was interrupted, or runs still in another Vorlane.
std::string OutcomeWords(const JournalRun& run) {
  return run.finished ? OutcomeWords(run.finished->outcome) : "Not finished";
}

std::string ComparedCaveats(const JournalRun& run) {
  std::string out;
  if (!run.snapshotHasSacl) out += "; audit entries were not compared: the snapshot holds none";
  if (run.scope.recursion == Recursion::No &&
      (run.scope.type == ObjectType::File || run.scope.type == ObjectType::Registry))
    out += "; what lies below the object, if anything, was not listed";
  return out;
}

std::string WithoutRuns(std::string_view text, const std::set<std::string>& ids) {
  std::string out;
  ForEachLine(text, [&](std::string_view line, std::string_view whole) {
    auto fields = Fields(line);
    if (!fields || fields->size() < 2 || !ids.contains((*fields)[1])) out += whole;
  });
  return out;
}
