#include "platform/qt/qt_template_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "editing/columns_dialog.h"
#include "editing/special_character.h"
#include "editing/templates.h"
#include "platform/cp1252.h"

namespace paginor {

namespace {

QString qs(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QDialogButtonBox* okCancel(QDialog* dialog, QPushButton** ok = nullptr) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* b = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
  b->setDefault(true);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  if (ok) *ok = b;
  return buttons;
}

constexpr int kCellSize = 24;

}  // namespace

QString Cp1252Char(int code) {
  const std::string byte(1, static_cast<char>(code));
  return qs(cp1252ToUtf8(byte));
}

// --- Name dialog ---------------------------------------------------------------------------------

QtTemplateNameDialog::QtTemplateNameDialog(const TemplateNameDialog& data, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(qs(data.caption));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  name = new QLineEdit(qs(data.name), this);
  name->setMinimumWidth(260);
  name->selectAll();
  form->addRow("Name:", name);
  layout->addLayout(form);
  hint = new QLabel("Der Name enthält Zeichen, die das Dokument nicht speichern kann.", this);
  layout->addWidget(hint);
  layout->addWidget(okCancel(this, &ok));
  auto check = [this](const QString& t) {
    const std::string utf8 = t.toStdString();
    ok->setEnabled(TemplateNameAccepted(utf8));
    hint->setVisible(!TemplateNameWritable(utf8));
  };
  check(name->text());
  connect(name, &QLineEdit::textChanged, this, check);
}

void QtTemplateNameDialog::writeBack(TemplateNameDialog& data) const {
  data.name = name->text().toStdString();
}

// --- Management dialog ---------------------------------------------------------------------------

QtTemplateManagerDialog::QtTemplateManagerDialog(TemplateManagerDialog& data, QWidget* parent)
    : QDialog(parent), data_(data) {
  setWindowTitle(data.title());
  auto* layout = new QHBoxLayout(this);
  list = new QListWidget(this);
  list->setMinimumSize(220, 200);
  layout->addWidget(list, 1);
  auto* side = new QVBoxLayout;
  apply = new QPushButton("&Anwenden", this);
  rename = new QPushButton("&Umbenennen", this);
  remove = new QPushButton("&Löschen", this);
  close = new QPushButton("Schließen", this);
  apply->setDefault(true);
  for (QPushButton* b : {apply, rename, remove}) side->addWidget(b);
  side->addStretch(1);
  side->addWidget(close);
  layout->addLayout(side);
  showNames(data.selected);

  connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
    for (QPushButton* b : {apply, rename, remove}) b->setEnabled(row >= 0);
  });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { apply->click(); });
  connect(apply, &QPushButton::clicked, this, [this] {
    if (list->currentRow() >= 0) accept();
  });
  connect(rename, &QPushButton::clicked, this, [this] {
    const int row = list->currentRow();
    if (row >= 0 && data_.rename && data_.rename(row)) showNames(row);
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    const int row = list->currentRow();
    if (row < 0 || !data_.remove) return;
    data_.remove(row);
    showNames(std::min(row, static_cast<int>(data_.names.size()) - 1));
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void QtTemplateManagerDialog::showNames(int select) {
  list->clear();
  for (const std::string& n : data_.names) list->addItem(qs(n));
  list->setCurrentRow(select);
  for (QPushButton* b : {apply, rename, remove}) b->setEnabled(list->currentRow() >= 0);
}

void QtTemplateManagerDialog::writeBack(TemplateManagerDialog& data) const {
  data.selected = list->currentRow();
}

// --- Columns -------------------------------------------------------------------------------------

QtColumnsDialog::QtColumnsDialog(const ColumnsDialog& data, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Spalten");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  count = new QSpinBox(this);
  count->setRange(1, kMaxColumns);
  count->setValue(std::clamp(data.count, 1, kMaxColumns));
  gap = new QDoubleSpinBox(this);
  gap->setRange(0, kMaxColumnGapCm);
  gap->setSingleStep(0.1);
  gap->setDecimals(2);
  gap->setLocale(QLocale(QLocale::German, QLocale::Germany));  // "1,25", as the user writes it
  gap->setValue(std::clamp(data.gapCm, 0.0, kMaxColumnGapCm));
  auto* gapRow = new QHBoxLayout;
  gapRow->addWidget(gap, 1);
  gapRow->addWidget(new QLabel("cm", this));
  form->addRow("Anzahl der Spalten:", count);
  form->addRow("Abstand zwischen den Spalten:", gapRow);
  layout->addLayout(form);
  lines = new QCheckBox("Linien zwischen den Spalten", this);
  lines->setChecked(data.lines);
  layout->addWidget(lines);
  layout->addWidget(okCancel(this));
}

void QtColumnsDialog::writeBack(ColumnsDialog& data) const {
  data.count = count->value();
  data.gapCm = gap->value();
  data.lines = lines->isChecked();
}

// --- Special characters --------------------------------------------------------------------------

SpecialCharacterGrid::SpecialCharacterGrid(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SpecialCharacterGrid::sizeHint() const {
  return {kSpecialGridColumns * kCellSize + 1, kSpecialGridRows * kCellSize + 1};
}

void SpecialCharacterGrid::setFaceName(const QString& face) {
  face_ = face;
  update();
}

void SpecialCharacterGrid::setCode(int code) {
  code = std::clamp(code, kFirstSpecialCode, kLastSpecialCode);
  if (code == code_) return;
  code_ = code;
  update();
  emit codeChanged(code_);
}

QRect SpecialCharacterGrid::cellRect(int code) const {
  const int i = code - kFirstSpecialCode;
  return {(i % kSpecialGridColumns) * kCellSize, (i / kSpecialGridColumns) * kCellSize, kCellSize,
          kCellSize};
}

int SpecialCharacterGrid::codeAt(QPoint p) const {
  const int column = p.x() / kCellSize, row = p.y() / kCellSize;
  if (p.x() < 0 || p.y() < 0 || column >= kSpecialGridColumns || row >= kSpecialGridRows) return -1;
  return SpecialGridCode(column, row);
}

void SpecialCharacterGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().base());
  QFont f(face_);
  f.setPixelSize(kCellSize * 2 / 3);
  p.setFont(f);
  for (int code = kFirstSpecialCode; code <= kLastSpecialCode; ++code) {
    const QRect r = cellRect(code);
    const bool selected = code == code_;
    if (selected) p.fillRect(r, palette().highlight());
    p.setPen(palette().mid().color());
    p.drawRect(r);
    p.setPen(selected ? palette().highlightedText().color() : palette().text().color());
    p.drawText(r, Qt::AlignCenter, Cp1252Char(code));
  }
}

void SpecialCharacterGrid::mousePressEvent(QMouseEvent* event) {
  if (const int code = codeAt(event->position().toPoint()); code >= 0) setCode(code);
}

void SpecialCharacterGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (const int code = codeAt(event->position().toPoint()); code >= 0) {
    setCode(code);
    emit chosen(code);
  }
}

