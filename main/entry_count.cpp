#include "main/entry_count.h"

#include <climits>
#include <string>

#include "forms/control.h"

int LeadingNumber(std::string_view text) {
  long long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    number = std::min<long long>(number * 10 + (c - '0'), INT_MAX - 1);
  }
  return static_cast<int>(number);
}

void StepCount(forms::Control& countButton, int step) {
  countButton.setText(std::to_string(LeadingNumber(countButton.text()) + step));
}
