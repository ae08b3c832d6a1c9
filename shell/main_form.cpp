#include "shell/main_form.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

#include "editing/format_colours.h"
#include "editing/formatting.h"
#include "editing/menu_state.h"
#include "editing/page_setup.h"
#include "editing/refresh.h"
#include "editing/templates.h"
#include "editing/undo.h"
#include "model/command_line.h"
#include "output/print.h"
#include "platform/cp1252.h"
#include "platform/qt/qt_format_dialogs.h"
#include "platform/qt/qt_platform.h"
#include "shell/document_view.h"
#include "shell/ruler_widget.h"
#include "shell/toolbar_icons.h"
#include "view/window_view.h"
#include "window/application.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

QString qs(const char* utf8) {
  return QString::fromUtf8(utf8);
}
// Engine texts may carry file names in the bytes of the file system.
QString qs(const std::string& text) {
  return EngineText(text);
}

// A menu text with the keys that the document window's key handler acts on ("\tCtrl+Z"): the
// menu shows them, but binding them as shortcuts would take the keys from the editor.
QString withHandlerKeys(CommandId id, const QString& text) {
  const Command& c = CommandInfo(id);
  if (!*c.shortcut || !c.shortcutInKeyHandler) return text;
  return text + '\t' + qs(c.shortcut);
}

// The private clipboard format of the program's own fragments.
const char* kPrivateClipboardFormat = "application/x-paginor-fragment";

// A button's face text when it has no picture: its letters, or the first word of its hint.
QString buttonFace(const Command& c) {
  if (*c.buttonText) return qs(c.buttonText);
  if (c.id == CommandId::ShowMarks) return QString::fromUtf8("¶");
  QString hint = qs(*c.hint ? c.hint : c.caption);
  hint.remove('&');
  const int space = hint.indexOf(' ');
  return space > 0 ? hint.left(space) : hint;
}

}  // namespace

TMainForm::TMainForm(QtPlatform& qt, QWidget* parent)
    : QMainWindow(parent), qt_(qt), platform_(qt.platform()) {
  setWindowTitle(qs(kMainCaption));
  qt_.ui.parent = this;
  qt_.dialogs.parent = this;
  qt_.ui.onStatusText = [this](int panel, const QString& text) { statusText(panel, text); };
  qt_.ui.onFormatToolbar = [this](const FormatToolbarState& s) { setFormatToolbar(s); };
  qt_.ui.onRefreshFileMenu = [this] { refreshFileMenu(); };
  app_ = std::make_unique<Application>(platform_);

  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (sub)
      documentActivated(qobject_cast<DocumentWindow*>(sub->widget()));
    else if (documents().empty())
      showDocumentStatus(nullptr);  // the last document closed: nothing of it stays shown
  });

  buildMenus();
  buildToolBars();
  buildStatusBar();
  resize(1000, 750);
  updateMenuState();
}

TMainForm::~TMainForm() {
  // The windows go before the application they run on.
  closingAll_ = true;
  // Closed windows may still wait for their deferred deletion; they go now as well.
  for (QMdiSubWindow* sub : mdi_->findChildren<QMdiSubWindow*>()) delete sub;
  for (DocumentWindow* w : findChildren<DocumentWindow*>()) delete w;
  // A box that has the focus reports losing it while the widgets go; by then this window is no
  // longer one to report to.
  for (QComboBox* box : {zoomBox_, fontBox_, sizeBox_, templateBox_}) {
    if (!box) continue;
    box->disconnect(this);
    if (box->lineEdit()) box->lineEdit()->disconnect(this);
  }
  qt_.ui.onStatusText = nullptr;
  qt_.ui.onFormatToolbar = nullptr;
  qt_.ui.onRefreshFileMenu = nullptr;
  qt_.ui.parent = nullptr;
  qt_.dialogs.parent = nullptr;
}

// --- Menus and toolbars ------------------------------------------------------------------------

QAction* TMainForm::makeAction(const Command& c) {
  auto it = actions_.find(c.id);
  if (it != actions_.end()) return it->second;
  QString text = qs(c.caption);
  if (text.isEmpty()) text = qs(c.hint);
  auto* a = new QAction(text, this);
  if (*c.shortcut) {
    if (c.shortcutInKeyHandler) {
      // The document window's key handler acts on it; the menu only shows it.
      a->setText(withHandlerKeys(c.id, text));
    } else {
      a->setShortcut(QKeySequence(qs(c.shortcut)));
      a->setShortcutContext(Qt::WindowShortcut);
    }
  }
  if (*c.hint) {
    a->setToolTip(qs(c.hint));
    a->setStatusTip(qs(c.hint));
  }
  a->setCheckable(c.kind == CommandKind::Check || c.kind == CommandKind::Radio);
  a->setEnabled(c.implemented && c.kind != CommandKind::Info);
  const CommandId id = c.id;
  connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
  actions_[c.id] = a;
  return a;
}

