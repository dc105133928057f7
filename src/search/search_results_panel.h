#pragma once
// The Find in Files panel below the pages: progress and Cancel while a search runs, then a summary;
// the results grouped by file, each hit with its line, key path and text, the matches marked.
// Double click or Enter on a hit asks to go there.

#include <QDockWidget>

class QLabel;
class QPushButton;
class QTreeView;
class SearchResultsModel;

class SearchResultsPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit SearchResultsPanel(SearchResultsModel *model, QWidget *parent = nullptr);

    QTreeView *view() const { return m_view; }
    QLabel *statusLabel() const { return m_status; }
    QPushButton *cancelButton() const { return m_cancel; }

    void setRunning(bool running);
    void setStatus(const QString &text);

Q_SIGNALS:
    // A hit row was double-clicked or Enter was pressed on it.
    void hitActivated(const QString &path, int line, int column, int length);
    void cancelRequested();

private:
    void activate(const QModelIndex &index);

    SearchResultsModel *m_model;
    QTreeView *m_view;
    QLabel *m_status;
    QPushButton *m_cancel;
};
