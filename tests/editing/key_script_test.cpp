// The key language and paginor-cli edit, which feeds it through the key handlers and saves the
// result in any writable format.

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "editing/editor_fixture.h"
#include "editing/key_script.h"
#include "editing/undo.h"

namespace paginor::test {
namespace {

using Kind = KeyEvent::Kind;

KeyEvent down(int key, Modifiers m = kNoModifier) {
  return {Kind::Down, key, m, 0, {}};
}
KeyEvent press(uint8_t ch) {
  return {Kind::Press, 0, kNoModifier, ch, {}};
}

TEST(KeyScript, TextNamedKeysAndLiteralBraces) {
  const ParsedKeyScript s = ParseKeyScript("a\xc3\xa4{Shift+End}{ctrl+a}{{x}}{Undo}{Redo}\n{Tab}");
  ASSERT_TRUE(s.ok()) << s.error;
  const std::vector<KeyEvent> expected{press('a'),
                                       press(0xE4),
                                       down(vk::kEnd, kShift),
                                       down('A', kCtrl),
                                       press(1),
                                       press('{'),
                                       press('x'),
                                       press('}'),
                                       down(vk::kBack, kAlt),
                                       {Kind::Redo, 0, kNoModifier, 0, {}},
                                       down(vk::kTab),
                                       press(9)};
  EXPECT_EQ(s.events, expected);

  // Keys deliver the characters a keyboard would: Ctrl+Backspace its 127, Enter its 13.
  const ParsedKeyScript k = ParseKeyScript("{Ctrl+Backspace}{Enter}{Strg+Umschalt+Left}{€}");
  EXPECT_FALSE(k.ok()) << "{€} names no key";
  const ParsedKeyScript ok = ParseKeyScript("{Ctrl+Backspace}{Enter}{Strg+Umschalt+Left}€");
  ASSERT_TRUE(ok.ok()) << ok.error;
  EXPECT_EQ(ok.events,
            (std::vector<KeyEvent>{down(vk::kBack, kCtrl), press(127), down(vk::kReturn), press(13),
                                   down(vk::kLeft, kCtrl | kShift), press(0x80)}));
}

TEST(KeyScript, BadScriptsAreRefusedWithAGermanMessage) {
  struct Case {
    const char* script;
    const char* message;
  };
  const Case cases[] = {
      {"ab{Foo}", "Unbekannte Taste „{Foo}“ an Stelle 3."},
      {"a\xe2\x86\x92",
       "Das Zeichen „→“ (U+2192) an Stelle 2 gibt es im Zeichensatz "
       "Windows-1252 nicht."},
      {"a{Enter", "Die Klammer „{“ an Stelle 2 wird nicht geschlossen."},
      {"}", "Einzelne „}“ an Stelle 1; eine Klammer wird als „}}“ geschrieben."},
      {"a\xff", "Die Tastenfolge ist kein gültiges UTF-8 (Byte 2)."},
      {"\xc3", "Die Tastenfolge ist kein gültiges UTF-8 (Byte 1)."},
      {"{Hyper+A}", "Unbekannte Umschalttaste „Hyper“ in „{Hyper+A}“ an Stelle 1."},
      {"{Shift+Undo}", "„{Shift+Undo}“ an Stelle 1 nimmt keine Umschalttasten."},
      {"a\tb", "Steuerzeichen an Stelle 2; Tasten stehen in geschweiften Klammern, etwa {Tab}."},
      {"\xc3\xa4{Bad}", "Unbekannte Taste „{Bad}“ an Stelle 2."},
  };
  for (const Case& c : cases) {
    const ParsedKeyScript s = ParseKeyScript(c.script);
    EXPECT_EQ(s.error, c.message) << c.script;
    EXPECT_TRUE(s.events.empty());
  }
}

using KeyScriptEditing = EditorTest;

TEST_F(KeyScriptEditing, AScriptEditsTheDocumentThroughTheHandlers) {
  Keys("Hallo Welt{Enter}Zweite Zeile{Shift+Home}{Delete}Neu{Undo}{Redo}x{{y}}");
  EXPECT_EQ(ChainText(), "Hallo Welt|Neux{y}");
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Eingabe", "Eingabe", "Löschen",
                                                            "Eingabe", "Eingabe Enter", "Eingabe"}))
      << "the redo ended the typing run, so \"x\" is a step of its own";
}