void SpecialCharacterGrid::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      setCode(code_ - 1);
      break;
    case Qt::Key_Right:
      setCode(code_ + 1);
      break;
    case Qt::Key_Up:
      setCode(code_ - kSpecialGridColumns);
      break;
    case Qt::Key_Down:
      setCode(code_ + kSpecialGridColumns);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
}

QtSpecialCharacterDialog::QtSpecialCharacterDialog(const SpecialCharacterDialog& data,
                                                   QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Sonderzeichen");
  auto* layout = new QVBoxLayout(this);
  auto* fontRow = new QFormLayout;
  font = new QFontComboBox(this);
  font->setEditable(false);
  fontRow->addRow("Schriftart:", font);
  layout->addLayout(fontRow);

  auto* middle = new QHBoxLayout;
  grid = new SpecialCharacterGrid(this);
  middle->addWidget(grid);
  preview = new QLabel(this);
  preview->setAlignment(Qt::AlignCenter);
  preview->setMinimumSize(130, 130);
  preview->setFrameShape(QFrame::Box);
  middle->addWidget(preview, 1);
  layout->addLayout(middle);
  codeLabel = new QLabel(this);
  layout->addWidget(codeLabel);
  layout->addWidget(okCancel(this));

  // A face the system lacks still shows as chosen, as the document names it.
  const QString face = qs(data.faceName);
  if (font->findText(face) < 0) {
    font->setEditable(true);
    font->setEditText(face);
  } else {
    font->setCurrentFont(QFont(face));
  }
  grid->setFaceName(face);
  grid->setCode(data.code);
  showCode(grid->code());
  connect(font, &QFontComboBox::currentFontChanged, this, [this](const QFont& f) {
    grid->setFaceName(f.family());
    showCode(grid->code());
  });
  connect(grid, &SpecialCharacterGrid::codeChanged, this, [this](int c) { showCode(c); });
  connect(grid, &SpecialCharacterGrid::chosen, this, &QDialog::accept);
  grid->setFocus();
}

void QtSpecialCharacterDialog::showCode(int code) {
  codeLabel->setText(qs(SpecialCharacterLabel(code)));
  QFont f(font->currentText());
  f.setPointSize(72);
  preview->setFont(f);
  preview->setText(Cp1252Char(code));
}

void QtSpecialCharacterDialog::writeBack(SpecialCharacterDialog& data) const {
  data.faceName = font->currentText().toStdString();
  data.code = grid->code();
}

// --- Dispatch ------------------------------------------------------------------------------------

namespace {

template <typename QtDialog, typename Data>
bool runModal(Data& data, QWidget* parent) {
  QtDialog dlg(data, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  dlg.writeBack(data);
  return true;
}

}  // namespace

std::optional<bool> RunTemplateDialog(Dialog& dialog, QWidget* parent) {
  if (auto* d = dynamic_cast<TemplateNameDialog*>(&dialog)) {
    QtTemplateNameDialog dlg(*d, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    dlg.writeBack(*d);
    return !d->name.empty();
  }
  if (auto* d = dynamic_cast<TemplateManagerDialog*>(&dialog))
    return runModal<QtTemplateManagerDialog>(*d, parent);
  if (auto* d = dynamic_cast<ColumnsDialog*>(&dialog)) return runModal<QtColumnsDialog>(*d, parent);
  if (auto* d = dynamic_cast<SpecialCharacterDialog*>(&dialog))
    return runModal<QtSpecialCharacterDialog>(*d, parent);
  return std::nullopt;
}

}  // namespace paginor
