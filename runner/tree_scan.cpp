#include "runner/tree_scan.h"

#include "platform/files.h"
#include "setacl/call_string.h"

struct TreeScan::State {
  State(std::string file, FromAnsi fromAnsi, platform::Security& security)
      : file(std::move(file)), decoder(std::move(fromAnsi)), analysis(security) {}
  const std::string file;
  std::uint64_t read = 0;
  ListingDecoder decoder;
  TreeAnalysis analysis;
};

TreeScan::TreeScan(platform::Services& services, CommandRun& run, FromAnsi fromAnsi)
    : services_(services), run_(run), fromAnsi_(std::move(fromAnsi)) {}

TreeScan::~TreeScan() = default;

Scope TreeScan::Everything(const std::string& object, ObjectType type) {
  return {object, type, type == ObjectType::Registry ? Recursion::Subkeys : Recursion::ContainersAndObjects};
}

bool TreeScan::Start(const std::string& folder, const std::string& object, ObjectType type, std::string file,
                     std::function<void(std::uint64_t)> objects, std::function<void(Done)> done) {
  if (run_.running() || state_) return false;
  const std::string arguments = TreeListingToFile(ScopeArguments(Everything(object, type)), file);
  state_ = std::make_shared<State>(file, fromAnsi_, services_.security);
  listed_ = false;
  objects_ = std::move(objects);
  done_ = std::move(done);
  if (run_.Run(folder, arguments, [this](const RunResult& result) { Ended(result); },
               {.quiet = true, .keepOutput = true, .changesNothing = true, .label = "Listing the tree"}))
    return true;
  state_.reset();
  return false;
}

void TreeScan::Look() {
  if (state_ && !reading_ && !listed_) Read(false);
}

void TreeScan::Drop() {
  if (run_.running()) return;
  reading_.reset();
  asked_.reset();
  state_.reset();
  objects_ = nullptr;
  done_ = nullptr;
}

void TreeScan::Ended(const RunResult& result) {
  listing_ = result;
  listed_ = true;
  if (!reading_) Read(true);
}

// What the file holds past the last read, on a worker; the last read, once
// the tool has ended, takes the rest and judges the tree. A file not there
// yet while the tool runs is one it has not made yet; only the last read
// must find it.
void TreeScan::Read(bool last) {
  const bool finished = last && listing_.outcome.succeeded();
  auto work = [this, state = state_, last, finished,
               &files = services_.files](platform::Workers::Context& context) {
    std::string text;
    const bool read = files.ReadPieces(
        state->file,
        [&](std::string_view piece) {
          state->read += piece.size();
          state->decoder.feed(piece, text);
          state->analysis.feed(text);
          text.clear();
          return !context.stopped();
        },
        state->read);
    if (context.stopped()) return;
    if (!last) return context.post([this, n = state->analysis.objectsSoFar()] {
      reading_.reset();
      objects_(n);
      if (listed_) Read(true);
    });
    state->decoder.finish(text);
    state->analysis.feed(text);
    std::optional<TreeReport> report;
    if (read) report = state->analysis.finish(finished);
    context.post([this, report = std::move(report)]() mutable {
      reading_.reset();
      const std::string file = state_->file;
      state_.reset();
      if (auto done = std::exchange(done_, nullptr)) done({listing_, std::move(report), file});
    });
  };
  // A marker first: work done at once has already posted its news.
  reading_ = std::make_unique<platform::Work>();
  if (auto started = services_.workers.Start(std::move(work)); reading_) reading_ = std::move(started);
}

void TreeScan::Compare(const std::string& earlier, const std::string& later,
                       std::function<void(std::optional<ListingChanges>)> done) {
  asked_ = services_.workers.Start([=, &files = services_.files, &security = services_.security,
                                    fromAnsi = fromAnsi_](platform::Workers::Context& context) {
    auto stopped = [&] { return context.stopped(); };
    std::optional<ListingChanges> changes;
    auto before = ReadListingFile(files, earlier, fromAnsi, stopped);
    auto after = before ? ReadListingFile(files, later, fromAnsi, stopped) : std::nullopt;
    if (before && after) changes = CompareListings(*before, *after, security, stopped);
    context.post([done, changes = std::move(changes)]() mutable { done(std::move(changes)); });
  });
}

void TreeScan::Where(const std::string& listing, const std::string& account,
                     std::function<void(std::optional<std::vector<std::string>>)> done) {
  asked_ = services_.workers.Start([=, &files = services_.files, &security = services_.security,
                                    fromAnsi = fromAnsi_](platform::Workers::Context& context) {
    std::optional<std::vector<std::string>> found;
    if (auto text = ReadListingFile(files, listing, fromAnsi, [&] { return context.stopped(); }))
      found = WhereAccountAppears(*text, account, security);
    context.post([done, found = std::move(found)]() mutable { done(std::move(found)); });
  });
}
