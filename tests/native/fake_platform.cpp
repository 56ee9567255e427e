#include "tests/native/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr long kFileNotFound = 2;
constexpr long kPathNotFound = 3;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;
constexpr long kAlreadyExists = 183;
constexpr long kSharingViolation = 32;

std::string WithoutLastBackslash(std::string path) {
  if (path.ends_with('\\')) path.pop_back();
  return path;
}

// A lock, or work, that runs `release` as it goes.
template <class Base>
class Releasing : public Base {
 public:
  explicit Releasing(std::function<void()> release) : release_(std::move(release)) {}
  ~Releasing() override { release_(); }

 private:
  std::function<void()> release_;
};

}  // namespace

long FakeRegistry::OpenKey(Key root, const std::string& path, std::uint32_t access, Key& key) {
  EXPECT_EQ(root, kLocalMachine);
  accesses.insert(access);
  key = 0;
  if (refuseWrites) return kAccessDenied;
  if (!keys.contains(path)) return kFileNotFound;
  key = next_++;
  handles_[key] = path;
  return 0;
}

long FakeRegistry::CreateKey(Key root, const std::string& path, std::uint32_t access, Key& key) {
  if (!refuseWrites) keys[path];
  return OpenKey(root, path, access, key);
}

long FakeRegistry::CloseKey(Key key) { return handles_.erase(key) ? 0 : kInvalidHandle; }

const FakeRegistry::Value* FakeRegistry::find(Key key, const std::string& name) const {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return nullptr;
  const auto& values = keys.at(handle->second);
  auto value = values.find(name);
  return value == values.end() ? nullptr : &value->second;
}

long FakeRegistry::QueryInfo(Key key, const std::string& name, std::uint32_t& type,
                             std::uint32_t& bytes) {
  if (!handles_.contains(key)) return kInvalidHandle;
  const Value* value = find(key, name);
  if (!value) return kFileNotFound;
  type = value->type;
  bytes = static_cast<std::uint32_t>(value->text.size());
  return 0;
}

long FakeRegistry::QueryString(Key key, const std::string& name, std::uint32_t bytes,
                               std::string& text) {
  const Value* value = find(key, name);
  if (!value) return handles_.contains(key) ? kFileNotFound : kInvalidHandle;
  if (value->text.size() > bytes) return kMoreData;
  text = readsBack.empty() ? value->text : readsBack;
  return 0;
}

long FakeRegistry::SetString(Key key, const std::string& name, const std::string& text) {
  auto handle = handles_.find(key);
  if (handle == handles_.end()) return kInvalidHandle;
  keys[handle->second][name] = {kString, storeTerminator ? text + '\0' : text};
  return 0;
}

bool FakeFiles::FolderExists(const std::string& path) {
  return folders.contains(WithoutLastBackslash(path));
}

long FakeFiles::CreateFolder(const std::string& path) {
  std::string folder = WithoutLastBackslash(path);
  if (auto refusal = refused.find(folder); refusal != refused.end()) return refusal->second;
  if (folders.contains(folder)) return kAlreadyExists;
  std::size_t parent = folder.find_last_of('\\');
  if (parent == std::string::npos || !folders.contains(folder.substr(0, parent)))
    return kPathNotFound;
  folders.insert(folder);
  created.push_back(folder);
  return 0;
}

long FakeFiles::ListFiles(const std::string& folder, std::vector<std::string>& names) {
  std::string prefix = WithoutLastBackslash(folder);
  if (!folders.contains(prefix)) return kPathNotFound;
  prefix += '\\';
  names.clear();
  for (const std::string& file : files)
    if (file.starts_with(prefix) && file.find('\\', prefix.size()) == std::string::npos)
      names.push_back(file.substr(prefix.size()));
  return 0;
}

long FakeFiles::CreateFolderWith(const std::string& path, const std::string& sddl) {
  long error = CreateFolder(path);
  if (!error) security[WithoutLastBackslash(path)] = sddl;
  return error;
}

// What a file or folder has none of its own of, it inherits from the folder it is in.
std::string FakeFiles::SecurityOf(const std::string& path) {
  for (std::string at = WithoutLastBackslash(path);;) {
    if (auto it = security.find(at); it != security.end()) return it->second;
    std::size_t parent = at.find_last_of('\\');
    if (parent == std::string::npos) return {};
    at.resize(parent);
  }
}

bool FakeFiles::ReadPieces(const std::string& path,
                           const std::function<bool(std::string_view)>& piece, std::uint64_t from) {
  if (!FileExists(path) || unreadable.contains(path)) return false;
  auto it = texts.find(path);
  std::string_view text = it == texts.end() ? std::string_view() : std::string_view(it->second);
  text.remove_prefix(std::min<std::size_t>(from, text.size()));
  for (std::size_t at = 0; at < text.size(); at += pieceSize)
    if (!piece(text.substr(at, pieceSize))) break;
  return true;
}

