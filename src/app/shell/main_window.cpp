#include "app/shell/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <algorithm>
#include <cstdint>

#include "app/pages/default_pages.h"
#include "app/print/print_listing.h"
#include "app/resources/app_resources.h"
#include "app/resources/image_names.h"
#include "app/session/port_failure_hint.h"
#include "app/session/prompts.h"
#include "app/shell/main_window_ids.h"
#include "app/shell/number_fields.h"
#include "app/widgets/shown_text_accessible.h"
#include "core/link/serial_port.h"
#include "core/model/typed_number.h"
#include "core/session/program_loading.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;

// The tabs' texts: 17 characters, the word padded by spaces.
constexpr const char* kTabTitles[kPageCount] = {
    "      Edytor     ", "   Konfiguracja  ", "     Wyjścia     ",
    "      Obiekt     "};

}  // namespace

MainWindow::MainWindow(Workspace& workspace, TransferJob& job, Prompts& prompts,
                       std::optional<std::filesystem::path> settings_path,
                       const PortList& ports, bool command_line_file,
                       PageFactory pages, QWidget* parent)
    : QWidget(parent),
      workspace_(workspace),
      prompts_(prompts),
      settings_path_(std::move(settings_path)),
      ports_(ports),
      launcher_(workspace, job, prompts),
      page_context_{workspace,    launcher_,      prompts,
                    page_events_, settings_path_, ports_},
      print_listing_([this](bool all_segments) {
        PrintListing(all_segments ? PrintScope::kAllSegments
                                  : PrintScope::kCurrentSegment);
      }) {
  setObjectName(QStringLiteral("mainWindow"));
  setProperty("controlId", ids::kDialog);
  // A dialog's frame: caption, system menu, minimize box; no maximize box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Edytor programu sterownika [AVR 1.0]"));
  setAccessibleName(windowTitle());
  setAccessibleDescription(QString::number(ids::kDialog));
  RegisterAppResources();
  setWindowIcon(QIcon(QString::fromLatin1(kProgramIconImage)));
  controls_ = BuildMainWindowControls(this);

  // The port list, once per run.
  const PortChoices choices =
      FillPortList(ports_, workspace_.settings.port_number);
  for (const std::string& entry : choices.entries) {
    controls_.port_list->addItem(QString::fromStdString(entry));
  }
  controls_.port_list->setCurrentIndex(choices.selected.value_or(-1));

  controls_.file_name->setText(
      QString::fromStdString(workspace_.settings.program_file_name));
  ConnectControls();
  ConnectWorkerEvents();
  RefreshMainStatus();
  // Before the pages: a short program file named on the command line says
  // so in its place.
  SetStatusLine(BuildStamp());
  CreateTabPages(command_line_file, pages ? pages : MakeDefaultPage);
  launcher_.PushLineValues();
  resize(1020, 640);
}

MainWindow::~MainWindow() {
  // The pages hear the worker: it must be gone before they are.
  TransferJob& job = launcher_.job();
  if (job.running()) {
    job.RequestAbort();
    job.Join();
  }
}

QString MainWindow::BuildStamp() {
  return QStringLiteral(__DATE__ " / " __TIME__);
}

QWidget* MainWindow::Control(int control_id) const {
  auto inside_a_page = [this](const QWidget* widget) {
    for (const Page* page : pages_) {
      if (page != nullptr && page != widget && page->isAncestorOf(widget)) {
        return true;
      }
    }
    return false;
  };
  const auto widgets = findChildren<QWidget*>();
  for (QWidget* widget : widgets) {
    if (widget->property("controlId").toInt() == control_id &&
        !inside_a_page(widget)) {
      return widget;
    }
  }
  for (const Page* page : pages_) {
    if (page == nullptr) continue;
    if (QWidget* widget = page->Control(control_id)) return widget;
  }
  return nullptr;
}

Page* MainWindow::PageAt(int tab_index) const {
  if (tab_index < 0 || tab_index >= kPageCount) return nullptr;
  return pages_[tab_index];
}

void MainWindow::CreateTabPages(bool command_line_file,
                                const PageFactory& pages) {
  auto* layout = new QGridLayout(controls_.page_area);
  layout->setContentsMargins(0, 0, 0, 0);
  // A floor, not a fixed size: the page shown may need more, and the window
  // must not squeeze it below that at any scale.
  layout->setColumnMinimumWidth(0, 640);
  layout->setRowMinimumHeight(0, 300);
  for (int index = 0; index < kPageCount; ++index) {
    controls_.tabs->insertTab(index, QString::fromUtf8(kTabTitles[index]));
    Page* page = pages(index, page_context_, controls_.page_area);
    pages_[index] = page;
    if (page == nullptr) continue;
    page->setVisible(index == 0);
    layout->addWidget(page, 0, 0);
    if (index == 0 && command_line_file) LoadCommandLineFile();
  }
  controls_.tabs->setCurrentIndex(0);
  shown_tab_ = 0;
  connect(controls_.tabs, &QTabBar::currentChanged, this,
          &MainWindow::OnTabChanged);
}

