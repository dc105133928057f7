#pragma once
// One tab page per open RBF file: its structure tree, a splitter and its editor.

#include <QString>
#include <QWidget>

class PageEditor;
class PageTree;
class QSplitter;

class Page : public QWidget {
    Q_OBJECT
public:
    explicit Page(const QString &rbfPath, QWidget *parent = nullptr);

    const QString RbfPath;
    // The editor's modified flag while the editor font changes.
    bool SavedModified = false;

    PageTree *tree() const { return m_tree; }
    PageEditor *editor() const { return m_editor; }
    QSplitter *splitter() const { return m_splitter; }

    int treeWidth() const;
    void setTreeWidth(int width);
    // The smaller of 300 and a third of the page's width.
    int defaultTreeWidth() const { return qMin(300, width() / 3); }

Q_SIGNALS:
    // The focus entered the page or one of its controls.
    void entered(Page *page);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PageTree *m_tree;
    QSplitter *m_splitter;
    PageEditor *m_editor;
};
