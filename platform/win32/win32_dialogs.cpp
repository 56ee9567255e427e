#include "platform/win32/win32_dialogs.h"

#include "forms/input_box.h"
#include "forms/win32/wide.h"

namespace win32 {

forms::Answer Win32Dialogs::message(const forms::Message& box) {
  UINT flags = box.buttons == forms::Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (box.icon) {
    case forms::Icon::Information: flags |= MB_ICONINFORMATION; break;
    case forms::Icon::Question: flags |= MB_ICONQUESTION; break;
    case forms::Icon::Critical: flags |= MB_ICONERROR; break;
    case forms::Icon::None: break;
  }
  // Owned by the active window of this thread, so that one is blocked meanwhile.
  int answer = MessageBoxW(GetActiveWindow(), Wide(box.prompt).c_str(),
                           Wide(forms::shownTitle(box)).c_str(), flags | MB_SETFOREGROUND);
  if (answer == IDYES) return forms::Answer::Yes;
  if (answer == IDNO) return forms::Answer::No;
  return forms::Answer::Ok;
}

std::string Win32Dialogs::input(const std::string& prompt, const std::string& title,
                                const std::string& initial) {
  forms::InputBox box(prompt, title, initial);
  box.attach(&backend_);
  box.showModal();
  std::string result = box.result();
  backend_.unload(box);
  return result;
}

}  // namespace win32
