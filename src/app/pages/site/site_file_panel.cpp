#include "app/pages/site/site_file_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/pages/page.h"
#include "app/pages/page_events.h"
#include "app/pages/site/site_lines_model.h"
#include "app/pages/site/site_page_ids.h"
#include "app/pages/site/site_view_columns.h"
#include "app/session/prompts.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/qt_text.h"
#include "app/widgets/shown_text_accessible.h"
#include "app/widgets/small_widgets.h"
#include "core/model/atomic_file.h"
#include "core/session/workspace.h"
#include "core/shell/settings_file.h"
#include "core/site/file/site_document.h"

namespace lumera {
namespace {

namespace ids = site_page_ids;

const QStringList& SiteFilters() {
  static const QStringList filters = {QStringLiteral("Pliki obiektu (*.site)"),
                                      QStringLiteral("Wszystkie pliki (*)")};
  return filters;
}

QString PathText(const std::filesystem::path& path) {
  return ToQString(path.string());
}

std::filesystem::path Absolute(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute;
}

}  // namespace

SiteFilePanel::SiteFilePanel(PageContext& context, Hooks hooks, Page* page)
    : QWidget(page),
      context_(context),
      page_(page),
      hooks_(std::move(hooks)),
      lines_model_(new SiteLinesModel(this)) {
  bar_ = new QWidget(page);
  auto* open = Button(bar_, ids::kOpen, "openSite", QStringLiteral("Otwórz…"));
  auto* make = Button(bar_, ids::kNew, "newSite", QStringLiteral("Nowy…"));
  auto* save = Button(bar_, ids::kSave, "saveSite", QStringLiteral("Zapisz"));
  file_label_ = SunkenText(bar_, ids::kSiteFile, "siteFile",
                           QStringLiteral("Plik obiektu"), QString(),
                           new PathLabel(bar_));
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(open);
  file_row->addWidget(make);
  file_row->addWidget(save);
  file_row->addWidget(Label(bar_, "siteFileLabel",
                            QStringLiteral("Plik obiektu:"), file_label_));
  file_row->addWidget(file_label_, 1);
  faults_ = TableLike<QListWidget>(bar_, ids::kFaults, "siteFaults",
                                   QStringLiteral("Błędy pliku obiektu"));
  faults_heading_ = Label(bar_, "siteFaultsHeading", QString(), faults_);
  faults_heading_->setWordWrap(true);
  faults_heading_->setStyleSheet(QStringLiteral("color: #b02020;"));
  faults_heading_->hide();
  faults_->hide();
  auto* bar_layout = new QVBoxLayout(bar_);
  bar_layout->setContentsMargins(0, 0, 0, 0);
  bar_layout->addLayout(file_row);
  bar_layout->addWidget(faults_heading_);
  bar_layout->addWidget(faults_);

  lines_view_ = TableLike<QTableView>(this, ids::kLines, "siteLines",
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
      Button(this, ids::kAddLine, "addLine", QStringLiteral("Dodaj linię"));
  auto* remove = Button(this, ids::kRemoveLine, "removeLine",
                        QStringLiteral("Usuń linię"));
  auto* program =
      Button(this, ids::kProgram, "lineProgram", QStringLiteral("Program…"));
  program->setToolTip(
      QStringLiteral("Program sterowników linii, które nie mają własnego"));
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addWidget(program);
  buttons->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(lines_view_, 1);
  layout->addLayout(buttons);

  connect(open, &QPushButton::clicked, this, &SiteFilePanel::OnOpen);
  connect(make, &QPushButton::clicked, this, &SiteFilePanel::OnNew);
  connect(save, &QPushButton::clicked, this, &SiteFilePanel::SaveSite);
  connect(add, &QPushButton::clicked, this, &SiteFilePanel::OnAddLine);
  connect(remove, &QPushButton::clicked, this, &SiteFilePanel::OnRemoveLine);
  connect(program, &QPushButton::clicked, this, &SiteFilePanel::OnProgram);
  connect(lines_model_, &SiteLinesModel::cellRefused, this,
          [this](const QString& reason) {
            context_.prompts.Warn(
                QStringLiteral("INFO"),
                QStringLiteral("Nie zmieniono: %1.").arg(reason));
          });
  connect(lines_model_, &QAbstractItemModel::modelReset, this,
          &SiteFilePanel::UpdateButtons);
  connect(lines_model_, &QAbstractItemModel::rowsInserted, this,
          &SiteFilePanel::UpdateButtons);
  connect(lines_model_, &QAbstractItemModel::rowsRemoved, this,
          &SiteFilePanel::UpdateButtons);
}

bool SiteFilePanel::OpenSite(const std::filesystem::path& path) {
  const std::filesystem::path absolute = Absolute(path);
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
  ShowPath(absolute);
  hooks_.shown(absolute, *opened.parsed.site);
  return true;
}

void SiteFilePanel::ShowPath(const std::filesystem::path& path) {
  site_path_ = path;
  SetShownText(file_label_, PathText(path));
  file_label_->setToolTip(PathText(path));
  ShowFaults({}, {});
}

bool SiteFilePanel::SaveSite() {
  if (site_path_.empty()) return false;
  const SiteDocument& document = lines_model_->document();
  const std::string text = document.Text();
  const SiteParseResult parsed =
      ParseSite(text, site_path_.parent_path(), false);
  if (!parsed.site) {
    QStringList faults;
    for (const SiteFault& fault : parsed.faults) {
      faults << ToQString(document.FaultText(fault));
    }
    ShowFaults(QStringLiteral("Nie zapisano pliku obiektu: popraw wiersze "
                              "tabeli linii."),
               faults);
    hooks_.show_lines();
    return false;
  }
  if (WriteFileAtomically(site_path_, text) != AtomicWriteResult::kOk) {
    context_.prompts.Warn(QStringLiteral("Zapisz"),
                          QStringLiteral("Nie można zapisać pliku obiektu %1.")
                              .arg(PathText(site_path_)));
    return false;
  }
  lines_model_->MarkKept();
  ShowPath(site_path_);
  hooks_.shown(site_path_, *parsed.site);
  return true;
}

void SiteFilePanel::ShowFaults(const QString& heading,
                               const QStringList& faults) {
  faults_->clear();
  faults_->addItems(faults);
  faults_heading_->setText(heading);
  faults_heading_->setVisible(!faults.isEmpty());
  faults_->setVisible(!faults.isEmpty());
}

bool SiteFilePanel::MayLeaveChanges() {
  if (!lines_model_->changed()) return true;
  if (!context_.prompts.AskYesNo(
          QStringLiteral("Obiekt"),
          QStringLiteral("Zapisać zmiany w pliku obiektu %1?")
              .arg(PathText(site_path_)))) {
    return true;
  }
  return SaveSite();
}

void SiteFilePanel::OnOpen() {
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

void SiteFilePanel::OnNew() {
  if (!MayLeaveChanges()) return;
  FileDialogRequest request;
  request.title = QStringLiteral("Nowy plik obiektu");
  request.filters = SiteFilters();
  request.default_suffix = QStringLiteral("site");
  const std::optional<QString> chosen =
      context_.prompts.ChooseSaveFile(request);
  if (!chosen) return;
  ShowPath(Absolute(std::filesystem::path(chosen->toStdString())));
  lines_model_->Reset(SiteDocument());
  hooks_.begun();
  OnAddLine();
  hooks_.show_lines();
  emit context_.events.statusText(
      QStringLiteral("Nowy obiekt: uzupełnij linie i zapisz plik."));
}

void SiteFilePanel::OnAddLine() {
  if (site_path_.empty()) return;
  const auto ports = context_.ports.Entries();
  const QString port =
      ports.empty() ? QString() : QStringLiteral("COM%1").arg(ports[0].number);
  const int row = lines_model_->AddLine(
      ToQString(lines_model_->document().NewLineName()), port);
  lines_view_->setCurrentIndex(lines_model_->index(row, 0));
}

void SiteFilePanel::OnRemoveLine() {
  const int row = CurrentLine();
  if (row >= 0) lines_model_->RemoveLine(row);
}

void SiteFilePanel::OnProgram() {
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

int SiteFilePanel::CurrentLine() const {
  const QModelIndex current = lines_view_->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void SiteFilePanel::UpdateButtons() {
  const bool running = hooks_.running();
  const bool open = !site_path_.empty() && !running;
  const bool any_line = lines_model_->rowCount() > 0;
  page_->Control(ids::kOpen)->setEnabled(!running);
  page_->Control(ids::kNew)->setEnabled(!running);
  page_->Control(ids::kSave)->setEnabled(open);
  page_->Control(ids::kAddLine)->setEnabled(open);
  page_->Control(ids::kRemoveLine)->setEnabled(open && any_line);
  page_->Control(ids::kProgram)->setEnabled(open && any_line);
}

}  // namespace lumera
