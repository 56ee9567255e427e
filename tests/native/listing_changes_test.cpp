// What a run changed, read from two listings.

#include <gtest/gtest.h>

#include "runner/listing_changes.h"
#include "tests/native/fake_security.h"

namespace {

ListingChanges Compare(const std::string& before, const std::string& after) {
  FakeSecurity security;
  std::optional<ListingChanges> changes = CompareListings(before, after, security);
  EXPECT_TRUE(changes);
  return changes.value_or(ListingChanges{});
}

// What changed of one object, a line each; empty when nothing did.
std::string ChangeOf(int type, const char* before, const char* after) {
  ListingChanges changes = Compare(Listing({{"x", before}}, type), Listing({{"x", after}}, type));
  EXPECT_EQ(changes.objects, 1u);
  EXPECT_EQ(changes.unreadable, 0u);
  EXPECT_EQ(changes.changed, changes.changes.size());
  std::string text;
  for (const ObjectChange& object : changes.changes)
    for (const std::string& line : object.lines) text += line + "\n";
  return text;
}

constexpr int kFile = 1, kKey = 4;

// One object before and after, and what changed of it.
struct Case {
  int type;
  const char* before;
  const char* after;
  const char* lines;
};

}  // namespace

TEST(WhatChanged, ObjectsAreMatchedByPathAndComparedAsTheSystemReadsThem) {
  std::string before = Listing({
      {"machine\\SOFTWARE\\Same", "O:BAG:SYD:(A;OICI;KR;;;WD)(A;;KA;;;BA)"},
      {"machine\\SOFTWARE\\Granted", "O:BAG:SYD:(A;;KA;;;BA)"},
      {"machine\\SOFTWARE\\Owned", "O:BAG:SYD:(A;;KA;;;BA)(A;CIID;KR;;;BU)"},
      {"machine\\SOFTWARE\\Gone", "O:BAD:(A;;KA;;;BA)"},
  });
  // The same security in another order and spelling, an entry added, the
  // owner, group and inheritance changed with an inherited entry gone, and
  // objects listed only once.
  std::string after = Listing({
      {"machine\\SOFTWARE\\New", "O:BAD:(A;;KA;;;BA)"},
      {"machine\\SOFTWARE\\Owned", "O:SYG:S-1-5-21-9D:P(A;;KA;;;BA)(D;;KW;;;S-1-5-21-9)"},
      {"machine\\SOFTWARE\\Granted", "O:BAG:SYD:(A;;KA;;;BA)(A;CI;KR;;;WD)"},
      {"machine\\SOFTWARE\\Same", "O:S-1-5-32-544G:SYD:(A;;0xf003f;;;BA)(A;CIOI;KR;;;S-1-1-0)"},
  });
  ListingChanges changes = Compare(before, after);
  EXPECT_EQ(ChangesSummary(changes), "2 of 5 objects changed; 2 could not be read");
  EXPECT_EQ(ChangesText(changes),
            "machine\\SOFTWARE\\Granted\r\n"
            "    Added: Allow Everyone: Read (This key and subkeys)\r\n"
            "machine\\SOFTWARE\\Owned\r\n"
            "    Owner: BUILTIN\\Administrators → NT AUTHORITY\\SYSTEM\r\n"
            "    Primary group: NT AUTHORITY\\SYSTEM → S-1-5-21-9 (unknown account)\r\n"
            "    Inheritance: It inherits from its parent → Protected: it inherits nothing from its parent\r\n"
            "    Removed: Allow BUILTIN\\Users: Read (This key and subkeys), inherited\r\n"
            "    Added: Deny S-1-5-21-9 (unknown account): Write (This key only)\r\n"
            "machine\\SOFTWARE\\Gone\r\n"
            "    Not listed after the run: it could not be read, or it is gone.\r\n"
            "machine\\SOFTWARE\\New\r\n"
            "    Not listed before the run: it could not be read, or it is new.\r\n");
  EXPECT_EQ(changes.listedBefore, 4u);
  EXPECT_EQ(changes.listedAfter, 4u);

  ListingChanges none = Compare(Listing({{"C:\\a", "D:(A;;FA;;;BA)"}}), Listing({{"C:\\a", "D:(A;;FA;;;BA)"}}));
  EXPECT_EQ(ChangesSummary(none), "0 of 1 object changed");
  EXPECT_TRUE(none.changes.empty());
}

