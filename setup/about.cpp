#include "setup/about.h"

#include "forms/dialogs.h"

void ShowAbout(forms::Dialogs& dialogs) {
  dialogs.tell(
      "Vorlane " VORLANE_VERSION ", a front end for SetACL.exe\r\n"
      "A native Windows program written in C++20\r\n"
      "on the Win32 API alone, built with mingw-w64\r\n"
      "I'm just saying that if anybody is gonna get some money\r\n"
      "it should be me right...:)  So, if you have money to burn\r\n"
      "send it by a payment service or by post (the README says how) or\r\n"
      "fold it up like a paper airplane and fly it to me...\r\n"
      "If you are still reading this...I hope this is helpful",
      "If you like this, drop me an email");
}
