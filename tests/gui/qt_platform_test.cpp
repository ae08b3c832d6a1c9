// The Qt user-interface services: German message boxes, the file dialog's filters, and the zoom
// and page-setup dialogs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>

#include "editing/page_setup.h"
#include "platform/qt/qt_platform.h"

namespace paginor {
namespace {

// Clicks the button with `caption` of the next modal message box once it shows, and keeps the
// captions of all its buttons.
void ClickWhenShown(const QString& caption, QStringList* captions) {
  QTimer::singleShot(0, [caption, captions] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
      ClickWhenShown(caption, captions);
      return;
    }
    QAbstractButton* target = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      captions->push_back(b->text());
      if (b->text() == caption) target = b;
    }
    if (target) {
      target->click();
    } else {
      box->reject();
    }
  });
}

TEST(QtUiTest, MessageBoxesSpeakGermanAndReportTheButton) {
  QtUi ui;
  struct Case {
    MsgButtons buttons;
    QString click;
    MsgResult expected;
    QStringList captions;
  };
  const Case cases[] = {
      {MsgButtons::YesNoCancel, "Nein", MsgResult::No, {"Ja", "Nein", "Abbrechen"}},
      {MsgButtons::YesNoCancel, "Abbrechen", MsgResult::Cancel, {"Ja", "Nein", "Abbrechen"}},
      {MsgButtons::YesNo, "Ja", MsgResult::Yes, {"Ja", "Nein"}},
      {MsgButtons::OkCancel, "OK", MsgResult::Ok, {"OK", "Abbrechen"}},
      {MsgButtons::Ok, "OK", MsgResult::Ok, {"OK"}},
  };
  for (const Case& c : cases) {
    QStringList captions;
    ClickWhenShown(c.click, &captions);
    MsgResult r = ui.messageBox("Möchten Sie die Änderungen speichern?", "Paginor",
                                MsgIcon::Question, c.buttons);
    EXPECT_EQ(r, c.expected) << c.click.toStdString();
    captions.sort();
    QStringList want = c.captions;
    want.sort();
    EXPECT_EQ(captions, want);
  }
}

TEST(QtDialogsTest, FileFiltersBecomeQtsNameFilters) {
  EXPECT_EQ(QtFileFilters("Scribolantium Dokument|*.sbl|Textdateien|*.txt;*.asc"),
            (QStringList{"Scribolantium Dokument (*.sbl)", "Textdateien (*.txt *.asc)"}));
  // Descriptions that already name their patterns stay; a dangling description is dropped.
  EXPECT_EQ(QtFileFilters("Alle Dateien (*.*)|*.*|Rest"), QStringList{"Alle Dateien (*.*)"});
  EXPECT_EQ(QtFileFilters("|*.rtf"), QStringList{"*.rtf"});
  EXPECT_TRUE(QtFileFilters("").isEmpty());
}

TEST(QtDialogsTest, TheZoomDialogShowsAndReturnsTheChoice) {
  ZoomDialog data;
  data.choice = ZoomDialog::Choice::WholePage;
  data.percent = 84.44;
  QtZoomDialog dlg(data, nullptr);
  EXPECT_TRUE(dlg.wholePage->isChecked());
  EXPECT_FALSE(dlg.percentBox->isEnabled());
  EXPECT_EQ(dlg.pageWidth->text(), "Seitenbreite");
  EXPECT_EQ(dlg.percent->text(), "Prozent festlegen");
  dlg.percent->setChecked(true);
  EXPECT_TRUE(dlg.percentBox->isEnabled());
  dlg.percentBox->setValue(300);  // beyond the zoom box's range
  ZoomDialog out;
  dlg.writeBack(out);
  EXPECT_EQ(out.choice, ZoomDialog::Choice::Percent);
  EXPECT_DOUBLE_EQ(out.percent, 250);
}

TEST(QtDialogsTest, PageSetupControlsKeepEachOtherInLine) {
  PageSetupDialog data;
  data.printerFormats = {{"A4", 2100, 2970}, {"A5", 1480, 2100}};
  data.formatNames = {"A4", "A5", "Benutzerdefiniert"};
  data.formatIndex = 0;
  data.marginLeftCm = 3.0;
  data.mode = HeaderMode::EvenOdd;
  QtPageSetupDialog dlg(data, nullptr);
  EXPECT_EQ(dlg.format->count(), 3);
  EXPECT_TRUE(dlg.portrait->isChecked());
  EXPECT_DOUBLE_EQ(dlg.width->value(), 21.0);
  EXPECT_DOUBLE_EQ(dlg.marginLeft->value(), 3.0);
  EXPECT_EQ(dlg.mode->currentIndex(), 2);

  dlg.landscape->setChecked(true);  // the size turns
  EXPECT_DOUBLE_EQ(dlg.width->value(), 29.7);
  EXPECT_DOUBLE_EQ(dlg.height->value(), 21.0);
  dlg.format->setCurrentIndex(1);  // A5 across
  EXPECT_DOUBLE_EQ(dlg.width->value(), 21.0);
  EXPECT_DOUBLE_EQ(dlg.height->value(), 14.8);

  dlg.width->setValue(14.8);  // edited upright again: A5 portrait
  dlg.height->setValue(21.0);
  EXPECT_TRUE(dlg.portrait->isChecked());
  EXPECT_EQ(dlg.format->currentIndex(), 1);
  dlg.width->setValue(15.5);  // no printer format: "Benutzerdefiniert"
  EXPECT_EQ(dlg.format->currentIndex(), 2);

  dlg.marginTop->setValue(1.5);
  dlg.mode->setCurrentIndex(1);
  PageSetupDialog out;
  out.printerFormats = data.printerFormats;
  dlg.writeBack(out);
  EXPECT_EQ(out.formatIndex, 2);
  EXPECT_FALSE(out.landscape);
  EXPECT_DOUBLE_EQ(out.widthCm, 15.5);
  EXPECT_DOUBLE_EQ(out.heightCm, 21.0);
  EXPECT_DOUBLE_EQ(out.marginTopCm, 1.5);
  EXPECT_DOUBLE_EQ(out.marginLeftCm, 3.0);
  EXPECT_EQ(out.mode, HeaderMode::FirstPage);
}

TEST(QtDialogsTest, UnknownDialogsAreRefusedWithAMessage) {
  struct Fremd : Dialog {
    const char* title() const override { return "Serienbrief"; }
  } fremd;
  HeadlessUi ui;
  QtDialogs dialogs;
  dialogs.ui = &ui;
  EXPECT_FALSE(dialogs.run(fremd));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("„Serienbrief“"), std::string::npos);

  // A scripted answer stands in for the user.
  ZoomDialog zoom;
  dialogs.answer = [](Dialog& d) {
    static_cast<ZoomDialog&>(d).percent = 50;
    return true;
  };
  EXPECT_TRUE(dialogs.run(zoom));
  EXPECT_DOUBLE_EQ(zoom.percent, 50);
}

}  // namespace
}  // namespace paginor
