#include "platform/qt/qt_platform.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "editing/page_setup.h"
#include "platform/cp1252.h"
#include "platform/fonts/font_engine.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_template_dialogs.h"
#include "platform/qt/qt_format_dialogs.h"

namespace paginor {

namespace {

QString qs(std::string_view s) {
  return EngineText(s);
}

}  // namespace

QString EngineText(std::string_view text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  size_t i = 0;
  while (i < text.size()) {
    char32_t c = 0;
    const size_t len = decodeUtf8(text, i, c);
    if (len == 0) {
      c = cp1252ToUnicode(static_cast<unsigned char>(text[i]));
      i += 1;
    } else {
      i += len;
    }
    if (c >= 0x10000) {
      out += QChar(QChar::highSurrogate(c));
      out += QChar(QChar::lowSurrogate(c));
    } else {
      out += QChar(static_cast<char16_t>(c));
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// QtUi

MsgResult QtUi::messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                           MsgButtons buttons) {
  if (answerMessage) return answerMessage(qs(text), icon, buttons);
  QMessageBox::Icon qicon = QMessageBox::NoIcon;
  switch (icon) {
    case MsgIcon::Error:
      qicon = QMessageBox::Critical;
      break;
    case MsgIcon::Warning:
      qicon = QMessageBox::Warning;
      break;
    case MsgIcon::Information:
      qicon = QMessageBox::Information;
      break;
    case MsgIcon::Question:
      qicon = QMessageBox::Question;
      break;
    case MsgIcon::None:
      break;
  }
  QMessageBox box(qicon, qs(caption), qs(text), QMessageBox::NoButton, parent);
  QPushButton* ok = nullptr;
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* cancel = nullptr;
  switch (buttons) {
    case MsgButtons::Ok:
      ok = box.addButton("OK", QMessageBox::AcceptRole);
      break;
    case MsgButtons::OkCancel:
      ok = box.addButton("OK", QMessageBox::AcceptRole);
      cancel = box.addButton("Abbrechen", QMessageBox::RejectRole);
      break;
    case MsgButtons::YesNo:
      yes = box.addButton("Ja", QMessageBox::YesRole);
      no = box.addButton("Nein", QMessageBox::NoRole);
      break;
    case MsgButtons::YesNoCancel:
      yes = box.addButton("Ja", QMessageBox::YesRole);
      no = box.addButton("Nein", QMessageBox::NoRole);
      cancel = box.addButton("Abbrechen", QMessageBox::RejectRole);
      break;
  }
  box.setDefaultButton(ok ? ok : yes);
  box.setEscapeButton(cancel ? cancel : (no ? no : ok));
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == yes) return MsgResult::Yes;
  if (clicked && clicked == no) return MsgResult::No;
  if (clicked && clicked == ok) return MsgResult::Ok;
  if (cancel) return MsgResult::Cancel;
  return no ? MsgResult::No : MsgResult::Ok;
}

void QtUi::statusText(int panel, std::string_view text) {
  if (onStatusText) onStatusText(panel, qs(text));
}

void QtUi::processEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::setFormatToolbar(const FormatToolbarState& state) {
  if (onFormatToolbar) onFormatToolbar(state);
}

void QtUi::refreshFileMenu() {
  if (onRefreshFileMenu) onRefreshFileMenu();
}

bool QtUi::openWithDefaultViewer(const std::string& path) {
  if (openHook) return openHook(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

void QtUi::openWithDefaultViewer(const std::string& path, QObject* context,
                                 std::function<void()> failed) {
  if (openHook) {
    if (!openHook(path) && failed) failed();
    return;
  }
  const QString file = QFile::decodeName(path.c_str());
  const QString xdgOpen = QStandardPaths::findExecutable("xdg-open");
  if (xdgOpen.isEmpty()) {
    // Without xdg-open Qt may know another way (a desktop portal); it answers at once.
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)) && failed) failed();
    return;
  }
  auto* process = new QProcess;
  process->setProgram(xdgOpen);
  process->setArguments({file});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  launchers_.push_back(process);
  auto done = [this, process] {
    std::erase(launchers_, process);
    process->deleteLater();
  };
  // xdg-open ends with 0 once a program has the file (some desktops only when that program
  // ends); 3 means no program was found, 4 that the one found failed.
  QObject::connect(process, &QProcess::finished, context,
                   [process, failed, done](int code, QProcess::ExitStatus status) {
                     if (process->property("reported").toBool()) return;
                     process->setProperty("reported", true);
                     if ((status != QProcess::NormalExit || code != 0) && failed) failed();
                     done();
                   });
  QObject::connect(process, &QProcess::errorOccurred, context,
                   [process, failed, done](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     if (process->property("reported").toBool()) return;
                     process->setProperty("reported", true);
                     if (failed) failed();
                     done();
                   });
  process->start();
}

QtUi::~QtUi() {
  // Launchers still running when the program ends are left without a listener; the programs
  // they started stay open.
  for (QProcess* process : launchers_) {
    process->disconnect();
    delete process;
  }
}

// ---------------------------------------------------------------------------------------------
// Dialogs

QStringList QtFileFilters(const std::string& filter) {
  QStringList parts = qs(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i].trimmed();
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) p = p.trimmed();
    QString joined = patterns.join(' ');
    if (desc.endsWith("(" + joined + ")")) {
      out << desc;
    } else {
      out << (desc.isEmpty() ? joined : desc + " (" + joined + ")");
    }
  }
  return out;
}