void TMainForm::buildMenuEntries(QMenu* menu, const std::vector<MenuEntry>& entries) {
  for (const MenuEntry& e : entries) {
    switch (e.kind) {
      case MenuEntry::Kind::Separator:
        menu->addSeparator();
        break;
      case MenuEntry::Kind::Submenu:
        buildMenuEntries(menu->addMenu(qs(e.caption)), e.children);
        break;
      case MenuEntry::Kind::Item:
        menu->addAction(makeAction(CommandInfo(e.id)));
        break;
    }
  }
}

void TMainForm::buildMenus() {
  for (const Menu& m : MenuBar()) {
    QMenu* menu = menuBar()->addMenu(qs(m.caption));
    menus_[static_cast<int>(m.id)] = menu;
    buildMenuEntries(menu, m.entries);
    // Enabling is evaluated when a menu opens.
    connect(menu, &QMenu::aboutToShow, this, [this, id = m.id] {
      updateMenuState();
      if (id == MenuId::File) rebuildRecentFiles();
      if (id == MenuId::Window) rebuildWindowList();
    });
  }
  // Every command has its action, also those only the spelling context menu shows.
  for (const Command& c : AllCommands())
    if (c.id != CommandId::None && c.kind != CommandKind::ComboBox) makeAction(c);
  contextMenu_ = new QMenu(this);
  buildMenuEntries(contextMenu_, ContextMenu());
  auto* languages = new QActionGroup(this);
  if (QAction* a = action(CommandId::LanguageGerman)) languages->addAction(a);
  if (QAction* a = action(CommandId::LanguageEnglish)) languages->addAction(a);
}

QComboBox* TMainForm::makeBox(CommandId id) {
  const Command& c = CommandInfo(id);
  auto* box = new QComboBox(this);
  box->setToolTip(qs(c.hint));
  box->setEnabled(c.implemented);
  switch (id) {
    case CommandId::ZoomBox:
      box->setEditable(true);
      for (const char* e : ZoomBoxEntries()) box->addItem(qs(e));
      box->setInsertPolicy(QComboBox::NoInsert);
      box->setMinimumContentsLength(10);
      connect(box, &QComboBox::textActivated, this, [this](const QString& t) {
        if (!updatingBoxes_) applyZoomText(t);
      });
      // The box activates neither a typed value its list lacks nor an entry it completed to its
      // current index: Enter applies what it shows unless that is still the window's zoom (so an
      // Enter in the untouched box keeps a fitted zoom fitted), before the box is left and shows
      // the window's zoom again.
      connect(box->lineEdit(), &QLineEdit::returnPressed, this, [this, box] {
        DocumentWindow* w = activeDocument();
        if (updatingBoxes_ || !w) return;
        if (box->currentText() != qs(ZoomBoxText(w->child().doc.zoomPercent)))
          applyZoomText(box->currentText());
      });
      // Leaving the box shows the window's zoom again.
      connect(box->lineEdit(), &QLineEdit::editingFinished, this,
              [this] { showZoomOf(activeDocument()); });
      zoomBox_ = box;
      break;
    case CommandId::FontBox:
      box->setEditable(true);
      box->setMinimumContentsLength(16);
      box->addItems(FaceBoxNames());
      fontBox_ = box;
      connectFormatBox(box, id);
      break;
    case CommandId::SizeBox:
      box->setEditable(true);
      for (const char* s : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                            "28", "36", "48", "72"})
        box->addItem(s);
      box->setMinimumContentsLength(4);
      sizeBox_ = box;
      connectFormatBox(box, id);
      break;
    case CommandId::TemplateBox:
      box->setMinimumContentsLength(14);
      // Only the user's choice applies a template; refilling and selecting from the toolbar
      // state does not fire.
      connect(box, &QComboBox::activated, this, [this](int index) {
        if (!updatingBoxes_) applyTemplate(index);
      });
      templateBox_ = box;
      break;
    default:
      break;
  }
  return box;
}

// The face and size boxes apply what is chosen from the list or typed and confirmed with Enter;
// neither adds the text to its list, and the list's own completion does not apply it twice.
void TMainForm::connectFormatBox(QComboBox* box, CommandId id) {
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setCompleter(nullptr);
  connect(box, &QComboBox::textActivated, this,
          [this, id](const QString& t) { applyFormatBox(id, t); });
  // The box hands an Enter it does not use back to its line, which reports it a second time;
  // only a text the user has edited since the box last showed the format is applied.
  connect(box->lineEdit(), &QLineEdit::returnPressed, this, [this, id, box] {
    if (box->lineEdit()->isModified()) applyFormatBox(id, box->currentText());
  });
}

