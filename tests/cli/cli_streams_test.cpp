// paginor-cli as command-line users expect it: "-" for standard input and output, output names
// that lead to the process's own descriptors, exit codes, warnings on standard error, no work
// folder for `edit`, and no temporary file left after it is ended during a save.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "app/document_files.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;

std::string shellQuoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string readText(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return {};
  std::string s;
  char buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
  std::fclose(f);
  return s;
}

void writeText(const std::string& path, const std::string& content) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class CliStreams : public ::testing::Test {
 protected:
  CliStreams() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = test::TempDir(std::string("cli_streams_") + info->name());
  }

  // Runs the program through the shell: `args` are quoted, `redirections` are shell text
  // ("< in.txt"); standard output and error are captured unless redirected.
  CliResult cli(const std::vector<std::string>& args, const std::string& redirections = "",
                const std::string& environment = "") {
    std::string cmd =
        "cd " + shellQuoted(dir) + " && " + environment + " " + shellQuoted(PAGINOR_CLI);
    for (const std::string& a : args) cmd += " " + shellQuoted(a);
    cmd += " " + redirections;
    if (redirections.find_first_of(">|") == std::string::npos)
      cmd += " >" + shellQuoted(dir + "/.stdout");
    cmd += " 2>" + shellQuoted(dir + "/.stderr");
    const int status = std::system(cmd.c_str());
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readText(dir + "/.stdout");
    r.err = readText(dir + "/.stderr");
    fs::remove(dir + "/.stdout");
    fs::remove(dir + "/.stderr");
    return r;
  }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  std::string dir;
};

