// The format dialogs of the desktop program: "Zeichen", "Absatzformatierung", "Tabstops",
// "Nummerierung und Aufzählungen" and the colour chooser of the format toolbar. Each shows its
// record (platform/dialogs.h, platform/format_dialogs.h) and writes it back on "OK"; the rules
// between the controls are the engine's, so the dialogs and the key scripts behave alike.
#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

#include "platform/dialogs.h"
#include "platform/format_dialogs.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace paginor {

// The faces the font boxes offer: the Windows names the program pins to metric-compatible free
// fonts first (docs/fonts.md), then every family fontconfig knows, each name once.
QStringList FaceBoxNames();

// Shows the dialog when it is one of these; nullopt for any other, which the caller handles.
std::optional<bool> RunFormatDialog(Dialog& dialog, QWidget* parent);

// A button that shows a colour and lets the user choose another (QColorDialog).
class QtColourButton;

class QtCharacterDialog : public QDialog {
  Q_OBJECT
 public:
  QtCharacterDialog(const CharacterDialog& data, QWidget* parent);
  // The values, and which controls differ from what the dialog opened with.
  void writeBack(CharacterDialog& data) const;

  QComboBox* face;  // "Schriftart"
  QComboBox* size;  // "Schriftgrad"
  QListWidget* attributes;
  QtColourButton* textColour;
  QtColourButton* backColour;
  QCheckBox* transparent;
  QtColourButton* outlineColour;
  QtColourButton* shadowColour;

 private:
  CharacterDialog opened_;
};

class QtParagraphDialog : public QDialog {
  Q_OBJECT
 public:
  QtParagraphDialog(const ParagraphDialog& data, QWidget* parent);
  void writeBack(ParagraphDialog& data) const { data = data_; }

  QComboBox* alignment;
  QComboBox* spacing;  // "Zeilenabstand"
  QDoubleSpinBox* measure;
  QLabel* unit;  // "mm" or "Zeilen"
  QDoubleSpinBox* above;
  QDoubleSpinBox* below;
  QDoubleSpinBox* left;
  QDoubleSpinBox* right;
  QDoubleSpinBox* firstLine;

 private:
  void showSpacing();
  ParagraphDialog data_;
  bool updating_ = false;
};

class QtTabDialog : public QDialog {
  Q_OBJECT
 public:
  QtTabDialog(const TabDialog& data, QWidget* parent);
  void writeBack(TabDialog& data) const;

  QDoubleSpinBox* defaultWidth;  // "Standard-Tabstops"
  QLineEdit* position;           // the list's edit line
  QListWidget* list;
  QComboBox* alignment;  // "Ausrichtung"
  QComboBox* fill;       // "Füllzeichen"
  QPushButton* set;      // "Setzen"
  QPushButton* remove;   // "Löschen"
  QPushButton* clear;    // "Alle löschen"

 private:
  void showList();
  TabDialog data_;
  bool updating_ = false;
};

class QtListDialog : public QDialog {
  Q_OBJECT
 public:
  QtListDialog(const ListDialog& data, QWidget* parent);
  void writeBack(ListDialog& data) const;

  QComboBox* kind;  // "Typ"
  QDoubleSpinBox* indent;
  QLineEdit* bullet;       // "Zeichen für Aufzählung"
  QPushButton* charTable;  // hint "Zeichentabelle"

 private:
  ListDialog data_;
  QString shownBullet_;  // what the box showed for the stored character
};

}  // namespace paginor
