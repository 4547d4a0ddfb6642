#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include "lists/path_list.hpp"

namespace gantrylux {

// Shows a PathList in a report view: one row per text, the text in the first column, and as
// many headed columns as have been added.
class PathListModel : public QAbstractTableModel, private PathListObserver {
    Q_OBJECT
  public:
    explicit PathListModel(PathList& list, QObject* parent = nullptr);
    ~PathListModel() override;

    void addColumn(const QString& heading);
    void setToolTip(const QString& text) { toolTip_ = text; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    void aboutToAppend(std::size_t first, std::size_t count) override;
    void appended(std::size_t first, std::size_t count) override;
    void aboutToRemove(std::size_t position) override;
    void removed(std::size_t position) override;
    void aboutToReset() override;
    void reset() override;
    void changed(std::size_t first, std::size_t last) override;

    PathList& list_;
    QStringList headings_;
    QString toolTip_;
};

}  // namespace gantrylux
