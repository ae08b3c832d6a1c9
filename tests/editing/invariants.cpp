#include "editing/invariants.h"

#include <sstream>

#include "model/position.h"

namespace paginor::test {

namespace {

class Checker {
 public:
  Checker(const Document& d, size_t limit) : d_(d), limit_(limit) {}

  std::vector<std::string> run() {
    fields();
    positions();
    cells();
    for (int32_t f = 0; f < d_.fieldCount(); ++f)
      if (d_.fields[f].prevField < 0 || !ValidField(d_, d_.fields[f].prevField)) tables(f);
    return std::move(out_);
  }

 private:
  template <typename... Parts>
  void fail(const Parts&... parts) {
    if (out_.size() >= limit_) return;
    std::ostringstream s;
    (s << ... << parts);
    out_.push_back(s.str());
  }

  bool link(int32_t i) const { return i == -1 || ValidField(d_, i); }

  void fields() {
    for (int32_t i = 0; i < d_.fieldCount(); ++i) {
      const FieldRec& f = d_.fields[i];
      if (f.lineCount() < 1) fail("field ", i, " has no line");
      if (!link(f.prevField) || !link(f.nextField)) {
        fail("field ", i, " links outside the fields: prev ", f.prevField, " next ", f.nextField);
        continue;
      }
      if (f.nextField == i || f.prevField == i) fail("field ", i, " links to itself");
      if (f.nextField >= 0 && d_.fields[f.nextField].prevField != i)
        fail("field ", i, " -> ", f.nextField, " is not linked back");
      if (f.prevField >= 0 && d_.fields[f.prevField].nextField != i)
        fail("field ", i, " <- ", f.prevField, " is not linked forwards");
    }
    // No circles: every chain walked forwards ends within the field count.
    for (int32_t i = 0; i < d_.fieldCount(); ++i) {
      int32_t f = i, steps = 0;
      while (ValidField(d_, f) && steps <= d_.fieldCount()) {
        f = d_.fields[f].nextField;
        ++steps;
      }
      if (steps > d_.fieldCount()) fail("the chain from field ", i, " runs in a circle");
    }
  }

  void positions() {
    for (const auto& [name, p] : {std::pair{"Cursor", d_.Cursor}, std::pair{"Anchor", d_.Anchor}}) {
      if (!ValidPosition(d_, p))
        fail(name, " (", p.field, ", ", p.line, ", ", p.chr, ") lies outside the document");
    }
  }

  void cells() {
    for (int32_t fi = 0; fi < d_.fieldCount(); ++fi) {
      const FieldRec& f = d_.fields[fi];
      for (int32_t li = 0; li < f.lineCount(); ++li) {
        const LineRec& l = f.lines[li];
        if (l.endKind < kEndSoft || l.endKind > kEndPageBreak)
          fail("line ", fi, "/", li, " has end kind ", l.endKind);
        if (!l.inTable && (l.rowCells != 1 || l.cellColumn != 0 || l.rowStart || l.rowEnd))
          fail("line ", fi, "/", li, " outside a table carries row data");
        for (int32_t ci = 0; ci < l.charCount(); ++ci) cell(fi, li, ci, l.chars[ci]);
      }
    }
  }

  void cell(int32_t fi, int32_t li, int32_t ci, const CharRec& c) {
    if (c.fontIndex < 0 || c.fontIndex >= d_.fontCount())
      fail("cell ", fi, "/", li, "/", ci, " names font ", c.fontIndex, " of ", d_.fontCount());
    if (c.kind > kCharField) fail("cell ", fi, "/", li, "/", ci, " has kind ", int(c.kind));
    if (c.kind == kCharPicture) {
      if (c.pictureIndex() >= d_.pictureCount())
        fail("cell ", fi, "/", li, "/", ci, " names picture ", c.pictureIndex());
      else if (!d_.pictures[c.pictureIndex()].hasBits())
        fail("cell ", fi, "/", li, "/", ci, " shows released picture ", c.pictureIndex());
    }
    // The line breaker's transient line-end cells never outlive a pass.
    if (c.kind == kCharText && (c.ch == 13 || c.ch == 14 || c.ch == 15))
      fail("cell ", fi, "/", li, "/", ci, " is a left-over line-end cell");
    if (c.paraCarrier()) fail("cell ", fi, "/", li, "/", ci, " still carries a paragraph format");
  }

  // Table rows along one chain: visual rows of rowCells lines with columns 0..rowCells-1 and the
  // same row flags, each table row opened by a rowStart and closed by a rowEnd visual row.
  void tables(int32_t first) {
    std::vector<std::pair<int32_t, int32_t>> seq;
    for (int32_t f = first, steps = 0; ValidField(d_, f) && steps <= d_.fieldCount();
         f = d_.fields[f].nextField, ++steps)
      for (int32_t l = 0; l < d_.fields[f].lineCount(); ++l) seq.push_back({f, l});
    bool open = false;
    size_t i = 0;
    while (i < seq.size()) {
      const auto [f, l] = seq[i];
      const LineRec& line = LineOf(d_, f, l);
      if (!line.inTable) {
        if (open) fail("table row before line ", f, "/", l, " has no rowEnd");
        open = false;
        ++i;
        continue;
      }
      const int32_t k = line.rowCells;
      if (k < 1 || i + static_cast<size_t>(k) > seq.size()) {
        fail("visual row at ", f, "/", l, " claims ", k, " cells");
        return;
      }
      for (int32_t j = 0; j < k; ++j) {
        const auto [g, m] = seq[i + static_cast<size_t>(j)];
        const LineRec& x = LineOf(d_, g, m);
        if (!x.inTable || x.rowCells != k || x.cellColumn != j || x.rowStart != line.rowStart ||
            x.rowEnd != line.rowEnd)
          fail("visual row at ", f, "/", l, ": line ", g, "/", m, " is in column ", x.cellColumn,
               " of ", x.rowCells, " (row flags ", int(x.rowStart), int(x.rowEnd),
               ", expected column ", j, " of ", k, ", flags ", int(line.rowStart), int(line.rowEnd),
               ")");
      }
      if (line.rowStart && open) fail("table row at ", f, "/", l, " starts inside another");
      if (!line.rowStart && !open) fail("visual row at ", f, "/", l, " continues no table row");
      open = !line.rowEnd;
      i += static_cast<size_t>(k);
    }
    if (open) fail("the last table row of the chain from field ", first, " has no rowEnd");
  }

  const Document& d_;
  size_t limit_;
  std::vector<std::string> out_;
};

}  // namespace

std::vector<std::string> CheckInvariants(const Document& d, size_t limit) {
  return Checker(d, limit).run();
}

std::string DescribeViolations(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& line : v) s += "  " + line + "\n";
  return s;
}

}  // namespace paginor::test
