// Field texts: every field cell (kind 4) shows a text computed from its code.
#pragma once

namespace paginor {

class TMDIChild;

// Brings the shown text of every field cell up to date; the layout pass calls it first.
//
// The codes are not evaluated yet: they come with the fields subsystem (page numbers, date and
// time, file names, data fields, user and document details). Until then every field keeps the
// text it has, which is what the computation does for a code it does not know.
void FelderAktuallisieren(TMDIChild& w);

}  // namespace paginor
