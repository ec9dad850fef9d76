// The table of a site's lines: a Qt view of the core's SiteDocument, one row
// a [line ...] section, one column a SiteCell. What the user types goes to
// the document, which keeps the file's other lines as they stood.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include "core/shell/port_discovery.h"
#include "core/site/file/site_document.h"

namespace lumera {

class SiteLinesModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit SiteLinesModel(QObject* parent = nullptr);

  const SiteDocument& document() const { return document_; }
  // A document read or made anew: nothing of it is changed yet.
  void Reset(SiteDocument document);
  bool changed() const { return changed_; }
  void MarkKept() { changed_ = false; }

  // A line named `name` with `port` and controller 1, at the end; its row.
  int AddLine(const QString& name, const QString& port);
  void RemoveLine(int row);
  // The program of every controller of the line without one of its own.
  void SetProgram(int row, const QString& file);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value,
               int role) override;

 signals:
  // A typed text the document did not take, and why.
  void cellRefused(const QString& reason);

 private:
  void Changed();

  SiteDocument document_;
  bool changed_ = false;
};

// The port column's editor: the discovered ports to pick from, or any text
// typed (a device path, tcp:HOST:PORT, rfc2217:HOST:PORT).
class SitePortDelegate : public QStyledItemDelegate {
 public:
  SitePortDelegate(const PortList& ports, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

 private:
  const PortList& ports_;
};

}  // namespace lumera
