// The widgets of the main window, built once with their captions, ids and
// accessible names, and arranged as the dialog arranges them: the tab pages
// on top; below them "Plik" and "Drukowanie" on the left and "Transmisja" on
// the right, which holds "Konfiguracja" and "Radio" at its right end.
#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabBar;
class QWidget;

namespace lumera {

struct MainWindowControls {
  QTabBar* tabs = nullptr;
  QWidget* page_area = nullptr;
  QLabel* page_marker = nullptr;

  QGroupBox* file_box = nullptr;
  QLabel* file_name = nullptr;
  QPushButton* load_file = nullptr;
  QPushButton* save_file = nullptr;

  QGroupBox* print_box = nullptr;
  QPushButton* print_segment = nullptr;
  QPushButton* print_all = nullptr;
  QCheckBox* entries_only = nullptr;

  QGroupBox* transfer_box = nullptr;
  QComboBox* port_list = nullptr;
  QLineEdit* controller_number = nullptr;
  QLabel* controller_hex = nullptr;
  QPushButton* restart = nullptr;
  QPushButton* download_segment = nullptr;
  QPushButton* download_all = nullptr;
  QPushButton* upload_segment = nullptr;
  QPushButton* upload_all = nullptr;
  QPushButton* verify_segment = nullptr;
  QPushButton* verify_all = nullptr;
  QPushButton* abort = nullptr;
  QPushButton* error_report = nullptr;
  QLabel* status_line = nullptr;
  QProgressBar* progress = nullptr;

  QGroupBox* config_box = nullptr;
  QLabel* version = nullptr;
  QPushButton* read_config = nullptr;
  QPushButton* write_config = nullptr;
  QPushButton* default_config = nullptr;
  QPushButton* default_config_program = nullptr;

  QGroupBox* radio_box = nullptr;
  QCheckBox* radio_option = nullptr;
  QLineEdit* radio_high = nullptr;
  QLineEdit* radio_second = nullptr;
  QLineEdit* radio_low = nullptr;
  QRadioButton* radio_point = nullptr;
  QRadioButton* radio_all = nullptr;
  QLineEdit* time_byte = nullptr;
  QPushButton* radio_reset = nullptr;
};

// Creates every control as a child of `window` and lays them out. The pages
// are left empty; the window creates them in tab order.
MainWindowControls BuildMainWindowControls(QWidget* window);

}  // namespace lumera