bool QtDialogs::runFile(FileDialog& d) {
  bool save = d.mode == FileDialog::Mode::Save;
  QString caption =
      d.caption.empty() ? QString(save ? "Speichern unter" : "Öffnen") : qs(d.caption);
  QFileDialog dlg(parent, caption);
  // Qt's own dialog: the desktop's portal dialog may not come up on a bare X server.
  dlg.setOption(QFileDialog::DontUseNativeDialog, true);
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dlg.setLabelText(QFileDialog::Accept, save ? "Speichern" : "Öffnen");
  dlg.setLabelText(QFileDialog::Reject, "Abbrechen");
  dlg.setLabelText(QFileDialog::LookIn, "Suchen in:");
  dlg.setLabelText(QFileDialog::FileName, "Dateiname:");
  dlg.setLabelText(QFileDialog::FileType, "Dateityp:");
  QStringList filters = QtFileFilters(d.filter);
  if (!filters.isEmpty()) {
    dlg.setNameFilters(filters);
    int index = std::clamp(d.filterIndex, 1, static_cast<int>(filters.size()));
    dlg.selectNameFilter(filters[index - 1]);
  }
  if (!d.fileName.empty()) {
    QFileInfo preset(QFile::decodeName(d.fileName.c_str()));
    if (preset.dir().exists()) dlg.setDirectory(preset.dir());
    dlg.selectFile(preset.fileName());
  }
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  d.fileName = QFile::encodeName(dlg.selectedFiles().first()).toStdString();
  qsizetype chosen = filters.indexOf(dlg.selectedNameFilter());
  if (chosen >= 0) d.filterIndex = static_cast<int>(chosen) + 1;
  return true;
}

