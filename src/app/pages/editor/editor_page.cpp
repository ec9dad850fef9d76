#include "app/pages/editor/editor_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <algorithm>

#include "app/pages/editor/command_grid_model.h"
#include "app/pages/editor/editor_page_ids.h"
#include "app/pages/page_events.h"
#include "app/resources/image_names.h"
#include "app/session/job_launcher.h"
#include "app/session/prompts.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "core/editor/grid_rows.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"

namespace lumera {
namespace {

namespace ids = editor_page_ids;

}  // namespace

EditorPage::EditorPage(PageContext& context, QWidget* parent)
    : Page(ids::kDialog, "editorPage", QStringLiteral("Edytor"), parent),
      context_(context),
      editor_(context.workspace.store,
              context.workspace.settings.current_segment,
              &context.workspace.received),
      grid_(new CommandGridView(editor_, this)) {
  BuildControls();
  editor_.SetFixReferences(context.workspace.settings.fix_references);
  c_.fix_references->setChecked(editor_.fix_references());
  editor_.SetUpPage();
  // The store may already hold a program (the one of the settings file):
  // empty rows over it would be written back as an empty segment.
  editor_.LoadSegmentIntoGrid(editor_.current_segment(), 1);
  ShowView();
  ConnectControls();
  ConnectKeys();

  JobLauncher& launcher = context_.launcher;
  launcher.SetEditor(&editor_);
  WorkerEvents& events = launcher.events();
  connect(&events, &WorkerEvents::loadSegmentIntoGrid, this,
          &EditorPage::LoadSegmentIntoGrid);
  connect(&events, &WorkerEvents::showControllerPosition, this,
          &EditorPage::ShowControllerPosition);
  connect(&events, &WorkerEvents::programReplaced, this,
          &EditorPage::ForgetReplacedHistory);
  // A job may have emptied the return stack, or hold the shown segment
  // until it ends.
  connect(&events, &WorkerEvents::jobLaunched, this, [this] { ShowView(); });
  connect(&events, &WorkerEvents::jobFinished, this, [this] { ShowView(); });
  // However the current row moved, the chooser's field and the lamps show
  // what the editor took from it.
  connect(grid_, &CommandGridView::currentCellChosen, this,
          [this] { ShowView(); });
}

void EditorPage::RefreshOnTabChange() {
  emit context_.events.editorTabChanged();
}

void EditorPage::ProgramLoaded() {
  // The window has set the segment to show with the program.
  editor_.LoadSegmentIntoGrid(context_.workspace.settings.current_segment, 1);
  // The steps describe the program that was there before.
  editor_.ClearAllHistories();
  ClearReturnStack();
}

void EditorPage::ProgramSaved() { ClearReturnStack(); }

void EditorPage::LoadSegmentIntoGrid() {
  editor_.ReloadShownSegment();
  ShowView();
}

void EditorPage::ClearReturnStack() {
  editor_.ClearReturnStack();
  ShowView();
}

void EditorPage::ShowControllerPosition(int segment_index, int command_index) {
  editor_.ShowControllerPosition(segment_index, command_index,
                                 context_.workspace.link.registers);
  ShowView();
}

void EditorPage::SegmentShown(int segment) {
  context_.workspace.settings.current_segment = segment;
  emit context_.events.segmentShown();
}

template <typename Operation>
void EditorPage::Do(Operation operation, bool focus_grid) {
  operation();
  ShowView();
  ShowFixedReferences();
  if (focus_grid) grid_->setFocus();
}

void EditorPage::ShowFixedReferences() {
  const int fixed = editor_.TakeFixedReferenceCount();
  if (fixed > 0) {
    emit context_.events.statusText(ToQString(ReferenceFixStatusText(fixed)));
  }
}

void EditorPage::FixReferencesToggled(bool on) {
  editor_.SetFixReferences(on);
  context_.workspace.settings.fix_references = on;
  if (context_.settings_path) {
    SaveEditorSettings(*context_.settings_path, context_.workspace.settings);
  }
}

void EditorPage::CheckProgram() {
  editor_.StartProgramCheck();
  ShowFindings();
  const auto count = editor_.findings().size();
  emit context_.events.statusText(
      count == 0 ? ToQString(kNoFindingsText)
                 : QStringLiteral("Uwagi programu: %1").arg(count));
}

void EditorPage::ShowFindings() {
  QListWidget* list = c_.findings;
  list->clear();
  for (const ProgramFinding& finding : editor_.findings()) {
    list->addItem(ToQString(FindingLine(finding)));
  }
  grid_->grid_model().FindingsChanged();
  const int count = list->count();
  if (count == 0) {
    list->hide();
    return;
  }
  // Whole lines: up to three at first, two at least as the user drags; the
  // grid keeps the rest.
  const int line = list->sizeHintForRow(0);
  const int frame = 2 * list->frameWidth();
  list->setMinimumHeight(std::min(count, 2) * line + frame);
  list->setMaximumHeight(std::max(std::min(count, 8), 2) * line + frame);
  if (!list->isHidden()) return;
  const int wanted = std::min(count, 3) * line + frame;
  const int total = c_.split->height();
  list->show();
  c_.split->setSizes({total - wanted - c_.split->handleWidth(), wanted});
}

void EditorPage::ShowFinding(int index) {
  const std::vector<ProgramFinding>& findings = editor_.findings();
  if (index < 0 || index >= static_cast<int>(findings.size())) return;
  const ProgramFinding finding = findings[static_cast<std::size_t>(index)];
  Do(
      [this, finding] {
        if (finding.segment_index + 1 != editor_.current_segment()) {
          editor_.ChooseSegment(finding.segment_index + 1);
        }
        editor_.SelectCell(finding.command_index, kCommandColumn);
      },
      true);
}

void EditorPage::ConnectControls() {
  auto on_click = [this](int id, auto operation, bool focus_grid) {
    auto* button = qobject_cast<QPushButton*>(Control(id));
    connect(button, &QPushButton::clicked, this,
            [this, operation, focus_grid] { Do(operation, focus_grid); });
  };
  on_click(
      ids::kAppend, [this] { editor_.AddCommand(AddMode::kAppend); }, true);
  on_click(
      ids::kAppendSmall, [this] { editor_.AddCommand(AddMode::kAppend); },
      true);
  on_click(
      ids::kInsert, [this] { editor_.AddCommand(AddMode::kInsert); }, true);
  on_click(
      ids::kInsertSmall, [this] { editor_.AddCommand(AddMode::kInsert); },
      true);
  on_click(
      ids::kDelete, [this] { editor_.DeleteCommand(); }, true);
  on_click(
      ids::kMoveDown, [this] { editor_.MoveCommandDown(); }, true);
  on_click(
      ids::kMoveUp, [this] { editor_.MoveCommandUp(); }, true);
  on_click(
      ids::kClearList,
      [this] {
        editor_.ClearList(
            [this](std::string_view question, std::string_view title) {
              return context_.prompts.AskYesNo(ToQString(title),
                                               ToQString(question));
            });
      },
      false);
  on_click(
      ids::kEnter, [this] { editor_.Enter(); }, true);
  on_click(
      ids::kReturn, [this] { editor_.Return(); }, true);
  connect(qobject_cast<QPushButton*>(Control(ids::kCheckProgram)),
          &QPushButton::clicked, this, &EditorPage::CheckProgram);
  connect(c_.fix_references, &QCheckBox::toggled, this,
          &EditorPage::FixReferencesToggled);
  // Later: showing the command may take the findings afresh, and the item
  // that was activated with them.
  connect(c_.findings, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) {
            const int index = c_.findings->row(item);
            QMetaObject::invokeMethod(
                this, [this, index] { ShowFinding(index); },
                Qt::QueuedConnection);
          });
  for (int output = 1; output <= kOutputButtonCount; ++output) {
    on_click(
        ids::kOutput1 + output - 1,
        [this, output] { editor_.PressOutputButton(output); }, false);
  }

