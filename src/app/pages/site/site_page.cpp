#include "app/pages/site/site_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "app/pages/page_events.h"
#include "app/pages/site/site_journal_panel.h"
#include "app/pages/site/site_lines_model.h"
#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_run_progress.h"
#include "app/pages/site/site_table_model.h"
#include "app/session/job_launcher.h"
#include "app/session/prompts.h"
#include "app/session/site_runner.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "app/widgets/small_widgets.h"
#include "core/model/atomic_file.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"
#include "core/site/file/site_document.h"
#include "core/site/file/site_installation.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;

constexpr int kLinesView = 1;  // the tab of the lines, after "Sterowniki"

const QStringList& SiteFilters() {
  static const QStringList filters = {QStringLiteral("Pliki obiektu (*.site)"),
                                      QStringLiteral("Wszystkie pliki (*)")};
  return filters;
}

QString PathText(const std::filesystem::path& path) {
  return ToQString(path.string());
}

template <typename View>
View* TableLike(QWidget* parent, int id, const char* object_name,
                const QString& name) {
  auto* view = Tag(new View(parent), id, object_name, name);
  view->setAlternatingRowColors(true);
  return view;
}

// Each column wide enough for `letters` characters and for its heading.
void FitColumns(const QWidget* view, QHeaderView* header,
                std::initializer_list<int> letters) {
  int column = 0;
  for (const int count : letters) {
    const QString heading =
        header->model()->headerData(column, Qt::Horizontal).toString();
    header->resizeSection(
        column,
        std::max(count * view->fontMetrics().averageCharWidth(),
                 header->fontMetrics().horizontalAdvance(heading) + 24));
    ++column;
  }
}

}  // namespace