void TMainForm::applyFormatBox(CommandId id, const QString& text) {
  DocumentWindow* w = activeDocument();
  if (updatingBoxes_ || !w) return;
  TMDIChild& child = w->child();
  if (id == CommandId::SizeBox) {
    // Anything but a size from 1 to 999 brings the old size back into the box.
    if (!FormatFontSizeText(child, text.trimmed().toStdString())) SmallOvertakeFont(child);
  } else {
    const std::string name = utf8ToCp1252(text.trimmed().toStdString(), '\0');
    if (name.find('\0') != std::string::npos) {
      app_->message("Die Schriftart „" + text.trimmed().toStdString() +
                        "“ lässt sich nicht im Zeichensatz Windows-1252 schreiben.",
                    MsgIcon::Error);
      SmallOvertakeFont(child);
    } else if (name.empty()) {
      SmallOvertakeFont(child);
    } else {
      FormatFontName(child, name);
    }
  }
  // Typing goes on in the document.
  w->setFocus();
  w->afterCommand();
  updateMenuState();
}

void TMainForm::buildToolBars() {
  const QString iconDir = qs(app_->paths().programDataDir() + "/icons");
  for (const Toolbar& t : Toolbars()) {
    auto* bar = new QToolBar(qs(t.caption), this);
    bar->setObjectName(qs(t.caption));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBars_[static_cast<int>(t.id)] = bar;
    for (CommandId id : t.items) {
      if (id == CommandId::None) {
        bar->addSeparator();
        continue;
      }
      const Command& c = CommandInfo(id);
      if (c.kind == CommandKind::ComboBox) {
        bar->addWidget(makeBox(id));
        continue;
      }
      QAction* a = makeAction(c);
      QIcon icon = ToolbarIcon(id, iconDir);
      QAction* shown = a;
      if (icon.isNull()) {
        // A separate action for the button keeps the menu's caption and mirrors its state.
        auto* face = new QAction(buttonFace(c), this);
        face->setToolTip(qs(c.hint));
        face->setStatusTip(qs(c.hint));
        face->setCheckable(a->isCheckable());
        face->setEnabled(a->isEnabled());
        connect(face, &QAction::triggered, a, [this, id] { runCommand(id); });
        connect(a, &QAction::changed, face, [a, face] {
          face->setEnabled(a->isEnabled());
          face->setChecked(a->isChecked());
        });
        bar->addAction(face);
        shown = face;
      } else {
        a->setIcon(icon);
        bar->addAction(a);
      }
      if (c.dropDown) addStepList(bar, shown, id);
      if (id == CommandId::TextColour || id == CommandId::TextBackColour)
        addColourPalette(bar, shown, id);
    }
    // Standard and format bar each on a row of their own, the two short ones share the third.
    if (t.id == ToolbarId::Format || t.id == ToolbarId::Drawing) addToolBarBreak();
    addToolBar(Qt::TopToolBarArea, bar);
    const bool visible = settings_.toolbarVisible[static_cast<size_t>(t.id)];
    bar->setVisible(visible);
    // The toolbar area's own context menu also hides bars; the setting follows it.
    connect(bar, &QToolBar::visibilityChanged, this, [this, id = t.id](bool on) {
      if (!isVisible()) return;
      settings_.toolbarVisible[static_cast<size_t>(id)] = on;
    });
  }
}

// The colour buttons' drop-down palettes: the button itself opens the colour chooser, its arrow
// the sixteen colours and "Weitere Farben...".
void TMainForm::addColourPalette(QToolBar* bar, QAction* button, CommandId id) {
  auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(button));
  if (!tool) return;
  auto* palette = new QMenu(tool);
  tool->setMenu(palette);
  tool->setPopupMode(QToolButton::MenuButtonPopup);
  for (const PaletteColour& p : ColourPalette()) {
    QPixmap swatch(16, 16);
    swatch.fill(QColor(p.colour & 0xFF, (p.colour >> 8) & 0xFF, (p.colour >> 16) & 0xFF));
    QAction* entry = palette->addAction(QIcon(swatch), qs(p.name));
    const int32_t colour = p.colour;
    connect(entry, &QAction::triggered, this, [this, id, colour] {
      DocumentWindow* w = activeDocument();
      if (!w) return;
      if (id == CommandId::TextColour)
        ApplyTextColour(w->child(), colour);
      else
        ApplyBackColour(w->child(), colour);
      w->afterCommand();
      updateMenuState();
    });
  }
  palette->addSeparator();
  connect(palette->addAction(qs("Weitere Farben...")), &QAction::triggered, this,
          [this, id] { runCommand(id); });
}

