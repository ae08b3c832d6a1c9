// Key-script answers (editing/dialog_answer.h) for the dialogs of templates, text columns and
// special characters: "{Dialog:Absatzvorlage name=Brief}", "{Dialog:Formatvorlagen
// template=2 action=Löschen}", "{Dialog:Spalten count=2 gap=0,5 lines=1}",
// "{Dialog:Sonderzeichen font=Symbol char=169}".
#pragma once

#include <string>
#include <string_view>

#include "editing/dialog_answer.h"

namespace paginor {

bool IsTemplateDialogName(std::string_view name);
// Why the answer cannot be given (German), or empty.
std::string CheckTemplateDialogAnswer(const DialogAnswer& answer);
void AnswerTemplateDialog(TMDIChild& w, const DialogAnswer& answer);

}  // namespace paginor
