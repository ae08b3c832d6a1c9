// Running out of memory: an allocation failure injected at any point of opening (reading and
// laying out), of saving and of exporting ends that command with a German message naming the
// file, and leaves the document and the files as they were. The failure is injected by this test
// program's own operator new, which can be told to fail the n-th allocation from now on.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>

#include <gtest/gtest.h>

#include "app/document_files.h"
#include "model/primitives.h"
#include "output/pdf_export.h"
#include "storage/document_equality.h"
#include "storage/file_io.h"
#include "storage/new_document.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "storage/text_format.h"
#include "support/test_support.h"

namespace {

// Allocations still granted before one fails; negative: none fails.
std::atomic<long> g_grantedBeforeFailure{-1};
std::atomic<long> g_allocations{0};

void* allocate(std::size_t size) {
  long left = g_grantedBeforeFailure.load(std::memory_order_relaxed);
  if (left >= 0) {
    g_grantedBeforeFailure.store(left - 1, std::memory_order_relaxed);
    if (left == 0) throw std::bad_alloc();  // one failure, as when a large request cannot be met
  }
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return allocate(size);
}
void* operator new[](std::size_t size) {
  return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

namespace paginor {
namespace {

namespace fs = std::filesystem;

// Lets allocation `n` (counted from 0) of the scope fail, once.
class FailingAllocation {
 public:
  explicit FailingAllocation(long n) { g_grantedBeforeFailure.store(n); }
  ~FailingAllocation() { g_grantedBeforeFailure.store(-1); }
};

long allocationsOf(const std::function<void()>& command) {
  const long before = g_allocations.load();
  command();
  return g_allocations.load() - before;
}

// The allocations to fail in a command of `total`: each of the first ones, then a spread over
// the rest, so reading, layout and writing all get their turn.
std::vector<long> failurePoints(long total) {
  std::vector<long> points;
  for (long n = 0; n < std::min(total, 12L); ++n) points.push_back(n);
  const long step = std::max(1L, total / 80);
  for (long n = 12; n < total; n += step) points.push_back(n);
  points.push_back(total - 1);
  return points;
}

std::vector<std::string> entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class OutOfMemory : public ::testing::Test {
 protected:
  OutOfMemory() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = test::TempDir(std::string("oom_") + info->name());
  }

  // A window with a document of its own, modified and named, to be left alone by a failure.
  std::unique_ptr<TMDIChild> victim() {
    auto w = std::make_unique<TMDIChild>(fx.app);
    (void)FormCreate(*w);
    if (rich)
      test::BuildRichDocument(*w);
    else
      test::AddText(*w, 0, 0, "Bleibt wie es ist");
    w->doc.fileName = "alt.sbl";
    w->doc.filePath = "/irgendwo/alt.sbl";
    SetFileChanged(*w, true);
    return w;
  }

  // Every failure point of `command` on a fresh victim: either the command fails with `message`,
  // the victim's document as it was and `unchanged` holding (the files), or it does without the
  // allocation that failed and completes as it does when nothing fails. `reset` runs before each
  // attempt (putting the files back).
  void sweep(const std::function<bool(TMDIChild&)>& command, const std::string& message,
             const std::function<void()>& unchanged = {}, const std::function<void()>& reset = {}) {
    long total = 0;
    Document completed;
    {
      if (reset) reset();
      auto w = victim();
      total = allocationsOf([&] { ASSERT_TRUE(command(*w)); });
      completed = w->doc;
    }
    ASSERT_GT(total, 0);
    int failed = 0;
    for (long n : failurePoints(total)) {
      if (reset) reset();
      auto w = victim();
      const Document before = w->doc;
      fx.host.ui.messages.clear();
      bool done = true;
      try {
        FailingAllocation failing(n);
        done = command(*w);
      } catch (const std::bad_alloc&) {
        FAIL() << "the failure of allocation " << n << " of " << total << " escaped";
      }
      if (done) {
        EXPECT_TRUE(test::StoredContentEqual(completed, w->doc)) << "allocation " << n;
      } else {
        ++failed;
        ASSERT_FALSE(fx.host.ui.messages.empty()) << "allocation " << n;
        EXPECT_EQ(fx.host.ui.messages.back().text, message) << "allocation " << n;
        EXPECT_TRUE(test::StoredContentEqual(before, w->doc)) << "allocation " << n;
        EXPECT_EQ(w->doc.fileName, "alt.sbl") << "allocation " << n;
        EXPECT_EQ(w->doc.filePath, "/irgendwo/alt.sbl");
        EXPECT_EQ(w->doc.modified, 1);
        if (unchanged) unchanged();
      }
      EXPECT_EQ(fx.host.ui.status[3], "") << "the progress text is cleared";
      if (HasFailure()) {
        ADD_FAILURE() << "at allocation " << n << " of " << total;
        return;
      }
    }
    // Some failures are met by a fallback (a sort without its work buffer); most end the command.
    EXPECT_GT(failed, 0);
  }

  test::Fixture fx;
  std::string dir;
  bool rich = false;  // the victims hold the rich sample document
};

TEST_F(OutOfMemory, OpeningANativeFileInReadingOrLayout) {
  test::BuildRichDocument(fx.w());
  const std::string path = dir + "/reich.sbl";
  ASSERT_TRUE(test::Shown(fx.w(), SaveSBLFile(fx.w(), path)));
  sweep([&](TMDIChild& w) { return test::Shown(w, OpenSBLFile(w, path)); },
        OutOfMemoryText("reich.sbl", FileCommand::Open));
}

TEST_F(OutOfMemory, OpeningATextFileInReadingOrLayout) {
  const std::string path = dir + "/brief.txt";
  std::string text;
  for (int i = 0; i < 40; ++i)
    text += "Zeile " + std::to_string(i) + " mit etwas Text\tund Tab\r\n";
  test::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
  sweep([&](TMDIChild& w) { return test::Shown(w, OpenTXTFile(w, path, TextCode::Ansi)); },
        OutOfMemoryText("brief.txt", FileCommand::Open));
}

TEST_F(OutOfMemory, OpeningThroughTheFileCommandWithItsSettleStep) {
  const std::string path = dir + "/kurz.txt";
  test::WriteBytes(path, {'E', 'i', 'n', 's', '\n', 'Z', 'w', 'e', 'i', '\n'});
  AppSettings settings;
  sweep([&](TMDIChild& w) { return OpenFile(w, settings, path, kOpenByExtension); },
        OutOfMemoryText("kurz.txt", FileCommand::Open));
  EXPECT_TRUE(settings.recentFiles.entries().size() <= 1u);
}

TEST_F(OutOfMemory, SavingKeepsTheOldFileAndLeavesNoTemporaryFile) {
  rich = true;
  const std::vector<uint8_t> old = {'a', 'l', 't'};
  for (const char* name : {"ziel.sbl", "ziel.txt"}) {
    const std::string path = dir + "/" + name;
    const bool native = std::string(name).ends_with(".sbl");
    sweep(
        [&](TMDIChild& w) {
          return native ? test::Shown(w, SaveSBLFile(w, path)) : test::Shown(w, SaveTXTFile(w, path, TextCode::Utf8));
        },
        OutOfMemoryText(name, FileCommand::Save),
        [&] {
          EXPECT_EQ(test::ReadBytes(path), old);
          EXPECT_EQ(entries(dir).size(), 1u);
        },
        [&] { test::WriteBytes(path, old); });
    fs::remove(path);
  }
}

TEST_F(OutOfMemory, ExportingLaysOutAgainAndKeepsTheDocumentAndTheOldPdf) {
  rich = true;
  const std::string path = dir + "/aus.pdf";
  const std::vector<uint8_t> old = {'%', 'P', 'D', 'F'};
  sweep(
      [&](TMDIChild& w) {
        // Every line dirty: the export's settle step runs the layout.
        SetAllDirtyFlags(w.doc);
        return test::Shown(w, SavePDFFile(w, path));
      },
      PdfOutOfMemoryText(path),
      [&] {
        EXPECT_EQ(test::ReadBytes(path), old);
        EXPECT_EQ(entries(dir), std::vector<std::string>{"aus.pdf"});
      },
      [&] { test::WriteBytes(path, old); });
}

}  // namespace
}  // namespace paginor
