// The Tree Report window, driven through the main window.

#include <gtest/gtest.h>

#include "report/frm_tree_report.h"
#include "setacl/call_reader.h"
#include "setacl/call_string.h"
#include "tests/native/fakes.h"

namespace {

// A key and four below it: one as its parent gives, one blocked, one with an
// entry of its own for an account gone, and two set before automatic
// inheritance.
constexpr const char* kListing =
    "\"machine\\SOFTWARE\\Acme\",4,\"O:BAD:PAI(A;CI;KA;;;BA)(A;CIIO;GR;;;BU)\"\r\n"
    "\"machine\\SOFTWARE\\Acme\\Good\",4,\"O:BAD:AI(A;CIID;KA;;;BA)(A;ID;KR;;;BU)(A;CIIOID;GR;;;BU)\"\r\n"
    "\"machine\\SOFTWARE\\Acme\\Blocked\",4,\"O:BAD:PAI(A;CI;KA;;;BA)\"\r\n"
    "\"machine\\SOFTWARE\\Acme\\Own\",4,\"O:BAD:AI(A;;KR;;;S-1-5-21-1-2-3-1001)(A;CIID;KA;;;BA)"
    "(A;ID;KR;;;BU)(A;CIIOID;GR;;;BU)\"\r\n"
    "\"machine\\SOFTWARE\\Acme\\Old1\",4,\"O:BAD:(A;CI;KA;;;BA)(A;;KR;;;BU)(A;CIIO;GR;;;BU)\"\r\n"
    "\"machine\\SOFTWARE\\Acme\\Old2\",4,\"O:BAD:(A;CI;KA;;;BA)(A;;KR;;;BU)(A;CIIO;GR;;;BU)\"\r\n";

constexpr const char* kCompareWith =
    "Compare with which earlier listing of this tree? A file of the Backups folder (a report's listing), or "
    "Snapshots\\ and a run's snapshot.";

class TreeReportWindow : public ::testing::Test, public Headless {
 protected:
  TreeReportWindow() {
    main.CboObjType.userPick(1);
    type(main.txtObjName, "HKLM\\SOFTWARE\\Acme");
  }
  std::string listingFile() { return ReadCall(processes.started.back()).backupFile; }
  FrmTreeReport& open() {
    main.cmdTreeReport.userClick();
    return main.treeReportWindow();
  }
  // The report of a listing the tool wrote whole.
  FrmTreeReport& report(const std::string& listing = kListing) {
    open();
    files.texts[listingFile()] = listing;
    processes.finish();
    return main.treeReportWindow();
  }
  static std::vector<std::string> Paths(const FrmTreeReport& window) {
    std::vector<std::string> paths;
    for (const auto& row : window.lvwDepartures.rows()) paths.push_back(row[0]);
    return paths;
  }
};

}  // namespace

// Read as it grows: not yet made, a line cut short, whole.
TEST_F(TreeReportWindow, ListsTheTreeIntoBackupsAndReadsItAsItGrows) {
  FrmTreeReport& window = open();
  const std::string file = listingFile();
  EXPECT_TRUE(file.starts_with("D:\\Tools\\Backups\\Tree ") && file.ends_with(".txt")) << file;
  EXPECT_EQ(processes.started.back(), "C:\\SetACL\\SetACL.exe -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -rec yes "
                                      "-ignoreerr -actn list -lst \"f:sddl;w:d,o\" -bckp \"" + file + "\"");
  EXPECT_TRUE(window.visible());
  EXPECT_EQ(window.text(), "Tree Report");
  EXPECT_FALSE(window.cmdMend.enabled());
  EXPECT_TRUE(window.cmdStop.visible());

  window.onTimer();  // nothing written yet: no file, no failure
  const std::string listing = kListing;
  files.texts[file] = listing.substr(0, listing.find("\\Blocked") + 20);
  window.onTimer();
  EXPECT_EQ(window.lblStatus.text(), "Listing the tree: 2 objects read");
  files.texts[file] = listing;
  processes.finish();
  EXPECT_EQ(window.lblSummary.text(), "4 of 5 objects depart from what their parents give");
  EXPECT_EQ(window.lblObject.text(), "Object: HKLM\\SOFTWARE\\Acme, listed as machine\\SOFTWARE\\Acme");
  EXPECT_EQ(window.lblStatus.text(), "The listing: " + file + " (Exit code 0)");
  EXPECT_TRUE(window.cmdMend.enabled());
  EXPECT_FALSE(window.cmdStop.visible());
  EXPECT_EQ(window.txtNotes.text(), "Unknown account S-1-5-21-1-2-3-1001: no account has this SID now; 1 object names it.\r\n");
}

