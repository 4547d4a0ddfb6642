#include "ui/path_list_model.hpp"

namespace gantrylux {
namespace {

int Row(std::size_t position) {
    return static_cast<int>(position) - 1;
}

}  // namespace

PathListModel::PathListModel(PathList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    list_.addObserver(*this);
}

PathListModel::~PathListModel() {
    list_.removeObserver(*this);
}

void PathListModel::addColumn(const QString& heading) {
    const int column = static_cast<int>(headings_.size());
    beginInsertColumns({}, column, column);
    headings_.append(heading);
    endInsertColumns();
}

int PathListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.count());
}

int PathListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant PathListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::ToolTipRole && !toolTip_.isEmpty()) {
        return toolTip_;
    }
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.column() == 0) {
        const std::string_view text = list_.packed()[static_cast<std::size_t>(index.row())];
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    return {};
}

QVariant PathListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headings_.size()) {
        return headings_[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void PathListModel::aboutToAppend(std::size_t first, std::size_t count) {
    beginInsertRows({}, Row(first), Row(first + count - 1));
}

void PathListModel::appended(std::size_t, std::size_t) {
    endInsertRows();
}

void PathListModel::aboutToRemove(std::size_t position) {
    beginRemoveRows({}, Row(position), Row(position));
}

void PathListModel::removed(std::size_t) {
    endRemoveRows();
}

void PathListModel::aboutToReset() {
    beginResetModel();
}

void PathListModel::reset() {
    endResetModel();
}

void PathListModel::changed(std::size_t first, std::size_t last) {
    emit dataChanged(index(Row(first), 0), index(Row(last), 0), {Qt::DisplayRole});
}

}  // namespace gantrylux
