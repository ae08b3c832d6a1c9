#include "fields/field_update.h"

#include "window/document_window.h"

namespace paginor {

// No code is known yet, so no text changes (see the header). Deliberately empty: the call point
// in the layout pass is in place for the fields subsystem.
void FelderAktuallisieren(TMDIChild& /*w*/) {}

}  // namespace paginor
