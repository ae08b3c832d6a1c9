#include "shell/key_map.h"

#include <QList>
#include <Qt>

#include "platform/cp1252.h"

namespace paginor {

namespace {

// Windows' codes of the numeric keypad.
constexpr int kNumpad0 = 96;
constexpr int kMultiply = 106;
constexpr int kAdd = 107;
constexpr int kSubtract = 109;
constexpr int kDecimal = 110;
constexpr int kDivide = 111;

int keypadKeyOf(int qtKey) {
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kNumpad0 + (qtKey - Qt::Key_0);
  switch (qtKey) {
    case Qt::Key_Asterisk:
      return kMultiply;
    case Qt::Key_Plus:
      return kAdd;
    case Qt::Key_Minus:
      return kSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
      return kDecimal;
    case Qt::Key_Slash:
      return kDivide;
    default:
      return -1;
  }
}

}  // namespace

int VirtualKeyOf(int qtKey, bool keypad) {
  if (keypad) {
    // Enter, the arrows and the other editing keys of the keypad act as their twins.
    if (const int code = keypadKeyOf(qtKey); code >= 0) return code;
  }
  if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
  if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
  switch (qtKey) {
    case Qt::Key_Backspace:
      return vk::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return vk::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vk::kReturn;
    case Qt::Key_Escape:
      return vk::kEscape;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return vk::kPrior;
    case Qt::Key_PageDown:
      return vk::kNext;
    case Qt::Key_End:
      return vk::kEnd;
    case Qt::Key_Home:
      return vk::kHome;
    case Qt::Key_Left:
      return vk::kLeft;
    case Qt::Key_Up:
      return vk::kUp;
    case Qt::Key_Right:
      return vk::kRight;
    case Qt::Key_Down:
      return vk::kDown;
    case Qt::Key_Insert:
      return vk::kInsert;
    case Qt::Key_Delete:
      return vk::kDelete;
    case Qt::Key_Minus:
      return vk::kOemMinus;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    default:
      return 0;
  }
}

Modifiers ModifiersOf(int qtModifiers) {
  Modifiers m = kNoModifier;
  if (qtModifiers & Qt::ShiftModifier) m |= kShift;
  if (qtModifiers & Qt::AltModifier) m |= kAlt;
  if (qtModifiers & Qt::ControlModifier) m |= kCtrl;
  return m;
}

bool TypesText(Modifiers modifiers) {
  const bool ctrl = modifiers & kCtrl;
  const bool alt = modifiers & kAlt;
  return ctrl == alt;
}

std::optional<std::vector<uint8_t>> Cp1252CharactersOf(const QString& text) {
  std::vector<uint8_t> out;
  for (char32_t c : text.toUcs4()) {
    // Enter, Tab and Backspace reach the editor as keys; other control characters are not
    // typed text; 127 (Delete's text in Qt) neither.
    if (c < 32 || c == 127) continue;
    int b = unicodeToCp1252(c);
    if (b < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(b));
  }
  return out;
}

QString UntypableCharacterText(const QString& text) {
  char32_t refused = 0;
  for (char32_t c : text.toUcs4()) {
    if (c >= 32 && c != 127 && unicodeToCp1252(c) < 0) {
      refused = c;
      break;
    }
  }
  const QString code = QString::number(static_cast<uint>(refused), 16).toUpper();
  return QString::fromUtf8(
             "Das Zeichen „%1“ (U+%2) gibt es im Zeichensatz des Dokuments "
             "(Windows-1252) nicht; es wurde nicht eingefügt.")
      .arg(QString::fromUcs4(&refused, 1), code.rightJustified(4, QChar('0')));
}

}  // namespace paginor
