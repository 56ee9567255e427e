#include "main/entry_count.h"

#include <gtest/gtest.h>

#include "forms/form.h"

TEST(EntryCount, LeadingNumberRule) {
  struct Case {
    const char* caption;
    int number;
  } cases[] = {{"0", 0}, {"7", 7}, {"12abc", 12}, {"", 0}, {"abc", 0}, {"-3", 0}, {" 4", 0},
               {"007", 7}, {"99999999999999999999", 2147483646}};
  for (const Case& c : cases) EXPECT_EQ(LeadingNumber(c.caption), c.number) << c.caption;
}

TEST(EntryCount, StepWritesPlainDigits) {
  forms::Form form("frm", "", 100, 100);
  forms::Label label(form, nullptr, "lbl", -1);
  struct Case {
    const char* before;
    int step;
    const char* after;
  } cases[] = {{"3", 1, "4"}, {"", 1, "1"}, {"1", -1, "0"}, {"007", 1, "8"}, {"2 items", -1, "1"}};
  for (const Case& c : cases) {
    label.setText(c.before);
    StepCount(label, c.step);
    EXPECT_EQ(label.text(), c.after) << c.before;
  }
}