TEST(WhatChanged, EveryDifferenceIsAChangeInWords) {
  const Case cases[] = {
      // The integrity label: its level, policy and reach, added and removed.
      {kFile, "D:(A;;FA;;;BA)S:(ML;;NW;;;HI)", "D:(A;;FA;;;BA)S:(ML;;NW;;;LW)", "Integrity level: High → Low\n"},
      {kFile, "S:(ML;;NW;;;HI)", "S:(ML;;NWNR;;;HI)", "Integrity policy: no write up → no write up, no read up\n"},
      {kFile, "S:(ML;;NW;;;HI)", "S:(ML;OICI;NW;;;HI)",
       "Integrity label: This folder only, not inherited → This folder, subfolders and files, not inherited\n"},
      {kFile, "D:(A;;FA;;;BA)", "D:(A;;FA;;;BA)S:(ML;;NW;;;ME)",
       "SACL: no SACL → a list\nIntegrity label added: Medium, no write up\n"},
      {kFile, "S:(ML;;NX;;;SI)", "S:", "Integrity label removed: System, no execute up\n"},
      // The control flags of both lists, and a null list.
      {kFile, "D:PAI(A;;FA;;;BA)", "D:P(A;;FA;;;BA)", "DACL: automatic inheritance on → off\n"},
      {kFile, "D:(A;;FA;;;BA)", "D:AR(A;;FA;;;BA)", "DACL: automatic inheritance not required → required\n"},
      {kFile, "S:(AU;SA;FA;;;WD)", "S:PAI(AU;SA;FA;;;WD)",
       "Audit inheritance: It inherits from its parent → Protected: it inherits nothing from its parent\n"
       "SACL: automatic inheritance off → on\n"},
      {kFile, "D:NO_ACCESS_CONTROL", "D:", "DACL: a null DACL → a list\n"},
      // One entry's flags alone: in words where they differ, else with its SDDL.
      {kFile, "D:(A;OICI;FA;;;BA)", "D:(A;OI;FA;;;BA)",
       "Removed: Allow BUILTIN\\Administrators: Full control (This folder, subfolders and files)\n"
       "Added: Allow BUILTIN\\Administrators: Full control (This folder and files)\n"},
      {kKey, "D:(A;;KA;;;BA)", "D:(A;OI;KA;;;BA)",
       "Removed: Allow BUILTIN\\Administrators: Full control (This key only) [(A;;0xf003f;;;S-1-5-32-544)]\n"
       "Added: Allow BUILTIN\\Administrators: Full control (This key only) [(A;OI;0xf003f;;;S-1-5-32-544)]\n"},
      {kFile, "D:(A;;GA;;;BA)", "D:(A;;FA;;;BA)",
       "Removed: Allow BUILTIN\\Administrators: Full control [(A;;0x10000000;;;S-1-5-32-544)]\n"
       "Added: Allow BUILTIN\\Administrators: Full control [(A;;0x1f01ff;;;S-1-5-32-544)]\n"},
      // Kinds without words, by an object type, a condition or an attribute alone.
      {kFile, "D:(OA;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;WD)",
       "D:(OA;;CR;AB721A53-1E2F-11D0-9819-00AA0040529C;;WD)",
       "Removed: (OA;;0x100;ab721a53-1e2f-11d0-9819-00aa0040529b;;S-1-1-0)\n"
       "Added: (OA;;0x100;ab721a53-1e2f-11d0-9819-00aa0040529c;;S-1-1-0)\n"},
      {kFile, "D:(XA;;FR;;;WD;(Member_of {SID(BA)}))", "D:(XA;;FR;;;WD;(Member_of {SID(BU)}))",
       "Removed: (XA;;0x120089;;;S-1-1-0;(Member_of {SID(BA)}))\n"
       "Added: (XA;;0x120089;;;S-1-1-0;(Member_of {SID(BU)}))\n"},
      {kFile, "S:(RA;;;;;WD;(\"Project\",TS,0,\"Alpha\"))", "S:(RA;;;;;WD;(\"Project\",TS,0,\"Beta\"))",
       "Removed: (RA;;0x0;;;S-1-1-0;(\"Project\",TS,0,\"Alpha\"))\n"
       "Added: (RA;;0x0;;;S-1-1-0;(\"Project\",TS,0,\"Beta\"))\n"},
      // The same, spelled otherwise; and an SDDL the system cannot read.
      {kFile, "D:(OA;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;WD)S:(ML;;NW;;;HI)",
       "D:(OA;;0x100;AB721A53-1E2F-11D0-9819-00AA0040529B;;S-1-1-0)S:(ML;;0x1;;;S-1-16-12288)", ""},
      {kFile, "D:(A;;FA;;;BA)", "D:(Q;;FA;;;BA)", "Its SDDL could not be read.\n"},
      // What the system refuses the fake refuses too: a SID that is none.
      {kFile, "O:BAD:(A;;FA;;;BA)", "O:nobodyD:(A;;FA;;;BA)", "Its SDDL could not be read.\n"},
      {kFile, "D:(Q;;FA;;;BA)", "D:(Q;;FA;;;BA)", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeOf(c.type, c.before, c.after), c.lines) << c.before << " → " << c.after;
}

// A deny and an allow passing each other in the DACL.
TEST(WhatChanged, AnOrderThatDecidesOtherwiseIsAChange) {
  const Case cases[] = {
      {kFile, "D:(A;;FR;;;BU)(D;;FW;;;WD)", "D:(D;;FW;;;WD)(A;;FR;;;BU)",
       "Order changed: Deny Everyone: Write now stands before Allow BUILTIN\\Users: Read\n"},
      {kFile, "D:(D;;FW;;;WD)(A;;FA;;;BA)(A;;FR;;;BU)", "D:(A;;FA;;;BA)(D;;FW;;;WD)(A;;FR;;;BU)",
       "Order changed: Allow BUILTIN\\Administrators: Full control now stands before Deny Everyone: Write\n"},
      {kFile, "D:(A;;FR;;;BU)(XD;;FW;;;WD;(Member_of {SID(BA)}))", "D:(XD;;FW;;;WD;(Member_of {SID(BA)}))(A;;FR;;;BU)",
       "Order changed: (XD;;0x120116;;;S-1-1-0;(Member_of {SID(BA)})) now stands before Allow BUILTIN\\Users: Read\n"},
      // Alongside an entry added, and one listed twice.
      {kFile, "D:(A;;FR;;;BU)(D;;FW;;;WD)", "D:(D;;FW;;;WD)(A;;FA;;;BA)(A;;FR;;;BU)",
       "Added: Allow BUILTIN\\Administrators: Full control\n"
       "Order changed: Deny Everyone: Write now stands before Allow BUILTIN\\Users: Read\n"},
      {kFile, "D:(A;;FR;;;BU)(D;;FW;;;WD)(A;;FR;;;BU)", "D:(D;;FW;;;WD)(A;;FR;;;BU)(A;;FR;;;BU)",
       "Order changed: Deny Everyone: Write now stands before Allow BUILTIN\\Users: Read\n"},
      // Allows among allows, denies among denies, and the SACL decide nothing otherwise.
      {kFile, "D:(D;;FW;;;WD)(A;;FR;;;BU)(A;;FA;;;BA)", "D:(D;;FW;;;WD)(A;;FA;;;BA)(A;;FR;;;BU)", ""},
      {kFile, "D:(D;;FW;;;WD)(D;;FA;;;BG)(A;;FR;;;BU)", "D:(D;;FA;;;BG)(D;;FW;;;WD)(A;;FR;;;BU)", ""},
      {kFile, "S:(AU;SA;FA;;;WD)(AU;FA;FR;;;BU)", "S:(AU;FA;FR;;;BU)(AU;SA;FA;;;WD)", ""},
      {kFile, "D:(A;;FR;;;BU)(D;;FW;;;WD)S:(ML;;NW;;;HI)(AU;SA;FA;;;WD)",
       "D:(A;;FR;;;BU)(D;;FW;;;WD)S:(AU;SA;FA;;;WD)(ML;;NW;;;HI)", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeOf(c.type, c.before, c.after), c.lines) << c.before << " → " << c.after;
}

// Alike SDDLs paired first, then the rest in listing order, the extras listed only once.
TEST(WhatChanged, AnObjectListedTwiceIsMatchedAsAMultiset) {
  ListingChanges changes = Compare(
      Listing({{"C:\\d", "D:(A;;FR;;;BU)"}, {"C:\\e", "D:(A;;FA;;;BA)"}, {"C:\\d", "D:(A;;FW;;;BU)"},
               {"C:\\d", "D:(A;;FA;;;WD)"}, {"C:\\f", "D:(A;;FA;;;BA)"}}, kFile),
      Listing({{"C:\\d", "D:(A;;FW;;;BU)"}, {"C:\\e", "D:(A;;FA;;;BA)"}, {"C:\\d", "D:(A;;FR;;;WD)"},
               {"C:\\d", "D:(A;;FR;;;BU)"}, {"C:\\g", "D:(A;;FA;;;BA)"}, {"C:\\g", "D:(A;;FA;;;BA)"}}, kFile));
  EXPECT_EQ(ChangesSummary(changes), "1 of 7 objects changed; 3 could not be read");
  EXPECT_EQ(ChangesText(changes),
            "C:\\d\r\n"
            "    Removed: Allow Everyone: Full control\r\n"
            "    Added: Allow Everyone: Read\r\n"
            "C:\\f\r\n"
            "    Not listed after the run: it could not be read, or it is gone.\r\n"
            "C:\\g\r\n"
            "    Not listed before the run: it could not be read, or it is new.\r\n"
            "C:\\g\r\n"
            "    Not listed before the run: it could not be read, or it is new.\r\n");
  EXPECT_EQ(changes.listedBefore, 5u);
  EXPECT_EQ(changes.listedAfter, 6u);

  // Listed twice on one side only, where the listings stand in one order.
  const std::string once = Listing({{"C:\\d", "D:(A;;FW;;;BU)"}}, kFile),
                    twice = Listing({{"C:\\d", "D:(A;;FR;;;BU)"}, {"C:\\d", "D:(A;;FW;;;BU)"}}, kFile);
  EXPECT_EQ(ChangesSummary(Compare(twice, once)), "0 of 2 objects changed; 1 could not be read");
  EXPECT_EQ(ChangesSummary(Compare(once, twice)), "0 of 2 objects changed; 1 could not be read");
}

// A line that begins as an object's but cannot be read is named, never dropped.
TEST(WhatChanged, DamagedLinesAreNamedAsUnreadable) {
  std::string longLine = "\"C:\\", opening = longLine;
  for (int i = 0; i < 300; ++i) longLine += "é";
  for (int i = 0; i < 196; ++i) opening += "é";
  ListingChanges changes = Compare("\"C:\\cut\",1,\"D:(A;;FA\r\n\"C:\\a\",1,\"D:\"\r\n",
                                   "\"C:\\a\",1,\"D:\"\r\n" + longLine + "\r\n");
  EXPECT_EQ(ChangesText(changes),
            "A line of the listing before the run could not be read: \"C:\\cut\",1,\"D:(A;;FA\r\n"
            "A line of the listing after the run could not be read: " + opening + "\r\n");
  EXPECT_EQ(changes.unreadableLines, 2u);
  EXPECT_EQ(changes.unreadable, 2u);
  EXPECT_EQ(ChangesSummary(changes), "0 of 1 object changed; 2 could not be read");

  ListingChanges nothing = Compare("SetACL finished with error(s)\r\n", "");
  EXPECT_EQ(nothing.listedBefore, 0u);
  EXPECT_EQ(nothing.listedAfter, 0u);
  EXPECT_TRUE(nothing.changes.empty());
}

TEST(WhatChanged, StoppedOnTheWayGivesNone) {
  std::string before;
  for (int i = 0; i < 70000; ++i) before += "\"C:\\" + std::to_string(i) + "\",1,\"D:\"\n";
  FakeSecurity security;
  int asked = 0;
  EXPECT_FALSE(CompareListings(before, before, security, [&] { return ++asked > 1; }));
  EXPECT_GT(asked, 1);
  EXPECT_TRUE(CompareListings(before, before, security, [] { return false; }));
}

TEST(WhatChanged, WithoutTheSaclAuditEntriesAndLabelsAreLeftOut) {
  FakeSecurity security;
  const std::string before = Listing({{"x", "O:BAD:(A;;KA;;;BA)S:(AU;SA;KA;;;WD)(ML;;NW;;;HI)"}});
  const std::string after = Listing({{"x", "O:BAD:(A;;KA;;;BA)"}}), changed = Listing({{"x", "O:BUD:(A;;KA;;;BA)"}});
  EXPECT_EQ(CompareListings(before, after, security, {}, false)->changed, 0u);
  EXPECT_EQ(CompareListings(before, after, security, {}, true)->changed, 1u);
  EXPECT_EQ(CompareListings(before, changed, security, {}, false)->changed, 1u);
}
