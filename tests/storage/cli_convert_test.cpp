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
            "ffnen!\n");

  write("fremd.sbl", "Hallo Welt");
  r = cli({"convert", dir + "/fremd.sbl", dir + "/x.txt"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Dies ist kein g\xc3\xbcltiges Scribolantium Dokument!\n");

  write("ein.txt", "Text");
  r = cli({"convert", dir + "/ein.txt", dir + "/fehlt/x.sbl"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Konnte Datei x.sbl nicht erstellen!\n");

  r = cli({"convert", dir + "/ein.txt", dir + "/x.xyz"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("Unbekannter Dateityp"), std::string::npos) << r.err;
  r = cli({"convert", "--to", "rtf", dir + "/ein.txt", dir + "/x.rtf"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("Unbekanntes Format: rtf"), std::string::npos) << r.err;
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
            "ffnen!\n");
  EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace paginor