// Those set before automatic inheritance one row until their reason is chosen.
TEST_F(TreeReportWindow, ShowsTheDeparturesFilteredAndSorted) {
  FrmTreeReport& window = report();
  EXPECT_EQ(window.lvwDepartures.columns(), (std::vector<std::string>{"Path", "Reasons", "Entries"}));
  ASSERT_EQ(window.lvwDepartures.rows().size(), 3u);
  EXPECT_EQ(window.lvwDepartures.rows()[0],
            (std::vector<std::string>{"machine\\SOFTWARE\\Acme\\Blocked", "Inheritance blocked, Entries of its own",
                                      "Allow BUILTIN\\Administrators: Full control (This key and subkeys)"}));
  EXPECT_EQ(window.lvwDepartures.rows()[2],
            (std::vector<std::string>{"(2 objects)", "Set before automatic inheritance",
                                      "Choose this reason above to list them, each with its entries."}));

  window.cboReason.userPick(1 + static_cast<int>(Departs::BeforeAutoInheritance));
  EXPECT_EQ(Paths(window), (std::vector<std::string>{"machine\\SOFTWARE\\Acme\\Old1", "machine\\SOFTWARE\\Acme\\Old2"}));
  window.cboReason.userPick(1 + static_cast<int>(Departs::OwnEntries));
  EXPECT_EQ(Paths(window), (std::vector<std::string>{"machine\\SOFTWARE\\Acme\\Blocked", "machine\\SOFTWARE\\Acme\\Own"}));
  window.lvwDepartures.userClickColumn(0);
  window.lvwDepartures.userClickColumn(0);
  EXPECT_EQ(Paths(window), (std::vector<std::string>{"machine\\SOFTWARE\\Acme\\Own", "machine\\SOFTWARE\\Acme\\Blocked"}));
  window.cboReason.userPick(1 + static_cast<int>(Departs::Stale));
  EXPECT_TRUE(window.lvwDepartures.rows().empty());
}

TEST_F(TreeReportWindow, MendFillsTheMainWindow) {
  FrmTreeReport& window = report();
  window.lvwDepartures.userClickColumn(0);
  dialogs.expect({"Choose an object to mend.", "Mend"}, forms::Answer::Ok);
  window.cmdMend.userClick();
  window.lvwDepartures.userSelect(2);  // the group, last whatever the order
  dialogs.expect({"Choose the reason \"Set before automatic inheritance\" to list these objects, then one of them "
                  "to mend.", "Mend"}, forms::Answer::Ok);
  window.cmdMend.userClick();
  EXPECT_TRUE(dialogs.allShown());

  window.lvwDepartures.userSelect(1);
  window.cmdMend.userClick();
  EXPECT_FALSE(window.visible());
  EXPECT_EQ(main.txtObjName.text(), "HKLM\\SOFTWARE\\Acme\\Own");
  EXPECT_EQ(main.txtCallString.text(), CallString(main.command(), "D:\\Tools"));
  EXPECT_EQ(main.command().daclProtection, Protection::InheritsParent);
  EXPECT_EQ(main.command().clear, AclLists::Dacl);
}

