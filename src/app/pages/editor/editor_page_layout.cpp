// The editor page's controls: the grid on top with the program check's
// findings under it, and below them the editing box, the segment and
// procedure box with the undo buttons and the output buttons, and run
// control with the registers.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/pages/editor/command_icons.h"
#include "app/pages/editor/editor_page.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/resources/image_names.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/small_widgets.h"
#include "core/model/command_catalogue.h"

namespace lumera {
namespace {

namespace ids = editor_page_ids;

// The small buttons beside the chooser and ". Komenda+1".
QPushButton* SmallButton(QWidget* parent, int id, const char* object_name,
                         const QString& caption) {
  QPushButton* button = Button(parent, id, object_name, caption);
  button->setFixedWidth(
      button->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);
  return button;
}

// The boxes below the grid share the page's height with it: tight rows.
void Compact(QGridLayout* layout) {
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
}

}  // namespace

void EditorPage::BuildControls() {
  Tag(grid_, ids::kCommandGrid, "commandGrid",
      QStringLiteral("Lista rozkazów"));
  grid_->setMinimumHeight(140);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(BuildEditingBox(), 3);
  auto* middle = new QVBoxLayout;
  middle->addWidget(BuildSegmentBox());
  middle->addWidget(BuildOutputsBox());
  middle->addStretch();
  bottom->addLayout(middle, 2);
  auto* right = new QVBoxLayout;
  right->addWidget(BuildRunBox());
  right->addWidget(BuildRegistersBox());
  right->addStretch();
  bottom->addLayout(right, 2);

  bottom->setSpacing(6);
  middle->setSpacing(4);
  right->setSpacing(4);
  // The findings share the grid's height, as the user drags it.
  auto* split = c_.split = new QSplitter(Qt::Vertical, this);
  split->setObjectName(QStringLiteral("gridSplit"));
  split->setChildrenCollapsible(false);
  split->addWidget(grid_);
  split->addWidget(BuildFindingsList());
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 0);

  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(4, 4, 4, 4);
  page->setSpacing(4);
  page->addWidget(split, 1);
  page->addLayout(bottom);
}

QWidget* EditorPage::BuildFindingsList() {
  c_.findings = Tag(new QListWidget(this), ids::kFindings, "findings",
                    QStringLiteral("Uwagi programu"));
  c_.findings->setToolTip(
      QString::fromUtf8("Uwagi programu: Enter lub dwuklik pokazuje komendę"));
  c_.findings->setUniformItemSizes(true);
  c_.findings->hide();  // until a check finds something
  return c_.findings;
}

