#include "runner/run_status.h"

#include <cstdio>
#include <ctime>

std::string OutcomeWords(const RunOutcome& outcome) {
  switch (outcome.kind) {
    case RunOutcome::Kind::Exited:
      return outcome.exitCode == 0 ? "Exit code 0" : "FAILED: exit code " + std::to_string(outcome.exitCode);
    case RunOutcome::Kind::Stopped: return "Stopped";
    case RunOutcome::Kind::Ended: return "Output ended";
    case RunOutcome::Kind::NotRun: break;
  }
  return "Not run";
}

std::string Grouped(std::uint64_t n) {
  std::string digits = std::to_string(n);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

std::string LocalTime(std::chrono::system_clock::time_point time, const char* format) {
  std::time_t t = std::chrono::system_clock::to_time_t(time);
  char text[32];
  std::strftime(text, sizeof text, format, std::localtime(&t));
  return text;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

namespace {

std::string Received(const RunProgress& p) {
  return Grouped(p.lines) + (p.lines == 1 ? " line, " : " lines, ") + Grouped(p.bytes) +
         (p.bytes == 1 ? " byte" : " bytes");
}

}  // namespace

std::string RunningStatus(const RunProgress& p, const std::string& label) {
  return label + ": " + Received(p) + " received, " + Seconds(p.seconds);
}

std::string EndStatus(const RunProgress& p, const RunOutcome& outcome) {
  switch (outcome.kind) {
    case RunOutcome::Kind::Exited:
      return std::string(outcome.exitCode == 0 ? "Finished" : "FAILED") + " with exit code " +
             std::to_string(outcome.exitCode) + " after " + Seconds(p.seconds) + ": " + Received(p);
    case RunOutcome::Kind::Stopped:
      return "Stopped after " + Seconds(p.seconds) + ": " + Received(p) + " kept";
    case RunOutcome::Kind::Ended:
      return "Output ended after " + Seconds(p.seconds) + ", the command still running: " + Received(p);
    case RunOutcome::Kind::NotRun: break;
  }
  return "Not run";
}

std::string StartedStatus(const std::string& what) {
  return what + " started in a window of its own; it reports there.";
}
