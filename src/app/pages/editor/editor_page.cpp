#include "app/pages/editor/editor_page.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/pages/editor/editor_page_ids.h"
#include "app/pages/page_events.h"
#include "app/resources/image_names.h"
#include "app/session/job_launcher.h"
#include "app/session/prompts.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "core/session/workspace.h"

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
  if (focus_grid) grid_->setFocus();
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
  showing_ = false;
  // Said again after each step the user takes, until the job ends; the
  // job's own last text comes after it.
  if (view.segment_held && context_.launcher.job().running()) {
    emit context_.events.statusText(ToQString(kSegmentHeldNote));
  }
}

}  // namespace lumera
