// A dialog answered by data instead of by a user: the dialog's name and the controls the answer
// changes, as `paginor-cli edit` reads them from "{Dialog:Zeichen size=16 bold=1}". The dialog is
// filled as its command fills it, the named controls take the values and count as changed, and
// the answer is "OK". docs/key-script.md lists the dialogs and their controls.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace paginor {

class TMDIChild;

struct DialogAnswer {
  std::string dialog;                                       // the dialog's caption, as written
  std::vector<std::pair<std::string, std::string>> values;  // control name, value (UTF-8)
  friend bool operator==(const DialogAnswer&, const DialogAnswer&) = default;
};

// Why the answer cannot be given (German, UTF-8): an unknown dialog or control, a value of the
// wrong kind. Empty when it can.
std::string CheckDialogAnswer(const DialogAnswer& answer);

// Opens the dialog on the window, sets the controls and presses "OK". The answer must have
// passed CheckDialogAnswer; controls it does not know are passed by.
void AnswerDialog(TMDIChild& w, const DialogAnswer& answer);

}  // namespace paginor
