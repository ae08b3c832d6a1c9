// The check while typing, as the layout pass runs it: every word of every laid-out line is
// checked and its cells get the misspelt mark (bit 1 of charFlags) when the check rejects it.
#pragma once

#include "layout/layout_work.h"

namespace paginor {

// The word check the pass uses; empty while the check while typing is off. The word lists and
// their check (istwortkorrekt) come with the spelling subsystem, and the option "Beim Eingeben
// überprüfen" with the settings; until both exist there is no check and no word is marked.
WordCheck SpellingWordCheck(TMDIChild& w);

// Clears the misspelt mark on every cell of the line, then marks the cells of each word that
// `check` rejects. A word is a run of character cells holding a letter or digit of the code page
// or "-". Cells are written only where the mark changes, so lines shared with undo snapshots stay
// shared.
void MarkMisspeltWords(LineRec& line, const WordCheck& check);

}  // namespace paginor