QWidget* EditorPage::BuildEditingBox() {
  QGroupBox* box = Box(this, "editingBox", QStringLiteral("Edycja"));
  auto* layout = new QGridLayout(box);
  Compact(layout);

  c_.chooser = Tag(new QComboBox(box), ids::kCommandChooser, "commandChooser",
                   QStringLiteral("Komenda:"));
  const std::vector<QIcon> icons = LoadCommandIcons();
  const auto& catalogue = CommandCatalogue();
  for (int entry = 0; entry < kCatalogueSize; ++entry) {
    c_.chooser->addItem(icons[entry], ToQString(catalogue[entry].name));
  }
  c_.chooser->setIconSize(QSize(kCommandIconSize, kCommandIconSize));
  c_.chooser->setMaxVisibleItems(20);
  c_.chooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* chooser_row = new QHBoxLayout;
  chooser_row->addWidget(Label(box, "commandChooserLabel",
                               QStringLiteral("Komenda:"), c_.chooser));
  chooser_row->addWidget(c_.chooser, 1);
  std::size_t editing = 0;
  c_.editing[editing++] =
      SmallButton(box, ids::kAppendSmall, "appendSmall", QStringLiteral("+"));
  c_.editing[editing++] =
      SmallButton(box, ids::kInsertSmall, "insertSmall", QStringLiteral("<"));
  chooser_row->addWidget(c_.editing[0]);
  chooser_row->addWidget(c_.editing[1]);
  layout->addLayout(chooser_row, 0, 0, 1, 3);

  auto* params = new QHBoxLayout;
  auto param = [&](int label_id, int field_id, const char* label_name,
                   const char* field_name, const QString& name, QLabel*& label,
                   QLineEdit*& field) {
    label = SunkenText(box, label_id, label_name, name, QString());
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(
                               QStringLiteral("Segment (1-10)")) +
                           8);
    field = Tag(new QLineEdit(box), field_id, field_name, name);
    field->setMaximumWidth(
        field->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 16);
    params->addWidget(label);
    params->addWidget(field);
  };
  param(ids::kLabel1, ids::kParam1, "label1", "param1",
        QStringLiteral("Parametr 1"), c_.label1, c_.field1);
  params->addSpacing(8);
  param(ids::kLabel2, ids::kParam2, "label2", "param2",
        QStringLiteral("Parametr 2"), c_.label2, c_.field2);
  params->addStretch();
  layout->addLayout(params, 1, 0, 1, 3);

  const struct {
    int id;
    const char* name;
    const char* caption;
    int row;
    int column;
  } kButtons[] = {
      {ids::kAppend, "append", "Dopisz  +", 2, 0},
      {ids::kInsert, "insert", "Wstaw  <", 2, 1},
      {ids::kDelete, "delete", "Usuń", 2, 2},
      {ids::kMoveUp, "moveUp", "W górę", 3, 0},
      {ids::kMoveDown, "moveDown", "W dół", 3, 1},
      {ids::kClearList, "clearList", "Kasuj Listę", 3, 2},
  };
  for (const auto& b : kButtons) {
    c_.editing[editing] =
        Button(box, b.id, b.name, QString::fromUtf8(b.caption));
    layout->addWidget(c_.editing[editing++], b.row, b.column);
  }
  return box;
}

QWidget* EditorPage::BuildHistoryButtons(QWidget* parent) {
  auto* buttons = new QWidget(parent);
  // Only as big as the buttons: the row's height stays the chooser's.
  buttons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  auto tool = [&](int id, const char* name, const QString& caption,
                  const QString& keys) {
    auto* button = Tag(new QToolButton(buttons), id, name, caption);
    button->setText(caption);
    button->setToolTip(caption + QStringLiteral(" (") + keys +
                       QStringLiteral(")"));
    button->setEnabled(false);
    // As a push button: a click first ends the edit of a cell.
    button->setFocusPolicy(Qt::StrongFocus);
    row->addWidget(button);
    return button;
  };
  c_.undo = tool(ids::kUndo, "undo", QStringLiteral("Cofnij"),
                 QStringLiteral("Ctrl+Z"));
  c_.redo = tool(ids::kRedo, "redo", QString::fromUtf8("Ponów"),
                 QStringLiteral("Ctrl+Shift+Z, Ctrl+Y"));
  const QString fix = QString::fromUtf8("Popraw odwołania");
  c_.fix_references = Tag(new QCheckBox(fix, buttons), ids::kFixReferences,
                          "fixReferences", fix);
  c_.fix_references->setToolTip(QString::fromUtf8(
      "Wstawianie, usuwanie, przesuwanie, wklejanie i wycinanie wierszy "
      "poprawia skoki, wywołania i starty tasków całego programu"));
  row->addSpacing(6);
  row->addWidget(c_.fix_references);
  return buttons;
}

