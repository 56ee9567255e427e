#pragma once
// Child processes started hidden, their console output (standard output and
// standard error on one pipe) read on a thread of their own and handed to
// the interface thread piece by piece.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Hears a child's output on the interface thread, in the order written.
class OutputListener {
 public:
  virtual ~OutputListener() = default;
  // The next piece the child wrote: at most Processes::kPieceSize bytes.
  virtual void Piece(std::string_view bytes) = 0;
  // The output ended: the child closed it or was ended. Its exit code when
  // it has ended by then. Nothing is heard after this.
  virtual void Ended(std::optional<std::uint32_t> exitCode) = 0;
};

// A started child. Dropping it ends the child if it still runs, and nothing
// more is heard of it.
class Child {
 public:
  virtual ~Child() = default;
  // Ends the child at once; what it wrote before is still heard, then the end.
  virtual void Terminate() = 0;
};

class Processes {
 public:
  static constexpr std::uint32_t kPieceSize = 256;

  struct Start {
    std::unique_ptr<Child> child;  // null when nothing started
    long pipeError = 0;            // the system's code when the pipe could not be made
  };

  virtual ~Processes() = default;
  // What becomes of a child when this program ends, however it ends: a
  // command that changes something is left to finish; one that changes
  // nothing (a listing) ends with it.
  enum class Tie { Own, EndsWithProgram };

  // Starts the command line hidden, no standard input; only the child's end
  // of the pipe is handed to it.
  virtual Start StartHidden(const std::string& commandLine, OutputListener& listener,
                            Tie tie = Tie::Own) = 0;

  // Console text arrives in the ANSI code page: how many leading bytes form
  // whole characters, and those bytes as UTF-8.
  virtual std::size_t WholeCharacters(std::string_view ansi) = 0;
  virtual std::string FromAnsi(std::string_view ansi) = 0;
};

}  // namespace platform