long FakeFiles::CreateNew(const std::string& path) {
  if (writeError) return writeError;
  if (files.contains(path) || texts.contains(path)) return kFileExists;
  files.insert(path);
  texts[path];
  return 0;
}

// A file listed without a text of its own holds none.
bool FakeFiles::ReadText(const std::string& path, std::string& text) {
  if (!FileExists(path) || unreadable.contains(path)) return false;
  auto it = texts.find(path);
  text = it == texts.end() ? std::string() : it->second;
  return true;
}

long FakeFiles::AppendText(const std::string& path, const std::string& text) {
  if (writeError) return writeError;
  if (pinned.contains(path)) return kSharingViolation;
  files.insert(path);
  texts[path] += text;
  return 0;
}

long FakeFiles::WriteText(const std::string& path, const std::string& text) {
  if (!writeError && !pinned.contains(path)) texts[path].clear();
  return AppendText(path, text);
}

long FakeFiles::RemoveFile(const std::string& path) {
  if (pinned.contains(path)) return kSharingViolation;
  texts.erase(path);
  return files.erase(path) ? 0 : kFileNotFound;
}

std::uint64_t FakeFiles::FileSize(const std::string& path) {
  auto it = texts.find(path);
  return it == texts.end() ? 0 : it->second.size();
}

// One holder at a time; a lock held elsewhere is refused as the system
// refuses it once its wait is over.
std::unique_ptr<platform::FileSystem::Lock> FakeFiles::Hold(const std::string& lockPath, long& error) {
  if (heldElsewhere.contains(lockPath) || !held_.insert(lockPath).second) {
    error = kSharingViolation;
    return nullptr;
  }
  error = 0;
  return std::make_unique<Releasing<Lock>>([this, lockPath] { held_.erase(lockPath); });
}

class ScriptedProcesses::FakeChild : public platform::Child {
 public:
  explicit FakeChild(ScriptedProcesses& processes) : processes_(processes) {}
  ~FakeChild() override { processes_.listener_ = nullptr; }
  void Terminate() override {
    processes_.terminated = true;
    processes_.pieces_.clear();  // what it would have written next is never written
  }

 private:
  ScriptedProcesses& processes_;
};

platform::Processes::Start ScriptedProcesses::StartHidden(const std::string& commandLine,
                                                          platform::OutputListener& listener, Tie tie) {
  if (pipeError) return {nullptr, pipeError};
  if (!canStart) return {};
  EXPECT_EQ(listener_, nullptr) << "a second child while one runs";
  started.push_back(commandLine);
  ties.push_back(tie);
  terminated = false;
  pieces_.clear();
  for (const std::string& written : output)
    for (std::size_t at = 0; at < written.size(); at += kPieceSize)
      pieces_.push_back(written.substr(at, kPieceSize));
  output.clear();
  listener_ = &listener;
  return {std::make_unique<FakeChild>(*this)};
}

bool ScriptedProcesses::deliver(std::size_t n) {
  for (std::size_t i = 0; listener_ && !pieces_.empty() && (n == 0 || i < n); ++i) {
    std::string piece = std::move(pieces_.front());
    pieces_.pop_front();
    listener_->Piece(piece);
  }
  return listener_ != nullptr;
}

void ScriptedProcesses::finish() {
  if (deliver()) std::exchange(listener_, nullptr)->Ended(terminated ? 1u : exitCode);
}

std::size_t ScriptedProcesses::WholeCharacters(std::string_view ansi) {
  std::size_t at = 0;
  while (at < ansi.size()) {
    auto lead = static_cast<unsigned char>(ansi[at]);
    std::size_t width = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (at + width > ansi.size()) break;
    at += width;
  }
  return at;
}

struct FakeWorkers::State : platform::Workers::Context, std::enable_shared_from_this<State> {
  explicit State(FakeWorkers& workers) : workers(workers) {}
  FakeWorkers& workers;
  bool dropped = false;
  bool stopped() const override { return dropped; }
  void post(std::function<void()> news) override {
    if (workers.atOnce) news();
    else workers.news_.emplace_back(shared_from_this(), std::move(news));
  }
};

std::unique_ptr<platform::Work> FakeWorkers::Start(std::function<void(Context&)> work) {
  ++started;
  auto state = std::make_shared<State>(*this);
  work(*state);
  return std::make_unique<Releasing<platform::Work>>([state] { state->dropped = true; });
}

void FakeWorkers::deliver() {
  while (!news_.empty()) {
    auto [state, news] = std::move(news_.front());
    news_.pop_front();
    if (!state->dropped) news();
  }
}

std::unique_ptr<platform::FileSystem::Lock> FakeFiles::Pin(const std::string& path) {
  if (!texts.contains(path) && !files.contains(path)) return nullptr;
  pinned.insert(path);
  return std::make_unique<Releasing<Lock>>([this, path] { pinned.erase(pinned.find(path)); });
}
