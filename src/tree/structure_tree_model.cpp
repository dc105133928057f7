#include "tree/structure_tree_model.h"

#include "document/page_icons.h"
#include "ui/shown_text.h"

#include <QPixmap>

namespace {

QIcon IconPair(int image, int selectedImage) {
    QIcon icon = TreeImageIcon(image);
    icon.addPixmap(TreeImageIcon(selectedImage).pixmap(16, 16), QIcon::Selected);
    return icon;
}

// Slot of m_icons for an image index: the three node kinds of the icon table.
int IconSlot(int image) {
    switch (image) {
    case ImageTableOpen:
        return 0;
    case ImageTableEmpty:
        return 1;
    default:
        return 2;
    }
}

} // namespace

StructureTreeModel::StructureTreeModel(QObject *parent) : QAbstractItemModel(parent) {
    m_icons[0] = IconPair(ImageTableOpen, ImageTableSelected);
    m_icons[1] = IconPair(ImageTableEmpty, ImageTableEmpty);
    m_icons[2] = IconPair(ImageValue, ImageValueSelected);
}

void StructureTreeModel::setTree(StructureTree tree) {
    beginResetModel();
    m_tree = std::move(tree);
    ++m_generation;
    endResetModel();
}

QModelIndex StructureTreeModel::indexOfNode(int node) const {
    if (node < 0 || node >= m_tree.nodeCount())
        return QModelIndex();
    return createIndex(m_tree.row(node), 0, static_cast<quintptr>(node));
}

int StructureTreeModel::nodeOf(const QModelIndex &index) {
    return index.isValid() ? static_cast<int>(index.internalId()) : -1;
}

QModelIndex StructureTreeModel::index(int row, int column, const QModelIndex &parent) const {
    if (column != 0 || row < 0)
        return QModelIndex();
    if (!parent.isValid()) {
        if (row >= m_tree.topLevelCount())
            return QModelIndex();
        return createIndex(row, 0, static_cast<quintptr>(m_tree.topLevel(row)));
    }
    const int node = nodeOf(parent);
    if (row >= m_tree.childCount(node))
        return QModelIndex();
    return createIndex(row, 0, static_cast<quintptr>(m_tree.child(node, row)));
}

QModelIndex StructureTreeModel::parent(const QModelIndex &child) const {
    if (!child.isValid())
        return QModelIndex();
    return indexOfNode(m_tree.parent(nodeOf(child)));
}

int StructureTreeModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid())
        return m_tree.topLevelCount();
    if (parent.column() != 0)
        return 0;
    return m_tree.childCount(nodeOf(parent));
}

int StructureTreeModel::columnCount(const QModelIndex &) const {
    return 1;
}

bool StructureTreeModel::hasChildren(const QModelIndex &parent) const {
    return rowCount(parent) > 0;
}

QVariant StructureTreeModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return QVariant();
    const int node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        // Views measure the text they show on every paint and layout: a key of megabytes is
        // shown cut. Selection, synchronisation and Quick Find use the node's whole text.
        return ShownText(m_tree.text(node));
    case Qt::EditRole:
        return m_tree.text(node);
    case Qt::DecorationRole:
        return m_icons[IconSlot(m_tree.imageIndex(node))];
    default:
        return QVariant();
    }
}

bool StructureTreeModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int node = nodeOf(index);
    const QString text = value.toString();
    const quint64 generation = m_generation;
    // The handler runs after the view has finished committing, not inside it: it edits the
    // editor, which lets events run, and the in-place editor may go meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this, node, text, generation] {
            if (generation != m_generation)
                return;
            if (EditHandler)
                EditHandler(node, text);
            // The handler may have let events run; the node is renamed only in the same tree.
            if (generation != m_generation)
                return;
            m_tree.setText(node, text);
            const QModelIndex changed = indexOfNode(node);
            Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
        },
        Qt::QueuedConnection);
    return true;
}

Qt::ItemFlags StructureTreeModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // The in-place editor holds at most kMaxEditableLength characters: a longer key would come
    // back cut, so it is not edited in place.
    if (m_tree.text(nodeOf(index)).size() <= kMaxEditableLength)
        flags |= Qt::ItemIsEditable;
    if (!m_tree.hasChildren(nodeOf(index)))
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}
