// The reach of a recursive command, counted over a scripted tree.

#include <gtest/gtest.h>

#include "runner/reach.h"
#include "tests/native/fakes.h"

namespace {

FakeObjectTree Tree() {
  FakeObjectTree tree;
  tree.children = {{"C:\\D", {{"a", true}, {"b.txt"}, {"tmp", true}, {"locked", true}}},
                   {"C:\\D\\a", {{"c.txt"}, {"d", true}}},
                   {"C:\\D\\a\\d", {{"e.tmp"}}},
                   {"C:\\D\\tmp", {{"f.txt"}}},
                   {"HKLM\\S", {{"k1", true}, {"k2", true}}},
                   {"HKLM\\S\\k1", {{"k3", true}}},
                   {"HKLM\\S\\k2", {}},
                   {"HKLM\\S\\k1\\k3", {}}};
  return tree;
}

}  // namespace

TEST(Reach, CountsWhatEachRecursionTouches) {
  struct Case { ReachQuestion question; const char* words; };
  const Case cases[] = {
      {{"C:\\D", false, true, true, {}}, "Reach: 9 folders and files; 1 could not be read: C:\\D\\locked"},
      {{"C:\\D", false, true, false, {}}, "Reach: 5 folders; 1 could not be read: C:\\D\\locked"},
      {{"C:\\D", false, false, true, {}},
       "Reach: 5 files and the folder itself; 1 could not be read: C:\\D\\locked"},
      // The filter skips what holds it anywhere in its path, in any case.
      {{"C:\\D", false, true, true, {"tmp"}},
       "Reach: 6 folders and files (the filter skips 3); 1 could not be read: C:\\D\\locked"},
      {{"HKLM\\S", true, true, false, {}}, "Reach: 4 keys"},
      {{"C:\\D", false, true, true, {}, 3}, "Reach: more than 3 folders and files"},
      {{"C:\\Gone", false, true, true, {}}, "Reach: the object alone; 1 could not be read: C:\\Gone"},
  };
  FakeObjectTree tree = Tree();
  for (const Case& c : cases) {
    ReachCount count = CountReach(tree, c.question, [] { return false; }, [](const ReachCount&) {});
    EXPECT_EQ(ReachWords(c.question, count), c.words);
  }
}

TEST(Reach, AQuestionOnlyForARecursiveCommand) {
  Command command;
  command.object = "C:\\D";
  EXPECT_FALSE(ReachOf(command, ""));
  command.recursion = Recursion::Containers;
  EXPECT_EQ(ReachOf(command, "SetACL.exe -on \"C:\\D\" -fltr \"Tmp\"  -fltr \"x\" ")->filters,
            (std::vector<std::string>{"tmp", "x"}));
  command.type = ObjectType::Service;
  EXPECT_FALSE(ReachOf(command, ""));
  command.type = ObjectType::Registry;
  command.recursion = Recursion::Subkeys;
  EXPECT_TRUE(ReachOf(command, "")->registry);
}

// Only when the object, type, recursion or filter changes; the last count's news dropped.
TEST(Reach, CountsAnewWhenItsQuestionChanges) {
  Headless h;
  h.tree = Tree();
  h.workers.atOnce = false;
  Headless::type(h.main.txtObjName, "C:\\D");
  EXPECT_EQ(h.workers.started, 0);
  h.main.cboRecursionFile.userPick(3);
  EXPECT_EQ(h.workers.started, 1);
  EXPECT_NE(h.main.txtExplain.text().find("\r\nReach: counting... 0 so far"), std::string::npos)
      << h.main.txtExplain.text();
  Headless::type(h.main.txtOwner, "Bob");  // not what the count depends on
  EXPECT_EQ(h.workers.started, 1);
  h.addFilter("tmp");
  EXPECT_EQ(h.workers.started, 2);
  h.workers.deliver();
  EXPECT_NE(h.main.txtExplain.text().find("\r\nReach: 6 folders and files (the filter skips 3)"),
            std::string::npos)
      << h.main.txtExplain.text();
  h.main.cboRecursionFile.userPick(0);
  EXPECT_EQ(h.main.txtExplain.text().find("Reach:"), std::string::npos);
}
