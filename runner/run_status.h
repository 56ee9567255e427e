#pragma once
// How a command's run ended, and the main window's status line for it.

#include <chrono>
#include <cstdint>
#include <string>

struct RunProgress {
  std::uint64_t lines = 0;  // line breaks received
  std::uint64_t bytes = 0;  // bytes read from the command
  double seconds = 0;       // since it started
};

// How a run ended.
struct RunOutcome {
  enum class Kind { Exited, Stopped, Ended, NotRun };
  Kind kind = Kind::NotRun;
  std::uint32_t exitCode = 0;  // when it exited
  bool succeeded() const { return kind == Kind::Exited && exitCode == 0; }
  bool operator==(const RunOutcome&) const = default;
};

// "Exit code 0", "FAILED: exit code 2", "Stopped", "Output ended" (the
// command still running), "Not run".
std::string OutcomeWords(const RunOutcome& outcome);

// 1234567 as "1,234,567".
std::string Grouped(std::uint64_t n);
// 2.54 as "2.5 s".
std::string Seconds(double seconds);
// A moment in local time, by a strftime format.
std::string LocalTime(std::chrono::system_clock::time_point time, const char* format);

// "Running: ..." or, for a step of its own, under its name.
std::string RunningStatus(const RunProgress& progress, const std::string& label = "Running");
// The run's end: its exit code (a failure, non-zero, marked as one), a stop,
// or output that ended while the command did not.
std::string EndStatus(const RunProgress& progress, const RunOutcome& outcome);
// A command started through the shell, in a console window of its own.
std::string StartedStatus(const std::string& what);
