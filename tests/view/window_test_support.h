// A document window with its view, painted block by block onto recording canvases.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "model/primitives.h"
#include "support/recording_editor_host.h"
#include "support/test_support.h"
#include "view/doc_writer.h"
#include "view/recording_canvas.h"
#include "view/window_view.h"
#include "window/edit_state.h"

namespace paginor::test {

class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture() : dw(fx.w()) {
    doc().autoHyphenation = 0;
    w().host = &host;
    // A scroll box too small to centre anything unless a test widens it.
    v.box.width = 400;
    v.box.height = 300;
    v.box.vScrollBarWidth = v.box.hScrollBarHeight = 17;
    v.box.clientWidth = 383;
    v.box.clientHeight = 283;
  }
  TMDIChild& w() { return fx.w(); }
  Document& doc() { return fx.doc(); }
  FieldRec& field(int32_t i) { return doc().fields[i]; }
  int32_t Body() { return dw.Font({}); }
  void Layout() {
    SetAllDirtyFlags(doc());
    MakeSoftEnters(w());
  }
  // `pages` pages of body text "x", separated by page breaks.
  void Pages(int pages) {
    for (int p = 0; p < pages; ++p) {
      dw.Text(0, Body(), "x");
      if (p < pages - 1) dw.End(0, kEndPageBreak);
    }
    dw.Current(0).endKind = kEndParagraph;
  }
  // Paints (again when the page area's size changed first) and returns the blocks.
  RecordSink& Paint() {
    sink = std::make_unique<RecordSink>(*fx.host.fonts, 96);
    last = PaintBox1Paint(w(), v, *sink);
    if (last.sizeChanged) {
      EXPECT_TRUE(sink->blocks.empty()) << "a resize ends the pass before drawing";
      sink = std::make_unique<RecordSink>(*fx.host.fonts, 96);
      last = PaintBox1Paint(w(), v, *sink);
    }
    EXPECT_FALSE(last.sizeChanged);
    return *sink;
  }
  // The texts the pass drew for the cells of a one-line document, in order (marks left out).
  std::vector<RecordCanvas::Op> CellTexts(RecordCanvas& c) {
    std::vector<RecordCanvas::Op> out;
    for (const auto& op : c.of(RecordCanvas::Kind::Text))
      if (op.text != "\xB7" && op.text != "\xAE" && op.text != "\xB6" && op.text != "\xBF")
        out.push_back(op);
    return out;
  }

  Fixture fx;
  DocWriter dw;
  RecordingEditorHost host;
  WindowView v;
  std::unique_ptr<RecordSink> sink;
  PaintResult last;
};

}  // namespace paginor::test
