#include "layout_test_util.h"

#include <sstream>

namespace paginor::test {

std::string Words(int n, int letters) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    if (i) s.push_back(' ');
    for (int k = 0; k < letters; ++k) s.push_back(static_cast<char>('a' + (i + k) % 26));
  }
  return s;
}

std::string LayoutTest::LayoutState() {
  std::ostringstream o;
  const Document& d = doc();
  o << "cursor " << d.Cursor.field << ' ' << d.Cursor.line << ' ' << d.Cursor.chr << " anchor "
    << d.Anchor.field << ' ' << d.Anchor.line << ' ' << d.Anchor.chr << '\n';
  for (int32_t i = 0; i < d.fieldCount(); ++i) {
    const FieldRec& f = d.fields[i];
    o << "field " << i << " type " << int(f.type) << " page " << f.page << " links " << f.prevField
      << ' ' << f.nextField << " top " << f.top << " bottom " << f.bottom << " first "
      << int(f.firstFootnote) << '\n';
    for (const LineRec& l : f.lines) {
      o << "  [" << Text(l) << "] end " << l.endKind << " h " << l.lineHeight << " hy "
        << int(l.endsWithHyphen) << " no " << l.para.listNumber << " row " << int(l.rowStart)
        << int(l.rowEnd) << " col " << l.columnIndex << ' ' << l.columnX << ' ' << l.columnTopShift
        << ' ' << l.columnTailSpace << ' ' << int(l.lastColumn) << '\n';
      for (const CharRec& c : l.chars)
        o << ' ' << c.width << '/' << int(c.tabFill) << '/' << c.number();
      o << '\n';
    }
  }
  return o.str();
}

}  // namespace paginor::test