SitePage::SitePage(PageContext& context, QWidget* parent)
    : Page(ids::kDialog, "sitePage", QStringLiteral("Obiekt"), parent),
      context_(context),
      lines_model_(new SiteLinesModel(this)),
      table_model_(new SiteTableModel(this)),
      runner_(new SiteRunner(context.launcher.port_owners(), this)) {
  auto* open = Button(this, ids::kOpen, "openSite", QStringLiteral("Otwórz…"));
  auto* make = Button(this, ids::kNew, "newSite", QStringLiteral("Nowy…"));
  auto* save = Button(this, ids::kSave, "saveSite", QStringLiteral("Zapisz"));
  file_label_ = SunkenText(this, ids::kSiteFile, "siteFile",
                           QStringLiteral("Plik obiektu"), QString(),
                           new PathLabel(this));
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(open);
  file_row->addWidget(make);
  file_row->addWidget(save);
  file_row->addWidget(Label(this, "siteFileLabel",
                            QStringLiteral("Plik obiektu:"), file_label_));
  file_row->addWidget(file_label_, 1);

  faults_ = TableLike<QListWidget>(this, ids::kFaults, "siteFaults",
                                   QStringLiteral("Błędy pliku obiektu"));
  faults_heading_ = Label(this, "siteFaultsHeading", QString(), faults_);
  faults_heading_->setWordWrap(true);
  faults_heading_->setStyleSheet(QStringLiteral("color: #b02020;"));
  faults_heading_->hide();
  faults_->hide();

  // The page is low: each view gets all of it.
  views_ = Tag(new QTabWidget(this), ids::kViews, "siteViews",
               QStringLiteral("Widok obiektu"));
  views_->addTab(BuildInstallationView(), QStringLiteral("Sterowniki"));
  views_->addTab(BuildLinesView(), QStringLiteral("Linie"));
  journal_ = new SiteJournalPanel(this);
  views_->addTab(journal_, QStringLiteral("Dziennik"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addLayout(file_row);
  layout->addWidget(faults_heading_);
  layout->addWidget(faults_);
  layout->addWidget(views_, 1);

  connect(open, &QPushButton::clicked, this, &SitePage::OnOpen);
  connect(make, &QPushButton::clicked, this, &SitePage::OnNew);
  connect(save, &QPushButton::clicked, this, &SitePage::SaveSite);
  connect(lines_model_, &SiteLinesModel::cellRefused, this,
          [this](const QString& reason) {
            context_.prompts.Warn(
                QStringLiteral("INFO"),
                QStringLiteral("Nie zmieniono: %1.").arg(reason));
          });
  connect(lines_model_, &QAbstractItemModel::modelReset, this,
          &SitePage::UpdateButtons);
  connect(lines_model_, &QAbstractItemModel::rowsInserted, this,
          &SitePage::UpdateButtons);
  connect(lines_model_, &QAbstractItemModel::rowsRemoved, this,
          &SitePage::UpdateButtons);

  // The lines' events, on this thread.
  connect(runner_, &SiteRunner::controllerBegun, this,
          [this](std::size_t line, int controller,
                 const SiteLineProgress& progress) {
            const SiteOperation* operation = runner_->operation();
            table_model_->Begun(operation->site().lines.at(line).name,
                                controller);
            progress_->Show(line, progress);
          });
  connect(runner_, &SiteRunner::controllerEnded, this,
          [this](std::size_t line, const SiteRow& row,
                 const SiteLineProgress& progress) {
            table_model_->Ended(row);
            progress_->Show(line, progress);
          });
  connect(runner_, &SiteRunner::runEnded, this, &SitePage::OnRunEnded);

  // The site of the last run, or the one named with --site.
  if (!context_.workspace.settings.site_file.empty()) {
    OpenSite(context_.workspace.settings.site_file);
  }
  UpdateButtons();
}

SitePage::~SitePage() {
  // A run still under way ends with the page, its journal written; the
  // page no longer shows it.
  disconnect(runner_, nullptr, this, nullptr);
  runner_->EndNow();
}

QWidget* SitePage::BuildLinesView() {
  auto* box = new QWidget(this);
  lines_view_ = TableLike<QTableView>(box, ids::kLines, "siteLines",
                                      QStringLiteral("Linie obiektu"));
  lines_view_->setModel(lines_model_);
  lines_view_->setItemDelegateForColumn(
      static_cast<int>(SiteCell::kPort),
      new SitePortDelegate(context_.ports, lines_view_));
  lines_view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  lines_view_->setSelectionMode(QAbstractItemView::SingleSelection);
  lines_view_->horizontalHeader()->setStretchLastSection(true);
  lines_view_->verticalHeader()->setDefaultSectionSize(
      lines_view_->fontMetrics().height() + 8);
  FitColumns(lines_view_, lines_view_->horizontalHeader(), {14, 24, 16, 34});

  auto* add =
      Button(box, ids::kAddLine, "addLine", QStringLiteral("Dodaj linię"));
  auto* remove =
      Button(box, ids::kRemoveLine, "removeLine", QStringLiteral("Usuń linię"));
  auto* program =
      Button(box, ids::kProgram, "lineProgram", QStringLiteral("Program…"));
  program->setToolTip(
      QStringLiteral("Program sterowników linii, które nie mają własnego"));
  connect(add, &QPushButton::clicked, this, &SitePage::OnAddLine);
  connect(remove, &QPushButton::clicked, this, &SitePage::OnRemoveLine);
  connect(program, &QPushButton::clicked, this, &SitePage::OnProgram);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addWidget(program);
  buttons->addStretch(1);

  auto* layout = new QHBoxLayout(box);
  layout->addWidget(lines_view_, 1);
  layout->addLayout(buttons);
  return box;
}

QWidget* SitePage::BuildInstallationView() {
  auto* box = new QWidget(this);
  // The jobs come with the journal that makes them safe to resume.
  struct JobButton {
    int id;
    const char* object_name;
    const char* caption;
  };
  constexpr JobButton kJobs[] = {
      {ids::kStatus, "siteStatus", "Stan"},
      {ids::kUpload, "siteUpload", "Wyślij"},
      {ids::kVerify, "siteVerify", "Sprawdź"},
      {ids::kBackup, "siteBackup", "Kopia…"},
      {ids::kClockSet, "siteClockSet", "Ustaw zegary"},
      {ids::kResume, "siteResume", "Wznów"},
      {ids::kAbort, "siteAbort", "Przerwij"},
      {ids::kReport, "siteReport", "Raport…"},
  };
  auto* buttons = new QHBoxLayout;
  for (const JobButton& job : kJobs) {
    QPushButton* button =
        Button(box, job.id, job.object_name, QString::fromUtf8(job.caption));
    button->setEnabled(false);
    buttons->addWidget(button);
    if (job.id == ids::kResume) buttons->addSpacing(12);
  }
  buttons->addStretch(1);
  const struct {
    int id;
    SiteCommand command;
    const char* tip;
  } kRuns[] = {
      {ids::kStatus, SiteCommand::kStatus,
       "Wersja, zegar i raport błędów każdego sterownika"},
      {ids::kUpload, SiteCommand::kUpload,
       "Program każdego sterownika, odczytany z powrotem i porównany"},
      {ids::kVerify, SiteCommand::kVerify,
       "Porównanie programu każdego sterownika z jego plikiem"},
      {ids::kBackup, SiteCommand::kBackup,
       "Program i konfiguracja każdego sterownika do wskazanego katalogu"},
      {ids::kClockSet, SiteCommand::kClockSet,
       "Czas tego komputera w zegarze każdego sterownika"},
  };
  for (const auto& run : kRuns) {
    auto* button = qobject_cast<QPushButton*>(Control(run.id));
    button->setToolTip(QString::fromUtf8(run.tip));
    connect(button, &QPushButton::clicked, this,
            [this, command = run.command] { OnJob(command, false); });
  }
  connect(qobject_cast<QPushButton*>(Control(ids::kResume)),
          &QPushButton::clicked, this, [this] {
            if (resume_command_) OnJob(*resume_command_, true);
          });
  connect(qobject_cast<QPushButton*>(Control(ids::kAbort)),
          &QPushButton::clicked, this, &SitePage::OnAbort);
  connect(qobject_cast<QPushButton*>(Control(ids::kReport)),
          &QPushButton::clicked, this, &SitePage::OnReport);

  progress_ = Tag(new SiteRunProgress(box), ids::kRunProgress,
                  "siteRunProgress", QStringLiteral("Postęp linii"));
  // What the run came to: the verdict's mark, then its words.
  summary_box_ = new QWidget(box);
  summary_mark_ = new QLabel(summary_box_);
  summary_ = SunkenText(summary_box_, ids::kSummary, "siteSummary",
                        QStringLiteral("Wynik zadania"), QString());
  summary_->setWordWrap(true);
  auto* summary_row = new QHBoxLayout(summary_box_);
  summary_row->setContentsMargins(0, 0, 0, 0);
  summary_row->addWidget(summary_mark_);
  summary_row->addWidget(summary_, 1);
  summary_box_->hide();

  table_view_ =
      TableLike<QTableView>(box, ids::kInstallation, "siteInstallation",
                            QStringLiteral("Sterowniki obiektu"));
  table_view_->setModel(table_model_);
  table_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_view_->verticalHeader()->hide();
  table_view_->horizontalHeader()->setStretchLastSection(true);
  table_view_->verticalHeader()->setDefaultSectionSize(
      table_view_->fontMetrics().height() + 6);
  FitColumns(table_view_, table_view_->horizontalHeader(),
             {12, 6, 20, 8, 8, 14, 16, 24});

  auto* layout = new QVBoxLayout(box);
  layout->addLayout(buttons);
  layout->addWidget(progress_);
  layout->addWidget(summary_box_);
  layout->addWidget(table_view_, 1);
  return box;
}

bool SitePage::OpenSite(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) absolute = path;
  const OpenedSiteFile opened = OpenSiteFile(absolute);
  if (!opened.parsed.site) {
    QStringList faults;
    for (const SiteFault& fault : opened.parsed.faults) {
      faults << ToQString(SiteFaultText(absolute, fault));
    }
    ShowFaults(QStringLiteral("Nie otwarto pliku obiektu %1: popraw %2 i "
                              "otwórz go ponownie.")
                   .arg(PathText(absolute), faults.size() == 1
                                                ? QStringLiteral("błąd")
                                                : QStringLiteral("błędy")),
               faults);
    emit context_.events.statusText(
        QStringLiteral("Plik obiektu zawiera błędy: %1.").arg(faults.size()));
    return false;
  }
  lines_model_->Reset(opened.document);
  ShowSite(absolute, *opened.parsed.site);
  return true;
}

void SitePage::ShowSite(const std::filesystem::path& path,
                        const SiteFile& site) {
  site_path_ = path;
  SetShownText(file_label_, PathText(path));
  file_label_->setToolTip(PathText(path));
  ShowFaults({}, {});

  table_model_->SetRows(InstallationRows(site));
  ShowJournal();
  progress_->Reset({}, {});
  summary_box_->hide();
  has_report_ = false;

  context_.workspace.settings.site_file = path.string();
  if (context_.settings_path) {
    SaveSiteFileSetting(*context_.settings_path, context_.workspace.settings);
  }
  std::size_t controllers = 0;
  for (const SiteLine& line : site.lines) {
    controllers += line.controllers.size();
  }
  emit context_.events.statusText(
      QStringLiteral("Obiekt %1: linie %2, sterowniki %3.")
          .arg(ToQString(path.filename().string()))
          .arg(site.lines.size())
          .arg(controllers));
  UpdateButtons();
}

bool SitePage::SaveSite() {
  if (site_path_.empty()) return false;
  const SiteDocument& document = lines_model_->document();
  const std::string text = document.Text();
  const SiteParseResult parsed =
      ParseSite(text, site_path_.parent_path(), false);
  if (!parsed.site) {
    QStringList faults;
    for (const SiteFault& fault : parsed.faults) {
      const int row = document.LineOfText(fault.line_number);
      faults << (row < 0
                     ? ToQString(fault.message)
                     : QStringLiteral("Wiersz %1 (%2): %3")
                           .arg(row + 1)
                           .arg(ToQString(document.Cell(row, SiteCell::kName)),
                                ToQString(fault.message)));
    }
    ShowFaults(QStringLiteral("Nie zapisano pliku obiektu: popraw wiersze "
                              "tabeli linii."),
               faults);
    views_->setCurrentIndex(kLinesView);
    return false;
  }
  if (WriteFileAtomically(site_path_, text) != AtomicWriteResult::kOk) {
    context_.prompts.Warn(QStringLiteral("Zapisz"),
                          QStringLiteral("Nie można zapisać pliku obiektu %1.")
                              .arg(PathText(site_path_)));
    return false;
  }
  lines_model_->MarkKept();
  ShowSite(site_path_, *parsed.site);
  return true;
}

void SitePage::ShowFaults(const QString& heading, const QStringList& faults) {
  faults_->clear();
  faults_->addItems(faults);
  faults_heading_->setText(heading);
  faults_heading_->setVisible(!faults.isEmpty());
  faults_->setVisible(!faults.isEmpty());
}

bool SitePage::MayLeaveChanges() {
  if (!lines_model_->changed()) return true;
  if (!context_.prompts.AskYesNo(
          QStringLiteral("Obiekt"),
          QStringLiteral("Zapisać zmiany w pliku obiektu %1?")
              .arg(PathText(site_path_)))) {
    return true;
  }
  return SaveSite();
}

bool SitePage::WindowClosing() { return MayLeaveChanges(); }

void SitePage::EndJobs() { runner_->EndNow(); }

void SitePage::ShowJournal() {
  const SiteJournalView journal = ReadSiteJournalView(site_path_);
  table_model_->SetJournal(journal);
  journal_->Show(journal);
  // Every line the journal keeps is a write's: the newest names the
  // command the command line's --resume would be given.
  resume_command_.reset();
  if (!journal.rows.empty()) {
    const std::optional<SiteCommand> last =
        SiteCommandNamed(journal.rows.front().job);
    if (last && SiteCommandWrites(*last)) resume_command_ = last;
  }
  auto* resume = Control(ids::kResume);
  resume->setToolTip(
      resume_command_
          ? QStringLiteral("Wznawia ostatnie zadanie z dziennika (%1): "
                           "sterowniki niezweryfikowane i nieosiągnięte")
                .arg(SiteJobCaption(journal.rows.front().job))
          : QStringLiteral("Dziennik nie zawiera zadania do wznowienia"));
}

void SitePage::OnOpen() {
  if (!MayLeaveChanges()) return;
  FileDialogRequest request;
  request.title = QStringLiteral("Otwórz plik obiektu");
  request.filters = SiteFilters();
  request.start_name = ToQString(context_.workspace.settings.site_file);
  const std::optional<QString> chosen =
      context_.prompts.ChooseOpenFile(request);
  if (!chosen) return;
  OpenSite(std::filesystem::path(chosen->toStdString()));
}

void SitePage::OnNew() {
  if (!MayLeaveChanges()) return;
  FileDialogRequest request;
  request.title = QStringLiteral("Nowy plik obiektu");
  request.filters = SiteFilters();
  request.default_suffix = QStringLiteral("site");
  const std::optional<QString> chosen =
      context_.prompts.ChooseSaveFile(request);
  if (!chosen) return;
  std::error_code error;
  std::filesystem::path path(chosen->toStdString());
  if (std::filesystem::path absolute = std::filesystem::absolute(path, error);
      !error) {
    path = absolute;
  }
  site_path_ = path;
  SetShownText(file_label_, PathText(path));
  file_label_->setToolTip(PathText(path));
  ShowFaults({}, {});
  table_model_->SetRows({});
  journal_->Clear();
  resume_command_.reset();
  progress_->Reset({}, {});
  summary_box_->hide();
  has_report_ = false;
  lines_model_->Reset(SiteDocument());
  OnAddLine();
  views_->setCurrentIndex(kLinesView);
  emit context_.events.statusText(
      QStringLiteral("Nowy obiekt: uzupełnij linie i zapisz plik."));
}

void SitePage::OnAddLine() {
  if (site_path_.empty()) return;
  QString name;
  for (int n = lines_model_->rowCount() + 1;; ++n) {
    name = QStringLiteral("linia-%1").arg(n);
    bool taken = false;
    for (int row = 0; row < lines_model_->rowCount(); ++row) {
      taken |= lines_model_->index(row, 0).data().toString() == name;
    }
    if (!taken) break;
  }
  const auto ports = context_.ports.Entries();
  const QString port =
      ports.empty() ? QString() : QStringLiteral("COM%1").arg(ports[0].number);
  const int row = lines_model_->AddLine(name, port);
  lines_view_->setCurrentIndex(lines_model_->index(row, 0));
}

void SitePage::OnRemoveLine() {
  const int row = CurrentLine();
  if (row >= 0) lines_model_->RemoveLine(row);
}

void SitePage::OnProgram() {
  const int row = CurrentLine();
  if (row < 0) return;
  FileDialogRequest request;
  request.title = QStringLiteral("Program linii");
  request.filters = {QStringLiteral("Pliki Programów (*.prg)"),
                     QStringLiteral("Wszystkie pliki (*)")};
  const std::optional<QString> chosen =
      context_.prompts.ChooseOpenFile(request);
  if (!chosen) return;
  // Kept relative to the site file, so that the folder can move as a whole.
  const std::filesystem::path file =
      std::filesystem::path(chosen->toStdString())
          .lexically_proximate(site_path_.parent_path());
  lines_model_->SetProgram(row, ToQString(file.generic_string()));
}

int SitePage::CurrentLine() const {
  const QModelIndex current = lines_view_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void SitePage::UpdateButtons() {
  const bool running = runner_->running();
  const bool open = !site_path_.empty() && !running;
  const bool any_line = lines_model_->rowCount() > 0;
  Control(ids::kOpen)->setEnabled(!running);
  Control(ids::kNew)->setEnabled(!running);
  Control(ids::kSave)->setEnabled(open);
  Control(ids::kAddLine)->setEnabled(open);
  Control(ids::kRemoveLine)->setEnabled(open && any_line);
  Control(ids::kProgram)->setEnabled(open && any_line);
  // The jobs run the file as it was read: a site shown in the table.
  const bool runnable = open && table_model_->rowCount() > 0;
  for (const int id : {ids::kStatus, ids::kUpload, ids::kVerify, ids::kBackup,
                       ids::kClockSet}) {
    Control(id)->setEnabled(runnable);
  }
  Control(ids::kResume)->setEnabled(runnable && resume_command_.has_value());
  Control(ids::kAbort)->setEnabled(running);
  Control(ids::kReport)->setEnabled(!running && has_report_);
}

}  // namespace lumera
