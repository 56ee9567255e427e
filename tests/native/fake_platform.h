#pragma once
// In-memory stand-ins for the registry, the file system and the shell.

#include <deque>
#include <functional>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/object_tree.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/workers.h"

// Keys under HKEY_LOCAL_MACHINE only, by path. Strings are stored as written
// or, like the system does for values written without one, with a NUL added.
class FakeRegistry : public platform::Registry {
 public:
  struct Value {
    std::uint32_t type = kString;
    std::string text;  // string data, a stored terminator included
    bool operator==(const Value&) const = default;
  };
  std::map<std::string, std::map<std::string, Value>> keys;
  bool storeTerminator = true;
  bool refuseWrites = false;    // opening for writing or creating is refused
  std::string readsBack;        // when set, what every string read gives, whatever was written
  std::set<std::uint32_t> accesses;  // every access asked for
  int openHandles() const { return static_cast<int>(handles_.size()); }

  long CreateKey(Key root, const std::string& path, std::uint32_t access, Key& key) override;
  long OpenKey(Key root, const std::string& path, std::uint32_t access, Key& key) override;
  long CloseKey(Key key) override;
  long QueryInfo(Key key, const std::string& name, std::uint32_t& type,
                 std::uint32_t& bytes) override;
  long QueryString(Key key, const std::string& name, std::uint32_t bytes,
                   std::string& text) override;
  long SetString(Key key, const std::string& name, const std::string& text) override;

 private:
  const Value* find(Key key, const std::string& name) const;
  std::map<Key, std::string> handles_;
  Key next_ = 0x100;
};

// Paths as given; a folder path is known with or without its last backslash.
class FakeFiles : public platform::FileSystem {
 public:
  std::set<std::string> files;    // ordinary files
  std::set<std::string> folders;  // drive roots as "D:", shares as "\\server\share"
  std::map<std::string, long> refused;  // folder → the error its creation gives
  std::vector<std::string> created;
  std::map<std::string, std::string> texts;  // what files hold, when a test cares
  std::map<std::string, std::string> security;  // SDDL, as made or as a test sets it; inherited below
  long writeError = 0;                       // every write fails with it when set
  std::size_t pieceSize = 4096;              // ReadPieces hands files on in pieces this large
  std::set<std::string> heldElsewhere;       // locks another program holds
  std::set<std::string> unreadable;          // there, but every read of them fails

  bool FileExists(const std::string& path) override { return files.contains(path) || texts.contains(path); }
  bool FolderExists(const std::string& path) override;
  long CreateFolder(const std::string& path) override;
  long ListFiles(const std::string& folder, std::vector<std::string>& names) override;
  long CreateFolderWith(const std::string& path, const std::string& sddl) override;
  std::string SecurityOf(const std::string& path) override;
  bool ReadText(const std::string& path, std::string& text) override;
  bool ReadPieces(const std::string& path, const std::function<bool(std::string_view)>& piece,
                  std::uint64_t from) override;
  long CreateNew(const std::string& path) override;
  long AppendText(const std::string& path, const std::string& text) override;
  long WriteText(const std::string& path, const std::string& text) override;
  long RemoveFile(const std::string& path) override;
  std::uint64_t FileSize(const std::string& path) override;
  std::unique_ptr<Lock> Hold(const std::string& lockPath, long& error) override;
  std::unique_ptr<Lock> Pin(const std::string& path) override;
  std::multiset<std::string> pinned;  // by this program or another: neither changed nor deleted

 private:
  std::set<std::string> held_;
};

// Children that write a script of pieces, heard when the test hands them
// on, as the reader thread would. The fake's ANSI code page is UTF-8, so a
// character can be split between two pieces.
class ScriptedProcesses : public platform::Processes {
 public:
  long pipeError = 0;  // the pipe fails with it when set
  bool canStart = true;
  std::deque<std::string> output;  // what the next child writes, each cut into pieces of 256
  std::uint32_t exitCode = 0;
  std::vector<std::string> started;
  std::vector<Tie> ties;  // of each child started
  bool terminated = false;  // the last child was ended

  // Hands on the child's next pieces (all when n is 0), as read; false when
  // no child listens.
  bool deliver(std::size_t n = 0);
  // Hands on what the child still writes, then its end.
  void finish();
  bool running() const { return listener_ != nullptr; }

  Start StartHidden(const std::string& commandLine, platform::OutputListener& listener,
                    Tie tie) override;
  std::size_t WholeCharacters(std::string_view ansi) override;
  std::string FromAnsi(std::string_view ansi) override { return std::string(ansi); }

 private:
  class FakeChild;
  platform::OutputListener* listener_ = nullptr;
  std::deque<std::string> pieces_;
};

// Records what it is asked to start and answers as told.
class FakeShell : public platform::Shell {
 public:
  struct Opened {
    std::string program, parameters, folder;
    int windowStyle;
    bool operator==(const Opened&) const = default;
  };
  long Open(const std::string& program, const std::string& parameters, const std::string& folder,
            int windowStyle) override {
    opened.push_back({program, parameters, folder, windowStyle});
    return openResult;
  }
  long Start(const std::string& commandLine, int windowStyle) override {
    started.push_back({commandLine, {}, {}, windowStyle});
    return startError;
  }
  std::string CurrentFolder() override { return "C:\\Current"; }

  long openResult = 42;  // above 31: the shell started it
  long startError = 0;
  std::vector<Opened> opened;
  std::vector<Opened> started;  // the whole command line in `program`
};

// Folders or keys by path, each with its children; a path not listed cannot be read.
class FakeObjectTree : public platform::ObjectTree {
 public:
  std::map<std::string, std::vector<platform::Listed>> children;
  bool Children(const std::string& path, bool, std::vector<platform::Listed>& out) override {
    auto it = children.find(path);
    if (it == children.end()) return false;
    out.insert(out.end(), it->second.begin(), it->second.end());
    return true;
  }
};

// Work done at once on the caller's thread; its news waits for the test to
// hand it on, or is handed on at once when `atOnce` says so.
class FakeWorkers : public platform::Workers {
 public:
  bool atOnce = true;
  int started = 0;
  std::unique_ptr<platform::Work> Start(std::function<void(Context&)> work) override;
  // Hands on the news waiting; that of dropped work is dropped.
  void deliver();

  struct State;

 private:
  std::deque<std::pair<std::shared_ptr<State>, std::function<void()>>> news_;
};
