#include "platform/win32/win32_processes.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/mailbox.h"
#include "forms/win32/wide.h"

namespace win32 {

namespace {

constexpr wchar_t kMailboxClass[] = L"VorlaneOutputMailbox";
constexpr UINT kOutputArrived = WM_APP + 1;
// While output keeps coming, the interface thread takes it this often, all
// that came meanwhile at once: what it costs that thread goes with the time,
// not with the pieces. The first piece after a pause is taken at once.
constexpr UINT kLookEveryMs = 50;
// A reader this far ahead of the window waits for it, so the output is held
// once, in the output box, and not a second time on its way there.
constexpr std::size_t kMostQueued = 1 << 20;
// A child that closed its output is on its way out: it gets this long to end.
constexpr DWORD kExitWaitMilliseconds = 2000;
// A dropped child's reader gets this long to finish; one held up by a
// grandchild that keeps the pipe open is left to end by itself.
constexpr DWORD kReaderEndMilliseconds = 2000;

// What a child's reader thread and the interface thread share.
struct Shared {
  Shared(HWND mailbox, HANDLE pipe, HANDLE process, platform::OutputListener* listener)
      : mailbox(mailbox), pipe(pipe), process(process), listener(listener) {}
  const HWND mailbox;
  const HANDLE pipe, process;  // the reader's own, closed as it ends

  std::mutex mutex;
  std::condition_variable drained;
  std::string queued;                // bytes read, not yet handed on
  std::vector<std::uint16_t> sizes;  // the pieces they were read in
  bool posted = false;  // a message is on its way, or the interface thread looks on its own
  bool urged = false;   // a message is on its way for a queue half full
  bool ended = false;
  std::optional<std::uint32_t> exitCode;
  bool dropped = false;  // nobody listens any more

