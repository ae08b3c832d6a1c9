// Qt keys and texts in the editor's terms.
#include <gtest/gtest.h>

#include <Qt>

#include "shell/key_map.h"

namespace paginor {
namespace {

TEST(ShellKeyMap, KeysBecomeWindowsVirtualKeys) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_A), 'A');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Z), 'Z');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_5), '5');
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F1), 112);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F7), 118);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Left), vk::kLeft);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Down), vk::kDown);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageUp), vk::kPrior);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageDown), vk::kNext);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Home), vk::kHome);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_End), vk::kEnd);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Delete), vk::kDelete);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Insert), vk::kInsert);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Backspace), vk::kBack);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Escape), vk::kEscape);
  // Both Enter keys and both Tab forms are one key each for the editor.
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Return), vk::kReturn);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Enter), vk::kReturn);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Tab), vk::kTab);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Backtab), vk::kTab);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Minus), vk::kOemMinus);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Dead_Acute), 0);
}

TEST(ShellKeyMap, ModifiersAndWhichKeysType) {
  EXPECT_EQ(ModifiersOf(Qt::NoModifier), kNoModifier);
  EXPECT_EQ(ModifiersOf(Qt::ShiftModifier | Qt::ControlModifier), kShift | kCtrl);
  EXPECT_EQ(ModifiersOf(Qt::AltModifier), kAlt);
  EXPECT_EQ(ModifiersOf(Qt::KeypadModifier), kNoModifier);
  EXPECT_TRUE(TypesText(kNoModifier));
  EXPECT_TRUE(TypesText(kShift));
  EXPECT_FALSE(TypesText(kCtrl));
  EXPECT_FALSE(TypesText(kAlt | kShift));
  EXPECT_TRUE(TypesText(kCtrl | kAlt));  // AltGr on keyboards that report it so
}

TEST(ShellKeyMap, TextBecomesWindows1252OrIsRefusedWhole) {
  auto bytes = Cp1252CharactersOf(QString::fromUtf8("aÄ€„"));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, (std::vector<uint8_t>{'a', 0xC4, 0x80, 0x84}));
  // Keys that are keys to the editor bring no characters along.
  for (const char* control : {"\t", "\r", "\b", "\x1b", "\x7f", "\x01"}) {
    auto none = Cp1252CharactersOf(QString::fromLatin1(control));
    ASSERT_TRUE(none.has_value()) << int(control[0]);
    EXPECT_TRUE(none->empty()) << int(control[0]);
  }
  // One character outside the code page refuses the whole text.
  EXPECT_FALSE(Cp1252CharactersOf(QString::fromUtf8("aΩ")).has_value());
  EXPECT_FALSE(Cp1252CharactersOf(QString::fromUtf8("😀")).has_value());
}

}  // namespace
}  // namespace paginor
