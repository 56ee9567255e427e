#pragma once
// The entry counts live in the captions of the count buttons.

#include <string_view>

namespace forms {
class Control;
}

// The leading decimal number of a text; 0 when it has none.
int LeadingNumber(std::string_view text);

// Moves the count in a button's caption by step and writes it back as plain digits.
void StepCount(forms::Control& countButton, int step);