TEST_F(CliStreams, DashReadsStandardInputAndWritesStandardOutput) {
  writeText(path("ein.txt"), "Eins\nZwei \xc3\xbc\n");
  // Text in, a native document out; the format of standard input is recognised by its content.
  CliResult r = cli({"convert", "-", "doc.sbl"}, "< ein.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  r = cli({"convert", "--to", "utf8txt", "-", "-"}, "< doc.sbl");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Eins\nZwei \xc3\xbc\n");
  r = cli({"convert", "--to", "utf8txt", "doc.sbl", "-"});
  EXPECT_EQ(r.out, "Eins\nZwei \xc3\xbc\n");
  r = cli({"convert", "--from", "dostxt", "--to", "txt", "-", "-"}, "< ein.txt");
  EXPECT_EQ(r.out, "Eins\r\nZwei \xfc\r\n") << "UTF-8 is recognised whatever was asked";

  r = cli({"dump", "--brief", "-"}, "< ein.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"Eins\""), std::string::npos);

  r = cli({"convert", "--to", "pdf", "doc.sbl", "-"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 8), "%PDF-1.3");
  EXPECT_NE(r.out.find("%%EOF"), std::string::npos);

  r = cli({"edit", "--to", "utf8txt", "-", "-", "--keys", "{Ctrl+End}!"}, "< ein.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Eins\nZwei \xc3\xbc!\n");

  // Standard output has no name to take the format from.
  r = cli({"convert", "doc.sbl", "-"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("Standardausgabe bitte das Format mit --to"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  // Damaged standard input is refused like a damaged file.
  r = cli({"convert", "--from", "sbl", "-", "x.txt"}, "< ein.txt");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!\n");
  EXPECT_FALSE(fs::exists(path("x.txt")));
}

TEST_F(CliStreams, NamesOfTheOwnDescriptorsWriteWhereTheShellSentThem) {
  writeText(path("ein.txt"), "Hallo\n");
  ASSERT_EQ(cli({"convert", "ein.txt", "doc.sbl"}).exitCode, 0);
  fs::create_symlink("/proc/self/fd/1", path("aus"));
  CliResult r = cli({"convert", "--to", "utf8txt", "doc.sbl", "aus"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Hallo\n");
  EXPECT_TRUE(fs::is_symlink(path("aus"))) << "the link stays";

  r = cli({"convert", "--to", "utf8txt", "doc.sbl", "/dev/stdout"}, "| cat > piped.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readText(path("piped.txt")), "Hallo\n");

  // Appending output keeps what was there.
  writeText(path("log.txt"), "vorher\n");
  r = cli({"convert", "--to", "utf8txt", "doc.sbl", "-"}, ">> log.txt");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readText(path("log.txt")), "vorher\nHallo\n");
}

TEST_F(CliStreams, ExitCodesTellSuccessFailureAndMisuse) {
  writeText(path("ein.txt"), "Text\n");
  EXPECT_EQ(cli({"convert", "ein.txt", "aus.sbl"}).exitCode, 0);
  EXPECT_EQ(cli({"convert", "fehlt.txt", "aus.sbl"}).exitCode, 1);
  EXPECT_EQ(cli({"convert", "ein.txt", "fehlt/aus.sbl"}).exitCode, 4);
  EXPECT_EQ(cli({"convert", "ein.txt"}).exitCode, 2);
  EXPECT_EQ(cli({"gibtsnicht"}).exitCode, 2);
  const CliResult help = cli({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Rückgabewert: 0 Erfolg"), std::string::npos) << help.out;
}

TEST_F(CliStreams, DroppedControlBytesAreCountedOnStandardError) {
  writeText(path("nullen.txt"), std::string(1 << 20, '\0'));
  CliResult r = cli({"convert", "--to", "utf8txt", "nullen.txt", "-"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "") << "an empty document writes no line";
  EXPECT_EQ(r.err,
            "Die Datei nullen.txt enthielt 1048576 Steuerzeichen (etwa NUL), die beim Lesen "
            "ausgelassen wurden.\n");
  writeText(path("gemischt.txt"), std::string("a\x01"
                                              "b\x1b"
                                              "c\n",
                                              6));
  r = cli({"convert", "--to", "utf8txt", "-", "-"}, "< gemischt.txt");
  EXPECT_EQ(r.out, "abc\n");
  EXPECT_EQ(r.err,
            "Die Datei Standardeingabe enthielt 2 Steuerzeichen (etwa NUL), die beim Lesen "
            "ausgelassen wurden.\n");
}

TEST_F(CliStreams, EditNeedsNoWorkFolder) {
  writeText(path("ein.txt"), "Hallo\n");
  const std::string tmp = test::TempDir("cli_streams_tmp");
  CliResult r =
      cli({"edit", "ein.txt", "aus.txt", "--keys", "{End} Welt"}, "", "TMPDIR=" + shellQuoted(tmp));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(readText(path("aus.txt")), "Hallo Welt\r\n");
  EXPECT_TRUE(fs::is_empty(tmp)) << "nothing is left in the temporary directory";
  r = cli({"edit", "ein.txt", "aus2.txt", "--keys", "x"}, "", "TMPDIR=/gibt/es/nicht");
  EXPECT_EQ(r.exitCode, 0) << r.err;
}

// The temporary file of a save ended by SIGTERM goes with the process; the old file stays.
TEST_F(CliStreams, ATerminatedSaveLeavesNoTemporaryFile) {
  // A document of several megabytes, so that its save lasts long enough to be interrupted.
  std::string text;
  for (int i = 0; i < 60000; ++i) text += "Eine Zeile Text, die den Speicher etwas fordert.\n";
  writeText(path("gross.txt"), text);
  ASSERT_EQ(cli({"convert", "gross.txt", "gross.sbl"}).exitCode, 0);
  const std::string old = "alter Inhalt";
  int interrupted = 0;
  for (int attempt = 0; attempt < 5 && interrupted == 0; ++attempt) {
    writeText(path("ziel.sbl"), old);
    const pid_t child = fork();
    if (child == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      execl(PAGINOR_CLI, PAGINOR_CLI, "convert", path("gross.sbl").c_str(),
            path("ziel.sbl").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    // Wait for the temporary file beside the target, then end the program.
    bool seen = false;
    for (int i = 0; i < 60000 && !seen; ++i) {
      for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind(".ziel.sbl.~", 0) == 0) seen = true;
      if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(200));
      int status = 0;
      if (!seen && waitpid(child, &status, WNOHANG) == child) break;  // too quick this time
    }
    if (!seen) continue;
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFSIGNALED(status)) continue;  // it finished first after all
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    ++interrupted;
    EXPECT_EQ(readText(path("ziel.sbl")), old);
    for (const auto& e : fs::directory_iterator(dir))
      EXPECT_EQ(e.path().filename().string().find(".~"), std::string::npos) << e.path();
  }
  EXPECT_EQ(interrupted, 1) << "the save was caught while it ran";
}

}  // namespace
}  // namespace paginor

namespace paginor {
namespace {

// The exit code tells the caller what went wrong: the input, its content, or the output.
TEST_F(CliStreams, EachKindOfFailureHasItsExitCode) {
  writeText(path("ein.txt"), "Text\n");
  writeText(path("fremd.sbl"), "Hallo Welt");
  EXPECT_EQ(cli({"convert", "fehlt.txt", "aus.sbl"}).exitCode, 1);
  EXPECT_EQ(cli({"convert", ".", "--from", "txt", "aus.sbl"}).exitCode, 1) << "a folder";
  CliResult r = cli({"convert", "fremd.sbl", "aus.txt"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!\n");
  // Formats the program's dialogs offer but this build cannot read or write are refused with the
  // program's own message.
  r = cli({"convert", "ein.txt", "aus.rtf"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("RTF-Dateien k\xc3\xb6nnen noch nicht geschrieben werden"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(fs::exists(path("aus.rtf")));
  writeText(path("alt.doc"), "Word");
  r = cli({"convert", "alt.doc", "aus.txt"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("Word-Dokumente k\xc3\xb6nnen noch nicht gelesen werden"),
            std::string::npos)
      << r.err;
  r = cli({"convert", "ein.txt", "fehlt/aus.pdf"});
  EXPECT_EQ(r.exitCode, 4);
  r = cli({"convert", "--to", "sbl", "ein.txt", "/dev/full"});
  EXPECT_EQ(r.exitCode, 4) << "disk full: " << r.err;
  EXPECT_EQ(cli({"convert", "--to", "txt", "ein.txt", "/dev/full"}).exitCode, 4);
}

// Every format the program's dialogs offer is known to the command line by the same extension,
// and every format the command line writes reads back as the dialogs would read it.
TEST_F(CliStreams, TheCommandLineKnowsTheDialogsFormats) {
  writeText(path("ein.txt"), "Gr\xc3\xbc\xc3\x9f" "e\n");
  for (const FormatInfo& f : DocumentFormats()) {
    if (f.saveType != 0) {
      EXPECT_EQ(WithSaveExtension("brief", f.saveType), std::string("brief") + f.extension);
      EXPECT_EQ(FormatOfExtension(WithSaveExtension("brief", f.saveType))->saveType != 0, true);
    }
    const std::string out = std::string("aus_") + f.name + f.extension;
    const CliResult r = cli({"convert", "--to", f.name, "ein.txt", out});
    if (!f.writable) {
      EXPECT_EQ(r.exitCode, 3) << f.name << ": " << r.err;
      EXPECT_FALSE(fs::exists(path(out)));
      continue;
    }
    ASSERT_EQ(r.exitCode, 0) << f.name << ": " << r.err;
    if (!f.readable) continue;
    // What the program's open command would choose for the file it wrote.
    const CliResult back = cli({"convert", "--from", f.name, out, "--to", "utf8txt", "-"});
    ASSERT_EQ(back.exitCode, 0) << f.name << ": " << back.err;
    EXPECT_EQ(back.out, "Gr\xc3\xbc\xc3\x9f" "e\n") << f.name;
    EXPECT_EQ(ReaderFor(f.openType, out), f.format) << f.name;
    if (f.saveType != 0) {
      EXPECT_EQ(WriterFor(f.saveType, out), f.format) << f.name;
    }
  }
  // The template's extension names a native document for both programs.
  ASSERT_EQ(cli({"convert", "ein.txt", "vorlage.sbt"}).exitCode, 0);
  EXPECT_EQ(ReaderFor(kOpenByExtension, "vorlage.sbt"), DocumentFormat::Native);
  EXPECT_EQ(cli({"convert", "vorlage.sbt", "zurueck.txt"}).exitCode, 0);
}

TEST_F(CliStreams, OutdirConvertsManyFilesAndGoesOnAfterAFailure) {
  writeText(path("a.txt"), "Eins\n");
  writeText(path("b.txt"), "Zwei\n");
  writeText(path("kaputt.sbl"), "Hallo Welt");
  fs::create_directory(path("aus"));
  CliResult r = cli({"convert", "--to", "utf8txt", "--outdir", "aus", "a.txt", "kaputt.sbl",
                     "fehlt.txt", "b.txt"});
  EXPECT_EQ(r.exitCode, 6) << "damaged and missing inputs fail for different reasons";
  EXPECT_EQ(readText(path("aus/a.txt")), "Eins\n");
  EXPECT_EQ(readText(path("aus/b.txt")), "Zwei\n");
  EXPECT_FALSE(fs::exists(path("aus/kaputt.txt")));
  EXPECT_NE(r.err.find("kaputt.sbl: Dies ist kein"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("fehlt.txt: Konnte Datei fehlt.txt nicht"), std::string::npos) << r.err;

  r = cli({"convert", "--to", "sbl", "--outdir", "aus", "a.txt", "b.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(path("aus/a.sbl")));
  EXPECT_EQ(cli({"convert", "--to", "sbl", "--outdir", "aus", "a.txt", "fehlt.txt"}).exitCode, 1)
      << "one kind of failure keeps its code";
  EXPECT_EQ(cli({"convert", "--to", "pdf", "--outdir", "fehlt", "a.txt"}).exitCode, 4);
  // Two inputs that would give the same output: the second is not written over the first.
  writeText(path("a.sbl"), "");
  r = cli({"convert", "--from", "txt", "--to", "utf8txt", "--outdir", "aus", "a.txt", "a.sbl"});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(readText(path("aus/a.txt")), "Eins\n");
  EXPECT_EQ(cli({"convert", "--outdir", "aus", "a.txt"}).exitCode, 2) << "--to is needed";
  EXPECT_EQ(cli({"convert", "--to", "txt", "--outdir", "aus", "-"}).exitCode, 2);
}

}  // namespace
}  // namespace paginor