  connect(c_.chooser, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing_) Do([this, index] { editor_.ChooseEntry(index); }, false);
  });
  connect(c_.segment, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!showing_)
      Do([this, index] { editor_.ChooseSegment(index + 1); }, true);
  });
  auto on_field = [this](QLineEdit* field, int number) {
    connect(field, &QLineEdit::textChanged, this,
            [this, number](const QString& text) {
              if (showing_) return;
              editor_.SetEntryFieldText(number, text.toStdString());
              ShowView();
            });
  };
  on_field(c_.field1, 1);
  on_field(c_.field2, 2);

  // Run control: each button starts its job through the launcher.
  JobLauncher& launcher = context_.launcher;
  auto job = [&](int id, JobStart start) {
    launcher.Connect(qobject_cast<QPushButton*>(Control(id)), std::move(start));
  };
  job(ids::kRunFrom, StartRunFrom);
  job(ids::kSetStopPoint, StartSetStopPoint);
  job(ids::kStepCommand, StartStepCommand);
  job(ids::kResumeProgram, WithoutEditor(StartResumeProgram));
  job(ids::kStopProgram, WithoutEditor(StartStopProgram));
  job(ids::kRestart, WithoutEditor(StartRestartController));
  job(ids::kWriteCommand, StartWriteSelectedCommand);
}

