// paginor-cli convert and dump: silent on success, a German message on standard error and a
// non-zero exit code on failure.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "storage/document_equality.h"
#include "storage/sample_documents.h"
#include "storage/sbl_format.h"
#include "support/test_support.h"

namespace paginor {
namespace {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string text(const std::string& path) {
  const auto b = test::ReadBytes(path);
  return std::string(b.begin(), b.end());
}

class CliConvert : public ::testing::Test {
 protected:
  CliConvert() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = test::TempDir(std::string("cli_") + info->name());
  }

  CliResult cli(const std::vector<std::string>& args) {
    std::string cmd = quoted(PAGINOR_CLI);
    for (const std::string& a : args) cmd += " " + quoted(a);
    cmd += " >" + quoted(dir + "/stdout") + " 2>" + quoted(dir + "/stderr");
    CliResult r;
    const int status = std::system(cmd.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = text(dir + "/stdout");
    r.err = text(dir + "/stderr");
    return r;
  }

  void write(const std::string& name, const std::string& content) {
    test::WriteBytes(dir + "/" + name, std::vector<uint8_t>(content.begin(), content.end()));
  }

  std::string dir;
};

TEST_F(CliConvert, ConvertsBetweenFormatsSilently) {
  write("ein.txt", "Eins\r\nZwei \xfc\r\n");
  CliResult r = cli({"convert", dir + "/ein.txt", dir + "/mitte.sbl"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  r = cli({"convert", dir + "/mitte.sbl", dir + "/aus.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(text(dir + "/aus.txt"), "Eins\r\nZwei \xfc\r\n");

  // The options override the extensions.
  r = cli({"convert", "--from", "sbl", dir + "/mitte.sbl", "--to", "dostxt", dir + "/dos.dat"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(text(dir + "/dos.dat"), "Eins\r\nZwei \x81\r\n");
  r = cli({"convert", "--from=dostxt", dir + "/dos.dat", dir + "/zurueck.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(text(dir + "/zurueck.txt"), "Eins\r\nZwei \xfc\r\n");
}

TEST_F(CliConvert, Utf8TextIsRecognisedOnReadingAndWrittenOnRequest) {
  write("utf8.txt",
        "Gr\xc3\xb6\xc3\x9f"
        "e \xe2\x82\xac\r\nZwei\n");
  CliResult r = cli({"convert", dir + "/utf8.txt", dir + "/ansi.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(text(dir + "/ansi.txt"),
            "Gr\xf6\xdf"
            "e \x80\r\nZwei\r\n")
      << "a .txt name is ANSI";
  r = cli({"convert", "--to", "utf8txt", dir + "/ansi.txt", dir + "/wieder.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(text(dir + "/wieder.txt"),
            "Gr\xc3\xb6\xc3\x9f"
            "e \xe2\x82\xac\nZwei\n");
  r = cli({"convert", "--from", "utf8txt", dir + "/wieder.txt", "--to=utf8txt", dir + "/b.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(text(dir + "/b.txt"), text(dir + "/wieder.txt"));

  // Characters Windows-1252 lacks: "?" in the document and a German warning, but no failure.
  write("polnisch.txt",
        "\xc5\x81\xc3\xb3"
        "d\xc5\xba\n");
  r = cli({"convert", "--to", "utf8txt", dir + "/polnisch.txt", dir + "/p.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err,
            "Die Datei polnisch.txt enth\xc3\xa4lt 2 Zeichen, die der Zeichensatz Windows-1252 "
            "nicht kennt; sie wurden durch \"?\" ersetzt.\n");
  EXPECT_EQ(text(dir + "/p.txt"),
            "?\xc3\xb3"
            "d?\n");
}

TEST_F(CliConvert, ABoxDrawnDosTableSurvivesOpenAndSave) {
  // ┌──┬──┐ │Äb│üb│ └──┴──┘ and ╔══╗ ║ß ║ ╚══╝ in code page 850.
  write("tabelle.txt",
        "\xda\xc4\xc4\xc2\xc4\xc4\xbf \xc9\xcd\xcd\xbb\r\n"
        "\xb3\x8e"
        "b\xb3\x81"
        "b\xb3 \xba\xe1 \xba\r\n"
        "\xc0\xc4\xc4\xc1\xc4\xc4\xd9 \xc8\xcd\xcd\xbc\r\n");
  CliResult r = cli(
      {"convert", "--from", "dostxt", "--to", "dostxt", dir + "/tabelle.txt", dir + "/aus.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(text(dir + "/aus.txt"),
            "+--+--+ +==+\r\n"
            "|\x8e"
            "b|\x81"
            "b| |\xe1 |\r\n"
            "+--+--+ +==+\r\n");
}

TEST_F(CliConvert, NewWritesTheBuiltInDocument) {
  CliResult r = cli({"convert", "--new", dir + "/normal.sbt"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  test::Fixture fx;
  const auto file = test::ReadBytes(dir + "/normal.sbt");
  EXPECT_EQ(file, SerializeSBL(fx.doc()));
}

TEST_F(CliConvert, FailuresExitNonZeroWithTheGermanMessage) {
  CliResult r = cli({"convert", dir + "/fehlt.sbl", dir + "/x.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "Konnte Datei fehlt.sbl nicht \xc3\xb6"
            "ffnen! Die Datei existiert nicht.\n");

  write("fremd.sbl", "Hallo Welt");
  r = cli({"convert", dir + "/fremd.sbl", dir + "/x.txt"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!\n");

  write("ein.txt", "Text");
  r = cli({"convert", dir + "/ein.txt", dir + "/fehlt/x.sbl"});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.err, "Konnte Datei x.sbl nicht erstellen! Der Ordner existiert nicht.\n");

  r = cli({"convert", dir + "/ein.txt", dir + "/x.xyz"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("Unbekannter Dateityp"), std::string::npos) << r.err;
  r = cli({"convert", "--to", "html", dir + "/ein.txt", dir + "/x.html"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("Unbekanntes Format: html"), std::string::npos) << r.err;
  r = cli({"convert", dir + "/ein.txt"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("Aufruf: paginor-cli convert"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir + "/x.xyz"));
}

TEST_F(CliConvert, DumpReadsAFile) {
  write("ein.txt", "Eins\r\nZwei\r\n");
  CliResult r = cli({"dump", "--brief", dir + "/ein.txt"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"Eins\""), std::string::npos);
  EXPECT_NE(r.out.find("Courier New"), std::string::npos);
  r = cli({"dump", dir + "/fehlt.sbl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "Konnte Datei fehlt.sbl nicht \xc3\xb6"
            "ffnen! Die Datei existiert nicht.\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace paginor
