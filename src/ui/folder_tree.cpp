#include "ui/folder_tree.h"

#include "ui/event_pump.h"
#include "ui/icons.h"

#include <QDir>
#include <QEventLoop>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

namespace {

QString Normal(const QString &path) {
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

// The system's icons where the desktop has a theme; our own folder and page where it has none.
// Types and icons come from the names alone: Qt's own provider asks the MIME database by content,
// which reads every file a folder lists, partly on the window's thread; a read that never ends
// (/proc/kmsg, a hung network share) would freeze the window.
class IconProvider : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override {
        const QIcon system = QFileIconProvider::icon(type);
        if (!system.isNull() && !system.availableSizes().isEmpty())
            return system;
        return type == File ? MainImage(4) : TreeImage(0);
    }
    QIcon icon(const QFileInfo &info) const override {
        if (info.isDir())
            return icon(Folder);
        const QMimeType mime = byName(info);
        const QIcon system = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
        if (!system.isNull() && !system.availableSizes().isEmpty())
            return system;
        return MainImage(4);
    }
    QString type(const QFileInfo &info) const override {
        if (info.isDir())
            return QStringLiteral("Folder");
        return byName(info).comment();
    }

private:
    QMimeType byName(const QFileInfo &info) const {
        return m_mimeTypes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }
    QMimeDatabase m_mimeTypes;
};

} // namespace

FolderTree::FolderTree(QWidget *parent) : QTreeView(parent) {
    m_followTimer.setSingleShot(true);
    m_followTimer.setInterval(0);
    connect(&m_followTimer, &QTimer::timeout, this, &FolderTree::follow);
    // The user's own scrolling ends the following.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { stopFollowing(); });
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIndentation(19);
    setUniformRowHeights(true);
    // The selection stays as visible as with the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    setUpModel();
}

void FolderTree::setUpModel() {
    QFileSystemModel *old = m_model;
    m_model = new QFileSystemModel(this);
    m_model->setOption(QFileSystemModel::DontWatchForChanges, true);
    static IconProvider icons;
    m_model->setIconProvider(&icons);
    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::AllDirs);
    connect(m_model, &QFileSystemModel::directoryLoaded, this, &FolderTree::onDirectoryLoaded);
    // Rows that come or go above the followed item move it: back to the top once they are in.
    for (const auto signal : {&QFileSystemModel::rowsInserted, &QFileSystemModel::rowsRemoved})
        connect(m_model, signal, this, [this] { followSoon(); });
    connect(m_model, &QFileSystemModel::layoutChanged, this, [this] { followSoon(); });
    m_model->setRootPath(QString());
    setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    m_loaded.clear();
    m_waiting.clear();
    m_order.clear();
    m_followed = QPersistentModelIndex();
    trackSelection();
    delete old;
#ifndef Q_OS_WIN
    // One file system under one root: open it, as the drives of a computer are listed at once.
    expand(m_model->index(QDir::rootPath()));
#endif
}

void FolderTree::trackSelection() {
    // The selection model keeps ranges; the order of selection is kept here.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected, const QItemSelection &deselected) {
                for (const QModelIndex &index : deselected.indexes()) {
                    if (index.column() == 0)
                        m_order.removeAll(QPersistentModelIndex(index));
                }
                for (const QModelIndex &index : selected.indexes()) {
                    if (index.column() == 0 && !m_order.contains(QPersistentModelIndex(index)))
                        m_order.append(QPersistentModelIndex(index));
                }
            });
}

void FolderTree::awaitLoad(const QModelIndex &folder) {
    const QString path = Normal(m_model->filePath(folder));
    if (m_loaded.contains(path))
        return;
    m_waiting.insert(path);
    if (m_model->canFetchMore(folder))
        m_model->fetchMore(folder);
}

void FolderTree::openWayTo(const QModelIndex &index) {
    QList<QModelIndex> way;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        way.prepend(p);
    for (const QModelIndex &folder : way) {
        expand(folder);
        awaitLoad(folder);
    }
}

void FolderTree::selectPath(const QString &path) {
    const QModelIndex index = m_model->index(Normal(path));
    if (!index.isValid())
        return;
    openWayTo(index);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    startFollowing(index);
}

QStringList FolderTree::selectedPaths() const {
    QStringList paths;
    for (const QPersistentModelIndex &index : m_order) {
        if (index.isValid())
            paths << m_model->filePath(index);
    }
    return paths;
}

void FolderTree::selectPaths(const QStringList &paths) {
    clearSelectedItems();
    QModelIndex last;
    for (const QString &path : paths) {
        const QModelIndex index = m_model->index(Normal(path));
        if (!index.isValid())
            continue;
        openWayTo(index);
        selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        last = index;
    }
    if (last.isValid())
        selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
}