void EditorPage::ShowView() {
  // The main window's segment captions and the settings follow the segment
  // the editor shows.
  if (context_.workspace.settings.current_segment !=
      editor_.current_segment()) {
    SegmentShown(editor_.current_segment());
  }
  const EditorView view = editor_.View();
  showing_ = true;
  c_.chooser->setCurrentIndex(view.chosen_index);
  const QString label1 = ToQString(view.label1);
  const QString label2 = ToQString(view.label2);
  SetShownText(c_.label1, label1);
  SetShownText(c_.label2, label2);
  auto show_field = [](QLineEdit* field, const std::string& text, bool enabled,
                       const QString& label, const QString& fallback) {
    const QString shown = ToQString(text);
    // Rewriting the text the user is typing would move the cursor.
    if (field->text() != shown) field->setText(shown);
    field->setEnabled(enabled);
    const QString name = label.trimmed();
    field->setAccessibleName(name.isEmpty() ? fallback : name);
  };
  show_field(c_.field1, view.field1_text, view.field1_enabled, label1,
             QStringLiteral("Parametr 1"));
  show_field(c_.field2, view.field2_text, view.field2_enabled, label2,
             QStringLiteral("Parametr 2"));
  c_.segment->setCurrentIndex(view.segment_choice);
  const QString caption = ToQString(view.return_caption);
  c_.return_button->setText(caption);
  c_.return_button->setAccessibleName(caption);
  c_.return_button->setEnabled(view.return_enabled);
  for (int k = 0; k < kOutputButtonCount; ++k) {
    QPushButton* button = c_.outputs[k];
    const OutputPicture picture = view.outputs[k];
    if (picture == OutputPicture::kNone) continue;
    const bool lit = picture == OutputPicture::kLit;
    button->setIcon(
        QIcon(QString::fromLatin1(lit ? kLampOnImage : kLampOffImage)));
    button->setChecked(lit);
  }
  for (int k = 0; k < kRegisterCount; ++k) {
    SetShownText(c_.registers[k], ToQString(view.registers[k]));
  }
  for (QPushButton* button : c_.editing) button->setEnabled(!view.segment_held);
  ShowHistoryState();
  if (editor_.RefreshProgramCheck()) ShowFindings();
  showing_ = false;
  // Said again after each step the user takes, until the job ends; the
  // job's own last text comes after it.
  if (view.segment_held && context_.launcher.job().running()) {
    emit context_.events.statusText(ToQString(kSegmentHeldNote));
  }
}

}  // namespace lumera
