#include "app/shell/main_window_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/shell/main_window_ids.h"
#include "app/widgets/control_tag.h"
#include "app/widgets/shown_text_accessible.h"
#include "app/widgets/small_widgets.h"

namespace lumera {
namespace {

namespace ids = main_window_ids;

void BuildFileBox(MainWindowControls& c, QWidget* window) {
  c.file_box = Box(window, "fileBox", QStringLiteral("Plik"));
  c.file_name =
      SunkenText(c.file_box, ids::kFileName, "fileNameText",
                 QStringLiteral("Plik programu"),
                 QStringLiteral("FILENAME_0000000"), new PathLabel(c.file_box));
  c.file_name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  c.load_file = Button(c.file_box, ids::kLoadFile, "loadFileButton", "Z pliku");
  c.save_file =
      Button(c.file_box, ids::kSaveFile, "saveFileButton", "Do pliku");
  auto* layout = new QGridLayout(c.file_box);
  layout->addWidget(c.file_name, 0, 0, 1, 2);
  layout->addWidget(c.load_file, 1, 0);
  layout->addWidget(c.save_file, 1, 1);
}

void BuildPrintBox(MainWindowControls& c, QWidget* window) {
  c.print_box = Box(window, "printBox", QStringLiteral("Drukowanie"));
  c.print_segment =
      Button(c.print_box, ids::kPrintSegment, "printSegmentButton", "Drukuj 1");
  c.print_all = Button(c.print_box, ids::kPrintAll, "printAllButton", "DRUKUJ");
  c.entries_only =
      Tag(new QCheckBox("Tylko wejścia procedur", c.print_box),
          ids::kEntriesOnly, "entriesOnlyCheck", "Tylko wejścia procedur");
  auto* layout = new QGridLayout(c.print_box);
  layout->addWidget(c.print_segment, 0, 0);
  layout->addWidget(c.print_all, 0, 1);
  layout->addWidget(c.entries_only, 1, 0, 1, 2);
}

void BuildConfigBox(MainWindowControls& c, QWidget* parent) {
  c.config_box = Box(parent, "configBox", QStringLiteral("Konfiguracja"));
  c.version =
      Tag(new QLabel("Wersja oprogramowania", c.config_box), ids::kVersion,
          "versionText", QStringLiteral("Wersja oprogramowania"));
  c.version->setAlignment(Qt::AlignCenter);
  ExposeShownText(c.version);
  c.read_config =
      Button(c.config_box, ids::kReadConfig, "readConfigButton", "Czytaj");
  c.write_config =
      Button(c.config_box, ids::kWriteConfig, "writeConfigButton", "Wyślij");
  c.default_config = Button(c.config_box, ids::kDefaultConfigOnly,
                            "defaultConfigButton", "Domyślna K");
  c.default_config_program =
      Button(c.config_box, ids::kDefaultConfigProgram,
             "defaultConfigProgramButton", "Domyślna K+P");
  auto* layout = new QGridLayout(c.config_box);
  layout->addWidget(c.version, 0, 0, 1, 2);
  layout->addWidget(c.read_config, 1, 0);
  layout->addWidget(c.write_config, 1, 1);
  layout->addWidget(c.default_config, 2, 0);
  layout->addWidget(c.default_config_program, 2, 1);
}

void BuildRadioBox(MainWindowControls& c, QWidget* parent) {
  c.radio_box = Box(parent, "radioBox", QStringLiteral("Radio"));
  c.radio_option = Tag(new QCheckBox("Radio", c.radio_box), ids::kRadioOption,
                       "radioOptionCheck", QStringLiteral("Radio"));
  c.radio_high = DigitsField(c.radio_box, ids::kRadioHigh, "radioHighField",
                             QStringLiteral("Adres radiowy: starsza cyfra"), 5);
  c.radio_second =
      DigitsField(c.radio_box, ids::kRadioSecond, "radioSecondField",
                  QStringLiteral("Adres radiowy: druga cyfra"), 5);
  c.radio_low = DigitsField(c.radio_box, ids::kRadioLow, "radioLowField",
                            QStringLiteral("Adres radiowy: młodszy bajt"), 5);
  c.radio_point =
      Tag(new QRadioButton("Do Punktu Numer", c.radio_box), ids::kRadioPoint,
          "radioPointButton", QStringLiteral("Do Punktu Numer"));
  c.radio_all = Tag(new QRadioButton("Wszystkie", c.radio_box), ids::kRadioAll,
                    "radioAllButton", QStringLiteral("Wszystkie"));
  c.time_byte = DigitsField(c.radio_box, ids::kTimeByte, "timeByteField",
                            QStringLiteral("Czas"), 5);
  c.radio_reset =
      Button(c.radio_box, ids::kRadioReset, "radioResetButton", "Reset");

  auto* address = new QHBoxLayout;
  address->addWidget(c.radio_high);
  address->addWidget(c.radio_second);
  address->addWidget(c.radio_low);
  auto* time = new QHBoxLayout;
  time->addWidget(Label(c.radio_box, "timeByteLabel", "Czas", c.time_byte));
  time->addWidget(c.time_byte);
  time->addStretch();

  auto* layout = new QGridLayout(c.radio_box);
  layout->addWidget(c.radio_option, 0, 0);
  layout->addWidget(c.radio_reset, 0, 1);
  layout->addWidget(c.radio_point, 1, 0, 1, 2);
  layout->addLayout(address, 2, 0, 1, 2);
  layout->addWidget(c.radio_all, 3, 0, 1, 2);
  layout->addLayout(time, 4, 0, 1, 2);
}

void BuildTransferBox(MainWindowControls& c, QWidget* window) {
  QGroupBox* box = c.transfer_box =
      Box(window, "transferBox", QStringLiteral("Transmisja"));

  c.port_list = Tag(new QComboBox(box), ids::kPortList, "portList",
                    QStringLiteral("Port szeregowy"));
  c.port_list->setMinimumContentsLength(6);
  c.port_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  c.controller_number =
      DigitsField(box, ids::kControllerNumber, "controllerNumberField",
                  QStringLiteral("STEROWNIK nr"), 5);
  c.controller_hex =
      Tag(new QLabel("FFh", box), ids::kControllerHex, "controllerHexText",
          QStringLiteral("STEROWNIK nr (szesnastkowo)"));
  ExposeShownText(c.controller_hex);

  c.restart = Button(box, ids::kRestart, "restartButton", "R S T");
  c.restart->setText(QStringLiteral("R\nS\nT"));
  c.restart->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  c.restart->setMaximumWidth(
      c.restart->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);

  c.download_segment =
      Button(box, ids::kDownloadSegment, "downloadSegmentButton", "pobierz 1");
  c.download_all =
      Button(box, ids::kDownloadAll, "downloadAllButton", "POBIERZ");
  c.upload_segment =
      Button(box, ids::kUploadSegment, "uploadSegmentButton", "wyślij 1");
  c.upload_all = Button(box, ids::kUploadAll, "uploadAllButton", "WYŚLIJ");
  c.verify_segment =
      Button(box, ids::kVerifySegment, "verifySegmentButton", "?");
  c.verify_segment->setAccessibleName(QStringLiteral("? (wyślij 1)"));
  c.verify_all = Button(box, ids::kVerifyAll, "verifyAllButton", "?");
  c.verify_all->setAccessibleName(QStringLiteral("? (WYŚLIJ)"));
  for (QPushButton* narrow : {c.verify_segment, c.verify_all}) {
    narrow->setMaximumWidth(
        narrow->fontMetrics().horizontalAdvance(QStringLiteral("WW")) + 12);
  }
  c.abort = Button(box, ids::kAbort, "abortButton", "Przerwij");
  c.error_report = Button(box, ids::kErrorReport, "errorReportButton", "!");
  c.error_report->setMaximumWidth(
      c.error_report->fontMetrics().horizontalAdvance(QStringLiteral("WW")) +
      12);

  c.status_line = SunkenText(box, ids::kStatusLine, "statusLine",
                             QStringLiteral("Stan transmisji"), QString());
  // Wide enough for the longest texts the worker writes.
  int widest = 0;
  for (const QString& text :
       {QStringLiteral("Nadawanie przez COM200 do sterownika nr 255 ..."),
        QStringLiteral("* ZAPIS KONFIGURACJI DO EEPROM - POCZEKAJ! *")}) {
    widest =
        std::max(widest, c.status_line->fontMetrics().horizontalAdvance(text));
  }
  c.status_line->setMinimumWidth(widest + 2 * c.status_line->frameWidth() + 8);
  c.status_line->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  c.progress = Tag(new QProgressBar(box), ids::kProgress, "progressBar",
                   QStringLiteral("Postęp transmisji"));
  c.progress->setRange(0, 100);
  c.progress->setValue(0);
  c.progress->setTextVisible(false);

  // Left part: the line, the controller and the transfer buttons.
  auto* line = new QGridLayout;
  line->addWidget(Label(box, "portLabel", "Port szeregowy", c.port_list), 0, 0);
  line->addWidget(c.port_list, 0, 1, 1, 2);
  line->addWidget(
      Label(box, "controllerNumberLabel", "STEROWNIK nr", c.controller_number),
      1, 0);
  line->addWidget(c.controller_number, 1, 1);
  line->addWidget(c.controller_hex, 1, 2);

  auto* transfers = new QGridLayout;
  transfers->addWidget(c.restart, 0, 0, 3, 1);
  transfers->addWidget(c.download_segment, 0, 1);
  transfers->addWidget(c.download_all, 0, 3);
  transfers->addWidget(c.upload_segment, 1, 1);
  transfers->addWidget(c.verify_segment, 1, 2);
  transfers->addWidget(c.upload_all, 1, 3);
  transfers->addWidget(c.verify_all, 1, 4);
  transfers->addWidget(c.abort, 2, 1);
  transfers->addWidget(c.error_report, 2, 2);

  auto* left = new QVBoxLayout;
  left->addLayout(line);
  left->addLayout(transfers);
  left->addStretch();
  left->addWidget(c.status_line);
  left->addWidget(c.progress);

  BuildConfigBox(c, box);
  BuildRadioBox(c, box);

  auto* layout = new QHBoxLayout(box);
  layout->addLayout(left, 1);
  layout->addWidget(c.config_box);
  layout->addWidget(c.radio_box);
}

}  // namespace

MainWindowControls BuildMainWindowControls(QWidget* window) {
  MainWindowControls c;
  c.tabs = Tag(new QTabBar(window), ids::kTabs, "tabControl",
               QStringLiteral("Tab1"));
  c.tabs->setExpanding(false);
  c.tabs->setDrawBase(true);
  auto* page_frame = new QFrame(window);
  page_frame->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  c.page_area = page_frame;
  c.page_area->setObjectName(QStringLiteral("pageArea"));
  c.page_area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  // Only marks where the pages go; never shown.
  c.page_marker = Tag(new QLabel("unvisible", window), ids::kPageArea,
                      "pageAreaMarker", QStringLiteral("unvisible"));
  c.page_marker->hide();

  BuildFileBox(c, window);
  BuildPrintBox(c, window);
  BuildTransferBox(c, window);

  auto* left = new QVBoxLayout;
  left->addWidget(c.file_box);
  left->addWidget(c.print_box);
  left->addStretch();

  auto* boxes = new QHBoxLayout;
  boxes->addLayout(left);
  boxes->addWidget(c.transfer_box, 1);

  auto* layout = new QVBoxLayout(window);
  auto* tab_column = new QVBoxLayout;
  tab_column->setSpacing(0);
  tab_column->addWidget(c.tabs);
  tab_column->addWidget(c.page_area, 1);
  layout->addLayout(tab_column, 1);
  layout->addLayout(boxes);

  // The keyboard walks the boxes as they read: left to right, top to bottom.
  QWidget* const reading_order[] = {c.tabs,
                                    c.load_file,
                                    c.save_file,
                                    c.print_segment,
                                    c.print_all,
                                    c.entries_only,
                                    c.port_list,
                                    c.controller_number,
                                    c.restart,
                                    c.download_segment,
                                    c.download_all,
                                    c.upload_segment,
                                    c.verify_segment,
                                    c.upload_all,
                                    c.verify_all,
                                    c.abort,
                                    c.error_report,
                                    c.read_config,
                                    c.write_config,
                                    c.default_config,
                                    c.default_config_program,
                                    c.radio_option,
                                    c.radio_reset,
                                    c.radio_point,
                                    c.radio_high,
                                    c.radio_second,
                                    c.radio_low,
                                    c.radio_all,
                                    c.time_byte};
  for (std::size_t i = 1; i < std::size(reading_order); ++i) {
    QWidget::setTabOrder(reading_order[i - 1], reading_order[i]);
  }
  return c;
}

}  // namespace lumera
