#include "platform/win32/win32_workers.h"

#include <atomic>
#include <memory>

#include "platform/win32/mailbox.h"

namespace win32 {
namespace {

constexpr wchar_t kMailboxClass[] = L"VorlaneWorkMailbox";
constexpr UINT kNews = WM_APP + 2;

}  // namespace

// What a work's thread and the interface thread share.
struct Win32Workers::Shared : platform::Workers::Context, std::enable_shared_from_this<Shared> {
  HWND mailbox = nullptr;
  std::atomic<bool> dropped{false};
  std::function<void(Context&)> work;

  bool stopped() const override { return dropped; }
  void post(std::function<void()> news) override;
};

namespace {

using Shared = Win32Workers::Shared;

// A piece of news on its way, holding on to what it belongs to.
struct News {
  std::shared_ptr<Shared> from;
  std::function<void()> run;
};

}  // namespace

void Win32Workers::Shared::post(std::function<void()> news) {
  if (dropped) return;
  auto* message = new News{shared_from_this(), std::move(news)};
  if (!PostMessageW(mailbox, kNews, 0, reinterpret_cast<LPARAM>(message))) delete message;
}

namespace {

DWORD WINAPI RunWork(void* parameter) {
  std::shared_ptr<Shared> shared = std::move(*static_cast<std::shared_ptr<Shared>*>(parameter));
  delete static_cast<std::shared_ptr<Shared>*>(parameter);
  shared->work(*shared);
  return 0;
}

LRESULT CALLBACK MailboxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kNews) return DefWindowProcW(hwnd, msg, wp, lp);
  std::unique_ptr<News> news(reinterpret_cast<News*>(lp));
  if (!news->from->dropped) news->run();
  return 0;
}

// Dropping a work does not wait for it: the interface thread waits for work
// only as the workers themselves go, at the program's end.
class Win32Work : public platform::Work {
 public:
  explicit Win32Work(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
  ~Win32Work() override { shared_->dropped = true; }

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace

Win32Workers::Win32Workers() {
  mailbox_ = MakeMailbox(kMailboxClass, MailboxProc);
}

// Work still under way is asked to stop, all of it at once, and waited for
// to the end: the services it uses go when the program's do, right after.
Win32Workers::~Win32Workers() {
  for (auto& [shared, thread] : running_) shared->dropped = true;
  for (auto& [shared, thread] : running_) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  MSG msg;
  while (PeekMessageW(&msg, mailbox_, kNews, kNews, PM_REMOVE))
    delete reinterpret_cast<News*>(msg.lParam);
  DestroyWindow(mailbox_);
}

std::unique_ptr<platform::Work> Win32Workers::Start(std::function<void(Context&)> work) {
  auto shared = std::make_shared<Shared>();
  shared->mailbox = mailbox_;
  shared->work = std::move(work);
  auto* forThread = new std::shared_ptr<Shared>(shared);
  HANDLE thread = CreateThread(nullptr, 0, RunWork, forThread, 0, nullptr);
  if (!thread) {
    delete forThread;
    return nullptr;
  }
  // Threads that ended are let go as new ones start.
  std::erase_if(running_, [](const auto& run) {
    if (WaitForSingleObject(run.second, 0) != WAIT_OBJECT_0) return false;
    CloseHandle(run.second);
    return true;
  });
  running_.emplace_back(shared, thread);
  return std::make_unique<Win32Work>(std::move(shared));
}

}  // namespace win32