QWidget* EditorPage::BuildSegmentBox() {
  auto* box = new QWidget(this);
  auto* layout = new QGridLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  c_.segment = Tag(new QComboBox(box), ids::kSegmentChooser, "segmentChooser",
                   QStringLiteral("Segment Nr"));
  for (int segment = 1; segment <= 10; ++segment) {
    c_.segment->addItem(QString::number(segment));
  }
  layout->addWidget(
      Label(box, "segmentLabel", QStringLiteral("Segment Nr "), c_.segment), 0,
      0);
  layout->addWidget(c_.segment, 0, 1);
  layout->addWidget(Button(box, ids::kCheckProgram, "checkProgram",
                           QString::fromUtf8("Sprawdź program")),
                    0, 2, Qt::AlignRight);

  QPushButton* enter =
      Button(box, ids::kEnter, "enter", QStringLiteral("Wejdź"));
  c_.return_button =
      Button(box, ids::kReturn, "return", QStringLiteral("Wróć"));
  auto* procedure = new QLabel(QStringLiteral("Procedura"), box);
  Tag(procedure, kStaticControlId, "procedureLabel",
      QStringLiteral("Procedura"));
  layout->addWidget(procedure, 1, 0);
  auto* procedure_buttons = new QHBoxLayout;
  procedure_buttons->addWidget(enter);
  procedure_buttons->addWidget(c_.return_button);
  layout->addLayout(procedure_buttons, 1, 1);
  // The undo steps are the shown segment's: their buttons sit under it.
  layout->addWidget(BuildHistoryButtons(box), 2, 0, 1, 3, Qt::AlignLeft);
  layout->setColumnStretch(2, 1);
  return box;
}

QWidget* EditorPage::BuildOutputsBox() {
  auto* box = new QWidget(this);
  auto* layout = new QGridLayout(box);
  layout->setContentsMargins(0, 4, 0, 0);
  layout->setHorizontalSpacing(2);
  layout->setVerticalSpacing(0);
  // Output 8 at the left end, output 1 at the right.
  for (int output = kOutputButtonCount; output >= 1; --output) {
    const int column = kOutputButtonCount - output;
    const QString number = QString::number(output);
    auto* button = new QPushButton(box);
    button->setAutoDefault(false);
    button->setFixedSize(kLampImageSize + 6, kLampImageSize + 6);
    button->setIconSize(QSize(kLampImageSize, kLampImageSize));
    // Outputs 5..8 carry no picture and no state.
    button->setCheckable(output <= 4);
    const QByteArray name = "output" + QByteArray::number(output);
    Tag(button, ids::kOutput1 + output - 1, name.constData(), number);
    c_.outputs[output - 1] = button;
    auto* label = Label(box, "outputLabel", number, button);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    layout->addWidget(label, 0, column);
    layout->addWidget(button, 1, column);
  }
  layout->setColumnStretch(kOutputButtonCount, 1);
  return box;
}

QWidget* EditorPage::BuildRunBox() {
  QGroupBox* box = Box(this, "runBox", QStringLiteral("Uruchamianie"));
  auto* layout = new QGridLayout(box);
  Compact(layout);
  layout->addWidget(
      Button(box, ids::kRunFrom, "runFrom", QStringLiteral("Wykonaj Od")), 0,
      0);
  layout->addWidget(Button(box, ids::kSetStopPoint, "setStopPoint",
                           QStringLiteral(". Zatrzymaj Na")),
                    0, 1);
  auto* step = new QHBoxLayout;
  step->addWidget(Button(box, ids::kStepCommand, "stepCommand",
                         QStringLiteral(". Komenda+1")),
                  1);
  step->addWidget(SmallButton(box, ids::kResumeProgram, "resumeProgram",
                              QStringLiteral("-")));
  layout->addLayout(step, 1, 0);
  layout->addWidget(
      Button(box, ids::kStopProgram, "stopProgram", QStringLiteral("STOP")), 1,
      1);
  layout->addWidget(
      Button(box, ids::kRestart, "restart", QStringLiteral("RESTART")), 2, 0);
  layout->addWidget(Button(box, ids::kWriteCommand, "writeCommand",
                           QStringLiteral("Wpisz Komendę")),
                    2, 1);
  return box;
}

QWidget* EditorPage::BuildRegistersBox() {
  QGroupBox* box = Box(this, "registersBox", QStringLiteral("Rejestry"));
  auto* layout = new QGridLayout(box);
  Compact(layout);
  for (int k = 0; k < kRegisterCount; ++k) {
    const QByteArray name = "register" + QByteArray::number(k + 1);
    QLabel* field =
        SunkenText(box, ids::kRegister1 + k, name.constData(),
                   QStringLiteral("Rejestr %1").arg(k + 1), QString());
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setMinimumWidth(
        field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 8);
    c_.registers[k] = field;
    layout->addWidget(field, k / 4, k % 4);
  }
  return box;
}

}  // namespace lumera
