// The call string in plain words.

#include <gtest/gtest.h>

#include "setacl/explain.h"

namespace {

const std::string kFolder = "Object: the file or folder \"C:\\D\"; reach: the object only";

}  // namespace

TEST(Explain, EachActionEntryAndWarning) {
  struct Case {
    const char* arguments;  // after SetACL.exe -on "C:\D" -ot file
    std::string text;       // after the object's line
  };
  const Case cases[] = {
      {"", ""},
      {" -rec cont", "!Object: the file or folder \"C:\\D\"; reach: the object and every folder below it, not the files"},
      {" -actn ace -ace \"n:Users;p:read_ex,profile;i:so,sc;m:set;w:dacl\" ",
       "ACE: set \"Users\" to read and execute and modify and change permissions (their other "
       "entries there go), in the DACL; inherited by files (sub-objects) and folders (sub-containers)"},
      {" -actn ace -ace \"n:S-1-5-32-545;p:full;s:y;m:revoke;w:dacl\" ",
       "ACE: revoke every entry of \"S-1-5-32-545\" (a SID), in the DACL"},
      {" -actn ace -ace \"n:Bob;p:write;m:aud_fail;w:sacl\" ",
       "ACE: audit \"Bob\" failing at write, in the SACL"},
      {" -actn trustee -trst \"n1:Users;n2:Guests;s2:y;ta:repltrst;w:dacl,sacl\"",
       "Trustee: replace \"Users\" by \"Guests\" (a SID) in every entry, in the DACL and the SACL"},
      {" -actn trustee -trst \"n1:Old;ta:remtrst;w:sacl\"",
       "Trustee: remove every entry of \"Old\", in the SACL"},
      {" -actn setowner -ownr \"n:Bob;\"", "Owner: becomes \"Bob\""},
      {" -actn setgroup -grp \"n:S-1-5-32-544;s:y\"", "Primary group: becomes \"S-1-5-32-544\" (a SID)"},
      {" -actn setprot -op \"dacl:nc;sacl:p_nc\"",
       "Inheritance: the DACL unchanged; the SACL protected, the parent's entries removed"},
      {" -fltr \"Temp\" ", "Filter: skip every object whose path holds \"Temp\""},
      {" -log \"D:\\Tools\\LogFiles\\a.log\"", "Log: what it does is added to \"D:\\Tools\\LogFiles\\a.log\""},
      {" -ignoreerr", "Continue on errors: an object it cannot change is skipped, the run goes on"},
      // Hand-edited lists: read as far as they can be.
      {" -actn ace -ace \"n:A;p:read,readd;m:grant\" junk -ace \"garbage\" -trst",
       "ACE: grant \"A\" read and \"readd\" (not understood) (added to what they have), in the DACL\r\n"
       "Not understood: \"junk\"\r\nNot understood: the entry \"garbage\"\r\n"
       "Not understood: -trst without a value"},
      {" -actn ace -ace \"n:A;N:B;p:read\" ", "Not understood: the entry \"n:A;N:B;p:read\""},
      // Warnings.
      {" -actn ace -ace \"n:A;p:read;m:grant;w:sacl,dacl\" ",
       "ACE: grant \"A\" read (added to what they have), in the DACL and the SACL\r\n"
       "Warning: The entry for \"A\" names both lists (w:sacl,dacl): SetACL.exe refuses it; add one "
       "entry for each list."},
      {" -actn ace -ace \"n:A;p:read;m:set;w:sacl\" ",
       "ACE: set \"A\" to read (their other entries there go), in the SACL\r\n"
       "Warning: The entry for \"A\" in the SACL has the mode \"set\": SetACL.exe refuses it there "
       "(only aud_succ, aud_fail and revoke)."},
      // The lists' modes from the one table the editor offers them by.
      {" -actn ace -ace \"n:A;p:read;m:aud_succ;w:dacl\" ",
       "ACE: audit \"A\" succeeding at read, in the DACL\r\n"
       "Warning: The entry for \"A\" in the DACL has the mode \"aud_succ\": SetACL.exe refuses it there "
       "(only set, grant, revoke and deny)."},
      {" -actn ace -ace \"n:everyone;p:write;m:deny;w:dacl\" ",
       "ACE: deny \"everyone\" write, in the DACL\r\nWarning: Deny for Everyone applies to every "
       "account, administrators and SYSTEM included."},
      {" -actn setowner -ownr \"-x\"",
       "Not understood: owner \"-x\"\r\nWarning: The value \"-x\" of -ownr begins with \"-\": "
       "SetACL.exe refuses it, taking it for an option."},
      {" -actn clear -clr \"sacl\"", "Clear: every explicit entry of the SACL goes\r\nWarning: "
       "Clear D/S ACL removes every explicit entry of the SACL; only inherited entries stay."},
      {" -actn rstchldrn -rst \"dacl,sacl\"",
       "Reset children: the DACL and the SACL of everything below the object is replaced by what "
       "it inherits\r\nWarning: Reset Children replaces the permissions of everything below the object."},
      {" -silent ", "Silent: SetACL.exe prints nothing\r\nWarning: Silent: SetACL.exe will not report "
       "its errors either."},
  };
  for (const Case& c : cases) {
    std::string text = ExplainCall(std::string("SetACL.exe -on \"C:\\D\" -ot file") + c.arguments);
    std::string expected = c.text.starts_with('!') ? c.text.substr(1)
                           : c.text.empty()        ? kFolder
                                                   : kFolder + "\r\n" + c.text;
    EXPECT_EQ(text, expected) << c.arguments;
  }
}

TEST(Explain, WhatTheObjectNameLeavesTheTool) {
  EXPECT_EQ(ExplainCall("SetACL.exe -on \"\" -ot shr"),
            "Object: the network share \"\"; reach: the object only\r\n"
            "Warning: No object name: SetACL.exe will not run.");
  EXPECT_EQ(ExplainCall("SetACL.exe -on \"  \" -ot prn -rec yes"),
            "Object: the printer \"  \"; reach: the object only\r\n"
            "Warning: The object name is only blanks: no object has that name.");
  // Escaped quotes belong to the name: read whole, no reach below it, nothing to warn of.
  EXPECT_EQ(ExplainCall(R"(SetACL.exe -on "C:\My \"Data\"\\" -ot file)"),
            R"(Object: the file or folder "C:\My "Data"\"; reach: the object only)");
  EXPECT_EQ(ExplainCall(R"(SetACL.exe -on "HKLM\SOFTWARE\Acme\Sub\" -rec \"yes" -ot reg)"),
            R"(Object: the registry key "HKLM\SOFTWARE\Acme\Sub" -rec "yes"; )"
            R"(reach: the object only)");
  // Unescaped, a quote ends the value, and what follows it is read as given.
  EXPECT_EQ(ExplainCall(R"(SetACL.exe -on "HKLM\SOFTWARE\Acme\Sub" -rec "yes" -ot reg)"),
            R"(Object: the registry key "HKLM\SOFTWARE\Acme\Sub"; )"
            R"(reach: the key and every subkey below it)");
}
