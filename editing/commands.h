// The commands of the main window as data: every item of the menu bar, the text's context menu
// and the four toolbars, with caption, shortcut, hint and whether this build can carry it out.
// The desktop shell builds its menus and toolbars from these tables and routes each activation
// by its id; the menu enabling (editing/menu_state.h) reads the same ids. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paginor {

enum class CommandId : int32_t {
  None = 0,
  // "&Datei"
  FileNew,
  FileOpen,
  FileSave,
  FileSaveAs,
  FilePdfExport,
  FilePageSetup,
  FilePageView,
  FilePrint,      // "&Drucken...": the print dialog
  FilePrintFast,  // the print button: printing at once, without the dialog
  FileScanPicture,
  FileChooseScanner,
  FileProperties,
  FileClose,
  FileExit,
  // "&Bearbeiten"
  EditUndo,
  EditRedo,
  EditCut,
  EditCopy,
  EditPaste,
  EditPasteSpecial,
  EditDeleteMarking,
  EditSelectAll,
  EditFind,
  EditReplace,
  EditGoTo,
  // "&Ansicht"
  ViewRuler,
  ViewStatusBar,
  ViewToolbarStandard,  // the four entries of "&Symbolleisten"
  ViewToolbarFormat,
  ViewToolbarDrawing,
  ViewToolbarFormatExtended,
  ViewPageWidth,
  ViewWholePage,
  ViewZoom100,
  ViewZoomDialog,
  // "&Einfügen"
  InsertPageBreak,
  InsertPageNumber,
  InsertDateTime,
  InsertField,
  InsertFormField,
  InsertSpecialChar,
  InsertFootnote,
  InsertPicture,
  InsertTextBox,
  InsertRectangle,
  InsertEllipse,
  InsertSlantedLine,
  InsertHorizontalLine,
  InsertVerticalLine,
  InsertPictureField,
  ObjectToFront,
  ObjectToBack,
  LinkTextBoxes,
  // "Forma&t"
  FormatCharacter,
  FormatParagraph,
  FormatBulletsDialog,
  FormatColumns,
  FormatTabs,
  FormatNewParagraphTemplate,  // the three entries of "Format&vorlagen"
  FormatNewCharacterTemplate,
  FormatManageTemplates,
  FormatObject,
  FormatPicture,
  // "E&xtras"
  SpellWholeDocument,
  SpellFromCursor,
  SpellUserDictionary,
  SpellWhileTyping,
  LanguageGerman,
  LanguageEnglish,
  AutoHyphenation,
  WordCount,
  FormDialog,
  Options,
  // "Tabe&lle"
  TableInsert,
  TableInsertRows,
  TableAppendRow,
  TableInsertColumns,
  TableAppendColumn,
  TableDeleteCells,
  TableDeleteRows,
  TableDeleteColumns,
  TableSplit,
  TableCellFormat,
  TableDistributeColumns,
  TableGridLines,
  // "&Datenbank"
  DatabaseChoose,
  DatabaseEdit,
  DatabaseUnbind,
  DatabasePrevious,
  DatabaseNext,
  DatabaseFirst,
  DatabaseLast,
  DatabaseCurrentRecord,  // information only; caption from MenuState::currentRecordCaption
  // "&Fenster"
  WindowCascade,
  WindowTileHorizontal,
  WindowTileVertical,
  WindowMinimizeAll,
  WindowArrangeIcons,
  // "&Hilfe"
  HelpContents,
  HelpInfo,
  // Toolbar only
  ShowMarks,
  ZoomBox,
  TemplateBox,
  FontBox,
  SizeBox,
  Bold,
  Italic,
  Underline,
  AlignLeft,
  AlignCenter,
  AlignRight,
  AlignJustify,
  Numbering,
  Bullets,
  TextColour,
  TextBackColour,
  LineSpacingSingle,
  LineSpacingOneHalf,
  LineSpacingDouble,
  FillColour,
  LineColour,
  LineWidth,
  // Context menu only (the spelling entries above the fixed ones)
  SpellIgnoreWord,
  SpellLearnWord,
  Count
};

inline constexpr int32_t kCommandCount = static_cast<int32_t>(CommandId::Count);

// How a command shows itself.
enum class CommandKind : uint8_t {
  Action,    // menu item or tool button
  Check,     // carries a check mark / stays pressed (MenuState::checked)
  Radio,     // one of a group with a check mark ("&Deutsch", "&Englisch")
  ComboBox,  // a box on a toolbar (zoom, template, font, size)
  Palette,   // a tool button with a drop-down colour or width palette
  Info,      // a disabled menu line that only shows a text
};

// The four toolbars, in their order on the screen.
enum class ToolbarId : int8_t {
  None = -1,
  Standard = 0,        // "Standartleiste"
  Format = 1,          // "Formatleiste"
  Drawing = 2,         // "Zeichnenleiste"
  FormatExtended = 3,  // "Format erweitert"
};
inline constexpr int kToolbarCount = 4;