  // The interface thread's only: null once the child is dropped or its end heard.
  platform::OutputListener* listener;
};

// Tells the mailbox there is something to hand on; the message carries a
// reference of its own to what is shared.
void Post(const std::shared_ptr<Shared>& shared) {
  auto* held = new std::shared_ptr<Shared>(shared);
  if (!PostMessageW(shared->mailbox, kOutputArrived, 0, reinterpret_cast<LPARAM>(held))) delete held;
}

DWORD WINAPI ReadOutput(void* parameter) {
  std::shared_ptr<Shared> s = std::move(*static_cast<std::shared_ptr<Shared>*>(parameter));
  delete static_cast<std::shared_ptr<Shared>*>(parameter);
  char buffer[platform::Processes::kPieceSize];
  DWORD read = 0;
  while (ReadFile(s->pipe, buffer, sizeof buffer, &read, nullptr)) {
    if (read == 0) continue;
    bool post = false;
    {
      std::unique_lock lock(s->mutex);
      s->drained.wait(lock, [&] { return s->queued.size() < kMostQueued || s->dropped; });
      if (s->dropped) break;
      s->queued.append(buffer, read);
      s->sizes.push_back(static_cast<std::uint16_t>(read));
      // Between looks, half the most the queue holds asks for one at once:
      // the reader never waits for a look that comes anyway.
      post = !std::exchange(s->posted, true) ||
             (s->queued.size() >= kMostQueued / 2 && !std::exchange(s->urged, true));
    }
    if (post) Post(s);
  }
  DWORD code = STILL_ACTIVE;
  bool exited = WaitForSingleObject(s->process, kExitWaitMilliseconds) == WAIT_OBJECT_0 &&
                GetExitCodeProcess(s->process, &code);
  CloseHandle(s->pipe);
  CloseHandle(s->process);
  bool post = false;
  {
    std::lock_guard lock(s->mutex);
    s->ended = true;
    if (exited) s->exitCode = code;
    post = !std::exchange(s->posted, true);
  }
  if (post) Post(s);
  return 0;
}

// On the interface thread: everything read since the last look, then the
// end when it has come. True while more may come: the next look is the
// interface thread's own. False once there was nothing, and the reader's
// next piece posts again; or once the end is heard or nobody listens.
bool HandOn(Shared& s) {
  if (!s.listener) return false;
  std::string bytes;
  std::vector<std::uint16_t> sizes;
  bool ended = false;
  std::optional<std::uint32_t> exitCode;
  {
    std::lock_guard lock(s.mutex);
    if (s.queued.empty() && !s.ended) {
      s.posted = false;
      return false;
    }
    bytes.swap(s.queued);
    sizes.swap(s.sizes);
    s.urged = false;
    ended = s.ended;
    exitCode = s.exitCode;
  }
  s.drained.notify_one();
  std::size_t at = 0;
  for (std::uint16_t size : sizes) {
    if (!s.listener) return false;
    s.listener->Piece(std::string_view(bytes).substr(at, size));
    at += size;
  }
  if (ended && s.listener) std::exchange(s.listener, nullptr)->Ended(exitCode);
  return !ended && s.listener;
}

// The children the interface thread looks at on the mailbox's timer, under
// their timers' ids; the mailbox holds them.
using Looking = std::map<UINT_PTR, std::shared_ptr<Shared>>;

Looking& LookingOf(HWND mailbox) {
  return *reinterpret_cast<Looking*>(GetWindowLongPtrW(mailbox, GWLP_USERDATA));
}

LRESULT CALLBACK MailboxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kOutputArrived) {
    // Held for the call: the listener may drop the child as it hears the end.
    std::unique_ptr<std::shared_ptr<Shared>> held(reinterpret_cast<std::shared_ptr<Shared>*>(lp));
    if (!HandOn(**held)) return 0;
    auto id = reinterpret_cast<UINT_PTR>(held->get());
    LookingOf(hwnd)[id] = *held;
    SetTimer(hwnd, id, kLookEveryMs, nullptr);
    return 0;
  }
  if (msg == WM_TIMER) {
    Looking& looking = LookingOf(hwnd);
    auto it = looking.find(wp);
    if (it == looking.end()) return 0;
    std::shared_ptr<Shared> held = it->second;
    if (HandOn(*held)) return 0;
    KillTimer(hwnd, wp);
    looking.erase(wp);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

class Win32Child : public platform::Child {
 public:
  Win32Child(std::shared_ptr<Shared> shared, HANDLE process, HANDLE reader)
      : shared_(std::move(shared)), process_(process), reader_(reader) {}

  ~Win32Child() override {
    shared_->listener = nullptr;
    {
      std::lock_guard lock(shared_->mutex);
      shared_->dropped = true;
    }
    shared_->drained.notify_one();
    if (WaitForSingleObject(reader_, 0) == WAIT_TIMEOUT) Terminate();
    WaitForSingleObject(reader_, kReaderEndMilliseconds);
    CloseHandle(reader_);
    CloseHandle(process_);
  }

  void Terminate() override {
    TerminateProcess(process_, 1);
    // A grandchild may hold the pipe open: the read under way ends at once.
    CancelSynchronousIo(reader_);
  }

 private:
  std::shared_ptr<Shared> shared_;
  HANDLE process_;  // the child, for Terminate
  HANDLE reader_;
};

}  // namespace

Win32Processes::Win32Processes() {
  mailbox_ = MakeMailbox(kMailboxClass, MailboxProc);
  SetWindowLongPtrW(mailbox_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Looking));
  endsWithProgram_ = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (endsWithProgram_)
    SetInformationJobObject(endsWithProgram_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

Win32Processes::~Win32Processes() {
  // What was still on its way holds references of its own.
  MSG msg;
  while (PeekMessageW(&msg, mailbox_, kOutputArrived, kOutputArrived, PM_REMOVE))
    delete reinterpret_cast<std::shared_ptr<Shared>*>(msg.lParam);
  auto* looking = &LookingOf(mailbox_);
  for (const auto& [id, shared] : *looking) KillTimer(mailbox_, id);
  delete looking;
  DestroyWindow(mailbox_);
  if (endsWithProgram_) CloseHandle(endsWithProgram_);
}

platform::Processes::Start Win32Processes::StartHidden(const std::string& commandLine,
                                                       platform::OutputListener& listener, Tie tie) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherited, 0)) return {nullptr, static_cast<long>(GetLastError())};
  // Only the child's end goes to the child.
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = write;
  startup.hStdError = write;
  std::vector<wchar_t> line = WritableCommandLine(commandLine);
  PROCESS_INFORMATION info{};
  // Suspended until it is in the job, so nothing it starts escapes it.
  const bool tied = tie == Tie::EndsWithProgram && endsWithProgram_;
  bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                NORMAL_PRIORITY_CLASS | (tied ? CREATE_SUSPENDED : 0), nullptr,
                                nullptr, &startup, &info);
  // The child's copy alone keeps the pipe open, so its end is the pipe's end.
  CloseHandle(write);
  if (!started) {
    CloseHandle(read);
    return {};
  }
  if (tied) {
    AssignProcessToJobObject(endsWithProgram_, info.hProcess);
    ResumeThread(info.hThread);
  }
  CloseHandle(info.hThread);
  HANDLE process = nullptr;
  DuplicateHandle(GetCurrentProcess(), info.hProcess, GetCurrentProcess(), &process, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  auto shared = std::make_shared<Shared>(mailbox_, read, info.hProcess, &listener);
  auto* forReader = new std::shared_ptr<Shared>(shared);
  HANDLE reader = CreateThread(nullptr, 0, ReadOutput, forReader, 0, nullptr);
  if (!reader) {
    delete forReader;
    TerminateProcess(process, 1);
    for (HANDLE handle : {read, info.hProcess, process}) CloseHandle(handle);
    return {};
  }
  return {std::make_unique<Win32Child>(std::move(shared), process, reader)};
}

std::size_t Win32Processes::WholeCharacters(std::string_view ansi) {
  std::size_t at = 0;
  while (at < ansi.size()) {
    std::size_t width = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(ansi[at])) ? 2 : 1;
    if (at + width > ansi.size()) break;
    at += width;
  }
  return at;
}

std::string Win32Processes::FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Utf8(wide);
}

}  // namespace win32