QString FolderTree::selectedPath() const {
    const QModelIndex index = selectionModel()->currentIndex();
    return index.isValid() && selectionModel()->isSelected(index) ? m_model->filePath(index) : QString();
}

void FolderTree::clearSelectedItems() {
    selectionModel()->clearSelection();
    m_order.clear();
}

QStringList FolderTree::expandedPaths() const {
    QStringList paths;
    QList<QModelIndex> stack = {rootIndex()};
    while (!stack.isEmpty()) {
        const QModelIndex parent = stack.takeFirst();
        for (int row = 0; row < m_model->rowCount(parent); ++row) {
            const QModelIndex child = m_model->index(row, 0, parent);
            if (isExpanded(child)) {
                paths << m_model->filePath(child);
                stack << child;
            }
        }
    }
    return paths;
}

QString FolderTree::topItemPath() const {
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? m_model->filePath(top) : QString();
}

void FolderTree::refresh() {
    QStringList expanded = expandedPaths();
    const QStringList selected = selectedPaths();
    const QString current = selectedPath();
    const QString top = topItemPath();
    setUpModel();
    // Parents first, so that each folder is expanded inside an expanded parent.
    std::stable_sort(expanded.begin(), expanded.end(), [](const QString &a, const QString &b) {
        return a.count(QLatin1Char('/')) < b.count(QLatin1Char('/'));
    });
    for (const QString &path : expanded) {
        const QModelIndex index = m_model->index(Normal(path));
        if (!index.isValid())
            continue;
        openWayTo(index);
        expand(index);
        awaitLoad(index);
    }
    QStringList reselect = selected;
    // The current item is selected last so that it stays the current one.
    if (!current.isEmpty() && reselect.removeAll(current) > 0)
        reselect.append(current);
    selectPaths(reselect);
    const QModelIndex topIndex = m_model->index(Normal(top));
    if (topIndex.isValid()) {
        openWayTo(topIndex);
        startFollowing(topIndex);
    }
}

void FolderTree::startFollowing(const QModelIndex &item) {
    m_followed = QPersistentModelIndex(item);
    follow();
}

void FolderTree::followSoon() {
    // Once for a burst of inserted rows, after the model has sorted them.
    if (m_followed.isValid() && !m_followTimer.isActive())
        m_followTimer.start();
}

void FolderTree::follow() {
    if (m_followed.isValid())
        scrollTo(m_followed, PositionAtTop);
}

void FolderTree::onDirectoryLoaded(const QString &path) {
    const QString loaded = Normal(path);
    m_loaded.insert(loaded);
    if (!m_waiting.remove(loaded))
        return;
    // The model sorts a loaded folder a moment later, which moves rows; sort now so that
    // the followed item is scrolled to its final place.
    m_model->sort(0, Qt::AscendingOrder);
    follow();
    if (m_waiting.isEmpty())
        Q_EMIT settled();
}

bool FolderTree::waitUntilSettled(int timeoutMs) {
    if (isSettled())
        return true;
    QEventLoop loop;
    connect(this, &FolderTree::settled, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    EventPump::exec(loop);
    return isSettled();
}

namespace {
bool IsEnter(const QKeyEvent *event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat();
}
} // namespace

void FolderTree::requestOpen() {
    // Opening asks questions and waits for the converter with input running: not from inside
    // this tree's own key or mouse handler (see ui/event_pump.h).
    EventPump::afterInput(this, [this] { Q_EMIT openRequested(); });
}

void FolderTree::keyPressEvent(QKeyEvent *event) {
    stopFollowing();
    if (IsEnter(event))
        m_enterPressed = true;
    QTreeView::keyPressEvent(event);
}

void FolderTree::keyReleaseEvent(QKeyEvent *event) {
    // Only the release of an Enter pressed here: the release of the Enter that closed a message
    // box comes here too, and must not open again.
    if (IsEnter(event) && m_enterPressed) {
        m_enterPressed = false;
        requestOpen();
    }
    QTreeView::keyReleaseEvent(event);
}

void FolderTree::focusOutEvent(QFocusEvent *event) {
    m_enterPressed = false;
    QTreeView::focusOutEvent(event);
}

void FolderTree::mouseDoubleClickEvent(QMouseEvent *event) {
    QTreeView::mouseDoubleClickEvent(event);
    requestOpen();
}

void FolderTree::wheelEvent(QWheelEvent *event) {
    stopFollowing();
    QTreeView::wheelEvent(event);
}

void FolderTree::mousePressEvent(QMouseEvent *event) {
    stopFollowing();
    // A right click selects the item under the mouse.
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
        return;
    }
    QTreeView::mousePressEvent(event);
}
