#pragma once
// The main window's status line for a command's run.

#include <cstdint>
#include <string>

struct RunProgress {
  std::uint64_t lines = 0;  // line breaks received
  std::uint64_t bytes = 0;  // bytes read from the command
  double seconds = 0;       // since it started
};

// 1234567 as "1,234,567".
std::string Grouped(std::uint64_t n);
// 2.54 as "2.5 s".
std::string Seconds(double seconds);

// "Running: ..." or, for a step of its own, under its name.
std::string RunningStatus(const RunProgress& progress, const std::string& label = "Running");
// The run's end: its exit code, a failure (non-zero) marked as one.
std::string FinishedStatus(const RunProgress& progress, std::uint32_t exitCode);
// The output ended but the command did not: no exit code to show.
std::string EndedStatus(const RunProgress& progress);
std::string StoppedStatus(const RunProgress& progress);
// A command started through the shell, in a console window of its own.
std::string StartedStatus(const std::string& what);
