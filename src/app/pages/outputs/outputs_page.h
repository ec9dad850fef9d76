// The outputs page (tab 2): receiver types, limits and states of the
// outputs and the receiver-type parameters. It starts no job; its values
// reach the controller with the configuration the main window writes.
#pragma once

#include <QHash>
#include <memory>

#include "app/pages/page.h"

class QGroupBox;

namespace lumera {

class TableEdits;

class OutputsPage : public Page {
 public:
  OutputsPage(PageContext& context, QWidget* parent);
  ~OutputsPage() override;

  void RefreshOnTabChange() override;

  void RefreshOutputsPage();

 private:
  QGroupBox* BuildOutputsBox();
  QGroupBox* BuildReceiverTypesBox();

  PageContext& context_;
  // Destroyed before the widgets it wires.
  std::unique_ptr<TableEdits> edits_;
  QHash<int, QWidget*> controls_;
};

}  // namespace lumera
