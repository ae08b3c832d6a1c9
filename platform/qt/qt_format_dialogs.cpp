#include "platform/qt/qt_format_dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFont>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

#include "editing/paragraph_dialog.h"
#include "editing/tab_dialog.h"
#include "platform/cp1252.h"
#include "platform/fonts/font_rules.h"
#include "platform/fonts/symbol_tables.h"

namespace paginor {

namespace {

QString qs(const std::string& s) {
  return QString::fromStdString(s);
}

// Colours are 0x00BBGGRR in the document.
QColor toQColor(int32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
int32_t fromQColor(const QColor& c) {
  return c.red() | c.green() << 8 | c.blue() << 16;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(dialog);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

QDoubleSpinBox* cmBox(QWidget* parent, double low, double high, double step, int decimals = 2) {
  auto* b = new QDoubleSpinBox(parent);
  b->setRange(low, high);
  b->setSingleStep(step);
  b->setDecimals(decimals);
  b->setSuffix(" cm");
  b->setLocale(QLocale(QLocale::German));  // "1,25 cm", as the dialogs' other numbers
  return b;
}

// The bullet box shows a symbol face's character as the program draws it: Wingdings and Symbol
// are not installed on Linux, and their bytes stand for Unicode characters of DejaVu Sans.
struct ShownBullet {
  QString text;
  QFont font;
};
ShownBullet shownBullet(const std::string& fontName, const std::string& text) {
  ShownBullet shown{QString::fromStdString(text), QFont(QString::fromStdString(fontName))};
  const fonts::SymbolFace face = fonts::symbolFaceOf(fontName);
  const std::string byte = utf8ToCp1252(text);
  if (face != fonts::SymbolFace::None && !byte.empty()) {
    const char32_t c = fonts::symbolTable(face)[static_cast<unsigned char>(byte[0])];
    shown.text = QString::fromUcs4(&c, 1);
    shown.font = QFont("DejaVu Sans");
  }
  shown.font.setPointSize(14);
  return shown;
}

QComboBox* choiceBox(QWidget* parent, std::initializer_list<const char*> entries, int current) {
  auto* box = new QComboBox(parent);
  for (const char* e : entries) box->addItem(QString::fromUtf8(e));
  box->setCurrentIndex(std::clamp(current, 0, box->count() - 1));
  return box;
}

// The attribute entries of "Zeichen", bit 0 first.
// clang-format off
constexpr const char* kAttributeEntries[] = {
    "Fett", "Kursiv", "Unterstrichen", "Durchgestrichen", "Nur Wörter unterstreichen",
    "Doppelt unterstrichen", "Schattiert", "Umrandet", "Hochgestellt", "Tiefgestellt",
    "Kapitälchen", "Großschreiben", "Kleinschreiben", "Keine Silbentrennung"};
// clang-format on

constexpr int32_t kWhite = 0xFFFFFF;

}  // namespace

class QtColourButton : public QPushButton {
 public:
  QtColourButton(int32_t colour, const QString& caption, QWidget* parent)
      : QPushButton(parent), caption_(caption) {
    setColour(colour);
    connect(this, &QPushButton::clicked, this, [this] {
      const QColor c = QColorDialog::getColor(toQColor(colour_), this, caption_);
      if (c.isValid()) setColour(fromQColor(c));
    });
  }
  int32_t colour() const { return colour_; }
  void setColour(int32_t colour) {
    colour_ = colour & kWhite;
    QPixmap swatch(40, 14);
    swatch.fill(toQColor(colour_));
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
    if (onChange) onChange();
  }
  std::function<void()> onChange;

 private:
  int32_t colour_ = 0;
  QString caption_;
};

QStringList FaceBoxNames() {
  QStringList pinned;
  for (const fonts::FaceAlias& a : fonts::faceAliases()) {
    const QString name = QString::fromLatin1(a.windowsName);
    // "serif", "sans-serif", "monospace" are fontconfig's generic names, not faces.
    if (name.at(0).isUpper() && !pinned.contains(name)) pinned << name;
  }
  pinned << "Symbol"
         << "Wingdings";
  pinned.sort(Qt::CaseInsensitive);
  QSet<QString> seen;
  for (const QString& n : pinned) seen.insert(n.toLower());
  QStringList installed;
  for (const QString& family : QFontDatabase::families()) {
    if (!QFontDatabase::isScalable(family)) continue;
    // Qt names a family found in several foundries "Family [Foundry]"; documents carry the
    // family alone.
    QString name = family;
    if (const qsizetype bracket = name.indexOf(" ["); bracket > 0) name.truncate(bracket);
    // A document stores face names in Windows-1252; a name outside it could not be kept.
    if (utf8ToCp1252(name.toStdString(), '\0').find('\0') != std::string::npos) continue;
    if (seen.contains(name.toLower())) continue;
    seen.insert(name.toLower());
    installed << name;
  }
  installed.sort(Qt::CaseInsensitive);
  return pinned + installed;
}

// --- Zeichen --------------------------------------------------------------------------------

QtCharacterDialog::QtCharacterDialog(const CharacterDialog& data, QWidget* parentWidget)
    : QDialog(parentWidget), opened_(data) {
  setWindowTitle(data.title());
  auto* grid = new QGridLayout(this);

  auto* fontBox = new QGroupBox("Schrift", this);
  auto* fontForm = new QFormLayout(fontBox);
  face = new QComboBox(fontBox);
  face->setEditable(true);
  face->setInsertPolicy(QComboBox::NoInsert);
  face->addItems(FaceBoxNames());
  face->setEditText(qs(data.faceName));
  size = new QComboBox(fontBox);
  size->setEditable(true);
  size->setInsertPolicy(QComboBox::NoInsert);
  for (const char* s : {"6", "7", "8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                        "26", "28", "36", "48", "72"})
    size->addItem(s);
  size->setEditText(qs(data.sizeText));
  fontForm->addRow("Schriftart:", face);
  fontForm->addRow("Schriftgrad:", size);
  grid->addWidget(fontBox, 0, 0);

  auto* attributeBox = new QGroupBox("Attribute", this);
  auto* attributeLayout = new QVBoxLayout(attributeBox);
  attributes = new QListWidget(attributeBox);
  for (size_t bit = 0; bit < std::size(kAttributeEntries); ++bit) {
    auto* item = new QListWidgetItem(QString::fromUtf8(kAttributeEntries[bit]), attributes);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(data.attributes & (1u << bit) ? Qt::Checked : Qt::Unchecked);
  }
  attributeLayout->addWidget(attributes);
  grid->addWidget(attributeBox, 0, 1, 2, 1);

  auto* colourBox = new QGroupBox("Farben", this);
  auto* colourForm = new QFormLayout(colourBox);
  textColour = new QtColourButton(data.textColour, "Textfarbe", colourBox);
  backColour = new QtColourButton(data.backColour, "Hintergrundfarbe", colourBox);
  transparent = new QCheckBox("Transparent", colourBox);
  transparent->setChecked(data.transparent);
  outlineColour = new QtColourButton(data.outlineColour, "Umrandungsfarbe", colourBox);
  shadowColour = new QtColourButton(data.shadowColour, "Schattenfarbe", colourBox);
  colourForm->addRow("Textfarbe:", textColour);
  colourForm->addRow("Hintergrundfarbe:", backColour);
  colourForm->addRow("", transparent);
  colourForm->addRow("Umrandungsfarbe:", outlineColour);
  colourForm->addRow("Schattenfarbe:", shadowColour);
  grid->addWidget(colourBox, 1, 0);
  // "Transparent" means something only on a white background.
  backColour->onChange = [this] { transparent->setEnabled(backColour->colour() == kWhite); };
  backColour->onChange();

  grid->addWidget(okCancel(this), 2, 0, 1, 2);
}

void QtCharacterDialog::writeBack(CharacterDialog& d) const {
  d.faceName = face->currentText().trimmed().toStdString();
  d.sizeText = size->currentText().trimmed().toStdString();
  uint16_t bits = 0;
  for (int bit = 0; bit < attributes->count(); ++bit)
    if (attributes->item(bit)->checkState() == Qt::Checked)
      bits |= static_cast<uint16_t>(1u << bit);
  d.attributes = bits;
  d.openedAttributes = opened_.openedAttributes;
  d.textColour = textColour->colour();
  d.backColour = backColour->colour();
  d.transparent = transparent->isChecked();
  d.outlineColour = outlineColour->colour();
  d.shadowColour = shadowColour->colour();
  d.faceChanged = d.faceName != opened_.faceName;
  d.sizeChanged = d.sizeText != opened_.sizeText;
  d.textColourChanged = d.textColour != opened_.textColour;
  d.backColourChanged = d.backColour != opened_.backColour;
  d.transparentChanged = d.transparent != opened_.transparent;
  d.outlineColourChanged = d.outlineColour != opened_.outlineColour;
  d.shadowColourChanged = d.shadowColour != opened_.shadowColour;
}

// --- Absatzformatierung ----------------------------------------------------------------------

QtParagraphDialog::QtParagraphDialog(const ParagraphDialog& data, QWidget* parentWidget)
    : QDialog(parentWidget), data_(data) {
  setWindowTitle(data.title());
  auto* layout = new QVBoxLayout(this);

  auto* general = new QGroupBox("Allgemein", this);
  auto* generalForm = new QFormLayout(general);
  alignment = choiceBox(general, {"Links", "Zentriert", "Rechts", "Blocksatz"}, data.alignment);
  generalForm->addRow("Ausrichtung:", alignment);
  layout->addWidget(general);

  auto* spacingBox = new QGroupBox("Abstand", this);
  auto* spacingGrid = new QGridLayout(spacingBox);
  spacing =
      choiceBox(spacingBox, {"Einfach", "1,5 Zeilen", "Doppelt", "Mindestens", "Genau", "Mehrfach"},
                static_cast<int>(data.spacing));
  measure = new QDoubleSpinBox(spacingBox);
  measure->setRange(0, 1000);
  measure->setSingleStep(0.1);
  measure->setDecimals(2);
  measure->setLocale(QLocale(QLocale::German));
  unit = new QLabel(spacingBox);
  above = cmBox(spacingBox, 0, 1000, 0.1);
  below = cmBox(spacingBox, 0, 1000, 0.1);
  spacingGrid->addWidget(new QLabel("Abstand von oben:", spacingBox), 0, 0);
  spacingGrid->addWidget(above, 0, 1);
  spacingGrid->addWidget(new QLabel("Abstand von unten:", spacingBox), 1, 0);
  spacingGrid->addWidget(below, 1, 1);
  spacingGrid->addWidget(new QLabel("Zeilenabstand:", spacingBox), 0, 2);
  spacingGrid->addWidget(spacing, 0, 3);
  spacingGrid->addWidget(new QLabel("Maß:", spacingBox), 1, 2);
  spacingGrid->addWidget(measure, 1, 3);
  spacingGrid->addWidget(unit, 1, 4);
  layout->addWidget(spacingBox);

  auto* indents = new QGroupBox("Einzüge:", this);
  auto* indentForm = new QFormLayout(indents);
  left = cmBox(indents, -100, 100, 0.1);
  right = cmBox(indents, -100, 100, 0.1);
  firstLine = cmBox(indents, -100, 100, 0.1);
  indentForm->addRow("Links:", left);
  indentForm->addRow("Rechts:", right);
  indentForm->addRow("Erste Zeile:", firstLine);
  layout->addWidget(indents);
  layout->addWidget(okCancel(this));

  above->setValue(data.spaceAbove);
  below->setValue(data.spaceBelow);
  left->setValue(data.indentLeft);
  right->setValue(data.indentRight);
  firstLine->setValue(data.indentFirstLine);
  showSpacing();

  connect(alignment, &QComboBox::currentIndexChanged, this, [this](int i) { data_.alignment = i; });
  connect(spacing, &QComboBox::activated, this, [this](int i) {
    ChooseSpacing(data_, static_cast<ParagraphDialog::Spacing>(i));
    showSpacing();
  });
  connect(measure, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (updating_) return;
    TypeMeasure(data_, v);
    showSpacing();
  });
  connect(above, &QDoubleSpinBox::valueChanged, this, [this](double v) { data_.spaceAbove = v; });
  connect(below, &QDoubleSpinBox::valueChanged, this, [this](double v) { data_.spaceBelow = v; });
  connect(left, &QDoubleSpinBox::valueChanged, this, [this](double v) { data_.indentLeft = v; });
  connect(right, &QDoubleSpinBox::valueChanged, this, [this](double v) { data_.indentRight = v; });
  connect(firstLine, &QDoubleSpinBox::valueChanged, this,
          [this](double v) { data_.indentFirstLine = v; });
}

void QtParagraphDialog::showSpacing() {
  updating_ = true;
  spacing->setCurrentIndex(static_cast<int>(data_.spacing));
  measure->setValue(data_.measure);
  unit->setText(SpacingUnitLabel(data_.spacing));
  updating_ = false;
}

// --- Tabstops ----------------------------------------------------------------------------------

QtTabDialog::QtTabDialog(const TabDialog& data, QWidget* parentWidget)
    : QDialog(parentWidget), data_(data) {
  setWindowTitle(data.title());
  auto* grid = new QGridLayout(this);

  defaultWidth =
      cmBox(this, TabDialog::kMinDefaultCm, TabDialog::kMaxDefaultCm, TabDialog::kDefaultStepCm);
  defaultWidth->setValue(data.defaultWidth);
  auto* defaultRow = new QFormLayout;
  defaultRow->addRow("Standard-Tabstops:", defaultWidth);
  grid->addLayout(defaultRow, 0, 0, 1, 2);

  auto* stopsBox = new QGroupBox("Tabstopposition (cm)", this);
  auto* stopsLayout = new QVBoxLayout(stopsBox);
  position = new QLineEdit(stopsBox);
  list = new QListWidget(stopsBox);
  stopsLayout->addWidget(position);
  stopsLayout->addWidget(list);
  grid->addWidget(stopsBox, 1, 0, 2, 1);

  auto* kinds = new QGroupBox(this);
  auto* kindsForm = new QFormLayout(kinds);
  alignment = choiceBox(kinds, {"Links", "Zentriert", "Rechts", "Dezimal"}, data.alignment);
  fill = choiceBox(kinds, {"1) Ohne", "2) --------", "3) ........", "4) ____"}, data.fill);
  kindsForm->addRow("Ausrichtung:", alignment);
  kindsForm->addRow("Füllzeichen:", fill);
  grid->addWidget(kinds, 1, 1);

  auto* buttonRow = new QHBoxLayout;
  set = new QPushButton("Setzen", this);
  remove = new QPushButton("Löschen", this);
  clear = new QPushButton("Alle löschen", this);
  buttonRow->addWidget(set);
  buttonRow->addWidget(remove);
  buttonRow->addWidget(clear);
  grid->addLayout(buttonRow, 2, 1);
  grid->addWidget(okCancel(this), 3, 0, 1, 2);
  // Enter in the position line is "Setzen", not "OK".
  for (QPushButton* b : {set, remove, clear}) b->setAutoDefault(false);

  position->setText(qs(data_.positionText));
  showList();

  // Choosing an entry shows its position in the edit line; typing there chooses nothing.
  connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
    if (updating_) return;
    SelectTabStop(data_, row);
    position->setText(qs(data_.positionText));
    showList();
  });
  connect(alignment, &QComboBox::activated, this, [this](int i) {
    ChooseTabAlignment(data_, i);
    showList();
  });
  connect(fill, &QComboBox::activated, this, [this](int i) {
    ChooseTabFill(data_, i);
    showList();
  });
  auto setStop = [this] {
    data_.positionText = position->text().toStdString();
    const std::string why = SetTabStop(data_);
    if (!why.empty()) {
      QMessageBox box(QMessageBox::Critical, windowTitle(), qs(why), QMessageBox::NoButton, this);
      box.addButton("OK", QMessageBox::AcceptRole);
      box.exec();
      return;
    }
    showList();
  };
  connect(set, &QPushButton::clicked, this, setStop);
  connect(position, &QLineEdit::returnPressed, this, setStop);
  connect(remove, &QPushButton::clicked, this, [this] {
    DeleteTabStop(data_);
    if (data_.selected >= 0) position->setText(qs(data_.positionText));
    showList();
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    DeleteAllTabStops(data_);
    showList();
  });
}

void QtTabDialog::showList() {
  updating_ = true;
  list->clear();
  for (const TabDialog::Stop& s : data_.stops)
    list->addItem(QLocale(QLocale::German).toString(s.position, 'g', 6));
  list->setCurrentRow(data_.selected);
  alignment->setCurrentIndex(data_.alignment);
  fill->setCurrentIndex(data_.fill);
  remove->setEnabled(data_.selected >= 0);
  clear->setEnabled(!data_.stops.empty());
  updating_ = false;
}

void QtTabDialog::writeBack(TabDialog& d) const {
  d = data_;
  d.defaultWidth = defaultWidth->value();
}

// --- Nummerierung und Aufzählungen -------------------------------------------------------------

QtListDialog::QtListDialog(const ListDialog& data, QWidget* parentWidget)
    : QDialog(parentWidget), data_(data) {
  setWindowTitle(QString::fromUtf8(data.title()));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  kind = choiceBox(this, {"Keiner", "Aufzählung", "Nummerierung"}, data.kind);
  indent = cmBox(this, ListDialog::kMinIndentCm, ListDialog::kMaxIndentCm, 0.1, 4);
  indent->setValue(data.indent);
  form->addRow("Typ:", kind);
  form->addRow("Abstand zum Text:", indent);

  auto* bulletRow = new QHBoxLayout;
  bullet = new QLineEdit(this);
  bullet->setMaxLength(1);
  bullet->setFixedWidth(48);
  bullet->setAlignment(Qt::AlignCenter);
  const ShownBullet shown = shownBullet(data.bulletFont, data.bulletText);
  bullet->setText(shown.text);
  bullet->setFont(shown.font);
  bullet->setToolTip(qs(data.bulletFont));
  shownBullet_ = shown.text;
  charTable = new QPushButton("...", this);
  charTable->setToolTip("Zeichentabelle");
  // The special character table comes with its own dialog; until it is there the button
  // stays, greyed.
  charTable->setEnabled(static_cast<bool>(data.chooseCharacter));
  connect(charTable, &QPushButton::clicked, this, [this] {
    std::string fontName = data_.bulletFont;
    std::string text = bullet->text().toStdString();
    if (!data_.chooseCharacter || !data_.chooseCharacter(fontName, text)) return;
    data_.bulletFont = fontName;
    data_.bulletText = text;
    const ShownBullet chosen = shownBullet(fontName, text);
    bullet->setFont(chosen.font);
    bullet->setToolTip(qs(fontName));
    bullet->setText(chosen.text);
    shownBullet_ = chosen.text;
  });
  bulletRow->addWidget(bullet);
  bulletRow->addWidget(charTable);
  bulletRow->addStretch();
  form->addRow("Zeichen für Aufzählung:", bulletRow);
  layout->addLayout(form);
  layout->addWidget(okCancel(this));
}

void QtListDialog::writeBack(ListDialog& d) const {
  d.kind = kind->currentIndex();
  d.indent = indent->value();
  // A character shown through the symbol table is the stored one; a typed one is taken as typed.
  d.bulletText = bullet->text() == shownBullet_ ? data_.bulletText : bullet->text().toStdString();
  d.bulletFont = data_.bulletFont;
}

// ---------------------------------------------------------------------------------------------

std::optional<bool> RunFormatDialog(Dialog& dialog, QWidget* parent) {
  auto show = [&](auto& qtDialog, auto& record) {
    if (qtDialog.exec() != QDialog::Accepted) return false;
    qtDialog.writeBack(record);
    return true;
  };
  if (auto* c = dynamic_cast<CharacterDialog*>(&dialog)) {
    QtCharacterDialog dlg(*c, parent);
    return show(dlg, *c);
  }
  if (auto* p = dynamic_cast<ParagraphDialog*>(&dialog)) {
    QtParagraphDialog dlg(*p, parent);
    return show(dlg, *p);
  }
  if (auto* t = dynamic_cast<TabDialog*>(&dialog)) {
    QtTabDialog dlg(*t, parent);
    return show(dlg, *t);
  }
  if (auto* l = dynamic_cast<ListDialog*>(&dialog)) {
    QtListDialog dlg(*l, parent);
    return show(dlg, *l);
  }
  if (auto* c = dynamic_cast<ColourDialog*>(&dialog)) {
    const QColor chosen = QColorDialog::getColor(toQColor(c->colour), parent, qs(c->caption));
    if (!chosen.isValid()) return false;
    c->colour = fromQColor(chosen);
    return true;
  }
  return std::nullopt;
}

}  // namespace paginor
