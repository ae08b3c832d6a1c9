#include "shell/toolbar_icons.h"

#include <QFileInfo>

namespace paginor {

const char* ToolbarIconName(CommandId id) {
  switch (id) {
    case CommandId::FileNew:
      return "document-new";
    case CommandId::FileOpen:
      return "document-open";
    case CommandId::FileSave:
      return "document-save";
    case CommandId::FilePdfExport:
      return "document-export";
    case CommandId::FilePrintFast:
      return "document-print";
    case CommandId::FilePageView:
      return "document-print-preview";
    case CommandId::EditCut:
      return "edit-cut";
    case CommandId::EditCopy:
      return "edit-copy";
    case CommandId::EditPaste:
      return "edit-paste";
    case CommandId::EditUndo:
      return "edit-undo";
    case CommandId::EditRedo:
      return "edit-redo";
    case CommandId::ShowMarks:
      return "format-show-marks";
    case CommandId::WindowCascade:
      return "window-cascade";
    case CommandId::WindowTileHorizontal:
      return "window-tile-horizontal";
    case CommandId::Bold:
      return "format-text-bold";
    case CommandId::Italic:
      return "format-text-italic";
    case CommandId::Underline:
      return "format-text-underline";
    case CommandId::AlignLeft:
      return "format-justify-left";
    case CommandId::AlignCenter:
      return "format-justify-center";
    case CommandId::AlignRight:
      return "format-justify-right";
    case CommandId::AlignJustify:
      return "format-justify-fill";
    case CommandId::Numbering:
      return "format-list-ordered";
    case CommandId::Bullets:
      return "format-list-unordered";
    case CommandId::TextColour:
      return "format-text-color";
    case CommandId::TextBackColour:
      return "format-fill-color";
    case CommandId::LineSpacingSingle:
      return "format-line-spacing-normal";
    case CommandId::LineSpacingOneHalf:
      return "format-line-spacing-one-and-half";
    case CommandId::LineSpacingDouble:
      return "format-line-spacing-double";
    case CommandId::InsertTextBox:
      return "insert-text-frame";
    case CommandId::InsertRectangle:
      return "draw-rectangle";
    case CommandId::InsertEllipse:
      return "draw-ellipse";
    case CommandId::InsertSlantedLine:
      return "draw-line";
    case CommandId::InsertHorizontalLine:
      return "draw-line-horizontal";
    case CommandId::InsertVerticalLine:
      return "draw-line-vertical";
    case CommandId::InsertPictureField:
      return "insert-image";
    case CommandId::FillColour:
      return "color-fill";
    case CommandId::LineColour:
      return "format-stroke-color";
    case CommandId::LineWidth:
      return "stroke-width";
    default:
      return nullptr;
  }
}

QIcon ToolbarIcon(CommandId id, const QString& iconDir) {
  const char* name = ToolbarIconName(id);
  if (!name) return {};
  const QString own = iconDir + '/' + QString::fromLatin1(name) + ".svg";
  // Without Qt's SVG support (the package libqt6svg6) the drawing loads as a null icon, and
  // the button keeps its text rather than showing an empty face.
  QIcon fallback;
  if (QFileInfo::exists(own)) {
    QIcon drawn(own);
    if (!drawn.pixmap(16, 16).isNull()) fallback = drawn;
  }
  return QIcon::fromTheme(QString::fromLatin1(name), fallback);
}

}  // namespace paginor