void TMainForm::addStepList(QToolBar* bar, QAction* button, CommandId id) {
  auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(button));
  if (!tool) return;
  auto* list = new QMenu(tool);
  tool->setMenu(list);
  tool->setPopupMode(QToolButton::MenuButtonPopup);
  const bool undo = id == CommandId::EditUndo;
  connect(list, &QMenu::aboutToShow, this, [this, list, undo] {
    list->clear();
    DocumentWindow* w = activeDocument();
    if (!w) return;
    const std::vector<std::string> steps =
        undo ? UndoListEntries(w->child()) : RedoListEntries(w->child());
    for (size_t k = 0; k < steps.size(); ++k) {
      // Choosing entry k takes back (or repeats) the k + 1 newest steps.
      connect(list->addAction(qs(steps[k])), &QAction::triggered, this, [this, undo, k] {
        DocumentWindow* d = activeDocument();
        if (!d) return;
        if (undo)
          RestoreCopyFromUndo(d->child(), static_cast<int32_t>(k));
        else
          RestoreBeforeRestoreCopyFromUndo(d->child(), static_cast<int32_t>(k));
        d->afterCommand();
        updateMenuState();
      });
    }
  });
}

void TMainForm::buildStatusBar() {
  QStatusBar* bar = statusBar();
  for (int i = 0; i < 4; ++i) {
    status_[i] = new QLabel(this);
    status_[i]->setFrameShape(QFrame::Panel);
    status_[i]->setFrameShadow(QFrame::Sunken);
    if (i < 3)
      status_[i]->setFixedWidth(kStatusPanelWidths[i]);
    else
      status_[i]->setMinimumWidth(kStatusPanelWidths[i]);
    bar->addWidget(status_[i], i == 3 ? 1 : 0);
  }
  bar->setVisible(settings_.statusBarVisible);
  status_[2]->setText(app_->editOptions.OverwriteMode ? "ÜB" : "");
}

