#pragma once

namespace forms {
class Dialogs;
}

// The About box: credits and a joke, in one message.
void ShowAbout(forms::Dialogs& dialogs);
