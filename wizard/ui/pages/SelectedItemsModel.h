// SelectedItemsModel.h: the space page's checklist as a list model over the chosen items, following
// the changes of the list (appended rows are inserted in batches, a marked row repainted), so that a
// choice of thousands of items is shown without rebuilding the list, or laying out the view anew,
// for every row.
#pragma once

#include "wizard/selection/SelectedItemsList.h"

#include <QAbstractListModel>

class QTimer;

namespace wizard {

class SelectedItemsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Shows `list`, which must outlive the model, as it stands now; call follow() with each change.
    explicit SelectedItemsModel(const SelectedItemsList& list, QObject* parent = nullptr);

    // Follows `change`. Appended rows are inserted together a moment later (when the event loop
    // turns), or at once with the next change of another kind; until then the model has the rows
    // it had.
    void follow(const SelectedItemsList::Change& change);
    // Inserts the appended rows the model does not have yet.
    void catchUp();

    int rowCount(const QModelIndex& parent = {}) const override;
    // The item's text, its tick (only a migrated item is ticked) and the colour of what became of it.
    QVariant data(const QModelIndex& index, int role) const override;
    // The one column is headed "Selected Information".
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Selectable, never ticked or edited by the user: only the migration marks the items.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const SelectedItemsList& m_list;
    int m_shown = 0; // rows the views know of
    QTimer* m_catchUp;
};

} // namespace wizard