QAction* TMainForm::action(CommandId id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void TMainForm::updateMenuState() {
  DocumentWindow* w = activeDocument();
  MenuInput in;
  in.active = w ? &w->child() : nullptr;
  in.settings = &settings_;
  if (const QMimeData* mime = QApplication::clipboard()->mimeData()) {
    in.clipboard.privateFormat = mime->hasFormat(kPrivateClipboardFormat);
    in.clipboard.text = mime->hasText();
    in.clipboard.bitmap = mime->hasImage();
  }
  in.pageViewActive = w && w->pageViewActive();
  in.gridLines = w && w->view().options.gridLines;
  const MenuState s = EvaluateMenuState(in);
  for (auto& [id, a] : actions_) {
    a->setEnabled(s.isEnabled(id));
    // The buttons of the format at the Cursor follow the toolbar state, not the menu rules.
    if (a->isCheckable() && !showsFormatAtCursor(id)) a->setChecked(s.isChecked(id));
  }
  for (int i = 0; i < kMenuCount; ++i)
    if (menus_[i]) menus_[i]->menuAction()->setVisible(s.isVisible(static_cast<MenuId>(i)));
  if (QAction* a = action(CommandId::EditUndo))
    a->setText(withHandlerKeys(CommandId::EditUndo, qs(s.undoCaption)));
  if (QAction* a = action(CommandId::EditRedo))
    a->setText(withHandlerKeys(CommandId::EditRedo, qs(s.redoCaption)));
  if (QAction* a = action(CommandId::DatabaseCurrentRecord)) a->setText(qs(s.currentRecordCaption));
  for (QComboBox* box : {zoomBox_, fontBox_, sizeBox_, templateBox_}) {
    if (!box) continue;
    CommandId id = box == zoomBox_   ? CommandId::ZoomBox
                   : box == fontBox_ ? CommandId::FontBox
                   : box == sizeBox_ ? CommandId::SizeBox
                                     : CommandId::TemplateBox;
    box->setEnabled(s.isEnabled(id));
  }
}

void TMainForm::refreshFileMenu() {
  for (DocumentWindow* w : documents()) w->updateCaption();
  rebuildRecentFiles();
}

void TMainForm::rebuildRecentFiles() {
  RecentFiles& recent = settings_.recentFiles;
  recent.cutForMenu();
  std::vector<std::string> captions = recent.menuCaptions();
  // Typing calls this on every key; only a changed list touches the menu.
  if (captions == recentShown_ &&
      recentActions_.size() == captions.size() + (captions.empty() ? 0 : 1))
    return;
  QMenu* file = menu(MenuId::File);
  for (QAction* a : recentActions_) {
    file->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  recentShown_ = captions;
  if (captions.empty()) return;
  recentActions_.push_back(file->addSeparator());
  const std::vector<std::string> paths = recent.entries();
  for (size_t i = 0; i < captions.size() && i < paths.size(); ++i) {
    QAction* a = file->addAction(qs(captions[i]));
    const std::string path = paths[i];
    connect(a, &QAction::triggered, this, [this, path] { openDocument(path, kOpenByExtension); });
    recentActions_.push_back(a);
  }
}

void TMainForm::rebuildWindowList() {
  QMenu* m = menu(MenuId::Window);
  for (QAction* a : windowListActions_) {
    m->removeAction(a);
    a->deleteLater();
  }
  windowListActions_.clear();
  const std::vector<DocumentWindow*> docs = documents();
  if (docs.empty()) return;
  windowListActions_.push_back(m->addSeparator());
  int n = 0;
  for (DocumentWindow* w : docs) {
    QAction* a = m->addAction(QString("&%1 %2").arg(++n).arg(w->windowTitle()));
    a->setCheckable(true);
    a->setChecked(w == activeDocument());
    QMdiSubWindow* sub = subWindowOf(w);
    connect(a, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    windowListActions_.push_back(a);
  }
}

// --- Zoom, status bar, format toolbar ----------------------------------------------------------

void TMainForm::showZoomText(DocumentWindow* w, const QString& text) {
  if (!zoomBox_ || (w && w != activeDocument())) return;
  updatingBoxes_ = true;
  zoomBox_->setEditText(text);
  updatingBoxes_ = false;
}

void TMainForm::showZoomOf(DocumentWindow* w) {
  if (!w) return;
  showZoomText(w, qs(ZoomBoxText(w->child().doc.zoomPercent)));
}

void TMainForm::applyZoomText(const QString& text) {
  DocumentWindow* w = activeDocument();
  if (!w) return;
  w->applyZoomText(text);
  showZoomOf(w);
}

void TMainForm::statusText(int panel, const QString& text) {
  // Page and line belong to one document window, and the platform's status bar cannot tell
  // whose they are: each window reports its own after it painted (documentPainted).
  if (panel <= 1 || panel > 3) return;
  if (status_[panel]->text() != text) status_[panel]->setText(text);
}

void TMainForm::documentPainted(DocumentWindow* w) {
  // A window painting behind the active one (tiled, or while it opens) keeps its page and line
  // to itself.
  if (w && w == activeDocument()) showDocumentStatus(w);
}

void TMainForm::showDocumentStatus(DocumentWindow* w) {
  const QString page = w ? qs(StatusPageText(w->child())) : QString();
  const QString line = w ? qs(StatusLineText(w->child())) : QString();
  if (status_[0]->text() != page) status_[0]->setText(page);
  if (status_[1]->text() != line) status_[1]->setText(line);
  if (!w) status_[3]->clear();
}

void TMainForm::setFormatToolbar(const FormatToolbarState& s) {
  toolbarState_ = s;
  updatingBoxes_ = true;
  // The list entry of the text becomes the current one too: an editable box reports a text
  // that differs from its current entry as chosen once more when its line loses the focus.
  auto show = [](QComboBox* box, const QString& text) {
    if (!box) return;
    if (const int i = box->findText(text); i >= 0) box->setCurrentIndex(i);
    box->setEditText(text);
  };
  show(fontBox_, qs(s.fontName));
  show(sizeBox_, qs(s.sizeText));
  if (templateBox_) {
    QStringList names;
    for (const std::string& n : s.templateNames) names << qs(n);
    QStringList shown;
    for (int i = 0; i < templateBox_->count(); ++i) shown << templateBox_->itemText(i);
    if (names != shown) {
      templateBox_->clear();
      templateBox_->addItems(names);
    }
    templateBox_->setCurrentIndex(s.templateIndex);
  }
  showToolbarChecks();
  updatingBoxes_ = false;
}

// The buttons that show the format at the Cursor: the menu rules know nothing of it.
bool TMainForm::showsFormatAtCursor(CommandId id) {
  switch (id) {
    case CommandId::Bold:
    case CommandId::Italic:
    case CommandId::Underline:
    case CommandId::Bullets:
    case CommandId::Numbering:
    case CommandId::AlignLeft:
    case CommandId::AlignCenter:
    case CommandId::AlignRight:
    case CommandId::AlignJustify:
      return true;
    default:
      return false;
  }
}

void TMainForm::showToolbarChecks() {
  const FormatToolbarState& s = toolbarState_;
  auto check = [this](CommandId id, bool on) {
    if (QAction* a = action(id)) a->setChecked(on);
  };
  check(CommandId::Bold, s.bold);
  check(CommandId::Italic, s.italic);
  check(CommandId::Underline, s.underline);
  check(CommandId::Bullets, s.bullets);
  check(CommandId::Numbering, s.numbering);
  check(CommandId::AlignLeft, s.alignment == 0);
  check(CommandId::AlignCenter, s.alignment == 1);
  check(CommandId::AlignRight, s.alignment == 2);
  check(CommandId::AlignJustify, s.alignment == 3);
}

void TMainForm::applyTemplate(int index) {
  DocumentWindow* w = activeDocument();
  if (!w) return;
  useVorlage(w->child(), index);
  w->afterCommand();
  updateMenuState();
  // The box has done its work: typing goes on in the document.
  w->setFocus();
}

void TMainForm::setShowMarks(bool on) {
  settings_.showAllMarks = on;
  if (QAction* a = action(CommandId::ShowMarks)) a->setChecked(on);
  // The button's switch is the marks of every window; the active one redraws.
  for (DocumentWindow* w : documents()) w->setShowMarks(on);
}

void TMainForm::setRulerTabKind(int32_t kind) {
  rulerTabKind_ = kind;
  for (DocumentWindow* w : documents()) w->tabSelector()->kindChanged();
}

// --- Document windows ----------------------------------------------------------------------------

DocumentWindow* TMainForm::activeDocument() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (!sub) sub = mdi_->currentSubWindow();
  auto* w = sub ? qobject_cast<DocumentWindow*>(sub->widget()) : nullptr;
  return w && !w->isClosed() ? w : nullptr;
}

std::vector<DocumentWindow*> TMainForm::documents() const {
  std::vector<DocumentWindow*> out;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (auto* w = qobject_cast<DocumentWindow*>(sub->widget()); w && !w->isClosed())
      out.push_back(w);
  return out;
}

QMdiSubWindow* TMainForm::subWindowOf(DocumentWindow* w) const {
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (sub->widget() == w) return sub;
  return nullptr;
}

QRect TMainForm::cascadePlace(int index) const {
  const QRect area = mdi_->viewport()->rect();
  // Four fifths of the area each way; the rest is the room the cascade steps through.
  const QSize size(std::max(area.width() * 4 / 5, std::min(area.width(), 320)),
                   std::max(area.height() * 4 / 5, std::min(area.height(), 240)));
  const int step = std::max(16, style()->pixelMetric(QStyle::PM_TitleBarHeight));
  const int roomX = std::max(0, area.width() - size.width());
  const int roomY = std::max(0, area.height() - size.height());
  const int steps = std::max(1, std::min(roomX, roomY) / step + 1);
  const int k = index % steps;
  return QRect(QPoint(k * step, k * step), size);
}

void TMainForm::addDocumentWindow(DocumentWindow* w) {
  // The first window fills the area, as the program starts maximised documents; later ones
  // follow the active window: maximised too, or cascaded over the windows already there.
  const int before = static_cast<int>(documents().size()) - (subWindowOf(w) ? 1 : 0);
  QMdiSubWindow* current = mdi_->activeSubWindow();
  const bool maximised = before == 0 || (current && current->isMaximized());
  QMdiSubWindow* sub = mdi_->addSubWindow(w);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowIcon(QIcon());
  w->updateCaption();
  // Also a maximised window gets this place: it is where "restore" puts it.
  sub->setGeometry(cascadePlace(before));
  if (maximised)
    sub->showMaximized();
  else
    sub->showNormal();
  mdi_->setActiveSubWindow(sub);
  w->setFocus();
  // The format of the text at the Cursor becomes the one typing continues with, and the format
  // toolbar shows it from the first paint on.
  OvertakeFont(w->child());
  documentActivated(w);
  w->restartRepaintTimer();
}

DocumentWindow* TMainForm::newDocument() {
  const int number = static_cast<int>(documents().size()) + 1;
  auto* w = new DocumentWindow(*this);
  StartNewDocument(w->child(), number);
  addDocumentWindow(w);
  return w;
}

DocumentWindow* TMainForm::openDocument(const std::string& path, int32_t openFileType) {
  auto* w = new DocumentWindow(*this);
  if (!StartFileDocument(w->child(), settings_, path, openFileType)) {
    // The reader has told the user; a window whose file cannot be read does not stay.
    delete w;
    return nullptr;
  }
  w->saveFileType = SaveTypeAfterOpen(openFileType);
  addDocumentWindow(w);
  rebuildRecentFiles();
  return w;
}

DocumentWindow* TMainForm::openWithDialog() {
  const std::optional<OpenChoice> choice = ChooseFileToOpen(app_->dialogs(), settings_);
  if (!choice) return nullptr;
  return openDocument(choice->path, choice->openFileType);
}

bool TMainForm::saveWindow(DocumentWindow& w, SaveMode mode) {
  const bool saved = mode == SaveMode::SaveAs ? SaveFileAs(w.child(), settings_, w.saveFileType)
                                              : SaveCommand(w.child(), settings_, w.saveFileType);
  w.updateCaption();
  documentModifiedChanged(&w);
  return saved;
}

bool TMainForm::exportPdfActive() {
  DocumentWindow* w = activeDocument();
  if (!w) return false;
  const std::optional<std::string> written = ExportPdfCommand(w->child());
  if (!written) return false;
  const std::string name = std::filesystem::path(*written).filename().string();
  qt_.ui.openWithDefaultViewer(*written, this, [this, name] {
    app_->message(
        "Die PDF-Datei " + name + " wurde geschrieben, aber kein Programm zum Anzeigen gefunden.",
        MsgIcon::Information);
  });
  return true;
}

bool TMainForm::askToSave(DocumentWindow& w) {
  return QueryCloseDocument(w.child(), [this, &w] { return saveWindow(w, SaveMode::Save); });
}

bool TMainForm::closeWindow(DocumentWindow& w) {
  QMdiSubWindow* sub = subWindowOf(&w);
  if (!sub) return w.close();
  const bool closed = sub->close();
  if (closed) {
    QTimer::singleShot(0, this, [this] {
      if (documents().empty()) showDocumentStatus(nullptr);
      updateMenuState();
    });
  }
  return closed;
}

void TMainForm::documentActivated(DocumentWindow* w) {
  if (!w) return;
  showZoomOf(w);
  undoButtonsChanged(w);
  showDocumentStatus(w);
  status_[2]->setText(app_->editOptions.OverwriteMode ? "ÜB" : "");
  SmallOvertakeFont(w->child());
  updateMenuState();
}

void TMainForm::documentModifiedChanged(DocumentWindow* w) {
  if (w) w->updateCaption();
  rebuildRecentFiles();
  updateMenuState();
}

void TMainForm::undoButtonsChanged(DocumentWindow* w) {
  if (!w || w != activeDocument()) return;
  const UndoButtons& u = w->undoButtons();
  if (QAction* a = action(CommandId::EditUndo)) {
    a->setEnabled(u.undoEnabled);
    a->setText(withHandlerKeys(CommandId::EditUndo, qs(u.undoMenu)));
    a->setToolTip(qs(u.undoHint));
  }
  if (QAction* a = action(CommandId::EditRedo)) {
    a->setEnabled(u.redoEnabled);
    a->setText(withHandlerKeys(CommandId::EditRedo, qs(u.redoMenu)));
    a->setToolTip(qs(u.redoHint));
  }
}

void TMainForm::handleCommandLine(const std::vector<std::string>& list) {
  const StartPlan plan = PlanStart(list);
  if (plan.newDocument) {
    newDocument();
    return;
  }
  for (const StartFile& f : plan.files) {
    DocumentWindow* w = openDocument(f.path, kOpenByExtension);
    if (w && f.print) printFile(*w);
  }
}

void TMainForm::printFile(DocumentWindow& w) {
  FastPrinting(w.child());
}

// --- Commands ------------------------------------------------------------------------------------

void TMainForm::runCommand(CommandId id) {
  DocumentWindow* w = activeDocument();
  switch (id) {
    case CommandId::FileNew:
      newDocument();
      break;
    case CommandId::FileOpen:
      openWithDialog();
      break;
    case CommandId::FileSave:
      if (w) saveWindow(*w, SaveMode::Save);
      break;
    case CommandId::FileSaveAs:
      if (w) saveWindow(*w, SaveMode::SaveAs);
      break;
    case CommandId::FilePdfExport:
      exportPdfActive();
      break;
    case CommandId::FilePageSetup:
      if (w && PageSetup(w->child())) w->fitZoom();
      break;
    case CommandId::FilePageView:
      if (w) w->setPageView(!w->pageViewActive());
      break;
    case CommandId::FilePrint:
      if (w) PrintOut(w->child());
      break;
    case CommandId::FilePrintFast:
      if (w) FastPrinting(w->child());
      break;
    case CommandId::FileClose:
      if (w) closeWindow(*w);
      break;
    case CommandId::FileExit:
      close();
      break;
    case CommandId::ViewRuler:
      settings_.rulerVisible = !settings_.rulerVisible;
      for (DocumentWindow* d : documents()) d->setRulersVisible(settings_.rulerVisible);
      break;
    case CommandId::ViewStatusBar:
      settings_.statusBarVisible = !settings_.statusBarVisible;
      statusBar()->setVisible(settings_.statusBarVisible);
      break;
    case CommandId::ViewToolbarStandard:
    case CommandId::ViewToolbarFormat:
    case CommandId::ViewToolbarDrawing:
    case CommandId::ViewToolbarFormatExtended: {
      const int i = static_cast<int>(id) - static_cast<int>(CommandId::ViewToolbarStandard);
      settings_.toolbarVisible[i] = !settings_.toolbarVisible[i];
      toolBars_[i]->setVisible(settings_.toolbarVisible[i]);
      break;
    }
    case CommandId::ViewPageWidth:
      applyZoomText("Seitenbreite");
      break;
    case CommandId::ViewWholePage:
      applyZoomText("Ganze Seite");
      break;
    case CommandId::ViewZoom100:
      applyZoomText("100%");
      break;
    case CommandId::ViewZoomDialog:
      applyZoomDialog();
      break;
    case CommandId::ShowMarks:
      setShowMarks(!settings_.showAllMarks);
      break;
    case CommandId::WindowCascade:
      mdi_->cascadeSubWindows();
      break;
    case CommandId::WindowTileHorizontal:
      tileHorizontally();
      break;
    case CommandId::WindowTileVertical:
      tileVertically();
      break;
    case CommandId::WindowMinimizeAll:
      for (DocumentWindow* d : documents()) subWindowOf(d)->showMinimized();
      break;
    case CommandId::WindowArrangeIcons:
      arrangeIcons();
      break;
    case CommandId::HelpContents:
      showHelp();
      break;
    case CommandId::HelpInfo:
      showInfo();
      break;
    default:
      // Commands whose operation lives in the engine run there on the active window.
      if (w) RunDocumentCommand(w->child(), id);
      break;
  }
  if (w && !w->isClosed()) w->afterCommand();
  updateMenuState();
}

void TMainForm::applyZoomDialog() {
  DocumentWindow* w = activeDocument();
  if (!w) return;
  ZoomDialog d = ZoomDialogFor(w->child());
  if (!app_->dialogs().run(d)) return;
  w->readScrollBox();
  ApplyZoomDialog(w->child(), w->view(), d);
  showZoomOf(w);
}

void TMainForm::tileHorizontally() {
  std::vector<QMdiSubWindow*> subs;
  for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::StackingOrder))
    if (!s->isMinimized()) subs.push_back(s);
  if (subs.empty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int h = area.height() / static_cast<int>(subs.size());
  for (size_t i = 0; i < subs.size(); ++i) {
    subs[i]->showNormal();
    subs[i]->setGeometry(0, static_cast<int>(i) * h, area.width(), h);
  }
}

void TMainForm::tileVertically() {
  std::vector<QMdiSubWindow*> subs;
  for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::StackingOrder))
    if (!s->isMinimized()) subs.push_back(s);
  if (subs.empty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int wdt = area.width() / static_cast<int>(subs.size());
  for (size_t i = 0; i < subs.size(); ++i) {
    subs[i]->showNormal();
    subs[i]->setGeometry(static_cast<int>(i) * wdt, 0, wdt, area.height());
  }
}