QtZoomDialog::QtZoomDialog(const ZoomDialog& data, QWidget* parentWidget) : QDialog(parentWidget) {
  setWindowTitle("Zoom");
  auto* layout = new QVBoxLayout(this);
  pageWidth = new QRadioButton("Seitenbreite", this);
  wholePage = new QRadioButton("Ganze Seite", this);
  percent = new QRadioButton("Prozent festlegen", this);
  percentBox = new QDoubleSpinBox(this);
  percentBox->setRange(10, 250);  // the zoom box's limits
  percentBox->setDecimals(2);
  percentBox->setSuffix(" %");
  percentBox->setValue(std::clamp(data.percent, 10.0, 250.0));
  for (QWidget* w : {static_cast<QWidget*>(pageWidth), static_cast<QWidget*>(wholePage),
                     static_cast<QWidget*>(percent), static_cast<QWidget*>(percentBox)}) {
    layout->addWidget(w);
  }
  (data.choice == ZoomDialog::Choice::PageWidth   ? pageWidth
   : data.choice == ZoomDialog::Choice::WholePage ? wholePage
                                                  : percent)
      ->setChecked(true);
  percentBox->setEnabled(percent->isChecked());
  connect(percent, &QRadioButton::toggled, percentBox, &QWidget::setEnabled);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void QtZoomDialog::writeBack(ZoomDialog& data) const {
  data.choice = pageWidth->isChecked()   ? ZoomDialog::Choice::PageWidth
                : wholePage->isChecked() ? ZoomDialog::Choice::WholePage
                                         : ZoomDialog::Choice::Percent;
  data.percent = percentBox->value();
}

namespace {

QDoubleSpinBox* cmBox(QWidget* parent) {
  auto* b = new QDoubleSpinBox(parent);
  b->setRange(0, PageSetupDialog::kMaxCm);
  b->setSingleStep(PageSetupDialog::kStepCm);
  b->setDecimals(2);
  b->setSuffix(" cm");
  return b;
}

}  // namespace

QtPageSetupDialog::QtPageSetupDialog(PageSetupDialog& data, QWidget* parentWidget)
    : QDialog(parentWidget), data_(data) {
  setWindowTitle(data.title());
  auto* grid = new QGridLayout(this);

  auto* paper = new QGroupBox("Papierformat", this);
  auto* paperForm = new QFormLayout(paper);
  format = new QComboBox(paper);
  for (const std::string& n : data.formatNames) format->addItem(qs(n));
  portrait = new QRadioButton("Hochformat", paper);
  landscape = new QRadioButton("Querformat", paper);
  width = cmBox(paper);
  height = cmBox(paper);
  paperForm->addRow("Format:", format);
  paperForm->addRow(portrait);
  paperForm->addRow(landscape);
  paperForm->addRow("Breite:", width);
  paperForm->addRow("Höhe:", height);
  grid->addWidget(paper, 0, 0);

  auto* margins = new QGroupBox("Seitenränder", this);
  auto* marginForm = new QFormLayout(margins);
  marginTop = cmBox(margins);
  marginBottom = cmBox(margins);
  marginLeft = cmBox(margins);
  marginRight = cmBox(margins);
  marginForm->addRow("Oben:", marginTop);
  marginForm->addRow("Unten:", marginBottom);
  marginForm->addRow("Links:", marginLeft);
  marginForm->addRow("Rechts:", marginRight);
  grid->addWidget(margins, 0, 1);

  auto* headers = new QGroupBox("Kopf- und Fußzeilen", this);
  auto* headerForm = new QFormLayout(headers);
  headerDistance = cmBox(headers);
  footerDistance = cmBox(headers);
  mode = new QComboBox(headers);
  for (const std::string& n : data.modeNames) mode->addItem(qs(n));
  headerForm->addRow("Abstand Kopfzeile:", headerDistance);
  headerForm->addRow("Abstand Fußzeile:", footerDistance);
  headerForm->addRow("Kopf-/Fußzeilen anders auf:", mode);
  grid->addWidget(headers, 1, 0, 1, 2);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  grid->addWidget(buttons, 2, 0, 1, 2);

  showData();

  // Format and orientation set the size; an edited size finds its format and orientation.
  auto formatChanged = [this] {
    if (updating_) return;
    data_.formatIndex = format->currentIndex();
    data_.landscape = landscape->isChecked();
    data_.widthCm = width->value();
    data_.heightCm = height->value();
    data_.onFormatOrOrientationChanged();
    showData();
  };
  auto sizeEdited = [this] {
    if (updating_) return;
    data_.widthCm = width->value();
    data_.heightCm = height->value();
    data_.onSizeEdited();
    showData();
  };
  connect(format, &QComboBox::currentIndexChanged, this, formatChanged);
  connect(portrait, &QRadioButton::toggled, this, [formatChanged](bool on) {
    if (on) formatChanged();
  });
  connect(landscape, &QRadioButton::toggled, this, [formatChanged](bool on) {
    if (on) formatChanged();
  });
  connect(width, &QDoubleSpinBox::valueChanged, this, sizeEdited);
  connect(height, &QDoubleSpinBox::valueChanged, this, sizeEdited);
}

void QtPageSetupDialog::showData() {
  updating_ = true;
  format->setCurrentIndex(std::clamp(data_.formatIndex, 0, std::max(0, format->count() - 1)));
  (data_.landscape ? landscape : portrait)->setChecked(true);
  width->setValue(data_.widthCm);
  height->setValue(data_.heightCm);
  marginTop->setValue(data_.marginTopCm);
  marginBottom->setValue(data_.marginBottomCm);
  marginLeft->setValue(data_.marginLeftCm);
  marginRight->setValue(data_.marginRightCm);
  headerDistance->setValue(data_.headerDistanceCm);
  footerDistance->setValue(data_.footerDistanceCm);
  mode->setCurrentIndex(static_cast<int>(data_.mode));
  updating_ = false;
}

void QtPageSetupDialog::writeBack(PageSetupDialog& data) const {
  data.formatIndex = format->currentIndex();
  data.landscape = landscape->isChecked();
  data.widthCm = width->value();
  data.heightCm = height->value();
  data.marginTopCm = marginTop->value();
  data.marginBottomCm = marginBottom->value();
  data.marginLeftCm = marginLeft->value();
  data.marginRightCm = marginRight->value();
  data.headerDistanceCm = headerDistance->value();
  data.footerDistanceCm = footerDistance->value();
  data.mode = static_cast<HeaderMode>(std::max(0, mode->currentIndex()));
}

bool QtDialogs::run(Dialog& dialog) {
  if (answer) return answer(dialog);
  if (auto* f = dynamic_cast<FileDialog*>(&dialog)) return runFile(*f);
  if (const std::optional<bool> shown = RunFormatDialog(dialog, parent)) return *shown;
  if (auto* z = dynamic_cast<ZoomDialog*>(&dialog)) {
    QtZoomDialog dlg(*z, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    dlg.writeBack(*z);
    return true;
  }
  if (std::optional<bool> shown = RunTemplateDialog(dialog, parent)) return *shown;
  if (auto* p = dynamic_cast<PageSetupDialog*>(&dialog)) {
    QtPageSetupDialog dlg(*p, parent);
    if (dlg.exec() != QDialog::Accepted) return false;
    dlg.writeBack(*p);
    return true;
  }
  if (ui) {
    std::string text = "Das Dialogfeld „" + std::string(dialog.title()) +
                       "“ ist in dieser Version noch nicht verfügbar.";
    ui->messageBox(text, "Paginor", MsgIcon::Information, MsgButtons::Ok);
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// QtPrinter

namespace {

constexpr int32_t kFilePrinterDpi = 600;

// UTF-8 cut to at most 64 characters, as the printer's paper names are.
std::string paperName(const QString& name) {
  return name.left(64).toStdString();
}

PaperFormat paperFormat(const QPageSize& size) {
  QSizeF mm = size.size(QPageSize::Millimeter);
  return {paperName(size.name()), static_cast<int32_t>(std::lround(mm.width() * 10)),
          static_cast<int32_t>(std::lround(mm.height() * 10))};
}

std::string partFile(const std::string& target) {
  return target + ".part";
}

}  // namespace

QtPrinter::QtPrinter(FontEngine& fonts) : fonts_(fonts) {}

QtPrinter::~QtPrinter() {
  abortJob();
}

std::string QtPrinter::printFile() const {
  const char* f = std::getenv("PAGINOR_PRINT_TO_FILE");
  return f ? std::string(f) : std::string();
}

bool QtPrinter::available() const {
  return !printFile().empty() || !QPrinterInfo::defaultPrinter().isNull();
}

std::unique_ptr<QPrinter> QtPrinter::makePrinter() const {
  std::string file = printFile();
  if (!file.empty()) {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setResolution(kFilePrinterDpi);
    p->setPageSize(QPageSize(QPageSize::A4));
    p->setOutputFileName(QFile::decodeName(partFile(file).c_str()));
    return p;
  }
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return nullptr;
  return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

int32_t QtPrinter::resolution() const {
  if (job_) return job_->resolution();
  if (!printFile().empty()) return kFilePrinterDpi;
  std::unique_ptr<QPrinter> p = makePrinter();
  return p ? p->resolution() : 600;
}

std::vector<PaperFormat> QtPrinter::paperFormats() const {
  std::vector<PaperFormat> out;
  if (!printFile().empty()) {
    for (auto id :
         {QPageSize::A4, QPageSize::A5, QPageSize::A3, QPageSize::Letter, QPageSize::Legal}) {
      out.push_back(paperFormat(QPageSize(id)));
    }
    return out;
  }
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return out;
  for (const QPageSize& s : info.supportedPageSizes()) out.push_back(paperFormat(s));
  return out;
}

bool QtPrinter::fail(const std::string& text) {
  error_ = text;
  return false;
}

void QtPrinter::finish() {
  canvas_.reset();
  painter_.reset();
  job_.reset();
}

bool QtPrinter::beginJob(const std::string& title) {
  if (job_) return fail("Es wird bereits gedruckt.");
  job_ = makePrinter();
  if (!job_) return fail("Es ist kein Drucker installiert.");
  job_->setDocName(qs(title));
  job_->setFullPage(false);
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(job_.get())) {
    finish();
    std::string file = printFile();
    if (!file.empty()) std::filesystem::remove(partFile(file));
    return fail(file.empty() ? "Der Druckauftrag konnte nicht gestartet werden."
                             : "Die Druckdatei „" + file + "“ kann nicht angelegt werden.");
  }
  canvas_ = std::make_unique<QtPrinterCanvas>(fonts_, job_->resolution(), *painter_);
  return true;
}

bool QtPrinter::newPage() {
  if (!job_) return fail("Es wird nicht gedruckt.");
  canvas_.reset();
  if (!job_->newPage()) {
    abortJob();
    return fail("Der Drucker hat keine neue Seite angenommen.");
  }
  painter_->setClipping(false);
  canvas_ = std::make_unique<QtPrinterCanvas>(fonts_, job_->resolution(), *painter_);
  return true;
}

Canvas* QtPrinter::pageCanvas() {
  return canvas_.get();
}

PrintOffset QtPrinter::physicalOffset() const {
  std::unique_ptr<QPrinter> probe;
  const QPrinter* p = job_.get();
  if (!p) p = (probe = makePrinter()).get();
  if (!p) return {};
  QRect paint = p->pageLayout().paintRectPixels(p->resolution());
  return {paint.left(), paint.top()};
}

bool QtPrinter::endJob() {
  if (!job_) return fail("Es wird nicht gedruckt.");
  canvas_.reset();
  bool ok = painter_->end();
  finish();
  std::string file = printFile();
  if (!file.empty()) {
    // The earlier file is replaced only by a complete one.
    std::error_code ec;
    if (ok) std::filesystem::rename(partFile(file), file, ec);
    if (!ok || ec) {
      std::filesystem::remove(partFile(file), ec);
      return fail("Die Druckdatei „" + file + "“ konnte nicht geschrieben werden.");
    }
  }
  return ok || fail("Der Druckauftrag konnte nicht abgeschlossen werden.");
}

void QtPrinter::abortJob() {
  if (!job_) return;
  canvas_.reset();
  job_->abort();
  if (painter_->isActive()) painter_->end();
  finish();
  std::string file = printFile();
  std::error_code ec;
  if (!file.empty()) std::filesystem::remove(partFile(file), ec);
}

// ---------------------------------------------------------------------------------------------

int32_t ScreenDpi() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 96;
  int32_t dpi = static_cast<int32_t>(std::lround(screen->logicalDotsPerInchX()));
  return dpi > 0 ? dpi : 96;
}

QtPlatform::QtPlatform()
    : fonts(std::make_unique<DrawingFontEngine>(makeFontEngine(paths))),
      printer(std::make_unique<QtPrinter>(*fonts)) {
  dialogs.ui = &ui;
  p_.fonts = fonts.get();
  p_.ui = &ui;
  p_.dialogs = &dialogs;
  p_.printer = printer.get();
  p_.paths = &paths;
  p_.screenDpi = ScreenDpi();
}

QtPlatform::~QtPlatform() = default;

}  // namespace paginor