// The editor page's part of its creation: the file named on the command
// line becomes the program, shown from segment 1.
void MainWindow::LoadCommandLineFile() {
  const std::filesystem::path path(workspace_.settings.program_file_name);
  std::uintmax_t size = 0;
  if (!LoadProgramIntoWorkspace(workspace_, path, &size)) return;
  workspace_.settings.current_segment = 1;
  ShowLoadedSize(size);
  pages_[0]->ProgramLoaded();
}

void MainWindow::SelectTab(int tab_index) {
  controls_.tabs->setCurrentIndex(tab_index);
}

void MainWindow::PrintListing(PrintScope scope) {
  // Cancelling the dialog prints and shows nothing.
  QPrinter printer(QPrinter::HighResolution);
  if (!prompts_.ChoosePrinter(printer)) return;
  const std::string_view warning = PrintListingOn(printer, workspace_, scope);
  if (warning.empty()) return;
  prompts_.Warn(QStringLiteral("INFO"),
                QString::fromUtf8(warning.data(),
                                  static_cast<qsizetype>(warning.size())));
}

void MainWindow::SetPrintListing(std::function<void(bool)> print) {
  print_listing_ = std::move(print);
}

// Both the tab left and the tab entered run their refresh; a page is hidden
// after its refresh when left and shown after it when entered.
void MainWindow::OnTabChanged(int index) {
  launcher_.ShowPendingErrorReport();
  if (Page* left = PageAt(shown_tab_)) {
    left->RefreshOnTabChange();
    left->hide();
  }
  shown_tab_ = index;
  if (Page* entered = PageAt(index)) {
    entered->RefreshOnTabChange();
    entered->show();
  }
}