void TMainForm::arrangeIcons() {
  const QRect area = mdi_->viewport()->rect();
  int x = 0;
  for (QMdiSubWindow* s : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (!s->isMinimized()) continue;
    const QSize size = s->size();
    s->move(x, area.height() - size.height());
    x += size.width();
  }
}

void TMainForm::showInfo() {
  app_->message(std::string(kMainCaption) + "\n\nTextverarbeitung und Seitengestaltung\nVersion " +
                    PAGINOR_VERSION,
                MsgIcon::Information);
}

void TMainForm::showHelp() {
  const std::filesystem::path help =
      std::filesystem::path(app_->paths().programDataDir()) / kHelpFileName;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(help, ec)) {
    app_->message("Das Handbuch " + help.string() + " wurde nicht gefunden.", MsgIcon::Error);
    return;
  }
  qt_.ui.openWithDefaultViewer(help.string(), this, [this] {
    app_->message(
        "Das Handbuch konnte nicht angezeigt werden: Es wurde kein Browser gefunden, der "
        "HTML-Seiten öffnet.",
        MsgIcon::Information);
  });
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // Each document window asks its question first; one Cancel keeps everything open.
  for (DocumentWindow* w : documents()) {
    if (!closeWindow(*w)) {
      event->ignore();
      return;
    }
  }
  event->accept();
}

}  // namespace paginor
