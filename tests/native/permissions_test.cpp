// "Current Permissions": the listing it runs and the SDDL read into a table in words.

#include <gtest/gtest.h>

#include "run/frm_permissions.h"
#include "setacl/listing.h"
#include "tests/native/fakes.h"

namespace {

// The table in lines; its first left out where nothing is listed of owner, group and inheritance.
std::string Table(const std::string& sddl, ObjectType type, bool container = true) {
  FakeSecurity security;
  PermissionTable table = TableOf(*security.Read(sddl), type, container, security);
  std::string text = "Owner " + table.owner + "; group " + table.group + "; " + table.inheritance + "\n";
  if (text == "Owner (not listed); group (not listed); It inherits from its parent\n") text.clear();
  for (const PermissionRow& row : table.rows)
    text += row.type + " | " + row.account + " | " + row.access + " | " + row.inherited + " | " +
            row.appliesTo + "\n";
  for (const std::string& warning : table.warnings) text += "! " + warning + "\n";
  return text;
}

}  // namespace

TEST(PermissionTable, SddlToRowsInEachTypesWords) {
  struct Case { ObjectType type; bool container; const char *sddl, *table; };
  const Case cases[] = {
      // Every reach below a folder, generic rights, inherited entries, an unknown account.
      {ObjectType::File, true,
       "O:BAG:SYD:PAI(A;OICI;FA;;;BA)(A;CI;0x1301bf;;;S-1-5-21-1-2-3-1001)(A;OI;0x1200a9;;;BU)"
       "(A;OICIIO;GA;;;CO)(A;CIIO;FR;;;WD)(A;OIIO;FW;;;AU)(A;;0x1f01ff;;;SY)(A;OICINP;0x21;;;BU)"
       "(A;OICIID;0x1201bf;;;AU)",
       "Owner BUILTIN\\Administrators; group NT AUTHORITY\\SYSTEM; Protected: it inherits nothing "
       "from its parent\n"
       "Allow | BUILTIN\\Administrators | Full control | No | This folder, subfolders and files\n"
       "Allow | S-1-5-21-1-2-3-1001 (unknown account) | Modify | No | This folder and subfolders\n"
       "Allow | BUILTIN\\Users | Read & execute | No | This folder and files\n"
       "Allow | CREATOR OWNER | Full control | No | Subfolders and files only\n"
       "Allow | Everyone | Read | No | Subfolders only\n"
       "Allow | NT AUTHORITY\\Authenticated Users | Write | No | Files only\n"
       "Allow | NT AUTHORITY\\SYSTEM | Full control | No | This folder only\n"
       "Allow | BUILTIN\\Users | list folder / read data, traverse folder / execute file | No | "
       "This folder, subfolders and files, the next level only\n"
       "Allow | NT AUTHORITY\\Authenticated Users | Read & execute, Write | Yes | This folder, "
       "subfolders and files\n"
       "! Unknown account S-1-5-21-1-2-3-1001: no account has this SID now; it may have been deleted.\n"},
      {ObjectType::Registry, true, "O:SYD:(A;CI;KA;;;BA)(A;CIIO;GR;;;BU)(A;;0x3;;;WD)",
       "Owner NT AUTHORITY\\SYSTEM; group (not listed); It inherits from its parent\n"
       "Allow | BUILTIN\\Administrators | Full control | No | This key and subkeys\n"
       "Allow | BUILTIN\\Users | Read | No | Subkeys only\n"
       "Allow | Everyone | query values, set values | No | This key only\n"},
      {ObjectType::Service, false, "D:(A;;0xf01ff;;;BA)(A;;0x2008d;;;AU)(A;;0x30;;;BU)",
       "Allow | BUILTIN\\Administrators | Full control | No | \n"
       "Allow | NT AUTHORITY\\Authenticated Users | Read | No | \n"
       "Allow | BUILTIN\\Users | start, stop | No | \n"},
      {ObjectType::Printer, false, "D:(A;;0xf000c;;;BA)(A;OIIO;0xf0030;;;CO)(A;;0x20008;;;WD)",
       "Allow | BUILTIN\\Administrators | Full control | No | \n"
       "Allow | CREATOR OWNER | Manage documents | No | \n"
       "Allow | Everyone | Print | No | \n"},
      {ObjectType::Share, false, "D:(A;;0x1200a9;;;WD)(D;;0x1301bf;;;BG)",
       "Allow | Everyone | Read | No | \n"
       "Deny | S-1-5-32-546 (unknown account) | Change | No | \n"
       "! Out of canonical order: the deny entry for S-1-5-32-546 (unknown account) stands after an "
       "allow entry, so an allowed right may pass it.\n"
       "! Unknown account S-1-5-32-546: no account has this SID now; it may have been deleted.\n"},
      // Audit entries, and a file, which reaches nothing below it.
      {ObjectType::File, false, "D:(A;;FR;;;BU)S:(AU;SA;FW;;;WD)(AU;FA;SD;;;AU)(AU;SAFA;FA;;;BA)",
       "Allow | BUILTIN\\Users | Read | No | \n"
       "Audit success | Everyone | Write | No | \n"
       "Audit failure | NT AUTHORITY\\Authenticated Users | delete | No | \n"
       "Audit success and failure | BUILTIN\\Administrators | Full control | No | \n"},
      // An integrity label in words; other kinds by name, as the system writes them.
      {ObjectType::File, true,
       "D:(A;;FA;;;BA)(OA;CI;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;WD)"
       "S:(ML;OICI;NWNR;;;HI)(RA;ID;;;;WD;(\"Project\",TS,0,\"Alpha\"))",
       "Allow | BUILTIN\\Administrators | Full control | No | This folder only\n"
       "Allow (object) |  | (OA;CI;0x100;ab721a53-1e2f-11d0-9819-00aa0040529b;;S-1-1-0) | No | "
       "This folder and subfolders\n"
       "Integrity label | High | no write up, no read up | No | This folder, subfolders and files\n"
       "Resource attribute |  | (RA;ID;0x0;;;S-1-1-0;(\"Project\",TS,0,\"Alpha\")) | Yes | This folder only\n"},
      // No one, everyone, and an order the system does not keep.
      {ObjectType::File, true, "D:P",
       "Owner (not listed); group (not listed); Protected: it inherits nothing from its parent\n"
       "! The DACL is empty: no one has access.\n"},
      {ObjectType::File, true, "D:NO_ACCESS_CONTROL",
       "! There is no DACL: everyone has full access.\n"},
      {ObjectType::File, true, "O:BA",
       "Owner BUILTIN\\Administrators; group (not listed); It inherits from its parent\n"
       "! There is no DACL: everyone has full access.\n"},
      {ObjectType::File, true, "D:(A;ID;FR;;;BU)(A;;FA;;;BA)(D;;FW;;;WD)",
       "Allow | BUILTIN\\Users | Read | Yes | This folder only\n"
       "Allow | BUILTIN\\Administrators | Full control | No | This folder only\n"
       "Deny | Everyone | Write | No | This folder only\n"
       "! Out of canonical order: the explicit entry for BUILTIN\\Administrators stands after "
       "inherited entries.\n"
       "! Out of canonical order: the deny entry for Everyone stands after an allow entry, so an "
       "allowed right may pass it.\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(Table(c.sddl, c.type, c.container), c.table) << c.sddl;
}

namespace {

class CurrentPermissions : public ::testing::Test, public Headless {
 protected:
  CurrentPermissions() {
    files.folders.insert("C:\\Data");
    type(main.txtObjName, "C:\\Data");
  }
  FrmPermissions& list(std::deque<std::string> output, std::uint32_t exitCode = 0) {
    processes.output = std::move(output);
    processes.exitCode = exitCode;
    main.cmdCurrent.userClick();
    processes.finish();
    return main.permissionsWindow();
  }
};

}  // namespace

TEST_F(CurrentPermissions, ListsEachTypeAskingNothing) {
  const char* codes[] = {"file", "reg", "srv", "prn", "shr"};
  for (int type = 0; type < 5; ++type) {
    main.CboObjType.userPick(type);
    main.cmdCurrent.userClick();
    processes.finish();
    EXPECT_EQ(processes.started.back(), std::string("C:\\SetACL\\SetACL.exe -on \"C:\\Data\" -ot ") +
                                            codes[type] + " -actn list -lst \"f:sddl;w:d,s,o,g\"");
  }
}

// The raw listing stays in the output; the table copies as tab-separated text.
TEST_F(CurrentPermissions, ShowsTheListingAsATable) {
  FrmPermissions& window =
      list({"SetACL stand-in listing of \"C:\\Data\": read from the system\r\n\r\n",
            "\"C:\\Data\",1,\"O:BAG:SYD:PAI(A;OICI;FA;;;BA)(A;OICIID;0x1200a9;;;BU)\"\r\n"});
  EXPECT_TRUE(window.visible());
  EXPECT_EQ(window.text(), "Current Permissions");
  EXPECT_EQ(window.lblObject.text(), "Object: C:\\Data");
  EXPECT_EQ(window.lblOwner.text(), "Owner: BUILTIN\\Administrators");
  EXPECT_EQ(window.lblInheritance.text(), "Inheritance: Protected: it inherits nothing from its parent");
  EXPECT_EQ(window.lvwEntries.rows().size(), 2u);
  EXPECT_EQ(window.txtNotes.text(), "Nothing to warn of.");
  EXPECT_TRUE(main.txtOutputs.text().find("\"C:\\Data\",1,\"O:BA") != std::string::npos);
  window.cmdCopy.userClick();
  EXPECT_EQ(clipboard.text,
            "Type\tAccount\tAccess\tInherited\tApplies to\r\n"
            "Allow\tBUILTIN\\Administrators\tFull control\tNo\tThis folder, subfolders and files\r\n"
            "Allow\tBUILTIN\\Users\tRead & execute\tYes\tThis folder, subfolders and files\r\n");
}

TEST_F(CurrentPermissions, AFailedListingShowsWhyAndNoTable) {
  FrmPermissions& window = list(
      {"SetACL finished with error(s):\r\nSetACL error message: The object does not exist\r\n"}, 2);
  EXPECT_TRUE(window.visible());
  EXPECT_FALSE(window.lvwEntries.visible());
  EXPECT_FALSE(window.lblOwner.visible());
  EXPECT_EQ(window.txtNotes.text(),
            "The listing failed (FAILED: exit code 2). SetACL.exe wrote:\r\nSetACL finished with error(s):\r\n"
            "SetACL error message: The object does not exist\r\n");
  window.cmdClose.userClick();
  EXPECT_TRUE(list({"\"C:\\Data\",1,\"D:(A;;FA;;;BA)\"\r\n"}).lvwEntries.visible());
}