void MainWindow::ConnectControls() {
  MainWindowControls& c = controls_;
  connect(c.load_file, &QPushButton::clicked, this, &MainWindow::OnLoadFile);
  connect(c.save_file, &QPushButton::clicked, this, &MainWindow::OnSaveFile);
  // The listing is printed from the store: the editor's rows first.
  connect(c.print_segment, &QPushButton::clicked, this, [this] {
    launcher_.ShowPendingErrorReport();
    launcher_.CommitGrid();
    if (print_listing_) print_listing_(false);
  });
  connect(c.print_all, &QPushButton::clicked, this, [this] {
    launcher_.ShowPendingErrorReport();
    launcher_.CommitGrid();
    if (print_listing_) print_listing_(true);
  });
  connect(c.entries_only, &QCheckBox::clicked, this, [this](bool checked) {
    launcher_.ShowPendingErrorReport();
    workspace_.settings.entries_only = checked ? 1 : 0;
  });
  connect(c.port_list, &QComboBox::activated, this, &MainWindow::OnPortChosen);
  connect(c.radio_option, &QCheckBox::clicked, this,
          &MainWindow::OnRadioOption);
  connect(c.radio_point, &QRadioButton::clicked, this, [this] {
    launcher_.ShowPendingErrorReport();
    workspace_.link.radio_mode = RadioMode::kPoint;
    launcher_.PushLineValues();
  });
  connect(c.radio_all, &QRadioButton::clicked, this, [this] {
    launcher_.ShowPendingErrorReport();
    workspace_.link.radio_mode = RadioMode::kAll;
    launcher_.PushLineValues();
  });
  connect(c.abort, &QPushButton::clicked, this, [this] {
    launcher_.ShowPendingErrorReport();
    launcher_.Abort();
  });

  launcher_.Connect(c.download_all, StartDownloadProgram);
  launcher_.Connect(c.download_segment, StartDownloadSegment);
  launcher_.Connect(c.upload_all, StartUploadProgram);
  launcher_.Connect(c.upload_segment, StartUploadSegment);
  launcher_.Connect(c.verify_all, StartVerifyProgram);
  launcher_.Connect(c.verify_segment, StartVerifySegment);
  launcher_.Connect(c.restart, WithoutEditor(StartRestartController));
  launcher_.Connect(c.error_report, WithoutEditor(StartReadErrorReport));
  launcher_.Connect(c.read_config, WithoutEditor(StartReadConfiguration));
  launcher_.Connect(c.write_config, WithoutEditor(StartWriteConfiguration));
  launcher_.Connect(c.default_config, WithoutEditor([](LinkContext& context) {
                      return StartLoadDefaults(context, true);
                    }));
  launcher_.Connect(c.default_config_program,
                    WithoutEditor([](LinkContext& context) {
                      return StartLoadDefaults(context, false);
                    }));
  launcher_.Connect(c.radio_reset, WithoutEditor(StartRadioReset));

  // Number fields: read on every change of their text and on focus changes.
  for (QLineEdit* field : {c.controller_number, c.radio_high, c.radio_second,
                           c.radio_low, c.time_byte}) {
    connect(field, &QLineEdit::textChanged, this,
            [this, field] { ReadNumberField(field); });
    field->installEventFilter(this);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    ReadNumberField(watched);
    // The time field keeps what was typed until the next refresh.
    if (event->type() == QEvent::FocusOut && watched != controls_.time_byte) {
      RefreshMainStatus();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::ReadNumberField(QObject* field) {
  auto* edit = qobject_cast<QLineEdit*>(field);
  if (!edit) return;
  const QByteArray text = edit->text().toLatin1();
  const std::uint32_t number =
      ReadTypedNumber(std::string_view(text.constData(), text.size()));
  ShellSettings& settings = workspace_.settings;
  if (edit == controls_.controller_number) {
    settings.controller_address = ControllerAddressFromField(number);
  } else if (edit == controls_.radio_high) {
    settings.target_radio_address.high = NibbleFromField(number);
  } else if (edit == controls_.radio_second) {
    settings.target_radio_address.second = NibbleFromField(number);
  } else if (edit == controls_.radio_low) {
    // The bound is for typed values; a low byte read from the settings file
    // (up to 255) stays as it is while a refresh shows it.
    settings.target_radio_address.low =
        edit->isModified()
            ? RadioLowByteFromField(number)
            : static_cast<std::uint8_t>(std::min<std::uint32_t>(number, 255));
  } else if (edit == controls_.time_byte) {
    workspace_.link.time_byte = TimeByteFromField(number);
  }
  launcher_.PushLineValues();
}

void MainWindow::RefreshMainStatus() {
  const ShellSettings& settings = workspace_.settings;
  MainWindowControls& c = controls_;
  c.radio_option->setChecked(settings.RadioOn());
  c.entries_only->setChecked(settings.EntriesOnly());

  c.radio_high->setText(QString::number(settings.target_radio_address.high));
  c.radio_second->setText(
      QString::number(settings.target_radio_address.second));
  c.radio_low->setText(QString::number(settings.target_radio_address.low));
  c.time_byte->setText(QString::number(workspace_.link.time_byte));

  const bool point = workspace_.link.radio_mode == RadioMode::kPoint;
  c.radio_point->setChecked(point);
  c.radio_all->setChecked(!point);

  const ControllerStatus& status = workspace_.status;
  SetShownText(c.version, status.version_major != 0
                              ? QStringLiteral("Wersja: %1.%2")
                                    .arg(status.version_major)
                                    .arg(status.version_minor)
                              : QStringLiteral("nie odczytana!"));

  // The number shows after the text field has been read back, so take it
  // once before writing either control.
  const int address = settings.controller_address;
  if (address != 0) {
    const int low8 = address & 0xFF;
    c.controller_number->setText(QString::number(low8));
    SetShownText(c.controller_hex, QString::number(low8, 16)
                                           .rightJustified(2, QLatin1Char('0'))
                                           .toUpper() +
                                       QLatin1Char('h'));
  } else {
    c.controller_number->setText(QStringLiteral("    "));
    SetShownText(c.controller_hex, QStringLiteral("    "));
  }

  SetShownText(c.file_name, QString::fromStdString(settings.program_file_name));
  SetSegmentCaptions();
}

void MainWindow::SetSegmentCaptions() {
  const int segment = workspace_.settings.current_segment;
  // The accessible name follows the caption.
  auto caption = [segment](QPushButton* button, const char* word) {
    const QString text = QStringLiteral("%1:%2").arg(QString::fromUtf8(word),
                                                     QString::number(segment));
    button->setText(text);
    button->setAccessibleName(text);
  };
  caption(controls_.download_segment, "Pobierz");
  caption(controls_.upload_segment, "Wyślij");
  caption(controls_.print_segment, "Drukuj");
  // "?" alone would not tell the two verify buttons apart.
  controls_.verify_segment->setAccessibleName(
      QStringLiteral("? (Wyślij:%1)").arg(segment));
}

void MainWindow::SetStatusLine(const QString& text) {
  SetShownText(controls_.status_line, text);
  // A new text no longer explains an earlier port failure.
  controls_.status_line->setToolTip(QString());
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // Enter and Escape never close the main window.
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  for (Page* page : pages_) {
    if (page) page->EndJobs();
  }
  TransferJob& job = launcher_.job();
  if (job.running()) {
    // Ends at once: no question, no settings. The worker is stopped and
    // gone before its port is released (it closes the port as it ends).
    hide();
    job.RequestAbort();
    job.Join();
    closing_ = true;
    event->accept();
    return;
  }
  if (workspace_.store.LoadedFromFile()) {
    launcher_.CommitGrid();
    if (workspace_.store.ProgramImageChanged() &&
        prompts_.AskYesNo(QStringLiteral("    Wprowadzono zmiany:"),
                          QStringLiteral("Zapisac do pliku ?"))) {
      ChooseProgramFile(true);
    }
  }
  for (Page* page : pages_) {
    if (page && !page->WindowClosing()) {
      event->ignore();
      return;
    }
  }
  if (settings_path_) SaveSettings(*settings_path_, workspace_.settings);
  workspace_.store.ClearAllComments();
  closing_ = true;
  event->accept();
}

}  // namespace lumera