// The mend of each kind of departure: inheriting again always, the DACL's
// own entries cleared only where it has any.
TEST(MendOf, EachKindOfDeparture) {
  struct Case {
    const char* sddl;
    const char* arguments;
  };
  const Case cases[] = {
      {"D:PAI(A;CI;KA;;;BA)", " -actn setprot -op \"dacl:np;sacl:nc\" -actn clear -clr \"dacl\""},
      {"D:AI(A;;KR;;;WD)(A;CIID;KA;;;BA)", " -actn setprot -op \"dacl:np;sacl:nc\" -actn clear -clr \"dacl\""},
      {"D:(A;CI;KA;;;BA)", " -actn setprot -op \"dacl:np;sacl:nc\" -actn clear -clr \"dacl\""},
      {"D:AI(A;CIID;KR;;;WD)", " -actn setprot -op \"dacl:np;sacl:nc\""},  // stale and missing
      {"D:AI", " -actn setprot -op \"dacl:np;sacl:nc\""},
      {"D:NO_ACCESS_CONTROL", " -actn setprot -op \"dacl:np;sacl:nc\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sddl);
    FakeSecurity security;
    TreeAnalysis analysis(security);
    analysis.feed("\"machine\\SOFTWARE\\Acme\",4,\"D:PAI(A;CI;KA;;;BA)\"\r\n\"machine\\SOFTWARE\\Acme\\Key\",4,\"" +
                  std::string(c.sddl) + "\"\r\n");
    TreeReport report = analysis.finish();
    ASSERT_EQ(report.departures.size(), 1u);
    const Command mend = MendOf(report.departures[0], "HKLM\\SOFTWARE\\Acme\\Key", ObjectType::Registry);
    EXPECT_EQ(CallArguments(mend, "D:\\Tools"), " -on \"HKLM\\SOFTWARE\\Acme\\Key\" -ot reg" + std::string(c.arguments));
  }
}

TEST_F(TreeReportWindow, CompareWithShowsWhatDrifted) {
  FrmTreeReport& window = report();
  std::string earlier = kListing;
  earlier.replace(earlier.find("(A;;KR;;;S-1-5-21-1-2-3-1001)"), std::string("(A;;KR;;;S-1-5-21-1-2-3-1001)").size(), "");
  files.texts["D:\\Tools\\Backups\\Tree earlier.txt"] = earlier;
  dialogs.expectInput(kCompareWith, "Compare With", "Tree earlier.txt");
  window.cmdCompare.userClick();
  EXPECT_EQ(window.txtNotes.text(),
            "Since D:\\Tools\\Backups\\Tree earlier.txt: 1 of 6 objects changed\r\n"
            "machine\\SOFTWARE\\Acme\\Own\r\n    Added: Allow S-1-5-21-1-2-3-1001 (unknown account): Read (This key only)\r\n");
  dialogs.expectInput(kCompareWith, "Compare With", "Tree gone.txt");
  window.cmdCompare.userClick();
  EXPECT_EQ(window.txtNotes.text(), "The listing D:\\Tools\\Backups\\Tree gone.txt could not be read.");
}

TEST_F(TreeReportWindow, WhereAnAccountAppears) {
  FrmTreeReport& window = report();
  window.txtAccount.userEdit("BUILTIN\\Users");
  window.cmdWhere.userClick();
  EXPECT_EQ(window.txtNotes.text(),
            "BUILTIN\\Users appears in the DACL of 5 objects:\r\nmachine\\SOFTWARE\\Acme\r\n"
            "machine\\SOFTWARE\\Acme\\Good\r\nmachine\\SOFTWARE\\Acme\\Own\r\nmachine\\SOFTWARE\\Acme\\Old1\r\n"
            "machine\\SOFTWARE\\Acme\\Old2\r\n");
  window.txtAccount.userEdit("Everyone");
  window.cmdWhere.userClick();
  EXPECT_EQ(window.txtNotes.text(), "Everyone appears in the DACL of 0 objects.\r\n");
}

// CSV and HTML beside the listing; the CSV a row per object and reason, in
// UTF-8 with its mark, no cell read as a formula.
TEST_F(TreeReportWindow, ExportsBesideTheListing) {
  FrmTreeReport& window = report(std::string(kListing) + "\"=HYPERLINK(\"x\")\",4,\"D:(bogus)\"\r\n");
  const std::string base = listingFile().substr(0, listingFile().size() - 4);
  dialogs.expect({"Saved beside its listing:\r\n" + base + ".csv\r\n" + base + ".html", "Export", forms::Buttons::Ok,
                  forms::Icon::Information}, forms::Answer::Ok);
  window.cmdExport.userClick();
  const std::string& csv = files.texts[base + ".csv"];
  EXPECT_EQ(csv.substr(0, csv.find("\"machine\\SOFTWARE\\Acme\\Own\"")),
            "\xEF\xBB\xBFPath,Reason,Entries\r\n"
            "\"machine\\SOFTWARE\\Acme\\Blocked\",\"Inheritance blocked\",\"Allow BUILTIN\\Administrators: Full "
            "control (This key and subkeys)\"\r\n"
            "\"machine\\SOFTWARE\\Acme\\Blocked\",\"Entries of its own\",\"Allow BUILTIN\\Administrators: Full "
            "control (This key and subkeys)\"\r\n");
  EXPECT_TRUE(csv.ends_with("\"'=HYPERLINK(\"\"x\"\")\",\"Could not be read\",\"\"\r\n"
                            "\"'=HYPERLINK(\"\"x\"\")\",\"Its parent is not listed\",\"\"\r\n")) << csv;
  EXPECT_NE(files.texts[base + ".html"].find("<td>machine\\SOFTWARE\\Acme\\Blocked</td>"), std::string::npos);

  files.writeError = 5;
  dialogs.expect({"The report could not be saved (error 5).", "Export", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  window.cmdExport.userClick();
}

TEST_F(TreeReportWindow, AFailedListingSaysWhyAndCanBeRunAgain) {
  FrmTreeReport& window = open();
  processes.output = {"SetACL finished with error(s):\r\nSetACL error message: The object does not exist\r\n"};
  processes.exitCode = 2;
  processes.finish();
  EXPECT_EQ(window.lblSummary.text(), "The tree could not be listed (FAILED: exit code 2).");
  EXPECT_TRUE(window.lvwDepartures.rows().empty());
  processes.exitCode = 0;
  window.cmdAgain.userClick();
  files.texts[listingFile()] = kListing;
  processes.finish();
  EXPECT_EQ(window.lblSummary.text(), "4 of 5 objects depart from what their parents give");
}

// A listing stopped mid-line, and a window opened for another object while
// the last read of the one before was still under way.
TEST_F(TreeReportWindow, ReadsOnlyWhatTheToolFinishedWriting) {
  FrmTreeReport& window = report();
  window.cmdAgain.userClick();
  const std::string listing = kListing;
  files.texts[listingFile()] = listing.substr(0, listing.rfind("(A;ID;KR;;;BU)(A;CIIOID"));  // ended mid-line
  processes.exitCode = 1;
  processes.finish();
  EXPECT_EQ(window.lblSummary.text(), "1 of 2 objects depart from what their parents give; the listing did not "
                                      "finish (FAILED: exit code 1): what it reached only");
  processes.exitCode = 0;

  workers.atOnce = false;
  window.cmdAgain.userClick();
  files.texts[listingFile()] = kListing;
  processes.finish();  // its last read not yet heard of
  window.cmdClose.userClick();
  type(main.txtObjName, "HKLM\\SOFTWARE\\Other\\");
  main.cmdTreeReport.userClick();
  EXPECT_NE(processes.started.back().find("-on \"HKLM\\SOFTWARE\\Other\\\\\""), std::string::npos)
      << processes.started.back();
  files.texts[listingFile()] = "\"machine\\SOFTWARE\\Other\",4,\"O:BAD:PAI(A;CI;KA;;;BA)\"\r\n"
                               "\"machine\\SOFTWARE\\Other\\Own\",4,\"O:BAD:AI(A;;KR;;;BU)(A;CIID;KA;;;BA)\"\r\n"
                               "\"machine\\SOFTWARE\\Other\\Cut\",4,\"O:BAD:AI(A;CIID;K\r\n";
  processes.finish();
  workers.deliver();
  EXPECT_EQ(Paths(window), (std::vector<std::string>{"machine\\SOFTWARE\\Other\\Own",
                                                     "\"machine\\SOFTWARE\\Other\\Cut\",4,\"O:BAD:AI(A;CIID;K"}));
  window.lvwDepartures.userSelect(1);
  dialogs.expect({"This object's security could not be read, so what would mend it is not known.", "Mend"},
                 forms::Answer::Ok);
  window.cmdMend.userClick();
  EXPECT_TRUE(dialogs.allShown());
  window.lvwDepartures.userSelect(0);
  window.cmdMend.userClick();
  EXPECT_EQ(main.txtObjName.text(), "HKLM\\SOFTWARE\\Other\\Own");
}