struct Command {
  CommandId id = CommandId::None;
  // Menu caption with '&' before the access key; empty for toolbar-only commands.
  const char* caption = "";
  // Shortcut as text ("Ctrl+N", "F7", "Alt+F4", "Del", "Ctrl+Alt+V"); empty when none.
  const char* shortcut = "";
  // Tool tip of the toolbar button or box; empty when the command has no button.
  const char* hint = "";
  // Text on the button face where the toolbar shows letters instead of a picture ("F", "K",
  // "U"); empty otherwise.
  const char* buttonText = "";
  ToolbarId toolbar = ToolbarId::None;
  CommandKind kind = CommandKind::Action;
  // The button has a drop-down list (the undo and redo lists) next to it.
  bool dropDown = false;
  // The document window's key handler already acts on the shortcut (Del, Ctrl+A, Ctrl+Shift+F,
  // Ctrl+L, ...). The shell shows it in the menu but must not bind it as a window-wide
  // shortcut, or the key would run twice or be taken from the zoom and font boxes.
  bool shortcutInKeyHandler = false;
  // Whether this build carries the command out. A command without its operation stays in the
  // menus and toolbars, always disabled.
  bool implemented = false;
};

// Every command, ordered by id (AllCommands()[i].id == CommandId(i)); entry 0 is None.
const std::vector<Command>& AllCommands();
const Command& CommandInfo(CommandId id);
// The command with this menu caption (exact, with '&'); nullptr when none. Where two menus
// share a caption ("&Grafik..." in "&Einfügen" and "Forma&t") the first in menu order wins.
const Command* FindCommandByCaption(std::string_view caption);

// One line of a menu: an item, a separator or a sub-menu.
struct MenuEntry {
  enum class Kind : uint8_t { Item, Separator, Submenu };
  Kind kind = Kind::Item;
  CommandId id = CommandId::None;   // Item
  const char* caption = "";         // Submenu
  std::vector<MenuEntry> children;  // Submenu
};

// The menus of the menu bar, in order.
enum class MenuId : int8_t {
  File = 0,  // "&Datei"
  Edit,      // "&Bearbeiten"
  View,      // "&Ansicht"
  Insert,    // "&Einfügen"
  Format,    // "Forma&t"
  Tools,     // "E&xtras"
  Table,     // "Tabe&lle"
  Database,  // "&Datenbank"
  Window,    // "&Fenster"
  Help,      // "&Hilfe"
};
inline constexpr int kMenuCount = 10;

struct Menu {
  MenuId id;
  const char* caption;
  std::vector<MenuEntry> entries;
  // Shown only while a document window is active (hidden when the last one closes).
  bool needsDocument = false;
};

// The menu bar. The File menu's recent-file items follow its last entry (a separator and one
// item per entry, see model/recent_files.h); the window menu's list of open windows follows
// "&Fenster"'s last entry — both are added by the shell.
const std::vector<Menu>& MenuBar();

// The fixed entries of the text's context menu, top to bottom.
const std::vector<MenuEntry>& ContextMenu();
// The context menu for a right click on a cell with the misspelling mark: up to five of the
// suggestions (best first in `suggestions`; the best ends up directly above the separator, the
// fifth at the top) as plain captions, a separator, "Wort ignorieren", "Wort lernen", a
// separator, then the fixed entries. Suggestion lines are MenuEntry items with id None and the
// word (UTF-8) as caption, pointing into `suggestions`, which must outlive the result.
std::vector<MenuEntry> ContextMenuWithSuggestions(const std::vector<std::string>& suggestions);

struct Toolbar {
  ToolbarId id;
  const char* caption;  // "Standartleiste", "Formatleiste", "Zeichnenleiste", "Format erweitert"
  // Buttons and boxes in order; CommandId::None stands for a separator.
  std::vector<CommandId> items;
};
const std::vector<Toolbar>& Toolbars();

// The texts the zoom box offers.
const std::vector<const char*>& ZoomBoxEntries();
// The zoom box's next percentage from `percent` towards larger (`larger`) or smaller pages:
// the steps Ctrl with the mouse wheel walks. Nothing when `percent` is at the end already.
std::optional<double> ZoomStep(double percent, bool larger);

// The command a key chord of the document window stands for beyond the key map of the editor:
// the Linux habits Ctrl+Z (undo) and Ctrl+Y and Ctrl+Shift+Z (redo), next to Ctrl+Backspace and
// Alt+Backspace. `virtualKey` and `modifiers` as editing/keys.h has them; None for any other.
CommandId EditShortcutCommand(int virtualKey, uint8_t modifiers);

class TMDIChild;

// Runs a command that is purely an operation on the document window, without dialog or window
// management: undo and redo one step, "Markierung &löschen" and "&Alles markieren" (the Delete
// key and Ctrl+A fed to the key handler), "Manueller &Umbruch" (Ctrl+Enter), the bold, italic
// and underline buttons, the alignment, line spacing, bullets and numbering buttons, "&Deutsch",
// "&Englisch" and "&Automatische Silbentrennung"; also the dialogs of templates, "&Spalten..."
// and "&Sonderzeichen..." (editing/templates.h), which ask through the platform. Returns false,
// doing nothing, for any other command (the shell carries those out).
bool RunDocumentCommand(TMDIChild& w, CommandId id);

// Sets the document's language (0 German, 1 English), makes that language's hyphenation
// patterns current and lays the whole document out again. Marks the document modified when the
// language changed.
void SetDocumentLanguage(TMDIChild& w, int32_t language);
// Switches automatic hyphenation of the document on or off and lays it out again.
void ToggleAutoHyphenation(TMDIChild& w);

}  // namespace paginor
