// The Qt dialogs of templates, text columns and special characters (platform/template_dialogs.h):
// the name dialog, "Formatvorlagen verwalten", "Spalten" and "Sonderzeichen" with its grid.
#pragma once

#include <QDialog>
#include <QWidget>
#include <optional>

#include "platform/template_dialogs.h"

class QCheckBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace paginor {

// Shows `dialog` modally when it is one of these four; nothing for any other dialog.
std::optional<bool> RunTemplateDialog(Dialog& dialog, QWidget* parent);

// The name dialog: "Name:" and OK, which is enabled only while the field holds a name the
// document can store.
class QtTemplateNameDialog : public QDialog {
  Q_OBJECT
 public:
  QtTemplateNameDialog(const TemplateNameDialog& data, QWidget* parent);
  void writeBack(TemplateNameDialog& data) const;

  QLineEdit* name;
  QPushButton* ok;
  QLabel* hint;  // shown while the name has letters outside Windows-1252
};

// "Formatvorlagen verwalten": the list, "&Anwenden", "&Umbenennen", "&Löschen", "Schließen".
class QtTemplateManagerDialog : public QDialog {
  Q_OBJECT
 public:
  QtTemplateManagerDialog(TemplateManagerDialog& data, QWidget* parent);
  void writeBack(TemplateManagerDialog& data) const;

  QListWidget* list;
  QPushButton* apply;
  QPushButton* rename;
  QPushButton* remove;
  QPushButton* close;

 private:
  void showNames(int select);  // the record's names into the list
  TemplateManagerDialog& data_;
};

// "Spalten".
class QtColumnsDialog : public QDialog {
  Q_OBJECT
 public:
  QtColumnsDialog(const ColumnsDialog& data, QWidget* parent);
  void writeBack(ColumnsDialog& data) const;

  QSpinBox* count;      // "Anzahl der Spalten:"
  QDoubleSpinBox* gap;  // "Abstand zwischen den Spalten:"
  QCheckBox* lines;     // "Linien zwischen den Spalten"
};

// The 16 × 14 grid of the characters 32 to 255 in one font; a click selects, a double click
// confirms.
class SpecialCharacterGrid : public QWidget {
  Q_OBJECT
 public:
  explicit SpecialCharacterGrid(QWidget* parent);
  void setFaceName(const QString& face);
  void setCode(int code);
  int code() const { return code_; }
  // The cell of a code, in widget coordinates.
  QRect cellRect(int code) const;
  QSize sizeHint() const override;

 signals:
  void codeChanged(int code);
  void chosen(int code);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int codeAt(QPoint p) const;
  QString face_;
  int code_ = 32;
};

// "Sonderzeichen": the font, the grid, "Zeichen: <code>" and the preview at 72 points.
class QtSpecialCharacterDialog : public QDialog {
  Q_OBJECT
 public:
  QtSpecialCharacterDialog(const SpecialCharacterDialog& data, QWidget* parent);
  void writeBack(SpecialCharacterDialog& data) const;

  QFontComboBox* font;
  SpecialCharacterGrid* grid;
  QLabel* codeLabel;
  QLabel* preview;

 private:
  void showCode(int code);
};

// The character a Windows-1252 code stands for.
QString Cp1252Char(int code);

}  // namespace paginor
