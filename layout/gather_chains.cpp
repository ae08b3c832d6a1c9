// Gathering: before lines are broken, the text of every chain of linked fields (the bodies of
// consecutive pages, linked text boxes) is collected in the chain's first field.
//
// The rule is a downward loop over the fields in which each field with a predecessor appends all
// its lines to the predecessor's. Done literally, a chain of 500 pages moves the last page's
// lines 499 times. Here the loop only splices lists of line runs; every line record is moved
// once at the end. The result is the literal one for any link structure, including chains whose
// fields do not lie at rising indices (those collapse only partly, as the downward loop leaves
// them).

#include <vector>

#include "layout/stages.h"
#include "model/primitives.h"

namespace paginor {

namespace {

// A run of lines in a field's list: the original lines of field `source`, or a placeholder line
// (source -1, index into the placeholders).
struct Run {
  int32_t source = -1;
  int32_t placeholder = -1;
  int32_t next = -1;
};

// The line a text box keeps when its text went to its predecessor: empty, soft-ended, anchoring
// nothing, with a plain new-line format of its own (so it shares no tab stops or bullet font
// with the lines that left). Dirty, so that the breaker gives it the height of an empty line.
LineRec PlaceholderLine() {
  LineRec line;
  InitNewLine(line);
  line.lineAnchorId = 0;
  line.dirty = 1;
  return line;
}

class Gathering {
 public:
  explicit Gathering(LayoutWork& work) : work_(work), d_(work.d), n_(d_.fieldCount()) {}

  void run() {
    if (!anyLink()) return;
    init();
    for (int32_t v = n_ - 1; v >= 0; --v) {
      const int32_t a = d_.fields[v].prevField;
      if (a < 0 || a >= n_ || a == v) continue;
      append(v, a);
    }
    materialise();
  }

 private:
  bool anyLink() const {
    for (const FieldRec& f : d_.fields)
      if (f.prevField >= 0 && f.prevField < n_) return true;
    return false;
  }

  void init() {
    runs_.resize(static_cast<size_t>(n_));
    head_.resize(static_cast<size_t>(n_));
    tail_.resize(static_cast<size_t>(n_));
    count_.resize(static_cast<size_t>(n_));
    for (int32_t i = 0; i < n_; ++i) {
      runs_[i].source = i;
      head_[i] = tail_[i] = i;
      count_[i] = d_.fields[i].lineCount();
    }
  }

  // Field v's lines (all it holds now) go behind field a's.
  void append(int32_t v, int32_t a) {
    work_.tracked.each([&](CursorPos& p) {
      if (p.field != v) return;
      p.field = a;
      p.line += count_[a];
    });
    if (head_[v] >= 0) {
      if (head_[a] < 0)
        head_[a] = head_[v];
      else
        runs_[tail_[a]].next = head_[v];
      tail_[a] = tail_[v];
    }
    count_[a] += count_[v];
    head_[v] = tail_[v] = -1;
    count_[v] = 0;
    if (d_.fields[v].type >= kFieldTextBox) {
      placeholders_.push_back(PlaceholderLine());
      runs_.push_back(Run{-1, static_cast<int32_t>(placeholders_.size()) - 1, -1});
      head_[v] = tail_[v] = static_cast<int32_t>(runs_.size()) - 1;
      count_[v] = 1;
    }
  }

  // Whether field i still holds exactly its own lines (nothing to move).
  bool untouched(int32_t i) const { return head_[i] == i && runs_[i].next < 0; }

  void materialise() {
    // Take the lines of every field that changed out first: a field's lines may go to a field
    // before or after it.
    std::vector<RecordArray<LineRec>> own(static_cast<size_t>(n_));
    for (int32_t i = 0; i < n_; ++i)
      if (!untouched(i)) own[i] = std::move(d_.fields[i].lines);
    for (int32_t i = 0; i < n_; ++i) {
      if (untouched(i)) continue;
      RecordArray<LineRec> out;
      out.reserve(count_[i]);
      for (int32_t r = head_[i]; r >= 0; r = runs_[r].next) {
        if (runs_[r].source >= 0) {
          RecordArray<LineRec>& src = own[runs_[r].source];
          src.moveTo(0, src.size(), out, out.size());
        } else {
          out.push_back(std::move(placeholders_[runs_[r].placeholder]));
        }
      }
      d_.fields[i].lines = std::move(out);
    }
  }

  LayoutWork& work_;
  Document& d_;
  const int32_t n_;
  std::vector<Run> runs_;  // runs 0..n-1 are the fields' own lines
  std::vector<int32_t> head_, tail_, count_;
  std::vector<LineRec> placeholders_;
};

}  // namespace

void GatherChains(LayoutWork& work) {
  Gathering(work).run();
}

}  // namespace paginor