// paginor-cli edit, run as a program.
class EditCommand : public ::testing::Test {
 protected:
  EditCommand() {
    dir = TempDir(std::string("edit_") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  static std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }

  int cli(const std::vector<std::string>& args) {
    std::string cmd = quoted(PAGINOR_CLI) + " edit";
    for (const std::string& a : args) cmd += " " + quoted(a);
    cmd += " >" + quoted(dir + "/stdout") + " 2>" + quoted(dir + "/stderr");
    const int status = std::system(cmd.c_str());
    err = read("stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string read(const std::string& name) {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The command is wired into the program's command table by cli/main.cpp.
  bool available() { return cli({}) != 2 || err.find("Unbekannter Befehl") == std::string::npos; }

  std::string dir;
  std::string err;
};

TEST_F(EditCommand, EditsANewDocumentAndSavesItAsTextAndNative) {
  if (!available()) GTEST_SKIP() << "paginor-cli has no command \"edit\" yet";
  ASSERT_EQ(cli({"--new", dir + "/a.txt", "--keys",
                 "Hallo Welt{Enter}Zweite „Zeile“ €{Shift+Home}{Delete}Neu{Undo}{Redo}x"}),
            0)
      << err;
  EXPECT_EQ(read("a.txt"), "Hallo Welt\r\nNeux\r\n");

  // A text file in, a native file out, and back: the script starts where the file left the
  // Cursor, at the start.
  ASSERT_EQ(cli({dir + "/a.txt", dir + "/b.sbl", "--keys", "{Ctrl+End}!{Ctrl+Home}>"}), 0) << err;
  ASSERT_EQ(cli({dir + "/b.sbl", dir + "/c.txt", "--keys", "{Down}{End}\xc3\xa4"}), 0) << err;
  EXPECT_EQ(read("c.txt"), ">Hallo Welt\r\nNeux!\xe4\r\n");

  std::ofstream(dir + "/script") << "Aus{Tab}der\nDatei";
  ASSERT_EQ(cli({"--new", dir + "/d.txt", "--keys-file", dir + "/script"}), 0) << err;
  EXPECT_EQ(read("d.txt"), "Aus\tderDatei\r\n");
}

TEST_F(EditCommand, WritesAPdf) {
  if (!available()) GTEST_SKIP() << "paginor-cli has no command \"edit\" yet";
  ASSERT_EQ(cli({"--new", dir + "/a.pdf", "--keys", "Seite eins{Ctrl+Enter}Seite zwei"}), 0) << err;
  const std::string pdf = read("a.pdf");
  EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.3");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos) << "Ctrl+Enter made a second page";
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
}

TEST_F(EditCommand, RefusesBadScriptsAndFilesWithAMessage) {
  if (!available()) GTEST_SKIP() << "paginor-cli has no command \"edit\" yet";
  EXPECT_EQ(cli({"--new", dir + "/a.txt", "--keys", "a{Foo}"}), 2);
  EXPECT_EQ(err, "Unbekannte Taste „{Foo}“ an Stelle 2.\n");
  EXPECT_FALSE(std::ifstream(dir + "/a.txt").good()) << "nothing is written";
  EXPECT_EQ(cli({"--new", dir + "/a.txt", "--keys", "\xe2\x86\x92"}), 2);
  EXPECT_NE(err.find("Windows-1252"), std::string::npos);
  EXPECT_EQ(cli({dir + "/fehlt.txt", dir + "/a.txt", "--keys", "a"}), 1);
  EXPECT_EQ(err, "Konnte Datei fehlt.txt nicht öffnen! Die Datei existiert nicht.\n");
  EXPECT_EQ(cli({"--new", dir + "/a.txt"}), 2) << "no script";
  EXPECT_NE(err.find("Aufruf: paginor-cli edit"), std::string::npos);
}

}  // namespace
}  // namespace paginor::test
