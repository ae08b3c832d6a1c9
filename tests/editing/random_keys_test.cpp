// Thousands of random keys, mouse-like jumps, cuts, list toggles, undos and redos on a document
// with tables, lists, a footnote, a picture, linked text boxes and several pages. After every
// step the model must be valid; a redo right after an undo must bring back the state exactly.
// The seeds are fixed, so a failure reproduces.

#include <cstdlib>
#include <iostream>
#include <random>

#include "editing/editor_fixture.h"
#include "editing/invariants.h"
#include "editing/key_script.h"
#include "editing/list_format.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "model/position.h"
#include "window/edit_state.h"

namespace paginor::test {
namespace {

class RandomKeys : public EditorTest {
 protected:
  explicit RandomKeys() = default;

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool chance(int percent) { return pick(100) < percent; }

  // A random valid position anywhere in the document, as a mouse click would place it.
  CursorPos anywhere() {
    Document& d = doc();
    for (int tries = 0; tries < 20; ++tries) {
      const int32_t f = chance(80) ? 0 : pick(d.fieldCount());
      if (d.fields[f].type > kFieldTextBox || d.fields[f].lineCount() == 0) continue;
      const int32_t l = pick(d.fields[f].lineCount());
      return CursorPos{f, l, pick(d.fields[f].lines[l].charCount() + 1)};
    }
    return d.Cursor;
  }

  Modifiers mods() {
    Modifiers m = kNoModifier;
    if (chance(30)) m |= kShift;
    if (chance(15)) m |= kCtrl;
    return m;
  }

  // One random step; returns what it did, for the failure message.
  std::string step() {
    static const int kMoves[] = {vk::kLeft, vk::kRight, vk::kUp,    vk::kDown,
                                 vk::kHome, vk::kEnd,   vk::kPrior, vk::kNext};
    static const char kTyped[] = "abcdefg xyz\"-12,.\xe4\xdf";
    const int r = pick(100);
    if (r < 30) {
      const uint8_t ch = static_cast<uint8_t>(kTyped[pick(sizeof kTyped - 1)]);
      getkeysKeyPress(w(), ch);
      return "type " + std::to_string(ch);
    }
    if (r < 52) {
      const int key = kMoves[pick(8)];
      const Modifiers m = mods();
      Down(key, m);
      return "move " + std::to_string(key) + " mods " + std::to_string(m);
    }
    if (r < 60) {
      Down(vk::kBack, chance(50) ? kShift : kNoModifier);
      return "backspace";
    }
    if (r < 68) {
      Down(vk::kDelete);
      return "delete";
    }
    if (r < 73) {
      const int kind = pick(3);
      Down(vk::kReturn, kind == 0 ? kNoModifier : (kind == 1 ? kShift : kCtrl));
      return "enter " + std::to_string(kind);
    }
    if (r < 75) {
      Down(vk::kTab);
      return "tab";
    }
    if (r < 80) {
      const int32_t k = chance(70) ? 0 : pick(4);
      RestoreCopyFromUndo(w(), k);
      return "undo " + std::to_string(k);
    }
    if (r < 84) {
      const int32_t k = chance(70) ? 0 : pick(3);
      RestoreBeforeRestoreCopyFromUndo(w(), k);
      return "redo " + std::to_string(k);
    }
    if (r < 89) {
      const CursorPos p = anywhere();
      doc().Cursor = p;
      if (!chance(40)) doc().Anchor = p;
      return "click " + std::to_string(p.field) + "," + std::to_string(p.line) + "," +
             std::to_string(p.chr);
    }
    if (r < 91) {
      // Cut: a block marking's emptied cells leave their rows.
      MakeCopyForUndo(w(), "Ausschneiden");
      DeleteMarking(w(), EmptiedCells::LeaveRows);
      RefreshDirtyContent(w());
      return "cut";
    }
    if (r < 93) {
      aufzaehlung(w(), 1 + pick(2));
      return "list";
    }
    if (r < 95) {
      if (chance(50))
        WortMarkieren(w());
      else
        AbsatzMarkieren(w());
      return "select word/paragraph";
    }
    if (r < 96) {
      if (chance(80)) return "nothing";
      Down('A', kCtrl);
      return "select all";
    }
    if (r < 97) {
      Down(vk::kOemMinus, kCtrl);
      return "soft hyphen";
    }
    if (r < 98) {
      Down(vk::kInsert);
      return "insert";
    }
    // Undo and redo straight away must give back the text exactly, and the Cursor too when the
    // state was the newest (after an earlier undo, moves are not recorded).
    const std::string before = State();
    const int32_t position = w().undo.position;
    const bool newest = position == static_cast<int32_t>(w().undo.entries.size());
    RestoreCopyFromUndo(w(), 0);
    RestoreBeforeRestoreCopyFromUndo(w(), 0);
    if (position > 0) {
      const std::string after = State();
      const size_t text = before.rfind("\nC ");
      EXPECT_EQ(after.substr(0, after.rfind("\nC ")), before.substr(0, text)) << "undo then redo";
      if (newest) {
        EXPECT_EQ(after, before) << "undo then redo of the newest state";
      }
      EXPECT_EQ(w().undo.position, position);
    }
    return "undo+redo";
  }

  void run(uint32_t seed, int steps) {
    rng_.seed(seed);
    BuildMixedDocument(w());
    ExpectValid("built");
    std::string history;
    for (int i = 0; i < steps; ++i) {
      // A document worn down to a few lines is opened afresh, so that tables, lists and pages
      // stay in play.
      if (doc().fields[0].lineCount() < 20 && chance(5)) {
        FreeAllUndoCops(w());
        BuildMixedDocument(w());
        history += "rebuilt\n";
        ExpectValid("rebuilt");
      }
      const char* debug = std::getenv("PAGINOR_DEBUG_STEP");
      const bool show = debug && std::atoi(debug) == i;
      if (show)
        std::cerr << "before:\n" << State() << "\n" << DescribeViolations(CheckInvariants(doc()));
      const std::string did = step();
      if (show) std::cerr << "after " << did << ":\n" << State() << "\n";
      history = (history.size() > 2000 ? history.substr(history.size() - 2000) : history) +
                std::to_string(i) + ": " + did + "\n";
      const std::vector<std::string> v = CheckInvariants(doc());
      ASSERT_TRUE(v.empty()) << "seed " << seed << " step " << i << " (" << did << ")\n"
                             << DescribeViolations(v) << "recent steps:\n"
                             << history;
      ASSERT_LE(w().undo.position, static_cast<int32_t>(w().undo.entries.size()));
      ASSERT_LE(static_cast<int32_t>(w().undo.entries.size()), options().maxUndos + 2);
    }
  }

  std::mt19937 rng_;
};

TEST_F(RandomKeys, Seed1) {
  run(1, 1500);
}
TEST_F(RandomKeys, Seed2) {
  run(2, 1500);
}
TEST_F(RandomKeys, Seed3WithOverwriteAndEnglishQuotes) {
  options().OverwriteMode = true;
  options().QuoteStyle = 4;
  run(3, 1500);
}

}  // namespace
}  // namespace paginor::test
